// The installer's files on Windows, through the wide (UTF-16) file functions,
// so that any folder name is kept as it is.
#pragma once

#include "../core/Installer.h"

namespace installer {

class Win32FileSystem final : public FileSystem {
public:
    bool isNormalFile(const std::u16string& path) override;
    bool exists(const std::u16string& path) override;
    bool isFolder(const std::u16string& path) override;
    bool makeFolder(const std::u16string& path) override;
    bool copyFile(const std::u16string& from, const std::u16string& to) override;
    std::optional<std::string> readFile(const std::u16string& path) override;
    std::optional<std::vector<std::u16string>> listFiles(const std::u16string& folder) override;
};

// The folder of the running program.
std::u16string programFolder();

} // namespace installer
