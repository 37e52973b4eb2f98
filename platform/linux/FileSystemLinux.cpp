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
    appendUtf8ToWide(text, bytes);
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
