// A host's start-up scan: load the library, get the factory through
// MP_GetFactory, create, attach and release one instance of every
// registration with a host that only counts; next to loading and unloading an
// empty shared library, the least that loading any library costs. Target: the
// whole scan under 1 ms.
#include "host/ModuleLibrary.h"
#include "platform/StandIn.h"
#include "support/CountingHost.h"
#include "support/Ratios.h"
#include "tests/RegistrationTable.h"

#include <dlfcn.h>

#include <stdexcept>

namespace {

std::string besideProgram(const std::string& file) {
    std::string path = testhost::ModuleLibrary::defaultPath();
    return path.substr(0, path.find_last_of('/') + 1) + file;
}

void emptyLibraryLoad(benchmark::State& state) {
    const std::string path = besideProgram("tavri_empty_library.so");
    for (auto _ : state) {
        void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            throw std::runtime_error(dlerror());
        dlclose(handle);
    }
}
BENCHMARK(emptyLibraryLoad)->Unit(benchmark::kMicrosecond);

// Loading and unloading the module library alone, for comparison.
void moduleLibraryLoad(benchmark::State& state) {
    const std::string path = testhost::ModuleLibrary::defaultPath();
    for (auto _ : state)
        testhost::ModuleLibrary library(path);
}
BENCHMARK(moduleLibraryLoad)->Unit(benchmark::kMicrosecond);

void startupScan(benchmark::State& state) {
    const std::string path = testhost::ModuleLibrary::defaultPath();
    bench::CountingHost host;
    for (auto _ : state) {
        testhost::ModuleLibrary library(path);
        for (const ExpectedRegistration& r : expectedRegistrations)
            if (!bench::makeAndAttach(library.factory(), r.moduleId, r.subType, host.object())) {
                state.SkipWithError(("cannot make " + narrowToAscii(r.moduleId)).c_str());
                return;
            }
    }
    state.counters["modules"] = double(std::size(expectedRegistrations));
}
BENCHMARK(startupScan)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    // A host has the stand-in library loaded all along, as a Windows host has
    // the system libraries; reading its clock keeps it a dependency of this
    // program, so that a scan does not load and unload it each time.
    benchmark::DoNotOptimize(platform::standin::clockNow());
    // The target is absolute; most of it is the loader's own cost, which the
    // empty library shows.
    return bench::runWithRatios(argc, argv, {{"startupScan", "emptyLibraryLoad", 5.0}},
                                {{"startupScan", 1e6}});
}
