// The interfaces that this library offers the host: the factory and the module
// interfaces of the audio side, of both GUI generations and of the drawing side.
#pragma once

#include "DrawingApi.h"
#include "MpTypes.h"

enum ModuleSubType : int32_t {
    AudioPart = 0, // audio-side object
    GuiPart = 1,   // first-generation GUI object
    Gui2Part = 2,  // second-generation GUI object
};

enum PinValueKind : int32_t {
    KindText = 1,
    KindMidi = 2,
    KindBool = 4,
    KindAudio = 5,
    KindFloat = 6,
    KindInt = 8,
    KindBlob = 10,
};

enum PinFlow : int32_t { FlowIn = 0, FlowOut = 1 };

enum TimedEventKind : int32_t {
    EventValueChanged = 100,
    EventStreamOn = 101,
    EventStreamOff = 102,
    EventPinMessage = 103,
    EventRunStart = 104,
};

// One event of an audio block; the host passes a list in non-decreasing frame order.
struct TimedEvent {
    int32_t frameOffset;
    int32_t kind;
    int32_t pinId;
    int32_t byteCount;
    uint8_t inlineBytes[8]; // the data when dataPointer is null
    const void* dataPointer;
    const TimedEvent* next;
};

namespace gmpi {

struct IMpFactory : IMpUnknown {
    virtual int32_t makeModule(const char16_t* moduleId, int32_t subType, IMpUnknown* host,
                               void** out) = 0;
    virtual int32_t describeBuild(int32_t* version, int32_t maxChars, char16_t* text) = 0;
};

struct IMpFactory2 : IMpFactory {
    virtual int32_t makeModuleWithoutHost(const char16_t* moduleId, int32_t subType,
                                          void** out) = 0;
};

// Second-generation GUI module.
struct IMpUserInterface2 : IMpUnknown {
    virtual int32_t attachHost(IMpUnknown* host) = 0;
    virtual int32_t hostHookA() = 0;
    virtual int32_t receivePinValue(int32_t pinId, int32_t voice, int32_t size,
                                    const void* data) = 0;
    virtual int32_t hostHookB() = 0;
    virtual int32_t fillContextMenu(int32_t x, int32_t y, IMpUnknown* itemSink) = 0;
    virtual int32_t onContextMenuPick(int32_t itemId) = 0;
    virtual int32_t hintTextAt(int32_t x, int32_t y, IMpUnknown* returnString) = 0;
    virtual int32_t onPinChanged(int32_t pinId, int32_t voice) = 0;
};

struct IMpUserInterface2B : IMpUserInterface2 {};

// First-generation GUI module.
struct IMpUserInterface : IMpUnknown {
    virtual int32_t onStartup() = 0;
    virtual int32_t receivePinValue(int32_t pinId, int32_t voice, int32_t size,
                                    const void* data) = 0;
    virtual int32_t onPinChanged(int32_t pinId, int32_t voice) = 0;
    virtual int32_t legacyHookA() = 0;
    virtual int32_t legacyHookB() = 0;
    virtual int32_t legacyHookC() = 0;
};

// Modules that take their host at creation.
struct IMpLegacyInitialization : IMpUnknown {
    virtual int32_t attachHost(IMpUnknown* host) = 0;
};

// Audio-side module, first form. Its runBlock takes the event list untyped and
// its acceptMessage a const payload, so that each slot can be overridden
// separately from the IMpPlugin2 slots of the same name.
struct IMpPlugin : IMpUnknown {
    virtual int32_t prepare() = 0;
    virtual int32_t attachBuffer(int32_t pinId, float* buffer) = 0;
    virtual void runBlock(int32_t frames, const void* events) = 0;
    virtual int32_t acceptMessage(int32_t id, int32_t size, const void* data) = 0;
};

// Audio-side module, second form.
struct IMpPlugin2 : IMpUnknown {
    virtual int32_t attachHost(IMpUnknown* host) = 0;
    virtual int32_t prepare() = 0;
    virtual int32_t attachBuffer(int32_t pinId, float* buffer) = 0;
    virtual void runBlock(int32_t frames, const TimedEvent* events) = 0;
    virtual int32_t acceptMessage(int32_t id, int32_t size, void* data) = 0;
};

} // namespace gmpi

// Attachment interface of the older kinds; it has no id.
struct IoldSchoolInitialisation {
    virtual int32_t attachHost(gmpi::IMpUnknown* host) = 0;
};

// A native window handle (HWND) as the window bridge passes it.
using WindowHandle = void*;

