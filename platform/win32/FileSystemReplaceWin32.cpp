// Windows: a file is replaced by a complete new file through ReplaceFileW; a
// new name is taken with MoveFileExW.
#include "../FileSystem.h"
#include "../common/FileSystemFaults.h"

#include <windows.h>

#include <algorithm>
#include <random>
#include <string>

namespace platform {
namespace {

namespace fs = std::filesystem;

// Eight hexadecimal digits.
std::u16string hex(uint32_t value) {
    std::u16string digits(8, u'0');
    for (size_t i = 8; i-- > 0; value >>= 4)
        digits[i] = u"0123456789abcdef"[value & 15];
    return digits;
}

// A new file made for the bytes, removed again unless it has taken the
// target's place.
class NewFile final : public NewFileBytes {
public:
    NewFile() = default;
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;
    ~NewFile() {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
        if (!name.empty() && !placed && !onlyCopy)
            DeleteFileW(name.c_str());
    }

    // Makes a file of a name no other file has in folder: a name with a
    // random part, created exclusively, so that no file of the user's is
    // ever opened, and another name is tried on a clash.
    bool create(const fs::path& folder) {
        std::random_device random;
        for (int attempt = 0; attempt < 100; ++attempt) {
            const fs::path unique(u"~tavri-save-" + hex(random()) + hex(random()) + u".tmp");
            const fs::path candidate = folder.empty() ? unique : folder / unique;
            const HANDLE opened = CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, nullptr,
                                              CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (opened != INVALID_HANDLE_VALUE) {
                handle = opened;
                name = candidate;
                return true;
            }
            const DWORD error = GetLastError();
            if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
                return false;
        }
        return false;
    }

    bool write(std::string_view bytes) override {
        while (!bytes.empty()) {
            const size_t allowed = activeFileFaults().writableBytes(bytes.size());
            if (allowed == 0)
                return false;
            const DWORD size = DWORD(std::min<size_t>({allowed, bytes.size(), 1u << 30}));
            DWORD written = 0;
            if (!WriteFile(handle, bytes.data(), size, &written, nullptr) || written == 0)
                return false;
            bytes.remove_prefix(written);
        }
        return true;
    }

    bool flush() { return activeFileFaults().flushWorks() && FlushFileBuffers(handle); }

    // Closes the file; the handle is gone whatever CloseHandle answers.
    bool close() {
        const bool works = activeFileFaults().closeWorks();
        const BOOL closed = CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
        return works && closed;
    }

    // Gives the new file the old one's attributes that a user sets (hidden,
    // system, archive, not indexed); ReplaceFileW does not carry them
    // everywhere (wine).
    bool takeAttributesOf(DWORD old) {
        constexpr DWORD userAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                         FILE_ATTRIBUTE_ARCHIVE |
                                         FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
        const DWORD kept = old & userAttributes;
        return SetFileAttributesW(name.c_str(), kept ? kept : FILE_ATTRIBUTE_NORMAL);
    }

    // Takes target's place; when target did not exist, only while nothing
    // else has taken that name meanwhile.
    bool place(const fs::path& target, bool replacing) {
        if (!activeFileFaults().replaceWorks(name, target))
            return false;
        if (!replacing) {
            placed = MoveFileExW(name.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
            return placed;
        }
        placed = replace(target);
        if (placed || GetLastError() != ERROR_UNABLE_TO_MOVE_REPLACEMENT)
            return placed;
        // The old file is gone and the new one kept its own name: it is the
        // only copy now. It is moved into place, and kept when that fails.
        placed = activeFileFaults().replaceWorks(name, target) &&
                 MoveFileExW(name.c_str(), target.c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        onlyCopy = !placed;
        return placed;
    }

private:
    bool replace(const fs::path& target) {
        if (activeFileFaults().replaceRemovesOnly()) {
            // As ReplaceFileW fails at its last step.
            DeleteFileW(target.c_str());
            SetLastError(ERROR_UNABLE_TO_MOVE_REPLACEMENT);
            return false;
        }
        return ReplaceFileW(target.c_str(), name.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                            nullptr, nullptr);
    }

    HANDLE handle = INVALID_HANDLE_VALUE;
    fs::path name;
    bool placed = false;
    bool onlyCopy = false; // the old file is gone: the new one is never removed
};

} // namespace

bool replaceFileWith(const fs::path& path, std::string_view bytes) {
    return replaceFileByWriting(path, [bytes](NewFileBytes& file) { return file.write(bytes); });
}

bool replaceFileByWriting(const fs::path& given,
                          const std::function<bool(NewFileBytes&)>& writeAll) {
    // ReplaceFileW does not take every relative name.
    std::error_code error;
    const fs::path path = fs::absolute(given, error);
    if (error)
        return false;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    const bool replacing = attributes != INVALID_FILE_ATTRIBUTES;
    if (!replacing && GetLastError() != ERROR_FILE_NOT_FOUND)
        return false;
    if (replacing && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0)
        return false;

    NewFile file;
    return file.create(path.parent_path()) && writeAll(file) && file.flush() && file.close() &&
           (!replacing || file.takeAttributesOf(attributes)) && file.place(path, replacing);
}

} // namespace platform
