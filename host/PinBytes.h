// Pin values as the bytes that travel between host and module.
#pragma once

#include "../framework/MpTypes.h"

#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

namespace testhost {

using Bytes = std::vector<uint8_t>;

template <class T> Bytes bytesOf(const T& value) {
    static_assert(std::is_trivially_copyable_v<T>);
    Bytes out(sizeof(T));
    std::memcpy(out.data(), &value, sizeof(T));
    return out;
}
inline Bytes bytesOf(bool value) {
    return Bytes{uint8_t(value ? 1 : 0)};
}
inline Bytes bytesOf(const std::u16string& text) {
    Bytes out(text.size() * 2);
    if (!text.empty())
        std::memcpy(out.data(), text.data(), out.size());
    return out;
}
inline Bytes bytesOf(const char16_t* text) {
    return bytesOf(std::u16string(text));
}

template <class T> T valueOf(const Bytes& bytes) {
    static_assert(std::is_trivially_copyable_v<T>);
    T value{};
    std::memcpy(&value, bytes.data(), std::min(bytes.size(), sizeof(T)));
    return value;
}
inline std::u16string textOf(const Bytes& bytes) {
    std::u16string text(bytes.size() / 2, u'\0');
    if (!text.empty())
        std::memcpy(text.data(), bytes.data(), text.size() * 2);
    return text;
}

inline uint32_t floatBits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return bits;
}

} // namespace testhost
