// Every registration the library makes, by source file in the order the files
// register them. Module files add their rows here as they arrive.
#pragma once

#include "framework/ModuleApi.h"
#include "tests/AsciiText.h"

struct ExpectedRegistration {
    int32_t subType;
    const char16_t* moduleId;
};

inline constexpr ExpectedRegistration expectedRegistrations[] = {
    {Gui2Part, u"AppendFName"},
    {Gui2Part, u"ARGB2Str"},
    {Gui2Part, u"Better Joystick Image"},
    {Gui2Part, u"BetterListBox"},
    {Gui2Part, u"CheckValveLR_Bool"},
    {Gui2Part, u"CheckValveLR_Float"},
    {Gui2Part, u"CheckValveLR_Int"},
    {Gui2Part, u"CheckValveRL_Bool"},
    {Gui2Part, u"CheckValveRL_Float"},
    {Gui2Part, u"CheckValveRL_Int"},
    {Gui2Part, u"DblClckRes"},
    {Gui2Part, u"FileBrowser"},
    {Gui2Part, u"FileReq"},
    {Gui2Part, u"Fixed_Int"},
    {Gui2Part, u"Fixed_Float"},
    {Gui2Part, u"Fixed_String"},
    {Gui2Part, u"Fixed_Bool"},
    {Gui2Part, u"KZ_Float2TxtC"},
    {AudioPart, u"GUISet2Trig"},
    {Gui2Part, u"GUISet2Trig"},
    {Gui2Part, u"KZ_HoverBox"},
    {Gui2Part, u"ImgM2C"},
    {Gui2Part, u"KZ_Int2TxtC"},
    {Gui2Part, u"JogShuttle"},
    {Gui2Part, u"KZLine"},
    {Gui2Part, u"MouseBox"},
    {Gui2Part, u"KZ_Oct2Hz"},
    {Gui2Part, u"KZ_Hz2Oct"},
    {Gui2Part, u"PolarPicker"},
    {GuiPart, u"RadioButtons"},
    {Gui2Part, u"KZ_RndFloat"},
    {Gui2Part, u"KZ_RndInt"},
    {Gui2Part, u"ScrollBar"},
    {Gui2Part, u"SplitFName"},
    {Gui2Part, u"SplitterInt"},
    {Gui2Part, u"SplitterFloat"},
    {Gui2Part, u"SplitterText"},
    {Gui2Part, u"SplitterBool"},
    {Gui2Part, u"SplitterBlob"},
    {Gui2Part, u"StringLoader"},
    {Gui2Part, u"StringSaver"},
    {Gui2Part, u"TriggerInt"},
    {Gui2Part, u"TriggerFloat"},
    {Gui2Part, u"TriggerString"},
    {Gui2Part, u"TriggerBool"},
    {Gui2Part, u"TriggerBlob"},
    {Gui2Part, u"KZ_TriggerInt2"},
    {Gui2Part, u"KZ_TriggerFloat2"},
    {Gui2Part, u"KZ_TriggerString2"},
    {Gui2Part, u"KZ_TriggerBool2"},
    {Gui2Part, u"KZ_TriggerBlob2"},
    {Gui2Part, u"KZ_V2dB"},
    {Gui2Part, u"KZ_dB2V"},
};
