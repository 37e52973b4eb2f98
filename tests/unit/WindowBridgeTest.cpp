// The window bridge bases: host requirements, sizes and bounds, the child
// window's life and messages, and the composited kind's forwarders. The
// Windows build makes real windows (under wine, on a virtual display); the
// Linux build uses the platform layer's window table.
#include "framework/WindowBridge.h"
#include "framework/MpFactory.h"
#include "tests/unit/SlotOrder.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include "platform/linux/WindowTable.h"
#endif

namespace {

using Log = std::vector<std::string>;

enum class Needed { Legacy, Window, Window2, Compositor };

// A host object answering the interfaces the bridge asks for, each of which
// can be withheld; it counts references per interface and logs the queries.
class BridgeHost {
public:
    template <class Interface> class Part : public Interface {
    public:
        explicit Part(BridgeHost& host) : host(host) {}
        int32_t queryInterface(const InterfaceId& iid, void** out) override {
            return host.answer(iid, out);
        }
        int32_t addRef() override { return ++refs; }
        int32_t release() override { return --refs; }
        int32_t refs = 0;

    protected:
        BridgeHost& host;
    };

    class LegacyPart final : public Part<ILegacyGuiHost> {
    public:
        using Part::Part;
        int32_t acceptPinValue(int32_t, int32_t, const void*, int32_t) override {
            return ResultSuccess;
        }
        int32_t resolveFileName(const char16_t*, int32_t, char16_t*) override {
            return ResultFailure;
        }
        int32_t countPins(int32_t* count) override {
            *count = 0;
            return ResultSuccess;
        }
    };

    class CompositorPart final : public Part<ICompositorHost> {
    public:
        using Part::Part;
        int32_t requestRepaint() override { return note("repaint"); }
        int32_t takePointerCapture() override { return note("take"); }
        int32_t queryPointerCapture(int32_t* captured) override {
            *captured = host.capturedAnswer;
            return note("query");
        }
        int32_t dropPointerCapture() override { return note("drop"); }

    private:
        int32_t note(const char* what) {
            host.compositorCalls.push_back(what);
            return ResultSuccess;
        }
    };

    gmpi::IMpUnknown* object() { return &legacy; }
    void withhold(Needed which) { withheld.insert(which); }

    int32_t references() const {
        return legacy.refs + window.refs + window2.refs + compositor.refs;
    }

    std::vector<std::string> queries;
    std::vector<std::string> compositorCalls;
    int32_t capturedAnswer = 0;

    LegacyPart legacy{*this};
    Part<IWindowHost> window{*this};
    Part<IWindowHost2> window2{*this};
    CompositorPart compositor{*this};

private:
    template <class I> int32_t give(I& part, Needed which, const char* name, void** out) {
        queries.push_back(name);
        if (withheld.count(which))
            return ResultUnsupported;
        *out = &part;
        part.addRef();
        return ResultSuccess;
    }
    int32_t answer(const InterfaceId& iid, void** out) {
        *out = nullptr;
        if (iid == iidOf<ILegacyGuiHost>())
            return give(legacy, Needed::Legacy, "legacy", out);
        if (iid == iidOf<IWindowHost>())
            return give(window, Needed::Window, "window", out);
        if (iid == iidOf<IWindowHost2>())
            return give(window2, Needed::Window2, "window2", out);
        if (iid == iidOf<ICompositorHost>())
            return give(compositor, Needed::Compositor, "compositor", out);
        return ResultUnsupported;
    }

