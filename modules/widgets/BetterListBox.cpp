// BetterListBox: the items of an item list, one per line in a skin text style,
// the item whose id the host holds highlighted; a press on a line sends its id
// and raises the click output until the release. When the items do not all
// fit, a 12-pixel strip at the right edge shows the part in view, and dragging
// in it scrolls line by line.
#include "../../framework/EnumListReader.h"
#include "../../framework/GradientBrush.h"
#include "../../framework/MpFactory.h"
#include "../../framework/MpGuiGfxBase.h"
#include "../../framework/SrgbTables.h"
#include "../../platform/BoundaryGuard.h"
#include "../../platform/NumberText.h"
#include "../../platform/Utf8.h"
#include "../../skin/FontCache.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

namespace {

constexpr float stripWidth = 12.0f;
constexpr float minimumExtent = 4.0f;
constexpr int32_t drawTextOptions = 2;

// The most lines one repaint draws. Each line is one or two calls to the
// drawing context, the same budget as the items a menu offers; a line is at
// least 2 pixels high for any text format of non-negative metrics, so this
// many lines reach past 131,000 pixels, beyond any surface a host draws on.
// An area of infinite or NaN height, a huge one, or lines of almost no height
// stop here rather than drawing every item of a long range.
constexpr int64_t maxPaintedLines = maxOfferedListItems;

// A style's colour word: red in byte 0, green in byte 1, blue in byte 2, alpha in byte 3.
GuiColour colourOfWord(uint32_t word) {
    return srgbColour(uint8_t(word), uint8_t(word >> 8), uint8_t(word >> 16),
                      float(word >> 24) * byteScale);
}

// What drawUtf8Text is given: the text up to its first NUL, as UTF-8.
std::string drawnText(const std::u16string& text) {
    return platform::wideToUtf8(std::u16string_view(text).substr(0, text.find(u'\0')));
}

// The item-list pin: text pin bytes, stored as a text pin stores them, and
// read once as they arrive. It holds the text in a reader that has indexed
// its items, and the list's count. Repaints and presses seek in copies of
// the reader, which keep the text they began with when the host stores
// another from inside one of their host calls.
class ItemListPin final : public MpGuiPinBase {
public:
    bool storeHostValue(int32_t, int32_t size, const void* data) override {
        if (size < 0 || !data)
            size = 0;
        const std::u16string& now = reader ? reader->text() : refusedText;
        if (size_t(size) == 2 * now.size() &&
            (size == 0 || std::memcmp(now.data(), data, size_t(size)) == 0))
            return false;
        // Built whole before the old text goes: the data may point into it.
        std::optional<EnumListReader> read;
        std::u16string refused;
        try {
            read.emplace(textOf(size, data));
            read->indexItems();
        } catch (const std::out_of_range&) {
            refused = textOf(size, data); // the reader refuses only "range" alone
        }
        items = read ? read->count() : 0;
        reader = std::move(read);
        refusedText = std::move(refused);
        return true;
    }
    int32_t typeCode() const override { return KindText; }

    // The list's reader, not positioned; none for a list the reader refuses.
    const std::optional<EnumListReader>& list() const { return reader; }
    // EnumListReader::count of the list; 0 for a list the reader refuses.
    int32_t count() const { return items; }

private:
    static std::u16string textOf(int32_t size, const void* data) {
        std::u16string text(size_t(size) / 2, u'\0');
        if (!text.empty())
            std::memcpy(text.data(), data, 2 * text.size());
        return text;
    }

    std::optional<EnumListReader> reader;
    std::u16string refusedText; // the text, while the reader refuses it
    int32_t items = 0;
};

} // namespace

class BetterListBox final : public gmpi_gui::MpGuiGfxBase, public FontCacheClient {
public:
    BetterListBox();

    int32_t computeDesiredSize(GuiSize available, GuiSize* desired) override;
    int32_t acceptBounds(const GuiRect* rect) override;
    int32_t onRepaint(gmpi::IMpUnknown* drawingHost) override;
    int32_t onPress(int32_t flags, GuiPoint point) override;
    int32_t onMotion(int32_t flags, GuiPoint point) override;
    int32_t onRelease(int32_t flags, GuiPoint point) override;

private:
    void onSetSelectedId();
    void onSetItemList();
    void onSetStyleName();
    void onSetColours();
    void updateLayout();

    std::string styleName() const;
    int32_t maxScrollTop() const;
    // The item of line `line` (separators make no line), if the list has one.
    std::optional<EnumListItem> itemOfLine(int64_t line) const;
    void paintLines(IDrawingContext& context, ITextFormat* format, IBrush* textBrush,
                    IBrush* selectionBrush, float contentWidth, float height) const;

