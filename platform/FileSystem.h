// File-system access for file names held as 16-bit text: the conversions
// between our text and std::filesystem paths, and opening whole files. Windows
// takes the 16-bit text as its own wide names; Linux names files in UTF-8.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The path a name stands for; none when the text cannot name a file: it holds
// a zero unit, or (Linux) a surrogate unit that is not half of a pair.
std::optional<std::filesystem::path> pathFromText(std::u16string_view name);

// The text of a path. On Linux a name that is not valid UTF-8 gets U+FFFD in
// place of each bad sequence, so it can be shown but not named again.
std::u16string textFromPath(const std::filesystem::path& path);

// A path's own characters, and the text of some of them added to text.
using NativeView = std::basic_string_view<std::filesystem::path::value_type>;
void appendTextOf(std::u16string& text, NativeView native);
inline std::u16string textOf(NativeView native) {
    std::u16string text;
    appendTextOf(text, native);
    return text;
}

// The part of a path after its last separator, without copying it.
NativeView lastComponentOf(const std::filesystem::path& path);

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Opens a file for reading in binary mode; null when it cannot be opened or
// is not a file on disk. Only a regular file opens: a folder, a pipe, a
// socket or a device is refused at once, as a file that cannot be opened is,
// and the open never waits for a writer or a device. On Windows that refuses
// the device names ("CON", "NUL", "COM1", also with an extension or in a
// folder) and every path in the device and pipe namespaces ("\\.\...",
// "\\?\pipe\..."; of "\\?\" paths only those of a drive or a share open).
FileHandle openFileForReading(const std::filesystem::path& path);

// The size in bytes that the system reports for an open file; 0 when it
// reports none. Some system files report 0 and still have text.
uintmax_t reportedSizeOf(std::FILE* file);

// Puts a file holding exactly `bytes` at path without ever losing the file
// that was there: the bytes go to a new file of its own in the same folder
// (".tavri-save-" on Linux, "~tavri-save-" on Windows, a random part and
// ".tmp": never a name that is taken already), every write, the flush to disk
// and the close are checked, and only then does the new file take path's place
// in one step. False on any failure; the new file is then removed and path is
// left as it was, byte for byte (a file that did not exist is not created).
// Windows only: should the system remove the old file and then fail to give
// the new one its name, the new file is moved into place, and kept under its
// own name when even that fails, since it is then the only copy.
// A folder, a read-only file and (Linux) anything else that is not a regular
// file are not replaced; a link to a file (Linux) stays, and the file it names
// is replaced. A replaced file keeps its permissions (Linux) or attributes
// (Windows).
[[nodiscard]] bool replaceFileWith(const std::filesystem::path& path, std::string_view bytes);

// The new file of a replacement, as the bytes for it come.
class NewFileBytes {
public:
    // Writes all of piece; false when it cannot, as on a full disk.
    [[nodiscard]] virtual bool write(std::string_view piece) = 0;

protected:
    ~NewFileBytes() = default;
};

// replaceFileWith for bytes that come in pieces, such as those of a file being
// copied: `writeAll` writes them into the new file it is given and answers
// true, or false when it could not give them all (a read or a write failed),
// which fails the replacement as a failed write does. The steps, their checks
// and what is left after a failure are those of replaceFileWith.
[[nodiscard]] bool replaceFileByWriting(const std::filesystem::path& path,
                                        const std::function<bool(NewFileBytes&)>& writeAll);

// The failures of the replacement's steps that a test can cause, as a full
// disk or a failing device would. Each answers for one step that is about to
// run; the defaults let every step run.
class FileFaults {
public:
    // How many of the `size` bytes the next write of the new file may take;
    // 0 makes the write fail as on a full disk.
    virtual size_t writableBytes(size_t size) { return size; }
    virtual bool flushWorks() { return true; }
    virtual bool closeWorks() { return true; }
    // Before the complete and closed new file takes target's place (on
    // Windows also before the move that follows a replacement that removed
    // target only).
    virtual bool replaceWorks(const std::filesystem::path& newFile,
                              const std::filesystem::path& target) {
        return true;
    }
    // Windows: whether ReplaceFileW fails at its last step, having removed
    // target but not given the new file its name
    // (ERROR_UNABLE_TO_MOVE_REPLACEMENT). Linux renames in one step.
    virtual bool replaceRemovesOnly() { return false; }

protected:
    ~FileFaults() = default;
};

// Test hook: replaceFileWith and replaceFileByWriting ask `faults` from now
// on; null for none. The caller keeps faults alive while it is set.
void setFileFaults(FileFaults* faults);

} // namespace platform
