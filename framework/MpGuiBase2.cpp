#include "MpGuiBase2.h"

#include "../platform/BoundaryGuard.h"
#include "ReleaseReference.h"

int32_t MpGuiBase2::queryInterface(const InterfaceId& iid, void** out) {
    if (!out)
        return ResultFailure;
    *out = nullptr;
    if (iid == iidOf<gmpi::IMpUnknown>() || iid == iidOf<gmpi::IMpUserInterface2>() ||
        iid == iidOf<gmpi::IMpUserInterface2B>()) {
        *out = static_cast<gmpi::IMpUserInterface2B*>(this);
        addRef();
        return ResultSuccess;
    }
    return ResultUnsupported;
}

int32_t MpGuiBase2::attachHost(gmpi::IMpUnknown* host) {
    return guardedCall(ResultFailure, [&] {
        // The pins stop sending to the old host before it is let go; a send
        // from inside the host's calls goes through sendPinToHost meanwhile.
        sendPinsStraightTo(nullptr);
        guiHost.reset();
        guiHost = gmpi_sdk::queryInterfaceOf<IGuiHost>(host);
        sendPinsStraightTo(guiHost.get());
        return guiHost ? ResultSuccess : ResultUnsupported;
    });
}

int32_t MpGuiBase2::receivePinValue(int32_t pinId, int32_t voice, int32_t size, const void* data) {
    return guardedCall(ResultFailure,
                       [&] { return GuiPinOwner::receivePinValue(pinId, voice, size, data); });
}

int32_t MpGuiBase2::fillContextMenu(int32_t, int32_t, gmpi::IMpUnknown*) {
    return ResultFailure;
}

int32_t MpGuiBase2::onContextMenuPick(int32_t) {
    return ResultFailure;
}

int32_t MpGuiBase2::hintTextAt(int32_t, int32_t, gmpi::IMpUnknown*) {
    return ResultFailure;
}

int32_t MpGuiBase2::onPinChanged(int32_t pinId, int32_t voice) {
    return guardedCall(ResultFailure, [&] { return GuiPinOwner::onPinChanged(pinId, voice); });
}

MpGuiBase2::~MpGuiBase2() {
    sendPinsStraightTo(nullptr);
}

int32_t MpGuiBase2::sendPinToHost(int32_t pinId, int32_t size, const void* data, int32_t voice) {
    if (!guiHost)
        return ResultFailure;
    return guiHost->acceptPinValue(pinId, size, data, voice);
}

int32_t SeGuiInvisibleBase::release() {
    return releaseReference(this, refCount);
}
