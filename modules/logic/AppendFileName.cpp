// AppendFName: a folder and a file name joined into one path by the rules of
// Windows paths, on the text alone.
#include "../../framework/MpFactory.h"
#include "../../framework/MpGuiBase2.h"
#include "../../framework/WindowsPath.h"

class AppendFName final : public SeGuiInvisibleBase {
public:
    AppendFName() {
        registerPin(PinIndex::Folder, pinFolder, &AppendFName::onSetPart);
        registerPin(PinIndex::FileName, pinFileName, &AppendFName::onSetPart);
        registerPin(PinIndex::Result, pinResult);
    }

private:
    // Recomputed from both inputs on a change of either.
    void onSetPart() {
        pinResult.setAndSend(winpath::appendPath(pinFolder.get(), pinFileName.get()));
    }

    // Pin indices: the module's contract with the host.
    enum class PinIndex : int32_t { Folder = 0, FileName = 1, Result = 2, Count };
    StringGuiPin pinFolder;
    StringGuiPin pinFileName;
    StringGuiPin pinResult;
};

namespace {
[[maybe_unused]] const bool registered = initialiseModuleFile({
    {Gui2Part, u"AppendFName", &createModule<AppendFName>},
});
} // namespace
