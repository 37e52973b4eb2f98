// Faults of the modules that the stress run found, each reduced to the few
// host calls that show it.
#include "../blackbox/WidgetFixture.h"
#include "tests/SkinPictures.h"

#include <limits>
#include <utility>

using namespace testhost;

namespace {

class ModuleFaultsTest : public blackbox::WidgetTest {};

// An image widget whose picture name the host reports again from inside the
// load of that picture (here inside the drawing-factory fetch of the image
// cache) must still release every picture it loaded: a load that hands the
// widget's own bitmap and metadata members to the cache as out-parameters
// lets the nested load fill them, and the outer load then writes over the
// bitmap without releasing it. ImageBase loads into locals and takes them
// over only while its load is the latest.
// (e.g. tavri_stress --seed 1 --module JogShuttle --steps 80)
TEST_F(ModuleFaultsTest, APictureReloadedInsideItsLoadIsReleased) {
    constexpr int32_t jogShuttlePicture = 5;
    offerPicture("k.bmp", skinpictures::solidBmp(4, 4, 0xFF336699));
    makeWidget(u"JogShuttle");
    ASSERT_EQ(widget->receive(jogShuttlePicture, bytesOf(std::u16string(u"k.bmp"))), ResultSuccess);
    bool reported = false;
    host.onCall = [&](HostCall call) {
        if (call != HostCall::FetchDrawingFactory || std::exchange(reported, true))
            return;
        widget->changed(jogShuttlePicture);
    };
    ASSERT_EQ(widget->changed(jogShuttlePicture), ResultSuccess);
    host.onCall = nullptr;
    widget.reset();
    graphics.reset();
    EXPECT_EQ(drawing.ledger()->live("bitmap"), 0) << "the picture outlives its widget";
}

// BetterListBox paints one line for every item that fits its height, and
// something else must bound the walk: in an area of infinite or NaN height
// (or of a height of millions), one repaint would otherwise draw every item
// of a long list, up to 2^31 of them for "range 0,2147483647". It stops at
// 65,536 lines, a NaN or infinite height included.
// (e.g. tavri_stress --seed 6 --module BetterListBox --steps 132)
TEST_F(ModuleFaultsTest, AListBoxPaintsBoundedLinesWhateverItsHeight) {
    constexpr int32_t listItems = 1;
    constexpr float heights[] = {std::numeric_limits<float>::infinity(),
                                 std::numeric_limits<float>::quiet_NaN(), 1.0e9f};
    for (const float height : heights) {
        SCOPED_TRACE(height);
        makeWidget(u"BetterListBox");
        set(listItems, std::u16string(u"range 0,199999"));
        place({0.0f, 0.0f, 100.0f, height});
        const auto recording = paint();
        const auto texts = recording->of(DrawOp::DrawText);
        EXPECT_EQ(texts.size(), 65536u);
        ASSERT_FALSE(texts.empty());
        EXPECT_EQ(texts.front()->text, "0");
        EXPECT_EQ(texts.back()->text, std::to_string(texts.size() - 1));
        widget.reset();
        graphics.reset();
    }
}

} // namespace
