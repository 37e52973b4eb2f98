// File-system access for file names held as 16-bit text: the conversions
// between our text and std::filesystem paths, and opening whole files. Windows
// takes the 16-bit text as its own wide names; Linux names files in UTF-8.
#pragma once

#include <cstdio>
#include <filesystem>
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

// Opens a file for reading in binary mode; null when it cannot be opened. A
// folder is not a file and cannot be opened.
FileHandle openFileForReading(const std::filesystem::path& path);
// Opens a file for writing in binary mode, creating it or cutting it to
// nothing; null when it cannot be opened.
FileHandle openFileForWriting(const std::filesystem::path& path);

} // namespace platform
