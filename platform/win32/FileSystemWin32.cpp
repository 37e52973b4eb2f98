// Windows: our 16-bit text is the system's wide text; files open through the
// wide file functions.
#include "../FileSystem.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

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

namespace {

using Name = std::u16string_view;

bool isSeparator(char16_t c) {
    return c == u'\\' || c == u'/';
}
char16_t upperAscii(char16_t c) {
    return c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c;
}
bool isDriveLetter(char16_t c) {
    return upperAscii(c) >= u'A' && upperAscii(c) <= u'Z';
}
bool equalIgnoringCase(Name a, Name b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char16_t x, char16_t y) { return upperAscii(x) == upperAscii(y); });
}

// A name in the device namespaces ("\\.\", "\\?\", "\??\", with either
// separator), where pipes, devices, volumes and disks are reached, other than
// the two forms that name a file on a drive or a share without being
// rewritten on the way: "\\?\X:\..." and "\\?\UNC\...". ("\\.\" names
// are rewritten: "\\.\C:\..\pipe\p" is a pipe.)
bool inDeviceNamespace(Name name) {
    if (name.size() < 4)
        return false;
    const bool device = isSeparator(name[0]) && isSeparator(name[1]) &&
                        (name[2] == u'.' || name[2] == u'?') && isSeparator(name[3]);
    const bool objects = name[0] == u'\\' && name[1] == u'?' && name[2] == u'?' && name[3] == u'\\';
    if (!device && !objects)
        return false;
    const bool literal = name.substr(0, 4) == Name(u"\\\\?\\");
    const Name rest = name.substr(4);
    const bool drive =
        rest.size() >= 3 && isDriveLetter(rest[0]) && rest[1] == u':' && rest[2] == u'\\';
    const bool share =
        rest.size() >= 4 && equalIgnoringCase(rest.substr(0, 3), u"UNC") && rest[3] == u'\\';
    return !(literal && (drive || share));
}

// A device name as the last part of a path, which names the device in any
// folder: "CON", "PRN", "AUX", "NUL", "COM0" to "COM9" and "LPT0" to "LPT9"
// (also with the digits 1 to 3 written small), "CONIN$", "CONOUT$" and
// "CLOCK$", in any case, whatever follows from a "." or ":" on and with any
// spaces before that: "nul.txt", "C:\Music\com1 .wav" and "C:con" are devices.
bool isDeviceName(Name name) {
    size_t start = name.find_last_of(u"\\/");
    start = start == Name::npos ? 0 : start + 1;
    if (start == 0 && name.size() >= 2 && isDriveLetter(name[0]) && name[1] == u':')
        start = 2;
    Name base = name.substr(start);
    base = base.substr(0, base.find_first_of(u".:"));
    while (!base.empty() && base.back() == u' ')
        base.remove_suffix(1);
    for (const Name device : {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$", u"CLOCK$"})
        if (equalIgnoringCase(base, device))
            return true;
    if (base.size() != 4 || !(equalIgnoringCase(base.substr(0, 3), u"COM") ||
                              equalIgnoringCase(base.substr(0, 3), u"LPT")))
        return false;
    const char16_t number = base[3];
    return (number >= u'0' && number <= u'9') || number == u'\u00B9' || number == u'\u00B2' ||
           number == u'\u00B3';
}

} // namespace

FileHandle openFileForReading(const std::filesystem::path& path) {
    // What the name shows to be no disk file is refused before it is opened:
    // opening a pipe connects to its server, opening a device acts on it.
    const Name name(reinterpret_cast<const char16_t*>(path.c_str()), path.native().size());
    if (inDeviceNamespace(name) || isDeviceName(name))
        return nullptr;
    // Opening neither waits nor lets a pipe server act as this process (should
    // a link lead to a pipe after all); what opened is judged by its handle.
    // A folder does not open without backup semantics.
    const HANDLE handle = CreateFileW(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL | SECURITY_SQOS_PRESENT | SECURITY_ANONYMOUS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return nullptr;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool diskFile = GetFileType(handle) == FILE_TYPE_DISK &&
                          GetFileInformationByHandle(handle, &info) &&
                          !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    const int descriptor =
        diskFile ? _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY) : -1;
    if (descriptor < 0) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* const file = _fdopen(descriptor, "rb");
    if (!file)
        _close(descriptor); // and the handle with it
    return FileHandle(file);
}

uintmax_t reportedSizeOf(std::FILE* file) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    LARGE_INTEGER size{};
    return handle != INVALID_HANDLE_VALUE && GetFileSizeEx(handle, &size) && size.QuadPart > 0
               ? uintmax_t(size.QuadPart)
               : 0;
}

} // namespace platform
