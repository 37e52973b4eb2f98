// The conversions between 16-bit file names and file-system paths, and
// opening files for reading.
#include "platform/FileSystem.h"
#include "tests/AsciiText.h"
#include "tests/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

using platform::pathFromText;
using platform::textFromPath;

TEST(FileSystem, AZeroUnitNamesNoFile) {
    EXPECT_FALSE(pathFromText(std::u16string(u"a\0b", 3)));
    EXPECT_FALSE(pathFromText(std::u16string(1, u'\0')));
    ASSERT_TRUE(pathFromText(u""));
    EXPECT_TRUE(pathFromText(u"")->empty());
}

TEST(FileSystem, TextSurvivesTheRoundTrip) {
    const std::u16string names[] = {u"plain.txt", u"caf\u00E9", u"\u65E5\u672C\u8A9E",
                                    u"pair \U0001F600", u"\uFFFD\uFFFF"};
    for (const std::u16string& name : names) {
        const auto path = pathFromText(name);
        ASSERT_TRUE(path);
        EXPECT_EQ(textFromPath(*path), name);
    }
}

#ifdef _WIN32
TEST(FileSystem, WindowsNamesAreTheWideTextItself) {
    const std::u16string name = u"C:\\Music/sub\\\xD800lone";
    const auto path = pathFromText(name);
    ASSERT_TRUE(path);
    ASSERT_EQ(path->native().size(), name.size());
    for (size_t i = 0; i < name.size(); ++i)
        EXPECT_EQ(char16_t(path->native()[i]), name[i]);
    EXPECT_EQ(textFromPath(*path), name);
}
#else
TEST(FileSystem, LinuxNamesAreUtf8) {
    EXPECT_EQ(pathFromText(u"caf\u00E9 \U0001F600")->native(), "caf\xC3\xA9 \xF0\x9F\x98\x80");
    // A surrogate without its partner has no UTF-8 form.
    for (const std::u16string name : {u"a\xD800", u"\xDC00z", u"\xD800\xD800\xDC00"})
        EXPECT_FALSE(pathFromText(name));
}

