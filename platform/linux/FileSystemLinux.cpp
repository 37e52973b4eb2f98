// Linux: file names are UTF-8 bytes.
#include "../FileSystem.h"
#include "../Utf8.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    // Anything but a regular file is refused before it is opened: opening a
    // device can act on it (a watchdog starts, a tape rewinds), and a FIFO
    // with no writer would keep open() waiting.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return nullptr;
    // The name may stand for something else by the time it is opened: the
    // open never waits, and what was opened is judged again.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0)
        return nullptr;
    const int flags = ::fcntl(descriptor, F_GETFL);
    std::FILE* file = nullptr;
    if (::fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode) && flags != -1 &&
        ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) == 0)
        file = ::fdopen(descriptor, "rb");
    if (!file)
        ::close(descriptor);
    return FileHandle(file);
}

uintmax_t reportedSizeOf(std::FILE* file) {
    struct stat info {};
    return ::fstat(::fileno(file), &info) == 0 ? uintmax_t(info.st_size) : 0;
}

} // namespace platform
