// StringLoader: reads a whole text file into a text pin, on a trigger or, with
// auto-load on, whenever its file name changes. The name goes through the
// host's file-name resolution. Each byte becomes the character of the same
// value (the file is read as Latin-1) and CR LF becomes LF, on both builds.
#include "../../framework/HostFileName.h"
#include "../../framework/MpFactory.h"
#include "../../framework/MpGuiBase2.h"
#include "../../platform/FileSystem.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>

namespace {

// The pin's byte count (2 × length) is an int32.
constexpr size_t maxTextUnits = size_t(INT32_MAX) / 2;
// Larger files are refused before they are read.
constexpr uintmax_t maxFileBytes = uintmax_t(1) << 30;

// Collects file bytes as text: each byte one character, CR LF as LF. A CR at
// the end of one block waits for the first byte of the next.
class Latin1Text {
public:
    void reserve(size_t units) { text.reserve(units); }

    void append(const char* bytes, size_t count) {
        size_t i = 0;
        if (pendingCr && count > 0) {
            pendingCr = false;
            if (bytes[0] != '\n')
                text += u'\r';
        }
        while (i < count) {
            const auto* cr = static_cast<const char*>(std::memchr(bytes + i, '\r', count - i));
            const size_t end = cr ? size_t(cr - bytes) : count;
            widen(bytes + i, end - i);
            if (!cr)
                break;
            if (end + 1 == count)
                pendingCr = true;
            else if (bytes[end + 1] != '\n')
                text += u'\r';
            i = end + 1;
        }
    }

    std::u16string finish() {
        if (pendingCr)
            text += u'\r';
        pendingCr = false;
        return std::move(text);
    }

    size_t size() const { return text.size() + (pendingCr ? 1 : 0); }

private:
    void widen(const char* bytes, size_t count) {
        const size_t start = text.size();
        text.resize(start + count);
        char16_t* out = text.data() + start;
        for (size_t k = 0; k < count; ++k)
            out[k] = char16_t(static_cast<unsigned char>(bytes[k]));
    }

    std::u16string text;
    bool pendingCr = false;
};

// The text of a whole file; none when it cannot be opened or is too large for
// a text pin. A read error ends the text where it occurred.
std::optional<std::u16string> readTextFile(const std::filesystem::path& path) {
    std::error_code error;
    const uintmax_t sizeHint = std::filesystem::file_size(path, error);
    const bool sizeKnown = !error && sizeHint != uintmax_t(-1);
    if (sizeKnown && sizeHint > maxFileBytes)
        return std::nullopt;
    const platform::FileHandle file = platform::openFileForReading(path);
    if (!file)
        return std::nullopt;
    Latin1Text text;
    if (sizeKnown)
        text.reserve(size_t(sizeHint));
    char block[1 << 16];
    uintmax_t total = 0;
    for (;;) {
        const size_t got = std::fread(block, 1, sizeof block, file.get());
        if (got == 0)
            break;
        total += got;
        if (total > maxFileBytes)
            return std::nullopt;
        text.append(block, got);
        if (text.size() > maxTextUnits)
            return std::nullopt;
    }
    return text.finish();
}

} // namespace

class StringLoader final : public SeGuiInvisibleBase {
public:
    StringLoader() {
        registerPin(pinText);
        registerPin(pinLoad, &StringLoader::onSetLoad);
        registerPin(pinAutoLoad);
        registerPin(pinFileNameA, &StringLoader::onSetFileNameA);
        registerPin(pinFileNameB, &StringLoader::onSetFileNameB);
    }

private:
    // The host's full name for name; name itself without such a host. A name
    // with a zero unit cannot name a file and is kept as it is, so that it
    // fails to open rather than standing for its first part.
    std::u16string resolvePath(const std::u16string& name) const {
        if (name.find(u'\0') != std::u16string::npos)
            return name;
        return resolveHostFileName(guiHost.get(), name).value_or(name);
    }

    void load() {
        if (fileName.empty())
            return;
        const auto path = platform::pathFromText(fileName);
        if (!path)
            return;
        if (const auto text = readTextFile(*path))
            pinText.setAndSend(*text);
    }

    void onSetLoad() {
        if (pinLoad.get())
            load();
    }
    void onSetFileName(const StringGuiPin& pin) {
        fileName = resolvePath(pin.get());
        if (pinAutoLoad.get())
            load();
    }
    void onSetFileNameA() { onSetFileName(pinFileNameA); }
    void onSetFileNameB() { onSetFileName(pinFileNameB); }

    StringGuiPin pinText;
    MpGuiPinBool pinLoad;
    MpGuiPinBool pinAutoLoad;
    StringGuiPin pinFileNameA;
    StringGuiPin pinFileNameB;
    std::u16string fileName;
};

namespace {
[[maybe_unused]] const bool registered = initialiseModuleFile({
    {Gui2Part, u"StringLoader", &createModule<StringLoader>},
});
} // namespace
