// Linux: file names are UTF-8 bytes.
#include "../FileSystem.h"
#include "../Utf8.h"

#include <sys/stat.h>

namespace platform {
namespace {

bool isHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool isLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Length of the well-formed UTF-8 sequence at the start of bytes, or, when it
// is ill-formed, the negated length of its maximal valid prefix (at least 1).
int sequenceLength(std::string_view bytes, char32_t& c) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(0);
    int length;
    unsigned char low = 0x80, high = 0xBF; // range of the second byte
    if (lead < 0x80) {
        c = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        c = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        c = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return -1;
    }
    for (int k = 1; k < length; ++k) {
        if (size_t(k) >= bytes.size())
            return -k;
        const unsigned char next = byte(size_t(k));
        const bool fits = k == 1 ? next >= low && next <= high : (next & 0xC0) == 0x80;
        if (!fits)
            return -k;
        c = c << 6 | (next & 0x3F);
    }
    return length;
}

} // namespace

std::optional<std::filesystem::path> pathFromText(std::u16string_view name) {
    for (size_t i = 0; i < name.size(); ++i) {
        const char16_t c = name[i];
        if (c == u'\0')
            return std::nullopt;
        if (isHighSurrogate(c) && i + 1 < name.size() && isLowSurrogate(name[i + 1]))
            ++i;
        else if (isHighSurrogate(c) || isLowSurrogate(c))
            return std::nullopt;
    }
    return std::filesystem::path(wideToUtf8Portable(name));
}

std::u16string textFromPath(const std::filesystem::path& path) {
    std::u16string text;
    appendTextOf(text, path.native());
    return text;
}

NativeView lastComponentOf(const std::filesystem::path& path) {
    const NativeView native = path.native();
    const size_t cut = native.rfind('/');
    return cut == NativeView::npos ? native : native.substr(cut + 1);
}

void appendTextOf(std::u16string& text, NativeView bytes) {
    std::string_view rest(bytes);
    while (!rest.empty()) {
        char32_t c = 0;
        const int length = sequenceLength(rest, c);
        if (length < 0) {
            text += u'\uFFFD';
            rest.remove_prefix(size_t(-length));
        } else if (c >= 0x10000) {
            text += char16_t(0xD800 + ((c - 0x10000) >> 10));
            text += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
            rest.remove_prefix(size_t(length));
        } else {
            text += char16_t(c);
            rest.remove_prefix(size_t(length));
        }
    }
}

FileHandle openFileForReading(const std::filesystem::path& path) {
    FileHandle file(std::fopen(path.c_str(), "rb"));
    // fopen opens a folder for reading here, unlike on Windows.
    struct stat info {};
    if (file && (fstat(fileno(file.get()), &info) != 0 || S_ISDIR(info.st_mode)))
        file.reset();
    return file;
}

} // namespace platform
