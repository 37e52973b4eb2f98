// The drawing-side base: identity, attachment, the drawing defaults, the
// requests of the graphics host and the keyboard helpers.
#include "framework/MpGuiGfxBase.h"
#include "host/HostString.h"
#include "host/KeyState.h"
#include "host/PinBytes.h"
#include "host/TestHost.h"
#include "platform/Keyboard.h"
#include "tests/unit/SlotOrder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using gmpi_gui::MpGuiGfxBase;
using testhost::floatBits;
using testhost::HostInterface;

constexpr float nan = std::numeric_limits<float>::quiet_NaN();
constexpr float inf = std::numeric_limits<float>::infinity();

class PlainWidget : public MpGuiGfxBase {
public:
    explicit PlainWidget(bool* destroyed = nullptr) : destroyed(destroyed) {}
    ~PlainWidget() override {
        if (destroyed)
            *destroyed = true;
    }
    using MpGuiGfxBase::dropPointerCapture;
    using MpGuiGfxBase::queryPointerCapture;
    using MpGuiGfxBase::requestRemeasure;
    using MpGuiGfxBase::requestRepaint;
    using MpGuiGfxBase::takePointerCapture;

private:
    bool* destroyed;
};

class MissingWidget final : public PlainWidget {
public:
    int32_t probeHit(GuiPoint) override { return ResultFailure; }
};

class GfxBaseTest : public ::testing::Test {
protected:
    void TearDown() override {
        if (widget) {
            EXPECT_EQ(widget->release(), 0);
        }
        std::string report;
        EXPECT_TRUE(host.referencesBalanced(&report)) << report;
    }
    PlainWidget& attached() {
        widget = new PlainWidget;
        widget->attachHost(host.object());
        return *widget;
    }

    testhost::TestHost host;
    PlainWidget* widget = nullptr;
};

TEST(GfxBaseDefaults, DesiredSizeIsAtLeastOne) {
    struct Case {
        GuiSize available;
        GuiSize desired;
    } cases[] = {
        {{0.5f, 200.0f}, {1.0f, 200.0f}},
        {{nan, 3.0f}, {1.0f, 3.0f}},
        {{1.0f, 1.0f}, {1.0f, 1.0f}},
        {{-5.0f, inf}, {1.0f, inf}},
        {{1.0000001f, 0.0f}, {1.0000001f, 1.0f}},
        {{-inf, -nan}, {1.0f, 1.0f}},
    };
    PlainWidget widget;
    for (const Case& c : cases) {
        GuiSize desired{-1.0f, -1.0f};
        EXPECT_EQ(widget.computeDesiredSize(c.available, &desired), ResultSuccess);
        EXPECT_EQ(floatBits(desired.width), floatBits(c.desired.width)) << c.available.width;
        EXPECT_EQ(floatBits(desired.height), floatBits(c.desired.height)) << c.available.height;
    }
    EXPECT_EQ(widget.computeDesiredSize({2.0f, 2.0f}, nullptr), ResultFailure);
}

TEST(GfxBaseDefaults, PointerOperationsAnswerTheHitTest) {
    PlainWidget plain;
    MissingWidget missing;
    const GuiPoint p{3.0f, 4.0f};
    for (const int32_t flags : {0, int32_t(gmpi_gui_api::PointerButtonDown)}) {
        EXPECT_EQ(plain.onPress(flags, p), ResultSuccess);
        EXPECT_EQ(plain.onMotion(flags, p), ResultSuccess);
        EXPECT_EQ(plain.onRelease(flags, p), ResultSuccess);
        EXPECT_EQ(missing.onPress(flags, p), ResultFailure);
        EXPECT_EQ(missing.onMotion(flags, p), ResultFailure);
        EXPECT_EQ(missing.onRelease(flags, p), ResultFailure);
    }
    // The host reaches the override through the graphics interface as well.
    gmpi_gui_api::IMpGraphics2* graphics = &missing;
    EXPECT_EQ(graphics->onPress(0, p), ResultFailure);
    EXPECT_EQ(graphics->probeHit(p), ResultFailure);
}

TEST(GfxBaseDefaults, RepaintDrawsNothingAndHintTextIsNotGiven) {
    PlainWidget widget;
    testhost::HostString text;
    text.text = "kept";
    EXPECT_EQ(widget.graphicsHintTextAt({1.0f, 1.0f}, &text), ResultFailure);
    EXPECT_EQ(text.text, "kept");
    EXPECT_EQ(widget.onRepaint(nullptr), ResultSuccess);
}

