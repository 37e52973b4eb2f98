// BetterListBox, loaded through MP_GetFactory, with 25 lines in view (bounds
// 100 x 400, lines of 16 pixels) of lists of 100, 1,000, 10,000 and 100,000
// items, at the top and at the last page: a repaint, and a press on a line
// with the release after it. Each is printed per repaint or per press and as
// a ratio to the same at 100 items (target under 2 at every size): the work
// follows the lines in view, not the length of the list. The host and the
// drawing context only count their calls.
#include "support/CountingContext.h"
#include "support/CountingHost.h"
#include "support/Ratios.h"

#include "framework/ComPtr.h"
#include "framework/DrawingApi.h"
#include "framework/ModuleApi.h"
#include "host/DrawingFactory.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using gmpi_sdk::ComPtr;

constexpr int32_t pinSelectedId = 0, pinItemList = 1, pinStyleName = 3;
constexpr float width = 100, height = 400, lineHeight = 16;
constexpr int32_t linesInView = 25;
const std::vector<int64_t> sizes = {100, 1000, 10000, 100000};

// A number in six digits, so that the lines in view hold as many characters
// whatever the length of the list.
void appendSixDigits(std::u16string& text, int64_t number) {
    const std::string digits = std::to_string(1000000 + number % 1000000);
    for (size_t i = 1; i < digits.size(); ++i)
        text += char16_t(digits[i]);
}

// `items` items as lists give them: words, some with ids, some in white
// space, with two separators among the first lines.
std::u16string listText(int64_t items) {
    std::u16string text;
    for (int64_t i = 0; i < items; ++i) {
        if (i)
            text += u',';
        if (i == 10 || i == 50) {
            text += u"----";
            continue;
        }
        text += i % 3 == 0 ? u" item" : u"item";
        appendSixDigits(text, i);
        if (i % 3 == 0)
            text += u' ';
        if (i % 5 == 0) {
            text += u'=';
            appendSixDigits(text, i * 2);
        }
    }
    return text;
}

// A list box of `items` items on a counting host, painted once, its first
// line in view `firstLine` (scrolled there by dragging in the strip, one line
// per motion).
struct ListBox {
    ListBox(int64_t items, bool atLastPage) {
        host.resources["global"] = "bench/global.txt";
        host.streams["bench/global.txt"] = "FONT_CATEGORY normal\nfont-size 14\n";
        host.drawingFactory = &factory;
        module = bench::makeAttached(u"BetterListBox", &host);
        graphics = gmpi_sdk::queryInterfaceOf<gmpi_gui_api::IMpGraphics2>(module.get());
        if (!graphics)
            return;
        bench::setPin(module.get(), pinStyleName, std::u16string(u"normal"));
        bench::setPin(module.get(), pinItemList, listText(items));
        const int32_t selected = -1;
        bench::setPin(module.get(), pinSelectedId, 4, &selected);
        const GuiRect bounds{0, 0, width, height};
        graphics->acceptBounds(&bounds);
        // Two separators take no line: the last page begins 27 items from the end.
        firstLine = atLastPage ? int32_t(items) - 2 - linesInView : 0;
        graphics->onPress(gmpi_gui_api::PointerButtonDown, GuiPoint{95, 50});
        float y = 50;
        for (int32_t i = 0; i < firstLine; ++i) {
            y += lineHeight + 1;
            graphics->onMotion(gmpi_gui_api::PointerButtonDown, GuiPoint{95, y});
        }
        graphics->onRelease(0, GuiPoint{95, y});
        graphics->onRepaint(&context);
    }
    // One repaint draws the 25 lines in view.
    bool ready() {
        if (!graphics)
            return false;
        const uint64_t before = context.texts;
        graphics->onRepaint(&context);
        return context.texts - before == uint64_t(linesInView);
    }

    testhost::DrawingFactory factory;
    bench::CountingHost host;
    bench::CountingDrawingContext context;
    ComPtr<gmpi::IMpUserInterface2> module;
    ComPtr<gmpi_gui_api::IMpGraphics2> graphics;
    int32_t firstLine = 0;
};

void repaint(benchmark::State& state, bool atLastPage) {
    ListBox box(state.range(0), atLastPage);
    if (!box.ready()) {
        state.SkipWithError("the list box does not draw 25 lines");
        return;
    }
    for (auto _ : state)
        box.graphics->onRepaint(&box.context);
}

// A press on a line and its release, on two lines in turn, so that each
// press sends its line's id and raises the click, and each release drops it.
void pressAndRelease(benchmark::State& state, bool atLastPage) {
    ListBox box(state.range(0), atLastPage);
    if (!box.ready()) {
        state.SkipWithError("the list box does not draw 25 lines");
        return;
    }
    const size_t sentBefore = box.host.values;
    const GuiPoint lines[2] = {{20, 16 * 20 + 8}, {20, 16 * 21 + 8}};
    uint64_t presses = 0;
    for (auto _ : state) {
        box.graphics->onPress(gmpi_gui_api::PointerButtonDown, lines[presses & 1]);
        box.graphics->onRelease(0, lines[presses & 1]);
        ++presses;
    }
    if (box.host.values - sentBefore != 3 * presses)
        state.SkipWithError("a press and release did not send the id, true and false");
}

void repaintAtTop(benchmark::State& state) {
    repaint(state, false);
}
void repaintAtLastPage(benchmark::State& state) {
    repaint(state, true);
}
void pressAtTop(benchmark::State& state) {
    pressAndRelease(state, false);
}
void pressAtLastPage(benchmark::State& state) {
    pressAndRelease(state, true);
}
BENCHMARK(repaintAtTop)->ArgsProduct({sizes});
BENCHMARK(repaintAtLastPage)->ArgsProduct({sizes});
BENCHMARK(pressAtTop)->ArgsProduct({sizes});
BENCHMARK(pressAtLastPage)->ArgsProduct({sizes});

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::vector<bench::Ratio> ratios;
    for (const char* name :
         {"repaintAtTop", "repaintAtLastPage", "pressAtTop", "pressAtLastPage"}) {
        const std::string baseline = std::string(name) + "/100";
        for (const int64_t size : sizes) {
            const std::string measured = std::string(name) + "/" + std::to_string(size);
            const double nanoseconds = reporter.nanoseconds(measured);
            if (nanoseconds >= 0)
                std::printf("%s: %.3g us per %s\n", measured.c_str(), nanoseconds / 1e3,
                            name[0] == 'r' ? "repaint" : "press and release");
            if (size != sizes.front())
                ratios.push_back({measured, baseline, 2.0});
        }
    }
    bench::printRatios(reporter, ratios, {});
    return 0;
}
