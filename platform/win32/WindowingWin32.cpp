// The window functions of the platform layer: the real Win32 calls.
#include "../Windowing.h"

#include <windows.h>

static_assert(sizeof(wchar_t) == sizeof(char16_t));
static_assert(sizeof(platform::WindowClass) == sizeof(WNDCLASSEXW));

namespace platform {
namespace {

HWND hwnd(WindowHandle window) {
    return static_cast<HWND>(window);
}

const wchar_t* wide(const char16_t* text) {
    return reinterpret_cast<const wchar_t*>(text);
}

} // namespace

uint16_t registerWindowClass(const WindowClass& spec) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = spec.style;
    // WindowProc has the WNDPROC signature; x64 Windows has one calling convention.
    wc.lpfnWndProc = reinterpret_cast<WNDPROC>(spec.procedure);
    wc.cbClsExtra = spec.classExtra;
    wc.cbWndExtra = spec.windowExtra;
    wc.hInstance = static_cast<HINSTANCE>(spec.instance);
    wc.hIcon = static_cast<HICON>(spec.icon);
    wc.hCursor = static_cast<HCURSOR>(spec.cursor);
    wc.hbrBackground = static_cast<HBRUSH>(spec.background);
    wc.lpszMenuName = wide(spec.menuName);
    wc.lpszClassName = wide(spec.className);
    wc.hIconSm = static_cast<HICON>(spec.smallIcon);
    return RegisterClassExW(&wc);
}

bool unregisterWindowClass(const char16_t* className, void* instance) {
    return UnregisterClassW(wide(className), static_cast<HINSTANCE>(instance)) != FALSE;
}

bool windowClassRegistered(const char16_t* className, void* instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    return GetClassInfoExW(static_cast<HINSTANCE>(instance), wide(className), &wc) != FALSE;
}

WindowHandle createWindow(uint32_t exStyle, const char16_t* className, const char16_t* title,
                          uint32_t style, int32_t x, int32_t y, int32_t width, int32_t height,
                          WindowHandle parent, void* instance) {
    return CreateWindowExW(exStyle, wide(className), wide(title), style, x, y, width, height,
                           hwnd(parent), nullptr, static_cast<HINSTANCE>(instance), nullptr);
}

bool destroyWindow(WindowHandle window) {
    return DestroyWindow(hwnd(window)) != FALSE;
}

bool isWindow(WindowHandle window) {
    return window && IsWindow(hwnd(window)) != FALSE;
}

WindowHandle parentWindow(WindowHandle window) {
    return GetParent(hwnd(window));
}

WindowPlacement windowPlacement(WindowHandle window) {
    RECT r{};
    GetWindowRect(hwnd(window), &r);
    if (HWND parent = GetParent(hwnd(window)))
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

intptr_t defaultWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam,
                           intptr_t lParam) {
    return DefWindowProcW(hwnd(window), message, wParam, lParam);
}

intptr_t sendMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return SendMessageW(hwnd(window), message, wParam, lParam);
}

void postQuitMessage(int32_t exitCode) {
    PostQuitMessage(exitCode);
}

void setWindowUserData(WindowHandle window, intptr_t value) {
    SetWindowLongPtrW(hwnd(window), GWLP_USERDATA, value);
}

intptr_t windowUserData(WindowHandle window) {
    if (!isWindow(window))
        return 0;
    return GetWindowLongPtrW(hwnd(window), GWLP_USERDATA);
}

bool invalidateWindow(WindowHandle window) {
    return InvalidateRect(hwnd(window), nullptr, TRUE) != FALSE;
}

WindowHandle setCapture(WindowHandle window) {
    return SetCapture(hwnd(window));
}

bool releaseCapture() {
    return ReleaseCapture() != FALSE;
}

WindowHandle captureWindow() {
    return GetCapture();
}

void* arrowCursor() {
    return LoadCursorW(nullptr, IDC_ARROW);
}

void* ownModuleHandle() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ownModuleHandle), &module);
    return module;
}

PaintScope::PaintScope(WindowHandle window) : window(window) {
    static_assert(sizeof(PAINTSTRUCT) <= sizeof record);
    dc = BeginPaint(hwnd(window), reinterpret_cast<PAINTSTRUCT*>(record));
}

PaintScope::~PaintScope() {
    EndPaint(hwnd(window), reinterpret_cast<PAINTSTRUCT*>(record));
}

} // namespace platform
