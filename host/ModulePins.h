// What a host knows of each registration of the library: how it is made and
// what each of its pins is for. The reference host lists it (`tavri_refhost
// --list`); the nested-call stress run picks its values by the pins' roles.
// Entries are looked up by sub-type and module ID, so their order is only
// that of the listing.
#pragma once

#include "../framework/ModuleApi.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testhost {

enum class ModuleKind {
    Invisible, // IMpUserInterface2 only
    Widget,    // IMpUserInterface2 and IMpGraphics2
    Legacy,    // the older GUI kind (IMpUserInterface), attached at creation
    Audio,     // the audio part (IMpPlugin2)
};

// The kind of value a pin carries; its type follows from it (pinTypeWord).
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
    ReadFile,    // a file the module reads
    WriteFile,   // a file the module writes
    Folder,      // a folder the module lists
    UpTrigger,   // the folder browser's "up" trigger (a bool)
    AudioSignal, // an audio part's buffer of samples
};

// Which way a pin's values go: In, the host sets it and the module reads it;
// Out, the module sends it; InOut, both.
enum class PinDirection { In, Out, InOut };

struct PinDescription {
    int32_t index;
    PinRole role;
    PinDirection direction;
    const char* what; // a few words on what it does
};

// Pins the host adds after the registered ones, all alike: the splitters'
// copies and the radio-button group's outputs.
struct AddedPins {
    PinRole role;
    PinDirection direction;
    const char* what;
};

struct ModuleDescription {
    int32_t subType;
    std::u16string id;
    ModuleKind kind;
    std::vector<PinDescription> pins; // in index order, from 0
    std::optional<AddedPins> added;

    const PinDescription* pin(int32_t index) const;
    std::string label() const; // moduleLabel
};

// A registration's name for people: "ScrollBar", "GUISet2Trig (audio part)".
std::string moduleLabel(int32_t subType, std::u16string_view id);

// Every registration of the library.
const std::vector<ModuleDescription>& moduleDescriptions();
// The registration of that sub-type and ID, or null.
const ModuleDescription* findModuleDescription(int32_t subType, std::u16string_view id);

// The scenario's word for a pin's type: "bool", "int", "float", "text",
// "blob" or "audio".
std::string_view pinTypeWord(PinRole role);
// "in", "out" or "in/out".
std::string_view pinDirectionWord(PinDirection direction);

} // namespace testhost
