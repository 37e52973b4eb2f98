// A GUI host with IGuiHost only, which counts what it receives instead of
// keeping it, so that the host's own copying is not timed.
#pragma once

#include "framework/ComPtr.h"
#include "framework/HostApi.h"
#include "framework/ModuleApi.h"
#include "host/ModuleLibrary.h"

#include <string>

namespace bench {

class CountingHost final : public IGuiHost {
public:
    int32_t queryInterface(const InterfaceId& iid, void** out) override {
        *out = nullptr;
        if (iid != iidOf<IGuiHost>() && iid != iidOf<gmpi::IMpUnknown>())
            return ResultUnsupported;
        *out = this;
        return ResultSuccess;
    }
    int32_t addRef() override { return 1; }
    int32_t release() override { return 1; }
    int32_t acceptPinValue(int32_t, int32_t size, const void*, int32_t) override {
        ++values;
        bytes += size_t(size);
        return ResultSuccess;
    }
    int32_t lookUpResource(const char*, const char*, gmpi::IString*) override {
        return ResultFailure;
    }
    int32_t openUriStream(const char*, IUriStream**) override { return ResultFailure; }
    int32_t enrolResourceName(const char*, const char*, gmpi::IString*) override {
        return ResultFailure;
    }

    size_t values = 0;
    size_t bytes = 0;
};

// A module of the library attached to a host.
inline gmpi_sdk::ComPtr<gmpi::IMpUserInterface2>
makeAttached(testhost::ModuleLibrary& library, const char16_t* id, gmpi::IMpUnknown* host) {
    void* made = nullptr;
    library.factory()->makeModule(id, Gui2Part, host, &made);
    const gmpi_sdk::ComPtr<gmpi::IMpUnknown> unknown(static_cast<gmpi::IMpUnknown*>(made));
    auto module = gmpi_sdk::queryInterfaceOf<gmpi::IMpUserInterface2>(unknown.get());
    if (module)
        module->attachHost(host);
    return module;
}

inline void setPin(gmpi::IMpUserInterface2* module, int32_t pin, int32_t size, const void* data) {
    module->receivePinValue(pin, 0, size, data);
    module->onPinChanged(pin, 0);
}
inline void setPin(gmpi::IMpUserInterface2* module, int32_t pin, const std::u16string& text) {
    setPin(module, pin, int32_t(2 * text.size()), text.data());
}
inline void setPin(gmpi::IMpUserInterface2* module, int32_t pin, bool value) {
    setPin(module, pin, 1, &value);
}

} // namespace bench
