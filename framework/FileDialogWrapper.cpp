#include "FileDialogWrapper.h"

#include "../platform/BoundaryGuard.h"
#include "../platform/Utf8.h"
#include "EnumListReader.h"
#include "ReleaseReference.h"

namespace gmpi_gui {

MpCompletionHandler& MpCompletionHandler::operator=(const MpCompletionHandler& other) {
    if (this != &other)
        onDone = other.onDone;
    return *this;
}

MpCompletionHandler& MpCompletionHandler::operator=(Function function) {
    onDone = std::move(function);
    return *this;
}

int32_t MpCompletionHandler::queryInterface(const InterfaceId& iid, void** out) {
    if (!out)
        return ResultFailure;
    *out = nullptr;
    if (iid == iidOf<ICompletionCallback>() || iid == iidOf<gmpi::IMpUnknown>()) {
        *out = static_cast<ICompletionCallback*>(this);
        addRef();
        return ResultSuccess;
    }
    return ResultUnsupported;
}

int32_t MpCompletionHandler::release() {
    return releaseReference(this, refCount);
}

void MpCompletionHandler::onFinished(int32_t result) {
    // The host called us; nothing goes back to it.
    guardedCall([&] {
        if (onDone)
            onDone(result);
    });
}

} // namespace gmpi_gui

void FileDialogWrapper::addExtensionList(const std::u16string& list) {
    // Held for the whole list: the host may end the dialog from inside a call.
    const gmpi_sdk::ComPtr<IFilePicker> dialog = picker;
    if (!dialog)
        return;
    EnumListReader reader(list);
    if (reader.count() == 0) {
        dialog->addFileType("*", "");
        return;
    }
    for (reader.first(); reader.item().index != -1 && reader.item().index < maxOfferedListItems;
         reader.next()) {
        const std::string extension = platform::ucs2ToUtf8(reader.item().text);
        dialog->addFileType(extension.c_str(), "");
    }
}
