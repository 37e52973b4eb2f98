// The folder browser's listing: the comma-separated list text and the entries
// that its positions select, built together so that they always agree.
#pragma once

#include "../../platform/FileSystem.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

// The standard extension of a file name: from its last "." on, except that
// ".", ".." and a name whose only "." comes first have none.
inline platform::NativeView extensionOf(platform::NativeView name) {
    using Unit = std::filesystem::path::value_type;
    const bool dotDot = name.size() == 2 && name[0] == Unit('.') && name[1] == Unit('.');
    const size_t dot = name.rfind(Unit('.'));
    if (dot == platform::NativeView::npos || dot == 0 || dotDot)
        return {};
    return name.substr(dot);
}

// A folder, or a link to one: the entry's cached kind, or its status when
// none is cached or it is a link. An entry whose status cannot be read is not
// a folder.
inline bool isFolderEntry(const std::filesystem::directory_entry& entry) {
    std::error_code error;
    return entry.is_directory(error);
}

// A listed entry: its full path (kept as the bare characters, which copy
// cheaply) and the kind it was listed as, so that choosing it acts on what the
// list showed, on both builds alike (Linux caches kinds from the folder read,
// Windows asks for each).
struct ListedEntry {
    std::filesystem::path::string_type path;
    bool folder;
};

class FolderListing {
public:
    struct Rules {
        // Files are listed only with this extension ("." included); none
        // lists every file. An extension that names no file lists no file.
        std::optional<std::filesystem::path::string_type> extension;
        bool filterFiles = false;
        bool hideExtensions = false;
        // The full path whose position is wanted; empty: none.
        std::u16string selectedPath;
    };

    explicit FolderListing(Rules rules) : rules(std::move(rules)) {}

    // Lists the entry at the end unless the filter skips it.
    void add(const std::filesystem::directory_entry& entry) {
        const bool folder = isFolderEntry(entry);
        const std::filesystem::path& path = entry.path();
        const platform::NativeView name = platform::lastComponentOf(path);
        if (!folder && rules.filterFiles &&
            (!rules.extension || extensionOf(name) != platform::NativeView(*rules.extension)))
            return;
        if (!entries.empty())
            listText += u',';
        const size_t start = listText.size();
        platform::appendTextOf(listText, name);
        // The item's own last "." (the list before it is not searched).
        if (rules.hideExtensions)
            if (const size_t dot = std::u16string_view(listText).substr(start).rfind(u'.');
                dot != std::u16string_view::npos)
                listText.resize(start + dot);
        std::replace(listText.begin() + std::ptrdiff_t(start), listText.end(), u',', u'_');
        if (folder)
            listText += u'/';
        entries.push_back({path.native(), folder});
        if (!rules.selectedPath.empty() && platform::textFromPath(path) == rules.selectedPath)
            selected = int32_t(entries.size()) - 1;
    }

    // Adds the entries from `it` on in the order given, until the end or the
    // first failure to move on: what was listed up to there stays listed.
    template <class Iterator> void addAll(Iterator it) {
        std::error_code error;
        for (; !error && it != Iterator(); it.increment(error))
            add(*it);
    }

    std::vector<ListedEntry> entries;
    std::u16string listText;
    int32_t selected = -1; // position of the selected path; -1: not listed

private:
    Rules rules;
};