TEST(GfxBaseIdentity, AnswersBothTablesWithDifferentPointersToOneObject) {
    bool destroyed = false;
    auto* widget = new PlainWidget(&destroyed);
    void* graphics = nullptr;
    void* unknown = nullptr;
    ASSERT_EQ(widget->queryInterface(iidOf<gmpi_gui_api::IMpGraphics>(), &graphics), ResultSuccess);
    ASSERT_EQ(widget->queryInterface(iidOf<gmpi::IMpUnknown>(), &unknown), ResultSuccess);
    EXPECT_EQ(graphics, static_cast<gmpi_gui_api::IMpGraphics2*>(widget));
    EXPECT_EQ(unknown, static_cast<gmpi::IMpUserInterface2B*>(widget));
    EXPECT_NE(graphics, unknown);
    EXPECT_EQ(widget->addRef(), 4) << "each answer added one reference";

    // The same answers through the graphics part.
    auto* part = static_cast<gmpi_gui_api::IMpGraphics2*>(graphics);
    const InterfaceId guiIds[] = {iidOf<gmpi::IMpUnknown>(), iidOf<gmpi::IMpUserInterface2>(),
                                  iidOf<gmpi::IMpUserInterface2B>()};
    const InterfaceId graphicsIds[] = {iidOf<gmpi_gui_api::IMpGraphics>(),
                                       iidOf<gmpi_gui_api::IMpGraphics2>()};
    for (const InterfaceId& id : guiIds) {
        void* out = nullptr;
        ASSERT_EQ(part->queryInterface(id, &out), ResultSuccess);
        EXPECT_EQ(out, unknown);
        part->release();
    }
    for (const InterfaceId& id : graphicsIds) {
        void* out = nullptr;
        ASSERT_EQ(part->queryInterface(id, &out), ResultSuccess);
        EXPECT_EQ(out, graphics);
        part->release();
    }
    void* out = widget;
    EXPECT_EQ(part->queryInterface(iidOf<gmpi::IString>(), &out), ResultUnsupported);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(part->queryInterface(iidOf<IGraphicsHost>(), &out), ResultUnsupported);

    EXPECT_EQ(part->release(), 3);
    EXPECT_EQ(widget->release(), 2);
    EXPECT_EQ(widget->release(), 1);
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(widget->release(), 0);
    EXPECT_TRUE(destroyed);
}

TEST_F(GfxBaseTest, AttachKeepsBothHostInterfacesUntilDestroyed) {
    PlainWidget& w = attached();
    EXPECT_EQ(host.references(HostInterface::Gui), 1);
    EXPECT_EQ(host.references(HostInterface::Graphics), 1);
    EXPECT_EQ(w.getGraphicsHost() != nullptr, true);
    EXPECT_NE(w.getGuiHost(), nullptr);
}

TEST_F(GfxBaseTest, AttachAnswersAsTheGuiBaseDoes) {
    host.offer(HostInterface::Gui, false);
    widget = new PlainWidget;
    EXPECT_EQ(widget->attachHost(host.object()), ResultUnsupported);
    EXPECT_NE(widget->getGraphicsHost(), nullptr) << "the graphics host is kept regardless";
    host.offer(HostInterface::Gui, true);
    host.offer(HostInterface::Graphics, false);
    EXPECT_EQ(widget->attachHost(host.object()), ResultSuccess);
    EXPECT_EQ(widget->getGraphicsHost(), nullptr);
    EXPECT_EQ(host.references(HostInterface::Graphics), 0);
    EXPECT_EQ(widget->attachHost(nullptr), ResultUnsupported);
}

TEST_F(GfxBaseTest, BoundsChangesAskForOneRepaintOfTheWholeModule) {
    PlainWidget& w = attached();
    struct Step {
        GuiRect rect;
        bool repaints;
    } steps[] = {
        {{0.0f, 0.0f, 0.0f, 0.0f}, false},   {{-0.0f, 0.0f, 0.0f, -0.0f}, false},
        {{0.0f, 0.0f, 100.0f, 50.0f}, true}, {{0.0f, 0.0f, 100.0f, 50.0f}, false},
        {{0.0f, 1.0f, 100.0f, 50.0f}, true}, {{0.0f, 1.0f, 100.0f, nan}, true},
        {{0.0f, 1.0f, 100.0f, nan}, true},   {{2.0f, 1.0f, 100.0f, 60.0f}, true},
    };
    size_t repaints = 0;
    for (const Step& s : steps) {
        EXPECT_EQ(w.acceptBounds(&s.rect), ResultSuccess);
        repaints += s.repaints ? 1 : 0;
        ASSERT_EQ(host.graphics.repaints.size(), repaints) << s.rect.left << " " << s.rect.bottom;
        if (s.repaints) {
            EXPECT_FALSE(host.graphics.repaints.back().has_value()) << "the whole module";
        }
    }
    EXPECT_EQ(w.getBounds().left, 2.0f);
    EXPECT_EQ(w.getBounds().bottom, 60.0f);
    EXPECT_EQ(w.acceptBounds(nullptr), ResultFailure);
}

