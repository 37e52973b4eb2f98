// Feeds arbitrary UTF-16 text to the item-list reader and checks that the
// walk, the count and the seeks (by position, line and id) agree as the
// reader documents.
#include "framework/EnumListReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

void require(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::u16string text(size / 2, u'\0');
    if (!text.empty())
        std::memcpy(text.data(), data, text.size() * 2);

    try {
        EnumListReader probe(text);
    } catch (const std::out_of_range&) {
        require(text == u"range");
        return 0;
    }

    EnumListReader reader(text);
    const int32_t count = reader.count();
    require(count >= 0);

    constexpr size_t walkLimit = 4096;
    std::vector<EnumListItem> items;
    for (reader.first(); reader.item().index != -1 && items.size() < walkLimit; reader.next()) {
        require(reader.item().index == int32_t(items.size()));
        items.push_back(reader.item());
    }
    const bool complete = reader.item().index == -1;

    if (reader.isRange()) {
        if (reader.rangeFirst() > reader.rangeLast())
            require(items.empty());
        else if (complete)
            require(int64_t(items.size()) == count);
        for (size_t i = 0; i < items.size(); ++i)
            require(items[i].id == int32_t(int64_t(reader.rangeFirst()) + int64_t(i)));
    } else if (complete) {
        const int64_t starts = !text.empty() && text.front() == u',' ? 1 : 0;
        const int64_t ends = !text.empty() && text.back() == u',' ? 1 : 0;
        require(int64_t(items.size()) - count == starts - ends);
    }

    // Each of the first items is found by its position, by its line (its
    // place among the items that are not separators) and by its id, unless it
    // is a separator; an id lands on its first non-separator holder. Each seek
    // leaves the reader where a walk would: the item that follows is the same.
    constexpr size_t seekLimit = 64;
    auto sameAs = [&](const EnumListReader& found, size_t at) {
        require(found.item().index == items[at].index && found.item().id == items[at].id &&
                found.item().text == items[at].text);
        EnumListReader after = found;
        after.next();
        if (at + 1 < items.size())
            require(after.item().index == items[at + 1].index &&
                    after.item().id == items[at + 1].id);
        else if (complete)
            require(after.item().index == -1);
    };
    int32_t line = 0;
    for (size_t i = 0; i < items.size() && i < seekLimit; ++i) {
        const EnumListItem& item = items[i];
        const bool separator = EnumListReader::isSeparator(item.text);
        require(reader.seekIndex(item.index) != separator);
        if (separator) {
            require(reader.item().index == -1);
            continue;
        }
        sameAs(reader, i);
        require(reader.seekLine(line++));
        sameAs(reader, i);
        size_t holder = 0;
        while (items[holder].id != item.id || EnumListReader::isSeparator(items[holder].text))
            ++holder;
        require(reader.seekId(item.id));
        sameAs(reader, holder);
        require(enumListHasId(text, item.id));
        require(enumListValidId(text, item.id) == item.id);
    }
    if (complete) {
        int32_t lines = 0;
        for (const EnumListItem& item : items)
            lines += EnumListReader::isSeparator(item.text) ? 0 : 1;
        require(!reader.seekLine(lines) && reader.item().index == -1);
        require(!reader.seekIndex(int32_t(items.size())) && reader.item().index == -1);
    }
    const int32_t valid = enumListValidId(text, 12345);
    if (!enumListHasId(text, 12345))
        require(valid == (items.empty() ? 0 : items.front().id));
    return 0;
}
