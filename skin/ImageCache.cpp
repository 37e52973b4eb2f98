#include "ImageCache.h"

#include "../framework/MpGuiGfxBase.h"
#include "../framework/MpString.h"
#include "../framework/SrgbTables.h"
#include "../framework/UnloadSafeSingleton.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

namespace {

bool initialiseImageCacheFile() {
    ensureSrgbTables();
    return true;
}
[[maybe_unused]] const bool initialised = initialiseImageCacheFile();

// Constant-initialised; clients destroyed after the exit list find no cache.
constinit UnloadSafeSingleton<ImageCache> sharedCache;

bool endsWithBmp(const std::string& uri) {
    return uri.size() >= 3 && uri.compare(uri.size() - 3, 3, "bmp") == 0;
}

std::string resolve(IGuiHost* host, const char* name, const char* kind, int32_t* answer = nullptr) {
    gmpi_sdk::MpString uri;
    const int32_t result = host->lookUpResource(name, kind, &uri);
    if (answer)
        *answer = result;
    return uri.str();
}

// A locked pixel buffer and the extent of it that holds whole pixels.
struct LockedPixels {
    gmpi_sdk::ComPtr<IBitmapPixels> lock;
    uint8_t* data = nullptr;
    int32_t rowBytes = 0;
    int32_t width = 0;
    int32_t height = 0;

    LockedPixels(IBitmap* bitmap, int32_t flags) {
        int32_t w = 0, h = 0;
        bitmap->pixelSize(&w, &h);
        bitmap->lockPixels(lock.put(), flags);
        if (!lock)
            return;
        data = lock->pixelData();
        rowBytes = lock->rowBytes();
        if (!data || rowBytes <= 0 || w <= 0 || h <= 0)
            return;
        width = std::min(w, rowBytes / 4);
        height = h;
    }
    bool empty() const { return width <= 0 || height <= 0; }
    uint8_t* at(int32_t x, int32_t y) const {
        return data + size_t(y) * size_t(rowBytes) + size_t(x) * 4;
    }
};

// The sRGB byte whose linear value is c's times a / 255: the largest k in
// 1..255 whose half-step decode lies below it, else 0.
uint8_t scaleByAlphaSrgb(const SrgbTables& tables, uint8_t c, int32_t a) {
    const float v = (tables.pow22()[c] * float(a)) * byteScale;
    const float* halfStep = tables.srgbToLinearHalfStep();
    int32_t k = 0;
    for (int32_t step = 128; step >= 1; step >>= 1)
        if (halfStep[k + step] < v)
            k += step;
    return uint8_t(k);
}

// scaleByAlphaSrgb of every (alpha, colour byte), 256 colours per alpha: a
// merge looks each byte up instead of searching for it. Made by the first
// merge of sRGB pixels, so that a library that merges none never builds it.
struct SrgbMergeTable {
    SrgbMergeTable() {
        ensureSrgbTables();
        const SrgbTables& tables = srgbTables();
        for (int32_t a = 0; a < 256; ++a)
            for (int32_t c = 0; c < 256; ++c)
                bytes[a * 256 + c] = scaleByAlphaSrgb(tables, uint8_t(c), a);
    }
    const uint8_t* forAlpha(uint32_t a) const { return bytes + a * 256; }