    std::set<Needed> withheld;
};

int destroyedObjects = 0;

// Logs what reaches its handlers into a log that outlives it.
template <class Base> class Logged : public Base {
public:
    explicit Logged(Log* log = nullptr) : log(log) {}
    ~Logged() override { ++destroyedObjects; }

protected:
    void note(const std::string& line) {
        if (log)
            log->push_back(line);
    }
    Log* log;
};

class WindowProbe final : public Logged<MpGuiWindowsGfxBase> {
public:
    using Logged::Logged;
    intptr_t handleWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                                 intptr_t lParam) override {
        if (message == platform::MessageDestroy)
            note("destroy");
        return MpGuiWindowsGfxBase::handleWindowMessage(window, message, wParam, lParam);
    }
    void chooseWindowStyle(int32_t* style, int32_t* exStyle) override {
        MpGuiWindowsGfxBase::chooseWindowStyle(style, exStyle);
        if (topLevel)
            *style = int32_t(platform::StyleOverlapped);
    }
    int32_t onPaintDc(platform::DeviceContext dc) override {
        note(dc ? "paint" : "paint without context");
        return 0;
    }
    int32_t onLeftButtonDown(int32_t flags, int32_t x, int32_t y) override {
        return pointer("down", flags, x, y);
    }
    int32_t onLeftButtonUp(int32_t flags, int32_t x, int32_t y) override {
        return pointer("up", flags, x, y);
    }
    int32_t onMouseMotion(int32_t flags, int32_t x, int32_t y) override {
        return pointer("move", flags, x, y);
    }
    int32_t onWindowTimer() override {
        note("timer");
        return 0;
    }

    bool topLevel = false;

private:
    int32_t pointer(const char* what, int32_t flags, int32_t x, int32_t y) {
        note(std::string(what) + " " + std::to_string(flags) + " " + std::to_string(x) + " " +
             std::to_string(y));
        return 0;
    }
};

class Window2Probe final : public Logged<SeGuiWindowsGfxBase> {
public:
    using Logged::Logged;
};

class CompositedProbe final : public Logged<SeGuiCompositedGfxBase> {
public:
    using Logged::Logged;
};

template <class Probe> gmpi::IMpUnknown* makeProbe() {
    return static_cast<gmpi::IMpUserInterface*>(new Probe);
}

intptr_t pointerParam(int32_t x, int32_t y) {
    return intptr_t(uint16_t(int16_t(x))) | intptr_t(uint16_t(int16_t(y))) << 16;
}

bool takeQuitMessage() {
#ifdef _WIN32
    MSG message;
    return PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
#else
    static int32_t seen = 0;
    const int32_t now = platform::standin::quitMessagesPosted();
    const bool posted = now > seen;
    seen = now;
    return posted;
#endif
}

constexpr char16_t parentClassName[] = u"TavriBridgeTestParent";

bool bridgeClassRegistered() {
    return platform::windowClassRegistered(bridgeWindowClassName, platform::ownModuleHandle());
}

class WindowBridge : public ::testing::Test {
protected:
    void SetUp() override {
        static const bool parentClass = [] {
            platform::WindowClass spec{};
            spec.size = sizeof spec;
            spec.procedure = &platform::defaultWindowProc;
            spec.instance = platform::ownModuleHandle();
            spec.className = parentClassName;
            return platform::registerWindowClass(spec) != 0;
        }();
        ASSERT_TRUE(parentClass);
        parent = makeParent();
        ASSERT_NE(parent, nullptr);
        takeQuitMessage();
    }
    void TearDown() override {
        if (platform::isWindow(parent))
            platform::destroyWindow(parent);
        EXPECT_EQ(MpGuiWindowsGfxBase::openWindowCount(), 0);
        EXPECT_FALSE(bridgeClassRegistered());
        EXPECT_EQ(host.references(), 0);
        EXPECT_FALSE(takeQuitMessage());
    }
    static WindowHandle makeParent() {
        return platform::createWindow(0, parentClassName, u"bridge test", platform::StyleOverlapped,
                                      0, 0, 400, 300, nullptr, platform::ownModuleHandle());
    }
    WindowProbe* openProbe(int32_t top, int32_t bottom, int32_t left, int32_t right) {
        auto* probe = new WindowProbe(&log);
        probe->acceptBounds(top, bottom, left, right);
        WindowHandle out = nullptr;
        EXPECT_EQ(probe->openChildWindow(parent, &out), ResultSuccess);
        EXPECT_EQ(out, probe->getWindow());
        return probe;
    }

