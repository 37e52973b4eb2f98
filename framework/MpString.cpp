#include "MpString.h"

#include "../platform/BoundaryGuard.h"

namespace gmpi_sdk {

int32_t StackString::queryInterface(const InterfaceId& iid, void** out) {
    if (!out)
        return ResultFailure;
    *out = nullptr;
    if (iid == iidOf<gmpi::IString>() || iid == iidOf<gmpi::IMpUnknown>()) {
        *out = static_cast<gmpi::IString*>(this);
        return ResultSuccess;
    }
    return ResultUnsupported;
}

int32_t MpString::assignBytes(const char* bytes, int32_t size) {
    return guardedCall(ResultFailure, [&] {
        if (size > 0 && bytes)
            text.assign(bytes, size_t(size));
        else
            text.clear();
        return ResultSuccess;
    });
}

} // namespace gmpi_sdk