    uint8_t bytes[256 * 256];
};

const SrgbMergeTable& srgbMergeTable() {
    static const SrgbMergeTable table;
    return table;
}

// One row of the merge: alpha from the mask's first byte, colours premultiplied.
void mergeRowSrgb(uint8_t* pixel, const uint8_t* maskPixel, int32_t width,
                  const SrgbMergeTable& table) {
    for (int32_t x = 0; x < width; ++x, pixel += 4, maskPixel += 4) {
        const uint32_t a = 255u - maskPixel[0];
        const uint8_t* merged = table.forAlpha(a);
        pixel[0] = merged[pixel[0]];
        pixel[1] = merged[pixel[1]];
        pixel[2] = merged[pixel[2]];
        pixel[3] = uint8_t(a);
    }
}

// Each colour byte c becomes c x a / 255 rounded to the nearest integer,
// (x + ((x + 127) >> 8) + 128) >> 8 with x = c x a.
void mergeRowInteger(uint8_t* pixel, const uint8_t* maskPixel, int32_t width) {
    // The three colour bytes in 16-bit lanes of one number, all three worked
    // at once: no lane carries into the next, since 255 x 255 + 254 + 128 < 65536.
    constexpr uint64_t lanes = 0x000000FF00FF00FFull;
    for (int32_t x = 0; x < width; ++x, pixel += 4, maskPixel += 4) {
        const uint64_t a = 255u - maskPixel[0];
        const uint64_t c = uint64_t(pixel[0]) | uint64_t(pixel[1]) << 16 | uint64_t(pixel[2]) << 32;
        const uint64_t v = c * a;
        const uint64_t r =
            ((v + (((v + 0x0000007F007F007Full) >> 8) & lanes) + 0x0000008000800080ull) >> 8) &
            lanes;
        pixel[0] = uint8_t(r);
        pixel[1] = uint8_t(r >> 16);
        pixel[2] = uint8_t(r >> 32);
        pixel[3] = uint8_t(a);
    }
}

} // namespace

ImageCache& ImageCache::instance() {
    return sharedCache.instance(destroyImageCacheAtExit);
}

ImageCache* ImageCache::existing() {
    return sharedCache.existing();
}

void destroyImageCacheAtExit() {
    sharedCache.destroy();
}

std::string skinResourceStem(const std::string& name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || name.find_first_of("/\\", dot) != std::string::npos)
        return name;
    return name.substr(0, dot);
}

void ImageCache::imageFor(ImageCacheClient& user, IBitmap** out, IGuiHost* host,
                          IGraphicsHost* graphicsHost, const char* name, ImageMetadata** outMeta) {
    if (outMeta)
        *outMeta = nullptr;
    if (!out)
        return;
    *out = nullptr;
    if (!host || !graphicsHost || !name)
        return;
    gmpi_sdk::ComPtr<IDrawingFactory> factory;
    graphicsHost->fetchDrawingFactory(factory.put());
    if (!factory)
        return;
    // Counted before the host's calls below, so that the factory's pictures
    // stay while they run, whoever goes from inside them.
    users.add(user.drawnThrough, factory.get());

    const std::string uri = resolve(host, name, "Image");
    const auto cachedCopy = [&]() -> bool {
        for (const ImageCacheEntry& entry : entries) {
            if (entry.factory.get() == factory.get() && entry.uri == uri) {
                if (outMeta)
                    *outMeta = entry.metadata.get();
                *out = gmpi_sdk::ComPtr<IBitmap>::share(entry.bitmap.get()).detach();
                return true;
            }
        }
        return false;
    };
    if (cachedCopy())
        return;

    gmpi_sdk::ComPtr<IBitmap> bitmap;
    factory->loadImageUri(uri.c_str(), bitmap.put());
    if (!bitmap)
        return;

    const std::string stem = skinResourceStem(name);
    if (endsWithBmp(uri)) {
        int32_t found = ResultFailure;
        const std::string maskUri = resolve(host, (stem + "_mask.bmp").c_str(), "Image", &found);
        if (found == ResultSuccess) {
            gmpi_sdk::ComPtr<IBitmap> mask;
            factory->loadImageUri(maskUri.c_str(), mask.put());
            if (mask)
                mergeImageMask(bitmap.get(), mask.get());
        }
    }

    auto record = std::make_shared<ImageMetadata>();
    int32_t width = 0, height = 0;
    bitmap->pixelSize(&width, &height);
    record->frameWidth = width;
    record->frameHeight = height;
    const std::string metadataUri = resolve(host, (stem + ".txt").c_str(), "ImageMeta");
    gmpi_sdk::ComPtr<IUriStream> stream;
    host->openUriStream(metadataUri.c_str(), stream.put());
    if (stream) {
        parseImageMetadata(*record, stream.get());
        stream.reset();
    }
    record->imageWidth = width;
    record->imageHeight = height;
    if (record->transparentX >= 0)
        clearKeyColour(bitmap.get(), record->transparentX, record->transparentY);

    // A load of the same picture from inside the host's calls above may have
    // cached it meanwhile: that entry serves, and this copy goes.
    if (cachedCopy())
        return;
    entries.push_back(ImageCacheEntry{factory, uri, bitmap, record});
    if (outMeta)
        *outMeta = record.get();
    *out = bitmap.detach();
}

