// The test host's hooks that let a test call back into a module from inside
// any host operation: each operation runs its hook once, after it has done its
// work (so that what the module reads afterwards is what the hook left), and
// the result it gives is unchanged by the hook.
#include "framework/ComPtr.h"
#include "framework/MpString.h"
#include "host/AudioHost.h"
#include "host/DrawingContext.h"
#include "host/DrawingFactory.h"
#include "host/FilePicker.h"
#include "host/MenuItemSink.h"
#include "host/TestHost.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using gmpi_sdk::ComPtr;
using namespace testhost;

// Does nothing when the dialog ends.
class IgnoredCompletion final : public gmpi_gui::ICompletionCallback {
public:
    int32_t queryInterface(const InterfaceId&, void** out) override {
        *out = nullptr;
        return ResultUnsupported;
    }
    int32_t addRef() override { return 1; }
    int32_t release() override { return 1; }
    void onFinished(int32_t result) override { finished.push_back(result); }
    std::vector<int32_t> finished;
};

struct Hosts {
    Hosts() {
        factory.serve(host);
        picker.serve(host);
        host.addResource("knob.png", "Image", "skin/knob.png");
        host.addUriData("skin/knob.png", Bytes{'n', 'o', 't', ' ', 'a', 'p', 'n', 'g'});
        host.pinCount = 7;
        factory.families = {"Mono"};
        factory.offerFamilyList = true;
        hook = [this](HostCall call) {
            calls.push_back(call);
            seen.push_back(seeWork ? seeWork() : true);
        };
        host.onCall = hook;
        factory.onCall = hook;
        picker.onCall = hook;
        sink.onCall = hook;
    }
    ~Hosts() { host.graphics.drawingFactory = nullptr; }

    TestHost host;
    DrawingFactory factory;
    DrawingContext context{&factory};
    FilePicker picker;
    MenuItemSink sink;
    ComPtr<IOffscreenTarget> target;
    HostCallHook hook;
    std::vector<HostCall> calls;
    std::vector<bool> seen;        // what seeWork found at each hook
    std::function<bool()> seeWork; // whether the operation's work was done
};

