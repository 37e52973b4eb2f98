// Linux: a file is replaced by renaming a complete new file over it.
#include "../FileSystem.h"
#include "../common/FileSystemFaults.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

namespace fs = std::filesystem;

// A new file made for the bytes, removed again unless it has taken the
// target's place.
class NewFile final : public NewFileBytes {
public:
    NewFile() = default;
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;
    ~NewFile() {
        if (descriptor >= 0)
            ::close(descriptor);
        if (!name.empty() && !placed)
            ::unlink(name.c_str());
    }

    // Makes a file of a name no other file has in folder: a hidden name
    // with a random part, created exclusively, so that no file of the user's
    // is ever opened, and another name is tried on a clash. Its permissions
    // are the ones a new file gets from the process's umask.
    bool create(const fs::path& folder) {
        std::random_device random;
        for (int attempt = 0; attempt < 100; ++attempt) {
            char unique[48];
            std::snprintf(unique, sizeof unique, ".tavri-save-%08x%08x.tmp", random(), random());
            const fs::path candidate = folder.empty() ? fs::path(unique) : folder / unique;
            const int opened =
                ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (opened >= 0) {
                descriptor = opened;
                name = candidate;
                return true;
            }
            if (errno != EEXIST)
                return false;
        }
        return false;
    }

    bool write(std::string_view bytes) override {
        while (!bytes.empty()) {
            const size_t allowed = activeFileFaults().writableBytes(bytes.size());
            if (allowed == 0)
                return false;
            const ssize_t written =
                ::write(descriptor, bytes.data(), std::min(allowed, bytes.size()));
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                return false;
            bytes.remove_prefix(size_t(written));
        }
        return true;
    }

    bool takePermissionsOf(const struct stat& old) {
        // Owner and group can only be kept where the process may set them.
        if (::fchown(descriptor, old.st_uid, old.st_gid) != 0)
            (void)::fchown(descriptor, uid_t(-1), old.st_gid);
        return ::fchmod(descriptor, old.st_mode & 07777) == 0;
    }

    bool flush() { return activeFileFaults().flushWorks() && ::fsync(descriptor) == 0; }

    // Closes the file; the descriptor is gone whatever close answers.
    bool close() {
        const bool works = activeFileFaults().closeWorks();
        const int closed = ::close(descriptor);
        descriptor = -1;
        return works && closed == 0;
    }

    // Takes target's place; when target did not exist, only while nothing
    // else has taken that name meanwhile.
    bool place(const fs::path& target, bool replacing) {
        if (!activeFileFaults().replaceWorks(name, target))
            return false;
        int renamed = -1;
        if (replacing) {
            renamed = ::rename(name.c_str(), target.c_str());
        } else {
            renamed =
                ::renameat2(AT_FDCWD, name.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE);
            if (renamed != 0 && (errno == EINVAL || errno == ENOSYS))
                renamed = ::rename(name.c_str(), target.c_str()); // not offered by this file system
        }
        placed = renamed == 0;
        return placed;
    }

private:
    int descriptor = -1;
    fs::path name;
    bool placed = false;
};

} // namespace

bool replaceFileWith(const fs::path& path, std::string_view bytes) {
    return replaceFileByWriting(path, [bytes](NewFileBytes& file) { return file.write(bytes); });
}

bool replaceFileByWriting(const fs::path& path,
                          const std::function<bool(NewFileBytes&)>& writeAll) {
    fs::path target = path;
    struct stat old {};
    const bool replacing = ::stat(path.c_str(), &old) == 0;
    if (replacing) {
        // Only a regular file that may be written is replaced: one that has
        // no write permission at all is read-only even for a process that
        // could write it anyway.
        if (!S_ISREG(old.st_mode) || (old.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0)
            return false;
        std::error_code error;
        target = fs::canonical(path, error); // the file a link names, not the link
        if (error)
            return false;
    } else {
        struct stat link {};
        // A link that names no file: renaming would replace the link itself.
        if (errno != ENOENT || ::lstat(path.c_str(), &link) == 0)
            return false;
    }

    NewFile file;
    if (!file.create(target.parent_path()))
        return false;
    if (replacing && !file.takePermissionsOf(old))
        return false;
    return writeAll(file) && file.flush() && file.close() && file.place(target, replacing);
}

} // namespace platform
