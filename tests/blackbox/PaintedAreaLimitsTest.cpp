// Widgets painted into areas of extreme sizes through the test host: empty,
// inverted, not a number and far larger than any screen. The host must keep
// what it is given sound (no pixels for an empty picture) and cheap (offscreen
// pictures of a huge area cost no pixel memory, as nothing reads them).
#include "WidgetFixture.h"

#include <limits>

using namespace testhost;

namespace {

constexpr int32_t scrollPage = 1, scrollRange = 2;
constexpr float inf = std::numeric_limits<float>::infinity();
constexpr float nan = std::numeric_limits<float>::quiet_NaN();

class PaintedAreaLimitsTest : public blackbox::WidgetTest {};

TEST_F(PaintedAreaLimitsTest, AScrollBarPaintsInAreasOfEverySizeWithBoundedPixelMemory) {
    struct Case {
        const char* name;
        GuiRect bounds;
        GuiSize track;                   // the track picture's size as the bar asks for it
        int32_t trackWidth, trackHeight; // and as the host gives it
    };
    const Case cases[] = {
        {"empty", {0, 0, 0, 0}, {0, 0}, 0, 0},
        {"a line", {0, 0, 0, 300}, {0, 300}, 0, 300},
        {"inverted", {10, 10, 0, 0}, {-10, -10}, 0, 0},
        {"not a number", {0, 0, nan, nan}, {nan, nan}, 0, 0},
        {"huge", {0, 0, 20, 1.0e9f}, {20, 1.0e9f}, 20, 16384},
        {"huge both ways", {0, 0, 1.0e9f, 1.0e9f}, {1.0e9f, 1.0e9f}, 16384, 16384},
        {"infinite", {0, 0, inf, inf}, {inf, inf}, 16384, 16384},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        makeWidget(u"ScrollBar");
        // A thumb shorter than the track, so that both pictures are made.
        set(scrollRange, int32_t(100));
        set(scrollPage, int32_t(10));
        place(c.bounds);
        const auto recording = paint();
        const auto targets = recording->of(DrawOp::MakeOffscreenTarget);
        const auto blits = recording->of(DrawOp::BlitBitmap);
        ASSERT_EQ(targets.size(), 2u);
        ASSERT_EQ(blits.size(), 2u);
        EXPECT_TRUE(blackbox::sameBits(targets[0]->size.width, c.track.width));
        EXPECT_TRUE(blackbox::sameBits(targets[0]->size.height, c.track.height));
        ASSERT_TRUE(blits[0]->bitmap);
        EXPECT_EQ(blits[0]->bitmap->width, c.trackWidth);
        EXPECT_EQ(blits[0]->bitmap->height, c.trackHeight);
        EXPECT_EQ(drawing.ledger()->peakPixelBytes(), 0u)
            << "pixels of pictures that are only drawn into through calls";
        widget.reset();
        graphics.reset();
    }
}

} // namespace
