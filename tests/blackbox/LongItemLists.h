// Item lists longer than a context menu or a file-type list offers: the first
// 65,536 items are offered, in order, separators counted like any other item.
#pragma once

#include <cstdint>
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

} // namespace blackbox
