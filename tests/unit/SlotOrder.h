// Reads the vtable slot of a virtual member function back from its pointer: it
// holds 1 + the slot's byte offset (the Itanium C++ ABI, which both the Linux
// and the mingw-w64 build use).
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace slots {

template <class MemberFunction> int slotOf(MemberFunction function) {
    struct Representation {
        uintptr_t pointer;
        ptrdiff_t adjustment;
    };
    static_assert(sizeof(MemberFunction) == sizeof(Representation));
    Representation r;
    std::memcpy(&r, &function, sizeof r);
    if ((r.pointer & 1) == 0)
        return -1; // not virtual
    return int((r.pointer - 1) / sizeof(void*));
}

// The slots of operations listed in their order are first, first + 1, ...
inline void expectSlotsInOrder(const char* name, const std::vector<int>& slots, int first = 0) {
    for (size_t i = 0; i < slots.size(); ++i)
        EXPECT_EQ(slots[i], first + int(i)) << name << ": operation " << i;
}

} // namespace slots
