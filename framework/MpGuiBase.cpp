#include "MpGuiBase.h"

#include "../platform/BoundaryGuard.h"
#include "MpFactory.h"
#include "ReleaseReference.h"

int32_t MpGuiBase_base::queryInterface(const InterfaceId& iid, void** out) {
    if (!out)
        return ResultFailure;
    *out = nullptr;
    if (iid == iidOf<gmpi::IMpUnknown>() || iid == iidOf<gmpi::IMpUserInterface>())
        *out = static_cast<gmpi::IMpUserInterface*>(this);
    else if (iid == iidOf<gmpi::IMpLegacyInitialization>())
        *out = static_cast<gmpi::IMpLegacyInitialization*>(this);
    else
        return ResultUnsupported;
    addRef();
    return ResultSuccess;
}

int32_t MpGuiBase_base::release() {
    return releaseReference(this, refCount);
}

int32_t MpGuiBase_base::receivePinValue(int32_t pinId, int32_t voice, int32_t size,
                                        const void* data) {
    return guardedCall(ResultFailure,
                       [&] { return GuiPinOwner::receivePinValue(pinId, voice, size, data); });
}

int32_t MpGuiBase_base::onPinChanged(int32_t pinId, int32_t voice) {
    return guardedCall(ResultFailure, [&] { return GuiPinOwner::onPinChanged(pinId, voice); });
}

int32_t MpGuiBase_base::attachHost(gmpi::IMpUnknown* host) {
    int32_t result = ResultFailure;
    if (!queryHost(host, legacyHost, result))
        return refuseHost();
    return result;
}

int32_t MpGuiBase_base::sendPinToHost(int32_t pinId, int32_t size, const void* data,
                                      int32_t voice) {
    if (!legacyHost)
        return ResultFailure;
    return legacyHost->acceptPinValue(pinId, size, data, voice);
}

int32_t MpGuiBase_base::refuseHost() {
    if (attachingAtCreation())
        throw "host Interfaces not supported";
    return ResultUnsupported;
}

int32_t MpGuiBase::release() {
    return releaseReference(this, refCount);
}
