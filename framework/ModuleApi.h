// The interfaces that this library offers the host: the factory and the module
// interfaces of the audio side, of both GUI generations and of the drawing side.
// Each slot's comment is its contract, in the words MpTypes.h explains.
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

// The library's factory, handed out by MP_GetFactory; it keeps no reference count.
// Called on any thread, at any time after load.
struct IMpFactory : IMpUnknown {
    // Host; moduleId, host borrowed; *out +1. Unknown ID: ResultUnsupported; throw: ResultFailure.
    virtual int32_t makeModule(const char16_t* moduleId, int32_t subType, IMpUnknown* host,
                               void** out) = 0;
    // Host; fills version and at most maxChars units of text (with the zero). ResultSuccess.
    virtual int32_t describeBuild(int32_t* version, int32_t maxChars, char16_t* text) = 0;
};

} // namespace gmpi
template <> struct InterfaceIdentity<gmpi::IMpFactory> {
    static constexpr InterfaceId id = guid("91C3D2EE-C701-4F35-91A6-094DC7E05976");
};

namespace gmpi {

// Called on any thread, at any time after load.
struct IMpFactory2 : IMpFactory {
    // Host; as makeModule, without attaching a host to the new module.
    virtual int32_t makeModuleWithoutHost(const char16_t* moduleId, int32_t subType,
                                          void** out) = 0;
};

} // namespace gmpi
template <> struct InterfaceIdentity<gmpi::IMpFactory2> {
    static constexpr InterfaceId id = guid("9A7904B7-7F7F-4D61-B558-C1A6695BB638");
};

namespace gmpi {

// Second-generation GUI module. Called on the interface thread.
struct IMpUserInterface2 : IMpUnknown {
    // Host, before any other call; host borrowed. ResultUnsupported when it lacks IGuiHost.
    virtual int32_t attachHost(IMpUnknown* host) = 0;
    // Host; does nothing. ResultSuccess.
    virtual int32_t hostHookA() = 0;
    // Host; data borrowed (size bytes). Stores, runs no handler. ResultFailure: no such pin.
    virtual int32_t receivePinValue(int32_t pinId, int32_t voice, int32_t size,
                                    const void* data) = 0;
    // Host; does nothing. ResultFailure.
    virtual int32_t hostHookB() = 0;
    // Host; itemSink borrowed (an IMenuItemSink). ResultSuccess when the module offers items.
    virtual int32_t fillContextMenu(int32_t x, int32_t y, IMpUnknown* itemSink) = 0;
    // Host; an id from fillContextMenu. ResultSuccess when the module acted on it.
    virtual int32_t onContextMenuPick(int32_t itemId) = 0;
    // Host; returnString borrowed (an IString to fill). ResultSuccess when it holds a hint.
    virtual int32_t hintTextAt(int32_t x, int32_t y, IMpUnknown* returnString) = 0;
    // Host, after receivePinValue; runs the pin's handler. ResultFailure: no such pin.
    virtual int32_t onPinChanged(int32_t pinId, int32_t voice) = 0;
};

} // namespace gmpi
template <> struct InterfaceIdentity<gmpi::IMpUserInterface2> {
    static constexpr InterfaceId id = guid("21B0EC11-6B66-4B72-928E-77E93A31A628");
};

namespace gmpi {

// The same slots under a second id. Called on the interface thread.
struct IMpUserInterface2B : IMpUserInterface2 {};

} // namespace gmpi
template <> struct InterfaceIdentity<gmpi::IMpUserInterface2B> {
    static constexpr InterfaceId id = guid("9CD06775-F5C2-4321-812D-0958153294B8");
};

namespace gmpi {

// First-generation GUI module. Called on the interface thread.
struct IMpUserInterface : IMpUnknown {
    // Host, once attached; a module may send its first values here. ResultSuccess.
    virtual int32_t onStartup() = 0;
    // Host; data borrowed (size bytes). Stores, runs no handler. ResultFailure: no such pin.
    virtual int32_t receivePinValue(int32_t pinId, int32_t voice, int32_t size,
                                    const void* data) = 0;
    // Host, after receivePinValue; runs the pin's handler. ResultFailure: no such pin.
    virtual int32_t onPinChanged(int32_t pinId, int32_t voice) = 0;
    // Host; does nothing. ResultSuccess.
    virtual int32_t legacyHookA() = 0;
    // Host; does nothing. ResultSuccess.
    virtual int32_t legacyHookB() = 0;
    // Host; does nothing. ResultSuccess.
    virtual int32_t legacyHookC() = 0;
};

} // namespace gmpi
template <> struct InterfaceIdentity<gmpi::IMpUserInterface> {
    static constexpr InterfaceId id = guid("CACB3203-4A57-4209-9E00-0C4B950457F6");
};

