// The skinned widgets through the export, with a host that changes their
// picture from inside the calls they make to it: the frame-count sends that
// follow a load, and the look-ups, factory fetch and remeasure request of the
// load itself. The widget must end with the picture the host named last, use
// its sizes, send no value of a picture it no longer holds, and leak nothing.
#include "WidgetFixture.h"
#include "tests/AsciiText.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

using namespace testhost;

namespace {

using blackbox::sameBits;
using blackbox::sameRect;
using blackbox::Sends;
using blackbox::sent;

// 20 x 60 in three frames of 20 x 20, and 40 x 80 in two frames of 40 x 40.
const std::u16string small = u"small.bmp";
const std::u16string big = u"big.bmp";

struct Replacement {
    const char* what;
    std::u16string name; // set by the host from inside the first frame-count send
    bool loads;          // whether that name gives a picture
};

const Replacement replacements[] = {
    {"a picture that loads", big, true},
    {"a name that does not load", u"missing.bmp", false},
    {"no name", u"", false},
};

struct ImageWidget {
    const char16_t* id;
    int32_t imagePin;
    std::vector<int32_t> frameCountPins; // in the order the widget sends them
    // Where the widget draws the 40 x 40 frame of the big picture in 100 x 100.
    GuiRect bigFrame;
};

// The joystick's handle at X = Y = 0 and the picker's at radius 0 are placed
// by the handle's size; the dial draws its frame at its corner.
const ImageWidget imageWidgets[] = {
    {u"Better Joystick Image", 1, {6}, {0, 60, 40, 100}},
    {u"PolarPicker", 1, {6}, {30, 30, 70, 70}},
    {u"JogShuttle", 5, {12, 11}, {0, 0, 40, 40}},
};

class SkinWidgetNestedCallsTest : public blackbox::WidgetTest {
protected:
    SkinWidgetNestedCallsTest() {
        offerPicture("small.bmp", skinpictures::solidBmp(20, 60, 0xFF808080), "frame_size 20 20");
        offerPicture("big.bmp", skinpictures::solidBmp(40, 80, 0xFF808080), "frame_size 40 40");
    }
    void TearDown() override {
        host.onAccept = nullptr;
        host.onCall = nullptr;
        WidgetTest::TearDown();
    }

    // The destination of the one frame a paint blits; none when it blits none.
    std::optional<GuiRect> frameDrawn() {
        const auto recording = paint();
        const auto blits = recording->of(DrawOp::BlitBitmap);
        EXPECT_LE(blits.size(), 1u);
        if (blits.empty())
            return std::nullopt;
        return blits[0]->rect;
    }
};

TEST_F(SkinWidgetNestedCallsTest, APictureChangedFromInsideTheFrameCountSendIsTheOneUsed) {
    for (const ImageWidget& widget : imageWidgets) {
        for (const Replacement& replacement : replacements) {
            SCOPED_TRACE(std::string(replacement.what) + " in " + narrowToAscii(widget.id));
            makeWidget(widget.id);
            place({0, 0, 100, 100});
            sends();
            host.graphics.remeasures = 0;
            bool replaced = false;
            host.onAccept = [&](const SentValue& value) {
                if (value.pinId == widget.frameCountPins[0] && !replaced) {
                    replaced = true;
                    set(widget.imagePin, replacement.name);
                }
            };
            set(widget.imagePin, small);
            host.onAccept = nullptr;

            // The small picture's first count, then the big picture's counts;
            // nothing more of the small one.
            Sends expected{sent(widget.frameCountPins[0], int32_t(3))};
            if (replacement.loads)
                for (const int32_t pin : widget.frameCountPins)
                    expected.push_back(sent(pin, int32_t(2)));
            EXPECT_EQ(sends(), expected);
            // Only the load that stands asks to be measured again.
            EXPECT_EQ(host.graphics.remeasures, replacement.loads ? 1 : 0);

            const std::optional<GuiRect> drawn = frameDrawn();
            ASSERT_EQ(drawn.has_value(), replacement.loads);
            if (drawn) {
                EXPECT_TRUE(sameRect(*drawn, widget.bigFrame));
            }
            dropWidget();
        }
    }
}

// A call of the host during a load, and the name it sets from inside.
struct LoadCase {
    const char* what;
    std::function<void(TestHost&, const std::function<void()>&)> hookInto;
    std::u16string name;
    std::optional<GuiRect> drawn; // of the dial in 100 x 100
};

TEST_F(SkinWidgetNestedCallsTest, ANameSetFromInsideTheLoadStandsOverTheLoadInProgress) {
    const auto onLookUpOf = [](std::string name, std::string kind) {
        return [name, kind](TestHost& host, const std::function<void()>& change) {
            host.onCall = [=, &host](HostCall call) {
                if (call != HostCall::LookUpResource)
                    return;
                const auto& [n, k] = host.lookups.back();
                if (n == name && k == kind)
                    change();
            };
        };
    };
    const auto onGraphicsCall = [](HostCall call) {
        return [call](TestHost& host, const std::function<void()>& change) {
            host.onCall = [=](HostCall c) {
                if (c == call)
                    change();
            };
        };
    };
    const GuiRect bigFrame{0, 0, 40, 40};
    const LoadCase cases[] = {
        {"fetching the drawing factory", onGraphicsCall(HostCall::FetchDrawingFactory), big,
         bigFrame},
        {"looking the picture up", onLookUpOf("small.bmp", "Image"), big, bigFrame},
        {"looking the metadata up", onLookUpOf("small.txt", "ImageMeta"), big, bigFrame},
        {"looking the metadata up, to no name", onLookUpOf("small.txt", "ImageMeta"), u"",
         std::nullopt},
        {"asking to be measured again", onGraphicsCall(HostCall::RequestRemeasure), big, bigFrame},
        {"asking to be measured again, to a name that does not load",
         onGraphicsCall(HostCall::RequestRemeasure), u"missing.bmp", std::nullopt},
    };
    constexpr int32_t imagePin = 5;
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.what);
        makeWidget(u"JogShuttle");
        place({0, 0, 100, 100});
        bool changed = false;
        c.hookInto(host, [&] {
            if (!std::exchange(changed, true))
                set(imagePin, c.name);
        });
        set(imagePin, small);
        host.onCall = nullptr;
        EXPECT_TRUE(changed);

        const std::optional<GuiRect> drawn = frameDrawn();
        ASSERT_EQ(drawn.has_value(), c.drawn.has_value());
        if (drawn) {
            EXPECT_TRUE(sameRect(*drawn, *c.drawn));
        }
        GuiSize desired{};
        graphics->computeDesiredSize(GuiSize{0, 0}, &desired);
        EXPECT_TRUE(sameBits(desired.width, c.drawn ? 40.0f : 10.0f));
        // The widget gone, no picture is left: no load lost a reference.
        dropWidget();
        EXPECT_EQ(drawing.ledger()->live(), 0) << drawing.ledger()->describe();
    }
}

} // namespace
