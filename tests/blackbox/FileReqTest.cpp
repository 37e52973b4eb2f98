// FileReq with the test host's file dialog, through the export.
#include "LibraryFixture.h"
#include "LongItemLists.h"
#include "host/FilePicker.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

using namespace testhost;

namespace {

enum Pin { FileName = 0, FileTypes = 1, SaveMode = 2, Open = 3, Done = 4 };

using StringPairs = std::vector<std::pair<std::string, std::string>>;

class FileReqTest : public blackbox::LibraryTest {
protected:
    FileReqTest() { picker.serve(host); }
    void TearDown() override {
        EXPECT_EQ(picker.references(), 0) << "the picker was not released";
        LibraryTest::TearDown();
    }
    static void open(GuiModule& module) {
        module.set(Open, true);
        module.set(Open, false);
    }
    std::vector<int32_t> pinsSent() const {
        std::vector<int32_t> pins;
        for (const SentValue& value : host.sent)
            pins.push_back(value.pinId);
        return pins;
    }
    // Pin 0's new text, then the done pulse.
    void expectChosen(const std::u16string& text) const {
        ASSERT_EQ(pinsSent(), (std::vector<int32_t>{FileName, Done, Done}));
        EXPECT_EQ(host.sent[0].asText(), text);
        EXPECT_TRUE(host.sent[1].asBool());
        EXPECT_FALSE(host.sent[2].asBool());
    }

