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
#include <memory>
#include <string>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// The pin's byte count (2 × length) is an int32.
constexpr size_t maxTextUnits = size_t(INT32_MAX) / 2;
// Larger files are refused: before they are read when the system reports
// their size, else as soon as more has been read.
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

// Collects a file's text block by block, in the memory of an earlier text
// when that is at hand.
class Latin1Decoder {
public:
    // The earlier text's characters are written over, not cleared first.
    explicit Latin1Decoder(std::u16string room) : text(std::move(room)) {}

    // Room for units characters in all. Before the first piece, memory of an
    // earlier text is kept when it holds them without being much larger, and
    // otherwise a text of just that size is made; later, the text grows with
    // only its own characters.
    void reserve(size_t units) {
        if (used != 0)
            text.resize(used);
        else if (text.capacity() < units || text.capacity() - units > units + 32768)
            text = std::u16string();
        text.reserve(units);
    }

    // Decodes a piece at a time straight into the text. Within the earlier
    // text's length the characters are written over; past it, a string gets
    // room only by writing it, so each piece's room is zeroed just before it
    // is decoded into: the 16 KiB of a piece of 8 KiB are zeroed at full speed
    // and are still in the first-level cache when they are overwritten (a
    // larger piece is zeroed past the cache, and its memory is then fetched
    // twice). No decoded piece is copied.
    void append(const char* bytes, size_t count) {
        constexpr size_t piece = 8192;
        for (size_t done = 0; done < count; done += piece) {
            const size_t n = std::min(piece, count - done);
            const char* const from = bytes + done;
            if (text.size() < used + n + 1)
                text.resize(used + n + 1); // every byte and a CR held over
            char16_t* const start = text.data() + used;
            char16_t* out = start;
            if (pendingCr) {
                pendingCr = false;
                if (*from != '\n')
                    *out++ = u'\r';
            }
            out = decodeBlock(from, from + n, out, pendingCr);
            used += size_t(out - start);
        }
    }

    size_t size() const { return used + (pendingCr ? 1 : 0); }

    std::u16string finish() {
        text.resize(used);
        if (pendingCr)
            text += u'\r';
        pendingCr = false;
        used = 0;
        return std::move(text);
    }

private:
    std::u16string text; // the characters before `used` are the text's
    size_t used = 0;
    bool pendingCr = false;
};

// The bytes of a file past the size the system reported for it (all of them
// when it reported none), kept as read until the end is found. Reading stops
// once the file has more than maxFileBytes in all, so that a file that never
// ends holds no more than about that.
class UnsizedRest {
public:
    // Keeps the bytes, then reads to the end; false when the file, with the
    // `before` bytes read ahead of these, is too large.
    bool read(const char* bytes, size_t count, std::FILE* file, uintmax_t before) {
        total = before;
        if (!keep(bytes, count))
            return false;
        for (;;) {
            if (lastUsed == blockBytes)
                addBlock();
            const size_t got =
                std::fread(blocks.back().get() + lastUsed, 1, blockBytes - lastUsed, file);
            if (got == 0)
                return true;
            lastUsed += got;
            if (!counted(got))
                return false;
        }
    }

    size_t size() const { return kept; }

    // Decodes the bytes into the text, giving back each block once it is decoded.
    bool decodeInto(Latin1Decoder& text) {
        for (size_t i = 0; i < blocks.size(); ++i) {
            text.append(blocks[i].get(), i + 1 == blocks.size() ? lastUsed : blockBytes);
            blocks[i].reset();
            if (text.size() > maxTextUnits)
                return false;
        }
        return true;
    }

private:
    static constexpr size_t blockBytes = size_t(1) << 20;

    void addBlock() {
        blocks.emplace_back(new char[blockBytes]);
        lastUsed = 0;
    }
    bool keep(const char* bytes, size_t count) {
        addBlock();
        std::copy_n(bytes, count, blocks.back().get());
        lastUsed = count;
        return counted(count);
    }
    bool counted(size_t count) {
        kept += count;
        total += count;
        return total <= maxFileBytes;
    }

    std::vector<std::unique_ptr<char[]>> blocks;
    size_t lastUsed = blockBytes; // bytes in the last block
    size_t kept = 0;
    uintmax_t total = 0; // with the bytes before
};

// Reads a whole regular file's text into `text` (whose memory is used when it
// fits); false when the file cannot be opened, is not a regular file or is
// too large for a text pin. A read error ends the text where it occurred.
// The file is read in the memory of the text itself up to the size the
// system reported, and whatever follows (a file that grew, or one whose size
// is not reported) in blocks of its own.
bool readTextFile(const std::filesystem::path& path, std::u16string& text) {
    const platform::FileHandle file = platform::openFileForReading(path);
    if (!file)
        return false;
    const uintmax_t reported = platform::reportedSizeOf(file.get());
    if (reported > maxFileBytes)
        return false;
    Latin1Decoder decoder(std::move(text));
    const auto refuse = [&] {
        text = decoder.finish();
        return false;
    };
    decoder.reserve(size_t(reported) + 1);
    char block[1 << 16];
    uintmax_t total = 0;
    size_t got = 0;
    while (total < reported) {
        got = std::fread(block, 1, size_t(std::min<uintmax_t>(sizeof block, reported - total)),
                         file.get());
        if (got == 0)
            break;
        total += got;
        decoder.append(block, got);
    }
    // Anything past the reported size (nearly always nothing)?
    if (total == reported && (got = std::fread(block, 1, sizeof block, file.get())) != 0) {
        UnsizedRest rest;
        if (!rest.read(block, got, file.get(), total))
            return refuse();
        decoder.reserve(decoder.size() + rest.size() + 1);
        if (!rest.decodeInto(decoder))
            return refuse();
    }
    if (decoder.size() > maxTextUnits)
        return refuse();
    text = decoder.finish();
    return true;
}

// The loaded text's pin: a new text changes places with the pin's value, so
// that the old value's memory serves the next load.
class LoadedTextPin final : public StringGuiPin {
public:
    // Sets and sends text when it differs from the value; text then holds the
    // earlier value, and otherwise stays as it was.
    void setAndSendExchanging(std::u16string& text) {
        if (!Traits::differs(value, text))
            return;
        value.swap(text);
        sendToHost(valueByteCount(), valueAddress());
    }
};

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
        // The text is read into the memory of an earlier one (the pin's value
        // before its last change), taken out of the member first: a load the
        // host starts from inside the send below finds none and makes its own.
        std::u16string text = std::exchange(spareText, std::u16string());
        if (readTextFile(*path, text))
            pinText.setAndSendExchanging(text);
        spareText = std::move(text);
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
    LoadedTextPin pinText;
    MpGuiPinBool pinLoad;
    MpGuiPinBool pinAutoLoad;
    StringGuiPin pinFileNameA;
    StringGuiPin pinFileNameB;
    std::u16string fileName;
    // Memory of an earlier text (its characters mean nothing), for the next load.
    std::u16string spareText;
    uint64_t nameChanges = 0; // name pin reports, to notice one made during a resolution
};

namespace {
[[maybe_unused]] const bool registered = initialiseModuleFile({
    {Gui2Part, u"StringLoader", &createModule<StringLoader>},
});
} // namespace
