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
    // "Better Joystick Image" reads its picture's metadata after its
    // frame-count send; a picture name changed inside that send leaves it
    // reading metadata that is gone (none when the new picture does not load).
    JoystickPictureChangedInFrameCountSend,
    // PolarPicker keeps the handle size of the old picture when its picture
    // name changes inside its frame-count send.
    PolarPickerPictureChangedInFrameCountSend,
    // BetterListBox's scroll position overflows with a range as wide as
    // "range 0,2147483647" and bounds whose bottom is above their top.
    ListBoxInvertedBounds,
    // FileReq offers every item of a huge range as a file type (a stall).
    HugeFileTypeRange,
    // The image widgets offer every item of a huge range in their context
    // menu (a stall).
    HugeMenuRange,
    // Found by this run (reduced in ModuleFaultsTest.cpp): an image widget
    // whose picture name is reported again from inside a host call of its own
    // picture load (the drawing factory's fetch, a resource look-up) keeps a
    // reference to the picture forever: the outer load writes through the
    // widget's own members after the inner one filled them.
    PictureReloadedInsideLoad,
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
    {KnownFault::JoystickPictureChangedInFrameCountSend, "joystick-picture-in-frame-count-send",
     "no picture name change for \"Better Joystick Image\" inside its frame-count send"},
    {KnownFault::PolarPickerPictureChangedInFrameCountSend,
     "polar-picker-picture-in-frame-count-send",
     "no picture name change for PolarPicker inside its frame-count send"},
    {KnownFault::ListBoxInvertedBounds, "list-box-inverted-bounds",
     "no bounds with bottom above top for BetterListBox"},
    {KnownFault::HugeFileTypeRange, "huge-file-type-range",
     "no range of more than 65,536 items as FileReq's file types"},
    {KnownFault::HugeMenuRange, "huge-menu-range",
     "no range of more than 65,536 items as an image widget's context menu"},
    {KnownFault::PictureReloadedInsideLoad, "picture-reloaded-inside-load",
     "no picture name change of an image widget inside the load of its picture"},
    {KnownFault::ListBoxPaintsEveryLine, "list-box-paints-every-line",
     "no area of NaN, infinite or more than 65,536 height for BetterListBox"},
};

// The widest range the steering offers where a huge range is a known fault.
inline constexpr uint64_t cappedRangeSpan = 65536;

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
