// A host's start-up scan: load the library, get the factory through
// MP_GetFactory, create, attach and release one instance of every
// registration with a host that only counts, and unload; next to loading and
// unloading an empty shared library that needs an empty library of its own,
// the least that a first load of a library built as ours costs (on Linux the
// module library brings in the stand-in platform library, the part that the
// system libraries play on Windows). A lone empty library is timed too.
//
// Each sample is a first load: it runs in a new process, tavri_first_load,
// which links neither the test host nor the stand-in platform library (it
// checks that the platform library is not there before it begins), so that
// the module library brings in what it needs as at a host's first scan. The
// process times the load itself; starting it is not counted. Targets: the
// whole scan under 1 ms, and under 5x the empty pair's first load.
#include "support/Ratios.h"

#include "host/ModuleLibrary.h"
#include "tests/RegistrationTable.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <iterator>
#include <stdexcept>
#include <string>

extern char** environ;

namespace {

std::string besideProgram(const std::string& file) {
    std::string path = testhost::ModuleLibrary::defaultPath();
    return path.substr(0, path.find_last_of('/') + 1) + file;
}

// Runs tavri_first_load once and answers the nanoseconds it reports; throws
// when it fails.
double firstLoad(const std::string& mode, const std::string& library) {
    static const std::string program = besideProgram("tavri_first_load");
    int out[2];
    if (pipe(out) != 0)
        throw std::runtime_error("no pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    char* const arguments[] = {const_cast<char*>(program.c_str()), const_cast<char*>(mode.c_str()),
                               const_cast<char*>(library.c_str()), nullptr};
    pid_t child = 0;
    const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string reported;
    char buffer[64];
    for (ssize_t got; spawned == 0 && (got = read(out[0], buffer, sizeof buffer)) > 0;)
        reported.append(buffer, size_t(got));
    close(out[0]);
    int status = 0;
    if (spawned != 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0 || reported.empty())
        throw std::runtime_error(program + " " + mode + " failed");
    return std::strtod(reported.c_str(), nullptr);
}

void timeFirstLoads(benchmark::State& state, const std::string& mode, const std::string& library) {
    try {
        for (auto _ : state)
            state.SetIterationTime(firstLoad(mode, library) / 1e9);
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}

void emptyLibraryLoad(benchmark::State& state) {
    timeFirstLoads(state, "empty", besideProgram("tavri_empty_library.so"));
}

void emptyLibraryWithDependencyLoad(benchmark::State& state) {
    timeFirstLoads(state, "empty", besideProgram("tavri_empty_library_with_dependency.so"));
}

// Loading and unloading the module library alone, for comparison.
void moduleLibraryLoad(benchmark::State& state) {
    timeFirstLoads(state, "load", testhost::ModuleLibrary::defaultPath());
}

void startupScan(benchmark::State& state) {
    timeFirstLoads(state, "scan", testhost::ModuleLibrary::defaultPath());
    state.counters["modules"] = double(std::size(expectedRegistrations));
}

// A new process for every sample: a fixed count keeps the run short.
constexpr int samples = 200;
BENCHMARK(emptyLibraryLoad)->UseManualTime()->Iterations(samples)->Unit(benchmark::kMicrosecond);
BENCHMARK(emptyLibraryWithDependencyLoad)
    ->UseManualTime()
    ->Iterations(samples)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(moduleLibraryLoad)->UseManualTime()->Iterations(samples)->Unit(benchmark::kMicrosecond);
BENCHMARK(startupScan)->UseManualTime()->Iterations(samples)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    // Most of the absolute time is the loader's own cost, which the empty
    // libraries show.
    return bench::runWithRatios(argc, argv,
                                {{"startupScan", "emptyLibraryWithDependencyLoad", 5.0}},
                                {{"startupScan", 1e6}});
}