    BridgeHost host;
    Log log;
    WindowHandle parent = nullptr;
};

TEST_F(WindowBridge, DesiredSizesAreClampedTo15To100) {
    struct Case {
        int32_t width, height, desiredWidth, desiredHeight;
    };
    const Case cases[] = {
        {0, 0, 15, 15},     {14, 15, 15, 15}, {15, 100, 15, 100},
        {50, 101, 50, 100}, {-1, 99, 15, 99}, {INT32_MIN, INT32_MAX, 15, 100},
    };
    auto* window = new WindowProbe;
    auto* composited = new CompositedProbe;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        int32_t w = -1, h = -1;
        EXPECT_EQ(window->computeDesiredSize(c.width, c.height, &w, &h), ResultSuccess);
        EXPECT_EQ(w, c.desiredWidth);
        EXPECT_EQ(h, c.desiredHeight);
        w = h = -1;
        EXPECT_EQ(composited->computeDesiredSize(c.width, c.height, &w, &h), ResultSuccess);
        EXPECT_EQ(w, c.desiredWidth);
        EXPECT_EQ(h, c.desiredHeight);
    }
    EXPECT_EQ(window->computeDesiredSize(10, 10, nullptr, nullptr), ResultSuccess);
    window->release();
    composited->release();
}

TEST_F(WindowBridge, BoundsAreStoredUnchanged) {
    auto* window = new WindowProbe;
    auto* composited = new CompositedProbe;
    EXPECT_EQ(window->acceptBounds(-5, 7, 300, -2), ResultSuccess);
    EXPECT_EQ(composited->acceptBounds(1, 2, 3, 4), ResultSuccess);
    EXPECT_EQ(std::vector<int32_t>(window->getBounds(), window->getBounds() + 4),
              (std::vector<int32_t>{-5, 7, 300, -2}));
    EXPECT_EQ(std::vector<int32_t>(composited->getBounds(), composited->getBounds() + 4),
              (std::vector<int32_t>{1, 2, 3, 4}));
    window->release();
    composited->release();
}

TEST_F(WindowBridge, OpeningPlacesAChildWindowFromTheBoundsAndClosingRemovesIt) {
    WindowProbe* probe = openProbe(10, 60, 20, 100);
    const WindowHandle window = probe->getWindow();
    ASSERT_TRUE(platform::isWindow(window));
    EXPECT_EQ(platform::parentWindow(window), parent);
    const platform::WindowPlacement place = platform::windowPlacement(window);
    EXPECT_EQ(place.x, 20);
    EXPECT_EQ(place.y, 10);
    EXPECT_EQ(place.width, 80);
    EXPECT_EQ(place.height, 50);
    EXPECT_EQ(platform::windowUserData(window), reinterpret_cast<intptr_t>(probe));
    EXPECT_EQ(MpGuiWindowsGfxBase::openWindowCount(), 1);
    EXPECT_TRUE(bridgeClassRegistered());

    EXPECT_EQ(probe->closeChildWindow(), ResultSuccess);
    EXPECT_FALSE(platform::isWindow(window));
    EXPECT_EQ(probe->getWindow(), nullptr);
    EXPECT_EQ(MpGuiWindowsGfxBase::openWindowCount(), 0);
    EXPECT_FALSE(bridgeClassRegistered());
    EXPECT_EQ(log, Log{"destroy"}); // closing still reaches the object
    EXPECT_EQ(probe->closeChildWindow(), ResultSuccess);
    EXPECT_EQ(MpGuiWindowsGfxBase::openWindowCount(), 0);
    probe->release();
}

