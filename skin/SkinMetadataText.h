// The text syntax shared by every skin metadata file (a picture's ".txt" and
// the skin's "global" font metadata): the whole resource read as bytes, cut
// into lines, each line cut into tokens. The first token of a line is its key.
#pragma once

#include "../framework/DrawingApi.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Appends the tokens of one NUL-terminated line, in order. Tokens are
// separated by white space or by a single comma; a token in quotes ('"' or
// '\'') runs to the same quote or the line's end and may be empty. A null
// line appends nothing.
void tokenizeLine(const char* line, std::vector<std::string>& tokens);

// The stream's whole text: byteSize bytes, all NUL, then readBytes into them.
// Neither result is checked, so a short read leaves NUL bytes at the end; no
// stream, a negative size or one above maxSkinMetadataBytes give no text.
std::string readSkinMetadataText(IUriStream* stream);

// Metadata files are small; a stream that claims more than this is not read.
inline constexpr int64_t maxSkinMetadataBytes = int64_t(64) << 20;

// The lines of a text: split at each line feed, a carriage return directly
// before it dropped; what follows the last line feed is one more line, kept
// as it is. Each line ends at its first NUL byte.
std::vector<std::string> splitSkinMetadataLines(std::string_view text);

// The tokens of every line of the stream's text, one list per line (empty
// for a blank line), in file order.
std::vector<std::vector<std::string>> readSkinMetadataLines(IUriStream* stream);

// A decimal number token read as strtol at base 10 reads it on 32 bits:
// leading white space and a sign accepted, reading stops at the first
// non-digit, no digits give 0, values beyond the 32-bit range clamp.
int32_t skinMetadataDecimal(const std::string& token);
