#include "WindowBridge.h"

#include "../platform/BoundaryGuard.h"
#include "ReleaseReference.h"
#include "SrgbTables.h"

#include <algorithm>
#include <utility>

namespace {

// Bridge windows open in the process; the class is registered while it is above 0.
constinit int32_t openWindows = 0;

int32_t clampDesired(int32_t available) {
    return std::clamp(available, 15, 100);
}

int32_t extent(int32_t from, int32_t to) {
    const int64_t size = int64_t(to) - int64_t(from);
    return int32_t(std::clamp<int64_t>(size, INT32_MIN, INT32_MAX));
}

// The low and high 16 bits of a message's lParam, each sign-extended.
int32_t lowWord(intptr_t lParam) {
    return int16_t(uint16_t(uintptr_t(lParam) & 0xFFFF));
}
int32_t highWord(intptr_t lParam) {
    return int16_t(uint16_t((uintptr_t(lParam) >> 16) & 0xFFFF));
}

intptr_t bridgeWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam,
                          intptr_t lParam) {
    auto* object = reinterpret_cast<MpGuiWindowsGfxBase*>(platform::windowUserData(window));
    if (!object)
        return platform::defaultWindowProc(window, message, wParam, lParam);
    return guardedCall(
        intptr_t{0}, [&] { return object->handleWindowMessage(window, message, wParam, lParam); });
}

// Bounds as the host gives them, in its order: top, bottom, left, right.
void storeBounds(int32_t (&edges)[4], int32_t top, int32_t bottom, int32_t left, int32_t right) {
    edges[0] = top;
    edges[1] = bottom;
    edges[2] = left;
    edges[3] = right;
}

void computeDesired(int32_t availableWidth, int32_t availableHeight, int32_t* desiredWidth,
                    int32_t* desiredHeight) {
    if (desiredWidth)
        *desiredWidth = clampDesired(availableWidth);
    if (desiredHeight)
        *desiredHeight = clampDesired(availableHeight);
}

} // namespace

// MpGuiWindowsGfxBase

int32_t MpGuiWindowsGfxBase::queryInterface(const InterfaceId& iid, void** out) {
    if (out && iid == iidOf<IMpGraphicsWinGdi>()) {
        *out = static_cast<IMpGraphicsWinGdi*>(this);
        addRef();
        return ResultSuccess;
    }
    return MpGuiBase::queryInterface(iid, out);
}

int32_t MpGuiWindowsGfxBase::release() {
    return releaseReference(this, refCount);
}

MpGuiWindowsGfxBase::~MpGuiWindowsGfxBase() {
    dropWindow(true);
}

int32_t MpGuiWindowsGfxBase::attachHost(gmpi::IMpUnknown* host) {
    int32_t result = ResultFailure;
    if (!queryHost(host, legacyHost, result) || !queryHost(host, windowHost, result))
        return refuseHost();
    return result;
}

int32_t MpGuiWindowsGfxBase::computeDesiredSize(int32_t availableWidth, int32_t availableHeight,
                                                int32_t* desiredWidth, int32_t* desiredHeight) {
    computeDesired(availableWidth, availableHeight, desiredWidth, desiredHeight);
    return ResultSuccess;
}

int32_t MpGuiWindowsGfxBase::acceptBounds(int32_t top, int32_t bottom, int32_t left,
                                          int32_t right) {
    storeBounds(windowBounds, top, bottom, left, right);
    return ResultSuccess;
}

int32_t MpGuiWindowsGfxBase::openChildWindow(WindowHandle parent, WindowHandle* out) {
    return guardedCall(ResultFailure, [&]() -> int32_t {
        if (out)
            *out = nullptr;
        dropWindow(false);
        if (openWindows++ == 0)
            registerWindowClass();
        int32_t style = 0, exStyle = 0;
        chooseWindowStyle(&style, &exStyle);
        const int32_t top = windowBounds[0], bottom = windowBounds[1];
        const int32_t left = windowBounds[2], right = windowBounds[3];
        WindowHandle made = platform::createWindow(
            uint32_t(exStyle), bridgeWindowClassName, nullptr, uint32_t(style), left, top,
            extent(left, right), extent(top, bottom), parent, platform::ownModuleHandle());
        if (!made) {
            if (--openWindows == 0)
                unregisterWindowClass();
            return ResultFailure;
        }
        window = made;
        if (out)
            *out = made;
        platform::setWindowUserData(made, reinterpret_cast<intptr_t>(this));
        return ResultSuccess;
    });
}

int32_t MpGuiWindowsGfxBase::closeChildWindow() {
    guardedCall([&] { dropWindow(false); });
    return ResultSuccess;
}

void MpGuiWindowsGfxBase::dropWindow(bool detachFirst) {
    if (!window)
        return;
    WindowHandle old = std::exchange(window, nullptr);
    // A window destroyed from outside (with its parent, say) may have lent its
    // handle to another window since: only one still pointing here is destroyed.
    if (platform::windowUserData(old) == reinterpret_cast<intptr_t>(this)) {
        if (detachFirst)
            platform::setWindowUserData(old, 0);
        platform::destroyWindow(old);
    }
    if (--openWindows == 0)
        unregisterWindowClass();
}

