// The base of the benchmarks' least-work models of a GUI module: the
// interface's operations that a pin round trip does not use, and the host
// found at attachHost.
#pragma once

#include "framework/HostApi.h"
#include "framework/ModuleApi.h"

namespace bench {

class ModelBase : public gmpi::IMpUserInterface2 {
public:
    int32_t queryInterface(const InterfaceId&, void** out) override {
        *out = nullptr;
        return ResultUnsupported;
    }
    int32_t addRef() override { return 1; }
    int32_t release() override { return 1; }
    int32_t attachHost(gmpi::IMpUnknown* object) override {
        void* found = nullptr;
        object->queryInterface(iidOf<IGuiHost>(), &found);
        host = static_cast<IGuiHost*>(found);
        return host ? ResultSuccess : ResultUnsupported;
    }
    int32_t hostHookA() override { return ResultSuccess; }
    int32_t hostHookB() override { return ResultFailure; }
    int32_t fillContextMenu(int32_t, int32_t, gmpi::IMpUnknown*) override { return ResultFailure; }
    int32_t onContextMenuPick(int32_t) override { return ResultFailure; }
    int32_t hintTextAt(int32_t, int32_t, gmpi::IMpUnknown*) override { return ResultFailure; }

protected:
    IGuiHost* host = nullptr;
};

} // namespace bench
