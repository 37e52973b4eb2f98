// Window bridge bases: older-kind GUI modules that draw through a Windows child
// window of their own (MpGuiWindowsGfxBase, SeGuiWindowsGfxBase) or through a
// host compositor (SeGuiCompositedGfxBase). Module authors derive from them;
// this library makes none.
#pragma once

#include "MpGuiBase.h"

#include "../platform/Windowing.h"

// The class name of the bridge's child windows.
inline constexpr char16_t bridgeWindowClassName[] = u"DefaultMpWClass";

// No module of this library uses this class.
class MpGuiWindowsGfxBase : public MpGuiBase, public IMpGraphicsWinGdi {
public:
    int32_t queryInterface(const InterfaceId& iid, void** out) override;
    int32_t addRef() override { return ++refCount; }
    int32_t release() override;
    // Closes the window after clearing its pointer back to this object.
    ~MpGuiWindowsGfxBase() override;
    // Needs ILegacyGuiHost and IWindowHost.
    int32_t attachHost(gmpi::IMpUnknown* host) override;

    // Each of the available width and height clamped to 15 ... 100.
    int32_t computeDesiredSize(int32_t availableWidth, int32_t availableHeight,
                               int32_t* desiredWidth, int32_t* desiredHeight) override;
    // Stored as given; the window is placed from them when it opens.
    int32_t acceptBounds(int32_t top, int32_t bottom, int32_t left, int32_t right) override;
    // Opens the child window in parent (a window open already is closed first).
    // ResultFailure, out null and the open count unchanged when it cannot be made.
    int32_t openChildWindow(WindowHandle parent, WindowHandle* out) override;
    int32_t closeChildWindow() override;
    // Paint, pointer, timer and close messages; others go to the default procedure.
    virtual intptr_t handleWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                                         intptr_t lParam);
    virtual void describeWindowClass(platform::WindowClass* spec);
    virtual void chooseWindowStyle(int32_t* style, int32_t* exStyle);
    virtual void registerWindowClass();
    virtual void unregisterWindowClass();
    virtual int32_t onPaintDc(platform::DeviceContext dc) { return 0; }
    virtual int32_t onLeftButtonDown(int32_t flags, int32_t x, int32_t y) { return 0; }
    virtual int32_t onLeftButtonUp(int32_t flags, int32_t x, int32_t y) { return 0; }
    virtual int32_t onMouseMotion(int32_t flags, int32_t x, int32_t y) { return 0; }
    virtual int32_t onWindowTimer() { return 0; }

    void invalidate();
    void takeCapture();
    void dropCapture();
    bool hasCapture() const;

    WindowHandle getWindow() const { return window; }
    IWindowHost* getWindowHost() const { return windowHost.get(); }
    const int32_t* getBounds() const { return windowBounds; }
    // Bridge windows open in the process.
    static int32_t openWindowCount();

protected:
    MpGuiWindowsGfxBase() = default;

    gmpi_sdk::ComPtr<IWindowHost> windowHost;
    int32_t windowBounds[4] = {}; // top, bottom, left, right

private:
    // Forgets the window, destroying it when it still belongs to this object.
    void dropWindow(bool detachFirst);

    int32_t refCount = 1;
    WindowHandle window = nullptr;
};

// No module of this library uses this class.
class SeGuiWindowsGfxBase : public MpGuiWindowsGfxBase {
public:
    int32_t addRef() override { return ++refCount; }
    int32_t release() override;
    ~SeGuiWindowsGfxBase() override = default;
    // Needs ILegacyGuiHost, IWindowHost and IWindowHost2.
    int32_t attachHost(gmpi::IMpUnknown* host) override;

    IWindowHost2* getWindowHost2() const { return windowHost2.get(); }

protected:
    SeGuiWindowsGfxBase() = default;

private:
    int32_t refCount = 1;
    gmpi_sdk::ComPtr<IWindowHost2> windowHost2;
};

// No module of this library uses this class.
class SeGuiCompositedGfxBase : public MpGuiBase, public ISeGraphicsComposited {
public:
    int32_t queryInterface(const InterfaceId& iid, void** out) override;
    int32_t addRef() override { return ++refCount; }
    int32_t release() override;
    ~SeGuiCompositedGfxBase() override = default;
    // Needs ILegacyGuiHost and ICompositorHost.
    int32_t attachHost(gmpi::IMpUnknown* host) override;

    int32_t compositedHookA() override { return 0; }
    int32_t computeDesiredSize(int32_t availableWidth, int32_t availableHeight,
                               int32_t* desiredWidth, int32_t* desiredHeight) override;
    int32_t acceptBounds(int32_t top, int32_t bottom, int32_t left, int32_t right) override;
    int32_t compositedHookB() override { return 0; }
    int32_t compositedHookC() override { return 0; }
    int32_t compositedHookD() override { return 0; }
    int32_t compositedHookE() override { return 0; }
    int32_t compositedHookF() override { return 0; }

    // Forwarded to the compositor; nothing without one.
    void invalidate();
    void takeCapture();
    void dropCapture();
    bool hasCapture() const;

    ICompositorHost* getCompositorHost() const { return compositorHost.get(); }
    const int32_t* getBounds() const { return compositedBounds; }

protected:
    SeGuiCompositedGfxBase() = default;

    gmpi_sdk::ComPtr<ICompositorHost> compositorHost;
    int32_t compositedBounds[4] = {};

private:
    int32_t refCount = 1;
};
