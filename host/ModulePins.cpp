#include "ModulePins.h"

#include <initializer_list>

namespace testhost {

const PinDescription* ModuleDescription::pin(int32_t index) const {
    for (const PinDescription& p : pins)
        if (p.index == index)
            return &p;
    return nullptr;
}

std::string moduleLabel(int32_t subType, std::u16string_view id) {
    std::string text;
    for (const char16_t c : id)
        text += c < 0x80 ? char(c) : '?';
    if (subType == AudioPart)
        text += " (audio part)";
    return text;
}

std::string ModuleDescription::label() const {
    return moduleLabel(subType, id);
}

namespace {

using R = PinRole;
constexpr PinDirection In = PinDirection::In;
constexpr PinDirection Out = PinDirection::Out;
constexpr PinDirection InOut = PinDirection::InOut;

struct Pin {
    PinRole role;
    PinDirection direction;
    const char* what;
};

std::vector<PinDescription> numbered(std::initializer_list<Pin> pins) {
    std::vector<PinDescription> out;
    for (const Pin& p : pins)
        out.push_back({int32_t(out.size()), p.role, p.direction, p.what});
    return out;
}

ModuleDescription invisible(std::u16string id, std::initializer_list<Pin> pins) {
    return {Gui2Part, std::move(id), ModuleKind::Invisible, numbered(pins), std::nullopt};
}

ModuleDescription widget(std::u16string id, std::initializer_list<Pin> pins) {
    return {Gui2Part, std::move(id), ModuleKind::Widget, numbered(pins), std::nullopt};
}

ModuleDescription splitter(std::u16string id, PinRole role) {
    ModuleDescription module =
        invisible(std::move(id), {{role, InOut, "a value on it goes on to every added pin"}});
    module.added =
        AddedPins{role, InOut, "added by the host: a value on one goes on to the others"};
    return module;
}

// The two valve directions; every valve has two int pins, whatever its ID says.
ModuleDescription valveLeftToRight(std::u16string id) {
    return invisible(std::move(id), {{R::Int, In, "source: its 32 bits go on to pin 1"},
                                     {R::Int, Out, "destination: takes pin 0's value"}});
}

ModuleDescription valveRightToLeft(std::u16string id) {
    return invisible(std::move(id), {{R::Int, Out, "destination: takes pin 1's value"},
                                     {R::Int, In, "source: its 32 bits go on to pin 0"}});
}

ModuleDescription trigger(std::u16string id, PinRole role) {
    return invisible(std::move(id), {{role, Out, "output: takes the input on a true trigger"},
                                     {role, In, "input"},
                                     {R::Bool, In, "trigger A: true copies the input out"},
                                     {R::Bool, In, "trigger B: as trigger A"}});
}

ModuleDescription twoStageTrigger(std::u16string id, PinRole role) {
    return invisible(std::move(id), {{role, In, "input"},
                                     {role, Out, "output: takes the latch on a true trigger"},
                                     {R::Bool, In,
                                      "trigger A: true latches the input, then "
                                      "sends the latch out"},
                                     {R::Bool, In, "trigger B: as trigger A"},
                                     {role, Out, "latch: the input at the last trigger"}});
}

ModuleDescription fixedValue(std::u16string id, PinRole role) {
    return invisible(std::move(id),
                     {{role, In, "the value: goes to output B, then to output A"},
                      {R::Bool, In, "lock: while true, an output the host changes is set back"},
                      {role, InOut, "output A"},
                      {role, InOut, "output B"}});
}

ModuleDescription randomSequence(std::u16string id, PinRole role) {
    return invisible(std::move(id), {{role, In, "lowest value"},
                                     {role, In, "highest value"},
                                     {role, Out, "output: the sequence's current value"},
                                     {R::Bool, In, "next: true steps forward"},
                                     {R::Bool, In, "previous: true steps back"}});
}

std::vector<ModuleDescription> makeDescriptions() {
    std::vector<ModuleDescription> all = {
        invisible(u"AppendFName",
                  {{R::PathText, In, "folder"},
                   {R::PathText, In, "file name"},
                   {R::PathText, Out, "the folder joined with the file name (Windows rules)"}}),
        invisible(u"ARGB2Str",
                  {{R::Float, InOut, "alpha, 0 to 1"},
                   {R::Float, InOut, "red, 0 to 1"},
                   {R::Float, InOut, "green, 0 to 1"},
                   {R::Float, InOut, "blue, 0 to 1"},
                   {R::Colour, InOut, "the colour as AARRGGBB text; read back into pins 0-3"}}),
        widget(u"Better Joystick Image",
               {{R::Float, In, "animation position of the handle picture, 0 to 1"},
                {R::PictureName, In, "name of the handle picture"},
                {R::Hint, In, "hint text"},
                {R::MenuItems, In, "context-menu items"},
                {R::Int, Out, "the context-menu item picked"},
                {R::Bool, Out, "mouse down: true from an accepted press to the release"},
                {R::Int, Out, "frames of the loaded picture"},
                {R::Float, InOut, "x of the handle, 0 at the left"},
                {R::Float, InOut, "y of the handle, 0 at the bottom"},
                {R::Bool, In, "jump to click: a press centres the handle on the pointer"},
                {R::Bool, In, "a press off the handle starts a drag too"},
                {R::Float, In, "lowest x"},
                {R::Float, In, "highest x"},
                {R::Float, In, "lowest y"},
                {R::Float, In, "highest y"},
                {R::Colour, In, "background colour at the top"},
                {R::Colour, In, "background colour at the bottom"},
                {R::Float, In, "factor of a drag with the fine-adjust flag"}}),
        widget(u"BetterListBox",
               {{R::Int, InOut, "id of the selected item"},
                {R::ListItems, In, "the items, as an item list"},
                {R::Bool, Out, "true from a press on an item to the release"},
                {R::StyleName, InOut, "name of the skin text style; empty is set to normal"},
                {R::Colour, In, "text colour"},
                {R::Colour, In, "background colour at the top"},
                {R::Colour, In, "background colour at the bottom"},
                {R::Colour, In, "colour of the selected line"},
                {R::Colour, In, "colour of the scroll thumb"},
                {R::Colour, In, "colour of the scroll strip"},
                {R::Bool, In, "hide the scroll strip while every item fits"}}),
        valveLeftToRight(u"CheckValveLR_Bool"),
        valveLeftToRight(u"CheckValveLR_Float"),
        valveLeftToRight(u"CheckValveLR_Int"),
        valveRightToLeft(u"CheckValveRL_Bool"),
        valveRightToLeft(u"CheckValveRL_Float"),
        valveRightToLeft(u"CheckValveRL_Int"),
        invisible(u"DblClckRes", {{R::Float, Out, "result: takes pin 1 on a double click"},
                                  {R::Float, In, "the value a double click copies"},
                                  {R::Float, In, "longest time between the clicks, in ms"},
                                  {R::Bool, In, "mouse down: true while pressed"}}),
        invisible(u"FileBrowser",
                  {{R::Folder, InOut, "folder listed; set when the module moves to another"},
                   {R::Extension, In, "extension to list, without the dot; empty lists all"},
                   {R::Bool, In, "hide the extensions in the list"},
                   {R::Bool, In, "refresh: true lists the folder again"},
                   {R::UpTrigger, In, "up: true moves to the folder above"},
                   {R::Int, InOut, "position in the list, from 0 (-1: none)"},
                   {R::Text, Out, "the list, comma-separated; sub-folders end in /"},
                   {R::ReadFile, InOut, "full path of the selected file"}}),
        invisible(u"FileReq",
                  {{R::ReadFile, InOut, "file name: the dialog's preset, then the chosen file"},
                   {R::FileTypes, In, "file types to offer, as an item list (wav,mid)"},
                   {R::Bool, In, "save mode: true asks for a file to save"},
                   {R::Bool, In, "open: falling to false opens the dialog"},
                   {R::Bool, Out, "done: pulses once a file was chosen"}}),
        fixedValue(u"Fixed_Int", R::Int),
        fixedValue(u"Fixed_Float", R::Float),
        fixedValue(u"Fixed_String", R::Text),
        fixedValue(u"Fixed_Bool", R::Bool),
        invisible(u"KZ_Float2TxtC",
                  {{R::Float, InOut, "value; a change writes it, clamped, as text on pin 4"},
                   {R::Float, In, "lowest value"},
                   {R::Float, In, "highest value"},
                   {R::Int, In, "significant digits of the text"},
                   {R::NumberText, InOut, "the value as text; read back into pin 0"}}),
        {AudioPart, u"GUISet2Trig", ModuleKind::Audio,
         numbered({{R::Bool, In, "trigger: each change starts a pulse"},
                   {R::Bool, In, "skip the first trigger"},
                   {R::Int, In, "pulse length in samples (at least 1)"},
                   {R::Bool, In, "inverted: the pulse is 0 and the rest 1"},
                   {R::AudioSignal, Out, "the pulse"}}),
         std::nullopt},
        invisible(u"GUISet2Trig", {{R::Float, In, "input: each update counts"},
                                   {R::Int, In, "input: each update counts"},
                                   {R::Text, In, "input: each update counts"},
                                   {R::Bool, In, "input: each update counts"},
                                   {R::Blob, In, "input: each update counts"},
                                   {R::Float, In, "input: each update counts"},
                                   {R::Int, In, "input: each update counts"},
                                   {R::Text, In, "input: each update counts"},
                                   {R::Bool, In, "input: each update counts"},
                                   {R::Blob, In, "input: each update counts"},
                                   {R::Bool, Out, "toggles on each update after the fifth"}}),
        widget(u"KZ_HoverBox", {{R::Float, Out, "x of the last point tested"},
                                {R::Float, Out, "y of the last point tested"},
                                {R::Bool, Out, "pulses on each hit test"}}),
        invisible(u"ImgM2C", {{R::Int, Out, "output: the last input other than -1"},
                              {R::Int, In, "input; -1 leaves the output as it is"}}),
        invisible(u"KZ_Int2TxtC",
                  {{R::Int, InOut, "value; a change writes it, clamped, as text on pin 3"},
                   {R::Int, In, "lowest value"},
                   {R::Int, In, "highest value"},
                   {R::NumberText, InOut, "the value as text; read back into pin 0"}}),
        widget(u"JogShuttle", {{R::Float, InOut, "phase: the fraction of the current turn, 0 to 1"},
                               {R::Float, InOut, "the dial's value"},
                               {R::Float, In, "lowest value"},
                               {R::Float, In, "highest value"},
                               {R::Float, In, "turns that sweep the whole range"},
                               {R::PictureName, In, "name of the dial's picture"},
                               {R::Hint, In, "hint text"},
                               {R::MenuItems, In, "context-menu items"},
                               {R::Int, Out, "the context-menu item picked"},
                               {R::Bool, Out, "mouse down: true from a press to the release"},
                               {R::Bool, Out, "mouse down, as pin 9"},
                               {R::Int, Out, "frames of the loaded picture"},
                               {R::Int, Out, "frames of the loaded picture, as pin 11"},
                               {R::Float, Out, "turns of the last move that changed the value"}}),
        widget(u"KZLine", {{R::Bool, In, "vertical: true draws a vertical line"},
                           {R::Float, In, "position across the area, 0 to 1"},
                           {R::Int, In, "thickness in pixels"},
                           {R::Colour, In, "line colour"},
                           {R::Colour, In, "background colour"},
                           {R::Bool, Out, "mouse down: true while held on the line"}}),
        widget(u"MouseBox",
               {{R::Int, In, "flip: bit 0 counts y from the bottom, bit 1 x from the right"},
                {R::Hint, In, "hint text"},
                {R::MenuItems, In, "context-menu items"},
                {R::Int, Out, "the context-menu item picked"},
                {R::Bool, Out, "mouse down: true from a press to the release"},
                {R::Int, Out, "width in pixels, on each repaint"},
                {R::Int, Out, "height in pixels, on each repaint"},
                {R::Int, Out, "pointer x in pixels"},
                {R::Int, Out, "pointer y in pixels"},
                {R::Float, Out, "pointer x as a fraction of the width"},
                {R::Float, Out, "pointer y as a fraction of the height"},
                {R::Float, Out, "pointer angle around the centre, clockwise from the top"},
                {R::Int, Out, "change of pin 7 since the last report"},
                {R::Int, Out, "change of pin 8 since the last report"},
                {R::Float, Out, "change of pin 9 since the last report"},
                {R::Float, Out, "change of pin 10 since the last report"},
                {R::Float, Out, "change of pin 11 since the last report"}}),
        invisible(u"KZ_Oct2Hz", {{R::Float, InOut, "octave; a change sets pin 1 (5 is 440 Hz)"},
                                 {R::Float, InOut, "hertz; a change sets pin 0"}}),
        invisible(u"KZ_Hz2Oct", {{R::Float, InOut, "hertz; a change sets pin 1"},
                                 {R::Float, InOut, "octave; a change sets pin 0 (5 is 440 Hz)"}}),
        widget(u"PolarPicker",
               {{R::Float, In, "animation position of the handle picture, 0 to 1"},
                {R::PictureName, In, "name of the handle picture"},
                {R::Hint, In, "hint text"},
                {R::MenuItems, In, "context-menu items"},
                {R::Int, Out, "the context-menu item picked"},
                {R::Bool, Out, "mouse down: true from a press to the release"},
                {R::Int, Out, "frames of the loaded picture"},
                {R::Float, InOut, "angle, a fraction of a turn anticlockwise from the right"},
                {R::Float, InOut, "radius, 0 at the centre to 1 at the edge"},
                {R::Colour, In, "disc colour at the centre"},
                {R::Colour, In, "disc colour at the rim"},
                {R::Float, In, "inset of the disc from the area's edges, in pixels"},
                {R::Int, In, "shift of the disc's centre to the right, in pixels"},
                {R::Int, In, "shift of the disc's centre down, in pixels"}}),
        {GuiPart, u"RadioButtons", ModuleKind::Legacy,
         numbered({{R::Int, InOut, "selection: the lit output, from 0"},
                   {R::Bool, In, "toggle mode: pressing the lit output turns it off"}}),
         AddedPins{R::Float, InOut, "added by the host, one per button: 1 lit, 0 dark"}},
        randomSequence(u"KZ_RndFloat", R::Float),
        randomSequence(u"KZ_RndInt", R::Int),
        widget(u"ScrollBar", {{R::Int, InOut, "position, 0 to range - page size"},
                              {R::Int, In, "page size"},
                              {R::Int, In, "range"},
                              {R::Bool, Out, "true while the thumb is held"},
                              {R::Bool, In, "step back: steps down by 1 while true"},
                              {R::Bool, In, "step forward: steps up by 1 while true"},
                              {R::Colour, In, "track colour at the end"},
                              {R::Colour, In, "track colour at the start"},
                              {R::Colour, In, "thumb colour"},
                              {R::Bool, In, "two thin lines along the track"}}),
        invisible(u"SplitFName", {{R::PathText, In, "path"},
                                  {R::PathText, Out, "its folder (Windows rules)"},
                                  {R::PathText, Out, "its file name"}}),
        splitter(u"SplitterInt", R::Int),
        splitter(u"SplitterFloat", R::Float),
        splitter(u"SplitterText", R::Text),
        splitter(u"SplitterBool", R::Bool),
        splitter(u"SplitterBlob", R::Blob),
        invisible(u"StringLoader", {{R::Text, Out, "the text read from the file"},
                                    {R::Bool, In, "load: true reads the file"},
                                    {R::Bool, In, "auto-load: a new file name is read at once"},
                                    {R::ReadFile, In, "file name"},
                                    {R::ReadFile, In, "file name, as pin 3"}}),
        invisible(u"StringSaver",
                  {{R::Text, In, "the text to write"},
                   {R::Bool, In, "save: true writes the file"},
                   {R::Bool, In, "auto-save: turning it on, or a new file name, writes the file"},
                   {R::WriteFile, In, "file name"},
                   {R::WriteFile, In, "file name, as pin 3"}}),
    };
    const std::pair<const char16_t*, PinRole> valueTypes[] = {
        {u"Int", R::Int},   {u"Float", R::Float}, {u"String", R::Text},
        {u"Bool", R::Bool}, {u"Blob", R::Blob},
    };
    for (const auto& [type, role] : valueTypes)
        all.push_back(trigger(std::u16string(u"Trigger") + type, role));
    for (const auto& [type, role] : valueTypes)
        all.push_back(twoStageTrigger(std::u16string(u"KZ_Trigger") + type + u"2", role));
    all.push_back(invisible(u"KZ_V2dB", {{R::Float, InOut, "volts; a change sets pin 1"},
                                         {R::Float, InOut, "decibels; a change sets pin 0"}}));
    all.push_back(invisible(u"KZ_dB2V", {{R::Float, InOut, "decibels; a change sets pin 1"},
                                         {R::Float, InOut, "volts; a change sets pin 0"}}));
    return all;
}

} // namespace

const std::vector<ModuleDescription>& moduleDescriptions() {
    static const std::vector<ModuleDescription> all = makeDescriptions();
    return all;
}

const ModuleDescription* findModuleDescription(int32_t subType, std::u16string_view id) {
    for (const ModuleDescription& module : moduleDescriptions())
        if (module.subType == subType && module.id == id)
            return &module;
    return nullptr;
}

std::string_view pinTypeWord(PinRole role) {
    switch (role) {
    case PinRole::Bool:
    case PinRole::UpTrigger:
        return "bool";
    case PinRole::Int:
        return "int";
    case PinRole::Float:
        return "float";
    case PinRole::Blob:
        return "blob";
    case PinRole::AudioSignal:
        return "audio";
    default:
        return "text";
    }
}

std::string_view pinDirectionWord(PinDirection direction) {
    switch (direction) {
    case PinDirection::In:
        return "in";
    case PinDirection::Out:
        return "out";
    case PinDirection::InOut:
        return "in/out";
    }
    return "?";
}

} // namespace testhost
