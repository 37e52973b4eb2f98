// One first load, timed inside a process of its own: the start-up scan's
// measured side. The program links neither the test host nor the stand-in
// platform library, so that the module library brings that in with it as it
// does at a host's first scan. It does what it is told once, prints the
// nanoseconds it took on standard output and exits 0; anything else exits 1
// with the reason on standard error.
//
//     tavri_first_load scan LIBRARY    load, get the factory, make, attach and
//                                      release every registration, unload
//     tavri_first_load load LIBRARY    load, get the factory, unload
//     tavri_first_load empty LIBRARY   dlopen and dlclose an empty library
//                                      (and what it needs)
#include "CountingHost.h"
#include "host/ModuleLibrary.h"
#include "tests/RegistrationTable.h"

#include <dlfcn.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

namespace {

// The stand-in platform library's file name, as the module library names it.
constexpr const char* platformLibrary = "libtavri_platform.so";

bool platformLoaded() {
    void* handle = dlopen(platformLibrary, RTLD_NOW | RTLD_NOLOAD);
    if (!handle)
        return false;
    dlclose(handle);
    return true;
}

void scan(const std::string& path) {
    bench::CountingHost host;
    testhost::ModuleLibrary library(path);
    for (const ExpectedRegistration& r : expectedRegistrations)
        if (!bench::makeAndAttach(library.factory(), r.moduleId, r.subType, host.object()))
            throw std::runtime_error("cannot make " + narrowToAscii(r.moduleId));
}

void emptyLoad(const std::string& path) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        throw std::runtime_error(dlerror());
    dlclose(handle);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s scan|load|empty LIBRARY\n", argv[0]);
        return 1;
    }
    try {
        if (platformLoaded())
            throw std::runtime_error(std::string(platformLibrary) + " is loaded before the load");
        const std::string mode = argv[1], path = argv[2];
        const auto start = std::chrono::steady_clock::now();
        if (mode == "scan")
            scan(path);
        else if (mode == "load") {
            testhost::ModuleLibrary library(path);
        } else if (mode == "empty")
            emptyLoad(path);
        else
            throw std::runtime_error("unknown mode " + mode);
        const auto took = std::chrono::steady_clock::now() - start;
        std::printf("%lld\n",
                    static_cast<long long>(
                        std::chrono::duration_cast<std::chrono::nanoseconds>(took).count()));
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tavri_first_load: %s\n", e.what());
        return 1;
    }
}
