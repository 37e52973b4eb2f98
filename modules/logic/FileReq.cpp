// FileReq: opens the host's file dialog when its trigger pin falls from true
// to false, preset from its file-name pin and offering the file types of its
// extension list; when a file was chosen it writes the path to the file-name
// pin, shortened to the bare name when the host confirms that the name
// stands for that file, and pulses its done pin.
#include "../../framework/FileDialogWrapper.h"
#include "../../framework/MpFactory.h"
#include "../../framework/MpGuiBase2.h"
#include "../../framework/MpString.h"
#include "../../platform/BoundaryGuard.h"
#include "../../platform/Utf8.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

// The part after the last backslash; without one, after the last "/";
// without either, all of it.
std::string_view afterLastSeparator(std::string_view path) {
    size_t cut = path.rfind('\\');
    if (cut == std::string_view::npos)
        cut = path.rfind('/');
    return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

// The part before the last backslash; without one, before the last "/"; none
// when there is neither.
std::optional<std::string_view> beforeLastSeparator(std::string_view path) {
    size_t cut = path.rfind('\\');
    if (cut == std::string_view::npos)
        cut = path.rfind('/');
    if (cut == std::string_view::npos)
        return std::nullopt;
    return path.substr(0, cut);
}

// The text after the last "." when no separator comes after it; else empty.
std::string_view extensionOf(std::string_view path) {
    const size_t cut = path.find_last_of(".\\/");
    if (cut == std::string_view::npos || path[cut] != '.')
        return {};
    return path.substr(cut + 1);
}

// The resource kind the host files a chosen file under; null for none.
const char* resourceKindOf(std::string_view extension) {
    if (extension == "sf2" || extension == "sfz")
        return "Instrument";
    if (extension == "png" || extension == "bmp" || extension == "jpg")
        return "Image";
    if (extension == "wav")
        return "Audio";
    if (extension == "mid")
        return "MIDI";
    return nullptr;
}

// The completion callback that is part of the module: the host's references
// are counted, but a release never deletes it (the module does, with itself)
// and the module's own reference is never given up.
class EmbeddedCompletion final : public gmpi_gui::MpCompletionHandler {
public:
    using MpCompletionHandler::operator=;
    int32_t addRef() override { return ++count; }
    int32_t release() override { return count > 1 ? --count : count; }

private:
    int32_t count = 1;
};

} // namespace

class FileReq final : public SeGuiInvisibleBase {
public:
    FileReq() {
        registerPin(PinIndex::FileName, pinFileName);
        registerPin(PinIndex::FileTypes, pinFileTypes);
        registerPin(PinIndex::SaveMode, pinSaveMode);
        registerPin(PinIndex::Open, pinOpen, &FileReq::onSetOpenEv);
        registerPin(PinIndex::Done, pinDone);
        completion = [this](int32_t result) { onDialogFinished(result); };
    }

private:
    void onSetOpenEv() {
        const bool now = pinOpen.get();
        const bool falling = openWasTrue && !now;
        // Set before the dialog opens: a dialog that ends at once may lead
        // the host to report this pin again from inside.
        openWasTrue = now;
        if (falling)
            openDialog();
    }

    void openDialog() {
        // One dialog at a time: while one is open, the first goes on.
        if (dialog.picker)
            return;
        {
            const auto dialogHost = gmpi_sdk::queryInterfaceOf<IDialogHost>(guiHost.get());
            if (!dialogHost)
                return;
            dialogHost->createFilePicker(pinSaveMode.get() ? FilePickerSave : FilePickerOpen,
                                         dialog.picker.put());
        }
        if (!dialog.picker)
            return;
        // Held through the calls below: the dialog may end, and give up its
        // own reference, inside any of them.
        const gmpi_sdk::ComPtr<IFilePicker> picker = dialog.picker;
        const bool prepared = guardedCallRecovering(
            [&] {
                dialog.addExtensionList(pinFileTypes.get());
                const std::string name = pinFileName.toUtf8();
                picker->presetFileName(std::string(afterLastSeparator(name)).c_str());
                // A name without a folder presets none: the host's own stays.
                if (const auto folder = beforeLastSeparator(name))
                    picker->presetFolder(std::string(*folder).c_str());
                return true;
            },
            [&] {
                // A file-type list or a name that does not convert: no dialog.
                dialog.picker.reset();
                return false;
            });
        if (!prepared)
            return;
        // Only a shown dialog ends: a completion that comes while this one is
        // being prepared belongs to an earlier dialog.
        dialogShown = true;
        // A dialog the host could not show will not end: give it up now.
        if (picker->showPicker(&completion) != ResultSuccess &&
            dialog.picker.get() == picker.get()) {
            dialog.picker.reset();
            dialogShown = false;
        }
    }

    void onDialogFinished(int32_t result) {
        if (!dialog.picker || !dialogShown)
            return;
        dialogShown = false;
        // Taken out first, so that a dialog opened from inside a send below is
        // a new one; this one is released when the step ends.
        const gmpi_sdk::ComPtr<IFilePicker> picker = std::move(dialog.picker);
        if (result != FilePickerChosen)
            return;
        gmpi_sdk::MpString chosen;
        picker->pickedPath(&chosen);
        std::string path = chosen.str();
        if (const char* kind = resourceKindOf(extensionOf(path)); kind && guiHost) {
            const std::string shortName(afterLastSeparator(path));
            gmpi_sdk::MpString meant;
            guiHost->enrolResourceName(shortName.c_str(), kind, &meant);
            if (meant.str() == path)
                path = shortName;
        }
        std::u16string text;
        try {
            text = platform::utf8ToUcs2(path);
        } catch (const std::range_error&) {
            return; // a path that is no text for the pin: nothing changes
        }
        pinFileName.setAndSend(std::move(text));
        boolPulse(pinDone);
    }

    bool openWasTrue = false;
    bool dialogShown = false; // the picker held has been shown and has not ended
    FileDialogWrapper dialog;
    EmbeddedCompletion completion;

    // Pin indices: the module's contract with the host.
    enum class PinIndex : int32_t {
        FileName = 0,
        FileTypes = 1,
        SaveMode = 2,
        Open = 3,
        Done = 4,
        Count
    };
    StringGuiPin pinFileName;
    StringGuiPin pinFileTypes;
    MpGuiPinBool pinSaveMode;
    MpGuiPinBool pinOpen;
    MpGuiPinBool pinDone;
};

namespace {
[[maybe_unused]] const bool registered = initialiseModuleFile({
    {Gui2Part, u"FileReq", &createModule<FileReq>},
});
} // namespace
