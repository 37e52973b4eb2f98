#include "EnumListReader.h"

#include "../platform/NumberText.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <stdexcept>
#include <string_view>

namespace {

constexpr int32_t maxInt32 = std::numeric_limits<int32_t>::max();
constexpr std::u16string_view rangeWord = u"range";

void setDecimal(std::u16string& text, int64_t value) {
    char16_t digits[24];
    char16_t* end = digits + std::size(digits);
    char16_t* p = end;
    const bool negative = value < 0;
    uint64_t magnitude = negative ? 0 - uint64_t(value) : uint64_t(value);
    do {
        *--p = char16_t(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative)
        *--p = u'-';
    text.assign(p, end);
}

std::u16string_view trimmed(std::u16string_view text) {
    size_t begin = 0, end = text.size();
    while (begin < end && platform::isCSpace(text[begin]))
        ++begin;
    while (end > begin && platform::isCSpace(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

} // namespace

EnumListReader::EnumListReader(const std::u16string& text) : source(text) {
    rangeForm = std::u16string_view(source).substr(0, rangeWord.size()) == rangeWord;
    if (!rangeForm)
        return;
    // The character after "range" is skipped whatever it is; the numbers start after it.
    constexpr size_t numbersStart = rangeWord.size() + 1;
    if (source.size() < numbersStart)
        throw std::out_of_range("EnumListReader: \"range\" without numbers");
    const std::u16string_view numbers = std::u16string_view(source).substr(numbersStart);
    firstNumber = platform::parseInt32(numbers);
    const size_t comma = numbers.find(u',');
    lastNumber = comma == std::u16string_view::npos
                     ? firstNumber
                     : platform::parseInt32(numbers.substr(comma + 1));
}

void EnumListReader::first() {
    current.index = -1;
    if (rangeForm) {
        rangeId = int64_t(firstNumber) - 1;
    } else {
        readPosition = 0;
        current.id = -1;
    }
    next();
}

void EnumListReader::next() {
    if (rangeForm)
        nextInRange();
    else
        nextInList();
}

void EnumListReader::nextInRange() {
    ++rangeId;
    if (current.index == maxInt32 || rangeId > lastNumber) {
        current.index = -1;
        return;
    }
    ++current.index;
    current.id = int32_t(rangeId);
    setDecimal(current.text, rangeId);
}

void EnumListReader::nextInList() {
    // An item without "=" takes the previous id plus 1, wrapping as a 32-bit unsigned number.
    current.id = int32_t(uint32_t(current.id) + 1u);
    if (readPosition >= source.size() || current.index == maxInt32) {
        current.index = -1;
        return;
    }
    // One pass finds the item's end and its first "=".
    const std::u16string_view all(source);
    size_t comma = readPosition, equals = std::u16string_view::npos;
    for (; comma < all.size() && all[comma] != u','; ++comma)
        if (all[comma] == u'=' && equals == std::u16string_view::npos)
            equals = comma;
    ++current.index;
    std::u16string_view text = all.substr(readPosition, comma - readPosition);
    if (equals != std::u16string_view::npos) {
        current.id = platform::parseInt32(all.substr(equals + 1, comma - equals - 1));
        text = all.substr(readPosition, equals - readPosition);
    }
    const std::u16string_view kept = trimmed(text);
    current.text.assign(kept.data(), kept.size());
    readPosition = comma + 1; // past the end when the item ran to the end
}

int32_t EnumListReader::count() const {
    if (rangeForm) {
        const int64_t span = int64_t(lastNumber) - int64_t(firstNumber);
        const int64_t items = (span < 0 ? -span : span) + 1;
        return items > maxInt32 ? maxInt32 : int32_t(items);
    }
    if (source.empty())
        return 0;
    int64_t items = 1;
    for (size_t i = 1; i < source.size(); ++i)
        items += source[i] == u',' ? 1 : 0;
    return items > maxInt32 ? maxInt32 : int32_t(items);
}

bool EnumListReader::seekInRange(int64_t id) {
    const int64_t index = id - int64_t(firstNumber);
    if (id < firstNumber || id > lastNumber || index > maxInt32) {
        current.index = -1;
        rangeId = std::max<int64_t>(int64_t(lastNumber) + 1, firstNumber);
        return false;
    }
    rangeId = id;
    current.index = int32_t(index);
    current.id = int32_t(id);
    setDecimal(current.text, id);
    return true;
}

bool EnumListReader::seekId(int32_t id) {
    if (rangeForm)
        return seekInRange(id); // range items are numbers, never separators
    for (first(); current.index != -1; next())
        if (current.id == id && !isSeparator(current.text))
            return true;
    return false;
}

bool EnumListReader::seekIndex(int32_t index) {
    if (rangeForm)
        return seekInRange(index < 0 ? int64_t(lastNumber) + 1 : int64_t(firstNumber) + index);
    if (index < 0) {
        current.index = -1;
        readPosition = source.size();
        return false;
    }
    for (first(); current.index != -1; next())
        if (current.index == index && !isSeparator(current.text))
            return true;
    return false;
}

bool EnumListReader::isSeparator(const std::u16string& text) {
    if (text.size() < 4)
        return false;
    const char16_t c = text[0];
    return (c == u'-' || c == u'<' || c == u'>' || c == u'|') && text[1] == c && text[2] == c &&
           text[3] == c;
}

bool enumListHasId(const std::u16string& text, int32_t id) {
    EnumListReader reader(text);
    return reader.seekId(id);
}

int32_t enumListValidId(const std::u16string& text, int32_t id) {
    EnumListReader reader(text);
    if (reader.seekId(id))
        return id;
    reader.first();
    return reader.item().index == -1 ? 0 : reader.item().id;
}
