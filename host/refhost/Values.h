// Pin values of the reference host: read from scenario words and printed as
// the modules send them.
#pragma once

#include "../PinBytes.h"

#include <string>
#include <string_view>
#include <vector>

namespace refhost {

using testhost::Bytes;

// A float as its shortest text that reads back to the same value.
std::string floatText(float value);

// The types a scenario names: bool, int, float, text and blob. Throws
// std::runtime_error "not a type (bool, int, float, text or blob): WORD"
// for any other word.
void checkType(std::string_view type);

// The bytes of a pin value of TYPE written as text, read whole:
// - float: as std::from_chars reads it, or "inf", "-inf" or "nan";
// - int: decimal, 32 bits;
// - bool: "true" or "1", "false" or "0";
// - text: any well-formed UTF-8, sent as 16-bit units (a character above
//   U+FFFF as a surrogate pair);
// - blob: hexadecimal byte pairs, none for no bytes.
// Throws std::runtime_error naming what was expected and the text, e.g.
// "not a float: 1.5abc", or the unknown type as checkType does.
Bytes parseValue(const std::string& type, const std::string& text);

// A value as the scenario output shows it: "float 1.5", "int 7",
// "bool true", "text \"...\"" (as UTF-8), or its bytes in hexadecimal when the
// type is none of those or the size does not fit it.
std::string describe(const std::string& type, const Bytes& bytes);

// Samples as runs of equal values: "0-9 0, 10-29 1, 30-63 0".
std::string describeRuns(const std::vector<float>& samples);

// A module's answer with the name of its result code: "-1 (ResultFailure)";
// a number that is no result code alone.
std::string answerText(int32_t answer);

} // namespace refhost
