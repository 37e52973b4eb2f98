// The test host's file dialog. It records what the module asks of it and
// ends either inside showPicker or later, when the test calls finish().
#pragma once

#include "../framework/ComPtr.h"
#include "../framework/HostApi.h"
#include "HostCall.h"

#include <string>
#include <utility>
#include <vector>

namespace testhost {

class TestHost;

class FilePicker final : public IFilePicker {
public:
    FilePicker() = default;
    FilePicker(const FilePicker&) = delete;
    FilePicker& operator=(const FilePicker&) = delete;

    // Makes the host's createFilePicker hand out this picker (one reference
    // for the module each time).
    void serve(TestHost& host);

    int32_t queryInterface(const InterfaceId& iid, void** out) override;
    int32_t addRef() override { return ++refs; }
    int32_t release() override { return --refs; }
    int32_t addFileType(const char* extension, const char* description) override;
    int32_t presetFileName(const char* name) override;
    int32_t presetFolder(const char* folder) override;
    // Finishes at once when finishInside is set; otherwise keeps the callback
    // (with a reference) until finish().
    int32_t showPicker(gmpi_gui::ICompletionCallback* done) override;
    int32_t pickedPath(gmpi::IString* path) override;

    // Ends a dialog left open: calls onFinished(result) and drops the callback.
    // False when no dialog is open.
    bool finish(int32_t result);
    bool open() const { return bool(pending); }

    // What the dialog answers.
    bool finishInside = true;
    int32_t result = FilePickerChosen;
    std::string path; // UTF-8, given by pickedPath

    // What the module asked.
    std::vector<int32_t> modes; // of each createFilePicker that handed this out
    std::vector<std::pair<std::string, std::string>> fileTypes; // (extension, description)
    std::vector<std::string> presetNames;
    std::vector<std::string> presetFolders;
    int32_t shows = 0;
    int32_t pathReads = 0;

    // Runs at the end of every IFilePicker operation (for showPicker before a
    // dialog that ends inside it ends); may call the module.
    HostCallHook onCall;

    int32_t references() const { return refs; }

private:
    int32_t refs = 0;
    gmpi_sdk::ComPtr<gmpi_gui::ICompletionCallback> pending;
};

} // namespace testhost
