#include "../Utf8.h"

#include <windows.h>

#include <climits>

namespace platform {

std::string wideToUtf8(std::u16string_view text) {
    if (text.empty() || text.size() > size_t(INT_MAX))
        return {};
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int units = int(text.size());
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, units, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return {};
    std::string out(size_t(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, units, out.data(), bytes, nullptr, nullptr);
    return out;
}

} // namespace platform
