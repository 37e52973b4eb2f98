// The installer's file layer of each build on its own: paths that name
// nothing.
#include "InstallerFixture.h"

namespace installertest {
namespace {

const std::u16string separator(1, installer::pathSeparator);

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

} // namespace
} // namespace installertest
