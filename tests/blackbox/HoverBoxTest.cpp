// KZ_HoverBox through the export: every hit test reports the point and pulses
// the hover output, and the point is never the module's.
#include "WidgetFixture.h"

#include <cmath>

using namespace testhost;
using blackbox::Sends;
using blackbox::sent;

namespace {

constexpr int32_t pinX = 0, pinY = 1, pinHover = 2;

const Sends pulse = {sent(pinHover, true), sent(pinHover, false)};

Sends concat(Sends a, const Sends& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class HoverBoxTest : public blackbox::WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        makeWidget(u"KZ_HoverBox");
    }
};

TEST_F(HoverBoxTest, AFreshBoxTestedAtTheOriginSendsOnlyThePulse) {
    EXPECT_EQ(graphics->probeHit({0, 0}), ResultFailure);
    EXPECT_EQ(sends(), pulse);
}

TEST_F(HoverBoxTest, CoordinatesAreSentWhenTheyMoveAndThePulseEveryTime) {
    EXPECT_EQ(graphics->probeHit({12.5f, 3}), ResultFailure);
    EXPECT_EQ(sends(), concat({sent(pinX, 12.5f), sent(pinY, 3.0f)}, pulse));
    EXPECT_EQ(graphics->probeHit({12.5f, 3}), ResultFailure);
    EXPECT_EQ(sends(), pulse);
    EXPECT_EQ(graphics->probeHit({12.5f, -4}), ResultFailure);
    EXPECT_EQ(sends(), concat({sent(pinY, -4.0f)}, pulse));
}

TEST_F(HoverBoxTest, ANaNCoordinateIsSentOnEveryHitTest) {
    const float nan = std::nanf("");
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(graphics->probeHit({nan, 0}), ResultFailure);
        EXPECT_EQ(sends(), concat({sent(pinX, nan)}, pulse));
    }
}

TEST_F(HoverBoxTest, PressMotionAndReleaseReportThePointAsAHitTestDoes) {
    EXPECT_EQ(press(1, 2), ResultFailure);
    EXPECT_EQ(sends(), concat({sent(pinX, 1.0f), sent(pinY, 2.0f)}, pulse));
    EXPECT_EQ(motion(3, 2, 0), ResultFailure);
    EXPECT_EQ(sends(), concat({sent(pinX, 3.0f)}, pulse));
    EXPECT_EQ(releaseAt(3, 2), ResultFailure);
    EXPECT_EQ(sends(), pulse);
    EXPECT_EQ(host.graphics.captureTakes, 0);
}

TEST_F(HoverBoxTest, AHitTestFromInsideThePulseLeavesOneRiseAndOneFall) {
    // The host answers the pulse's rise with a hit test of its own.
    bool nested = false;
    host.onAccept = [&](const SentValue& value) {
        if (value.pinId == pinHover && value.asBool() && !nested) {
            nested = true;
            graphics->probeHit({7, 7});
        }
    };
    graphics->probeHit({7, 7});
    host.onAccept = nullptr;
    EXPECT_EQ(sends(), concat({sent(pinX, 7.0f), sent(pinY, 7.0f)}, pulse));
}

TEST_F(HoverBoxTest, NothingIsEverDrawn) {
    place({0, 0, 50, 50});
    EXPECT_TRUE(paint()->calls.empty());
}

} // namespace