    const GuiColour defaultTextColour = srgbColour(0, 0, 0, 0.0f);
    const GuiColour defaultBackgroundTopColour = srgbColour(64, 176, 255, 1.0f);
    const GuiColour defaultBackgroundBottomColour = srgbColour(0, 80, 128, 1.0f);
    const GuiColour defaultSelectionColour = srgbColour(255, 255, 255, 1.0f);
    const GuiColour defaultScrollThumbColour = srgbColour(128, 208, 255, 1.0f);
    const GuiColour defaultScrollStripColour = srgbColour(0, 64, 112, 1.0f);

    GuiColour textColour = defaultTextColour;
    GuiColour backgroundTopColour = defaultBackgroundTopColour;
    GuiColour backgroundBottomColour = defaultBackgroundBottomColour;
    GuiColour selectionColour = defaultSelectionColour;
    GuiColour scrollThumbColour = defaultScrollThumbColour;
    GuiColour scrollStripColour = defaultScrollStripColour;

    float lineHeight = 1.0f;
    int32_t itemCount = 0;
    int32_t visibleLines = 0;
    int32_t scrollTop = 0;
    uint32_t layouts = 0; // layouts begun, to notice one begun from inside another
    bool pressInStrip = false;
    GuiPoint dragPoint{0.0f, 0.0f};

    // Pin indices: the module's contract with the host.
    enum class PinIndex : int32_t {
        SelectedId = 0,
        ItemList = 1,
        Click = 2,
        StyleName = 3,
        TextColour = 4,
        BackgroundTopColour = 5,
        BackgroundBottomColour = 6,
        SelectionColour = 7,
        ScrollThumbColour = 8,
        ScrollStripColour = 9,
        AutoHideStrip = 10,
        Count
    };
    MpGuiPin<int32_t> selectedIdPin;
    ItemListPin itemListPin;
    MpGuiPin<bool> clickPin;
    StringGuiPin styleNamePin;
    StringGuiPin textColourPin;
    StringGuiPin backgroundTopColourPin;
    StringGuiPin backgroundBottomColourPin;
    StringGuiPin selectionColourPin;
    StringGuiPin scrollThumbColourPin;
    StringGuiPin scrollStripColourPin;
    MpGuiPin<bool> autoHideStripPin;
};

BetterListBox::BetterListBox() {
    registerPin(PinIndex::SelectedId, selectedIdPin, &BetterListBox::onSetSelectedId);
    registerPin(PinIndex::ItemList, itemListPin, &BetterListBox::onSetItemList);
    registerPin(PinIndex::Click, clickPin);
    registerPin(PinIndex::StyleName, styleNamePin, &BetterListBox::onSetStyleName);
    registerPin(PinIndex::TextColour, textColourPin, &BetterListBox::onSetColours);
    registerPin(PinIndex::BackgroundTopColour, backgroundTopColourPin,
                &BetterListBox::onSetColours);
    registerPin(PinIndex::BackgroundBottomColour, backgroundBottomColourPin,
                &BetterListBox::onSetColours);
    registerPin(PinIndex::SelectionColour, selectionColourPin, &BetterListBox::onSetColours);
    registerPin(PinIndex::ScrollThumbColour, scrollThumbColourPin, &BetterListBox::onSetColours);
    registerPin(PinIndex::ScrollStripColour, scrollStripColourPin, &BetterListBox::onSetColours);
    registerPin(PinIndex::AutoHideStrip, autoHideStripPin);
}

std::string BetterListBox::styleName() const {
    try {
        return styleNamePin.toUtf8();
    } catch (const std::range_error&) {
        // A lone surrogate: the lenient conversion still gives the cache a name.
        return platform::wideToUtf8(styleNamePin.get());
    }
}

// max(0, itemCount - visibleLines) in 64 bits, clamped to 32: bounds whose
// bottom lies above their top give a negative number of lines in view.
int32_t BetterListBox::maxScrollTop() const {
    const int64_t lines = int64_t(itemCount) - int64_t(visibleLines);
    return int32_t(std::clamp<int64_t>(lines, 0, std::numeric_limits<int32_t>::max()));
}