namespace gmpi {

// Modules that take their host at creation: makeModule attaches it. Called on
// the thread of that makeModule call.
struct IMpLegacyInitialization : IMpUnknown {
    // Factory (or host); host borrowed. A host lacking what the module needs is refused.
    virtual int32_t attachHost(IMpUnknown* host) = 0;
};

} // namespace gmpi
template <> struct InterfaceIdentity<gmpi::IMpLegacyInitialization> {
    static constexpr InterfaceId id = guid("0B471002-5627-4D46-984E-C0DC79D0AD35");
};

namespace gmpi {

// Audio-side module, first form. Its runBlock takes the event list untyped and
// its acceptMessage a const payload, so that each slot can be overridden
// separately from the IMpPlugin2 slots of the same name. Called on the audio
// thread.
struct IMpPlugin : IMpUnknown {
    // Host, before the first block; does nothing. ResultSuccess.
    virtual int32_t prepare() = 0;
    // Host; buffer borrowed, kept until replaced (the host owns it). ResultFailure: no such pin.
    virtual int32_t attachBuffer(int32_t pinId, float* buffer) = 0;
    // Host; events borrowed (a TimedEvent list) for the call. Forwards to IMpPlugin2's.
    virtual void runBlock(int32_t frames, const void* events) = 0;
    // Host; data borrowed. Passed to the IMpPlugin2 form; 0 when neither form is overridden.
    virtual int32_t acceptMessage(int32_t id, int32_t size, const void* data) = 0;
};

} // namespace gmpi
template <> struct InterfaceIdentity<gmpi::IMpPlugin> {
    static constexpr InterfaceId id = guid("2B0DFC7E-A539-49CD-B72D-32FF9DF0D9E4");
};

namespace gmpi {

// Audio-side module, second form. Called on the audio thread; attachHost, by
// the factory at creation, on the thread of that makeModule call.
struct IMpPlugin2 : IMpUnknown {
    // Host (the factory at creation); host borrowed. Answers its query for IAudioHost.
    virtual int32_t attachHost(IMpUnknown* host) = 0;
    // Host, before the first block; does nothing. ResultSuccess.
    virtual int32_t prepare() = 0;
    // Host; buffer borrowed, kept until replaced (the host owns it). ResultFailure: no such pin.
    virtual int32_t attachBuffer(int32_t pinId, float* buffer) = 0;
    // Host; events borrowed for the call, in frame order. Runs the block; answers nothing.
    virtual void runBlock(int32_t frames, const TimedEvent* events) = 0;
    // Host; data borrowed. Passed to the IMpPlugin form; 0 when neither form is overridden.
    virtual int32_t acceptMessage(int32_t id, int32_t size, void* data) = 0;
};

} // namespace gmpi
template <> struct InterfaceIdentity<gmpi::IMpPlugin2> {
    static constexpr InterfaceId id = guid("1E07E3E8-8118-457F-A63C-D4F282A0F519");
};

// Attachment interface of the older kinds; it has no id. Called on the thread
// of the makeModule call that creates the module.
struct IoldSchoolInitialisation {
    // Host; host borrowed. As IMpLegacyInitialization's attachHost.
    virtual int32_t attachHost(gmpi::IMpUnknown* host) = 0;
};

// A native window handle (HWND) as the window bridge passes it.
using WindowHandle = void*;

