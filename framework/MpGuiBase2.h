// Base of every second-generation GUI module: its pin registry, its host's
// IGuiHost, and the pin traffic between the two.
#pragma once

#include "ComPtr.h"
#include "GuiPins.h"
#include "HostApi.h"
#include "ModuleApi.h"

class MpGuiBase2 : public gmpi::IMpUserInterface2B, public GuiPinOwner {
public:
    int32_t queryInterface(const InterfaceId& iid, void** out) override;
    // Keeps only the host's IGuiHost; ResultUnsupported when it has none.
    int32_t attachHost(gmpi::IMpUnknown* host) override;
    int32_t hostHookA() override { return ResultSuccess; }
    int32_t receivePinValue(int32_t pinId, int32_t voice, int32_t size, const void* data) override;
    int32_t hostHookB() override { return ResultFailure; }
    int32_t fillContextMenu(int32_t x, int32_t y, gmpi::IMpUnknown* itemSink) override;
    int32_t onContextMenuPick(int32_t itemId) override;
    int32_t hintTextAt(int32_t x, int32_t y, gmpi::IMpUnknown* returnString) override;
    int32_t onPinChanged(int32_t pinId, int32_t voice) override;
    virtual ~MpGuiBase2();
    // A value for the host; ResultFailure, and nothing sent, without a host.
    // Final: the pins send to guiHost themselves, as this does.
    int32_t sendPinToHost(int32_t pinId, int32_t size, const void* data, int32_t voice) final;

    IGuiHost* getGuiHost() const { return guiHost.get(); }

protected:
    MpGuiBase2() = default;

    gmpi_sdk::ComPtr<IGuiHost> guiHost;
};

// Base of the invisible modules: adds the reference count.
class SeGuiInvisibleBase : public MpGuiBase2 {
public:
    int32_t addRef() override { return ++refCount; }
    int32_t release() override;

protected:
    SeGuiInvisibleBase() = default;

private:
    int32_t refCount = 1;
};