void BetterListBox::updateLayout() {
    const uint32_t layout = ++layouts;
    itemCount = itemListPin.count();

    gmpi_sdk::ComPtr<ITextFormat> format;
    textFormatFor(format.put(), styleName());
    TextMetrics metrics{};
    if (format)
        format->fetchTextMetrics(&metrics);
    // A layout begun from inside the style's look-up (for a style or a list
    // the host set there) has laid out what the pins hold now.
    if (layout != layouts)
        return;
    lineHeight = metrics.values[0] + metrics.values[1] + metrics.values[2] + 2.0f;

    const float height = bounds.bottom - bounds.top;
    visibleLines = platform::saturatingToInt32(double(height / lineHeight));
    scrollTop = std::clamp(scrollTop, 0, maxScrollTop());
}

void BetterListBox::onSetSelectedId() {
    requestRepaint();
}

void BetterListBox::onSetItemList() {
    scrollTop = 0;
    updateLayout();
    requestRepaint();
}

void BetterListBox::onSetStyleName() {
    if (styleNamePin.get().empty())
        styleNamePin.setAndSend(u"normal");
    requestRemeasure();
    updateLayout();
    requestRepaint();
}

void BetterListBox::onSetColours() {
    textColour = colourFromArgbText(textColourPin.get(), defaultTextColour);
    backgroundTopColour =
        colourFromArgbText(backgroundTopColourPin.get(), defaultBackgroundTopColour);
    backgroundBottomColour =
        colourFromArgbText(backgroundBottomColourPin.get(), defaultBackgroundBottomColour);
    selectionColour = colourFromArgbText(selectionColourPin.get(), defaultSelectionColour);
    scrollThumbColour = colourFromArgbText(scrollThumbColourPin.get(), defaultScrollThumbColour);
    scrollStripColour = colourFromArgbText(scrollStripColourPin.get(), defaultScrollStripColour);
    requestRepaint();
}

int32_t BetterListBox::computeDesiredSize(GuiSize available, GuiSize* desired) {
    if (!desired)
        return ResultFailure;
    // A NaN is passed on as it is.
    desired->width = available.width < minimumExtent ? minimumExtent : available.width;
    desired->height = available.height < minimumExtent ? minimumExtent : available.height;
    return ResultSuccess;
}

int32_t BetterListBox::acceptBounds(const GuiRect* rect) {
    if (!rect)
        return ResultFailure;
    return guardedCall(ResultFailure, [&] {
        MpGuiGfxBase::acceptBounds(rect);
        updateLayout();
        return ResultSuccess;
    });
}

