// Base of the first-generation GUI modules: the module interface of the older
// kind, its pin registry, and the host's ILegacyGuiHost, which the module needs
// from the moment it is made.
#pragma once

#include "ComPtr.h"
#include "GuiPins.h"
#include "HostApi.h"
#include "ModuleApi.h"

class MpGuiBase_base : public gmpi::IMpUserInterface,
                       public IoldSchoolInitialisation,
                       public gmpi::IMpLegacyInitialization,
                       public GuiPinOwner {
public:
    // The primary interface's slots, in order.
    int32_t queryInterface(const InterfaceId& iid, void** out) override;
    int32_t addRef() override { return ++refCount; }
    int32_t release() override;
    int32_t onStartup() override { return ResultSuccess; }
    int32_t receivePinValue(int32_t pinId, int32_t voice, int32_t size, const void* data) override;
    int32_t onPinChanged(int32_t pinId, int32_t voice) override;
    int32_t legacyHookA() override { return ResultSuccess; }
    int32_t legacyHookB() override { return ResultSuccess; }
    int32_t legacyHookC() override { return ResultSuccess; }
    virtual ~MpGuiBase_base() = default;
    // Keeps the host's ILegacyGuiHost. A host without it is refused: while the
    // factory makes the module the refusal throws "host Interfaces not
    // supported"; a host calling itself receives ResultUnsupported.
    int32_t attachHost(gmpi::IMpUnknown* host) override;
    // A value for the host; ResultFailure, and nothing called, without a host.
    int32_t sendPinToHost(int32_t pinId, int32_t size, const void* data, int32_t voice) override;

    ILegacyGuiHost* getLegacyHost() const { return legacyHost.get(); }

protected:
    MpGuiBase_base() = default;

    // The older base's name for registering a pin without handler; no module
    // of this library uses it.
    void registerPinNoHandler(int32_t pinId, MpGuiPinBase& pin) { bindPin(pinId, pin, nullptr); }

    // Asks the host for I into `holder`; true when a pointer came back. `result`
    // receives the query's answer.
    template <class I>
    static bool queryHost(gmpi::IMpUnknown* host, gmpi_sdk::ComPtr<I>& holder, int32_t& result) {
        holder.reset();
        result = host ? host->queryInterface(iidOf<I>(), holder.putVoid()) : ResultFailure;
        return bool(holder);
    }
    // The refusal of a host that lacks an interface the module needs:
    // ResultUnsupported, but while the factory attaches the host at creation
    // it throws, and the factory releases the module and answers ResultFailure.
    // The attachHost operations that call it therefore run unguarded.
    static int32_t refuseHost();

    gmpi_sdk::ComPtr<ILegacyGuiHost> legacyHost;

private:
    int32_t refCount = 1;
};

// The older base with a reference count of its own on every interface.
class MpGuiBase : public MpGuiBase_base {
public:
    int32_t addRef() override { return ++refCount; }
    int32_t release() override;
    ~MpGuiBase() override = default;

protected:
    MpGuiBase() = default;

private:
    int32_t refCount = 1;
};
