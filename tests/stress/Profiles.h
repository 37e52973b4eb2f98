// What the stress run knows of each registration: which of the host's
// interfaces drive it and what each of its pins means, so that it can send
// values of the right type and of the kind that reaches the interesting code
// (picture names, item lists, colours, file names), besides wrong ones.
#pragma once

#include "framework/ModuleApi.h"

#include <cstdint>
#include <string>
#include <vector>

namespace stress {

enum class ModuleKind {
    Invisible, // IMpUserInterface2 only
    Widget,    // IMpUserInterface2 and IMpGraphics2
    Legacy,    // the older GUI kind (IMpUserInterface), attached at creation
    Audio,     // the audio part (IMpPlugin2)
};

enum class PinRole {
    Bool,
    Int,
    Float,
    Blob,
    Text,        // any text
    PathText,    // text that looks like a path; never used to touch files
    NumberText,  // text that a converter reads as a number
    Colour,      // ArgbHexText
    Hint,        // hint text
    PictureName, // the name of a skin picture
    StyleName,   // the name of a skin text style
    MenuItems,   // item-list text offered as a context menu
    ListItems,   // item-list text shown by the list box
    FileTypes,   // item-list text offered as file types
    Extension,   // a file extension without its dot
    ReadFile,    // a file the module reads, in the run's folder
    WriteFile,   // a file the module writes: only names inside the run's folder
    Folder,      // a folder the module lists: only names inside the run's folder
    UpTrigger,   // the folder browser's "up" trigger: only pulled inside the run's folder
};

// Roles whose values reach the file system: they only ever carry names the
// run made, inside its own folder, whatever the operation.
bool touchesFiles(PinRole role);

struct PinProfile {
    int32_t index;
    PinRole role;
};

struct ModuleProfile {
    int32_t subType;
    std::u16string id;
    ModuleKind kind;
    std::vector<PinProfile> pins;
    // Pins the host adds beyond the registered ones, all of one role: the
    // splitters' copies (at most addedPins of them) and the radio-button
    // group's outputs (as many as the host's pin count says).
    PinRole addedRole = PinRole::Int;
    int32_t addedPins = 0;

    const PinProfile* pin(int32_t index) const;
    // "ScrollBar", "GUISet2Trig (audio part)".
    std::string label() const;
};

// One profile for each registration of the library, in registration order.
const std::vector<ModuleProfile>& moduleProfiles();

} // namespace stress