std::optional<EnumListItem> BetterListBox::itemOfLine(int64_t line) const {
    if (!itemListPin.list() || line < 0 || line > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    EnumListReader reader = *itemListPin.list();
    if (!reader.seekLine(int32_t(line)))
        return std::nullopt;
    return reader.item();
}

void BetterListBox::paintLines(IDrawingContext& context, ITextFormat* format, IBrush* textBrush,
                               IBrush* selectionBrush, float contentWidth, float height) const {
    // A line height that is not positive would put every item on the first line.
    if (!itemListPin.list() || !(lineHeight > 0.0f))
        return;
    // A copy: the text it reads stays while the host stores another from
    // inside the drawing calls.
    EnumListReader reader = *itemListPin.list();
    float top = 0.0f;
    float bottom = lineHeight;
    // The lines above the view are passed over without a walk.
    if (!reader.seekLine(scrollTop))
        return;
    int64_t painted = 0;
    for (; reader.item().index != -1; reader.next()) {
        const EnumListItem& item = reader.item();
        if (EnumListReader::isSeparator(item.text))
            continue;
        if (bottom > height || painted == maxPaintedLines)
            break;
        const GuiRect line{0.0f, top, contentWidth, bottom};
        if (item.id == selectedIdPin.get() && selectionBrush)
            context.paintRect(&line, selectionBrush);
        if (format && textBrush) {
            const std::string text = drawnText(item.text);
            context.drawUtf8Text(text.c_str(), uint32_t(text.size()), format, &line, textBrush,
                                 drawTextOptions);
        }
        top += lineHeight;
        bottom += lineHeight;
        ++painted;
    }
}

int32_t BetterListBox::onRepaint(gmpi::IMpUnknown* drawingHost) {
    return guardedCall(ResultFailure, [&] {
        const auto context = gmpi_sdk::queryInterfaceOf<IDrawingContext>(drawingHost);
        if (!context)
            return ResultFailure;
        const std::string style = styleName();

        gmpi_sdk::ComPtr<ITextFormat> format;
        textFormatFor(format.put(), style);
        GuiColour textBrushColour = textColour;
        if (textColour.a == 0.0f) {
            const FontStyle* fontStyle = fontStyleFor(style);
            textBrushColour =
                colourOfWord(fontStyle ? fontStyle->fontColor : defaultFontStyle().fontColor);
        }
        // The style is looked up through the host, which may have changed the
        // bounds meanwhile: the size is read after it.
        const float w = bounds.right - bounds.left;
        const float h = bounds.bottom - bounds.top;
        gmpi_sdk::ComPtr<IBrush> textBrush, selectionBrush, thumbBrush, stripBrush;
        context->makeSolidBrush(&textBrushColour, textBrush.put());
        context->makeSolidBrush(&selectionColour, selectionBrush.put());
        context->makeSolidBrush(&scrollThumbColour, thumbBrush.put());
        context->makeSolidBrush(&scrollStripColour, stripBrush.put());

        // Without items everything fits; the thumb's extent is then undefined
        // and it is not drawn.
        const float ratio = itemCount > 0 ? float(visibleLines) / float(itemCount)
                                          : std::numeric_limits<float>::infinity();
        float contentWidth = w;
        if (ratio < 1.0f || !autoHideStripPin.get()) {
            const float f = std::min(ratio, 1.0f);
            const GuiRect strip{w - stripWidth, 0.0f, w, h};
            if (stripBrush)
                context->paintRect(&strip, stripBrush.get());
            if (itemCount > 0 && thumbBrush) {
                const float t = float(scrollTop) * (h - 4.0f) / float(itemCount);
                const GuiRect thumb{w - 10.0f, t + 2.0f, w - 2.0f, t + (h - 4.0f) * f + 3.0f};
                context->paintRect(&thumb, thumbBrush.get());
            }
            contentWidth = w - stripWidth;
        }

        const GuiRect content{0.0f, 0.0f, contentWidth, h};
        context->pushClipRect(&content);
        if (backgroundTopColour.a > 0.0f || backgroundBottomColour.a > 0.0f) {
            const LinearGradientSpec direction{{0.0f, 0.0f}, {0.0f, h - 1.0f}};
            const auto background = twoStopLinearBrush(*context.get(), backgroundTopColour,
                                                       backgroundBottomColour, direction);
            if (background)
                context->paintRect(&content, background.get());
        }
        paintLines(*context.get(), format.get(), textBrush.get(), selectionBrush.get(),
                   contentWidth, h);
        context->popClipRect();
        return ResultSuccess;
    });
}

int32_t BetterListBox::onPress(int32_t flags, GuiPoint point) {
    if (!(flags & gmpi_gui_api::PointerButtonDown))
        return ResultSuccess;
    return guardedCall(ResultFailure, [&] {
        const uint32_t press = beginPointerEvent();
        takePointerCapture();
        // A release the host makes from inside the calls ends the press.
        if (!pointerEventStands(press))
            return ResultSuccess;
        dragPoint = point;
        // The right 12 pixels never select, whether or not the strip is drawn.
        pressInStrip = point.x > (bounds.right - bounds.left) - stripWidth;
        if (pressInStrip || !(lineHeight > 0.0f))
            return ResultSuccess;
        const int64_t line =
            int64_t(platform::saturatingToInt32(double(point.y / lineHeight))) + scrollTop;
        if (const auto item = itemOfLine(line)) {
            selectedIdPin.setAndSend(item->id);
            sendWhileStands(press, clickPin, true);
        }
        return ResultSuccess;
    });
}

int32_t BetterListBox::onMotion(int32_t, GuiPoint point) {
    return guardedCall(ResultFailure, [&] {
        if (!queryPointerCapture() || !pressInStrip)
            return ResultSuccess;
        const float d = point.y - dragPoint.y;
        if (d > lineHeight) {
            scrollTop = int32_t(std::min<int64_t>(int64_t(scrollTop) + 1, maxScrollTop()));
            dragPoint.y += lineHeight;
            requestRepaint();
        }
        if (d < -lineHeight) {
            scrollTop = std::max(0, scrollTop - 1);
            dragPoint.y -= lineHeight;
            requestRepaint();
        }
        return ResultSuccess;
    });
}

int32_t BetterListBox::onRelease(int32_t, GuiPoint) {
    return guardedCall(ResultFailure, [&] {
        // A press the host begins from inside these calls stands.
        const uint32_t release = beginPointerEvent();
        if (queryPointerCapture() && pointerEventStands(release))
            dropPointerCapture();
        sendWhileStands(release, clickPin, false);
        return ResultSuccess;
    });
}

namespace {
[[maybe_unused]] const bool registered = initialiseModuleFile({
    {Gui2Part, u"BetterListBox", &createModule<BetterListBox>},
});
} // namespace
