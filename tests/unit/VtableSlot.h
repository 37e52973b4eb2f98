// The vtable slot a virtual member function occupies, decoded from its member
// function pointer (Itanium C++ ABI, used by both builds: the pointer holds 1 +
// the slot's byte offset in the vtable of the class it is taken from).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vtable {

// The slot index; -1 when the function is not virtual.
template <class MemberFunction> std::ptrdiff_t slotOf(MemberFunction function) {
    struct Representation {
        uintptr_t pointer;
        ptrdiff_t adjustment;
    };
    static_assert(sizeof(MemberFunction) == sizeof(Representation));
    Representation r;
    std::memcpy(&r, &function, sizeof r);
    if ((r.pointer & 1) == 0)
        return -1;
    return std::ptrdiff_t((r.pointer - 1) / sizeof(void*));
}

} // namespace vtable
