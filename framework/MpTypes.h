// Result codes, interface ids and the root interfaces shared by every object
// that crosses the boundary between the host and this library.
#pragma once

#include <cstdint>
#include <cstring>

enum ResultCode : int32_t {
    ResultSuccess = 0,
    ResultFailure = -1,
    ResultUnsupported = -2,
};

// 16-byte interface identifier in GUID layout; all 16 bytes are compared.
struct InterfaceId {
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    uint8_t data4[8];
};

inline bool operator==(const InterfaceId& a, const InterfaceId& b) {
    return std::memcmp(&a, &b, sizeof(InterfaceId)) == 0;
}

// Reads a GUID written as "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX" at compile time.
constexpr InterfaceId guid(const char (&text)[37]) {
    auto nibble = [](char c) -> uint32_t {
        if (c >= '0' && c <= '9')
            return uint32_t(c - '0');
        if (c >= 'A' && c <= 'F')
            return uint32_t(c - 'A' + 10);
        if (c >= 'a' && c <= 'f')
            return uint32_t(c - 'a' + 10);
        throw "not a hexadecimal digit";
    };
    auto hex = [&](int from, int digits) {
        uint32_t v = 0;
        for (int i = 0; i < digits; ++i)
            v = v << 4 | nibble(text[from + i]);
        return v;
    };
    if (text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-')
        throw "not a GUID";
    InterfaceId id{hex(0, 8), uint16_t(hex(9, 4)), uint16_t(hex(14, 4)), {}};
    id.data4[0] = uint8_t(hex(19, 2));
    id.data4[1] = uint8_t(hex(21, 2));
    for (int i = 0; i < 6; ++i)
        id.data4[2 + i] = uint8_t(hex(24 + 2 * i, 2));
    return id;
}

// The id of an interface that is asked for through queryInterface. Interfaces
// that the host only hands back (brushes, bitmaps, pickers...) have none, so
// asking for their id does not compile.
template <class Interface> struct InterfaceIdentity;

template <class Interface> constexpr const InterfaceId& iidOf() {
    return InterfaceIdentity<Interface>::id;
}

// Contracts. Each slot of an interface carries one comment line that says:
// - who calls it: "Host" (the host calls the library's object), "Module" (a
//   module calls the host's object) or "Either";
// - what becomes of its pointer arguments: "borrowed" means valid for the call
//   only, so the callee copies what it needs; "referenced" means the callee
//   keeps the object beyond the call and holds a reference of its own for it;
//   "*out +1" means the object written there carries one reference that the
//   caller releases, and null is written when there is none; "fills" names an
//   argument the callee writes its answer into. A line that names no pointer
//   argument has none worth saying more about;
// - what it answers: a ResultCode unless the line says otherwise.
// A callee may call back into its caller before it returns, so after any call
// the caller reads again what the callee could have changed.
// Threads. The library starts no threads and takes no locks: the host chooses
// the thread of every call, and the comment above each interface says once
// which thread its slots are called on:
// - "the interface thread": the host's user-interface thread. The host calls
//   the whole GUI side (both GUI generations and the drawing side) on this one
//   thread, and the library's timers tick on it; the GUI side calls the host's
//   interfaces on it, from inside those calls;
// - "the audio thread": the thread on which the host calls the audio part and
//   runs its blocks; the audio part calls its host on it, from inside those
//   calls. Nothing is shared between the audio part and the GUI side;
// - "any thread, at any time after load": the factory. Its registry is built
//   while the library loads, before MP_GetFactory can be called, and never
//   changes after, so the factory takes no lock.
// The id of an interface that is asked for by queryInterface stands right
// after the interface.

namespace gmpi {

// The first three slots of every interface. Called on the thread of the
// interface they are reached through.
struct IMpUnknown {
    // Either; *out +1, or null for an id not offered. ResultSuccess, else ResultUnsupported.
    virtual int32_t queryInterface(const InterfaceId& iid, void** out) = 0;
    // Either. The new count (objects that keep no count answer 1).
    virtual int32_t addRef() = 0;
    // Either; the object may be gone on return. The new count (1 from objects without one).
    virtual int32_t release() = 0;
};

} // namespace gmpi
template <> struct InterfaceIdentity<gmpi::IMpUnknown> {
    static constexpr InterfaceId id = guid("00000000-0000-C000-0000-000000000046");
};

namespace gmpi {

// UTF-8 text that the side answering with text fills in for the side asking.
// Called on the thread of the call it is passed to.
struct IString : IMpUnknown {
    // The side answering; bytes borrowed; size bytes replace the text (<= 0: empty). ResultSuccess.
    virtual int32_t assignBytes(const char* bytes, int32_t size) = 0;
    // The side asking. The text's length in bytes.
    virtual int32_t byteLength() = 0;
    // The side asking. The bytes and a zero after them; valid until the text changes.
    virtual const char* byteData() = 0;
};

} // namespace gmpi
template <> struct InterfaceIdentity<gmpi::IString> {
    static constexpr InterfaceId id = guid("AB8FFB21-44FF-42B7-8885-29431399E7E4");
};