TEST_F(WindowBridge, TheClassStaysRegisteredWhileAnyBridgeWindowIsOpen) {
    WindowProbe* first = openProbe(0, 20, 0, 20);
    WindowProbe* second = openProbe(0, 20, 30, 50);
    EXPECT_EQ(MpGuiWindowsGfxBase::openWindowCount(), 2);
    first->closeChildWindow();
    EXPECT_EQ(MpGuiWindowsGfxBase::openWindowCount(), 1);
    EXPECT_TRUE(bridgeClassRegistered());
    EXPECT_TRUE(platform::isWindow(second->getWindow()));
    second->closeChildWindow();
    EXPECT_FALSE(bridgeClassRegistered());
    first->release();
    second->release();
}

TEST_F(WindowBridge, ASecondOpenClosesTheFirstWindow) {
    WindowProbe* probe = openProbe(0, 20, 0, 20);
    const WindowHandle first = probe->getWindow();
    WindowHandle out = nullptr;
    ASSERT_EQ(probe->openChildWindow(parent, &out), ResultSuccess);
    EXPECT_FALSE(platform::isWindow(first));
    EXPECT_TRUE(platform::isWindow(out));
    EXPECT_EQ(MpGuiWindowsGfxBase::openWindowCount(), 1);
    probe->release();
}

TEST_F(WindowBridge, AWindowThatCannotBeMadeLeavesTheCountAndTheOutHandleAlone) {
    const WindowHandle gone = makeParent();
    platform::destroyWindow(gone);
    auto* probe = new WindowProbe(&log);
    probe->acceptBounds(0, 10, 0, 10);
    for (const WindowHandle badParent : {WindowHandle(nullptr), gone}) {
        WindowHandle out = parent;
        EXPECT_EQ(probe->openChildWindow(badParent, &out), ResultFailure);
        EXPECT_EQ(out, nullptr);
        EXPECT_EQ(probe->getWindow(), nullptr);
        EXPECT_EQ(MpGuiWindowsGfxBase::openWindowCount(), 0);
        EXPECT_FALSE(bridgeClassRegistered());
    }
    // With another bridge window open the class stays.
    WindowProbe* other = openProbe(0, 10, 0, 10);
    WindowHandle out = parent;
    EXPECT_EQ(probe->openChildWindow(gone, &out), ResultFailure);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(MpGuiWindowsGfxBase::openWindowCount(), 1);
    EXPECT_TRUE(bridgeClassRegistered());
    probe->release();
    other->release();
}

TEST_F(WindowBridge, ReleasingTheObjectClosesItsWindowWithoutCallingItBack) {
    WindowProbe* probe = openProbe(0, 20, 0, 20);
    const WindowHandle window = probe->getWindow();
    destroyedObjects = 0;
    EXPECT_EQ(probe->release(), 0);
    EXPECT_EQ(destroyedObjects, 1);
    EXPECT_FALSE(platform::isWindow(window));
    EXPECT_TRUE(log.empty());
}

TEST_F(WindowBridge, MessagesReachTheirHandlers) {
    WindowProbe* probe = openProbe(0, 50, 0, 50);
    const WindowHandle window = probe->getWindow();
    struct Case {
        uint32_t message;
        uintptr_t wParam;
        intptr_t lParam;
        intptr_t result;
        const char* logged;
    };
    const Case cases[] = {
        {platform::MessageLeftButtonDown, 1, pointerParam(-3, 7), 1, "down 1 -3 7"},
        {platform::MessageLeftButtonUp, 0, pointerParam(32767, -32768), 1, "up 0 32767 -32768"},
        {platform::MessageMouseMove, 9, pointerParam(12, 34), 1, "move 9 12 34"},
        {platform::MessageTimer, 0, 0, 1, "timer"},
        {platform::MessagePaint, 0, 0, 1, "paint"},
        {0x0400, 0, 0, 0, nullptr}, // WM_USER: the default procedure
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        log.clear();
        EXPECT_EQ(platform::sendMessage(window, c.message, c.wParam, c.lParam), c.result);
        EXPECT_EQ(log, c.logged ? Log{c.logged} : Log{});
    }
    probe->release();
}

