// A resource stream over bytes held in memory, for tests and fuzz targets
// that hand metadata text to the skin readers. It can report another size
// than it holds and deliver fewer bytes than asked for, as a faulty host might.
#pragma once

#include "framework/DrawingApi.h"
#include "host/CountedPart.h"

#include <algorithm>
#include <cstring>
#include <string>

class MemoryStream final : public IUriStream {
public:
    explicit MemoryStream(std::string bytes)
        : data(std::move(bytes)), reportedSize(int64_t(data.size())) {}

    int32_t queryInterface(const InterfaceId& iid, void** out) override {
        return testhost::answerFrom(iid, out, {{iidOf<gmpi::IMpUnknown>(), this, true}});
    }
    int32_t addRef() override { return ++refs; }
    int32_t release() override { return --refs; }

    int32_t readBytes(void* buffer, int64_t count, int32_t) override {
        ++reads;
        if (!buffer || count < 0)
            return ResultFailure;
        const size_t n = std::min({size_t(count), data.size() - position, deliverAtMost});
        std::memcpy(buffer, data.data() + position, n);
        position += n;
        return n == size_t(count) ? ResultSuccess : ResultFailure;
    }
    int32_t byteSize(int64_t* size) override {
        if (!size)
            return ResultFailure;
        if (!answersSize)
            return ResultFailure;
        *size = reportedSize;
        return ResultSuccess;
    }

    std::string data;
    int64_t reportedSize;
    bool answersSize = true;           // false: byteSize leaves the size alone
    size_t deliverAtMost = size_t(-1); // readBytes copies no more than this
    int32_t reads = 0;
    int32_t refs = 0;

private:
    size_t position = 0;
};