TEST_F(GfxBaseTest, RequestsAndCaptureGoThroughTheGraphicsHost) {
    PlainWidget& w = attached();
    EXPECT_FALSE(w.queryPointerCapture());
    w.takePointerCapture();
    EXPECT_TRUE(host.graphics.captured);
    EXPECT_TRUE(w.queryPointerCapture());
    w.dropPointerCapture();
    EXPECT_FALSE(w.queryPointerCapture());
    EXPECT_EQ(host.graphics.captureTakes, 1);
    EXPECT_EQ(host.graphics.captureDrops, 1);
    const GuiRect area{1.0f, 2.0f, 3.0f, 4.0f};
    w.requestRepaint(&area);
    w.requestRemeasure();
    ASSERT_EQ(host.graphics.repaints.size(), 1u);
    EXPECT_EQ(host.graphics.repaints[0]->right, 3.0f);
    EXPECT_EQ(host.graphics.remeasures, 1);
}

TEST_F(GfxBaseTest, WithoutGraphicsHostRequestsAreSkipped) {
    host.offer(HostInterface::Graphics, false);
    PlainWidget& w = attached();
    host.graphics.captured = true; // whatever the host holds, this widget has no way to it
    const GuiRect rect{0.0f, 0.0f, 10.0f, 10.0f};
    EXPECT_EQ(w.acceptBounds(&rect), ResultSuccess);
    EXPECT_EQ(w.getBounds().right, 10.0f);
    w.requestRepaint();
    w.requestRemeasure();
    w.takePointerCapture();
    EXPECT_FALSE(w.queryPointerCapture());
    w.dropPointerCapture();
    EXPECT_TRUE(host.graphics.repaints.empty());
    EXPECT_EQ(host.graphics.remeasures, 0);
    EXPECT_EQ(host.graphics.captureTakes + host.graphics.captureDrops, 0);
}

TEST(GfxBaseKeyboard, ModifierHelpersReadTheKeyState) {
    struct Case {
        bool shift, control, alt;
        int32_t bits;
    } cases[] = {
        {false, false, false, 0}, {true, false, false, 1}, {false, true, false, 2},
        {false, false, true, 4},  {true, true, true, 7},   {true, false, true, 5},
    };
    for (const Case& c : cases) {
        testhost::setKeyDown(platform::KeyShift, c.shift);
        testhost::setKeyDown(platform::KeyControl, c.control);
        testhost::setKeyDown(platform::KeyAlt, c.alt);
        EXPECT_EQ(gmpi_gui::isShiftDown(), c.shift);
        EXPECT_EQ(gmpi_gui::isControlDown(), c.control);
        EXPECT_EQ(gmpi_gui::isAltDown(), c.alt);
        EXPECT_EQ(gmpi_gui::modifierKeyBits(), c.bits);
    }
    for (const int32_t key : {platform::KeyShift, platform::KeyControl, platform::KeyAlt})
        testhost::setKeyDown(key, false);
}

TEST(GfxBaseLayout, DrawingOperationsFollowTheGuiBaseSlots) {
    using slots::slotOf;
    using B = MpGuiGfxBase;
    // MpGuiBase2's table ends with the destructor's two slots and sendPinToHost.
    const int first = slotOf(&MpGuiBase2::sendPinToHost) + 1;
    EXPECT_EQ(first, 14);
    slots::expectSlotsInOrder("MpGuiGfxBase",
                              {slotOf(&B::computeDesiredSize), slotOf(&B::acceptBounds),
                               slotOf(&B::onRepaint), slotOf(&B::onPress), slotOf(&B::onMotion),
                               slotOf(&B::onRelease), slotOf(&B::probeHit),
                               slotOf(&B::graphicsHintTextAt)},
                              first);
    slots::expectSlotsInOrder("MpGuiGfxBase identity",
                              {slotOf(&B::queryInterface), slotOf(&B::addRef), slotOf(&B::release),
                               slotOf(&B::attachHost)});
}

} // namespace
