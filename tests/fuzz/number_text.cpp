// The 32-bit number readers on arbitrary byte and wide text: no crash, the
// consumed count stays within the text, and the two text widths agree.
#include "platform/NumberText.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const int base = data[0] % 2 ? 16 : 10;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    std::u16string wide(bytes.begin(), bytes.end());
    for (char16_t& c : wide)
        c = char16_t(static_cast<unsigned char>(c));
    size_t a = 0, b = 0;
    const int32_t narrowValue = platform::parseInt32(bytes, base, &a);
    const int32_t wideValue = platform::parseInt32(wide, base, &b);
    if (narrowValue != wideValue || a != b || a > bytes.size())
        std::abort();
    size_t c = 0;
    const uint32_t unsignedValue = platform::parseUInt32(bytes, base, &c);
    if (c != a)
        std::abort();
    // Both readers agree wherever neither clamps.
    if (narrowValue > INT32_MIN && narrowValue < INT32_MAX && unsignedValue != 0xFFFFFFFFu &&
        uint32_t(narrowValue) != unsignedValue)
        std::abort();
    return 0;
}