intptr_t MpGuiWindowsGfxBase::handleWindowMessage(WindowHandle hwnd, uint32_t message,
                                                  uintptr_t wParam, intptr_t lParam) {
    switch (message) {
    case platform::MessagePaint: {
        const platform::PaintScope paint(hwnd);
        onPaintDc(paint.context());
        return 1;
    }
    case platform::MessageLeftButtonDown:
        onLeftButtonDown(int32_t(wParam), lowWord(lParam), highWord(lParam));
        return 1;
    case platform::MessageLeftButtonUp:
        onLeftButtonUp(int32_t(wParam), lowWord(lParam), highWord(lParam));
        return 1;
    case platform::MessageMouseMove:
        onMouseMotion(int32_t(wParam), lowWord(lParam), highWord(lParam));
        return 1;
    case platform::MessageTimer:
        onWindowTimer();
        return 1;
    case platform::MessageClose:
        platform::destroyWindow(hwnd);
        return 1;
    case platform::MessageDestroy:
        if (!platform::parentWindow(hwnd))
            platform::postQuitMessage(0);
        return 1;
    default:
        return platform::defaultWindowProc(hwnd, message, wParam, lParam);
    }
}

void MpGuiWindowsGfxBase::describeWindowClass(platform::WindowClass* spec) {
    spec->style = platform::ClassHorizontalRedraw | platform::ClassVerticalRedraw;
    spec->procedure = &bridgeWindowProc;
    spec->instance = platform::ownModuleHandle();
    spec->cursor = platform::arrowCursor();
    spec->className = bridgeWindowClassName;
}

void MpGuiWindowsGfxBase::chooseWindowStyle(int32_t* style, int32_t* exStyle) {
    *style = int32_t(platform::StyleChild | platform::StyleVisible);
    *exStyle = 0;
}

void MpGuiWindowsGfxBase::registerWindowClass() {
    platform::WindowClass spec{};
    spec.size = sizeof spec;
    describeWindowClass(&spec);
    platform::registerWindowClass(spec);
}

void MpGuiWindowsGfxBase::unregisterWindowClass() {
    platform::unregisterWindowClass(bridgeWindowClassName, platform::ownModuleHandle());
}

void MpGuiWindowsGfxBase::invalidate() {
    if (window)
        platform::invalidateWindow(window);
}

void MpGuiWindowsGfxBase::takeCapture() {
    if (window)
        platform::setCapture(window);
}

void MpGuiWindowsGfxBase::dropCapture() {
    platform::releaseCapture();
}

bool MpGuiWindowsGfxBase::hasCapture() const {
    return window && platform::captureWindow() == window;
}

int32_t MpGuiWindowsGfxBase::openWindowCount() {
    return openWindows;
}

// SeGuiWindowsGfxBase

int32_t SeGuiWindowsGfxBase::release() {
    return releaseReference(this, refCount);
}

int32_t SeGuiWindowsGfxBase::attachHost(gmpi::IMpUnknown* host) {
    int32_t result = ResultFailure;
    if (!queryHost(host, legacyHost, result) || !queryHost(host, windowHost, result) ||
        !queryHost(host, windowHost2, result))
        return refuseHost();
    return result;
}

// SeGuiCompositedGfxBase

int32_t SeGuiCompositedGfxBase::queryInterface(const InterfaceId& iid, void** out) {
    if (out && iid == iidOf<ISeGraphicsComposited>()) {
        *out = static_cast<ISeGraphicsComposited*>(this);
        addRef();
        return ResultSuccess;
    }
    return MpGuiBase::queryInterface(iid, out);
}

int32_t SeGuiCompositedGfxBase::release() {
    return releaseReference(this, refCount);
}

int32_t SeGuiCompositedGfxBase::attachHost(gmpi::IMpUnknown* host) {
    int32_t result = ResultFailure;
    if (!queryHost(host, legacyHost, result) || !queryHost(host, compositorHost, result))
        return refuseHost();
    return result;
}

int32_t SeGuiCompositedGfxBase::computeDesiredSize(int32_t availableWidth, int32_t availableHeight,
                                                   int32_t* desiredWidth, int32_t* desiredHeight) {
    computeDesired(availableWidth, availableHeight, desiredWidth, desiredHeight);
    return ResultSuccess;
}

int32_t SeGuiCompositedGfxBase::acceptBounds(int32_t top, int32_t bottom, int32_t left,
                                             int32_t right) {
    storeBounds(compositedBounds, top, bottom, left, right);
    return ResultSuccess;
}

void SeGuiCompositedGfxBase::invalidate() {
    if (compositorHost)
        compositorHost->requestRepaint();
}

void SeGuiCompositedGfxBase::takeCapture() {
    if (compositorHost)
        compositorHost->takePointerCapture();
}

void SeGuiCompositedGfxBase::dropCapture() {
    if (compositorHost)
        compositorHost->dropPointerCapture();
}

bool SeGuiCompositedGfxBase::hasCapture() const {
    int32_t captured = 0;
    if (compositorHost)
        compositorHost->queryPointerCapture(&captured);
    return captured != 0;
}

namespace {
[[maybe_unused]] const bool tablesBuilt = (ensureSrgbTables(), true);
} // namespace
