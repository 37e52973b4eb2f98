#include "Win32FileSystem.h"
#include "platform/FileSystem.h"

#include <windows.h>

#include <algorithm>
#include <memory>

namespace installer {
namespace {

// Wide text is UTF-16 on Windows: char16_t and wchar_t have one layout there.
const wchar_t* wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

// The system reads a name up to its first zero: a text that holds one would
// name some other file, so it names none.
bool names(const std::u16string& text) {
    return std::find(text.begin(), text.end(), u'\0') == text.end();
}

constexpr DWORD unlistedAttributes =
    FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using FileHandle = std::unique_ptr<void, HandleCloser>;

// A disk file opened for reading; none for a folder, a device or a pipe.
FileHandle openSource(const std::u16string& path) {
    if (!names(path))
        return FileHandle();
    const HANDLE opened = CreateFileW(wide(path), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE)
        return FileHandle();
    FileHandle file(opened);
    if (GetFileType(file.get()) != FILE_TYPE_DISK)
        file.reset();
    return file;
}

// Reads the file from where it stands to its end, handing each piece read to
// `take`; false when a read fails or `take` refuses a piece.
template <class Take> bool readEachPiece(HANDLE file, Take take) {
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr))
            return false;
        if (got == 0)
            return true;
        if (!take(buffer, size_t(got)))
            return false;
    }
}

struct SearchCloser {
    void operator()(HANDLE handle) const { FindClose(handle); }
};
using SearchHandle = std::unique_ptr<void, SearchCloser>;

} // namespace

bool Win32FileSystem::isNormalFile(const std::u16string& path) {
    if (!names(path))
        return false;
    const DWORD attributes = GetFileAttributesW(wide(path));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & unlistedAttributes) == 0;
}

bool Win32FileSystem::exists(const std::u16string& path) {
    return names(path) && GetFileAttributesW(wide(path)) != INVALID_FILE_ATTRIBUTES;
}

bool Win32FileSystem::isFolder(const std::u16string& path) {
    if (!names(path))
        return false;
    const DWORD attributes = GetFileAttributesW(wide(path));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Win32FileSystem::makeFolder(const std::u16string& path) {
    return names(path) && CreateDirectoryW(wide(path), nullptr) != FALSE;
}

bool Win32FileSystem::copyFile(const std::u16string& from, const std::u16string& to) {
    if (!names(to))
        return false;
    const FileHandle source = openSource(from);
    if (!source)
        return false;
    const auto* target = reinterpret_cast<const wchar_t*>(to.data());
    return platform::replaceFileByWriting(
        std::filesystem::path(target, target + to.size()), [&](platform::NewFileBytes& file) {
            return readEachPiece(source.get(), [&](const char* piece, size_t size) {
                return file.write(std::string_view(piece, size));
            });
        });
}

std::optional<std::string> Win32FileSystem::readFile(const std::u16string& path) {
    const FileHandle file = openSource(path);
    if (!file)
        return std::nullopt;
    std::string content;
    if (!readEachPiece(file.get(), [&](const char* piece, size_t size) {
            content.append(piece, size);
            return true;
        }))
        return std::nullopt;
    return content;
}

std::optional<std::vector<std::u16string>>
Win32FileSystem::listFiles(const std::u16string& folder) {
    if (!names(folder))
        return std::nullopt;
    const std::u16string pattern = folder + u"\\*";
    WIN32_FIND_DATAW found;
    const HANDLE first =
        FindFirstFileExW(wide(pattern), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    std::vector<std::u16string> names;
    if (first == INVALID_HANDLE_VALUE) {
        // The root of a drive has no "." entry: an empty root finds nothing at all.
        if (GetLastError() == ERROR_FILE_NOT_FOUND)
            return names;
        return std::nullopt;
    }
    const SearchHandle search(first);
    do {
        if ((found.dwFileAttributes & unlistedAttributes) == 0)
            names.emplace_back(reinterpret_cast<const char16_t*>(found.cFileName));
    } while (FindNextFileW(search.get(), &found));
    if (GetLastError() != ERROR_NO_MORE_FILES)
        return std::nullopt;
    return names;
}

std::u16string programFolder() {
    std::u16string path(MAX_PATH, u'\0');
    for (;;) {
        const DWORD size = GetModuleFileNameW(nullptr, reinterpret_cast<wchar_t*>(path.data()),
                                              DWORD(path.size()));
        if (size == 0)
            return u".";
        if (size < path.size()) {
            path.resize(size);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(u'\\'));
}

} // namespace installer
