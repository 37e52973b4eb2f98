// Windows path splitting and joining on the text alone, the same on both builds.
#include "framework/WindowsPath.h"
#include "tests/AsciiText.h"
#include "tests/WindowsPathCases.h"

#include <gtest/gtest.h>

namespace {

using windowspathcases::AppendCase;
using windowspathcases::appendCases;
using windowspathcases::SplitCase;
using windowspathcases::splitCases;

TEST(WindowsPath, SplitsIntoFolderAndFileName) {
    for (const SplitCase& c : splitCases) {
        SCOPED_TRACE(narrowToAscii(c.path));
        EXPECT_EQ(narrowToAscii(winpath::parentPath(c.path)), narrowToAscii(c.folder));
        EXPECT_EQ(narrowToAscii(winpath::fileName(c.path)), narrowToAscii(c.fileName));
    }
}

TEST(WindowsPath, AppendsAsTheWindowsPathOperator) {
    for (const AppendCase& c : appendCases) {
        SCOPED_TRACE(narrowToAscii(c.folder) + " + " + narrowToAscii(c.name));
        EXPECT_EQ(narrowToAscii(winpath::appendPath(c.folder, c.name)), narrowToAscii(c.result));
    }
}

TEST(WindowsPath, LaysOutRootNameDirectoryAndRelativePart) {
    const winpath::PathLayout unc = winpath::layoutOf(u"//server//share");
    EXPECT_EQ(unc.rootNameEnd, 8u);
    EXPECT_EQ(unc.rootDirectoryEnd, 9u);
    EXPECT_EQ(unc.relativeStart, 10u);
    const winpath::PathLayout drive = winpath::layoutOf(u"C:x");
    EXPECT_TRUE(drive.hasRootName());
    EXPECT_FALSE(drive.hasRootDirectory());
    EXPECT_EQ(drive.relativeStart, 2u);
    const winpath::PathLayout rooted = winpath::layoutOf(u"///x");
    EXPECT_FALSE(rooted.hasRootName());
    EXPECT_TRUE(rooted.hasRootDirectory());
    EXPECT_EQ(rooted.relativeStart, 3u);
}

} // namespace
