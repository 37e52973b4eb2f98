// The folder browser's listing: the comma-separated list text and the entries
// that its positions select, built together so that they always agree.
#pragma once

#include "../../platform/FileSystem.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

// A folder, or a link to one: the entry's cached kind, or its status when
// none is cached or it is a link. An entry whose status cannot be read is not
// a folder.
inline bool isFolderEntry(const std::filesystem::directory_entry& entry) {
    std::error_code error;
    return entry.is_directory(error);
}

// A listed entry with the kind it was listed as, so that choosing it acts on
// what the list showed, on both builds alike (Linux caches kinds from the
// folder read, Windows asks for each).
struct ListedEntry {
    std::filesystem::directory_entry entry;
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
        if (!folder && rules.filterFiles &&
            (!rules.extension || path.extension().native() != *rules.extension))
            return;
        std::u16string item = platform::textFromPath(path.filename());
        if (rules.hideExtensions)
            if (const size_t dot = item.rfind(u'.'); dot != std::u16string::npos)
                item.resize(dot);
        for (char16_t& c : item)
            if (c == u',')
                c = u'_';
        if (!entries.empty())
            listText += u',';
        listText += item;
        if (folder)
            listText += u'/';
        entries.push_back({entry, folder});
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
