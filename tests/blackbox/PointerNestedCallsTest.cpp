// The widgets that follow a press, with a host that answers from inside each
// call a press or a release makes (its sends, the capture calls, the repaint
// request) with the other pointer event. The event that comes last stands:
// after a release made from inside a press, no capture is held and no press
// output is left true; after a press made from inside a release, the capture
// is held and the press outputs are true.
#include "WidgetFixture.h"
#include "tests/AsciiText.h"

#include <functional>
#include <string>
#include <vector>

using namespace testhost;

namespace {

struct PointerWidget {
    const char16_t* id;
    std::vector<int32_t> pressPins; // bool outputs that are true while a press lasts
    GuiPoint at;                    // a point that starts a press
    // Makes the widget ready for a press at `at`.
    std::function<void()> prepare;
    // A release without the capture does nothing (the dial's, which takes
    // the capture last in its press).
    bool releaseNeedsCapture = false;
};

class PointerNestedCallsTest : public blackbox::WidgetTest {
protected:
    void TearDown() override {
        host.onCall = nullptr;
        host.onAccept = nullptr;
        WidgetTest::TearDown();
    }

    std::vector<PointerWidget> widgets() {
        const auto skinned = [this](int32_t imagePin, const std::string& metadata) {
            return [this, imagePin, metadata] {
                offerPicture("knob.bmp", skinpictures::solidBmp(40, 40, 0xFF808080), metadata);
                place({0, 0, 100, 100});
                set(imagePin, std::u16string(u"knob.bmp"));
                paint();
            };
        };
        const auto placed = [this] {
            place({0, 0, 100, 100});
            paint();
        };
        return {
            {u"Better Joystick Image", {5}, {20, 80}, skinned(1, "")},
            {u"PolarPicker", {5}, {50, 50}, skinned(1, "")},
            {u"JogShuttle", {9, 10}, {20, 20}, skinned(5, "frame_size 40 40"), true},
            {u"MouseBox", {4}, {50, 50}, placed},
            {u"KZLine", {5}, {10, 0}, placed},
            {u"BetterListBox",
             {2},
             {20, 5},
             [this] {
                 set(1, std::u16string(u"a,b,c"));
                 place({0, 0, 100, 100});
             }},
            {u"ScrollBar",
             {3},
             {10, 100},
             [this] {
                 set(2, int32_t(100));
                 set(1, int32_t(10));
                 set(0, int32_t(45));
                 place({0, 0, 20, 200});
                 paint();
             }},
        };
    }

    void start(const PointerWidget& w) {
        makeWidget(w.id);
        w.prepare();
        host.graphics.captured = false;
        sends();
    }

    // The host calls a press (or a release) makes, counted by onCall.
    int32_t callsOf(const std::function<void()>& event) {
        int32_t calls = 0;
        host.onCall = [&](HostCall) { ++calls; };
        event();
        host.onCall = nullptr;
        return calls;
    }

    // Whether the last value each pin was sent is `down`; a pin never sent
    // counts as false.
    void expectPressPins(const PointerWidget& w, const blackbox::Sends& all, bool down) {
        for (const int32_t pin : w.pressPins) {
            const blackbox::Send* last = blackbox::lastOn(all, pin);
            const bool value = last && !last->bytes.empty() && last->bytes[0] != 0;
            EXPECT_EQ(value, down) << "pin " << pin;
        }
    }
};

TEST_F(PointerNestedCallsTest, AReleaseFromInsideAPressStands) {
    for (const PointerWidget& w : widgets()) {
        start(w);
        const int32_t calls = callsOf([&] { press(w.at.x, w.at.y); });
        ASSERT_GT(calls, 0) << narrowToAscii(w.id);
        releaseAt(w.at.x, w.at.y);
        for (int32_t k = 0; k < calls; ++k) {
            SCOPED_TRACE(narrowToAscii(w.id) + ", a release inside host call " +
                         std::to_string(k + 1) + " of the press");
            start(w);
            int32_t call = 0;
            bool releaseActs = true;
            host.onCall = [&](HostCall) {
                if (call++ == k) {
                    releaseActs = host.graphics.captured || !w.releaseNeedsCapture;
                    releaseAt(w.at.x, w.at.y);
                }
            };
            press(w.at.x, w.at.y);
            host.onCall = nullptr;
            // A release that does nothing leaves the press to go on.
            EXPECT_EQ(host.graphics.captured, !releaseActs);
            expectPressPins(w, sends(), !releaseActs);
        }
    }
}

TEST_F(PointerNestedCallsTest, APressFromInsideAReleaseStands) {
    for (const PointerWidget& w : widgets()) {
        start(w);
        press(w.at.x, w.at.y);
        const int32_t calls = callsOf([&] { releaseAt(w.at.x, w.at.y); });
        ASSERT_GT(calls, 0) << narrowToAscii(w.id);
        for (int32_t k = 0; k < calls; ++k) {
            SCOPED_TRACE(narrowToAscii(w.id) + ", a press inside host call " +
                         std::to_string(k + 1) + " of the release");
            start(w);
            press(w.at.x, w.at.y);
            int32_t call = 0;
            host.onCall = [&](HostCall) {
                if (call++ == k)
                    press(w.at.x, w.at.y);
            };
            releaseAt(w.at.x, w.at.y);
            host.onCall = nullptr;
            EXPECT_TRUE(host.graphics.captured);
            expectPressPins(w, sends(), true);
        }
    }
}

} // namespace
