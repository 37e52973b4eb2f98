// File-path text split and joined by the rules of Windows paths, the same on
// every build: "\" and "/" both separate, "C:" and "//server" are root names.
// Only the text is looked at, never the file system.
#pragma once

#include <string>
#include <string_view>

namespace winpath {

// Where the parts of a path end: [0, rootNameEnd) is the root name,
// [rootNameEnd, rootDirectoryEnd) the root directory (one separator), and the
// relative part starts at relativeStart, after any further separators.
struct PathLayout {
    size_t rootNameEnd = 0;
    size_t rootDirectoryEnd = 0;
    size_t relativeStart = 0;

    bool hasRootName() const { return rootNameEnd > 0; }
    bool hasRootDirectory() const { return rootDirectoryEnd > rootNameEnd; }
};

constexpr bool isSeparator(char16_t c) {
    return c == u'\\' || c == u'/';
}

PathLayout layoutOf(std::u16string_view path);

// The path up to the end of its next-to-last element (the whole path when it
// has no relative part, empty for a single file name).
std::u16string_view parentPath(std::u16string_view path);

// The last element when it is a file name; empty for a path ending in a
// separator or without a relative part.
std::u16string_view fileName(std::u16string_view path);

// `folder` joined with `name` as a Windows path appends: a name with its own
// root replaces the folder (or keeps only the folder's root name), otherwise
// one "\" goes between a folder ending in a file name and the name. An empty
// side gives the other unchanged.
std::u16string appendPath(std::u16string_view folder, std::u16string_view name);

} // namespace winpath
