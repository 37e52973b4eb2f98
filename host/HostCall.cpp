#include "HostCall.h"

namespace testhost {

const char* hostCallName(HostCall call) {
    switch (call) {
    case HostCall::AcceptPinValue:
        return "acceptPinValue";
    case HostCall::LookUpResource:
        return "lookUpResource";
    case HostCall::OpenUriStream:
        return "openUriStream";
    case HostCall::EnrolResourceName:
        return "enrolResourceName";
    case HostCall::ResolveFileName:
        return "resolveFileName";
    case HostCall::CountPins:
        return "countPins";
    case HostCall::ReadBytes:
        return "readBytes";
    case HostCall::StreamSize:
        return "byteSize";
    case HostCall::CreateFilePicker:
        return "createFilePicker";
    case HostCall::AddFileType:
        return "addFileType";
    case HostCall::PresetFileName:
        return "presetFileName";
    case HostCall::PresetFolder:
        return "presetFolder";
    case HostCall::ShowPicker:
        return "showPicker";
    case HostCall::PickedPath:
        return "pickedPath";
    case HostCall::FetchDrawingFactory:
        return "fetchDrawingFactory";
    case HostCall::RequestRepaint:
        return "requestRepaint";
    case HostCall::RequestRemeasure:
        return "requestRemeasure";
    case HostCall::TakePointerCapture:
        return "takePointerCapture";
    case HostCall::QueryPointerCapture:
        return "queryPointerCapture";
    case HostCall::DropPointerCapture:
        return "dropPointerCapture";
    case HostCall::MakeTextFormat:
        return "makeTextFormat";
    case HostCall::LoadImage:
        return "loadImageUri";
    case HostCall::FamilyName:
        return "familyNameAt";
    case HostCall::AddMenuItem:
        return "addMenuItem";
    case HostCall::Draw:
        return "drawing";
    }
    return "?";
}

} // namespace testhost
