// Both UTF-8 conversions on arbitrary input: the strict one either throws its
// range_error or gives text that converts back to the same bytes; the lenient
// one never throws and, for text without surrogates, agrees with the strict one.
#include "platform/Utf8.h"

#include <cstdlib>
#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        const std::u16string wide = platform::utf8ToUcs2(bytes);
        if (platform::ucs2ToUtf8(wide) != bytes || platform::wideToUtf8(wide) != bytes)
            std::abort();
    } catch (const std::range_error&) {
    }
    std::u16string units(size / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i)
        units[i] = char16_t(data[2 * i] | data[2 * i + 1] << 8);
    const std::string lenient = platform::wideToUtf8(units);
    try {
        if (platform::ucs2ToUtf8(units) != lenient)
            std::abort();
    } catch (const std::range_error&) {
        // Surrogates: the lenient form must still be valid UTF-8.
        for (size_t i = 0; i < lenient.size(); ++i)
            if (static_cast<unsigned char>(lenient[i]) == 0xFF)
                std::abort();
    }
    return 0;
}