TEST_F(WindowBridge, ACloseMessageDestroysTheWindowAndTheObjectStillClosesOnce) {
    WindowProbe* probe = openProbe(0, 20, 0, 20);
    const WindowHandle window = probe->getWindow();
    EXPECT_EQ(platform::sendMessage(window, platform::MessageClose, 0, 0), 1);
    EXPECT_FALSE(platform::isWindow(window));
    EXPECT_EQ(log, Log{"destroy"});
    EXPECT_EQ(MpGuiWindowsGfxBase::openWindowCount(), 1);
    EXPECT_EQ(probe->closeChildWindow(), ResultSuccess);
    EXPECT_EQ(MpGuiWindowsGfxBase::openWindowCount(), 0);
    probe->release();
}

TEST_F(WindowBridge, AWindowDestroyedWithItsParentLeavesOtherWindowsAlone) {
    WindowProbe* probe = openProbe(0, 20, 0, 20);
    const WindowHandle oldParent = parent;
    parent = makeParent();
    platform::destroyWindow(oldParent);
    EXPECT_FALSE(platform::isWindow(probe->getWindow()));
    WindowProbe* other = openProbe(0, 20, 0, 20);
    probe->closeChildWindow();
    EXPECT_TRUE(platform::isWindow(other->getWindow()));
    EXPECT_EQ(MpGuiWindowsGfxBase::openWindowCount(), 1);
    other->release();
    probe->release();
}

TEST_F(WindowBridge, OnlyAWindowWithoutParentPostsQuitWhenDestroyed) {
    WindowProbe* child = openProbe(0, 20, 0, 20);
    child->closeChildWindow();
    EXPECT_FALSE(takeQuitMessage());

    auto* topLevel = new WindowProbe(&log);
    topLevel->topLevel = true;
    topLevel->acceptBounds(0, 40, 0, 40);
    WindowHandle out = nullptr;
    ASSERT_EQ(topLevel->openChildWindow(nullptr, &out), ResultSuccess);
    EXPECT_EQ(platform::parentWindow(out), nullptr);
    topLevel->closeChildWindow();
    EXPECT_TRUE(takeQuitMessage());
    child->release();
    topLevel->release();
}

TEST_F(WindowBridge, CaptureAndRepaintGoToTheWindow) {
    WindowProbe* probe = openProbe(0, 20, 0, 20);
    EXPECT_FALSE(probe->hasCapture());
    probe->takeCapture();
    EXPECT_TRUE(probe->hasCapture());
    EXPECT_EQ(platform::captureWindow(), probe->getWindow());
    probe->dropCapture();
    EXPECT_FALSE(probe->hasCapture());
    probe->invalidate();
#ifndef _WIN32
    EXPECT_EQ(platform::standin::invalidations(probe->getWindow()), 1);
#endif
    probe->closeChildWindow();
    probe->invalidate(); // no window: nothing
    probe->takeCapture();
    EXPECT_FALSE(probe->hasCapture());
    probe->release();
}

TEST_F(WindowBridge, TheWindowClassAndStyle) {
    auto* probe = new WindowProbe;
    platform::WindowClass spec{};
    probe->describeWindowClass(&spec);
    EXPECT_EQ(spec.style, platform::ClassHorizontalRedraw | platform::ClassVerticalRedraw);
    EXPECT_NE(spec.procedure, nullptr);
    EXPECT_EQ(spec.instance, platform::ownModuleHandle());
    EXPECT_EQ(spec.cursor, platform::arrowCursor());
    EXPECT_EQ(std::u16string(spec.className), u"DefaultMpWClass");
    int32_t style = 0, exStyle = -1;
    static_cast<MpGuiWindowsGfxBase*>(probe)->MpGuiWindowsGfxBase::chooseWindowStyle(&style,
                                                                                     &exStyle);
    EXPECT_EQ(uint32_t(style), 0x50000000u); // WS_CHILD | WS_VISIBLE
    EXPECT_EQ(exStyle, 0);
    probe->release();
}

