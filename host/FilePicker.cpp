#include "FilePicker.h"

#include "TestHost.h"

namespace testhost {

void FilePicker::serve(TestHost& host) {
    host.makeFilePicker = [this](int32_t mode) -> IFilePicker* {
        modes.push_back(mode);
        addRef();
        return this;
    };
}

int32_t FilePicker::queryInterface(const InterfaceId& iid, void** out) {
    if (!out)
        return ResultFailure;
    *out = nullptr;
    if (iid == iidOf<gmpi::IMpUnknown>()) {
        *out = static_cast<gmpi::IMpUnknown*>(this);
        addRef();
        return ResultSuccess;
    }
    return ResultUnsupported;
}

int32_t FilePicker::addFileType(const char* extension, const char* description) {
    fileTypes.emplace_back(extension ? extension : "<null>", description ? description : "<null>");
    notify(onCall, HostCall::AddFileType);
    return ResultSuccess;
}

int32_t FilePicker::presetFileName(const char* name) {
    presetNames.emplace_back(name ? name : "<null>");
    notify(onCall, HostCall::PresetFileName);
    return ResultSuccess;
}

int32_t FilePicker::presetFolder(const char* folder) {
    presetFolders.emplace_back(folder ? folder : "<null>");
    notify(onCall, HostCall::PresetFolder);
    return ResultSuccess;
}

int32_t FilePicker::showPicker(gmpi_gui::ICompletionCallback* done) {
    ++shows;
    if (!done)
        return ResultFailure;
    notify(onCall, HostCall::ShowPicker);
    if (finishInside) {
        done->onFinished(result);
        return ResultSuccess;
    }
    pending = gmpi_sdk::ComPtr<gmpi_gui::ICompletionCallback>::share(done);
    return ResultSuccess;
}

int32_t FilePicker::pickedPath(gmpi::IString* out) {
    ++pathReads;
    if (!out)
        return ResultFailure;
    out->assignBytes(path.data(), int32_t(path.size()));
    notify(onCall, HostCall::PickedPath);
    return ResultSuccess;
}

bool FilePicker::finish(int32_t answer) {
    if (!pending)
        return false;
    const auto done = std::move(pending);
    done->onFinished(answer);
    return true;
}

} // namespace testhost
