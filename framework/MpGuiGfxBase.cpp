#include "MpGuiGfxBase.h"

#include "../platform/BoundaryGuard.h"
#include "../platform/Keyboard.h"
#include "ReleaseReference.h"

namespace gmpi_gui {

int32_t MpGuiGfxBase::queryInterface(const InterfaceId& iid, void** out) {
    if (!out)
        return ResultFailure;
    *out = nullptr;
    if (iid == iidOf<gmpi::IMpUnknown>() || iid == iidOf<gmpi::IMpUserInterface2>() ||
        iid == iidOf<gmpi::IMpUserInterface2B>()) {
        *out = static_cast<gmpi::IMpUserInterface2B*>(this);
    } else if (iid == iidOf<gmpi_gui_api::IMpGraphics>() ||
               iid == iidOf<gmpi_gui_api::IMpGraphics2>()) {
        *out = static_cast<gmpi_gui_api::IMpGraphics2*>(this);
    } else {
        return ResultUnsupported;
    }
    addRef();
    return ResultSuccess;
}

int32_t MpGuiGfxBase::release() {
    return releaseReference(this, refCount);
}

int32_t MpGuiGfxBase::attachHost(gmpi::IMpUnknown* host) {
    guardedCallRecovering([&] { graphicsHost = gmpi_sdk::queryInterfaceOf<IGraphicsHost>(host); },
                          [&] { graphicsHost.reset(); });
    return MpGuiBase2::attachHost(host);
}

int32_t MpGuiGfxBase::computeDesiredSize(GuiSize available, GuiSize* desired) {
    if (!desired)
        return ResultFailure;
    desired->width = available.width > 1.0f ? available.width : 1.0f;
    desired->height = available.height > 1.0f ? available.height : 1.0f;
    return ResultSuccess;
}

int32_t MpGuiGfxBase::acceptBounds(const GuiRect* rect) {
    if (!rect)
        return ResultFailure;
    const bool same = rect->left == bounds.left && rect->top == bounds.top &&
                      rect->right == bounds.right && rect->bottom == bounds.bottom;
    if (!same) {
        bounds = *rect;
        guardedCall([&] { requestRepaint(); });
    }
    return ResultSuccess;
}

int32_t MpGuiGfxBase::onRepaint(gmpi::IMpUnknown*) {
    return ResultSuccess;
}

int32_t MpGuiGfxBase::onPress(int32_t, GuiPoint point) {
    return probeHit(point);
}

int32_t MpGuiGfxBase::onMotion(int32_t, GuiPoint point) {
    return probeHit(point);
}

int32_t MpGuiGfxBase::onRelease(int32_t, GuiPoint point) {
    return probeHit(point);
}

int32_t MpGuiGfxBase::probeHit(GuiPoint) {
    return ResultSuccess;
}

int32_t MpGuiGfxBase::graphicsHintTextAt(GuiPoint, gmpi::IString*) {
    return ResultFailure;
}

void MpGuiGfxBase::requestRepaint(const GuiRect* area) {
    if (graphicsHost)
        graphicsHost->requestRepaint(area);
}

void MpGuiGfxBase::requestRemeasure() {
    if (graphicsHost)
        graphicsHost->requestRemeasure();
}

void MpGuiGfxBase::takePointerCapture() {
    if (graphicsHost)
        graphicsHost->takePointerCapture();
}

bool MpGuiGfxBase::queryPointerCapture() {
    int32_t captured = 0;
    if (graphicsHost)
        graphicsHost->queryPointerCapture(&captured);
    return captured != 0;
}

void MpGuiGfxBase::dropPointerCapture() {
    if (graphicsHost)
        graphicsHost->dropPointerCapture();
}

bool isShiftDown() {
    return platform::getKeyState(platform::KeyShift) < 0;
}

bool isControlDown() {
    return platform::getKeyState(platform::KeyControl) < 0;
}

bool isAltDown() {
    return platform::getKeyState(platform::KeyAlt) < 0;
}

int32_t modifierKeyBits() {
    return (isShiftDown() ? 1 : 0) | (isControlDown() ? 2 : 0) | (isAltDown() ? 4 : 0);
}

} // namespace gmpi_gui
