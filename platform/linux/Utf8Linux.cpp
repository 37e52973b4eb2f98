// Stand-in of WideCharToMultiByte(CP_UTF8) for the Linux build.
#include "../Utf8.h"

namespace platform {

std::string wideToUtf8(std::u16string_view text) {
    return wideToUtf8Portable(text);
}

} // namespace platform
