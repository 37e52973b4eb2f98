// The host services that modules reach through queryInterface on the host
// object they are attached to. Each slot's comment is its contract, in the
// words MpTypes.h explains; where the library does not read an answer, the
// line says so.
#pragma once

#include "DrawingApi.h"
#include "MpTypes.h"

// What ICompletionCallback::onFinished reports; any other value: nothing was chosen.
enum FilePickerOutcome : int32_t { FilePickerChosen = 0 };

namespace gmpi_gui {

// What a module hands the host to hear that a file dialog has ended. Called on
// the interface thread.
struct ICompletionCallback : gmpi::IMpUnknown {
    // Host, once, when the dialog ends; result FilePickerChosen or another value. Answers nothing.
    virtual void onFinished(int32_t result) = 0;
};

} // namespace gmpi_gui
template <> struct InterfaceIdentity<gmpi_gui::ICompletionCallback> {
    static constexpr InterfaceId id = guid("709582BA-AF65-43E6-A24C-AB05F8D6980B");
};

// The host of a second-generation GUI module. Called on the interface thread.
struct IGuiHost : gmpi::IMpUnknown {
    // Module; data borrowed (size bytes). The host's answer, which the sender passes back.
    virtual int32_t acceptPinValue(int32_t pinId, int32_t size, const void* data,
                                   int32_t voice) = 0;
    // Module; name, kind borrowed; fills uri (UTF-8). ResultSuccess when found.
    virtual int32_t lookUpResource(const char* name, const char* kind, gmpi::IString* uri) = 0;
    // Module; uri borrowed; *out +1, null when it cannot be opened. Answer unread.
    virtual int32_t openUriStream(const char* uri, IUriStream** out) = 0;
    // Module; shortName, kind borrowed; fills uri with the full path meant. Answer unread.
    virtual int32_t enrolResourceName(const char* shortName, const char* kind,
                                      gmpi::IString* uri) = 0;
};
template <> struct InterfaceIdentity<IGuiHost> {
    static constexpr InterfaceId id = guid("DE009D92-E281-4F92-9996-200F49690028");
};

// The host of a first-generation GUI module. Called on the interface thread.
struct ILegacyGuiHost : gmpi::IMpUnknown {
    // Module; data borrowed (size bytes). The host's answer, which the sender passes back.
    virtual int32_t acceptPinValue(int32_t pinId, int32_t size, const void* data,
                                   int32_t voice) = 0;
    // Module; name borrowed ("": the default folder); fills fullPath, maxChars units with the 0.
    virtual int32_t resolveFileName(const char16_t* name, int32_t maxChars, char16_t* fullPath) = 0;
    // Module; fills count with all pins of the instance, host-added ones too. Answer unread.
    virtual int32_t countPins(int32_t* count) = 0;
};
template <> struct InterfaceIdentity<ILegacyGuiHost> {
    static constexpr InterfaceId id = guid("174F9DDC-1850-40DB-BAF0-E0B41D079645");
};

// The panel services of a widget's host. Called on the interface thread.
struct IGraphicsHost : gmpi::IMpUnknown {
    // Module; *out +1 (null when there is none). Answer unread.
    virtual int32_t fetchDrawingFactory(IDrawingFactory** out) = 0;
    // Module; area borrowed, null for the whole module. Answer unread.
    virtual int32_t requestRepaint(const GuiRect* area) = 0;
    // Module; the host measures and places the module again. Answer unread.
    virtual int32_t requestRemeasure() = 0;
    // Module; pointer events come to this module until it drops the capture. Answer unread.
    virtual int32_t takePointerCapture() = 0;
    // Module; fills captured: non-zero when this module holds the capture. Answer unread.
    virtual int32_t queryPointerCapture(int32_t* captured) = 0;
    // Module; ends this module's capture. Answer unread.
    virtual int32_t dropPointerCapture() = 0;
};
template <> struct InterfaceIdentity<IGraphicsHost> {
    static constexpr InterfaceId id = guid("E394AF51-C4D0-4885-84F1-963CA8182964");
};

