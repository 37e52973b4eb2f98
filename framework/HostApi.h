// The host services that modules reach through queryInterface on the host
// object they are attached to.
#pragma once

#include "DrawingApi.h"
#include "MpTypes.h"

namespace gmpi_gui {

// Called by the host once when a file dialog ends; 0 means a file was chosen.
struct ICompletionCallback : gmpi::IMpUnknown {
    virtual void onFinished(int32_t result) = 0;
};

} // namespace gmpi_gui

struct IGuiHost : gmpi::IMpUnknown {
    virtual int32_t acceptPinValue(int32_t pinId, int32_t size, const void* data,
                                   int32_t voice) = 0;
    // uri receives the resolved URI (UTF-8); ResultSuccess when found.
    virtual int32_t lookUpResource(const char* name, const char* kind, gmpi::IString* uri) = 0;
    virtual int32_t openUriStream(const char* uri, IUriStream** out) = 0;
    virtual int32_t enrolResourceName(const char* shortName, const char* kind,
                                      gmpi::IString* uri) = 0;
};

struct ILegacyGuiHost : gmpi::IMpUnknown {
    virtual int32_t acceptPinValue(int32_t pinId, int32_t size, const void* data,
                                   int32_t voice) = 0;
    // Writes at most maxChars units including the terminator; an empty name
    // gives the default folder.
    virtual int32_t resolveFileName(const char16_t* name, int32_t maxChars, char16_t* fullPath) = 0;
    // All pins of the instance, host-added ones too.
    virtual int32_t countPins(int32_t* count) = 0;
};

struct IGraphicsHost : gmpi::IMpUnknown {
    virtual int32_t fetchDrawingFactory(IDrawingFactory** out) = 0;
    virtual int32_t requestRepaint(const GuiRect* area) = 0; // null: the whole module
    virtual int32_t requestRemeasure() = 0;
    virtual int32_t takePointerCapture() = 0;
    virtual int32_t queryPointerCapture(int32_t* captured) = 0; // non-zero: held by this module
    virtual int32_t dropPointerCapture() = 0;
};

// A host file dialog; released by its user after use. Texts are UTF-8.
struct IFilePicker : gmpi::IMpUnknown {
    virtual int32_t addFileType(const char* extension, const char* description) = 0;
    virtual int32_t presetFileName(const char* name) = 0;
    virtual int32_t presetFolder(const char* folder) = 0;
    virtual int32_t showPicker(gmpi_gui::ICompletionCallback* done) = 0;
    virtual int32_t pickedPath(gmpi::IString* path) = 0;
};

enum FilePickerMode : int32_t { FilePickerOpen = 0, FilePickerSave = 1 };

struct IDialogHost : gmpi::IMpUnknown {
    virtual int32_t createFilePicker(int32_t mode, IFilePicker** out) = 0;
};

struct IMenuItemSink : gmpi::IMpUnknown {
    virtual int32_t addMenuItem(const char* text, int32_t id, int32_t flags) = 0;
};

struct IAudioHost : gmpi::IMpUnknown {
    virtual int32_t deliverPinBytes(int32_t framePosition, int32_t pinId, int32_t size,
                                    const void* bytes) = 0;
    virtual int32_t announceStreaming(int32_t framePosition, int32_t pinId, bool streaming) = 0;
    virtual int32_t askToSleep() = 0;
    virtual int32_t fetchFramesBeforeSleep(int32_t* frames) = 0;
};

// Asked for and kept by the audio side, never called.
struct IAudioHostExtension : gmpi::IMpUnknown {};

// Required by the window bridge of the older GUI kind; it calls nothing on them.
struct IWindowHost : gmpi::IMpUnknown {};
struct IWindowHost2 : gmpi::IMpUnknown {};

// The compositor of composited older-kind modules.
struct ICompositorHost : gmpi::IMpUnknown {
    virtual int32_t requestRepaint() = 0;
    virtual int32_t takePointerCapture() = 0;
    virtual int32_t queryPointerCapture(int32_t* captured) = 0; // non-zero: held by this module
    virtual int32_t dropPointerCapture() = 0;
};

template <> struct InterfaceIdentity<gmpi_gui::ICompletionCallback> {
    static constexpr InterfaceId id = guid("709582BA-AF65-43E6-A24C-AB05F8D6980B");
};
template <> struct InterfaceIdentity<IGuiHost> {
    static constexpr InterfaceId id = guid("DE009D92-E281-4F92-9996-200F49690028");
};
template <> struct InterfaceIdentity<ILegacyGuiHost> {
    static constexpr InterfaceId id = guid("174F9DDC-1850-40DB-BAF0-E0B41D079645");
};
template <> struct InterfaceIdentity<IGraphicsHost> {
    static constexpr InterfaceId id = guid("E394AF51-C4D0-4885-84F1-963CA8182964");
};
template <> struct InterfaceIdentity<IDialogHost> {
    static constexpr InterfaceId id = guid("E4717EA4-CA6D-4FAE-9D35-BA95EBAAEA2B");
};
template <> struct InterfaceIdentity<IMenuItemSink> {
    static constexpr InterfaceId id = guid("BC152E7E-7FB8-4921-84EE-BED7CFD9A897");
};
template <> struct InterfaceIdentity<IAudioHost> {
    static constexpr InterfaceId id = guid("4F1B532F-3C46-4927-A498-614867425BE7");
};
template <> struct InterfaceIdentity<IAudioHostExtension> {
    static constexpr InterfaceId id = guid("87CCD426-71D7-414E-A9A6-5ADCA81C7420");
};
template <> struct InterfaceIdentity<IWindowHost> {
    static constexpr InterfaceId id = guid("E52FAA41-42C3-40A6-A11A-E69DB335CE50");
};
template <> struct InterfaceIdentity<IWindowHost2> {
    static constexpr InterfaceId id = guid("B1EFF8C9-9ADC-450B-BCD6-D359CFDC8275");
};
template <> struct InterfaceIdentity<ICompositorHost> {
    static constexpr InterfaceId id = guid("2A3F4D28-52C5-4A31-BF85-B79853265F65");
};