// Older-kind GUI module that draws in a child window of its own. Called on the
// interface thread.
struct IMpGraphicsWinGdi : gmpi::IMpUnknown {
    // Host; fills both desired values, each clamped to 15 ... 100. ResultSuccess.
    virtual int32_t computeDesiredSize(int32_t availableWidth, int32_t availableHeight,
                                       int32_t* desiredWidth, int32_t* desiredHeight) = 0;
    // Host; stores the four edges for the window. ResultSuccess.
    virtual int32_t acceptBounds(int32_t top, int32_t bottom, int32_t left, int32_t right) = 0;
    // Host; parent borrowed; *out the module's window (it owns it). ResultFailure: not made.
    virtual int32_t openChildWindow(WindowHandle parent, WindowHandle* out) = 0;
    // Host; destroys the window when there is one. ResultSuccess.
    virtual int32_t closeChildWindow() = 0;
};
template <> struct InterfaceIdentity<IMpGraphicsWinGdi> {
    static constexpr InterfaceId id = guid("76FAC807-0C89-465D-9FAF-49B12D964118");
};

// Older-kind GUI module drawn through a host compositor. Called on the
// interface thread.
struct ISeGraphicsComposited : gmpi::IMpUnknown {
    // Host; does nothing. 0.
    virtual int32_t compositedHookA() = 0;
    // Host; fills both desired values, each clamped to 15 ... 100. ResultSuccess.
    virtual int32_t computeDesiredSize(int32_t availableWidth, int32_t availableHeight,
                                       int32_t* desiredWidth, int32_t* desiredHeight) = 0;
    // Host; stores the four edges. ResultSuccess.
    virtual int32_t acceptBounds(int32_t top, int32_t bottom, int32_t left, int32_t right) = 0;
    // Host; does nothing. 0.
    virtual int32_t compositedHookB() = 0;
    // Host; does nothing. 0.
    virtual int32_t compositedHookC() = 0;
    // Host; does nothing. 0.
    virtual int32_t compositedHookD() = 0;
    // Host; does nothing. 0.
    virtual int32_t compositedHookE() = 0;
    // Host; does nothing. 0.
    virtual int32_t compositedHookF() = 0;
};
template <> struct InterfaceIdentity<ISeGraphicsComposited> {
    static constexpr InterfaceId id = guid("0157347B-3FD3-4CEE-947E-88F694349254");
};

namespace gmpi_gui_api {

// Pointer flags passed to the pointer operations.
enum PointerFlags : int32_t {
    PointerButtonDown = 0x10,
    PointerFineAdjust = 0x20000,
};

// Drawing-side module: a widget on the host's panel. Called on the interface
// thread.
struct IMpGraphics : gmpi::IMpUnknown {
    // Host; fills desired from available. ResultSuccess.
    virtual int32_t computeDesiredSize(GuiSize available, GuiSize* desired) = 0;
    // Host; rect borrowed (copied). ResultSuccess.
    virtual int32_t acceptBounds(const GuiRect* rect) = 0;
    // Host; drawingHost borrowed (asked for IDrawingContext). ResultSuccess.
    virtual int32_t onRepaint(gmpi::IMpUnknown* drawingHost) = 0;
    // Host; flags from PointerFlags. ResultSuccess when the point belongs to the module.
    virtual int32_t onPress(int32_t flags, GuiPoint point) = 0;
    // Host; flags from PointerFlags. ResultSuccess when the point belongs to the module.
    virtual int32_t onMotion(int32_t flags, GuiPoint point) = 0;
    // Host; flags from PointerFlags. ResultSuccess when the point belongs to the module.
    virtual int32_t onRelease(int32_t flags, GuiPoint point) = 0;
};

} // namespace gmpi_gui_api
template <> struct InterfaceIdentity<gmpi_gui_api::IMpGraphics> {
    static constexpr InterfaceId id = guid("6AEF51B9-C92A-472B-A53E-4A476DF85C85");
};

namespace gmpi_gui_api {

// Called on the interface thread.
struct IMpGraphics2 : IMpGraphics {
    // Host. ResultSuccess: the point belongs to the module; ResultFailure: it does not.
    virtual int32_t probeHit(GuiPoint point) = 0;
    // Host; text borrowed (an IString to fill). ResultSuccess when it holds a hint.
    virtual int32_t graphicsHintTextAt(GuiPoint point, gmpi::IString* text) = 0;
};

} // namespace gmpi_gui_api
template <> struct InterfaceIdentity<gmpi_gui_api::IMpGraphics2> {
    static constexpr InterfaceId id = guid("4540C6EE-98AB-4C79-B857-66AE64249125");
};