TEST(HostCallHooks, EveryOperationRunsItsHookOnceAfterItsWork) {
    struct Case {
        HostCall call;
        int32_t expected; // the operation's result
        std::function<int32_t(Hosts&)> run;
        std::function<bool(Hosts&)> done; // the work, as the hook must find it
    };
    gmpi_sdk::MpString text;
    IgnoredCompletion completion;
    const Case cases[] = {
        {HostCall::AcceptPinValue, ResultSuccess,
         [](Hosts& h) {
             const int32_t v = 5;
             return h.host.guiHost()->acceptPinValue(3, 4, &v, 0);
         },
         [](Hosts& h) { return h.host.sent.size() == 1; }},
        {HostCall::AcceptPinValue, ResultSuccess,
         [](Hosts& h) { return h.host.legacyHost()->acceptPinValue(3, 0, nullptr, 0); },
         [](Hosts& h) { return h.host.sent.size() == 1; }},
        {HostCall::LookUpResource, ResultSuccess,
         [&text](Hosts& h) { return h.host.guiHost()->lookUpResource("knob.png", "Image", &text); },
         [&text](Hosts&) { return text.str() == "skin/knob.png"; }},
        {HostCall::LookUpResource, ResultFailure,
         [&text](Hosts& h) { return h.host.guiHost()->lookUpResource("none", "Image", &text); },
         [](Hosts& h) { return h.host.lookups.size() == 1; }},
        {HostCall::OpenUriStream, ResultSuccess,
         [](Hosts& h) {
             ComPtr<IUriStream> stream;
             return h.host.guiHost()->openUriStream("skin/knob.png", stream.put());
         },
         [](Hosts& h) { return h.host.openStreams() == 1; }},
        {HostCall::EnrolResourceName, ResultSuccess,
         [&text](Hosts& h) { return h.host.guiHost()->enrolResourceName("a.wav", "Audio", &text); },
         [&text](Hosts&) { return text.str() == "a.wav"; }},
        {HostCall::ResolveFileName, ResultSuccess,
         [](Hosts& h) {
             char16_t path[8] = {};
             return h.host.legacyHost()->resolveFileName(u"x", 8, path);
         },
         [](Hosts& h) { return h.host.resolvedNames.size() == 1; }},
        {HostCall::CountPins, ResultSuccess,
         [](Hosts& h) {
             int32_t count = 0;
             return h.host.legacyHost()->countPins(&count);
         },
         nullptr},
        {HostCall::CreateFilePicker, ResultSuccess,
         [](Hosts& h) {
             ComPtr<IDialogHost> dialogs = gmpi_sdk::queryInterfaceOf<IDialogHost>(h.host.object());
             ComPtr<IFilePicker> made;
             return dialogs->createFilePicker(FilePickerSave, made.put());
         },
         [](Hosts& h) { return h.picker.modes == std::vector<int32_t>{FilePickerSave}; }},
        {HostCall::AddFileType, ResultSuccess,
         [](Hosts& h) { return h.picker.addFileType("wav", "Sound"); },
         [](Hosts& h) { return h.picker.fileTypes.size() == 1; }},
        {HostCall::PresetFileName, ResultSuccess,
         [](Hosts& h) { return h.picker.presetFileName("a"); },
         [](Hosts& h) { return h.picker.presetNames.size() == 1; }},
        {HostCall::PresetFolder, ResultSuccess, [](Hosts& h) { return h.picker.presetFolder("b"); },
         [](Hosts& h) { return h.picker.presetFolders.size() == 1; }},
        {HostCall::ShowPicker, ResultSuccess,
         [&completion](Hosts& h) { return h.picker.showPicker(&completion); },
         [&completion](Hosts& h) { return h.picker.shows == 1 && completion.finished.empty(); }},
        {HostCall::PickedPath, ResultSuccess,
         [&text](Hosts& h) { return h.picker.pickedPath(&text); },
         [](Hosts& h) { return h.picker.pathReads == 1; }},
        {HostCall::FetchDrawingFactory, ResultSuccess,
         [](Hosts& h) {
             ComPtr<IDrawingFactory> made;
             return gmpi_sdk::queryInterfaceOf<IGraphicsHost>(h.host.object())
                 ->fetchDrawingFactory(made.put());
         },
         [](Hosts& h) { return h.factory.references() == 1; }},
        {HostCall::RequestRepaint, ResultSuccess,
         [](Hosts& h) {
             return gmpi_sdk::queryInterfaceOf<IGraphicsHost>(h.host.object())
                 ->requestRepaint(nullptr);
         },
         [](Hosts& h) { return h.host.graphics.repaints.size() == 1; }},
        {HostCall::RequestRemeasure, ResultSuccess,
         [](Hosts& h) {
             return gmpi_sdk::queryInterfaceOf<IGraphicsHost>(h.host.object())->requestRemeasure();
         },
         [](Hosts& h) { return h.host.graphics.remeasures == 1; }},
        {HostCall::TakePointerCapture, ResultSuccess,
         [](Hosts& h) {
             return gmpi_sdk::queryInterfaceOf<IGraphicsHost>(h.host.object())
                 ->takePointerCapture();
         },
         [](Hosts& h) { return h.host.graphics.captured; }},
        {HostCall::QueryPointerCapture, ResultSuccess,
         [](Hosts& h) {
             int32_t captured = 0;
             return gmpi_sdk::queryInterfaceOf<IGraphicsHost>(h.host.object())
                 ->queryPointerCapture(&captured);
         },
         nullptr},
        {HostCall::DropPointerCapture, ResultSuccess,
         [](Hosts& h) {
             h.host.graphics.captured = true;
             return gmpi_sdk::queryInterfaceOf<IGraphicsHost>(h.host.object())
                 ->dropPointerCapture();
         },
         [](Hosts& h) { return !h.host.graphics.captured; }},
        {HostCall::MakeTextFormat, ResultSuccess,
         [](Hosts& h) {
             ComPtr<ITextFormat> format;
             return h.factory.makeTextFormat("Mono", nullptr, 400, 0, 5, 10.0f, nullptr,
                                             format.put());
         },
         [](Hosts& h) { return h.factory.ledger()->live("text format") == 1; }},
        {HostCall::LoadImage, ResultFailure,
         [](Hosts& h) {
             ComPtr<IBitmap> bitmap;
             return h.factory.loadImageUri("skin/knob.png", bitmap.put());
         },
         [](Hosts& h) { return h.factory.imageLoads.size() == 1; }},
        {HostCall::FamilyName, ResultSuccess,
         [&text](Hosts& h) { return h.factory.familyNameAt(0, &text); },
         [&text](Hosts&) { return text.str() == "Mono"; }},
        {HostCall::AddMenuItem, ResultSuccess,
         [](Hosts& h) { return h.sink.addMenuItem("Item", 2, 0); },
         [](Hosts& h) { return h.sink.items.size() == 1; }},
        {HostCall::Draw, ResultSuccess,
         [](Hosts& h) {
             const GuiColour white{1.0f, 1.0f, 1.0f, 1.0f};
             return h.context.clearTo(&white);
         },
         [](Hosts& h) { return h.context.recorded().calls.size() == 1; }},
        {HostCall::Draw, ResultSuccess,
         [](Hosts& h) {
             // An offscreen target's operations too; the target is made
             // without the hook.
             const GuiSize size{4.0f, 4.0f};
             h.factory.onCall = nullptr;
             h.context.makeOffscreenTarget(&size, h.target.put());
             h.factory.onCall = h.hook;
             return h.target->beginFrame();
         },
         [](Hosts& h) {
             const auto& calls = h.context.recorded().calls;
             return calls.size() == 1 && calls[0].target && calls[0].target->calls.size() == 1;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(hostCallName(c.call));
        Hosts hosts;
        if (c.done)
            hosts.seeWork = [&] { return c.done(hosts); };
        EXPECT_EQ(c.run(hosts), c.expected);
        EXPECT_EQ(hosts.calls, std::vector<HostCall>{c.call});
        EXPECT_EQ(hosts.seen, std::vector<bool>{true}) << "the hook ran before the work was done";
    }
}

TEST(HostCallHooks, StreamsRunTheHostsHookAndOutliveItSafely) {
    std::vector<HostCall> calls;
    ComPtr<IUriStream> stream;
    {
        TestHost host;
        host.addUriData("meta.txt", Bytes{'a', 'b'});
        host.guiHost()->openUriStream("meta.txt", stream.put());
        ASSERT_TRUE(stream);
        host.onCall = [&calls](HostCall call) { calls.push_back(call); };
        int64_t size = 0;
        EXPECT_EQ(stream->byteSize(&size), ResultSuccess);
        char bytes[2];
        EXPECT_EQ(stream->readBytes(bytes, 2, 0), ResultSuccess);
        EXPECT_EQ(calls, (std::vector<HostCall>{HostCall::StreamSize, HostCall::ReadBytes}));
    }
    // The host is gone: a stream a module kept still answers (it is at its end),
    // with no hook to run.
    char byte;
    EXPECT_EQ(stream->readBytes(&byte, 1, 0), ResultFailure);
    EXPECT_EQ(calls.size(), 2u);
}

TEST(HostCallHooks, AcceptPinValueAnswersWhatTheHooksLeft) {
    TestHost host;
    host.onCall = [&host](HostCall) { host.acceptResult = ResultFailure; };
    EXPECT_EQ(host.guiHost()->acceptPinValue(0, 0, nullptr, 0), ResultFailure);
}

TEST(HostCallHooks, AnAudioHostHookMayCauseMoreCallsWhileItRuns) {
    AudioHost host;
    auto audio = gmpi_sdk::queryInterfaceOf<IAudioHost>(host.object());
    std::vector<AudioCallKind> seen;
    int32_t nested = 0;
    host.onCall = [&](const AudioCall& call) {
        // Each call causes another, which grows the log under this one.
        if (++nested < 64)
            audio->askToSleep();
        seen.push_back(call.kind);
    };
    audio->deliverPinBytes(0, 1, 0, nullptr);
    ASSERT_EQ(seen.size(), 64u);
    EXPECT_EQ(seen.back(), AudioCallKind::DeliverPinBytes);
    EXPECT_EQ(host.calls.size(), 64u);
    audio.reset();
    EXPECT_TRUE(host.referencesBalanced());
}

} // namespace
