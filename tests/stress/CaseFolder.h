// The folder of a stress case's file modules: made with a few files and
// folders in it, removed with everything in it at the end. The names it gives
// for files a module writes, and for folders a module lists, all lie inside
// it, so that no operation of the run touches a file of anyone else.
#pragma once

#include "Random.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace stress {

class CaseFolder {
public:
    // No folder when `work` is empty.
    CaseFolder(const std::filesystem::path& work, uint64_t caseSeed);
    CaseFolder(const CaseFolder&) = delete;
    CaseFolder& operator=(const CaseFolder&) = delete;
    ~CaseFolder();

    bool made() const { return !root.empty(); }
    const std::filesystem::path& path() const { return root; }

    // The name inside the folder, joined as text: a name with a lone
    // surrogate is no std::filesystem path.
    std::u16string inside(const std::u16string& name) const;
    // A file to read: mostly inside the folder, sometimes a bare name.
    std::u16string fileToRead(Random& r) const;
    // A file to write: always inside the folder.
    std::u16string fileToWrite(Random& r) const;
    // A folder to list: the folder itself or a name inside it, or empty.
    std::u16string folderToList(Random& r) const;
    // What a file dialog answers as the chosen path (UTF-8).
    std::string pickedPath(Random& r) const;

    // One change: a file written, removed, a folder made or removed.
    void change(Random& r) const;
    // Whether `listed` lies strictly inside the folder.
    bool holds(const std::filesystem::path& listed) const;

private:
    void write(const std::filesystem::path& relative, const std::string& bytes) const;

    std::filesystem::path root;
};

} // namespace stress