TEST(FileSystem, BadUtf8IsShownWithReplacementCharacters) {
    struct Case {
        std::string bytes;
        std::u16string text;
    };
    const Case cases[] = {
        {"\xFF", u"\uFFFD"},
        {"a\x80z", u"a\uFFFDz"},
        {"\xC3", u"\uFFFD"},                               // cut short at the end
        {"\xE6\x97z", u"\uFFFDz"},                         // one replacement for the valid prefix
        {"\xC0\xAF", u"\uFFFD\uFFFD"},                     // overlong
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},           // an encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"}, // above U+10FFFF
        {"\xF0\x9F\x98\x80", u"\U0001F600"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(textFromPath(std::filesystem::path(c.bytes)), c.text);
}
#endif

namespace fs = std::filesystem;
using platform::openFileForReading;

// Everything the file holds, read through the handle.
std::string readAll(std::FILE* file) {
    std::string bytes;
    char block[4096];
    while (const size_t got = std::fread(block, 1, sizeof block, file))
        bytes.append(block, got);
    return bytes;
}

TEST(FileSystem, ARegularFileOpensWithTheSizeTheSystemReports) {
    testfiles::TempFolder temp;
    const fs::path file = temp.file("bytes.bin", std::string("a\r\n\0z", 5));
    const platform::FileHandle opened = openFileForReading(file);
    ASSERT_TRUE(opened);
    EXPECT_EQ(platform::reportedSizeOf(opened.get()), 5u);
    EXPECT_EQ(readAll(opened.get()), std::string("a\r\n\0z", 5));
    // A folder is not a file.
    EXPECT_FALSE(openFileForReading(temp.folder("folder")));
    EXPECT_FALSE(openFileForReading(temp.path() / "missing"));
}

#ifndef _WIN32
// The cases that could wait have "Promptly" in their names, which gives
// them a short ctest timeout as their bound.
TEST(FileSystem, OnlyRegularFilesOpenPromptly) {
    testfiles::TempFolder temp;
    const fs::path fifo = temp.path() / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const fs::path file = temp.file("file.txt", "text");
    fs::create_symlink(file, temp.path() / "link to file");
    fs::create_symlink(fifo, temp.path() / "link to fifo");
    for (const fs::path& refused : {fifo, temp.path() / "link to fifo", fs::path("/dev/zero"),
                                    fs::path("/dev/null"), fs::path("/dev/urandom")})
        EXPECT_FALSE(openFileForReading(refused)) << refused;
    // A link to a file opens the file, which is read as any other: the
    // descriptor no longer refuses to wait.
    const platform::FileHandle linked = openFileForReading(temp.path() / "link to file");
    ASSERT_TRUE(linked);
    EXPECT_EQ(fcntl(fileno(linked.get()), F_GETFL) & O_NONBLOCK, 0);
    EXPECT_EQ(readAll(linked.get()), "text");
    // A system file that reports no size still opens and is read whole.
    const platform::FileHandle unsized = openFileForReading("/proc/self/cmdline");
    ASSERT_TRUE(unsized);
    EXPECT_EQ(platform::reportedSizeOf(unsized.get()), 0u);
    EXPECT_FALSE(readAll(unsized.get()).empty());
}
#else
TEST(FileSystem, DeviceNamesAndDeviceNamespacesDoNotOpenPromptly) {
    testfiles::TempFolder temp;
    const std::u16string folder = testfiles::nameOf(temp.path()) + u"\\";
    const std::u16string names[] = {
        u"NUL",
        u"nul",
        u"CON",
        u"con.txt",
        u"AUX",
        u"PRN.wav",
        u"COM1",
        u"com9.x",
        u"COM0",
        u"LPT1",
        u"Lpt5.tar.gz",
        u"COM\u00B2",
        u"LPT\u00B3",
        u"CONIN$",
        u"CONOUT$",
        u"CLOCK$",
        u"NUL:",
        u"NUL .txt",
        u"NUL.",
        u"C:NUL",
        u"c:com1",
        folder + u"NUL",
        folder + u"aux.txt",
        u"C:/Windows/con",
        u"\\\\.\\NUL",
        u"\\\\.\\pipe\\anything",
        u"\\\\?\\pipe\\anything",
        u"//./pipe/anything",
        u"\\\\.\\C:",
        u"\\\\?\\C:",
        u"\\\\.\\PhysicalDrive0",
        u"\\\\?\\GLOBALROOT\\Device\\Null",
        u"\\??\\NUL",
        u"\\\\?\\Volume{00000000-0000-0000-0000-000000000000}\\file.txt",
        u"\\\\.\\" + folder + u"x.txt",
        u"\\\\?\\C:/x.txt"};
    for (const std::u16string& name : names)
        EXPECT_FALSE(openFileForReading(*platform::pathFromText(name))) << narrowToAscii(name);
    // Under wine, drive Z: holds the host system's devices and FIFOs, which
    // only the opened handle shows not to be files on disk.
    std::error_code error;
    if (fs::is_directory("Z:\\dev", error)) {
        for (const char* device : {"Z:\\dev\\zero", "Z:\\dev\\null", "Z:\\dev\\urandom"})
            EXPECT_FALSE(openFileForReading(device)) << device;
    }
}

TEST(FileSystem, NamesThatOnlyResembleDevicesOpen) {
    testfiles::TempFolder temp;
    std::vector<fs::path> files;
    for (const char* name :
         {"icon.txt", "CONSOLE", "COM10", "lpt.txt", "nul_", "CONIN.txt", "com1x.wav", "pipe"})
        files.push_back(temp.file(name, name));
    // The literal form of a path on a drive.
    files.push_back(u"\\\\?\\" + fs::absolute(temp.file("literal.txt", "x")).u16string());
    for (const fs::path& file : files)
        EXPECT_TRUE(openFileForReading(file)) << file;
}
#endif

} // namespace
