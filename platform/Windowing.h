// Window functions: window classes, child windows and their messages, painting
// and pointer capture (RegisterClassExW, CreateWindowExW, DefWindowProcW...).
// The Windows build calls the real functions; the Linux build keeps a window
// table of its own that dispatches messages the same way.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

using WindowHandle = void*;  // HWND
using DeviceContext = void*; // HDC
// The WNDPROC signature.
using WindowProc = intptr_t (*)(WindowHandle window, uint32_t message, uintptr_t wParam,
                                intptr_t lParam);

enum WindowMessage : uint32_t {
    MessageDestroy = 0x0002,
    MessagePaint = 0x000F,
    MessageClose = 0x0010,
    MessageNcDestroy = 0x0082,
    MessageTimer = 0x0113,
    MessageMouseMove = 0x0200,
    MessageLeftButtonDown = 0x0201,
    MessageLeftButtonUp = 0x0202,
};

enum WindowClassStyle : uint32_t { ClassVerticalRedraw = 0x0001, ClassHorizontalRedraw = 0x0002 };

enum WindowStyle : uint32_t {
    StyleOverlapped = 0x00000000,
    StyleVisible = 0x10000000,
    StyleChild = 0x40000000,
};

// The fields of WNDCLASSEXW, in its order.
struct WindowClass {
    uint32_t size;
    uint32_t style;
    WindowProc procedure;
    int32_t classExtra;
    int32_t windowExtra;
    void* instance;
    void* icon;
    void* cursor;
    void* background;
    const char16_t* menuName;
    const char16_t* className;
    void* smallIcon;
};

// A window's place in its parent's client area (in the screen for a top-level window).
struct WindowPlacement {
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
};

// The class atom, 0 on failure.
uint16_t registerWindowClass(const WindowClass& spec);
bool unregisterWindowClass(const char16_t* className, void* instance);
bool windowClassRegistered(const char16_t* className, void* instance);

// Null on failure (no such class, a child style without a valid parent...).
WindowHandle createWindow(uint32_t exStyle, const char16_t* className, const char16_t* title,
                          uint32_t style, int32_t x, int32_t y, int32_t width, int32_t height,
                          WindowHandle parent, void* instance);
bool destroyWindow(WindowHandle window);
bool isWindow(WindowHandle window);
WindowHandle parentWindow(WindowHandle window);
WindowPlacement windowPlacement(WindowHandle window);

intptr_t defaultWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam,
                           intptr_t lParam);
// Calls the window's procedure and returns its result (SendMessageW).
intptr_t sendMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
void postQuitMessage(int32_t exitCode);

// GWLP_USERDATA; 0 for a handle that names no window.
void setWindowUserData(WindowHandle window, intptr_t value);
intptr_t windowUserData(WindowHandle window);

bool invalidateWindow(WindowHandle window);
WindowHandle setCapture(WindowHandle window);
bool releaseCapture();
WindowHandle captureWindow();

// The system's arrow cursor.
void* arrowCursor();
// The handle of the module (program or library) holding this code, without a
// reference of its own.
void* ownModuleHandle();

// BeginPaint and EndPaint around one paint message.
class PaintScope {
public:
    explicit PaintScope(WindowHandle window);
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    ~PaintScope();

    DeviceContext context() const { return dc; }

private:
    WindowHandle window;
    DeviceContext dc = nullptr;
    alignas(8) unsigned char record[72] = {}; // PAINTSTRUCT
};

} // namespace platform
