// Every registration the library makes, by source file in the order the files
// register them. Module files add their rows here as they arrive.
#pragma once

#include "framework/ModuleApi.h"

#include <string>
#include <string_view>

struct ExpectedRegistration {
    int32_t subType;
    const char16_t* moduleId;
};

inline constexpr ExpectedRegistration expectedRegistrations[] = {
    {Gui2Part, u"KZ_Oct2Hz"},
    {Gui2Part, u"KZ_Hz2Oct"},
    {Gui2Part, u"StringLoader"},
    {Gui2Part, u"StringSaver"},
    {Gui2Part, u"KZ_V2dB"},
    {Gui2Part, u"KZ_dB2V"},
};

// An ASCII rendering of a module ID for test messages.
inline std::string narrow(std::u16string_view id) {
    std::string out;
    for (const char16_t c : id)
        out += c < 0x80 ? char(c) : '?';
    return out;
}
