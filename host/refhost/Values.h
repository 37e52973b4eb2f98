// Pin values of the reference host: read from scenario words and printed as
// the modules send them.
#pragma once

#include "../PinBytes.h"

#include <string>
#include <vector>

namespace refhost {

using testhost::Bytes;

// A float as its shortest text that reads back to the same value.
std::string floatText(float value);

// The bytes of a pin value of TYPE (bool, int, float, text or blob) written as
// text: a float may be "inf", "-inf" or "nan"; a bool is "1" or "true" for
// true; text is UTF-8, sent as 16-bit units, an ill-formed sequence as U+FFFD;
// a blob is hexadecimal byte pairs. Throws std::runtime_error for an unknown
// type or a number that does not read.
Bytes parseValue(const std::string& type, const std::string& text);

// A value as the scenario output shows it: "float 1.5", "int 7",
// "bool true", "text \"...\"" (as UTF-8), or its bytes in hexadecimal when the
// type is none of those or the size does not fit it.
std::string describe(const std::string& type, const Bytes& bytes);

// Samples as runs of equal values: "0-9 0, 10-29 1, 30-63 0".
std::string describeRuns(const std::vector<float>& samples);

} // namespace refhost