    FilePicker picker;
};

TEST_F(FileReqTest, OpensOnAFallingTriggerOnly) {
    picker.result = 1; // cancelled: nothing is sent
    const std::vector<std::vector<bool>> reports = {{true, false},
                                                    {false},
                                                    {true, true, false},
                                                    {true, false, false},
                                                    {true, false, true, false}};
    const int32_t dialogs[] = {1, 0, 1, 1, 2};
    for (size_t i = 0; i < reports.size(); ++i) {
        SCOPED_TRACE(i);
        FilePicker counted;
        counted.serve(host);
        counted.result = 1;
        GuiModule module = make(u"FileReq");
        for (const bool value : reports[i])
            module.set(Open, value);
        EXPECT_EQ(counted.shows, dialogs[i]);
        module.reset();
        EXPECT_EQ(counted.references(), 0);
    }
    EXPECT_TRUE(host.sent.empty());
    picker.serve(host);
}

TEST_F(FileReqTest, SaveModeChoosesTheDialog) {
    GuiModule module = make(u"FileReq");
    picker.result = 1;
    open(module);
    module.set(SaveMode, true);
    open(module);
    EXPECT_EQ(picker.modes, (std::vector<int32_t>{0, 1}));
}

struct PresetCase {
    std::u16string fileName;
    std::string name;
    std::optional<std::string> folder;
};

class Presets : public FileReqTest, public ::testing::WithParamInterface<PresetCase> {};

TEST_P(Presets, ComeFromTheFileNamePin) {
    const PresetCase& c = GetParam();
    picker.result = 1;
    GuiModule module = make(u"FileReq");
    module.set(FileName, c.fileName);
    open(module);
    EXPECT_EQ(picker.presetNames, std::vector<std::string>{c.name});
    EXPECT_EQ(picker.presetFolders,
              c.folder ? std::vector<std::string>{*c.folder} : std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Names, Presets,
    ::testing::Values(PresetCase{u"C:\\Music\\take.wav", "take.wav", "C:\\Music"},
                      // The last backslash decides over any "/".
                      PresetCase{u"C:\\Music/sub/take.wav", "Music/sub/take.wav", "C:"},
                      PresetCase{u"samples/take.wav", "take.wav", "samples"},
                      PresetCase{u"take.wav", "take.wav", std::nullopt},
                      PresetCase{u"", "", std::nullopt}, PresetCase{u"\\", "", ""},
                      PresetCase{u"D:\\M\u00FCsik\\\u65E5.wav", "\xE6\x97\xA5.wav",
                                 "D:\\M\xC3\xBCsik"}));

TEST_F(FileReqTest, OffersTheFileTypesOfTheList) {
    struct Case {
        std::u16string list;
        StringPairs types;
    };
    const Case cases[] = {
        {u"", {{"*", ""}}},
        {u"wav,mid", {{"wav", ""}, {"mid", ""}}},
        {u"wav=1,mid=2", {{"wav", ""}, {"mid", ""}}},
        {u" aif ", {{"aif", ""}}},
        {u"\u00E9", {{"\xC3\xA9", ""}}},
    };
    picker.result = 1;
    GuiModule module = make(u"FileReq");
    for (const Case& c : cases) {
        picker.fileTypes.clear();
        module.set(FileTypes, c.list);
        open(module);
        EXPECT_EQ(picker.fileTypes, c.types);
    }
}

TEST_F(FileReqTest, OffersAtMostTheFirst65536FileTypesOfAList) {
    picker.result = 1;
    GuiModule module = make(u"FileReq");
    for (const blackbox::LongListCase& c : blackbox::longListCases()) {
        SCOPED_TRACE(c.what);
        picker.fileTypes.clear();
        module.set(FileTypes, c.list);
        open(module);
        ASSERT_EQ(picker.fileTypes.size(), size_t(c.offered));
        EXPECT_EQ(picker.fileTypes.front(), (std::pair<std::string, std::string>{c.firstText, ""}));
        EXPECT_EQ(picker.fileTypes.back(), (std::pair<std::string, std::string>{c.lastText, ""}));
        if (c.separatorAt >= 0) {
            EXPECT_EQ(picker.fileTypes.at(size_t(c.separatorAt)).first, "----");
        }
    }
}

struct ChoiceCase {
    std::string path;
    std::string enrolPrefix;
    StringPairs enrolments;
    std::u16string fileName;
};

class Choices : public FileReqTest, public ::testing::WithParamInterface<ChoiceCase> {};

TEST_P(Choices, SetTheFileNameAndPulse) {
    const ChoiceCase& c = GetParam();
    picker.path = c.path;
    host.enrolPrefix = c.enrolPrefix;
    GuiModule module = make(u"FileReq");
    open(module);
    EXPECT_EQ(host.enrolments, c.enrolments);
    expectChosen(c.fileName);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, Choices,
    ::testing::Values(
        // The host confirms that the short name means the chosen file.
        ChoiceCase{"D:\\Kits\\kick.wav", "D:\\Kits\\", {{"kick.wav", "Audio"}}, u"kick.wav"},
        // It means another file: the full path stays.
        ChoiceCase{"D:\\Kits\\kick.wav", "E:\\", {{"kick.wav", "Audio"}}, u"D:\\Kits\\kick.wav"},
        ChoiceCase{"/lib/a.sf2", "/lib/", {{"a.sf2", "Instrument"}}, u"a.sf2"},
        ChoiceCase{"/lib/b.sfz", "/lib/", {{"b.sfz", "Instrument"}}, u"b.sfz"},
        // The short name is what follows the last backslash.
        ChoiceCase{"C:\\p/x.png", "C:\\", {{"p/x.png", "Image"}}, u"p/x.png"},
        ChoiceCase{"y.bmp", "", {{"y.bmp", "Image"}}, u"y.bmp"},
        ChoiceCase{"C:\\z.jpg", "C:\\", {{"z.jpg", "Image"}}, u"z.jpg"},
        ChoiceCase{"C:\\song.mid", "C:\\", {{"song.mid", "MIDI"}}, u"song.mid"},
        // No kind: no enrolment, the full path.
        ChoiceCase{"D:\\Kits\\KICK.WAV", "D:\\Kits\\", {}, u"D:\\Kits\\KICK.WAV"},
        ChoiceCase{"D:\\Kits\\notes.txt", "D:\\Kits\\", {}, u"D:\\Kits\\notes.txt"},
        ChoiceCase{"D:\\Kits.old\\kick", "D:\\Kits.old\\", {}, u"D:\\Kits.old\\kick"},
        ChoiceCase{"D:\\Kits\\kick.", "D:\\Kits\\", {}, u"D:\\Kits\\kick."},
        ChoiceCase{"C:\\M\xC3\xBCsik\\\xE6\x97\xA5.txt", "", {}, u"C:\\M\u00FCsik\\\u65E5.txt"}));

TEST_F(FileReqTest, CancellingSendsNothing) {
    picker.result = 1;
    GuiModule module = make(u"FileReq");
    open(module);
    EXPECT_EQ(picker.shows, 1);
    EXPECT_EQ(picker.pathReads, 0);
    EXPECT_TRUE(host.sent.empty());
}

TEST_F(FileReqTest, ChoosingTheNamedFileAgainStillPulses) {
    picker.path = "C:\\a.txt";
    GuiModule module = make(u"FileReq");
    module.set(FileName, u"C:\\a.txt");
    open(module);
    EXPECT_EQ(pinsSent(), (std::vector<int32_t>{Done, Done}));
}

TEST_F(FileReqTest, ASecondOpenWhileADialogIsOpenIsRefused) {
    picker.finishInside = false;
    picker.path = "C:\\first.txt";
    GuiModule module = make(u"FileReq");
    open(module);
    ASSERT_TRUE(picker.open());
    open(module);
    open(module);
    EXPECT_EQ(picker.shows, 1);
    EXPECT_EQ(host.pickerRequests.size(), 1u);
    EXPECT_TRUE(host.sent.empty());
    // The first dialog goes on and ends as usual.
    EXPECT_TRUE(picker.finish(0));
    expectChosen(u"C:\\first.txt");
    // Then a new one opens.
    open(module);
    EXPECT_EQ(picker.shows, 2);
    EXPECT_TRUE(picker.finish(1));
}

TEST_F(FileReqTest, ThePickerIsReleasedOnEveryWayOut) {
    struct Way {
        const char* what;
        std::u16string fileName;
        std::u16string fileTypes;
        int32_t result;
        std::string path;
    };
    const Way ways[] = {
        {"chosen", u"", u"", 0, "C:\\a.txt"},
        {"cancelled", u"", u"", 1, ""},
        {"file name with a surrogate", u"C:\\\xD800.txt", u"", 0, "C:\\a.txt"},
        {"file type with a surrogate", u"", u"wav,\xDBFF", 0, "C:\\a.txt"},
        {"file types that cannot be read", u"", u"range", 0, "C:\\a.txt"},
        {"chosen path that is not UTF-8", u"", u"", 0, "C:\\\xFF.txt"},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.what);
        GuiModule module = make(u"FileReq");
        module.set(FileName, way.fileName);
        module.set(FileTypes, way.fileTypes);
        picker.result = way.result;
        picker.path = way.path;
        open(module);
        EXPECT_EQ(picker.references(), 0);
        // A later dialog opens again.
        module.set(FileName, u"");
        module.set(FileTypes, u"");
        picker.result = 1;
        const int32_t shows = picker.shows;
        open(module);
        EXPECT_EQ(picker.shows, shows + 1);
        EXPECT_EQ(picker.references(), 0);
    }
}

TEST_F(FileReqTest, APathThatIsNoPinTextChangesNothing) {
    for (const char* path :
         {"C:\\\xFF.wav", "C:\\\xF0\x9F\x98\x80.wav", "C:\\\xED\xA0\x80.txt", "C:\\\xC3"}) {
        picker.path = path;
        GuiModule module = make(u"FileReq");
        module.receive(FileName, bytesOf(u"kept"));
        open(module);
    }
    EXPECT_TRUE(host.sent.empty());
}

TEST_F(FileReqTest, WithoutADialogNothingOpens) {
    {
        GuiModule unattached = make(u"FileReq", false);
        open(unattached);
    }
    host.offer(HostInterface::Dialog, false);
    {
        GuiModule module = make(u"FileReq");
        open(module);
    }
    EXPECT_TRUE(host.pickerRequests.empty());
    host.offer(HostInterface::Dialog, true);
    host.makeFilePicker = nullptr; // the host makes no picker
    GuiModule module = make(u"FileReq");
    open(module);
    EXPECT_EQ(host.pickerRequests.size(), 1u);
    EXPECT_EQ(picker.shows, 0);
    EXPECT_TRUE(host.sent.empty());
}

// A dialog that does its own counting with the callback it is given.
class KeepingPicker final : public IFilePicker {
public:
    int32_t queryInterface(const InterfaceId&, void** out) override {
        *out = nullptr;
        return ResultUnsupported;
    }
    int32_t addRef() override { return ++refs; }
    int32_t release() override { return --refs; }
    int32_t addFileType(const char*, const char*) override {
        if (onAddFileType)
            onAddFileType();
        return ResultSuccess;
    }
    int32_t presetFileName(const char*) override { return ResultSuccess; }
    int32_t presetFolder(const char*) override { return ResultSuccess; }
    int32_t showPicker(gmpi_gui::ICompletionCallback* done) override {
        callback = done;
        ++shows;
        return showAnswer;
    }
    int32_t pickedPath(gmpi::IString* path) override {
        path->assignBytes("C:\\k.txt", 8);
        return ResultSuccess;
    }
    gmpi_gui::ICompletionCallback* callback = nullptr;
    int32_t showAnswer = ResultSuccess;
    int32_t refs = 0;
    int32_t shows = 0;
    std::function<void()> onAddFileType;
};

TEST_F(FileReqTest, TheCallbackCountsTheHostsReferencesAndIsNeverDeleted) {
    KeepingPicker keeping;
    host.makeFilePicker = [&](int32_t) -> IFilePicker* {
        keeping.addRef();
        return &keeping;
    };
    GuiModule module = make(u"FileReq");
    open(module);
    ASSERT_NE(keeping.callback, nullptr);
    // The host keeps a reference across two dialogs: the count goes on.
    EXPECT_EQ(keeping.callback->addRef(), 2);
    keeping.callback->onFinished(1);
    open(module);
    EXPECT_EQ(keeping.callback->addRef(), 3);
    // A host that releases more than it took does not delete the module's part.
    for (int i = 0; i < 5; ++i)
        keeping.callback->release();
    keeping.callback->onFinished(0);
    expectChosen(u"C:\\k.txt");
    // A completion while no dialog is open does nothing.
    keeping.callback->onFinished(0);
    keeping.callback->onFinished(1);
    EXPECT_EQ(host.sent.size(), 3u);
    void* asked = nullptr;
    EXPECT_EQ(keeping.callback->queryInterface(iidOf<gmpi_gui::ICompletionCallback>(), &asked),
              ResultSuccess);
    EXPECT_EQ(asked, keeping.callback);
    keeping.callback->release();
    module.reset();
    EXPECT_EQ(keeping.refs, 0);
}

TEST_F(FileReqTest, AModuleDestroyedWithItsDialogOpenReleasesThePicker) {
    KeepingPicker keeping; // keeps only a plain pointer to the callback
    host.makeFilePicker = [&](int32_t) -> IFilePicker* {
        keeping.addRef();
        return &keeping;
    };
    GuiModule module = make(u"FileReq");
    open(module);
    EXPECT_EQ(keeping.refs, 1);
    module.reset();
    EXPECT_EQ(keeping.refs, 0);
}

TEST_F(FileReqTest, ADialogTheHostCannotShowIsGivenUp) {
    KeepingPicker keeping;
    keeping.showAnswer = ResultFailure;
    host.makeFilePicker = [&](int32_t) -> IFilePicker* {
        keeping.addRef();
        return &keeping;
    };
    GuiModule module = make(u"FileReq");
    open(module);
    EXPECT_EQ(keeping.refs, 0);
    open(module);
    EXPECT_EQ(host.pickerRequests.size(), 2u);
    keeping.callback->onFinished(0); // too late: nothing happens
    EXPECT_TRUE(host.sent.empty());
}

TEST_F(FileReqTest, AnEarlierDialogsCompletionDuringTheNextOnesSetUpIsIgnored) {
    KeepingPicker keeping; // keeps the callback of the first dialog
    host.makeFilePicker = [&](int32_t) -> IFilePicker* {
        keeping.addRef();
        return &keeping;
    };
    GuiModule module = make(u"FileReq");
    module.set(FileTypes, std::u16string(u"wav,mid"));
    open(module);
    ASSERT_NE(keeping.callback, nullptr);
    keeping.callback->onFinished(1);
    EXPECT_EQ(keeping.refs, 0);

    // While the next dialog is being set up, the host calls the callback it
    // still has, as if the first had ended again.
    gmpi_gui::ICompletionCallback* const earlier = keeping.callback;
    keeping.onAddFileType = [&] { earlier->onFinished(1); };
    open(module);
    keeping.onAddFileType = nullptr;
    EXPECT_EQ(keeping.shows, 2); // the new dialog is shown all the same
    EXPECT_EQ(keeping.refs, 1);
    keeping.callback->onFinished(0);
    expectChosen(u"C:\\k.txt");
    EXPECT_EQ(keeping.refs, 0);
}

TEST_F(FileReqTest, ADialogOpenedFromInsideTheDoneSendIsANewOne) {
    picker.path = "C:\\a.txt";
    GuiModule module = make(u"FileReq");
    int reopened = 0;
    host.onAccept = [&](const SentValue& value) {
        if (value.pinId == Done && value.asBool() && reopened++ == 0) {
            picker.path = "C:\\b.txt";
            open(module);
        }
    };
    open(module);
    EXPECT_EQ(picker.shows, 2);
    // The inner pulse finds the done pin true already and only lowers it.
    ASSERT_EQ(pinsSent(), (std::vector<int32_t>{FileName, Done, FileName, Done}));
    EXPECT_EQ(host.sent[2].asText(), u"C:\\b.txt");
    EXPECT_TRUE(host.sent[1].asBool());
    EXPECT_FALSE(host.sent[3].asBool());
    host.onAccept = nullptr;
}

} // namespace
