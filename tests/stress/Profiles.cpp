#include "Profiles.h"

#include "tests/RegistrationTable.h"

namespace stress {

bool touchesFiles(PinRole role) {
    return role == PinRole::ReadFile || role == PinRole::WriteFile || role == PinRole::Folder ||
           role == PinRole::UpTrigger;
}

const PinProfile* ModuleProfile::pin(int32_t index) const {
    for (const PinProfile& p : pins)
        if (p.index == index)
            return &p;
    return nullptr;
}

std::string ModuleProfile::label() const {
    std::string text = narrowToAscii(id);
    if (subType == AudioPart)
        text += " (audio part)";
    return text;
}

namespace {

using R = PinRole;

std::vector<PinProfile> numbered(std::initializer_list<PinRole> roles) {
    std::vector<PinProfile> pins;
    int32_t index = 0;
    for (const PinRole role : roles)
        pins.push_back({index++, role});
    return pins;
}

ModuleProfile invisible(const char16_t* id, std::initializer_list<PinRole> roles) {
    return {Gui2Part, id, ModuleKind::Invisible, numbered(roles)};
}

ModuleProfile widget(const char16_t* id, std::initializer_list<PinRole> roles) {
    return {Gui2Part, id, ModuleKind::Widget, numbered(roles)};
}

ModuleProfile splitter(const char16_t* id, PinRole role) {
    ModuleProfile profile = invisible(id, {role});
    profile.addedRole = role;
    profile.addedPins = 3;
    return profile;
}

std::vector<ModuleProfile> makeProfiles() {
    std::vector<ModuleProfile> all = {
        invisible(u"AppendFName", {R::PathText, R::PathText, R::PathText}),
        invisible(u"ARGB2Str", {R::Float, R::Float, R::Float, R::Float, R::Colour}),
        widget(u"Better Joystick Image",
               {R::Float, R::PictureName, R::Hint, R::MenuItems, R::Int, R::Bool, R::Int, R::Float,
                R::Float, R::Bool, R::Bool, R::Float, R::Float, R::Float, R::Float, R::Colour,
                R::Colour, R::Float}),
        widget(u"BetterListBox", {R::Int, R::ListItems, R::Bool, R::StyleName, R::Colour, R::Colour,
                                  R::Colour, R::Colour, R::Colour, R::Colour, R::Bool}),
        // Every valve has two int pins, whatever its name says.
        invisible(u"CheckValveLR_Bool", {R::Int, R::Int}),
        invisible(u"CheckValveLR_Float", {R::Int, R::Int}),
        invisible(u"CheckValveLR_Int", {R::Int, R::Int}),
        invisible(u"CheckValveRL_Bool", {R::Int, R::Int}),
        invisible(u"CheckValveRL_Float", {R::Int, R::Int}),
        invisible(u"CheckValveRL_Int", {R::Int, R::Int}),
        invisible(u"DblClckRes", {R::Float, R::Float, R::Float, R::Bool}),
        invisible(u"FileBrowser", {R::Folder, R::Extension, R::Bool, R::Bool, R::UpTrigger, R::Int,
                                   R::Text, R::ReadFile}),
        invisible(u"FileReq", {R::ReadFile, R::FileTypes, R::Bool, R::Bool, R::Bool}),
        invisible(u"Fixed_Int", {R::Int, R::Bool, R::Int, R::Int}),
        invisible(u"Fixed_Float", {R::Float, R::Bool, R::Float, R::Float}),
        invisible(u"Fixed_String", {R::Text, R::Bool, R::Text, R::Text}),
        invisible(u"Fixed_Bool", {R::Bool, R::Bool, R::Bool, R::Bool}),
        invisible(u"KZ_Float2TxtC", {R::Float, R::Float, R::Float, R::Int, R::NumberText}),
        {AudioPart, u"GUISet2Trig", ModuleKind::Audio, {}},
        invisible(u"GUISet2Trig", {R::Float, R::Int, R::Text, R::Bool, R::Blob, R::Float, R::Int,
                                   R::Text, R::Bool, R::Blob, R::Bool}),
        widget(u"KZ_HoverBox", {R::Float, R::Float, R::Bool}),
        invisible(u"ImgM2C", {R::Int, R::Int}),
        invisible(u"KZ_Int2TxtC", {R::Int, R::Int, R::Int, R::NumberText}),
        widget(u"JogShuttle",
               {R::Float, R::Float, R::Float, R::Float, R::Float, R::PictureName, R::Hint,
                R::MenuItems, R::Int, R::Bool, R::Bool, R::Int, R::Int, R::Float}),
        widget(u"KZLine", {R::Bool, R::Float, R::Int, R::Colour, R::Colour, R::Bool}),
        widget(u"MouseBox",
               {R::Int, R::Hint, R::MenuItems, R::Int, R::Bool, R::Int, R::Int, R::Int, R::Int,
                R::Float, R::Float, R::Float, R::Int, R::Int, R::Float, R::Float, R::Float}),
        invisible(u"KZ_Oct2Hz", {R::Float, R::Float}),
        invisible(u"KZ_Hz2Oct", {R::Float, R::Float}),
        widget(u"PolarPicker",
               {R::Float, R::PictureName, R::Hint, R::MenuItems, R::Int, R::Bool, R::Int, R::Float,
                R::Float, R::Colour, R::Colour, R::Float, R::Int, R::Int}),
        {GuiPart, u"RadioButtons", ModuleKind::Legacy, numbered({R::Int, R::Bool}), R::Float, 0},
        invisible(u"KZ_RndFloat", {R::Float, R::Float, R::Float, R::Bool, R::Bool}),
        invisible(u"KZ_RndInt", {R::Int, R::Int, R::Int, R::Bool, R::Bool}),
        widget(u"ScrollBar", {R::Int, R::Int, R::Int, R::Bool, R::Bool, R::Bool, R::Colour,
                              R::Colour, R::Colour, R::Bool}),
        invisible(u"SplitFName", {R::PathText, R::PathText, R::PathText}),
        splitter(u"SplitterInt", R::Int),
        splitter(u"SplitterFloat", R::Float),
        splitter(u"SplitterText", R::Text),
        splitter(u"SplitterBool", R::Bool),
        splitter(u"SplitterBlob", R::Blob),
        invisible(u"StringLoader", {R::Text, R::Bool, R::Bool, R::ReadFile, R::ReadFile}),
        invisible(u"StringSaver", {R::Text, R::Bool, R::Bool, R::WriteFile, R::WriteFile}),
    };
    const std::pair<const char16_t*, PinRole> valueTypes[] = {
        {u"Int", R::Int},   {u"Float", R::Float}, {u"String", R::Text},
        {u"Bool", R::Bool}, {u"Blob", R::Blob},
    };
    for (const auto& [type, role] : valueTypes)
        all.push_back(
            invisible((std::u16string(u"Trigger") + type).c_str(), {role, role, R::Bool, R::Bool}));
    for (const auto& [type, role] : valueTypes)
        all.push_back(invisible((std::u16string(u"KZ_Trigger") + type + u"2").c_str(),
                                {role, role, R::Bool, R::Bool, role}));
    all.push_back(invisible(u"KZ_V2dB", {R::Float, R::Float}));
    all.push_back(invisible(u"KZ_dB2V", {R::Float, R::Float}));
    return all;
}

} // namespace

const std::vector<ModuleProfile>& moduleProfiles() {
    static const std::vector<ModuleProfile> profiles = makeProfiles();
    return profiles;
}

} // namespace stress
