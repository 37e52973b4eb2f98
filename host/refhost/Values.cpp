#include "Values.h"

#include "../../platform/Utf8.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace refhost {

using testhost::bytesOf;
using testhost::floatBits;
using testhost::textOf;
using testhost::valueOf;

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The whole of text read by std::from_chars, or false.
template <class T> bool readWhole(const std::string& text, T& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end;
}

} // namespace

std::string floatText(float value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

void checkType(std::string_view type) {
    if (type != "bool" && type != "int" && type != "float" && type != "text" && type != "blob")
        throw std::runtime_error("not a type (bool, int, float, text or blob): " +
                                 std::string(type));
}

Bytes parseValue(const std::string& type, const std::string& text) {
    checkType(type);
    if (type == "float") {
        float value = 0;
        if (text == "inf" || text == "-inf" || text == "nan")
            value = text == "nan" ? NAN : (text[0] == '-' ? -INFINITY : INFINITY);
        else if (!readWhole(text, value))
            throw std::runtime_error("not a float: " + text);
        return bytesOf(value);
    }
    if (type == "int") {
        int32_t value = 0;
        if (!readWhole(text, value))
            throw std::runtime_error("not an int: " + text);
        return bytesOf(value);
    }
    if (type == "bool") {
        if (text != "true" && text != "1" && text != "false" && text != "0")
            throw std::runtime_error("not a bool (true, false, 1 or 0): " + text);
        return bytesOf(text == "true" || text == "1");
    }
    if (type == "text") {
        if (!platform::isWellFormedUtf8(text))
            throw std::runtime_error("not UTF-8 text: " + text);
        return bytesOf(platform::utf8ToWide(text));
    }
    Bytes bytes;
    for (size_t i = 0; i < text.size(); i += 2) {
        const int high = hexDigit(text[i]);
        const int low = i + 1 < text.size() ? hexDigit(text[i + 1]) : -1;
        if (high < 0 || low < 0)
            throw std::runtime_error("not a blob (pairs of hexadecimal digits): " + text);
        bytes.push_back(uint8_t(high << 4 | low));
    }
    return bytes;
}

std::string describe(const std::string& type, const Bytes& bytes) {
    if (type == "float" && bytes.size() == 4)
        return "float " + floatText(valueOf<float>(bytes));
    if (type == "int" && bytes.size() == 4)
        return "int " + std::to_string(valueOf<int32_t>(bytes));
    if (type == "bool" && bytes.size() == 1)
        return bytes[0] ? "bool true" : "bool false";
    if (type == "text")
        return "text \"" + platform::wideToUtf8Portable(textOf(bytes)) + "\"";
    std::string hex = "bytes";
    char pair[4];
    for (const uint8_t b : bytes) {
        std::snprintf(pair, sizeof pair, " %02x", b);
        hex += pair;
    }
    return bytes.empty() ? "bytes (none)" : hex;
}

std::string describeRuns(const std::vector<float>& samples) {
    std::string text;
    for (size_t first = 0; first < samples.size();) {
        size_t last = first;
        while (last + 1 < samples.size() &&
               floatBits(samples[last + 1]) == floatBits(samples[first]))
            ++last;
        text += (text.empty() ? "" : ", ") + std::to_string(first) + "-" + std::to_string(last) +
                " " + floatText(samples[first]);
        first = last + 1;
    }
    return text.empty() ? "(no samples)" : text;
}

std::string answerText(int32_t answer) {
    const std::string number = std::to_string(answer);
    switch (answer) {
    case ResultSuccess:
        return number + " (ResultSuccess)";
    case ResultFailure:
        return number + " (ResultFailure)";
    case ResultUnsupported:
        return number + " (ResultUnsupported)";
    default:
        return number;
    }
}

} // namespace refhost
