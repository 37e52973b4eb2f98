#include "EnumListReader.h"

#include "../platform/NumberText.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace {

constexpr int32_t maxInt32 = std::numeric_limits<int32_t>::max();
constexpr size_t none = std::u16string_view::npos;
constexpr std::u16string_view rangeWord = u"range";
// The index keeps where items start in 32 bits.
constexpr size_t maxIndexedUnits = std::numeric_limits<uint32_t>::max();

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

// Inlined into the walk's loop, where it is hot.
[[gnu::always_inline]] inline std::u16string_view trimmed(std::u16string_view text) {
    size_t begin = 0, end = text.size();
    while (begin < end && platform::isCSpace(text[begin]))
        ++begin;
    while (end > begin && platform::isCSpace(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

// An item of a comma list: where it ends (its "," or the end of the text),
// and its first "=" (none when it has none).
struct ItemExtent {
    size_t end;
    size_t equals;
};

// One pass finds the item's end and its first "=".
ItemExtent extentAt(std::u16string_view all, size_t start) {
    size_t comma = start, equals = none;
    for (; comma < all.size() && all[comma] != u','; ++comma)
        if (all[comma] == u'=' && equals == none)
            equals = comma;
    return {comma, equals};
}

// The item's text (white space kept) and the text of its id, if it has one.
struct ItemParts {
    std::u16string_view text;
    std::u16string_view id;
    bool hasId;
};

ItemParts partsOf(std::u16string_view all, size_t start, const ItemExtent& extent) {
    if (extent.equals == none)
        return {all.substr(start, extent.end - start), {}, false};
    return {all.substr(start, extent.equals - start),
            all.substr(extent.equals + 1, extent.end - extent.equals - 1), true};
}

// A seek by walking from the first item; false, past the end, when no item matches.
template <class Match> bool walkTo(EnumListReader& reader, Match match) {
    for (reader.first(); reader.item().index != -1; reader.next())
        if (match(reader.item()))
            return true;
    return false;
}

} // namespace

// The index of a comma list: the start of every item, and entries only for
// the items whose id does not follow from the item before and for the
// separators. The items after an id break, up to the next one, count on from
// its id: together they are a run of ids.
struct EnumListReader::Index {
    struct IdBreak {
        uint32_t item;
        int32_t id;
    };

    explicit Index(std::u16string_view text);

    uint32_t size() const { return uint32_t(starts.size()); }
    int32_t idOf(uint32_t item) const;
    bool isSeparatorItem(uint32_t item) const {
        return std::binary_search(separators.begin(), separators.end(), item);
    }
    // The first item with that id that is not a separator; size() when none.
    uint32_t itemWithId(int32_t id) const;
    // The line-th item that is not a separator; size() when none.
    uint32_t itemOfLine(int32_t line) const;

    std::vector<uint32_t> starts;     // where each item begins in the text
    std::vector<IdBreak> breaks;      // in item order, item 0 first
    std::vector<uint32_t> separators; // the separator items in order
    // Each run of ids lies above the run before it and none passes
    // 2147483647, so an id lies in at most one run.
    bool idsAscending = true;

private:
    uint32_t runEnd(size_t run) const {
        return run + 1 < breaks.size() ? breaks[run + 1].item : size();
    }
    // The item of the run with that id, if the run has one; size() when not.
    uint32_t inRun(size_t run, int32_t id) const {
        const uint32_t offset = uint32_t(id) - uint32_t(breaks[run].id);
        return offset < runEnd(run) - breaks[run].item ? breaks[run].item + offset : size();
    }
};

// The items as a walk finds them, and as many: at most 2147483648.
EnumListReader::Index::Index(std::u16string_view text) {
    size_t commas = 0;
    for (const char16_t c : text)
        commas += c == u',' ? 1 : 0;
    starts.reserve(std::min<size_t>(commas + 1, size_t(maxInt32) + 1));
    uint32_t previousId = uint32_t(-1);
    for (size_t start = 0; start < text.size() && starts.size() <= size_t(maxInt32);) {
        const ItemExtent extent = extentAt(text, start);
        const ItemParts parts = partsOf(text, start, extent);
        const uint32_t item = size();
        const uint32_t id = parts.hasId ? uint32_t(platform::parseInt32(parts.id)) : previousId + 1;
        if (item == 0 || id != previousId + 1)
            breaks.push_back({item, int32_t(id)});
        if (isSeparator(trimmed(parts.text)))
            separators.push_back(item);
        starts.push_back(uint32_t(start));
        previousId = id;
        start = extent.end + 1;
    }
    // Kept to their size: what stays is a few bytes per item.
    breaks.shrink_to_fit();
    separators.shrink_to_fit();
    int64_t lastOfRunBefore = int64_t(std::numeric_limits<int32_t>::min()) - 1;
    for (size_t run = 0; run < breaks.size() && idsAscending; ++run) {
        const int64_t first = breaks[run].id;
        const int64_t last = first + int64_t(runEnd(run) - breaks[run].item) - 1;
        idsAscending = first > lastOfRunBefore && last <= maxInt32;
        lastOfRunBefore = last;
    }
}

int32_t EnumListReader::Index::idOf(uint32_t item) const {
    const auto after = std::upper_bound(breaks.begin(), breaks.end(), item,
                                        [](uint32_t k, const IdBreak& b) { return k < b.item; });
    const IdBreak& run = *std::prev(after); // breaks[0] is item 0
    return int32_t(uint32_t(run.id) + (item - run.item));
}

uint32_t EnumListReader::Index::itemWithId(int32_t id) const {
    if (idsAscending) {
        // The one run that can hold it: the last that starts at or below it.
        const auto after = std::upper_bound(breaks.begin(), breaks.end(), id,
                                            [](int32_t i, const IdBreak& b) { return i < b.id; });
        if (after == breaks.begin())
            return size();
        const uint32_t item = inRun(size_t(std::distance(breaks.begin(), after)) - 1, id);
        return item != size() && !isSeparatorItem(item) ? item : size();
    }
    for (size_t run = 0; run < breaks.size(); ++run) {
        const uint32_t item = inRun(run, id);
        if (item != size() && !isSeparatorItem(item))
            return item;
    }
    return size();
}

uint32_t EnumListReader::Index::itemOfLine(int32_t line) const {
    // Separator j has separators[j] - j lines before it, a number that never
    // falls along the list: the line's item comes after those with at most
    // `line` lines before them.
    size_t low = 0, high = separators.size();
    while (low < high) {
        const size_t middle = low + (high - low) / 2;
        if (int64_t(separators[middle]) - int64_t(middle) <= line)
            low = middle + 1;
        else
            high = middle;
    }
    const int64_t item = int64_t(line) + int64_t(low);
    return item < int64_t(size()) ? uint32_t(item) : size();
}

EnumListReader::EnumListReader(const std::u16string& text) : EnumListReader(std::u16string(text)) {}

EnumListReader::EnumListReader(std::u16string&& text) : shared(std::make_shared<Shared>()) {
    shared->source = std::move(text);
    const std::u16string_view all(shared->source);
    rangeForm = all.substr(0, rangeWord.size()) == rangeWord;
    if (!rangeForm)
        return;
    // The character after "range" is skipped whatever it is; the numbers start after it.
    constexpr size_t numbersStart = rangeWord.size() + 1;
    if (all.size() < numbersStart)
        throw std::out_of_range("EnumListReader: \"range\" without numbers");
    const std::u16string_view numbers = all.substr(numbersStart);
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
    const std::u16string_view all(shared->source);
    if (readPosition >= all.size() || current.index == maxInt32) {
        current.index = -1;
        return;
    }
    const ItemExtent extent = extentAt(all, readPosition);
    const ItemParts parts = partsOf(all, readPosition, extent);
    ++current.index;
    if (parts.hasId)
        current.id = platform::parseInt32(parts.id);
    const std::u16string_view kept = trimmed(parts.text);
    current.text.assign(kept.data(), kept.size());
    readPosition = extent.end + 1; // past the end when the item ran to the end
}

int32_t EnumListReader::count() const {
    if (rangeForm) {
        const int64_t span = int64_t(lastNumber) - int64_t(firstNumber);
        const int64_t items = (span < 0 ? -span : span) + 1;
        return items > maxInt32 ? maxInt32 : int32_t(items);
    }
    const std::u16string& source = shared->source;
    if (source.empty())
        return 0;
    int64_t items = 1;
    for (size_t i = 1; i < source.size(); ++i)
        items += source[i] == u',' ? 1 : 0;
    return items > maxInt32 ? maxInt32 : int32_t(items);
}

const EnumListReader::Index* EnumListReader::listIndex() {
    if (!shared->index && shared->source.size() <= maxIndexedUnits)
        shared->index = std::make_unique<const Index>(shared->source);
    return shared->index.get();
}

void EnumListReader::positionAt(const Index& index, uint32_t k) {
    readPosition = index.starts[k];
    current.index = int32_t(k) - 1;
    current.id = int32_t(uint32_t(index.idOf(k)) - 1u);
    nextInList();
}

bool EnumListReader::toEnd(const Index& index) {
    if (index.size() == 0) {
        first();
    } else {
        positionAt(index, index.size() - 1);
        nextInList();
    }
    return false;
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
    const Index* index = listIndex();
    if (!index)
        return walkTo(*this, [id](const EnumListItem& item) {
            return item.id == id && !isSeparator(item.text);
        });
    const uint32_t found = index->itemWithId(id);
    if (found == index->size())
        return toEnd(*index);
    positionAt(*index, found);
    return true;
}

bool EnumListReader::seekIndex(int32_t index) {
    if (rangeForm)
        return seekInRange(index < 0 ? int64_t(lastNumber) + 1 : int64_t(firstNumber) + index);
    if (index < 0) {
        current.index = -1;
        readPosition = shared->source.size();
        return false;
    }
    const Index* items = listIndex();
    if (!items)
        return walkTo(*this, [index](const EnumListItem& item) {
            return item.index == index && !isSeparator(item.text);
        });
    if (uint32_t(index) >= items->size() || items->isSeparatorItem(uint32_t(index)))
        return toEnd(*items);
    positionAt(*items, uint32_t(index));
    return true;
}

bool EnumListReader::seekLine(int32_t line) {
    if (rangeForm || line < 0)
        return seekIndex(line); // range items are never separators
    const Index* items = listIndex();
    if (!items) {
        int64_t lines = 0;
        return walkTo(*this, [line, &lines](const EnumListItem& item) {
            return !isSeparator(item.text) && lines++ == line;
        });
    }
    const uint32_t found = items->itemOfLine(line);
    if (found == items->size())
        return toEnd(*items);
    positionAt(*items, found);
    return true;
}

bool EnumListReader::isSeparator(std::u16string_view text) {
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