// Host requirements.

struct HostCase {
    const char* name;
    gmpi::IMpUnknown* (*create)();
    std::vector<Needed> needed;
    std::vector<std::string> queries; // all offered
};

const HostCase hostCases[] = {
    {"MpGuiWindowsGfxBase",
     &makeProbe<WindowProbe>,
     {Needed::Legacy, Needed::Window},
     {"legacy", "window"}},
    {"SeGuiWindowsGfxBase",
     &makeProbe<Window2Probe>,
     {Needed::Legacy, Needed::Window, Needed::Window2},
     {"legacy", "window", "window2"}},
    {"SeGuiCompositedGfxBase",
     &makeProbe<CompositedProbe>,
     {Needed::Legacy, Needed::Compositor},
     {"legacy", "compositor"}},
};

TEST(WindowBridgeHost, EachBaseTakesAllItsHostInterfacesInOrder) {
    for (const HostCase& c : hostCases) {
        SCOPED_TRACE(c.name);
        BridgeHost host;
        auto* made =
            dynamic_cast<MpGuiBase_base*>(static_cast<gmpi::IMpUserInterface*>(c.create()));
        EXPECT_EQ(made->attachHost(host.object()), ResultSuccess);
        EXPECT_EQ(host.queries, c.queries);
        EXPECT_EQ(host.references(), int32_t(c.needed.size()));
        made->release();
        EXPECT_EQ(host.references(), 0);
    }
}

TEST(WindowBridgeHost, AMissingInterfaceIsRefusedAndStopsTheQueries) {
    for (const HostCase& c : hostCases) {
        for (size_t missing = 0; missing < c.needed.size(); ++missing) {
            SCOPED_TRACE(testing::Message() << c.name << " without " << c.queries[missing]);
            BridgeHost host;
            host.withhold(c.needed[missing]);
            auto* made =
                dynamic_cast<MpGuiBase_base*>(static_cast<gmpi::IMpUserInterface*>(c.create()));
            EXPECT_EQ(made->attachHost(host.object()), ResultUnsupported);
            EXPECT_EQ(host.queries,
                      std::vector<std::string>(c.queries.begin(),
                                               c.queries.begin() + std::ptrdiff_t(missing) + 1));
            made->release();
            EXPECT_EQ(host.references(), 0);

            // Through the factory the refusal fails the creation.
            MpFactory factory;
            factory.addModuleCreator(u"Bridge", GuiPart, c.create);
            destroyedObjects = 0;
            void* out = &out;
            EXPECT_EQ(factory.makeModule(u"Bridge", GuiPart, host.object(), &out), ResultFailure);
            EXPECT_EQ(out, nullptr);
            EXPECT_EQ(destroyedObjects, 1);
            EXPECT_EQ(host.references(), 0);
        }
    }
}

TEST(WindowBridgeIdentity, EachBaseAnswersItsGraphicsInterfaceAndCountsOnItsOwn) {
    auto* window = new Window2Probe;
    void* out = nullptr;
    ASSERT_EQ(window->queryInterface(iidOf<IMpGraphicsWinGdi>(), &out), ResultSuccess);
    auto* gdi = static_cast<IMpGraphicsWinGdi*>(out);
    EXPECT_EQ(gdi, static_cast<IMpGraphicsWinGdi*>(window));
    EXPECT_EQ(gdi->addRef(), 3);
    EXPECT_EQ(gdi->release(), 2);
    EXPECT_EQ(window->queryInterface(iidOf<ISeGraphicsComposited>(), &out), ResultUnsupported);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(window->queryInterface(iidOf<gmpi::IMpUserInterface>(), &out), ResultSuccess);
    EXPECT_EQ(out, static_cast<gmpi::IMpUserInterface*>(window));
    EXPECT_EQ(window->release(), 2);
    EXPECT_EQ(gdi->release(), 1);
    destroyedObjects = 0;
    EXPECT_EQ(window->release(), 0);
    EXPECT_EQ(destroyedObjects, 1);

    auto* composited = new CompositedProbe;
    ASSERT_EQ(composited->queryInterface(iidOf<ISeGraphicsComposited>(), &out), ResultSuccess);
    EXPECT_EQ(out, static_cast<ISeGraphicsComposited*>(composited));
    EXPECT_EQ(composited->queryInterface(iidOf<IMpGraphicsWinGdi>(), &out), ResultUnsupported);
    EXPECT_EQ(composited->release(), 1);
    EXPECT_EQ(composited->release(), 0);
}

