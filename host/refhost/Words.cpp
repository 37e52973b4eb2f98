#include "Words.h"

#include "Commands.h"
#include "Values.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

namespace refhost {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

Words::Words(std::string_view line, const Command& command) : line(line), command(command) {}

void Words::skipBlanks() {
    while (at < line.size() && isBlank(line[at]))
        ++at;
}

void Words::missing(std::string_view what) const {
    throw std::runtime_error("missing " + std::string(what) + " (" + std::string(command.name) +
                             " " + std::string(command.synopsis) + ")");
}

bool Words::more() {
    skipBlanks();
    return at < line.size();
}

std::string Words::word(std::string_view what) {
    if (!more())
        missing(what);
    const size_t start = at;
    while (at < line.size() && !isBlank(line[at]))
        ++at;
    return std::string(line.substr(start, at - start));
}

std::string Words::quotable(std::string_view what) {
    if (!more())
        missing(what);
    if (line[at] != '"')
        return word(what);
    const size_t close = line.find('"', at + 1);
    if (close == std::string_view::npos)
        throw std::runtime_error("no closing quote: " + std::string(line.substr(at)));
    const std::string quoted(line.substr(at + 1, close - at - 1));
    at = close + 1;
    if (at < line.size() && !isBlank(line[at]))
        throw std::runtime_error("no blank after the closing quote: " +
                                 std::string(line.substr(close + 1)));
    return quoted;
}

int32_t Words::integer(std::string_view what) {
    const std::string text = word(what);
    int32_t value = 0;
    const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || stop != text.data() + text.size())
        throw std::runtime_error("not an int: " + text);
    return value;
}

int32_t Words::count(std::string_view what, std::string_view noun) {
    const std::string text = word(what);
    int32_t value = 0;
    const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || stop != text.data() + text.size() || value < 0)
        throw std::runtime_error("not a number of " + std::string(noun) + ": " + text);
    return value;
}

float Words::number(std::string_view what) {
    return testhost::valueOf<float>(parseValue("float", word(what)));
}

float Words::size(std::string_view what) {
    const std::string text = word(what);
    float value = 0;
    const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || stop != text.data() + text.size() || !(value > 0) ||
        !std::isfinite(value))
        throw std::runtime_error("not a size (a float above 0): " + text);
    return value;
}

std::string Words::type(std::string_view what) {
    std::string text = word(what);
    checkType(text);
    return text;
}

testhost::Bytes Words::value(const std::string& type, std::string_view what) {
    if (type == "text")
        return parseValue(type, rest());
    if (type == "blob")
        return parseValue(type, more() ? word(what) : std::string());
    return parseValue(type, word(what));
}

std::string Words::rest() {
    skipBlanks();
    const std::string text(line.substr(at));
    at = line.size();
    return text;
}

void Words::end() {
    if (more())
        throw std::runtime_error("unexpected word: " + word("") + " (" + std::string(command.name) +
                                 " " + std::string(command.synopsis) + ")");
}

} // namespace refhost
