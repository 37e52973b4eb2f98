// An empty shared library: the baseline of loading and unloading one.
extern "C" int tavriEmptyLibraryMarker() {
    return 0;
}
