#include "ImageBase.h"

#include "../framework/EnumListReader.h"
#include "../framework/SrgbTables.h"
#include "../platform/BoundaryGuard.h"
#include "../platform/NumberText.h"
#include "../platform/Utf8.h"

#include <algorithm>
#include <cmath>

namespace {

bool initialiseImageBaseFile() {
    ensureSrgbTables();
    return true;
}
[[maybe_unused]] const bool initialised = initialiseImageBaseFile();

// float32 to int32 toward zero; NaN gives 0 and the ends clamp.
int32_t truncated(float value) {
    return platform::saturatingToInt32(double(value));
}

// Integer results that a metadata file can push past 32 bits clamp.
int32_t clamped(int64_t value) {
    return platform::saturatingToInt32(double(value));
}

void blit(IDrawingContext* context, IBitmap* picture, const GuiRect& destination,
          const GuiRect& source) {
    context->blitBitmap(picture, &destination, 1.0f, 1, &source);
}

// The frame at source offset `offset` of a picture whose frames are w x h,
// its top-left corner at (left, top).
void blitFrame(IDrawingContext* context, IBitmap* picture, float w, float h, float offset,
               float left, float top) {
    blit(context, picture, GuiRect{left, top, left + w, top + h},
         GuiRect{0.0f, offset, w, offset + h});
}

bool movesAlongY(int32_t responseMode) {
    return responseMode == ResponseVertical || responseMode == ResponseRe;
}

} // namespace

std::string skinTextToUtf8(const std::u16string& text) {
    return platform::wideToUtf8(std::u16string_view(text).substr(0, text.find(u'\0')));
}

void skinBitmap::draw(IDrawingContext* context, float x, float y) {
    if (!context)
        return;
    // Held and copied before the first drawing call: the host may replace the
    // picture from inside any of them.
    const auto picture = gmpi_sdk::ComPtr<IBitmap>::share(currentBitmap());
    if (!picture || !metadata) {
        const GuiColour white = srgbColour(255, 255, 255, 1.0f);
        const GuiColour black = srgbColour(0, 0, 0, 1.0f);
        const GuiRect box{x, y, x + 8.0f, y + 10.0f};
        gmpi_sdk::ComPtr<IBrush> brush;
        context->makeSolidBrush(&white, brush.put());
        if (!brush)
            return;
        context->paintRect(&box, brush.get());
        brush->setBrushColour(&black);
        gmpi_sdk::ComPtr<IDrawingFactory> factory;
        context->fetchFactory(factory.put());
        gmpi_sdk::ComPtr<ITextFormat> format;
        if (factory)
            factory->makeTextFormat("Arial", nullptr, 400, 0, 5, 6.0f, nullptr, format.put());
        if (format)
            context->drawUtf8Text("X", 1, format.get(), &box, brush.get(), 0);
        return;
    }

    // Read once: the host may change the frame from inside any blit below.
    const ImageMetadata m = *metadata;
    const float w = float(m.frameWidth), h = float(m.frameHeight);
    const float o = float(sourceOffset);
    const float left = x + m.padLeft, top = y + m.padTop;
    switch (m.imageKind) {
    case SliderKind: {
        blit(context, picture.get(), GuiRect{left, top, left + w, top + h},
             GuiRect{0.0f, 0.0f, w, h});
        const float hl = m.handleLeft, ht = m.handleTop, hr = m.handleRight, hb = m.handleBottom;
        // The leading edge of the handle is cut while the offset is negative.
        const float cut = o < 0.0f ? -o : 0.0f;
        const float shown = std::max(o, 0.0f);
        if (movesAlongY(m.responseMode))
            blit(context, picture.get(),
                 GuiRect{left + hl, top + shown, left + hr, top + o + (hb - ht)},
                 GuiRect{hl, ht + cut, hr, hb});
        else
            blit(context, picture.get(),
                 GuiRect{left + shown, top + ht, left + o + (hr - hl), top + hb},
                 GuiRect{hl + cut, ht, hr, hb});
        break;
    }
    case BargraphKind:
        // The bottom o rows of frame 0 lit, the rest from frame 1 unlit; no padding.
        blit(context, picture.get(), GuiRect{x, y + h - o, x + w, y + h},
             GuiRect{0.0f, h - o, w, h});
        blit(context, picture.get(), GuiRect{x, y, x + w, y + h - o},
             GuiRect{0.0f, h, w, 2.0f * h - o});
        break;
    default:
        blitFrame(context, picture.get(), w, h, o, left, top);
        break;
    }
}

