// SplitFName: a file path split into its folder and its file name by the
// rules of Windows paths, on the text alone.
#include "../../framework/MpFactory.h"
#include "../../framework/MpGuiBase2.h"
#include "../../framework/WindowsPath.h"

class SplitFName final : public SeGuiInvisibleBase {
public:
    SplitFName() {
        registerPin(PinIndex::Path, pinPath, &SplitFName::onSetPath);
        registerPin(PinIndex::Folder, pinFolder);
        registerPin(PinIndex::FileName, pinFileName);
    }

private:
    // The folder goes out first.
    void onSetPath() {
        const std::u16string& path = pinPath.get();
        pinFolder.setAndSend(std::u16string(winpath::parentPath(path)));
        pinFileName.setAndSend(std::u16string(winpath::fileName(path)));
    }

    // Pin indices: the module's contract with the host.
    enum class PinIndex : int32_t { Path = 0, Folder = 1, FileName = 2, Count };
    StringGuiPin pinPath;
    StringGuiPin pinFolder;
    StringGuiPin pinFileName;
};

namespace {
[[maybe_unused]] const bool registered = initialiseModuleFile({
    {Gui2Part, u"SplitFName", &createModule<SplitFName>},
});
} // namespace
