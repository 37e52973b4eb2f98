#include "WindowsPath.h"

namespace winpath {

PathLayout layoutOf(std::u16string_view path) {
    PathLayout layout;
    const size_t size = path.size();
    size_t end = 0;
    if (size >= 2 && path[1] == u':') {
        end = 2; // a drive designator: any character, then ":"
    } else if (size >= 3 && isSeparator(path[0]) && path[1] == path[0] && !isSeparator(path[2])) {
        end = 3; // "//server": up to the next separator
        while (end < size && !isSeparator(path[end]))
            ++end;
    }
    layout.rootNameEnd = end;
    if (end < size && isSeparator(path[end])) {
        ++end;
        layout.rootDirectoryEnd = end;
        while (end < size && isSeparator(path[end]))
            ++end;
    } else {
        layout.rootDirectoryEnd = end;
    }
    layout.relativeStart = end;
    return layout;
}

std::u16string_view parentPath(std::u16string_view path) {
    const PathLayout layout = layoutOf(path);
    const size_t start = layout.relativeStart;
    if (start == path.size())
        return path;
    // The relative part starts with a file name, so every run of separators
    // inside it follows one.
    size_t end = path.size();
    if (!isSeparator(path[end - 1])) {
        while (end > start && !isSeparator(path[end - 1]))
            --end; // the start of the last file name
        if (end == start)
            return path.substr(0, layout.rootDirectoryEnd); // root name or directory, or nothing
    }
    while (isSeparator(path[end - 1]))
        --end;
    return path.substr(0, end);
}

std::u16string_view fileName(std::u16string_view path) {
    const PathLayout layout = layoutOf(path);
    size_t start = path.size();
    if (start == layout.relativeStart || isSeparator(path[start - 1]))
        return {};
    while (start > layout.relativeStart && !isSeparator(path[start - 1]))
        --start;
    return path.substr(start);
}

std::u16string appendPath(std::u16string_view folder, std::u16string_view name) {
    if (folder.empty() || name.empty())
        return std::u16string(folder.empty() ? name : folder);
    const PathLayout f = layoutOf(folder);
    const PathLayout n = layoutOf(name);
    const std::u16string_view folderRoot = folder.substr(0, f.rootNameEnd);
    const std::u16string_view nameRoot = name.substr(0, n.rootNameEnd);
    if (n.hasRootName() && (n.hasRootDirectory() || nameRoot != folderRoot))
        return std::u16string(name);
    if (n.hasRootDirectory())
        return std::u16string(folderRoot) + std::u16string(name);
    std::u16string result(folder);
    const bool endsInFileName = f.relativeStart < folder.size() && !isSeparator(folder.back());
    if (endsInFileName)
        result += u'\\';
    result += name.substr(n.rootNameEnd);
    return result;
}

} // namespace winpath
