// The least a caller does to receive text from a host call: the text object
// lives on the caller's stack and keeps the bytes in a buffer of its own, so
// that receiving them allocates nothing. Baselines use it where the measured
// side receives a resource's URI.
#pragma once

#include "framework/MpTypes.h"

#include <array>
#include <cstring>
#include <string_view>

namespace bench {

class StackText final : public gmpi::IString {
public:
    StackText() { buffer[0] = '\0'; }
    StackText(const StackText&) = delete;
    StackText& operator=(const StackText&) = delete;

    int32_t queryInterface(const InterfaceId& iid, void** out) override {
        *out = nullptr;
        if (iid != iidOf<gmpi::IString>() && iid != iidOf<gmpi::IMpUnknown>())
            return ResultUnsupported;
        *out = static_cast<gmpi::IString*>(this);
        return ResultSuccess;
    }
    int32_t addRef() override { return 1; }
    int32_t release() override { return 1; }

    // Text longer than the buffer is refused; the benchmarks' URIs are short.
    int32_t assignBytes(const char* bytes, int32_t size) override {
        const size_t count = size > 0 && bytes ? size_t(size) : 0;
        if (count >= buffer.size())
            return ResultFailure;
        if (count > 0)
            std::memcpy(buffer.data(), bytes, count);
        buffer[count] = '\0';
        length = count;
        return ResultSuccess;
    }
    int32_t byteLength() override { return int32_t(length); }
    const char* byteData() override { return buffer.data(); }

    std::string_view view() const { return {buffer.data(), length}; }

private:
    std::array<char, 256> buffer; // only its first length + 1 bytes are written
    size_t length = 0;
};

} // namespace bench
