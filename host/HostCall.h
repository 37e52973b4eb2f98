// The operations a module calls on the test host's objects, named so that a
// test can act from inside any of them: the host may call back into the module
// there, as a real host may.
#pragma once

#include <functional>

namespace testhost {

enum class HostCall {
    // IGuiHost and ILegacyGuiHost
    AcceptPinValue,
    LookUpResource,
    OpenUriStream,
    EnrolResourceName,
    ResolveFileName,
    CountPins,
    // IUriStream
    ReadBytes,
    StreamSize,
    // IDialogHost and IFilePicker
    CreateFilePicker,
    AddFileType,
    PresetFileName,
    PresetFolder,
    ShowPicker,
    PickedPath,
    // IGraphicsHost
    FetchDrawingFactory,
    RequestRepaint,
    RequestRemeasure,
    TakePointerCapture,
    QueryPointerCapture,
    DropPointerCapture,
    // IDrawingFactory and IFontFamilyList
    MakeTextFormat,
    LoadImage,
    FamilyName,
    // IMenuItemSink
    AddMenuItem,
    // IDrawingContext and IOffscreenTarget: every drawing operation
    Draw,
};

const char* hostCallName(HostCall call);

// Runs at the end of a host operation, after it did its work and before it
// returns to the module.
using HostCallHook = std::function<void(HostCall)>;

inline void notify(const HostCallHook& hook, HostCall call) {
    if (hook)
        hook(call);
}

} // namespace testhost
