// The base of the widgets drawn from a skin picture: the picture and its
// metadata from the image cache, the frame that an animation position
// selects, the drawing of that frame, a context menu from an item-list pin,
// hint text, and the release of the pointer.
#pragma once

#include "../framework/ComPtr.h"
#include "../framework/GuiPins.h"
#include "../framework/MpGuiGfxBase.h"
#include "ImageCache.h"
#include "ImageMetadata.h"

#include <string>

// The current picture of a widget, its metadata and the source offset of the
// frame to show. A client of the image cache, so the metadata stays valid.
class skinBitmap : public ImageCacheClient {
public:
    ~skinBitmap() override = default;
    // The picture, no reference added; null when none is loaded.
    virtual IBitmap* currentBitmap() { return bitmap.get(); }

    // Draws the current frame with its origin at (x, y), or a white 8 x 10
    // box with a black "X" when there is no picture.
    void draw(IDrawingContext* context, float x, float y);

    // Whether the point lies on a visible pixel of the current frame, in the
    // coordinates in which draw(0, 0) puts the frame at (padLeft, padTop):
    // always for bargraphs, on the handle as drawn for sliders. Points that
    // have no pixel of the picture miss.
    bool hitsPicture(GuiPoint point);

    // Draws the current frame without its paddings, its top-left corner at
    // (left, top); nothing when there is no picture.
    void drawFrameAt(IDrawingContext& context, float left, float top);

    gmpi_sdk::ComPtr<IBitmap> bitmap;
    ImageMetadata* metadata = nullptr; // the image cache's record; null with no picture
    // From the animation position: the frame's y for animated pictures, the
    // handle offset for sliders, the lit height for bargraphs.
    int32_t sourceOffset = 0;
    bool alphaHitTest = true; // hit tests also need a non-zero alpha under the point
    int32_t maxFrame = 0;     // index of the last frame

protected:
    skinBitmap() = default;
};

class ImageBase : public gmpi_gui::MpGuiGfxBase, public skinBitmap {
public:
    // The items of menuItemsPin, separators included, up to the first
    // maxOfferedListItems.
    int32_t fillContextMenu(int32_t x, int32_t y, gmpi::IMpUnknown* itemSink) override;
    // A pulse of the id on menuSelectionPin: the id, then -1.
    int32_t onContextMenuPick(int32_t itemId) override;
    // getHintText() as UTF-8; ResultUnsupported when it is empty.
    int32_t hintTextAt(int32_t x, int32_t y, gmpi::IMpUnknown* returnString) override;
    ~ImageBase() override = default;
    int32_t onRepaint(gmpi::IMpUnknown* drawingHost) override;
    // Drops a held capture and clears both mouse-down pins; ResultFailure
    // without the capture, when the release does nothing.
    int32_t onRelease(int32_t flags, GuiPoint point) override;
    // hintPin's text, also when it is empty.
    int32_t graphicsHintTextAt(GuiPoint point, gmpi::IString* text) override;

    virtual float getAnimationPosition() = 0;
    virtual void setAnimationPosition(float position) = 0;
    // Called after every successful load.
    virtual void onImageLoaded() = 0;
    virtual std::u16string getHintText() = 0;
    // The loaded picture's responseMode (ResponseUnset without one).
    virtual int32_t getResponseMode();

    // Handler of imageFilePin: loads the picture it names.
    void onSetImageFile();
    // Replaces the picture; an empty name or one that does not load leaves none.
    // A load begun from inside one of its host calls stands over it.
    void loadImage(const std::string& utf8Name);
    // Counts the loads begun: a widget that sees it change across a host
    // call knows that its picture was replaced meanwhile.
    uint32_t pictureLoadCount() const { return pictureLoads; }
    // Handler of the widget's animation-position pin: selects the frame.
    void onAnimationPosition();
    void repaintAll();

protected:
    ImageBase() = default;

    // For a widget that draws its picture as a handle, from onImageLoaded:
    // the handle's size (a frame with its paddings) into `handle`, then the
    // picture's frame count sent on `frameCountPin`; nothing without a
    // picture. Both are read before the send, from inside which the host may
    // replace or drop the picture.
    void measureHandle(GuiSize& handle, MpGuiPin<int32_t>& frameCountPin);

    // onRelease's work for a release that began as pointer event `since`
    // (the last one begun, when the release has done nothing yet); a press
    // the host begins from inside its calls stands and ends it.
    int32_t endPress(uint32_t since);

    StringGuiPin imageFilePin;
    StringGuiPin menuItemsPin;
    MpGuiPin<int32_t> menuSelectionPin;
    MpGuiPin<bool> mouseDownPinA;
    StringGuiPin hintPin;
    MpGuiPin<bool> mouseDownPinB;

private:
    uint32_t pictureLoads = 0;
};

// Wide text up to its first NUL as UTF-8, the way WideCharToMultiByte
// converts it (a lone surrogate becomes U+FFFD).
std::string skinTextToUtf8(const std::u16string& text);