void skinBitmap::drawFrameAt(IDrawingContext& context, float left, float top) {
    IBitmap* picture = currentBitmap();
    if (!picture || !metadata)
        return;
    blitFrame(&context, picture, float(metadata->frameWidth), float(metadata->frameHeight),
              float(sourceOffset), left, top);
}

bool skinBitmap::hitsPicture(GuiPoint point) {
    // Held across the bitmap's calls below, which the host answers.
    const auto picture = gmpi_sdk::ComPtr<IBitmap>::share(currentBitmap());
    if (!picture || !metadata)
        return false;
    const ImageMetadata& m = *metadata;
    if (m.imageKind == BargraphKind)
        return true;

    const float o = float(sourceOffset);
    int32_t ix = 0, iy = 0;
    if (m.imageKind == SliderKind) {
        // The point mapped into the handle's rectangle of the picture where
        // draw() puts it for the current offset.
        const float cut = sourceOffset < 0 ? -o : 0.0f;
        float sx, sy, firstX = m.handleLeft, firstY = m.handleTop;
        if (movesAlongY(m.responseMode)) {
            sx = point.x - m.padLeft;
            sy = m.handleTop + ((point.y - m.padTop) - o);
            firstY += cut;
        } else {
            sx = m.handleLeft + ((point.x - m.padLeft) - o);
            sy = point.y - m.padTop;
            firstX += cut;
        }
        if (!(sx >= firstX && sx < m.handleRight && sy >= firstY && sy < m.handleBottom))
            return false;
        ix = truncated(sx);
        iy = truncated(sy);
    } else {
        const float fx = point.x - m.padLeft;
        const float fy = o + point.y - m.padTop;
        if (std::isnan(fx) || std::isnan(fy))
            return false;
        ix = truncated(fx);
        iy = truncated(fy);
        if (ix < 0 || ix >= m.frameWidth || iy < sourceOffset ||
            int64_t(iy) >= int64_t(sourceOffset) + m.frameHeight)
            return false;
    }
    if (!alphaHitTest)
        return true;

    // The alpha of the pixel, when the picture has one there.
    int32_t width = 0, height = 0;
    picture->pixelSize(&width, &height);
    gmpi_sdk::ComPtr<IBitmapPixels> pixels;
    picture->lockPixels(pixels.put(), BitmapLockRead);
    if (!pixels)
        return false;
    const uint8_t* data = pixels->pixelData();
    const int32_t rowBytes = pixels->rowBytes();
    if (!data || rowBytes <= 0 || ix < 0 || iy < 0 || ix >= std::min(width, rowBytes / 4) ||
        iy >= height)
        return false;
    return data[size_t(iy) * size_t(rowBytes) + size_t(ix) * 4 + 3] != 0;
}

int32_t ImageBase::getResponseMode() {
    return metadata ? metadata->responseMode : ResponseUnset;
}

void ImageBase::onSetImageFile() {
    loadImage(skinTextToUtf8(imageFilePin.get()));
}

void ImageBase::loadImage(const std::string& utf8Name) {
    // The host may set another name from inside any of the calls below; the
    // load that began last stands and this one stops where it finds that.
    const uint32_t load = ++pictureLoads;
    const auto superseded = [this, load] { return load != pictureLoads; };
    maxFrame = 0;
    bitmap.reset();
    metadata = nullptr;
    if (utf8Name.empty())
        return;
    gmpi_sdk::ComPtr<IBitmap> picture;
    ImageMetadata* record = nullptr;
    ImageCache::instance().imageFor(*this, picture.put(), getGuiHost(), getGraphicsHost(),
                                    utf8Name.c_str(), &record);
    // A picture without a record, or whose frames have no height, has no
    // frame to show: the widget stays without a picture.
    if (superseded() || !picture || !record || record->frameHeight == 0)
        return;
    int32_t width = 0, height = 0;
    picture->pixelSize(&width, &height);
    if (superseded())
        return;
    bitmap = std::move(picture);
    metadata = record;
    maxFrame = int32_t(uint32_t(height) / uint32_t(metadata->frameHeight)) - 1;

    onImageLoaded();
    if (superseded())
        return;
    requestRemeasure();
    if (superseded())
        return;
    onAnimationPosition();
    if (superseded())
        return;
    requestRepaint(nullptr);
}

