// The host's own text object for operations that return UTF-8 text.
#pragma once

#include "../framework/MpTypes.h"

#include <string>

namespace testhost {

class HostString final : public gmpi::IString {
public:
    int32_t queryInterface(const InterfaceId& iid, void** out) override {
        if (!out)
            return ResultFailure;
        *out = nullptr;
        if (iid == iidOf<gmpi::IString>() || iid == iidOf<gmpi::IMpUnknown>()) {
            *out = static_cast<gmpi::IString*>(this);
            return ResultSuccess;
        }
        return ResultUnsupported;
    }
    int32_t addRef() override { return 1; }
    int32_t release() override { return 1; }
    int32_t assignBytes(const char* bytes, int32_t size) override {
        text.assign(bytes && size > 0 ? std::string(bytes, size_t(size)) : std::string());
        return ResultSuccess;
    }
    int32_t byteLength() override { return int32_t(text.size()); }
    const char* byteData() override { return text.c_str(); }

    std::string text;
};

} // namespace testhost
