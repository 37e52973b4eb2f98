// The two UTF-8 conversions of the library.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Strict conversion of the text pins. Wide text is UCS-2: invalid UTF-8, a
// character above U+FFFF or an encoded surrogate throws std::range_error
// "wstring_convert::from_bytes"; a surrogate unit throws std::range_error
// "wstring_convert::to_bytes".
std::u16string utf8ToUcs2(std::string_view utf8);
std::string ucs2ToUtf8(std::u16string_view text);

// Lenient conversion, the behaviour of WideCharToMultiByte(CP_UTF8): a
// surrogate pair becomes one 4-byte character, a lone surrogate U+FFFD. Never
// throws for bad input.
std::string wideToUtf8(std::u16string_view text);

// The same conversion written portably; it serves as wideToUtf8 on Linux.
std::string wideToUtf8Portable(std::u16string_view text);

} // namespace platform
