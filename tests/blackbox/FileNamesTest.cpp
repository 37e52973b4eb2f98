// SplitFName and AppendFName through the export: the Windows path rules on
// both builds.
#include "LibraryFixture.h"
#include "tests/AsciiText.h"
#include "tests/WindowsPathCases.h"

using namespace testhost;

namespace {

using FileNames = blackbox::LibraryTest;

using windowspathcases::AppendCase;
using windowspathcases::appendCases;
using windowspathcases::SplitCase;
using windowspathcases::splitCases;

TEST_F(FileNames, SplitSendsTheFolderThenTheFileName) {
    for (const SplitCase& c : splitCases) {
        SCOPED_TRACE(narrowToAscii(c.path));
        host.sent.clear();
        GuiModule module = make(u"SplitFName");
        module.set(0, std::u16string(c.path));
        // A fresh module holds empty texts: only non-empty parts are sent.
        std::vector<std::pair<int32_t, std::u16string>> expected;
        if (*c.folder)
            expected.emplace_back(1, c.folder);
        if (*c.fileName)
            expected.emplace_back(2, c.fileName);
        std::vector<std::pair<int32_t, std::u16string>> sent;
        for (const SentValue& value : host.sent)
            sent.emplace_back(value.pinId, value.asText());
        EXPECT_EQ(sent, expected);
    }
}

TEST_F(FileNames, SplitSendsOnlyThePartsThatChange) {
    GuiModule module = make(u"SplitFName");
    module.set(0, std::u16string(u"C:\\dir\\a.wav"));
    module.set(0, std::u16string(u"C:\\dir\\b.wav"));
    module.set(0, std::u16string(u"C:\\dir\\"));
    module.set(0, std::u16string(u"C:\\dir\\"));
    ASSERT_EQ(host.sent.size(), 4u);
    EXPECT_EQ(host.sent[2].pinId, 2);
    EXPECT_EQ(host.sent[2].asText(), u"b.wav");
    EXPECT_EQ(host.sent[3].pinId, 2);
    EXPECT_EQ(host.sent[3].asText(), u"");
}

TEST_F(FileNames, AppendJoinsAsWindowsPaths) {
    for (const AppendCase& c : appendCases) {
        SCOPED_TRACE(narrowToAscii(c.folder) + " + " + narrowToAscii(c.name));
        host.sent.clear();
        GuiModule module = make(u"AppendFName");
        module.receive(0, bytesOf(std::u16string(c.folder)));
        module.set(1, std::u16string(c.name));
        // A fresh module holds an empty text: an empty result is not sent.
        if (!*c.result) {
            EXPECT_TRUE(host.sent.empty());
            continue;
        }
        ASSERT_EQ(host.sent.size(), 1u);
        EXPECT_EQ(host.sent[0].pinId, 2);
        EXPECT_EQ(narrowToAscii(host.sent[0].asText()), narrowToAscii(c.result));
    }
}

TEST_F(FileNames, AppendRecomputesOnEitherInput) {
    GuiModule module = make(u"AppendFName");
    module.set(0, std::u16string(u""));
    module.set(1, std::u16string(u""));
    EXPECT_TRUE(host.sent.empty()) << "both empty: the empty result is held already";
    module.set(0, std::u16string(u"C:\\dir"));
    module.set(1, std::u16string(u"song.wav"));
    module.set(0, std::u16string(u"D:"));
    module.set(0, std::u16string(u"D:"));
    ASSERT_EQ(host.sent.size(), 3u);
    EXPECT_EQ(host.sent[0].asText(), u"C:\\dir");
    EXPECT_EQ(host.sent[1].asText(), u"C:\\dir\\song.wav");
    EXPECT_EQ(host.sent[2].asText(), u"D:song.wav");
}

} // namespace
