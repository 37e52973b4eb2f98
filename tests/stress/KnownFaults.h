// Faults of the modules that are known and being mended. While a fault is
// listed here, the stress run steers around exactly the case that shows it,
// so that the run keeps looking for other faults; the places that steer ask
// avoids() about their fault by name. Once a fix has landed, delete its entry
// here and the check that names it, and the run covers the case again.
// `tavri_stress --no-exclusions` runs every case whatever this list says;
// `--allow NAME` runs the case of one fault.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

namespace stress {

enum class KnownFault {
    // Found by this run (reduced in ModuleFaultsTest.cpp): BetterListBox
    // paints one line for each item that fits its height, with no other
    // bound: an area of infinite, NaN or huge height and a long list (a
    // range) make one repaint draw up to 2^31 lines (a stall, and a recording
    // that fills the memory).
    ListBoxPaintsEveryLine,
};

struct KnownFaultEntry {
    KnownFault fault;
    const char* name;
    const char* steering; // what the run leaves out while the fault is listed
};

inline constexpr KnownFaultEntry knownFaults[] = {
    {KnownFault::ListBoxPaintsEveryLine, "list-box-paints-every-line",
     "no area of NaN, infinite or more than 65,536 height for BetterListBox"},
};

class Exclusions {
public:
    explicit Exclusions(bool steer = true) : steer(steer) {}
    // Runs the case of one listed fault again (by its name), to see it or its fix.
    bool allow(std::string_view name) {
        for (const KnownFaultEntry& entry : knownFaults)
            if (name == entry.name) {
                allowed.push_back(entry.fault);
                return true;
            }
        return false;
    }
    // Whether the run leaves out the case of this fault.
    bool avoids(KnownFault fault) const {
        if (!steer || std::find(allowed.begin(), allowed.end(), fault) != allowed.end())
            return false;
        for (const KnownFaultEntry& entry : knownFaults)
            if (entry.fault == fault)
                return true;
        return false;
    }

private:
    bool steer;
    std::vector<KnownFault> allowed;
};

} // namespace stress
