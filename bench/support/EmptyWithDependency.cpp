// An empty shared library that needs one other, as the module library needs
// the stand-in platform library: the baseline of a first load of a library
// built as ours.
extern "C" int tavriEmptyDependencyMarker();

extern "C" int tavriEmptyLibraryWithDependencyMarker() {
    return tavriEmptyDependencyMarker();
}
