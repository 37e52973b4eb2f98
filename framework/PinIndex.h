// Pin indices as named values. A module's pin indices are its contract with
// the host, so each module lists them in a scoped enum over int32_t, each
// enumerator given its index, ending in Count:
//
//     enum class PinIndex : int32_t { Volts = 0, Decibels = 1, Count };
//     registerPin(PinIndex::Volts, pinVolts, &Module::onVolts);
//
// Registration takes the named index and checks, while the module is being
// made, that it is the next index of the module's registry. A registration
// line that is moved, left out or doubled therefore cannot renumber the pins
// silently: the constructor throws std::logic_error, and the factory answers
// ResultFailure for that module.
#pragma once

#include <cstdint>
#include <type_traits>

template <class Index>
concept NamedPinIndex = std::is_enum_v<Index> && !std::is_convertible_v<Index, int32_t> &&
                        std::is_same_v<std::underlying_type_t<Index>, int32_t> && requires {
    Index::Count;
};

template <NamedPinIndex Index> constexpr int32_t pinIndexCount() {
    return int32_t(Index::Count);
}

// Throws std::logic_error naming both indices.
[[noreturn]] void throwPinIndexOutOfOrder(int32_t index, int32_t next);

// The index as a number when it is `next`, the index the registry gives its
// next pin, and lies before Count; throws std::logic_error otherwise.
template <NamedPinIndex Index> int32_t requireNextPinIndex(Index index, int32_t next) {
    const int32_t number = int32_t(index);
    if (number != next || number >= pinIndexCount<Index>())
        throwPinIndexOutOfOrder(number, next);
    return number;
}
