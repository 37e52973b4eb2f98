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

std::string floatText(float value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

Bytes parseValue(const std::string& type, const std::string& text) {
    if (type == "float") {
        float value = 0;
        if (text == "inf" || text == "-inf" || text == "nan")
            value = text == "nan" ? NAN : (text[0] == '-' ? -INFINITY : INFINITY);
        else if (std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc())
            throw std::runtime_error("not a float: " + text);
        return bytesOf(value);
    }
    if (type == "int") {
        int32_t value = 0;
        if (std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc())
            throw std::runtime_error("not an int: " + text);
        return bytesOf(value);
    }
    if (type == "bool")
        return bytesOf(text == "1" || text == "true");
    if (type == "text")
        return bytesOf(platform::utf8ToWide(text));
    if (type == "blob") {
        Bytes bytes;
        for (size_t i = 0; i + 1 < text.size(); i += 2)
            bytes.push_back(uint8_t(std::stoi(text.substr(i, 2), nullptr, 16)));
        return bytes;
    }
    throw std::runtime_error("unknown type: " + type);
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

} // namespace refhost