// A host file dialog, from IDialogHost::createFilePicker; released by its user after use.
// Called on the interface thread.
struct IFilePicker : gmpi::IMpUnknown {
    // Module; extension, description borrowed (UTF-8). Answer unread.
    virtual int32_t addFileType(const char* extension, const char* description) = 0;
    // Module; name borrowed (UTF-8). Answer unread.
    virtual int32_t presetFileName(const char* name) = 0;
    // Module; folder borrowed (UTF-8). Answer unread.
    virtual int32_t presetFolder(const char* folder) = 0;
    // Module; done referenced: the host keeps it until onFinished. ResultSuccess when shown.
    virtual int32_t showPicker(gmpi_gui::ICompletionCallback* done) = 0;
    // Module, after FilePickerChosen; fills path with the chosen path (UTF-8). Answer unread.
    virtual int32_t pickedPath(gmpi::IString* path) = 0;
};

enum FilePickerMode : int32_t { FilePickerOpen = 0, FilePickerSave = 1 };

// The host's dialogs. Called on the interface thread.
struct IDialogHost : gmpi::IMpUnknown {
    // Module; mode a FilePickerMode; *out +1, null when the host makes none. Answer unread.
    virtual int32_t createFilePicker(int32_t mode, IFilePicker** out) = 0;
};
template <> struct InterfaceIdentity<IDialogHost> {
    static constexpr InterfaceId id = guid("E4717EA4-CA6D-4FAE-9D35-BA95EBAAEA2B");
};

// Where a module puts its context-menu items. Called on the interface thread.
struct IMenuItemSink : gmpi::IMpUnknown {
    // Module; text borrowed (UTF-8); the id comes back in onContextMenuPick. Answer unread.
    virtual int32_t addMenuItem(const char* text, int32_t id, int32_t flags) = 0;
};
template <> struct InterfaceIdentity<IMenuItemSink> {
    static constexpr InterfaceId id = guid("BC152E7E-7FB8-4921-84EE-BED7CFD9A897");
};

// The host of an audio-side module. Called on the audio thread.
struct IAudioHost : gmpi::IMpUnknown {
    // Module; bytes borrowed (size bytes), at framePosition in the block. Answer unread.
    virtual int32_t deliverPinBytes(int32_t framePosition, int32_t pinId, int32_t size,
                                    const void* bytes) = 0;
    // Module; the pin streams, or stops streaming, from framePosition on. Answer unread.
    virtual int32_t announceStreaming(int32_t framePosition, int32_t pinId, bool streaming) = 0;
    // Module, at a block's end; the host may stop running the module. Answer unread.
    virtual int32_t askToSleep() = 0;
    // Module; fills frames: how many the module computes before it asks to sleep. Answer unread.
    virtual int32_t fetchFramesBeforeSleep(int32_t* frames) = 0;
};
template <> struct InterfaceIdentity<IAudioHost> {
    static constexpr InterfaceId id = guid("4F1B532F-3C46-4927-A498-614867425BE7");
};

// Asked for in attachHost and kept by the audio side; never called.
struct IAudioHostExtension : gmpi::IMpUnknown {};
template <> struct InterfaceIdentity<IAudioHostExtension> {
    static constexpr InterfaceId id = guid("87CCD426-71D7-414E-A9A6-5ADCA81C7420");
};

// Required by the window bridge of the older GUI kind, which asks for them in
// attachHost and calls nothing on them.
struct IWindowHost : gmpi::IMpUnknown {};
template <> struct InterfaceIdentity<IWindowHost> {
    static constexpr InterfaceId id = guid("E52FAA41-42C3-40A6-A11A-E69DB335CE50");
};

// As IWindowHost.
struct IWindowHost2 : gmpi::IMpUnknown {};
template <> struct InterfaceIdentity<IWindowHost2> {
    static constexpr InterfaceId id = guid("B1EFF8C9-9ADC-450B-BCD6-D359CFDC8275");
};

// The compositor of composited older-kind modules. Called on the interface thread.
struct ICompositorHost : gmpi::IMpUnknown {
    // Module; repaint the whole module. Answer unread.
    virtual int32_t requestRepaint() = 0;
    // Module; pointer events come to this module until it drops the capture. Answer unread.
    virtual int32_t takePointerCapture() = 0;
    // Module; fills captured: non-zero when this module holds the capture. Answer unread.
    virtual int32_t queryPointerCapture(int32_t* captured) = 0;
    // Module; ends this module's capture. Answer unread.
    virtual int32_t dropPointerCapture() = 0;
};
template <> struct InterfaceIdentity<ICompositorHost> {
    static constexpr InterfaceId id = guid("2A3F4D28-52C5-4A31-BF85-B79853265F65");
};
