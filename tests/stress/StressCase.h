// One case of the nested-call stress run: one registration of the library,
// made through MP_GetFactory on a test host of its own, driven by a number of
// random steps. From inside a share of the calls the module makes to the host
// (sends, repaint requests, capture calls, resource look-ups, file dialog,
// menu and drawing calls), the host calls back into the same module with
// another random operation, up to a set depth. The steps a case takes depend
// only on the run's seed, the registration and the step's number.
#pragma once

#include "Profiles.h"
#include "Random.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace gmpi {
struct IMpFactory2;
}

namespace stress {

struct CaseOptions {
    uint64_t seed = 1;
    int32_t steps = 200;
    uint32_t nestPercent = 30; // of the host calls that call back into the module
    int32_t maxDepth = 3;      // nested calls inside nested calls, at most
    // Nested operations of one step, at most: a step that makes a great many
    // host calls (a menu of 65,536 items) would otherwise grow without bound.
    int32_t maxNestedPerStep = 2000;
    // Of the item lists given to a list pin, the share that may name more
    // than the 65,536 items a menu or a file dialog is offered. Each costs
    // that many host calls whenever it is offered, as many again for each
    // offer made from inside those calls, and as many lines drawn in a list
    // box of unbounded height; the rest of the values name at most that many.
    uint32_t longListPercent = 10;
    std::filesystem::path workFolder; // the case makes a folder of its own inside
    bool trace = false;               // print every operation on stderr
};

struct CaseStats {
    int64_t moduleCalls = 0;                   // calls into the module, all depths
    int64_t nestedCalls = 0;                   // of those, made from inside a host call
    int64_t hostCalls = 0;                     // calls the module made to the host
    std::map<int32_t, int64_t> callsAtDepth;   // module calls by nesting depth
    std::map<std::string, int64_t> nestedFrom; // nested operations by the host call around them

    void add(const CaseStats& other);
};

struct CaseResult {
    std::string label;
    std::vector<std::string> failures;
    CaseStats stats;
};

// The seed of one registration's case within a run, made from the
// registration itself (its sub-type and module ID), so that a registration
// added to the library, or a profile moved, changes no other case.
uint64_t caseSeed(uint64_t runSeed, int32_t subType, std::u16string_view moduleId);

// Runs the case of one registration: a profile of moduleProfiles(), or one of
// a test's own for a module of its own factory.
CaseResult runCase(gmpi::IMpFactory2* factory, const ModuleProfile& profile,
                   const CaseOptions& options);

// What is running now, for reports of crashes and sanitizer errors: the case,
// its step and the chain of operations down to the one that failed. Empty
// between cases.
std::string currentActivity();

// How far the run has got; safe to read from another thread (the watchdog
// that reports a step that never ends).
struct Progress {
    const ModuleProfile* profile = nullptr; // null between cases
    int32_t step = -1;
    int64_t stepsTaken = 0; // by the whole run so far
};
Progress progress();

} // namespace stress
