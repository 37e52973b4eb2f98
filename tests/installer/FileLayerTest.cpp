// The installer's file layer of each build on its own: paths that name
// nothing, and (Linux) names that are not UTF-8.
#include "InstallerFixture.h"

#ifndef _WIN32
#include "installer/linux/PosixFileSystem.h"
#endif

using installer::Form1;
using installer::Outcome;

namespace installertest {
namespace {

// The text of a path with a zero and more after it: the system would read
// only the path before the zero.
std::u16string cutShort(const fs::path& path, const std::u16string& after = u"more") {
    return nameOf(path) + std::u16string(1, u'\0') + separator + after;
}

TEST(FileLayer, APathHoldingAZeroNamesNothing) {
    TempFolder temp;
    const fs::path file = temp.file("file.txt", "the user's file");
    const fs::path folder = temp.folder("folder");
    temp.file("folder/inside.txt", "inside");
    installer::FileSystem& files = realFileSystem();

    EXPECT_FALSE(files.isNormalFile(cutShort(file)));
    EXPECT_FALSE(files.exists(cutShort(file)));
    EXPECT_FALSE(files.exists(cutShort(folder)));
    EXPECT_FALSE(files.isFolder(cutShort(folder)));
    EXPECT_FALSE(files.makeFolder(cutShort(temp.path() / "made")));
    EXPECT_FALSE(files.copyFile(nameOf(file), cutShort(temp.path() / "copy.txt")));
    EXPECT_FALSE(files.copyFile(nameOf(file), cutShort(folder / "inside.txt")));
    EXPECT_FALSE(files.copyFile(cutShort(file), nameOf(temp.path() / "copy.txt")));
    EXPECT_EQ(files.readFile(cutShort(file)), std::nullopt);
    EXPECT_EQ(files.listFiles(cutShort(folder)), std::nullopt);

    EXPECT_EQ(folderNames(temp.path()), (std::vector<std::string>{"file.txt", "folder"}));
    EXPECT_EQ(readBytes(file), "the user's file");
    EXPECT_EQ(readBytes(folder / "inside.txt"), "inside");

    // The same paths without the zero do name something.
    EXPECT_TRUE(files.isNormalFile(nameOf(file)));
    EXPECT_TRUE(files.isFolder(nameOf(folder)));
    EXPECT_FALSE(files.isFolder(nameOf(file)));
    EXPECT_EQ(files.readFile(nameOf(file)), "the user's file");
}

#ifndef _WIN32
// ---- Names that are not UTF-8 (Linux) ---------------------------------------

TEST(FileLayer, ANamesTextNamesItsOwnBytesAgain) {
    struct Case {
        std::string bytes;
        std::u16string text;
    };
    const Case cases[] = {
        {"plain.sem", u"plain.sem"},
        {"caf\xC3\xA9 \xF0\x9D\x84\x9E", u"caf\u00E9 \U0001D11E"},
        {"M\xFAsica.txt", u"M\xDCFAsica.txt"},         // a Latin-1 byte
        {"\xFF\xFE", u"\xDCFF\xDCFE"},                 // never in UTF-8
        {"a\xE4\xB8.b", u"a\xDCE4\xDCB8.b"},           // cut short
        {"\xED\xB2\x80", u"\xDCED\xDCB2\xDC80"},       // an encoded surrogate
        {"\xC0\xAF\xC3\xA9", u"\xDCC0\xDCAF\u00E9"},   // overlong, then UTF-8
        {"\xF0\x9D\x84\x9E\x80", u"\U0001D11E\xDC80"}, // a pair, then a lone byte
    };
    for (const Case& c : cases) {
        EXPECT_EQ(installer::textOfName(c.bytes), c.text) << c.bytes;
        EXPECT_EQ(installer::nameOfText(c.text), c.bytes) << c.bytes;
    }
    // Shown, each byte that is not UTF-8 is one U+FFFD.
    EXPECT_EQ(installer::toUtf8(installer::textOfName("M\xFAsica")), "M\xEF\xBF\xBDsica");
    // A text that no name decodes to names nothing.
    for (const std::u16string& text : {std::u16string(u"a\0b", 3), std::u16string(u"\xD834"),
                                       std::u16string(u"\xDC7F"), std::u16string(u"x\xDD00")})
        EXPECT_EQ(installer::nameOfText(text), std::nullopt);
}

// The names in a folder as bytes, sorted.
std::vector<std::string> byteNamesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().native());
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(InstallerTest, NamesThatAreNotUtf8AreCopiedUnderTheirOwnBytes) {
    const std::vector<std::string> shipped{"M\xFAsica.txt", "a\xE4\xB8.b", "ok.sem",
                                           "\xFF\xFE.sem"};
    for (const std::string& name : shipped)
        writeBytes(vstfiles() / name, "new " + name);
    // An earlier install of one of them is replaced.
    const fs::path product = plugins / "QUORVST12";
    fs::create_directories(product);
    writeBytes(product / "M\xFAsica.txt", "old");

    std::vector<std::u16string> log;
    ui.user = [&](Form1& form) {
        form.Command1_Click();
        log = form.log();
    };
    EXPECT_EQ(run(), Outcome::Installed);
    EXPECT_EQ(byteNamesIn(product), shipped);
    for (const std::string& name : shipped)
        EXPECT_EQ(readBytes(product / name), "new " + name) << name;
    EXPECT_EQ(log, (std::vector<std::u16string>{u"Inicio", u"dir vst", u"dir vst 2",
                                                u"Copy a\xDCE4\xDCB8.b", u"Copy M\xDCFAsica.txt",
                                                u"Copy ok.sem", u"Copy \xDCFF\xDCFE.sem"}));
}

TEST_F(InstallerTest, AProgramFolderWhoseNameIsNotUtf8IsFound) {
    const fs::path moved = temp.path() / "Programa \xE9";
    fs::rename(program(), moved);
    writeBytes(moved / "vstfiles" / "a.sem", "a");
    ui.user = [](Form1& form) { form.Command1_Click(); };
    EXPECT_EQ(installer::Main(realFileSystem(), ui, installer::textOfName(moved.native())),
              Outcome::Installed);
    EXPECT_EQ(readBytes(plugins / "QUORVST12" / "a.sem"), "a");
}
#endif

} // namespace
} // namespace installertest
