// SplitFName: a file path split into its folder and its file name by the
// rules of Windows paths, on the text alone.
#include "../../framework/MpFactory.h"
#include "../../framework/MpGuiBase2.h"
#include "../../framework/WindowsPath.h"

class SplitFName final : public SeGuiInvisibleBase {
public:
    SplitFName() {
        registerPin(pinPath, &SplitFName::onSetPath);
        registerPin(pinFolder);
        registerPin(pinFileName);
    }

private:
    // The folder goes out first.
    void onSetPath() {
        const std::u16string& path = pinPath.get();
        pinFolder.setAndSend(std::u16string(winpath::parentPath(path)));
        pinFileName.setAndSend(std::u16string(winpath::fileName(path)));
    }

    StringGuiPin pinPath;
    StringGuiPin pinFolder;
    StringGuiPin pinFileName;
};

namespace {
[[maybe_unused]] const bool registered = initialiseModuleFile({
    {Gui2Part, u"SplitFName", &createModule<SplitFName>},
});
} // namespace
