// The empty library that tavri_empty_library_with_dependency needs.
extern "C" int tavriEmptyDependencyMarker() {
    return 0;
}