TEST(WindowBridgeComposited, HooksAnswerZeroAndHelpersForwardToTheCompositor) {
    auto* probe = new CompositedProbe;
    ISeGraphicsComposited* part = probe;
    EXPECT_EQ(part->compositedHookA(), 0);
    EXPECT_EQ(part->compositedHookB(), 0);
    EXPECT_EQ(part->compositedHookC(), 0);
    EXPECT_EQ(part->compositedHookD(), 0);
    EXPECT_EQ(part->compositedHookE(), 0);
    EXPECT_EQ(part->compositedHookF(), 0);
    // Without a compositor the helpers do nothing.
    probe->invalidate();
    probe->takeCapture();
    EXPECT_FALSE(probe->hasCapture());

    BridgeHost host;
    ASSERT_EQ(probe->attachHost(host.object()), ResultSuccess);
    probe->invalidate();
    probe->takeCapture();
    host.capturedAnswer = 5;
    EXPECT_TRUE(probe->hasCapture());
    host.capturedAnswer = 0;
    EXPECT_FALSE(probe->hasCapture());
    probe->dropCapture();
    EXPECT_EQ(host.compositorCalls,
              (std::vector<std::string>{"repaint", "take", "query", "query", "drop"}));
    probe->release();
    EXPECT_EQ(host.references(), 0);
}

using slots::slotOf;

TEST(WindowBridgeSlots, PrimaryInterfaces) {
    using Gdi = MpGuiWindowsGfxBase;
    EXPECT_EQ(slotOf(&Gdi::attachHost), 11);
    EXPECT_EQ(slotOf(&Gdi::computeDesiredSize), 13);
    EXPECT_EQ(slotOf(&Gdi::acceptBounds), 14);
    EXPECT_EQ(slotOf(&Gdi::openChildWindow), 15);
    EXPECT_EQ(slotOf(&Gdi::closeChildWindow), 16);
    EXPECT_EQ(slotOf(&Gdi::handleWindowMessage), 17);
    EXPECT_EQ(slotOf(&Gdi::describeWindowClass), 18);
    EXPECT_EQ(slotOf(&Gdi::chooseWindowStyle), 19);
    EXPECT_EQ(slotOf(&Gdi::registerWindowClass), 20);
    EXPECT_EQ(slotOf(&Gdi::unregisterWindowClass), 21);
    EXPECT_EQ(slotOf(&Gdi::onPaintDc), 22);
    EXPECT_EQ(slotOf(&Gdi::onLeftButtonDown), 23);
    EXPECT_EQ(slotOf(&Gdi::onLeftButtonUp), 24);
    EXPECT_EQ(slotOf(&Gdi::onMouseMotion), 25);
    EXPECT_EQ(slotOf(&Gdi::onWindowTimer), 26);
    EXPECT_EQ(slotOf(&SeGuiWindowsGfxBase::attachHost), 11);
    using Composited = SeGuiCompositedGfxBase;
    EXPECT_EQ(slotOf(&Composited::compositedHookA), 13);
    EXPECT_EQ(slotOf(&Composited::computeDesiredSize), 14);
    EXPECT_EQ(slotOf(&Composited::acceptBounds), 15);
    EXPECT_EQ(slotOf(&Composited::compositedHookB), 16);
    EXPECT_EQ(slotOf(&Composited::compositedHookF), 20);
}

} // namespace
