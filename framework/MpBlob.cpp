#include "MpBlob.h"

#include <cstring>
#include <utility>

MpBlob& MpBlob::operator=(MpBlob&& other) noexcept {
    if (this != &other) {
        size = std::exchange(other.size, 0);
        bytes = std::move(other.bytes);
    }
    return *this;
}

void MpBlob::setBytes(size_t count, const void* source) {
    if (count == 0 || !source) {
        if (count != size)
            bytes.reset();
        size = 0;
        return;
    }
    if (count != size || !bytes) {
        // Copy before the old array goes: the source may be inside it.
        auto fresh = std::make_unique_for_overwrite<uint8_t[]>(count);
        std::memcpy(fresh.get(), source, count);
        bytes = std::move(fresh);
        size = count;
        return;
    }
    std::memmove(bytes.get(), source, count);
}

bool operator==(const MpBlob& a, const MpBlob& b) {
    return a.size == b.size &&
           (a.size == 0 || std::memcmp(a.bytes.get(), b.bytes.get(), a.size) == 0);
}
