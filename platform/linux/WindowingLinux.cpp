// Linux stand-ins of the window functions: a table of window classes and
// windows whose procedures receive messages as Windows would send them.
#include "WindowTable.h"

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace platform {
namespace {

constexpr uint32_t messageCreate = 0x0001;
constexpr uint32_t messageNcCreate = 0x0081;

struct ClassRecord {
    WindowClass spec;
    std::u16string name;
};

struct WindowRecord {
    std::u16string className;
    void* instance;
    WindowProc procedure;
    WindowHandle parent;
    uint32_t style;
    WindowPlacement placement;
    intptr_t userData = 0;
    int32_t invalidations = 0;
};

struct WindowTable {
    uintptr_t nextHandle = 0x10000;
    uint16_t nextAtom = 0xC000;
    std::map<std::pair<std::u16string, void*>, ClassRecord> classes;
    std::map<WindowHandle, WindowRecord> windows;
    WindowHandle capture = nullptr;
    int32_t quitMessages = 0;
};

// Never destroyed, like the other stand-in state.
WindowTable& table() {
    static auto* instance = new WindowTable;
    return *instance;
}

WindowRecord* find(WindowHandle window) {
    auto& windows = table().windows;
    const auto it = windows.find(window);
    return it == windows.end() ? nullptr : &it->second;
}

std::u16string text(const char16_t* s) {
    return s ? std::u16string(s) : std::u16string();
}

char cursorToken;
char moduleToken;
char deviceContextToken;

} // namespace

uint16_t registerWindowClass(const WindowClass& spec) {
    if (!spec.className || !spec.procedure || spec.size != sizeof(WindowClass))
        return 0;
    auto& t = table();
    ClassRecord record{spec, text(spec.className)};
    if (!t.classes.emplace(std::pair(record.name, spec.instance), record).second)
        return 0;
    return t.nextAtom++;
}

bool unregisterWindowClass(const char16_t* className, void* instance) {
    auto& t = table();
    const auto it = t.classes.find({text(className), instance});
    if (it == t.classes.end())
        return false;
    for (const auto& [handle, window] : t.windows)
        if (window.className == it->first.first && window.instance == instance)
            return false; // the class still has windows
    t.classes.erase(it);
    return true;
}

bool windowClassRegistered(const char16_t* className, void* instance) {
    return table().classes.count({text(className), instance}) != 0;
}

WindowHandle createWindow(uint32_t exStyle, const char16_t* className, const char16_t* title,
                          uint32_t style, int32_t x, int32_t y, int32_t width, int32_t height,
                          WindowHandle parent, void* instance) {
    auto& t = table();
    const auto cls = t.classes.find({text(className), instance});
    if (cls == t.classes.end())
        return nullptr;
    if (parent ? !find(parent) : (style & StyleChild) != 0)
        return nullptr;
    const auto handle = reinterpret_cast<WindowHandle>(t.nextHandle);
    t.nextHandle += 4;
    t.windows.emplace(
        handle, WindowRecord{cls->second.name, instance, cls->second.spec.procedure, parent, style,
                             WindowPlacement{x, y, std::max(width, 0), std::max(height, 0)}});
    const WindowProc procedure = cls->second.spec.procedure;
    if (procedure(handle, messageNcCreate, 0, 0) == 0 ||
        procedure(handle, messageCreate, 0, 0) == -1) {
        destroyWindow(handle);
        return nullptr;
    }
    return handle;
}

bool destroyWindow(WindowHandle window) {
    WindowRecord* record = find(window);
    if (!record)
        return false;
    auto& t = table();
    if (t.capture == window)
        t.capture = nullptr;
    const WindowProc procedure = record->procedure;
    procedure(window, MessageDestroy, 0, 0);
    std::vector<WindowHandle> children;
    for (const auto& [handle, w] : t.windows)
        if (w.parent == window)
            children.push_back(handle);
    for (WindowHandle child : children)
        destroyWindow(child);
    if (find(window))
        procedure(window, MessageNcDestroy, 0, 0);
    t.windows.erase(window);
    return true;
}

bool isWindow(WindowHandle window) {
    return find(window) != nullptr;
}

WindowHandle parentWindow(WindowHandle window) {
    const WindowRecord* record = find(window);
    return record ? record->parent : nullptr;
}

WindowPlacement windowPlacement(WindowHandle window) {
    const WindowRecord* record = find(window);
    return record ? record->placement : WindowPlacement{};
}

intptr_t defaultWindowProc(WindowHandle window, uint32_t message, uintptr_t, intptr_t) {
    switch (message) {
    case messageNcCreate:
        return 1;
    case MessageClose:
        destroyWindow(window);
        return 0;
    default:
        return 0;
    }
}

intptr_t sendMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    const WindowRecord* record = find(window);
    return record ? record->procedure(window, message, wParam, lParam) : 0;
}

void postQuitMessage(int32_t) {
    ++table().quitMessages;
}

void setWindowUserData(WindowHandle window, intptr_t value) {
    if (WindowRecord* record = find(window))
        record->userData = value;
}

intptr_t windowUserData(WindowHandle window) {
    const WindowRecord* record = find(window);
    return record ? record->userData : 0;
}

bool invalidateWindow(WindowHandle window) {
    WindowRecord* record = find(window);
    if (!record)
        return false;
    ++record->invalidations;
    return true;
}

WindowHandle setCapture(WindowHandle window) {
    if (!find(window))
        return nullptr;
    return std::exchange(table().capture, window);
}

bool releaseCapture() {
    table().capture = nullptr;
    return true;
}

WindowHandle captureWindow() {
    return table().capture;
}

void* arrowCursor() {
    return &cursorToken;
}

void* ownModuleHandle() {
    return &moduleToken;
}

PaintScope::PaintScope(WindowHandle window) : window(window) {
    if (find(window))
        dc = &deviceContextToken;
}

PaintScope::~PaintScope() = default;

namespace standin {

size_t windowCount() {
    return table().windows.size();
}

int32_t quitMessagesPosted() {
    return table().quitMessages;
}

int32_t invalidations(WindowHandle window) {
    const WindowRecord* record = find(window);
    return record ? record->invalidations : 0;
}

} // namespace standin
} // namespace platform
