// The cold load of a skin picture with a mask, through MP_GetFactory: a
// JogShuttle is given the name of a 1024 x 1024 picture (one megapixel) whose
// "_mask.bmp" picture the host also has, so that the image cache loads both
// and merges the mask into the picture's alpha, premultiplying its colours.
// Next to it, the least work of the same load: the same two pictures loaded
// through the same drawing factory, locked, and merged through a table of
// 256 x 256 bytes indexed by (alpha, colour byte) built beforehand. Both pixel
// kinds: sRGB pixels (premultiplied in linear light) and integer pixels.
// Target: each under 1.5x its table merge.
//
// The host only counts and resolves; its drawing factory hands out bitmaps
// over buffers it keeps, so that a load copies no pixels, and the picture's
// buffer is set back to its first bytes, untimed, before every load. The
// module is made and released untimed too: what is timed is the load itself.
#include "support/CountingHost.h"
#include "support/Opaque.h"
#include "support/Ratios.h"

#include "framework/ComPtr.h"
#include "framework/DrawingApi.h"
#include "host/SelfDeleting.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

using gmpi_sdk::ComPtr;

constexpr int32_t side = 1024;
constexpr int32_t rowBytes = side * 4;
constexpr int32_t imagePin = 5; // JogShuttle's picture name
constexpr const char* pictureUri = "files/picture.bmp";
constexpr const char* maskUri = "files/picture_mask.bmp";

struct PixelBuffer {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(size_t(rowBytes) * side);
    int32_t format = PixelFormatSrgb;
};

class Pixels final : public testhost::SelfDeleting<IBitmapPixels> {
public:
    explicit Pixels(PixelBuffer& buffer) : buffer(buffer) {}
    uint8_t* pixelData() override { return buffer.bytes.data(); }
    int32_t rowBytes() override { return ::rowBytes; }
    int32_t pixelFormat() override { return buffer.format; }

private:
    PixelBuffer& buffer;
};

class Bitmap final : public testhost::SelfDeleting<IBitmap> {
public:
    explicit Bitmap(PixelBuffer& buffer) : buffer(buffer) {}
    int32_t pixelSize(int32_t* width, int32_t* height) override {
        *width = *height = side;
        return ResultSuccess;
    }
    int32_t lockPixels(IBitmapPixels** out, int32_t) override {
        *out = new Pixels(buffer);
        return ResultSuccess;
    }

private:
    PixelBuffer& buffer;
};

// Hands out the picture and its mask over the buffers it keeps.
class Factory final : public IDrawingFactory {
public:
    int32_t queryInterface(const InterfaceId&, void** out) override {
        *out = nullptr;
        return ResultUnsupported;
    }
    int32_t addRef() override { return ++references; }
    int32_t release() override { return --references; }
    int32_t makeTextFormat(const char*, gmpi::IMpUnknown*, int32_t, int32_t, int32_t, float,
                           const char*, ITextFormat** out) override {
        *out = nullptr;
        return ResultFailure;
    }
    [[gnu::noinline]] int32_t loadImageUri(const char* uri, IBitmap** out) override {
        ++loads;
        *out = nullptr;
        if (std::strcmp(uri, pictureUri) == 0)
            *out = new Bitmap(picture);
        else if (std::strcmp(uri, maskUri) == 0)
            *out = new Bitmap(mask);
        return *out ? ResultSuccess : ResultFailure;
    }

    PixelBuffer picture, mask;
    std::vector<uint8_t> firstPicture; // what the picture holds before each load
    int32_t references = 0;
    int64_t loads = 0;
};

// The merged colour byte of every (alpha, colour byte), alpha-major, for one
// pixel kind: in linear light for sRGB pixels (the largest k whose half-step
// sRGB decode lies below c^2.2 x alpha / 255), c x alpha / 255 rounded otherwise.
std::vector<uint8_t> mergeTable(int32_t format) {
    constexpr double k255 = double(0.003921568859368563f);
    const auto decode = [](double x) {
        return x <= 0.0404482362771082 ? x / 12.92 : std::pow((x + 0.055) / 1.055, 2.4);
    };
    float pow22[256], halfStep[256];
    pow22[0] = halfStep[0] = 0.0f;
    for (int i = 1; i < 256; ++i) {
        pow22[i] = float(std::pow(i * k255, 2.2));
        halfStep[i] = float(decode(double(float(i) - 0.5f) * k255));
    }
    std::vector<uint8_t> table(256 * 256);
    for (int32_t a = 0; a < 256; ++a) {
        for (int32_t c = 0; c < 256; ++c) {
            uint8_t merged = 0;
            if (format == PixelFormatSrgb) {
                const float v = (pow22[c] * float(a)) * float(k255);
                for (int32_t k = 1; k < 256; ++k)
                    if (halfStep[k] < v)
                        merged = uint8_t(k);
            } else {
                const int32_t x = c * a;
                merged = uint8_t(((x + ((x + 127) >> 8) + 128) >> 8) & 0xFF);
            }
            table[size_t(a) * 256 + size_t(c)] = merged;
        }
    }
    return table;
}

