// tavri_stress: the nested-call stress run over every registration of the
// built library. A run is a list of seeds and a number of steps; each
// (seed, registration) is a case that depends on nothing else, so that a
// failure can be replayed alone with the command line it prints. CI runs a
// fixed list of seeds; run more seeds or steps by hand to look further.
#include "StressCase.h"

#include "host/ModuleLibrary.h"
#include "tests/RegistrationTable.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define TAVRI_STRESS_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TAVRI_STRESS_SANITIZED 1
#endif
#endif

#ifdef TAVRI_STRESS_SANITIZED
#include <sanitizer/common_interface_defs.h>
#endif

#ifdef TAVRI_STRESS_SANITIZED
// Options the sanitizer runtimes read at start (the environment's still win):
// a report says where it happened and ends with abort(), which the run's
// SIGABRT handler turns into the case and the command that replays it.
extern "C" const char* __ubsan_default_options() {
    return "print_stacktrace=1:abort_on_error=1";
}
#endif

namespace {

namespace fs = std::filesystem;
using namespace stress;

struct Options {
    std::string library;
    std::vector<uint64_t> seeds{1};
    int32_t steps = 300;
    std::u16string module; // empty: every registration
    int32_t subType = -1;  // -1: any
    uint32_t nestPercent = 30;
    int32_t depth = 3;
    uint32_t longListPercent = 10;
    int32_t stallSeconds = 120;
    bool trace = false;
    fs::path work;
};

const char* usage =
    "usage: tavri_stress [options]\n"
    "  --library PATH     the module library (default: beside this program, or $TAVRI_SEM)\n"
    "  --seeds LIST       seeds to run, e.g. 1,2,7 or 1-8 (default 1)\n"
    "  --seed N           one seed\n"
    "  --steps N          steps of each registration for each seed (default 300)\n"
    "  --module ID        only the registrations of this module ID\n"
    "  --sub-type N       only registrations of this sub-type (0 audio, 1 older GUI, 2 GUI)\n"
    "  --nest PERCENT     share of the module's host calls that call back (default 30)\n"
    "  --depth N          deepest nesting of calls back (default 3)\n"
    "  --long-lists PCT   share of item lists of more than 65,536 items (default 10)\n"
    "  --work FOLDER      where the file modules' folders are made (default: temp folder)\n"
    "  --stall-seconds N  stop when one step runs longer (default 120, 0 never)\n"
    "  --trace            print every operation\n"
    "  --list             list the registrations and exit\n"
    "  --help             show these options and exit\n";

std::vector<uint64_t> parseSeeds(const std::string& text) {
    std::vector<uint64_t> seeds;
    size_t at = 0;
    while (at <= text.size()) {
        const size_t comma = text.find(',', at);
        const std::string part = text.substr(at, comma == std::string::npos ? comma : comma - at);
        const size_t dash = part.find('-', 1);
        if (dash == std::string::npos) {
            seeds.push_back(std::stoull(part, nullptr, 0));
        } else {
            const uint64_t first = std::stoull(part.substr(0, dash), nullptr, 0);
            const uint64_t last = std::stoull(part.substr(dash + 1), nullptr, 0);
            for (uint64_t s = first; s <= last; ++s)
                seeds.push_back(s);
        }
        if (comma == std::string::npos)
            break;
        at = comma + 1;
    }
    return seeds;
}

std::string replayCommand(const Options& options, uint64_t seed, const ModuleProfile& profile) {
    std::string command = "tavri_stress --seed " + std::to_string(seed) + " --module \"" +
                          narrowToAscii(profile.id) + "\" --sub-type " +
                          std::to_string(profile.subType) + " --steps " +
                          std::to_string(options.steps);
    if (options.nestPercent != 30)
        command += " --nest " + std::to_string(options.nestPercent);
    if (options.depth != 3)
        command += " --depth " + std::to_string(options.depth);
    if (options.longListPercent != 10)
        command += " --long-lists " + std::to_string(options.longListPercent);
    return command;
}

// What a crash or sanitizer report needs to say: which case, and how to run it again.
Options* activeOptions = nullptr;
std::atomic<uint64_t> activeSeed{0};

void reportActivity(const char* what) {
    const Progress now = progress();
    if (!activeOptions || !now.profile)
        return;
    std::fprintf(stderr, "\nstress: %s in %s\nstress: replay with: %s\n", what,
                 currentActivity().c_str(),
                 replayCommand(*activeOptions, activeSeed, *now.profile).c_str());
    std::fflush(stderr);
}

std::atomic<bool> reported{false};

void reportOnce(const char* what) {
    if (!reported.exchange(true))
        reportActivity(what);
}

#ifdef TAVRI_STRESS_SANITIZED
void onSanitizerDeath() {
    reportOnce("a sanitizer report");
}
#endif

void onSignal(int signal) {
    reportOnce(signal == SIGSEGV ? "a crash (SIGSEGV)" : "a crash or a sanitizer report");
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void onTerminate() {
    reportActivity("an uncaught exception");
    std::abort();
}

// Stops the run when one step has not ended after `seconds`: a stall.
void watchSteps(int32_t seconds, const std::atomic<bool>& done) {
    Progress last = progress();
    auto since = std::chrono::steady_clock::now();
    while (!done) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const Progress now = progress();
        if (now.stepsTaken != last.stepsTaken || now.profile != last.profile) {
            last = now;
            since = std::chrono::steady_clock::now();
            continue;
        }
        if (!now.profile ||
            std::chrono::steady_clock::now() - since < std::chrono::seconds(seconds))
            continue;
        const ModuleProfile& profile = *now.profile;
        std::fprintf(stderr,
                     "\nstress: a stall: step %d of %s has run for more than %d s\n"
                     "stress: replay with: %s\n",
                     now.step, profile.label().c_str(), seconds,
                     replayCommand(*activeOptions, activeSeed, profile).c_str());
        std::fflush(stderr);
        std::fflush(stdout);
        std::_Exit(3);
    }
}

bool selected(const Options& options, const ModuleProfile& profile) {
    if (!options.module.empty() && profile.id != options.module)
        return false;
    return options.subType < 0 || profile.subType == options.subType;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    bool list = false;
    try {
        for (int i = 1; i < argc; ++i) {
            const std::string arg = argv[i];
            auto value = [&]() -> std::string {
                if (i + 1 >= argc)
                    throw std::invalid_argument(arg + " needs a value");
                return argv[++i];
            };
            if (arg == "--library")
                options.library = value();
            else if (arg == "--seeds")
                options.seeds = parseSeeds(value());
            else if (arg == "--seed")
                options.seeds = {std::stoull(value(), nullptr, 0)};
            else if (arg == "--steps")
                options.steps = std::stoi(value());
            else if (arg == "--module") {
                const std::string id = value();
                options.module.assign(id.begin(), id.end());
            } else if (arg == "--sub-type")
                options.subType = std::stoi(value());
            else if (arg == "--nest")
                options.nestPercent = uint32_t(std::stoul(value()));
            else if (arg == "--depth")
                options.depth = std::stoi(value());
            else if (arg == "--long-lists")
                options.longListPercent = uint32_t(std::stoul(value()));
            else if (arg == "--work")
                options.work = value();
            else if (arg == "--stall-seconds")
                options.stallSeconds = std::stoi(value());
            else if (arg == "--trace")
                options.trace = true;
            else if (arg == "--list")
                list = true;
            else if (arg == "--help") {
                std::printf("%s", usage);
                return 0;
            } else
                throw std::invalid_argument("unknown option " + arg);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n%s", e.what(), usage);
        return 2;
    }

    const std::vector<ModuleProfile>& profiles = moduleProfiles();
    if (list) {
        for (size_t i = 0; i < profiles.size(); ++i)
            std::printf("%2zu  sub-type %d  %s\n", i, profiles[i].subType,
                        profiles[i].label().c_str());
        return 0;
    }
    if (options.work.empty())
        options.work = fs::temp_directory_path() / "tavri-stress";

    activeOptions = &options;
    std::set_terminate(onTerminate);
#ifdef TAVRI_STRESS_SANITIZED
    // AddressSanitizer runs this before it ends the process; an
    // UndefinedBehaviorSanitizer report ends it with abort() (see the default
    // options below), which the SIGABRT handler reports.
    __sanitizer_set_death_callback(onSanitizerDeath);
    std::signal(SIGABRT, onSignal);
#else
    for (const int signal : {SIGSEGV, SIGABRT, SIGFPE, SIGILL})
        std::signal(signal, onSignal);
#endif

    std::unique_ptr<testhost::ModuleLibrary> library;
    try {
        library = std::make_unique<testhost::ModuleLibrary>(
            options.library.empty() ? testhost::ModuleLibrary::defaultPath() : options.library);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "stress: %s\n", e.what());
        return 2;
    }
    std::error_code error;
    fs::create_directories(options.work, error);

    std::atomic<bool> done{false};
    std::thread watchdog;
    if (options.stallSeconds > 0)
        watchdog = std::thread(watchSteps, options.stallSeconds, std::cref(done));

    const auto started = std::chrono::steady_clock::now();
    std::map<size_t, CaseStats> byRegistration;
    std::map<size_t, double> secondsOf;
    CaseStats total;
    int failures = 0;
    size_t cases = 0;
    for (const uint64_t seed : options.seeds) {
        activeSeed = seed;
        for (size_t r = 0; r < profiles.size(); ++r) {
            if (!selected(options, profiles[r]))
                continue;
            CaseOptions caseOptions;
            caseOptions.seed = seed;
            caseOptions.steps = options.steps;
            caseOptions.nestPercent = options.nestPercent;
            caseOptions.maxDepth = options.depth;
            caseOptions.longListPercent = options.longListPercent;
            caseOptions.workFolder = options.work;
            caseOptions.trace = options.trace;
            const auto caseStarted = std::chrono::steady_clock::now();
            const CaseResult result = runCase(library->factory(), profiles[r], caseOptions);
            secondsOf[r] +=
                std::chrono::duration<double>(std::chrono::steady_clock::now() - caseStarted)
                    .count();
            ++cases;
            byRegistration[r].add(result.stats);
            total.add(result.stats);
            if (!result.failures.empty()) {
                ++failures;
                std::printf("FAILED  %s, seed %llu:\n", result.label.c_str(),
                            static_cast<unsigned long long>(seed));
                for (const std::string& failure : result.failures)
                    std::printf("    %s\n", failure.c_str());
                std::printf("    replay with: %s\n",
                            replayCommand(options, seed, profiles[r]).c_str());
                std::fflush(stdout);
            }
        }
    }
    done = true;
    if (watchdog.joinable())
        watchdog.join();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    std::printf("\n%-26s %12s %12s %12s %9s\n", "registration", "module calls", "nested",
                "host calls", "seconds");
    for (const auto& [r, stats] : byRegistration)
        std::printf("%-26s %12lld %12lld %12lld %9.2f\n", profiles[r].label().c_str(),
                    static_cast<long long>(stats.moduleCalls),
                    static_cast<long long>(stats.nestedCalls),
                    static_cast<long long>(stats.hostCalls), secondsOf[r]);
    std::printf("%-26s %12lld %12lld %12lld %9.2f\n", "all",
                static_cast<long long>(total.moduleCalls),
                static_cast<long long>(total.nestedCalls), static_cast<long long>(total.hostCalls),
                seconds);
    std::printf("\nmodule calls by depth:");
    for (const auto& [d, n] : total.callsAtDepth)
        std::printf("  %d: %lld", d, static_cast<long long>(n));
    std::printf("\nnested calls made from inside:");
    for (const auto& [from, n] : total.nestedFrom)
        std::printf("  %s %lld", from.c_str(), static_cast<long long>(n));
    std::printf("\n\n%zu case(s) of %zu seed(s) x %d steps in %.1f s: %d failed\n", cases,
                options.seeds.size(), options.steps, seconds, failures);
    return failures == 0 ? 0 : 1;
}
