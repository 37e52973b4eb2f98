// Windows: our 16-bit text is the system's wide text; files open through the
// wide file functions.
#include "../FileSystem.h"

#include <algorithm>

namespace platform {

std::optional<std::filesystem::path> pathFromText(std::u16string_view name) {
    if (std::find(name.begin(), name.end(), u'\0') != name.end())
        return std::nullopt;
    const auto* wide = reinterpret_cast<const wchar_t*>(name.data());
    return std::filesystem::path(wide, wide + name.size());
}

std::u16string textFromPath(const std::filesystem::path& path) {
    std::u16string text;
    appendTextOf(text, path.native());
    return text;
}

void appendTextOf(std::u16string& text, NativeView native) {
    const auto* units = reinterpret_cast<const char16_t*>(native.data());
    text.append(units, native.size());
}

NativeView lastComponentOf(const std::filesystem::path& path) {
    const NativeView native = path.native();
    const size_t cut = native.find_last_of(reinterpret_cast<const wchar_t*>(u"\\/"));
    return cut == NativeView::npos ? native : native.substr(cut + 1);
}

FileHandle openFileForReading(const std::filesystem::path& path) {
    // _wfopen refuses a folder.
    return FileHandle(_wfopen(path.c_str(), reinterpret_cast<const wchar_t*>(u"rb")));
}

} // namespace platform