void ImageBase::onAnimationPosition() {
    const float position = getAnimationPosition();
    if (!currentBitmap() || !metadata)
        return;
    const float p = platform::clampUnit(position);

    const ImageMetadata& m = *metadata;
    int32_t offset = 0;
    switch (m.imageKind) {
    case SliderKind: {
        const int64_t d = platform::saturatingToInt64(
            double(p * float(int64_t(m.rangeEnd) - int64_t(m.rangeStart))));
        offset = movesAlongY(m.responseMode) ? clamped(int64_t(m.rangeEnd) - d)
                                             : clamped(int64_t(m.rangeStart) + d);
        break;
    }
    case BargraphKind:
        offset = clamped(int64_t(truncated(p * (m.segmentCount + 1.0f))) * m.rangeEnd +
                         m.rangeStart - 1);
        break;
    default:
        offset = clamped(int64_t(truncated(p * float(maxFrame) + 0.5f)) * m.frameHeight);
        break;
    }
    if (offset != sourceOffset) {
        sourceOffset = offset;
        requestRepaint(nullptr);
    }
}

void ImageBase::repaintAll() {
    requestRepaint(nullptr);
}

void ImageBase::measureHandle(GuiSize& handle, MpGuiPin<int32_t>& frameCountPin) {
    if (!metadata)
        return;
    handle = paddedFrameSize(*metadata);
    frameCountPin.setAndSend(frameCountOf(*metadata));
}

int32_t ImageBase::onRepaint(gmpi::IMpUnknown* drawingHost) {
    return guardedCall(ResultFailure, [&] {
        const auto context = gmpi_sdk::queryInterfaceOf<IDrawingContext>(drawingHost);
        if (context)
            draw(context.get(), 0.0f, 0.0f);
        return ResultSuccess;
    });
}

int32_t ImageBase::fillContextMenu(int32_t, int32_t, gmpi::IMpUnknown* itemSink) {
    return guardedCall(ResultFailure, [&] {
        const auto sink = gmpi_sdk::queryInterfaceOf<IMenuItemSink>(itemSink);
        if (!sink)
            return ResultSuccess;
        EnumListReader reader(menuItemsPin.get());
        for (reader.first(); reader.item().index >= 0 && reader.item().index < maxOfferedListItems;
             reader.next())
            sink->addMenuItem(skinTextToUtf8(reader.item().text).c_str(), reader.item().id, 0);
        return ResultSuccess;
    });
}

int32_t ImageBase::onContextMenuPick(int32_t itemId) {
    return guardedCall(ResultFailure, [&] {
        // The id always reaches the host, also when the pin holds it already
        // (a first pick of id 0, say), unless it is -1, the resting value.
        if (itemId != -1 && menuSelectionPin.get() == itemId)
            sendPinToHost(menuSelectionPin.getId(), 4, &itemId, 0);
        else
            menuSelectionPin.setAndSend(itemId);
        menuSelectionPin.setAndSend(-1);
        return ResultSuccess;
    });
}

int32_t ImageBase::hintTextAt(int32_t, int32_t, gmpi::IMpUnknown* returnString) {
    return guardedCall(ResultFailure, [&] {
        const std::u16string text = getHintText();
        if (text.empty())
            return ResultUnsupported;
        const auto answer = gmpi_sdk::queryInterfaceOf<gmpi::IString>(returnString);
        if (!answer)
            return ResultUnsupported;
        const std::string utf8 = skinTextToUtf8(text);
        answer->assignBytes(utf8.data(), int32_t(utf8.size()));
        return ResultSuccess;
    });
}

int32_t ImageBase::graphicsHintTextAt(GuiPoint, gmpi::IString* text) {
    if (!text)
        return ResultFailure;
    // A surrogate unit does not convert and answers ResultFailure: no hint.
    return guardedCall(ResultFailure, [&] {
        const std::string utf8 = hintPin.toUtf8();
        text->assignBytes(utf8.data(), int32_t(utf8.size()));
        return ResultSuccess;
    });
}

int32_t ImageBase::onRelease(int32_t, GuiPoint) {
    return guardedCall(ResultFailure, [&] { return endPress(lastPointerEvent()); });
}

int32_t ImageBase::endPress(uint32_t since) {
    const bool captured = queryPointerCapture();
    // A press the host began from inside the query stands.
    if (!pointerEventStands(since))
        return ResultSuccess;
    if (!captured)
        return ResultFailure;
    const uint32_t release = beginPointerEvent();
    dropPointerCapture();
    sendWhileStands(release, mouseDownPinA, false);
    sendWhileStands(release, mouseDownPinB, false);
    return ResultSuccess;
}
