#include "PosixFileSystem.h"
#include "../core/Text.h"
#include "platform/FileSystem.h"
#include "platform/NumberText.h"
#include "platform/Utf8.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <string_view>

namespace installer {
namespace {

constexpr unsigned hiddenAttribute = 0x2;
constexpr unsigned systemAttribute = 0x4;

// The DOS attributes of a file as "0x" and hexadecimal digits at the start of
// its "user.DOSATTRIB" attribute; 0 when there are none.
unsigned dosAttributes(const std::string& path) {
    char value[64];
    const ssize_t size = getxattr(path.c_str(), "user.DOSATTRIB", value, sizeof value);
    if (size < 3 || value[0] != '0' || (value[1] != 'x' && value[1] != 'X'))
        return 0;
    // The "0x" and at most eight digits after it.
    return platform::parseUInt32(std::string_view(value, size_t(std::min<ssize_t>(size, 10))), 16);
}

std::string baseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A regular file (after links) that is neither hidden nor system.
bool isListedFile(const std::string& path, const std::string& name) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    if (name.empty() || name[0] == '.')
        return false;
    return (dosAttributes(path) & (hiddenAttribute | systemAttribute)) == 0;
}

struct FileCloser {
    void operator()(const int* fd) const {
        close(*fd);
        delete fd;
    }
};
using FileHandle = std::unique_ptr<int, FileCloser>;

FileHandle openFile(const std::string& path, int flags, mode_t mode = 0) {
    const int fd = open(path.c_str(), flags | O_CLOEXEC, mode);
    return fd < 0 ? FileHandle() : FileHandle(new int(fd));
}

// Reads the file from where it stands to its end, handing each piece read to
// `take`; false when a read fails or `take` refuses a piece.
template <class Take> bool readEachPiece(int fd, Take take) {
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        if (!take(buffer, size_t(got)))
            return false;
    }
}

struct DirectoryCloser {
    void operator()(DIR* directory) const { closedir(directory); }
};

bool isHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool isLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// A byte of a name that is not UTF-8 is carried in the name's text as U+DC00
// plus the byte, from U+DC80 to U+DCFF: bytes below 0x80 are always UTF-8.
constexpr char16_t byteUnitBase = 0xDC00;
bool isByteUnit(char16_t c) {
    return c >= byteUnitBase + 0x80 && c <= byteUnitBase + 0xFF;
}

// A source file opened for reading: only a regular file, never waited on.
FileHandle openSource(const std::string& path) {
    FileHandle file = openFile(path, O_RDONLY | O_NONBLOCK);
    struct stat status;
    if (file && (fstat(*file, &status) != 0 || !S_ISREG(status.st_mode)))
        file.reset();
    return file;
}

} // namespace

std::u16string textOfName(std::string_view bytes) {
    std::u16string text;
    while (!bytes.empty()) {
        const platform::Utf8Sequence sequence = platform::readUtf8Sequence(bytes);
        const std::string_view read = bytes.substr(0, sequence.length);
        if (sequence.wellFormed) {
            platform::appendUtf8ToWide(text, read);
        } else {
            for (const char byte : read)
                text += char16_t(byteUnitBase + static_cast<unsigned char>(byte));
        }
        bytes.remove_prefix(read.size());
    }
    return text;
}

std::optional<std::string> nameOfText(std::u16string_view text) {
    std::string name;
    size_t plain = 0; // where the text not yet converted begins
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\0')
            return std::nullopt;
        if (isHighSurrogate(c) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            ++i;
        } else if (isByteUnit(c)) {
            name += toUtf8(text.substr(plain, i - plain));
            name += char(c - byteUnitBase);
            plain = i + 1;
        } else if (isHighSurrogate(c) || isLowSurrogate(c)) {
            return std::nullopt;
        }
    }
    name += toUtf8(text.substr(plain));
    return name;
}

bool PosixFileSystem::isNormalFile(const std::u16string& path) {
    const std::optional<std::string> native = nameOfText(path);
    return native && isListedFile(*native, baseName(*native));
}

bool PosixFileSystem::exists(const std::u16string& path) {
    const std::optional<std::string> native = nameOfText(path);
    struct stat status;
    return native && lstat(native->c_str(), &status) == 0;
}

bool PosixFileSystem::isFolder(const std::u16string& path) {
    const std::optional<std::string> native = nameOfText(path);
    struct stat status;
    return native && stat(native->c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool PosixFileSystem::makeFolder(const std::u16string& path) {
    const std::optional<std::string> native = nameOfText(path);
    return native && mkdir(native->c_str(), 0777) == 0;
}

bool PosixFileSystem::copyFile(const std::u16string& from, const std::u16string& to) {
    const std::optional<std::string> sourcePath = nameOfText(from);
    const std::optional<std::string> targetPath = nameOfText(to);
    if (!sourcePath || !targetPath)
        return false;
    const FileHandle source = openSource(*sourcePath);
    struct stat status;
    if (!source || fstat(*source, &status) != 0)
        return false;
    // A file is not copied onto itself, as on Windows.
    struct stat existing;
    if (stat(targetPath->c_str(), &existing) == 0 && existing.st_dev == status.st_dev &&
        existing.st_ino == status.st_ino)
        return false;
    return platform::replaceFileByWriting(*targetPath, [&](platform::NewFileBytes& target) {
        return readEachPiece(*source, [&](const char* piece, size_t size) {
            return target.write(std::string_view(piece, size));
        });
    });
}

std::optional<std::string> PosixFileSystem::readFile(const std::u16string& path) {
    const std::optional<std::string> native = nameOfText(path);
    const FileHandle file = native ? openSource(*native) : FileHandle();
    if (!file)
        return std::nullopt;
    std::string content;
    if (!readEachPiece(*file, [&](const char* piece, size_t size) {
            content.append(piece, size);
            return true;
        }))
        return std::nullopt;
    return content;
}

std::optional<std::vector<std::u16string>>
PosixFileSystem::listFiles(const std::u16string& folder) {
    const std::optional<std::string> native = nameOfText(folder);
    if (!native)
        return std::nullopt;
    const std::unique_ptr<DIR, DirectoryCloser> directory(opendir(native->c_str()));
    if (!directory)
        return std::nullopt;
    std::vector<std::u16string> names;
    errno = 0;
    while (const dirent* entry = readdir(directory.get())) {
        const std::string name = entry->d_name;
        if (isListedFile(*native + "/" + name, name))
            names.push_back(textOfName(name));
        errno = 0;
    }
    if (errno != 0)
        return std::nullopt;
    return names;
}

std::u16string programFolder() {
    std::string path(4096, '\0');
    const ssize_t size = readlink("/proc/self/exe", path.data(), path.size());
    if (size <= 0 || size_t(size) >= path.size())
        return u".";
    path.resize(size_t(size));
    const size_t slash = path.find_last_of('/');
    if (slash == 0)
        return u"/";
    return textOfName(path.substr(0, slash));
}

} // namespace installer