// A skin host whose picture and mask are of one pixel kind: colours and mask
// levels from a fixed pseudo-random sequence.
struct SkinHost {
    explicit SkinHost(int32_t format) {
        factory.picture.format = factory.mask.format = format;
        uint32_t seed = 12345;
        const auto next = [&seed] {
            seed = seed * 1664525u + 1013904223u;
            return uint8_t(seed >> 24);
        };
        for (uint8_t& b : factory.picture.bytes)
            b = next();
        for (uint8_t& b : factory.mask.bytes)
            b = next();
        factory.firstPicture = factory.picture.bytes;
        host.drawingFactory = &factory;
        host.resources["picture.bmp"] = pictureUri;
        host.resources["picture_mask.bmp"] = maskUri;
    }
    void restorePicture() {
        std::memcpy(factory.picture.bytes.data(), factory.firstPicture.data(),
                    factory.firstPicture.size());
    }
    Factory factory;
    bench::CountingHost host;
};

void coldLoadWithMask(benchmark::State& state, int32_t format) {
    SkinHost skin(format);
    const std::u16string name = u"picture.bmp";
    for (auto _ : state) {
        state.PauseTiming();
        skin.restorePicture();
        auto module = bench::makeAttached(u"JogShuttle", &skin.host);
        if (!module) {
            state.SkipWithError("no JogShuttle");
            break;
        }
        state.ResumeTiming();
        bench::setPin(module.get(), imagePin, name);
        state.PauseTiming();
        // The last client of the image cache goes, and the cached picture with it.
        module.reset();
        state.ResumeTiming();
    }
    // The merge gave exactly the table's bytes, and the picture was loaded every time.
    const std::vector<uint8_t> merged = skin.factory.picture.bytes;
    const std::vector<uint8_t> table = mergeTable(format);
    skin.restorePicture();
    std::vector<uint8_t>& expected = skin.factory.picture.bytes;
    const std::vector<uint8_t>& mask = skin.factory.mask.bytes;
    for (size_t i = 0; i < expected.size(); i += 4) {
        const size_t a = 255 - mask[i];
        for (size_t channel = 0; channel < 3; ++channel)
            expected[i + channel] = table[a * 256 + expected[i + channel]];
        expected[i + 3] = uint8_t(a);
    }
    if (merged != expected)
        state.SkipWithError("the merged picture is not the table's");
    if (skin.factory.loads != 2 * int64_t(state.iterations()))
        state.SkipWithError("the picture was not loaded cold every time");
    if (skin.factory.references != 0 || skin.host.references != 0)
        state.SkipWithError("references do not balance");
}

void tableMerge(benchmark::State& state, int32_t format) {
    SkinHost skin(format);
    const std::vector<uint8_t> table = mergeTable(format);
    // Held apart from the vector, so that a write through a byte pointer does
    // not make the loop read the vector's pointer again.
    const uint8_t* const tableBytes = table.data();
    // Calls through the interfaces, as the cache makes them.
    IDrawingFactory* const factory = bench::opaque<IDrawingFactory>(&skin.factory);
    for (auto _ : state) {
        state.PauseTiming();
        skin.restorePicture();
        state.ResumeTiming();
        ComPtr<IBitmap> picture, mask;
        factory->loadImageUri(pictureUri, picture.put());
        factory->loadImageUri(maskUri, mask.put());
        {
            ComPtr<IBitmapPixels> maskPixels, picturePixels;
            mask->lockPixels(maskPixels.put(), BitmapLockRead);
            picture->lockPixels(picturePixels.put(), BitmapLockReadWrite);
            int32_t width = 0, height = 0;
            picture->pixelSize(&width, &height);
            const uint8_t* m = maskPixels->pixelData();
            uint8_t* p = picturePixels->pixelData();
            const size_t maskRow = size_t(maskPixels->rowBytes());
            const size_t pictureRow = size_t(picturePixels->rowBytes());
            for (int32_t y = 0; y < height; ++y) {
                const uint8_t* maskPixel = m + size_t(y) * maskRow;
                uint8_t* pixel = p + size_t(y) * pictureRow;
                for (int32_t x = 0; x < width; ++x, maskPixel += 4, pixel += 4) {
                    const uint32_t a = 255u - maskPixel[0];
                    const uint8_t* row = tableBytes + size_t(a) * 256;
                    pixel[0] = row[pixel[0]];
                    pixel[1] = row[pixel[1]];
                    pixel[2] = row[pixel[2]];
                    pixel[3] = uint8_t(a);
                }
            }
            benchmark::ClobberMemory();
        }
        state.PauseTiming();
        picture.reset();
        mask.reset();
        state.ResumeTiming();
    }
}

void coldLoadWithMaskSrgb(benchmark::State& state) {
    coldLoadWithMask(state, PixelFormatSrgb);
}
void tableMergeSrgb(benchmark::State& state) {
    tableMerge(state, PixelFormatSrgb);
}
void coldLoadWithMaskInteger(benchmark::State& state) {
    coldLoadWithMask(state, 0);
}
void tableMergeInteger(benchmark::State& state) {
    tableMerge(state, 0);
}
BENCHMARK(tableMergeSrgb)->Unit(benchmark::kMicrosecond);
BENCHMARK(coldLoadWithMaskSrgb)->Unit(benchmark::kMicrosecond);
BENCHMARK(tableMergeInteger)->Unit(benchmark::kMicrosecond);
BENCHMARK(coldLoadWithMaskInteger)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    return bench::runWithRatios(argc, argv,
                                {{"coldLoadWithMaskSrgb", "tableMergeSrgb", 1.5},
                                 {"coldLoadWithMaskInteger", "tableMergeInteger", 1.5}});
}
