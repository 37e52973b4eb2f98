// An owned block of bytes, the value of blob pins.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

class MpBlob {
public:
    MpBlob() = default;
    MpBlob(const MpBlob& other) { setBytes(other.size, other.bytes.get()); }
    MpBlob(MpBlob&& other) noexcept : size(other.size), bytes(std::move(other.bytes)) {
        other.size = 0;
    }
    MpBlob& operator=(const MpBlob& other) {
        setBytes(other.size, other.bytes.get());
        return *this;
    }
    MpBlob& operator=(MpBlob&& other) noexcept;

    // Copies `count` bytes in. The source may lie inside this blob's own bytes.
    void setBytes(size_t count, const void* source);

    size_t byteSize() const { return size; }
    // Null when never set.
    const uint8_t* bytePointer() const { return bytes.get(); }

    // Sizes equal and every byte equal; two empty blobs are equal.
    friend bool operator==(const MpBlob& a, const MpBlob& b);

private:
    size_t size = 0;
    std::unique_ptr<uint8_t[]> bytes;
};
