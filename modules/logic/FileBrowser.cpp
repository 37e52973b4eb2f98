// FileBrowser: lists one folder as comma-separated text and navigates: into a
// listed sub-folder by its position, up to the parent, or to a folder named on
// a pin. Choosing a listed file puts its full path on pin 7; naming a listed
// file's full path there selects its position. Every file-system query uses
// the error-code forms: a failure never leaves the module.
#include "../../framework/HostFileName.h"
#include "../../framework/MpFactory.h"
#include "../../framework/MpGuiBase2.h"
#include "../../framework/TimerService.h"
#include "../../platform/FileSystem.h"
#include "FolderListing.h"

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

enum class Found { Nothing, Folder, Other };

// What is at path, links followed; a status that cannot be read counts as
// nothing there.
Found whatIsAt(const fs::path& path) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (error || !fs::exists(status))
        return Found::Nothing;
    return fs::is_directory(status) ? Found::Folder : Found::Other;
}

} // namespace

class FileBrowser final : public SeGuiInvisibleBase, public TimerClient {
public:
    FileBrowser() {
        registerPin(PinIndex::Folder, pinFolder, &FileBrowser::onSetFolder);
        registerPin(PinIndex::Extension, pinExtension, &FileBrowser::onSetExtension);
        registerPin(PinIndex::HideExtensions, pinHideExtensions);
        registerPin(PinIndex::Refresh, pinRefresh, &FileBrowser::onSetRefresh);
        registerPin(PinIndex::Up, pinUp, &FileBrowser::onSetUp);
        registerPin(PinIndex::Index, pinIndex, &FileBrowser::onSetIndex);
        registerPin(PinIndex::List, pinList);
        registerPin(PinIndex::SelectedFile, pinSelectedFile, &FileBrowser::onSetSelectedFile);
        TimerClient::setTickPeriod(10);
    }

    bool onTick() override {
        if (pinIndex.get() != -1)
            pinIndex.setAndSend(-1);
        return false;
    }

private:
    // The host's default folder; empty without ILegacyGuiHost.
    fs::path defaultFolder() const {
        const auto text = resolveHostFileName(guiHost.get(), u"");
        return text ? platform::pathFromText(*text).value_or(fs::path()) : fs::path();
    }

    void scanFolder() {
        FolderListing::Rules rules;
        rules.filterFiles = !extensionFilter.empty();
        if (const auto extension = platform::pathFromText(extensionFilter))
            rules.extension = extension->native();
        rules.hideExtensions = pinHideExtensions.get();
        rules.selectedPath = pinSelectedFile.get();
        FolderListing listing(std::move(rules));
        // Something there that is not a folder lists as empty.
        if (whatIsAt(folder) == Found::Folder) {
            std::error_code error;
            listing.addAll(fs::directory_iterator(
                folder, fs::directory_options::skip_permission_denied, error));
        }
        entries = std::move(listing.entries);
        const uint64_t scan = ++scanCount;
        if (listing.selected >= 0)
            pinIndex.setAndSend(listing.selected);
        // The host may have listed another folder from inside that send: its
        // list is the one that goes with the entries now.
        if (scan == scanCount)
            pinList.setAndSend(listing.listText);
    }

    void showNothing() {
        entries.clear();
        ++scanCount;
        pinList.setAndSend(u"");
    }

    // The host may name another folder from inside any host call below (the
    // default folder's resolution, each send): that change stands, and this
    // one stops where it finds it.
    void onSetFolder() {
        const uint64_t change = ++folderChanges;
        const auto superseded = [&] { return change != folderChanges; };
        const std::u16string text = pinFolder.get();
        fs::path named =
            text.empty() ? defaultFolder() : platform::pathFromText(text).value_or(fs::path());
        if (superseded())
            return;
        Found found = whatIsAt(named);
        if (found == Found::Nothing) {
            // A name relative to the default folder, or the default folder itself.
            const auto name = platform::pathFromText(text);
            named = name ? defaultFolder() / *name : fs::path();
            if (superseded())
                return;
            found = whatIsAt(named);
        }
        folder = std::move(named);
        if (found == Found::Nothing) {
            showNothing();
            return;
        }
        if (found == Found::Other) {
            // A file: it becomes the selected file, and its folder is listed.
            pinSelectedFile.setAndSend(platform::textFromPath(folder));
            if (superseded())
                return;
            folder = folder.parent_path();
            pinFolder.setAndSend(platform::textFromPath(folder));
            if (superseded())
                return;
        }
        pinIndex.setAndSend(-1);
        if (!superseded())
            scanFolder();
    }

    void onSetExtension() {
        const std::u16string& text = pinExtension.get();
        extensionFilter = text.empty() ? std::u16string() : u"." + text;
    }

    void onSetRefresh() {
        if (pinRefresh.get())
            scanFolder();
    }

    void onSetUp() {
        if (!pinUp.get())
            return;
        const uint64_t change = ++folderChanges;
        folder = folder.parent_path();
        pinFolder.setAndSend(platform::textFromPath(folder));
        if (change == folderChanges)
            pinIndex.setAndSend(-1);
        if (change == folderChanges)
            scanFolder();
    }

    void onSetIndex() {
        const int32_t i = pinIndex.get();
        if (i < 0 || size_t(i) >= entries.size())
            return;
        const ListedEntry listed = entries[size_t(i)];
        if (listed.folder) {
            const uint64_t change = ++folderChanges;
            folder = listed.path;
            pinFolder.setAndSend(platform::textFromPath(folder));
            if (change == folderChanges)
                scanFolder();
        } else {
            pinSelectedFile.setAndSend(platform::textOf(listed.path));
        }
    }

    void onSetSelectedFile() {
        const std::u16string selected = pinSelectedFile.get();
        if (selected.empty())
            return;
        // Sends may change the entries: the bound is read on every step.
        for (size_t i = 0; i < entries.size(); ++i)
            if (platform::textOf(entries[i].path) == selected && int32_t(i) != pinIndex.get())
                pinIndex.setAndSend(int32_t(i));
    }

    // Pin indices: the module's contract with the host.
    enum class PinIndex : int32_t {
        Folder = 0,
        Extension = 1,
        HideExtensions = 2,
        Refresh = 3,
        Up = 4,
        Index = 5,
        List = 6,
        SelectedFile = 7,
        Count
    };
    StringGuiPin pinFolder;
    StringGuiPin pinExtension;
    MpGuiPinBool pinHideExtensions;
    MpGuiPinBool pinRefresh;
    MpGuiPinBool pinUp;
    MpGuiPinInt pinIndex;
    StringGuiPin pinList;
    StringGuiPin pinSelectedFile;

    fs::path folder;
    // The listed entries in list order: position i of the list is element i.
    std::vector<ListedEntry> entries;
    std::u16string extensionFilter;
    uint64_t scanCount = 0;     // listings made, to notice one made during a send
    uint64_t folderChanges = 0; // moves to another folder begun, likewise
};

namespace {
[[maybe_unused]] const bool registered = initialiseModuleFile({
    {Gui2Part, u"FileBrowser", &createModule<FileBrowser>},
});
} // namespace
