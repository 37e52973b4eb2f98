// The UTF-8 conversions of the library, and the one reader of UTF-8 sequences
// that every decoding is built on.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// One UTF-8 sequence read from the front of some bytes.
struct Utf8Sequence {
    char32_t character; // the character, when well formed
    size_t length;      // bytes read, at least 1
    bool wellFormed;
};

// Reads the sequence at the front of bytes, which must not be empty. Well
// formed is the shortest form of a Unicode scalar value: no overlong form, no
// encoded surrogate, nothing above U+10FFFF, nothing cut short. An ill-formed
// sequence reports the length of its longest start that could still have
// become a well-formed sequence, or 1 when there is none (a lone continuation
// byte, or a byte that never starts one).
Utf8Sequence readUtf8Sequence(std::string_view bytes);

// True when every sequence of bytes is well formed.
bool isWellFormedUtf8(std::string_view bytes);

// Strict conversion of the text pins. Wide text is UCS-2: invalid UTF-8, a
// character above U+FFFF or an encoded surrogate throws std::range_error
// "wstring_convert::from_bytes"; a surrogate unit throws std::range_error
// "wstring_convert::to_bytes".
std::u16string utf8ToUcs2(std::string_view utf8);
std::string ucs2ToUtf8(std::u16string_view text);

// Lenient decoding, the behaviour of MultiByteToWideChar(CP_UTF8): a character
// above U+FFFF becomes a surrogate pair, and each ill-formed sequence (as
// readUtf8Sequence delimits it) one U+FFFD. Never throws for bad input.
std::u16string utf8ToWide(std::string_view utf8);
void appendUtf8ToWide(std::u16string& wide, std::string_view utf8);

// Lenient conversion, the behaviour of WideCharToMultiByte(CP_UTF8): a
// surrogate pair becomes one 4-byte character, a lone surrogate U+FFFD. Never
// throws for bad input.
std::string wideToUtf8(std::u16string_view text);

// The same conversion written portably; it serves as wideToUtf8 on Linux.
std::string wideToUtf8Portable(std::u16string_view text);

} // namespace platform