void ImageCache::findBitmap(IBitmap** out, IDrawingFactory* factory, const char* uri) {
    if (!out)
        return;
    *out = nullptr;
    const std::string key = uri ? uri : "";
    for (const ImageCacheEntry& entry : entries) {
        if (entry.factory.get() == factory && entry.uri == key) {
            *out = gmpi_sdk::ComPtr<IBitmap>::share(entry.bitmap.get()).detach();
            return;
        }
    }
}

void ImageCache::addBitmap(ImageCacheClient& user, IDrawingFactory* factory, const char* uri,
                           IBitmap* bitmap) {
    if (!bitmap)
        return;
    if (factory)
        users.add(user.drawnThrough, factory);
    entries.push_back(ImageCacheEntry{gmpi_sdk::ComPtr<IDrawingFactory>::share(factory),
                                      uri ? uri : "", gmpi_sdk::ComPtr<IBitmap>::share(bitmap),
                                      nullptr});
}

void ImageCache::dropEntriesOf(const IDrawingFactory* factory) {
    // Taken out first and released once the list is whole again.
    const auto gone =
        std::stable_partition(entries.begin(), entries.end(), [factory](const ImageCacheEntry& e) {
            return e.factory.get() != factory;
        });
    std::vector<ImageCacheEntry> dropped(std::make_move_iterator(gone),
                                         std::make_move_iterator(entries.end()));
    entries.erase(gone, entries.end());
}

void ImageCache::releaseClient(ImageCacheClient& client) {
    users.remove(client.drawnThrough,
                 [this](const IDrawingFactory* unused) { dropEntriesOf(unused); });
    if (--clients == 0) {
        users.clear();
        // Taken out first: the pictures' releases may call back into the cache.
        const auto dropped = std::exchange(entries, {});
    }
}

void mergeImageMask(IBitmap* picture, IBitmap* mask) {
    if (!picture || !mask)
        return;
    const LockedPixels m(mask, BitmapLockRead);
    const LockedPixels p(picture, BitmapLockReadWrite);
    if (m.empty() || p.empty())
        return;
    const int32_t width = std::min(m.width, p.width);
    const int32_t height = std::min(m.height, p.height);
    if (p.lock->pixelFormat() == PixelFormatSrgb) {
        const SrgbMergeTable& table = srgbMergeTable();
        for (int32_t y = 0; y < height; ++y)
            mergeRowSrgb(p.at(0, y), m.at(0, y), width, table);
    } else {
        for (int32_t y = 0; y < height; ++y)
            mergeRowInteger(p.at(0, y), m.at(0, y), width);
    }
    // The picture is unlocked first, then the mask (p goes before m).
}

void clearKeyColour(IBitmap* picture, int32_t keyX, int32_t keyY) {
    if (!picture)
        return;
    const LockedPixels p(picture, BitmapLockReadWrite);
    if (p.empty() || keyX < 0 || keyY < 0 || keyX >= p.width || keyY >= p.height)
        return;
    uint8_t key[4];
    std::memcpy(key, p.at(keyX, keyY), 4);
    for (int32_t y = 0; y < p.height; ++y) {
        for (int32_t x = 0; x < p.width; ++x) {
            uint8_t* pixel = p.at(x, y);
            if (std::memcmp(pixel, key, 4) == 0)
                pixel[3] = 0;
        }
    }
}

ImageCacheClient::ImageCacheClient() {
    ImageCache::instance().addClient();
}

ImageCacheClient::~ImageCacheClient() {
    if (ImageCache* cache = ImageCache::existing())
        cache->releaseClient(*this);
}

void ImageCacheClient::imageFor(IBitmap** out, const char* name, ImageMetadata** outMeta) {
    auto* graphics = dynamic_cast<gmpi_gui::MpGuiGfxBase*>(this);
    auto* gui = dynamic_cast<MpGuiBase2*>(this);
    if (!graphics || !gui) {
        if (out)
            *out = nullptr;
        if (outMeta)
            *outMeta = nullptr;
        return;
    }
    ImageCache::instance().imageFor(*this, out, gui->getGuiHost(), graphics->getGraphicsHost(),
                                    name, outMeta);
}
