// Item lists longer than a context menu or a file-type list offers: the first
// 65,536 items are offered, in order, separators counted like any other item.
// And long lists of every shape an item can take, written out together with
// the items they hold, for the widgets that show lists line by line.
#pragma once

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace blackbox {

constexpr int32_t offeredItems = 65536;

struct LongListCase {
    const char* what;
    std::u16string list;
    int32_t offered;
    std::string firstText, lastText; // UTF-8
    int32_t firstId, lastId;         // the ids that menus are given
    int32_t separatorAt = -1;        // the position of an offered separator, if any
};

// "t0,t1,...": `count` items, every thousandth a separator.
inline std::u16string itemsWithSeparators(int32_t count) {
    std::u16string list;
    for (int32_t k = 0; k < count; ++k) {
        if (k > 0)
            list += u',';
        if (k % 1000 == 999) {
            list += u"----";
        } else {
            const std::string digits = std::to_string(k);
            list += u't';
            list.append(digits.begin(), digits.end());
        }
    }
    return list;
}

inline std::vector<LongListCase> longListCases() {
    return {
        {"a short list", u"a,b,c", 3, "a", "c", 0, 2},
        {"exactly the limit", u"range 1,65536", offeredItems, "1", "65536", 1, 65536},
        {"one beyond the limit", u"range 1,65537", offeredItems, "1", "65536", 1, 65536},
        {"a range of two billion", u"range -5,2000000000", offeredItems, "-5", "65530", -5, 65530},
        {"a list with separators", itemsWithSeparators(70000), offeredItems, "t0", "t65535", 0,
         65535, 999},
    };
}

// An item as the list says it: its text without the white space around it,
// as UTF-8, its id, and whether it is a separator.
struct ListedItem {
    std::string text;
    int32_t id;
    bool separator;
};

// An item-list text and the items it holds, in order.
struct ItemListModel {
    std::u16string list;
    std::vector<ListedItem> items;

    // The items that are not separators: one line each in a list box.
    std::vector<ListedItem> lines() const {
        std::vector<ListedItem> shown;
        for (const ListedItem& item : items)
            if (!item.separator)
                shown.push_back(item);
        return shown;
    }
};

inline std::u16string wide(const std::string& ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

// `count` items (at least 20) of every shape the comma form has: plain texts
// "item<k>", texts in white space, an empty text, a text beyond ASCII, ids
// written after "=" (out of order, negative, with spaces around them, and one
// repeating the id of line 3 near the end), and separators of the four kinds,
// among them two side by side of which the first has an id that the items
// after it count on from. The text neither begins nor ends with ",", so the
// count of the list is its number of items.
inline ItemListModel assortedItems(int32_t count) {
    const std::set<int32_t> separators = [count] {
        std::set<int32_t> at{13, count / 2, count / 2 + 1, count - 3};
        for (int32_t k = 9000; k < count; k += 9973)
            at.insert(k);
        return at;
    }();
    const std::u16string kinds[] = {u"----", u"<<<<", u">>>>>", u"||||"};
    ItemListModel model;
    int32_t previousId = -1;
    int32_t separatorsWritten = 0;
    int32_t lineThreeId = 0;
    for (int32_t k = 0; k < count; ++k) {
        if (k > 0)
            model.list += u',';
        const std::string number = std::to_string(k);
        ListedItem item{"item" + number, previousId + 1, false};
        std::u16string written = wide(item.text);
        std::u16string idText; // what follows "=", if anything
        if (separators.count(k)) {
            const std::u16string& kind = kinds[separatorsWritten % 4];
            item.text = std::string(kind.begin(), kind.end());
            item.separator = true;
            written = kind;
            if (k == count / 2) {
                item.id = 900000;
                idText = u"900000";
            }
            ++separatorsWritten;
        } else if (k == 9) {
            item.text.clear();
            written.clear();
        } else if (k % 1009 == 500 || k == 11) {
            item.text = "\xC3\xA9t\xC3\xA9" + number;
            written = u"\u00e9t\u00e9" + wide(number);
        } else if (k % 13 == 7) {
            written = u"  " + written + u" \t";
        }
        if (!item.separator && k == count - 4) {
            item.id = lineThreeId;
            idText = wide(std::to_string(lineThreeId));
        } else if (!item.separator && k % 11 == 5) {
            item.id = (k * 7919) % 20011 - 10000;
            idText = k % 17 == 3 ? u" " + wide(std::to_string(item.id)) + u" "
                                 : wide(std::to_string(item.id));
            if (k % 17 == 3)
                written += u" ";
        }
        model.list += written;
        if (!idText.empty())
            model.list += u"=" + idText;
        if (k == 3)
            lineThreeId = item.id;
        previousId = item.id;
        model.items.push_back(item);
    }
    return model;
}

// "range first,last" and its items.
inline ItemListModel rangeItems(int32_t first, int32_t last) {
    ItemListModel model{u"range " + wide(std::to_string(first)) + u"," + wide(std::to_string(last)),
                        {}};
    for (int32_t id = first; id <= last; ++id)
        model.items.push_back({std::to_string(id), id, false});
    return model;
}

} // namespace blackbox
