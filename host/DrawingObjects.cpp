#include "DrawingObjects.h"

#include <algorithm>
#include <cstring>

namespace testhost {

int32_t DrawingLedger::live(const std::string& kind) const {
    const auto it = counts.find(kind);
    return it == counts.end() ? 0 : it->second;
}

int32_t DrawingLedger::live() const {
    int32_t total = 0;
    for (const auto& [kind, count] : counts)
        total += count;
    return total;
}

std::string DrawingLedger::describe() const {
    std::string text;
    for (const auto& [kind, count] : counts) {
        if (count == 0)
            continue;
        if (!text.empty())
            text += ", ";
        text += std::to_string(count) + " " + kind;
    }
    return text.empty() ? "none" : text;
}

int32_t nextDrawingObjectId() {
    static int32_t next = 0;
    return ++next;
}

void DrawingLedger::pixelsMade(size_t bytes) {
    heldPixelBytes += bytes;
    mostPixelBytes = std::max(mostPixelBytes, heldPixelBytes);
}

void DrawingLedger::pixelsGone(size_t bytes) {
    heldPixelBytes -= std::min(bytes, heldPixelBytes);
}

PixelStore::PixelStore(LedgerPtr ledger, int32_t width, int32_t height, int32_t rowBytes)
    : width(std::max(width, 0)), height(std::max(height, 0)),
      rowBytes(std::max(rowBytes, this->width * 4)), book(std::move(ledger)) {}

PixelStore::~PixelStore() {
    if (made())
        book->pixelsGone(bytes.size());
}

void PixelStore::make() const {
    if (made() || size() == 0)
        return;
    bytes.assign(size(), 0xEE);
    for (int32_t y = 0; y < height; ++y)
        std::memset(bytes.data() + size_t(y) * size_t(rowBytes), 0, size_t(width) * 4);
    book->pixelsMade(bytes.size());
}

uint8_t* PixelStore::data() {
    make();
    return bytes.data();
}

const uint8_t* PixelStore::data() const {
    make();
    return bytes.data();
}

uint32_t PixelStore::pixel(int32_t x, int32_t y) const {
    uint32_t value;
    std::memcpy(&value, at(x, y), 4);
    return value;
}

void PixelStore::setPixel(int32_t x, int32_t y, uint32_t argb) {
    std::memcpy(at(x, y), &argb, 4);
}

Bitmap::Bitmap(LedgerPtr ledger, int32_t width, int32_t height, int32_t rowBytes)
    : RefCounted(ledger, "bitmap"), id(nextDrawingObjectId()),
      pixels(std::make_shared<PixelStore>(std::move(ledger), width, height, rowBytes)) {}

int32_t Bitmap::pixelSize(int32_t* width, int32_t* height) {
    if (!width || !height)
        return ResultFailure;
    *width = pixels->width;
    *height = pixels->height;
    return ResultSuccess;
}

int32_t Bitmap::lockPixels(IBitmapPixels** out, int32_t flags) {
    if (!out)
        return ResultFailure;
    lockFlags.push_back(flags);
    *out = new BitmapPixels(*this);
    return ResultSuccess;
}

BitmapPixels::BitmapPixels(Bitmap& locked)
    : RefCounted(locked.ledger(), "pixels"), bitmap(&locked) {
    bitmap->addRef();
    ++bitmap->openLocks;
}

BitmapPixels::~BitmapPixels() {
    --bitmap->openLocks;
    bitmap->release();
}

TextFormat::TextFormat(LedgerPtr ledger, const TextFormatRequest& request,
                       const TextMetrics& metrics)
    : RefCounted(std::move(ledger), "text format") {
    state.id = nextDrawingObjectId();
    state.request = request;
    state.metrics = metrics;
}

int32_t TextFormat::setTextPlacement(int32_t placement) {
    state.placement = placement;
    return ResultSuccess;
}

int32_t TextFormat::setFormatSettingA(int32_t setting) {
    state.settingA = setting;
    return ResultSuccess;
}

int32_t TextFormat::setFormatSettingB(int32_t setting) {
    state.settingB = setting;
    return ResultSuccess;
}

int32_t TextFormat::fetchTextMetrics(TextMetrics* out) {
    ++metricsReads;
    if (!out)
        return ResultFailure;
    *out = state.metrics;
    return ResultSuccess;
}

int32_t TextFormat::setSpacing(float spacing, float baseline) {
    state.spacingSet = true;
    state.spacing = spacing;
    state.baseline = baseline;
    return ResultSuccess;
}

Brush::Brush(LedgerPtr ledger, BrushState brush)
    : RefCounted(std::move(ledger), "brush"), state(std::move(brush)) {
    state.id = nextDrawingObjectId();
}

int32_t Brush::setBrushColour(const GuiColour* colour) {
    if (!colour)
        return ResultFailure;
    ++colourChanges;
    state.colour = *colour;
    return ResultSuccess;
}

} // namespace testhost
