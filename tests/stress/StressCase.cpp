#include "StressCase.h"

#include "CaseFolder.h"
#include "CaseSkin.h"
#include "Inputs.h"
#include "framework/ComPtr.h"
#include "framework/ModuleApi.h"
#include "host/AudioHost.h"
#include "host/DrawingContext.h"
#include "host/DrawingFactory.h"
#include "host/FilePicker.h"
#include "host/GuiModule.h"
#include "host/HostString.h"
#include "host/LegacyGuiModule.h"
#include "host/MenuItemSink.h"
#include "host/MessageLoop.h"
#include "host/TestHost.h"
#include "tests/RegistrationTable.h"

#ifndef _WIN32
#include "platform/StandIn.h"
#endif

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <exception>
#include <map>
#include <memory>
#include <optional>
#include <sstream>

namespace stress {
namespace {

namespace fs = std::filesystem;
using gmpi_sdk::ComPtr;
using namespace testhost;

enum class Op {
    SetPin,      // receivePinValue, then onPinChanged
    ReceiveOnly, // receivePinValue alone
    NotifyOnly,  // onPinChanged alone
    Echo,        // from inside a send: that pin back, with its value or another
    WrongValue,  // a value of the wrong size or type, then onPinChanged
    UnknownPin,  // a pin the module does not have
    Bounds,
    DesiredSize,
    Paint,
    Press,
    Motion,
    Release,
    Drag, // a press, motions and a release
    ProbeHit,
    GraphicsHint,
    Hint,
    ContextMenu,
    MenuPick,
    TimePasses,
    ChangeResource, // pictures, masks, metadata, the skin's fonts
    ChangeHost,     // what host operations answer
    Reattach,
    ChangeFiles,
    FinishDialog,
    Startup, // the older kind's onStartup
    AudioBlock,
    AudioPrepare,
    AudioBuffer,
    AudioMessage,
};

const char* opName(Op op) {
    switch (op) {
    case Op::SetPin:
        return "setPin";
    case Op::ReceiveOnly:
        return "receiveOnly";
    case Op::NotifyOnly:
        return "notifyOnly";
    case Op::Echo:
        return "echo";
    case Op::WrongValue:
        return "wrongValue";
    case Op::UnknownPin:
        return "unknownPin";
    case Op::Bounds:
        return "bounds";
    case Op::DesiredSize:
        return "desiredSize";
    case Op::Paint:
        return "paint";
    case Op::Press:
        return "press";
    case Op::Motion:
        return "motion";
    case Op::Release:
        return "release";
    case Op::Drag:
        return "drag";
    case Op::ProbeHit:
        return "probeHit";
    case Op::GraphicsHint:
        return "graphicsHint";
    case Op::Hint:
        return "hint";
    case Op::ContextMenu:
        return "contextMenu";
    case Op::MenuPick:
        return "menuPick";
    case Op::TimePasses:
        return "timePasses";
    case Op::ChangeResource:
        return "changeResource";
    case Op::ChangeHost:
        return "changeHost";
    case Op::Reattach:
        return "reattach";
    case Op::ChangeFiles:
        return "changeFiles";
    case Op::FinishDialog:
        return "finishDialog";
    case Op::Startup:
        return "startup";
    case Op::AudioBlock:
        return "audioBlock";
    case Op::AudioPrepare:
        return "audioPrepare";
    case Op::AudioBuffer:
        return "audioBuffer";
    case Op::AudioMessage:
        return "audioMessage";
    }
    return "?";
}

using Weights = std::vector<std::pair<Op, uint32_t>>;

// A step of the chain of calls running now: a call into the module, or a host
// call from inside which the host called back.
struct Frame {
    std::string what;
    bool hostCall = false;
};

constexpr int32_t audioFrames = 512; // the longest block
constexpr int32_t audioGuard = 64;   // samples past it that nothing may write
constexpr int32_t audioOutputPin = 4;
constexpr float audioSentinel = -12345.0f;

// The items of a list that a menu or a file dialog is offered, at most.
constexpr uint64_t offeredItems = 65536;

std::string utf8Sketch(const Bytes& bytes) {
    std::string text;
    for (size_t i = 0; i + 1 < bytes.size() && text.size() < 60; i += 2) {
        const char16_t c = char16_t(bytes[i] | bytes[i + 1] << 8);
        if (c >= 0x20 && c < 0x7F)
            text += char(c);
        else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", unsigned(c));
            text += escaped;
        }
    }
    if (bytes.size() > 120)
        text += "... (" + std::to_string(bytes.size() / 2) + " units)";
    if (bytes.size() % 2)
        text += " +1 byte";
    return text;
}

// The path a text names; none for text that is no path (a lone surrogate).
std::optional<fs::path> pathOf(const std::u16string& text) {
    try {
        return fs::path(text);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::string describeValue(PinRole role, const Bytes& bytes) {
    char text[64];
    if (bytes.size() == 4 && role == PinRole::Float) {
        std::snprintf(text, sizeof text, "%g", double(valueOf<float>(bytes)));
        return text;
    }
    if (bytes.size() == 4 && role == PinRole::Int) {
        std::snprintf(text, sizeof text, "%d", int(valueOf<int32_t>(bytes)));
        return text;
    }
    switch (role) {
    case PinRole::Bool:
    case PinRole::UpTrigger:
    case PinRole::Int:
    case PinRole::Float:
    case PinRole::Blob: {
        std::string hex = std::to_string(bytes.size()) + " bytes";
        for (size_t i = 0; i < bytes.size() && i < 12; ++i) {
            std::snprintf(text, sizeof text, " %02x", bytes[i]);
            hex += text;
        }
        return hex;
    }
    default:
        return "\"" + utf8Sketch(bytes) + "\"";
    }
}

class Case;
Case* runningCase = nullptr;
std::atomic<const ModuleProfile*> progressProfile{nullptr};
std::atomic<int32_t> progressStep{-1};
std::atomic<int64_t> progressSteps{0};

class Case {
public:
    Case(gmpi::IMpFactory2* factory, const ModuleProfile& profile, const CaseOptions& options)
        : options(options), profile(profile), factory(factory),
          seed(caseSeed(options.seed, profile.subType, profile.id)),
          folder(options.workFolder, seed), skin(host, drawing, seed) {
        result.label = profile.label();
        runningCase = this;
        progressProfile = &profile;
    }
    Case(const Case&) = delete;
    Case& operator=(const Case&) = delete;
    ~Case() {
        host.graphics.drawingFactory = nullptr;
        runningCase = nullptr;
        progressProfile = nullptr;
        progressStep = -1;
    }

    CaseResult run();
    std::string activity() const;

private:
    // Setting up and ending.
    void serveHost(Random& r);
    void makeModule(Random& r);
    void endModule();

    // Steps and the nested calls.
    void step(int32_t n);
    Op choose(Random& r, bool nested) const;
    void perform(Op op, Random& r);
    void hostCalled(HostCall call);
    void audioHostCalled(const AudioCall& call);
    bool mayNest();
    void nest(const std::string& from, std::optional<HostCall> call, int32_t pin, Bytes sent);

    template <class F> int32_t call(std::string what, F&& body);
    void fail(const std::string& what);

    // Pins.
    struct ChosenPin {
        int32_t index;
        PinRole role;
    };
    std::optional<ChosenPin> choosePin(Random& r, bool nested);
    Bytes valueFor(PinRole role, Random& r);
    // The most items of a range for a list pin: a share of them unbounded.
    uint64_t longList(Random& r) const;
    Bytes wrongValueFor(PinRole role, Random& r);
    enum class Delivery { Normal, NegativeSize, NullData };
    int32_t receive(int32_t pin, PinRole role, const Bytes& value,
                    Delivery delivery = Delivery::Normal);
    int32_t notify(int32_t pin);
    void setPin(Random& r, Op op);
    void echo(Random& r);
    void unknownPin(Random& r);
    void trackBrowserFolder(int32_t pin, PinRole role, const Bytes& value, bool notified);
    bool mayGoUp() const;

    // Operations of the drawing side.
    void bounds(Random& r);
    void desiredSize(Random& r);
    void paint(Random& r);
    void pointer(Op op, Random& r);
    void drag(Random& r);
    void probeHit(Random& r);
    void graphicsHint(Random& r);

    // Operations of every GUI module.
    void hint(Random& r);
    void contextMenu(Random& r);
    void menuPick(Random& r);
    void timePasses(Random& r);
    void changeHost(Random& r);
    void reattach(Random& r);
    void finishDialog(Random& r);
    void startup();

    // The audio part.
    void audioBlock(Random& r);
    void audioBuffer(Random& r);
    void audioMessage(Random& r);
    void checkAudioGuards(int32_t frames);

    bool is(const char16_t* id) const { return profile.id == id; }
    bool widget() const { return profile.kind == ModuleKind::Widget; }

    const CaseOptions& options;
    const ModuleProfile& profile;
    gmpi::IMpFactory2* factory;
    uint64_t seed;
    CaseResult result;

    TestHost host;
    DrawingFactory drawing;
    FilePicker picker;
    AudioHost audioHost;
    std::unique_ptr<GuiModule> gui;
    ComPtr<gmpi_gui_api::IMpGraphics2> graphics;
    std::unique_ptr<LegacyGuiModule> legacy;
    ComPtr<gmpi::IMpPlugin2> audio;
    // The buffer attached to each pin. A buffer the host replaces is freed at
    // once, so that a module still writing to it is a sanitizer report.
    std::map<int32_t, std::vector<float>> audioBuffers;
    CaseFolder folder;
    CaseSkin skin;

    GuiRect placed{0.0f, 0.0f, 0.0f, 0.0f};
    std::optional<fs::path> browserFolder; // the folder FileBrowser lists, when known

    Random* random = nullptr; // the step's, while one runs
    int32_t depth = 0;
    // The host calls the nested calls run inside, outermost first, with the
    // pin of a send (none for the audio host's calls).
    struct Inside {
        std::optional<HostCall> call;
        int32_t pin;
        Bytes sent; // of a send
    };
    std::vector<Inside> inside;
    std::vector<Frame> frames;
    int32_t currentStep = -1;
    int32_t nestedThisStep = 0;
    size_t timersAtStart = 0;
};

CaseResult Case::run() {
#ifndef _WIN32
    timersAtStart = platform::standin::runningTimerCount();
#endif
    if (!options.workFolder.empty() && !folder.made())
        fail("cannot make the folder of the case in " + options.workFolder.string());
    Random setup(mixSeeds(seed, 0));
    random = &setup;
    skin.offerAll(setup);
    serveHost(setup);
    makeModule(setup);
    random = nullptr;
    if (gui || legacy || audio) {
        for (int32_t n = 0; n < options.steps; ++n)
            step(n);
    }
    currentStep = -1;
    endModule();
    return result;
}

void Case::serveHost(Random& r) {
    drawing.serve(host);
    picker.serve(host);
    const HostCallHook hook = [this](HostCall c) { hostCalled(c); };
    host.onCall = hook;
    drawing.onCall = hook;
    picker.onCall = hook;
    audioHost.onCall = [this](const AudioCall& c) { audioHostCalled(c); };
    picker.finishInside = r.chance(70);
    picker.path = folder.pickedPath(r);
    host.pinCount = r.between(0, 12);
    // Now and then a host without one of the interfaces a module may ask for
    // (the older kind cannot be made without its own).
    host.offer(HostInterface::Dialog, r.chance(95));
    host.offer(HostInterface::Graphics, r.chance(95));
    host.offer(HostInterface::Legacy, profile.kind == ModuleKind::Legacy || r.chance(95));
    if (!folder.made())
        return;
    host.defaultFolder = folder.path().u16string();
    host.resolveName = [this](const std::u16string& name) {
        const bool absolute = !name.empty() && (name[0] == u'/' || name[0] == u'\\' ||
                                                (name.size() > 1 && name[1] == u':'));
        return absolute ? name : folder.inside(name);
    };
}

void Case::makeModule(Random& r) {
    switch (profile.kind) {
    case ModuleKind::Invisible:
    case ModuleKind::Widget:
        call("makeModule", [&] {
            gui = std::make_unique<GuiModule>(factory, profile.id, host, true, profile.subType);
            return gui->makeResult;
        });
        if (!*gui) {
            fail("the module was not made");
            gui.reset();
            return;
        }
        if (gui->attachResult != ResultSuccess)
            fail("attachHost answered " + std::to_string(gui->attachResult));
        if (widget()) {
            graphics = gmpi_sdk::queryInterfaceOf<gmpi_gui_api::IMpGraphics2>(gui->unknown());
            if (!graphics)
                fail("a widget without IMpGraphics2");
        }
        break;
    case ModuleKind::Legacy:
        call("makeModule", [&] {
            legacy = std::make_unique<LegacyGuiModule>(factory, profile.id, host);
            return legacy->makeResult;
        });
        if (!*legacy) {
            fail("the module was not made");
            legacy.reset();
            return;
        }
        startup();
        break;
    case ModuleKind::Audio: {
        call("makeModule", [&] {
            void* out = nullptr;
            const int32_t made =
                factory->makeModule(profile.id.c_str(), AudioPart, audioHost.object(), &out);
            audio = ComPtr<gmpi::IMpPlugin2>(static_cast<gmpi::IMpPlugin2*>(out));
            return made;
        });
        if (!audio) {
            fail("the module was not made");
            return;
        }
        std::vector<float>& buffer = audioBuffers[audioOutputPin];
        buffer.assign(audioFrames + audioGuard, 0.0f);
        call("attachBuffer", [&] { return audio->attachBuffer(audioOutputPin, buffer.data()); });
        call("prepare", [&] { return audio->prepare(); });
        break;
    }
    }
}

void Case::endModule() {
    // A dialog still open ends before its module goes, as the host's would.
    if (picker.open())
        call("finishDialog", [&] { return int32_t(picker.finish(1)); });
    graphics.reset();
    gui.reset();
    legacy.reset();
    audio.reset();
    std::string report;
    if (!host.referencesBalanced(&report))
        fail("at the end " + report);
    report.clear();
    if (!audioHost.referencesBalanced(&report))
        fail("at the end " + report);
    if (drawing.ledger()->live() != 0)
        fail("drawing objects still alive at the end: " + drawing.ledger()->describe());
    if (drawing.references() != 0)
        fail("the drawing factory holds " + std::to_string(drawing.references()) +
             " reference(s) at the end");
    if (host.openStreams() != 0)
        fail(std::to_string(host.openStreams()) + " resource stream(s) open at the end");
    if (picker.references() != 0)
        fail("the file picker holds " + std::to_string(picker.references()) +
             " reference(s) at the end");
#ifndef _WIN32
    if (const size_t timers = platform::standin::runningTimerCount(); timers > timersAtStart)
        fail(std::to_string(timers - timersAtStart) +
             " timer(s) still running after the module went");
#endif
}

void Case::step(int32_t n) {
    currentStep = n;
    progressStep = n;
    ++progressSteps;
    Random r(mixSeeds(seed, uint64_t(n) + 1));
    random = &r;
    nestedThisStep = 0;
    // The host's logs would grow with every step; nothing reads them across steps.
    host.sent.clear();
    host.lookups.clear();
    host.enrolments.clear();
    host.resolvedNames.clear();
    host.pickerRequests.clear();
    host.graphics.repaints.clear();
    drawing.imageLoads.clear();
    drawing.formatRequests.clear();
    drawing.familyIndexReads.clear();
    picker.modes.clear();
    picker.fileTypes.clear();
    picker.presetNames.clear();
    picker.presetFolders.clear();
    audioHost.calls.clear();
    perform(choose(r, false), r);
    random = nullptr;
    if (host.openStreams() != 0)
        fail(std::to_string(host.openStreams()) + " resource stream(s) still open after the step");
}

Op Case::choose(Random& r, bool nested) const {
    Weights weights;
    // Each operation's weight at the top of a step and from inside a host call.
    auto add = [&weights, nested](Op op, uint32_t atTop, uint32_t nestedWeight) {
        weights.emplace_back(op, nested ? nestedWeight : atTop);
    };
    const bool files =
        is(u"FileBrowser") || is(u"StringLoader") || is(u"StringSaver") || is(u"FileReq");
    switch (profile.kind) {
    case ModuleKind::Widget:
        add(Op::Bounds, 8, 15);
        add(Op::DesiredSize, 2, 1);
        add(Op::Paint, 12, 3);
        add(Op::Press, 5, 5);
        add(Op::Motion, 5, 10);
        add(Op::Release, 5, 5);
        add(Op::Drag, 6, 0);
        add(Op::ProbeHit, 3, 2);
        add(Op::GraphicsHint, 2, 1);
        [[fallthrough]];
    case ModuleKind::Invisible:
        add(Op::SetPin, 40, 40);
        add(Op::ReceiveOnly, 5, 2);
        add(Op::NotifyOnly, 6, 5);
        add(Op::WrongValue, 6, 3);
        add(Op::UnknownPin, 3, 1);
        add(Op::Hint, 3, 2);
        add(Op::ContextMenu, 3, 2);
        add(Op::MenuPick, 2, 2);
        add(Op::TimePasses, 6, 10);
        add(Op::ChangeResource, 3, 4);
        add(Op::ChangeHost, 3, 3);
        add(Op::Reattach, 1, 1);
        if (files)
            add(Op::ChangeFiles, 4, 3);
        if (is(u"FileReq"))
            add(Op::FinishDialog, 4, 3);
        break;
    case ModuleKind::Legacy:
        add(Op::SetPin, 40, 40);
        add(Op::ReceiveOnly, 5, 2);
        add(Op::NotifyOnly, 5, 5);
        add(Op::WrongValue, 5, 3);
        add(Op::UnknownPin, 3, 1);
        add(Op::Startup, 4, 2);
        add(Op::TimePasses, 8, 10);
        add(Op::ChangeHost, 5, 4);
        break;
    case ModuleKind::Audio:
        add(Op::AudioBlock, 50, 0);
        add(Op::AudioPrepare, 3, 0);
        add(Op::AudioBuffer, 5, 0);
        add(Op::AudioMessage, 8, 10);
        add(Op::ChangeHost, 3, 5);
        break;
    }
    // From inside a send, the host reports that pin back, as hosts do.
    if (nested && profile.kind != ModuleKind::Audio && !inside.empty() &&
        inside.back().call == HostCall::AcceptPinValue)
        add(Op::Echo, 0, 15);
    std::vector<uint32_t> w;
    for (const auto& [op, weight] : weights)
        w.push_back(weight);
    return weights[r.weighted(w)].first;
}

void Case::perform(Op op, Random& r) {
    if (options.trace)
        std::fprintf(stderr, "%*s[step %d] %s\n", 2 * depth, "", currentStep, opName(op));
    const bool drawingSide = op == Op::Bounds || op == Op::DesiredSize || op == Op::Paint ||
                             op == Op::Press || op == Op::Motion || op == Op::Release ||
                             op == Op::Drag || op == Op::ProbeHit || op == Op::GraphicsHint;
    if ((drawingSide && !graphics) || (!gui && !legacy && !audio))
        return;
    switch (op) {
    case Op::SetPin:
    case Op::ReceiveOnly:
    case Op::NotifyOnly:
    case Op::WrongValue:
        setPin(r, op);
        break;
    case Op::Echo:
        echo(r);
        break;
    case Op::UnknownPin:
        unknownPin(r);
        break;
    case Op::Bounds:
        bounds(r);
        break;
    case Op::DesiredSize:
        desiredSize(r);
        break;
    case Op::Paint:
        paint(r);
        break;
    case Op::Press:
    case Op::Motion:
    case Op::Release:
        pointer(op, r);
        break;
    case Op::Drag:
        drag(r);
        break;
    case Op::ProbeHit:
        probeHit(r);
        break;
    case Op::GraphicsHint:
        graphicsHint(r);
        break;
    case Op::Hint:
        hint(r);
        break;
    case Op::ContextMenu:
        contextMenu(r);
        break;
    case Op::MenuPick:
        menuPick(r);
        break;
    case Op::TimePasses:
        timePasses(r);
        break;
    case Op::ChangeResource:
        skin.change(r);
        break;
    case Op::ChangeHost:
        changeHost(r);
        break;
    case Op::Reattach:
        reattach(r);
        break;
    case Op::ChangeFiles:
        folder.change(r);
        break;
    case Op::FinishDialog:
        finishDialog(r);
        break;
    case Op::Startup:
        startup();
        break;
    case Op::AudioBlock:
        audioBlock(r);
        break;
    case Op::AudioPrepare:
        call("prepare", [&] { return audio->prepare(); });
        break;
    case Op::AudioBuffer:
        audioBuffer(r);
        break;
    case Op::AudioMessage:
        audioMessage(r);
        break;
    }
}

void Case::hostCalled(HostCall c) {
    ++result.stats.hostCalls;
    int32_t pin = -1;
    Bytes sent;
    if (c == HostCall::AcceptPinValue && !host.sent.empty()) {
        pin = host.sent.back().pinId;
        sent = host.sent.back().bytes;
        // The folder browser names the folder it lists on pin 0.
        if (is(u"FileBrowser") && pin == 0)
            browserFolder = pathOf(host.sent.back().asText());
    }
    if (!mayNest())
        return;
    std::string from = hostCallName(c);
    if (pin >= 0)
        from += "(pin " + std::to_string(pin) + ")";
    nest(from, c, c == HostCall::AcceptPinValue ? pin : -1, std::move(sent));
}

void Case::audioHostCalled(const AudioCall& c) {
    ++result.stats.hostCalls;
    if (!mayNest())
        return;
    nest(c.describe(), std::nullopt, -1, {});
}

bool Case::mayNest() {
    if (!random || depth >= options.maxDepth || nestedThisStep >= options.maxNestedPerStep)
        return false;
    return random->chance(options.nestPercent);
}

void Case::nest(const std::string& from, std::optional<HostCall> call, int32_t pin, Bytes sent) {
    ++nestedThisStep;
    if (options.trace)
        std::fprintf(stderr, "%*s  inside %s:\n", 2 * depth, "", from.c_str());
    ++depth;
    ++result.stats.nestedFrom[from.substr(0, from.find('('))];
    frames.push_back({from, true});
    inside.push_back({call, pin, std::move(sent)});
    try {
        perform(choose(*random, true), *random);
    } catch (const std::exception& e) {
        fail(std::string("the stress host failed inside ") + from + ": " + e.what());
    }
    inside.pop_back();
    frames.pop_back();
    --depth;
}

template <class F> int32_t Case::call(std::string what, F&& body) {
    ++result.stats.moduleCalls;
    ++result.stats.callsAtDepth[depth];
    if (depth > 0)
        ++result.stats.nestedCalls;
    if (options.trace)
        std::fprintf(stderr, "%*s  %s\n", 2 * depth, "", what.c_str());
    frames.push_back({std::move(what), false});
    int32_t answer = ResultFailure;
    try {
        answer = body();
    } catch (const std::exception& e) {
        fail("an exception reached the host from " + frames.back().what + ": " + e.what());
    } catch (...) {
        fail("an exception reached the host from " + frames.back().what);
    }
    frames.pop_back();
    return answer;
}

void Case::fail(const std::string& what) {
    std::string where;
    if (currentStep >= 0)
        where = "step " + std::to_string(currentStep) + ": ";
    result.failures.push_back(where + what);
    if (options.trace)
        std::fprintf(stderr, "FAILURE: %s%s\n", where.c_str(), what.c_str());
}

std::string Case::activity() const {
    std::ostringstream out;
    out << profile.label() << " (sub-type " << profile.subType << ", case seed 0x" << std::hex
        << seed << std::dec << "), ";
    if (currentStep >= 0)
        out << "step " << currentStep << " of " << options.steps;
    else
        out << "outside the steps";
    if (!frames.empty()) {
        out << "; in";
        for (const Frame& frame : frames)
            out << (frame.hostCall ? " > [inside " : " > ") << frame.what
                << (frame.hostCall ? "]" : "");
    }
    return out.str();
}

// Pins

std::optional<Case::ChosenPin> Case::choosePin(Random& r, bool nested) {
    std::vector<ChosenPin> pins;
    std::vector<uint32_t> weights;
    for (const PinProfile& p : profile.pins) {
        pins.push_back({p.index, p.role});
        // From inside a host call the pins that change the most are the ones to try.
        const bool changesMuch = p.role == PinRole::PictureName || p.role == PinRole::MenuItems ||
                                 p.role == PinRole::ListItems || p.role == PinRole::StyleName ||
                                 p.role == PinRole::FileTypes || p.role == PinRole::Folder;
        weights.push_back(!nested || !changesMuch ? 1 : p.role == PinRole::PictureName ? 8 : 3);
    }
    const int32_t registered = int32_t(profile.pins.size());
    const int32_t added = profile.kind == ModuleKind::Legacy
                              ? std::clamp(host.pinCount - registered, 0, 40)
                              : profile.addedPins;
    for (int32_t i = 0; i < added; ++i) {
        pins.push_back({registered + i, profile.addedRole});
        weights.push_back(1);
    }
    if (pins.empty())
        return std::nullopt;
    return pins[r.weighted(weights)];
}

Bytes Case::valueFor(PinRole role, Random& r) {
    switch (role) {
    case PinRole::Bool:
        if (r.chance(85))
            return bytesOf(r.chance(50));
        return r.pick<Bytes>({Bytes{2}, Bytes{0xFF}, bytesOf(int32_t(1)), bytesOf(int32_t(0)),
                              bytesOf(int32_t(-1)), bytesOf(int32_t(256))});
    case PinRole::UpTrigger:
        return bytesOf(mayGoUp() && r.chance(60));
    case PinRole::Int:
        return bytesOf(anyInt(r));
    case PinRole::Float:
        return bytesOf(anyFloat(r));
    case PinRole::Blob:
        return anyBlob(r);
    case PinRole::Text:
    case PinRole::Hint:
        return bytesOf(anyText(r));
    case PinRole::PathText:
        return bytesOf(r.chance(80) ? pathText(r) : anyText(r));
    case PinRole::NumberText:
        return bytesOf(r.chance(80) ? numberText(r) : anyText(r));
    case PinRole::Colour:
        return bytesOf(r.chance(90) ? colourText(r) : anyText(r));
    case PinRole::PictureName:
        return bytesOf(nameText(r, skin.pictureNames()));
    case PinRole::StyleName:
        return bytesOf(nameText(r, skin.styleNames()));
    case PinRole::MenuItems:
    case PinRole::ListItems:
        return bytesOf(itemListText(r, longList(r)));
    case PinRole::FileTypes: {
        if (r.chance(30))
            return bytesOf(r.pick<std::u16string>(
                {u"wav,mid", u"*.txt", u"txt=Text files,wav", u"", u"*", u"\xD800,txt"}));
        return bytesOf(itemListText(r, longList(r)));
    }
    case PinRole::Extension:
        return bytesOf(extensionText(r));
    case PinRole::ReadFile:
        return bytesOf(folder.fileToRead(r));
    case PinRole::WriteFile:
        return bytesOf(folder.fileToWrite(r));
    case PinRole::Folder:
        return bytesOf(folder.folderToList(r));
    case PinRole::AudioSignal: // a buffer, never a value: audioBuffer attaches them
        return anyBlob(r);
    }
    return {};
}

uint64_t Case::longList(Random& r) const {
    return r.chance(options.longListPercent) ? UINT64_MAX : offeredItems;
}

Bytes Case::wrongValueFor(PinRole role, Random& r) {
    if (!touchesFiles(role))
        return anyBytes(r);
    // A name the run made, with an odd byte behind it: never a name elsewhere.
    Bytes value = role == PinRole::UpTrigger ? bytesOf(false) : valueFor(role, r);
    value.push_back(uint8_t(r.word()));
    return value;
}

void Case::trackBrowserFolder(int32_t pin, PinRole role, const Bytes& value, bool notified) {
    if (!is(u"FileBrowser") || pin != 0 || role != PinRole::Folder)
        return;
    // Only a folder that is known for sure lets the run pull "up"; the
    // module's own sends name the folder it moves to.
    browserFolder.reset();
    if (!notified || value.size() % 2 != 0)
        return;
    const std::u16string text = textOf(value);
    std::error_code error;
    if (text.empty())
        browserFolder = folder.path();
    else if (const auto path = pathOf(text); path && fs::is_directory(*path, error))
        browserFolder = path;
}

bool Case::mayGoUp() const {
    return browserFolder && folder.holds(*browserFolder);
}

int32_t Case::receive(int32_t pin, PinRole role, const Bytes& value, Delivery delivery) {
    // A host that breaks the rules: a negative size, or no bytes for a size,
    // and a voice the GUI side does not use.
    const void* data = value.empty() || delivery == Delivery::NullData ? nullptr : value.data();
    int32_t size = int32_t(value.size());
    int32_t voice = 0;
    if (delivery == Delivery::NegativeSize)
        size = -1 - size;
    if (delivery != Delivery::Normal)
        voice = delivery == Delivery::NullData ? 1 : -7;
    std::string what = "receivePinValue(pin " + std::to_string(pin) + ", ";
    what += delivery == Delivery::Normal
                ? describeValue(role, value)
                : "size " + std::to_string(size) + (data ? "" : " without data") + ", voice " +
                      std::to_string(voice);
    return call(what + ")", [&] {
        if (legacy)
            return (*legacy)->receivePinValue(pin, voice, size, data);
        return (*gui)->receivePinValue(pin, voice, size, data);
    });
}

int32_t Case::notify(int32_t pin) {
    return call("onPinChanged(pin " + std::to_string(pin) + ")", [&] {
        if (legacy)
            return (*legacy)->onPinChanged(pin, 0);
        return (*gui)->onPinChanged(pin, 0);
    });
}

void Case::setPin(Random& r, Op op) {
    const auto chosen = choosePin(r, depth > 0);
    if (!chosen)
        return;
    if (op == Op::NotifyOnly) {
        if (is(u"FileBrowser") && chosen->index == 0)
            browserFolder.reset();
        if (chosen->role == PinRole::UpTrigger && !mayGoUp())
            return; // the pin may hold true from before
        notify(chosen->index);
        return;
    }
    const Bytes value =
        op == Op::WrongValue ? wrongValueFor(chosen->role, r) : valueFor(chosen->role, r);
    Delivery delivery = Delivery::Normal;
    if (op == Op::WrongValue && r.chance(20))
        delivery = r.chance(50) ? Delivery::NegativeSize : Delivery::NullData;
    receive(chosen->index, chosen->role, value, delivery);
    const bool notified = op != Op::ReceiveOnly;
    trackBrowserFolder(chosen->index, chosen->role, value, notified && op == Op::SetPin);
    if (notified)
        notify(chosen->index);
}

void Case::echo(Random& r) {
    const Inside send = inside.back();
    PinRole role = profile.addedRole;
    if (const PinProfile* p = profile.pin(send.pin))
        role = p->role;
    else if (profile.addedPins == 0 && profile.kind != ModuleKind::Legacy)
        role = PinRole::Blob;
    if (role == PinRole::UpTrigger)
        return;
    const Bytes value = r.chance(70) ? send.sent : valueFor(role, r);
    receive(send.pin, role, value);
    trackBrowserFolder(send.pin, role, value, true);
    notify(send.pin);
}

void Case::unknownPin(Random& r) {
    const int32_t count = int32_t(profile.pins.size());
    int32_t pin = r.pick(
        {-1, count, count + 1, count + profile.addedPins + 1, 100, 65536, INT32_MAX, INT32_MIN});
    // A splitter serves every index up to the highest it was given a value
    // on: a value on a huge index stands for a host with that many pins, so
    // its unknown pins lie just past those the host added (each one more
    // makes every later value one send more, at every depth).
    if (profile.addedPins > 0)
        pin = r.pick({-1, INT32_MIN, count + profile.addedPins, count + profile.addedPins + 1});
    if (profile.kind == ModuleKind::Legacy && pin >= count && pin < host.pinCount)
        return; // an output the host gave it
    receive(pin, PinRole::Blob, anyBytes(r));
    if (r.chance(70))
        notify(pin);
}

// The drawing side

void Case::bounds(Random& r) {
    GuiRect rect = boundsRect(r);
    char what[160];
    std::snprintf(what, sizeof what, "acceptBounds(%g, %g, %g, %g)", double(rect.left),
                  double(rect.top), double(rect.right), double(rect.bottom));
    placed = rect;
    call(what, [&] { return graphics->acceptBounds(&rect); });
}

void Case::desiredSize(Random& r) {
    const GuiSize available{r.chance(80) ? float(r.between(0, 500)) : anyFloat(r),
                            r.chance(80) ? float(r.between(0, 500)) : anyFloat(r)};
    GuiSize desired{};
    call("computeDesiredSize", [&] { return graphics->computeDesiredSize(available, &desired); });
}

void Case::paint(Random& r) {
    DrawingContext context(&drawing,
                           GuiSize{placed.right - placed.left, placed.bottom - placed.top});
    context.offerContext = r.chance(97);
    call("onRepaint", [&] { return graphics->onRepaint(&context); });
    if (context.references() != 0)
        fail("onRepaint left " + std::to_string(context.references()) +
             " reference(s) to the drawing context");
}

void Case::pointer(Op op, Random& r) {
    const GuiPoint at = pointIn(r, placed);
    const int32_t flags = pointerFlags(r);
    char what[128];
    std::snprintf(what, sizeof what, "(0x%x, %g, %g)", unsigned(flags), double(at.x), double(at.y));
    switch (op) {
    case Op::Press:
        call(std::string("onPress") + what, [&] { return graphics->onPress(flags, at); });
        break;
    case Op::Motion:
        call(std::string("onMotion") + what, [&] { return graphics->onMotion(flags, at); });
        break;
    default:
        call(std::string("onRelease") + what, [&] { return graphics->onRelease(flags, at); });
        break;
    }
}

void Case::drag(Random& r) {
    const int32_t flags = r.chance(30)
                              ? gmpi_gui_api::PointerButtonDown | gmpi_gui_api::PointerFineAdjust
                              : gmpi_gui_api::PointerButtonDown;
    GuiPoint at = pointIn(r, placed);
    char what[128];
    std::snprintf(what, sizeof what, "onPress(0x%x, %g, %g)", unsigned(flags), double(at.x),
                  double(at.y));
    call(what, [&] { return graphics->onPress(flags, at); });
    const uint32_t motions = r.between(1, 6);
    for (uint32_t i = 0; i < motions && graphics; ++i) {
        at.x += r.between(-30.0f, 30.0f);
        at.y += r.between(-30.0f, 30.0f);
        std::snprintf(what, sizeof what, "onMotion(%g, %g)", double(at.x), double(at.y));
        call(what, [&] { return graphics->onMotion(flags, at); });
    }
    call("onRelease", [&] { return graphics->onRelease(0, at); });
}

void Case::probeHit(Random& r) {
    const GuiPoint at = pointIn(r, placed);
    call("probeHit", [&] { return graphics->probeHit(at); });
}

void Case::graphicsHint(Random& r) {
    const GuiPoint at = pointIn(r, placed);
    HostString text;
    call("graphicsHintTextAt", [&] { return graphics->graphicsHintTextAt(at, &text); });
}

// Every GUI module

void Case::hint(Random& r) {
    if (!gui)
        return;
    HostString text;
    const int32_t x = r.between(-10, 500), y = r.between(-10, 500);
    call("hintTextAt", [&] { return (*gui)->hintTextAt(x, y, &text); });
}

void Case::contextMenu(Random& r) {
    if (!gui)
        return;
    MenuItemSink sink;
    sink.offerSink = r.chance(95);
    sink.onCall = [this](HostCall c) { hostCalled(c); };
    const int32_t x = r.between(-10, 500), y = r.between(-10, 500);
    call("fillContextMenu", [&] { return (*gui)->fillContextMenu(x, y, &sink); });
    if (sink.references() != 0)
        fail("fillContextMenu left " + std::to_string(sink.references()) +
             " reference(s) to the item sink");
    if (!sink.items.empty() && r.chance(60)) {
        const int32_t id = sink.items[r.below(uint32_t(sink.items.size()))].id;
        call("onContextMenuPick(" + std::to_string(id) + ")",
             [&] { return (*gui)->onContextMenuPick(id); });
    }
}

void Case::menuPick(Random& r) {
    if (!gui)
        return;
    const int32_t id = r.chance(50) ? r.between(-2, 10) : anyInt(r);
    call("onContextMenuPick(" + std::to_string(id) + ")",
         [&] { return (*gui)->onContextMenuPick(id); });
}

void Case::timePasses(Random& r) {
    // Inside a host call that a module makes from a timer tick, this is time
    // passing inside time passing, as when the host runs a message loop there.
    const uint32_t ms = r.pick<uint32_t>({1, 5, 10, 11, 16, 50, 100, 151, 500});
    if (options.trace)
        std::fprintf(stderr, "%*s  %u ms pass\n", 2 * depth, "", ms);
#ifdef _WIN32
    pumpMessagesFor(std::min<uint32_t>(ms, 20));
#else
    platform::standin::advanceClock(ms);
#endif
}

void Case::changeHost(Random& r) {
    switch (r.below(8)) {
    case 0:
        host.acceptResult = r.chance(80) ? ResultSuccess : ResultFailure;
        break;
    case 1:
        host.graphics.captured = r.chance(50);
        break;
    case 2:
        if (r.chance(30))
            drawing.refuseFormat = [](const TextFormatRequest&) { return true; };
        else
            drawing.refuseFormat = nullptr;
        break;
    case 3:
        host.graphics.drawingFactory = r.chance(90) ? &drawing : nullptr;
        break;
    case 4:
        // The older kind's outputs are the host's own pins: as many as a host has.
        host.pinCount = r.chance(90) ? r.between(0, 12) : r.pick({-1, 40, 300});
        break;
    case 5:
        picker.finishInside = r.chance(70);
        picker.result = r.pick({0, 0, 1, -1});
        break;
    case 6:
        picker.path = folder.pickedPath(r);
        host.enrolPrefix = r.chance(50) ? (folder.path() / "").string() : "";
        break;
    default:
        audioHost.framesBeforeSleep = r.pick({0, 1, 64, 100000, -1, INT32_MAX});
        break;
    }
}

void Case::reattach(Random& r) {
    if (!gui)
        return;
    for (const HostInterface which : {HostInterface::Gui, HostInterface::Legacy,
                                      HostInterface::Dialog, HostInterface::Graphics})
        host.offer(which, r.chance(90));
    call("attachHost", [&] { return (*gui)->attachHost(host.object()); });
}

void Case::finishDialog(Random& r) {
    if (!picker.open())
        return;
    const int32_t answer = r.pick({0, 0, 1, -1});
    call("onFinished(" + std::to_string(answer) + ")",
         [&] { return int32_t(picker.finish(answer)); });
}

void Case::startup() {
    if (legacy)
        call("onStartup", [&] { return (*legacy)->onStartup(); });
}

// The audio part

void Case::audioBlock(Random& r) {
    if (!audio)
        return;
    const int32_t frames = r.pick({0, 1, 2, 16, 64, 100, 256, audioFrames});
    EventList events;
    const uint32_t count = frames > 0 ? r.below(7) : 0;
    std::vector<int32_t> at;
    for (uint32_t i = 0; i < count; ++i)
        at.push_back(r.between(0, frames - 1));
    std::sort(at.begin(), at.end());
    for (const int32_t frame : at) {
        const int32_t pin = r.chance(85) ? r.between(0, 4) : r.pick({-1, 5, 99, INT32_MAX});
        switch (r.below(6)) {
        case 0:
        case 1:
        case 2: {
            Bytes value = pin == 2 ? bytesOf(anyInt(r)) : bytesOf(r.chance(50));
            if (r.chance(15))
                value = anyBytes(r);
            events.add(frame, EventValueChanged, pin, value, r.chance(10));
            break;
        }
        case 3:
            events.add(frame, r.chance(50) ? EventStreamOn : EventStreamOff, pin);
            break;
        case 4:
            events.message(frame, pin, anyBlob(r), r.chance(50));
            break;
        default:
            events.runStart(frame);
            break;
        }
    }
    // Everything past the block must stay as it is.
    for (auto& [pin, buffer] : audioBuffers)
        std::fill(buffer.begin() + frames, buffer.end(), audioSentinel);
    call("runBlock(" + std::to_string(frames) + " frames, " + std::to_string(count) + " events)",
         [&] {
             audio->runBlock(frames, events.head());
             return ResultSuccess;
         });
    checkAudioGuards(frames);
}

void Case::checkAudioGuards(int32_t frames) {
    uint32_t sentinelBits;
    std::memcpy(&sentinelBits, &audioSentinel, 4);
    for (const auto& [pin, buffer] : audioBuffers) {
        for (size_t i = size_t(frames); i < buffer.size(); ++i) {
            uint32_t bits;
            std::memcpy(&bits, &buffer[i], 4);
            if (bits != sentinelBits) {
                fail("runBlock of " + std::to_string(frames) + " frames wrote sample " +
                     std::to_string(i) + " of the buffer of pin " + std::to_string(pin));
                return;
            }
        }
    }
}

void Case::audioBuffer(Random& r) {
    if (!audio)
        return;
    const int32_t pin = r.chance(70) ? audioOutputPin : r.pick({0, 1, 2, 3, -1, 99});
    std::vector<float> fresh;
    if (r.chance(90))
        fresh.assign(audioFrames + audioGuard, 0.0f);
    float* data = fresh.empty() ? nullptr : fresh.data();
    call("attachBuffer(pin " + std::to_string(pin) + (data ? ")" : ", null)"),
         [&] { return audio->attachBuffer(pin, data); });
    // The old buffer goes now; with no new one the pin has none.
    if (data)
        audioBuffers[pin] = std::move(fresh);
    else
        audioBuffers.erase(pin);
}

void Case::audioMessage(Random& r) {
    if (!audio)
        return;
    Bytes data = anyBlob(r);
    const int32_t id = r.chance(50) ? r.between(-1, 5) : anyInt(r);
    call("acceptMessage(" + std::to_string(id) + ")", [&] {
        return audio->acceptMessage(id, int32_t(data.size()), data.empty() ? nullptr : data.data());
    });
}

} // namespace

void CaseStats::add(const CaseStats& other) {
    moduleCalls += other.moduleCalls;
    nestedCalls += other.nestedCalls;
    hostCalls += other.hostCalls;
    for (const auto& [d, n] : other.callsAtDepth)
        callsAtDepth[d] += n;
    for (const auto& [from, n] : other.nestedFrom)
        nestedFrom[from] += n;
}

uint64_t caseSeed(uint64_t runSeed, int32_t subType, std::u16string_view moduleId) {
    uint64_t name = 0xCBF29CE484222325ull; // FNV-1a over the ID's units
    for (const char16_t unit : moduleId) {
        name ^= unit;
        name *= 0x100000001B3ull;
    }
    return mixSeeds(runSeed, mixSeeds(uint64_t(uint32_t(subType)), name));
}

CaseResult runCase(gmpi::IMpFactory2* factory, const ModuleProfile& profile,
                   const CaseOptions& options) {
    Case c(factory, profile, options);
    return c.run();
}

std::string currentActivity() {
    return runningCase ? runningCase->activity() : std::string();
}

Progress progress() {
    return {progressProfile.load(), progressStep.load(), progressSteps.load()};
}

} // namespace stress
