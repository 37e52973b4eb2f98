// The installer's files on Linux. A file counts as hidden when its name
// begins with "." or when the DOS attributes that wine and Samba keep in the
// "user.DOSATTRIB" extended attribute mark it hidden (0x2); as system when
// they mark it system (0x4). So a folder prepared under wine lists the same here.
#pragma once

#include "../core/Installer.h"

#include <optional>
#include <string>
#include <string_view>

namespace installer {

// File names here are bytes, most often UTF-8 but not always. A name's text
// decodes its UTF-8 and carries each byte of anything else as one of the lone
// surrogates U+DC80 to U+DCFF (which no UTF-8 decodes to), so that every name
// listed names its own file again; shown, such a byte becomes U+FFFD.
std::u16string textOfName(std::string_view bytes);
// The bytes a text names; none when it holds a zero or a lone surrogate other
// than those, which name no file.
std::optional<std::string> nameOfText(std::u16string_view text);

class PosixFileSystem final : public FileSystem {
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
