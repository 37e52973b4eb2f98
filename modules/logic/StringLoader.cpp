// StringLoader: reads a whole text file into a text pin, on a trigger or, with
// auto-load on, whenever its file name changes. The name goes through the
// host's file-name resolution. Each byte becomes the character of the same
// value (the file is read as Latin-1) and CR LF becomes LF, on both builds.
#include "../../framework/HostFileName.h"
#include "../../framework/MpFactory.h"
#include "../../framework/MpGuiBase2.h"
#include "../../platform/FileSystem.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// The pin's byte count (2 × length) is an int32.
constexpr size_t maxTextUnits = size_t(INT32_MAX) / 2;
// Larger files are refused before they are read.
constexpr uintmax_t maxFileBytes = uintmax_t(1) << 30;

// Writes the characters of the bytes [p, end) from out on and returns the end
// of what it wrote: each byte the character of its value, a CR followed by LF
// dropped. A CR as the last byte is not written but left pending. Writes at
// most as many units as there are bytes.
char16_t* decodeBlock(const char* p, const char* const end, char16_t* out, bool& pendingCr) {
#if defined(__SSE2__)
    // Sixteen bytes at a time: all sixteen are widened and stored, and those
    // before a CR are kept; the CR is dealt with, and the next sixteen start
    // after it.
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i zero = _mm_setzero_si128();
    while (end - p >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(bytes, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(bytes, zero));
        const auto crs = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, cr)));
        if (crs == 0) {
            p += 16;
            out += 16;
            continue;
        }
        const int before = std::countr_zero(crs);
        p += before + 1; // past the CR
        out += before;
        if (p == end) {
            pendingCr = true;
            return out;
        }
        if (*p != '\n')
            *out++ = u'\r';
    }
#endif
    for (; p < end; ++p) {
        if (*p == '\r') {
            if (p + 1 == end) {
                pendingCr = true;
                break;
            }
            if (p[1] == '\n')
                continue;
        }
        *out++ = char16_t(static_cast<unsigned char>(*p));
    }
    return out;
}

// Collects a file's text block by block.
class Latin1Decoder {
public:
    // Room for units characters in all.
    void reserve(size_t units) { text.reserve(units); }

    // Decodes a piece at a time straight into the text. A string gets room
    // only by writing it, so each piece's room is zeroed just before it is
    // decoded into: 32 KiB are zeroed at full speed and are still in the
    // cache when they are overwritten, and no decoded piece is copied.
    void append(const char* bytes, size_t count) {
        constexpr size_t piece = 32768;
        for (size_t done = 0; done < count; done += piece) {
            const size_t n = std::min(piece, count - done);
            const char* const from = bytes + done;
            const size_t used = text.size();
            text.resize(used + n + 1); // every byte and a CR held over
            char16_t* const start = text.data() + used;
            char16_t* out = start;
            if (pendingCr) {
                pendingCr = false;
                if (*from != '\n')
                    *out++ = u'\r';
            }
            out = decodeBlock(from, from + n, out, pendingCr);
            text.resize(used + size_t(out - start));
        }
    }

    size_t size() const { return text.size() + (pendingCr ? 1 : 0); }

    std::u16string finish() {
        if (pendingCr)
            text += u'\r';
        pendingCr = false;
        return std::move(text);
    }

private:
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
    Latin1Decoder text;
    if (sizeKnown)
        text.reserve(size_t(sizeHint) + 1);
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
        registerPin(PinIndex::Text, pinText);
        registerPin(PinIndex::Load, pinLoad, &StringLoader::onSetLoad);
        registerPin(PinIndex::AutoLoad, pinAutoLoad);
        registerPin(PinIndex::FileNameA, pinFileNameA, &StringLoader::onSetFileNameA);
        registerPin(PinIndex::FileNameB, pinFileNameB, &StringLoader::onSetFileNameB);
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
        if (auto text = readTextFile(*path))
            pinText.setAndSend(std::move(*text));
    }

    void onSetLoad() {
        if (pinLoad.get())
            load();
    }
    void onSetFileName(const StringGuiPin& pin) {
        // The name is copied and the change numbered: a name the host sets
        // from inside the resolution stands over this one.
        const uint64_t change = ++nameChanges;
        const std::u16string name = pin.get();
        std::u16string resolved = resolvePath(name);
        if (change != nameChanges)
            return;
        fileName = std::move(resolved);
        if (pinAutoLoad.get())
            load();
    }
    void onSetFileNameA() { onSetFileName(pinFileNameA); }
    void onSetFileNameB() { onSetFileName(pinFileNameB); }

    // Pin indices: the module's contract with the host.
    enum class PinIndex : int32_t {
        Text = 0,
        Load = 1,
        AutoLoad = 2,
        FileNameA = 3,
        FileNameB = 4,
        Count
    };
    StringGuiPin pinText;
    MpGuiPinBool pinLoad;
    MpGuiPinBool pinAutoLoad;
    StringGuiPin pinFileNameA;
    StringGuiPin pinFileNameB;
    std::u16string fileName;
    uint64_t nameChanges = 0; // name pin reports, to notice one made during a resolution
};

namespace {
[[maybe_unused]] const bool registered = initialiseModuleFile({
    {Gui2Part, u"StringLoader", &createModule<StringLoader>},
});
} // namespace
