// AppendFName: a folder and a file name joined into one path by the rules of
// Windows paths, on the text alone.
#include "../../framework/MpFactory.h"
#include "../../framework/MpGuiBase2.h"
#include "../../framework/WindowsPath.h"

class AppendFName final : public SeGuiInvisibleBase {
public:
    AppendFName() {
        registerPin(pinFolder, &AppendFName::onSetPart);
        registerPin(pinFileName, &AppendFName::onSetPart);
        registerPin(pinResult);
    }

private:
    // Recomputed from both inputs on a change of either.
    void onSetPart() {
        pinResult.setAndSend(winpath::appendPath(pinFolder.get(), pinFileName.get()));
    }

    StringGuiPin pinFolder;
    StringGuiPin pinFileName;
    StringGuiPin pinResult;
};

namespace {
[[maybe_unused]] const bool registered = initialiseModuleFile({
    {Gui2Part, u"AppendFName", &createModule<AppendFName>},
});
} // namespace
