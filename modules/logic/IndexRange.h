// A loop over pin indices up to a bound that may grow while the loop runs.
#pragma once

#include <cstdint>

// Calls visit(i) for i = first, first + 1, ... while i <= last, reading `last`
// again after each call; stops early when visit returns false. The counter is
// 64-bit, so the loop also ends when `last` is INT32_MAX.
template <class Visit> void forEachIndexThrough(int64_t first, const int32_t& last, Visit visit) {
    for (int64_t i = first; i <= last; ++i)
        if (!visit(int32_t(i)))
            return;
}
