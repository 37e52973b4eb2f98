// Text helpers of the installer: UTF-8 and UTF-16, the data file's lines, and
// the file list's order.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace installer {

// UTF-16 to UTF-8; a surrogate pair becomes one 4-byte character, a lone
// surrogate U+FFFD.
std::string toUtf8(std::u16string_view text);

// Bytes read from a file, typed in or listed as a name: valid UTF-8 is
// decoded, anything else is read byte by byte as Latin-1, so that no byte is lost.
std::u16string decodeText(std::string_view bytes);

// Lines ended by CR LF, LF or CR; a final line break starts no further line.
std::vector<std::u16string> splitLines(std::u16string_view text);

// Order of the file list: without regard to case (ASCII and Latin-1 letters),
// then by code unit, so that the order is total.
bool lessIgnoringCase(std::u16string_view a, std::u16string_view b);

// True when the text is empty or only spaces and tabs.
bool isBlank(std::u16string_view text);

// True when the text holds a control character: a zero, another of U+0001 to
// U+001F, or U+007F. Such text is no name to hand to the system: a zero cuts
// the name short where the system reads it, Windows takes no name with one of
// the others below U+0020, and none of them can be shown as typed.
bool hasControlCharacter(std::u16string_view text);

} // namespace installer
