// The host drawing objects that modules receive from the test host's drawing
// factory and drawing contexts: bitmaps with real pixel memory, their pixel
// locks, text formats, brushes and gradient stops. Each is a heap object that
// its last release deletes; a ledger shared by all of them counts those alive,
// so that a test can tell whether a module released everything it was given,
// and the pixel memory the bitmaps hold.
#pragma once

#include "../framework/DrawingApi.h"
#include "SelfDeleting.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace testhost {

struct Recording;

class DrawingLedger {
public:
    void made(const std::string& kind) { ++counts[kind]; }
    void gone(const std::string& kind) { --counts[kind]; }
    // Objects alive, of one kind ("bitmap", "pixels", "text format", "brush",
    // "gradient stops", "offscreen target") or of all.
    int32_t live(const std::string& kind) const;
    int32_t live() const;
    // "2 brush, 1 bitmap" for the kinds still alive.
    std::string describe() const;

    // Pixel memory of the bitmaps, in bytes: held now, and the most held at once.
    void pixelsMade(size_t bytes);
    void pixelsGone(size_t bytes);
    size_t pixelBytes() const { return heldPixelBytes; }
    size_t peakPixelBytes() const { return mostPixelBytes; }

private:
    std::map<std::string, int32_t> counts;
    size_t heldPixelBytes = 0;
    size_t mostPixelBytes = 0;
};
using LedgerPtr = std::shared_ptr<DrawingLedger>;

// A host drawing object (see SelfDeleting) that the ledger counts while it lives.
template <class Interface> class RefCounted : public SelfDeleting<Interface> {
public:
    const LedgerPtr& ledger() const { return book; }

protected:
    RefCounted(LedgerPtr ledger, const char* kind) : book(std::move(ledger)), kind(kind) {
        book->made(kind);
    }
    ~RefCounted() override { book->gone(kind); }

private:
    LedgerPtr book;
    const char* kind;
};

// Pixels of 4 bytes in rows of rowBytes bytes: B, G, R, then alpha, the colour
// premultiplied by alpha, as a Direct2D host keeps them. The memory is made on
// the first use of the pixels (at, pixel, setPixel, data), so that a bitmap that
// is only drawn into through calls, as an offscreen target's is, costs none
// however large it is; `bytes` stays empty until then. The pixels start
// transparent black, the padding at the end of each row holds 0xEE bytes.
class PixelStore {
public:
    PixelStore(LedgerPtr ledger, int32_t width, int32_t height, int32_t rowBytes);
    PixelStore(const PixelStore&) = delete;
    PixelStore& operator=(const PixelStore&) = delete;
    ~PixelStore();

    const int32_t width;
    const int32_t height;
    const int32_t rowBytes;
    mutable std::vector<uint8_t> bytes; // rowBytes * height, once made

    // The first row; null when the bitmap has no pixels.
    uint8_t* data();
    const uint8_t* data() const;
    uint8_t* at(int32_t x, int32_t y) {
        return data() + size_t(y) * size_t(rowBytes) + size_t(x) * 4;
    }
    const uint8_t* at(int32_t x, int32_t y) const {
        return data() + size_t(y) * size_t(rowBytes) + size_t(x) * 4;
    }
    // The four bytes of a pixel as one little-endian number: 0xAARRGGBB.
    uint32_t pixel(int32_t x, int32_t y) const;
    void setPixel(int32_t x, int32_t y, uint32_t argb);
    // Whether the memory has been made.
    bool made() const { return !bytes.empty(); }

private:
    size_t size() const { return size_t(rowBytes) * size_t(height); }
    void make() const;

    LedgerPtr book;
};

class Bitmap final : public RefCounted<IBitmap> {
public:
    // rowBytes 0 (or less than width * 4): width * 4. Negative sizes count as 0.
    Bitmap(LedgerPtr ledger, int32_t width, int32_t height, int32_t rowBytes = 0);

    int32_t pixelSize(int32_t* width, int32_t* height) override;
    int32_t lockPixels(IBitmapPixels** out, int32_t flags) override;

    const int32_t id;
    std::shared_ptr<PixelStore> pixels;
    std::string uri;                        // where it was loaded from, if anywhere
    int32_t format = PixelFormatSrgb;       // what its locks report
    std::shared_ptr<const Recording> drawn; // an offscreen target's: what was drawn into it
    std::vector<int32_t> lockFlags;         // of every lock, in order
    int32_t openLocks = 0;
};

// A lock of a bitmap's pixels; releasing it unlocks them.
class BitmapPixels final : public RefCounted<IBitmapPixels> {
public:
    BitmapPixels(Bitmap& bitmap);
    ~BitmapPixels() override;
    uint8_t* pixelData() override { return bitmap->pixels->data(); }
    int32_t rowBytes() override { return bitmap->pixels->rowBytes; }
    int32_t pixelFormat() override { return bitmap->format; }

private:
    Bitmap* bitmap; // held with a reference
};

// What a module asked makeTextFormat for.
struct TextFormatRequest {
    std::string family;
    int32_t weight = 0;
    int32_t style = 0;
    int32_t stretch = 0;
    float size = 0.0f;
    bool collectionGiven = false; // the font collection argument was not null
    bool localeGiven = false;     // the locale argument was not null
};

// A text format as it stands: what it was made with and what was set on it.
struct TextFormatState {
    int32_t id = 0;
    TextFormatRequest request;
    int32_t placement = 0;
    int32_t settingA = 0;
    int32_t settingB = 0;
    bool spacingSet = false;
    float spacing = 0.0f;
    float baseline = 0.0f;
    TextMetrics metrics{};
};

class TextFormat final : public RefCounted<ITextFormat> {
public:
    TextFormat(LedgerPtr ledger, const TextFormatRequest& request, const TextMetrics& metrics);

    int32_t setTextPlacement(int32_t placement) override;
    int32_t setFormatSettingA(int32_t setting) override;
    int32_t setFormatSettingB(int32_t setting) override;
    int32_t fetchTextMetrics(TextMetrics* out) override;
    int32_t setSpacing(float spacing, float baseline) override;

    TextFormatState state;
    int32_t metricsReads = 0;
};

class GradientStops final : public RefCounted<IGradientStops> {
public:
    GradientStops(LedgerPtr ledger, std::vector<GradientStop> stops)
        : RefCounted(std::move(ledger), "gradient stops"), stops(std::move(stops)) {}
    const std::vector<GradientStop> stops;
};

// A brush as it stands at one moment.
struct BrushState {
    enum class Kind { Solid, Linear, Radial };
    Kind kind = Kind::Solid;
    int32_t id = 0;
    GuiColour colour{};              // solid
    std::vector<GradientStop> stops; // gradients
    LinearGradientSpec linear{};
    RadialGradientSpec radial{};
    BrushSpec spec{};
};

class Brush final : public RefCounted<IBrush> {
public:
    Brush(LedgerPtr ledger, BrushState state);
    int32_t setBrushColour(const GuiColour* colour) override;
    BrushState state;
    int32_t colourChanges = 0;
};

// Ids for the objects above, unique within the process.
int32_t nextDrawingObjectId();

} // namespace testhost
