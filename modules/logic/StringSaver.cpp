// StringSaver: writes the text of its input pin to a file, replacing the
// file's contents, on a trigger, when auto-save is switched on, or whenever
// its file name changes while auto-save is on. Each character up to U+00FF
// becomes one byte of that value and LF is written as CR LF, on both builds.
// The file is replaced only by a completely written new one; a save that
// fails leaves the old file as it was and fails the host's call that asked
// for it.
#include "../../framework/MpFactory.h"
#include "../../framework/MpGuiBase2.h"
#include "../../platform/FileSystem.h"

#include <optional>
#include <stdexcept>
#include <string>

namespace {

// The file's bytes for text; none when a character has no byte of its own.
std::optional<std::string> latin1Bytes(const std::u16string& text) {
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 16);
    for (const char16_t c : text) {
        if (c > 0xFF)
            return std::nullopt;
        if (c == u'\n')
            bytes += '\r';
        bytes += char(c);
    }
    return bytes;
}

} // namespace

class StringSaver final : public SeGuiInvisibleBase {
public:
    StringSaver() {
        registerPin(PinIndex::Text, pinText, &StringSaver::onSetText);
        registerPin(PinIndex::Save, pinSave, &StringSaver::onSetSave);
        registerPin(PinIndex::AutoSave, pinAutoSave, &StringSaver::onSetAutoSave);
        registerPin(PinIndex::FileNameA, pinFileNameA, &StringSaver::onSetFileNameA);
        registerPin(PinIndex::FileNameB, pinFileNameB, &StringSaver::onSetFileNameB);
    }

private:
    // Converts the whole text before the file is touched: text that cannot be
    // written leaves an existing file as it was. An empty text is never
    // written, so it neither empties nor creates a file. A save that cannot be
    // done throws, which the base answers as a failure of the host's call.
    void save() const {
        if (fileName.empty() || text.empty())
            return;
        const auto bytes = latin1Bytes(text);
        if (!bytes)
            throw std::range_error("StringSaver: a character above U+00FF");
        const auto path = platform::pathFromText(fileName);
        if (!path)
            throw std::runtime_error("StringSaver: the name names no file");
        if (!platform::replaceFileWith(*path, *bytes))
            throw std::runtime_error("StringSaver: the file was not replaced");
    }

    void onSetText() { text = pinText.get(); }
    void onSetSave() {
        if (pinSave.get())
            save();
    }
    void onSetAutoSave() {
        if (pinAutoSave.get() && !fileName.empty())
            save();
    }
    void onSetFileName(const StringGuiPin& pin) {
        fileName = pin.get();
        if (pinAutoSave.get())
            save();
    }
    void onSetFileNameA() { onSetFileName(pinFileNameA); }
    void onSetFileNameB() { onSetFileName(pinFileNameB); }

    // Pin indices: the module's contract with the host.
    enum class PinIndex : int32_t {
        Text = 0,
        Save = 1,
        AutoSave = 2,
        FileNameA = 3,
        FileNameB = 4,
        Count
    };
    StringGuiPin pinText;
    MpGuiPinBool pinSave;
    MpGuiPinBool pinAutoSave;
    StringGuiPin pinFileNameA;
    StringGuiPin pinFileNameB;
    std::u16string fileName;
    std::u16string text;
};

namespace {
[[maybe_unused]] const bool registered = initialiseModuleFile({
    {Gui2Part, u"StringSaver", &createModule<StringSaver>},
});
} // namespace