// Older-kind GUI module that draws in a child window of its own.
struct IMpGraphicsWinGdi : gmpi::IMpUnknown {
    virtual int32_t computeDesiredSize(int32_t availableWidth, int32_t availableHeight,
                                       int32_t* desiredWidth, int32_t* desiredHeight) = 0;
    virtual int32_t acceptBounds(int32_t top, int32_t bottom, int32_t left, int32_t right) = 0;
    virtual int32_t openChildWindow(WindowHandle parent, WindowHandle* out) = 0;
    virtual int32_t closeChildWindow() = 0;
};

// Older-kind GUI module drawn through a host compositor. The hooks answer 0.
struct ISeGraphicsComposited : gmpi::IMpUnknown {
    virtual int32_t compositedHookA() = 0;
    virtual int32_t computeDesiredSize(int32_t availableWidth, int32_t availableHeight,
                                       int32_t* desiredWidth, int32_t* desiredHeight) = 0;
    virtual int32_t acceptBounds(int32_t top, int32_t bottom, int32_t left, int32_t right) = 0;
    virtual int32_t compositedHookB() = 0;
    virtual int32_t compositedHookC() = 0;
    virtual int32_t compositedHookD() = 0;
    virtual int32_t compositedHookE() = 0;
    virtual int32_t compositedHookF() = 0;
};

namespace gmpi_gui_api {

struct IMpGraphics : gmpi::IMpUnknown {
    virtual int32_t computeDesiredSize(GuiSize available, GuiSize* desired) = 0;
    virtual int32_t acceptBounds(const GuiRect* rect) = 0;
    virtual int32_t onRepaint(gmpi::IMpUnknown* drawingHost) = 0;
    virtual int32_t onPress(int32_t flags, GuiPoint point) = 0;
    virtual int32_t onMotion(int32_t flags, GuiPoint point) = 0;
    virtual int32_t onRelease(int32_t flags, GuiPoint point) = 0;
};

struct IMpGraphics2 : IMpGraphics {
    // ResultSuccess: the point belongs to the module.
    virtual int32_t probeHit(GuiPoint point) = 0;
    virtual int32_t graphicsHintTextAt(GuiPoint point, gmpi::IString* text) = 0;
};

// Pointer flags passed to the pointer operations.
enum PointerFlags : int32_t {
    PointerButtonDown = 0x10,
    PointerFineAdjust = 0x20000,
};

} // namespace gmpi_gui_api

template <> struct InterfaceIdentity<gmpi::IMpFactory> {
    static constexpr InterfaceId id = guid("91C3D2EE-C701-4F35-91A6-094DC7E05976");
};
template <> struct InterfaceIdentity<gmpi::IMpFactory2> {
    static constexpr InterfaceId id = guid("9A7904B7-7F7F-4D61-B558-C1A6695BB638");
};
template <> struct InterfaceIdentity<gmpi::IMpUserInterface2> {
    static constexpr InterfaceId id = guid("21B0EC11-6B66-4B72-928E-77E93A31A628");
};
template <> struct InterfaceIdentity<gmpi::IMpUserInterface2B> {
    static constexpr InterfaceId id = guid("9CD06775-F5C2-4321-812D-0958153294B8");
};
template <> struct InterfaceIdentity<gmpi::IMpUserInterface> {
    static constexpr InterfaceId id = guid("CACB3203-4A57-4209-9E00-0C4B950457F6");
};
template <> struct InterfaceIdentity<gmpi::IMpLegacyInitialization> {
    static constexpr InterfaceId id = guid("0B471002-5627-4D46-984E-C0DC79D0AD35");
};
template <> struct InterfaceIdentity<gmpi::IMpPlugin> {
    static constexpr InterfaceId id = guid("2B0DFC7E-A539-49CD-B72D-32FF9DF0D9E4");
};
template <> struct InterfaceIdentity<gmpi::IMpPlugin2> {
    static constexpr InterfaceId id = guid("1E07E3E8-8118-457F-A63C-D4F282A0F519");
};
template <> struct InterfaceIdentity<gmpi_gui_api::IMpGraphics> {
    static constexpr InterfaceId id = guid("6AEF51B9-C92A-472B-A53E-4A476DF85C85");
};
template <> struct InterfaceIdentity<gmpi_gui_api::IMpGraphics2> {
    static constexpr InterfaceId id = guid("4540C6EE-98AB-4C79-B857-66AE64249125");
};
template <> struct InterfaceIdentity<IMpGraphicsWinGdi> {
    static constexpr InterfaceId id = guid("76FAC807-0C89-465D-9FAF-49B12D964118");
};
template <> struct InterfaceIdentity<ISeGraphicsComposited> {
    static constexpr InterfaceId id = guid("0157347B-3FD3-4CEE-947E-88F694349254");
};
