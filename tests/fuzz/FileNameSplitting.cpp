// Fuzzes the Windows path splitting and joining of the file-name modules:
// never out of bounds, the folder a prefix and the file name a suffix of the
// path, and a join that ends in the name it was given.
#include "framework/WindowsPath.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void require(bool condition) {
    if (!condition)
        std::abort();
}

bool startsWith(std::u16string_view text, std::u16string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool endsWith(std::u16string_view text, std::u16string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

void checkSplit(std::u16string_view path) {
    const std::u16string_view folder = winpath::parentPath(path);
    const std::u16string_view name = winpath::fileName(path);
    require(startsWith(path, folder));
    require(endsWith(path, name));
    for (const char16_t c : name)
        require(!winpath::isSeparator(c));
    require(folder.size() + name.size() <= path.size());
    // Taking the folder again and again comes to rest within the path's length.
    std::u16string_view current = path;
    for (size_t step = 0;; ++step) {
        require(step <= path.size() + 1);
        const std::u16string_view parent = winpath::parentPath(current);
        if (parent.size() == current.size())
            break;
        require(parent.size() < current.size());
        current = parent;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Bytes map mostly onto the characters that paths are made of.
    constexpr char16_t alphabet[] = {u'\\', u'/', u':', u'C', u'a', u'.', u'\\', u'/'};
    std::u16string text;
    for (size_t i = 0; i < size; ++i)
        text += data[i] < 0xF0 ? alphabet[data[i] % 8] : char16_t(data[i]);
    checkSplit(text);

    // The first byte splits the text into a folder and a name to join.
    const size_t cut = size ? data[0] % (text.size() + 1) : 0;
    const std::u16string_view folder = std::u16string_view(text).substr(0, cut);
    const std::u16string_view name = std::u16string_view(text).substr(cut);
    const std::u16string joined = winpath::appendPath(folder, name);
    const winpath::PathLayout layout = winpath::layoutOf(name);
    require(joined == name || endsWith(joined, name.substr(layout.rootNameEnd)));
    require(joined.size() <= folder.size() + name.size() + 1);
    checkSplit(joined);
    return 0;
}
