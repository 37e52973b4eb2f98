// The test host's drawing side, which widget tests rely on for exact
// assertions: what the recording context keeps of each call, the offscreen
// targets, pictures, the ledger of live objects, and the rasteriser.
#include "framework/ComPtr.h"
#include "host/DrawingContext.h"
#include "host/DrawingFactory.h"
#include "host/MenuItemSink.h"
#include "host/Rasteriser.h"
#include "host/TestHost.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <limits>

namespace {

using gmpi_sdk::ComPtr;
using namespace testhost;

constexpr GuiColour red{1.0f, 0.0f, 0.0f, 1.0f};
constexpr GuiColour blue{0.0f, 0.0f, 1.0f, 1.0f};

bool sameColour(const GuiColour& a, const GuiColour& b) {
    return floatBits(a.r) == floatBits(b.r) && floatBits(a.g) == floatBits(b.g) &&
           floatBits(a.b) == floatBits(b.b) && floatBits(a.a) == floatBits(b.a);
}

// A 2 x 1 RGBA PNG: opaque red, then blue at alpha 128.
const Bytes twoPixelPng = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D,
                           0x49, 0x48, 0x44, 0x52, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01,
                           0x08, 0x06, 0x00, 0x00, 0x00, 0xF4, 0x22, 0x7F, 0x8A, 0x00, 0x00, 0x00,
                           0x0E, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0xF8, 0xCF, 0xC0, 0x00,
                           0x42, 0x0D, 0x00, 0x0F, 0x7A, 0x03, 0x7E, 0x77, 0xE9, 0x7F, 0x97, 0x00,
                           0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};

// A 24-bit BMP of 2 x 2 pixels, given top row first as 0xRRGGBB.
Bytes bmp2x2(const uint32_t (&pixels)[4]) {
    Bytes b = {'B', 'M'};
    auto put32 = [&b](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b.push_back(uint8_t(v >> (8 * i)));
    };
    auto put16 = [&b](uint16_t v) {
        b.push_back(uint8_t(v));
        b.push_back(uint8_t(v >> 8));
    };
    put32(14 + 40 + 16);
    put32(0);
    put32(14 + 40);
    put32(40);
    put32(2);
    put32(2);
    put16(1);
    put16(24);
    put32(0);
    put32(16);
    put32(2835);
    put32(2835);
    put32(0);
    put32(0);
    for (const int row : {1, 0}) { // bottom row first
        for (int x = 0; x < 2; ++x) {
            const uint32_t p = pixels[row * 2 + x];
            b.push_back(uint8_t(p));
            b.push_back(uint8_t(p >> 8));
            b.push_back(uint8_t(p >> 16));
        }
        b.push_back(0);
        b.push_back(0);
    }
    return b;
}

class DrawingHostTest : public ::testing::Test {
protected:
    void TearDown() override {
        EXPECT_EQ(context.references(), 0);
        EXPECT_EQ(factory.references(), 0);
        EXPECT_EQ(factory.ledger()->live(), 0) << factory.ledger()->describe();
    }
    ComPtr<IDrawingContext> drawing() {
        return gmpi_sdk::queryInterfaceOf<IDrawingContext>(&context);
    }

    DrawingFactory factory;
    DrawingContext context{&factory, GuiSize{40.0f, 20.0f}};
};

TEST_F(DrawingHostTest, BrushesAreRecordedAsTheyAreAtTheMomentOfUse) {
    auto dc = drawing();
    ComPtr<IBrush> brush;
    ASSERT_EQ(dc->makeSolidBrush(&red, brush.put()), ResultSuccess);
    const GuiRect area{1.0f, 2.0f, 3.0f, 4.0f};
    dc->paintRect(&area, brush.get());
    brush->setBrushColour(&blue);
    dc->strokeLine({0.0f, 0.0f}, {5.0f, 5.0f}, brush.get(), 2.5f, nullptr);
    dc->paintRect(nullptr, brush.get());

    const Recording& r = context.recorded();
    ASSERT_EQ(r.calls.size(), 4u);
    EXPECT_EQ(r.calls[0].op, DrawOp::MakeSolidBrush);
    EXPECT_TRUE(sameColour(r.calls[0].colour, red));
    EXPECT_TRUE(sameColour(r.calls[1].brush->colour, red));
    EXPECT_EQ(floatBits(r.calls[1].rect.bottom), floatBits(4.0f));
    EXPECT_TRUE(sameColour(r.calls[2].brush->colour, blue));
    EXPECT_EQ(r.calls[1].brush->id, r.calls[2].brush->id);
    EXPECT_EQ(floatBits(r.calls[2].width), floatBits(2.5f));
    EXPECT_TRUE(r.calls[3].missingArgument);
    EXPECT_EQ(r.paints().size(), 3u);
    EXPECT_EQ(factory.ledger()->live("brush"), 1);
}

TEST_F(DrawingHostTest, GradientsKeepTheirStopsAndSpecs) {
    auto dc = drawing();
    const GradientStop stops[] = {{0.0f, red}, {0.25f, blue}, {1.0f, {0.5f, 0.5f, 0.5f, 0.5f}}};
    ComPtr<IGradientStops> collection;
    ASSERT_EQ(dc->makeGradientStops(stops, 3, collection.put()), ResultSuccess);
    const LinearGradientSpec line{{0.0f, 1.0f}, {10.0f, 11.0f}};
    const RadialGradientSpec circle{{5.0f, 5.0f}, {1.0f, -1.0f}, 4.0f, 3.0f};
    const BrushSpec spec{0.75f, {1, 0, 0, 1, 2, 3}};
    ComPtr<IBrush> linear, radial;
    ASSERT_EQ(dc->makeLinearGradientBrush(&line, &spec, collection.get(), linear.put()),
              ResultSuccess);
    ASSERT_EQ(dc->makeRadialGradientBrush(&circle, &spec, collection.get(), radial.put()),
              ResultSuccess);
    collection.reset(); // the brushes keep what they need
    const GuiEllipse ellipse{{5.0f, 5.0f}, 4.0f, 3.0f};
    dc->paintEllipse(&ellipse, radial.get());
    dc->paintRoundedRect(nullptr, linear.get());

    const Recording& r = context.recorded();
    ASSERT_EQ(r.of(DrawOp::MakeGradientStops).size(), 1u);
    EXPECT_EQ(r.of(DrawOp::MakeGradientStops)[0]->stops.size(), 3u);
    const DrawCall& made = *r.of(DrawOp::MakeLinearGradientBrush)[0];
    EXPECT_EQ(floatBits(made.linear.end.y), floatBits(11.0f));
    ASSERT_TRUE(made.spec);
    EXPECT_EQ(floatBits(made.spec->opacity), floatBits(0.75f));
    EXPECT_EQ(floatBits(made.spec->transform[5]), floatBits(3.0f));
    const DrawCall& painted = *r.of(DrawOp::PaintEllipse)[0];
    ASSERT_TRUE(painted.brush);
    EXPECT_EQ(painted.brush->kind, BrushState::Kind::Radial);
    EXPECT_EQ(floatBits(painted.brush->radial.originOffset.y), floatBits(-1.0f));
    ASSERT_EQ(painted.brush->stops.size(), 3u);
    EXPECT_EQ(floatBits(painted.brush->stops[1].position), floatBits(0.25f));
    EXPECT_TRUE(sameColour(painted.brush->stops[1].colour, blue));
    EXPECT_EQ(floatBits(painted.ellipse.radiusY), floatBits(3.0f));
    EXPECT_TRUE(r.of(DrawOp::PaintRoundedRect)[0]->missingArgument);
}

TEST_F(DrawingHostTest, EveryCallCarriesTheClipStack) {
    auto dc = drawing();
    ComPtr<IBrush> brush;
    dc->makeSolidBrush(&red, brush.put());
    const GuiRect outer{0.0f, 0.0f, 30.0f, 30.0f}, inner{5.0f, 5.0f, 10.0f, 10.0f};
    dc->pushClipRect(&outer);
    dc->pushClipRect(&inner);
    dc->paintRect(&outer, brush.get());
    EXPECT_EQ(dc->popClipRect(), ResultSuccess);
    dc->paintRect(&outer, brush.get());
    dc->popClipRect();
    EXPECT_EQ(dc->popClipRect(), ResultFailure);

    const auto fills = context.recorded().of(DrawOp::PaintRect);
    ASSERT_EQ(fills.size(), 2u);
    ASSERT_EQ(fills[0]->clips.size(), 2u);
    EXPECT_EQ(floatBits(fills[0]->clips[1].left), floatBits(5.0f));
    EXPECT_EQ(fills[1]->clips.size(), 1u);
    EXPECT_TRUE(context.recorded().clipStack.empty());
    EXPECT_EQ(context.recorded().unmatchedPops, 1);
}

TEST_F(DrawingHostTest, OffscreenTargetsRecordIntoTheirOwnRecordingAndBitmap) {
    auto dc = drawing();
    const GuiSize size{20.5f, 10.0f};
    ComPtr<IOffscreenTarget> target;
    ASSERT_EQ(dc->makeOffscreenTarget(&size, target.put()), ResultSuccess);
    ComPtr<IBrush> brush;
    target->makeSolidBrush(&blue, brush.put());
    const GuiRect area{0.0f, 0.0f, 5.0f, 5.0f};
    target->beginFrame();
    target->paintRect(&area, brush.get());
    target->endFrame();
    ComPtr<IBitmap> first, second;
    ASSERT_EQ(target->takeBitmap(first.put()), ResultSuccess);
    target->takeBitmap(second.put());
    EXPECT_EQ(first.get(), second.get());
    int32_t w = 0, h = 0;
    first->pixelSize(&w, &h);
    EXPECT_EQ(w, 21);
    EXPECT_EQ(h, 10);
    target.reset();
    const GuiRect destination{10.0f, 10.0f, 30.5f, 20.0f};
    dc->blitBitmap(first.get(), &destination, 0.5f, 1, nullptr);

    const Recording& r = context.recorded();
    const DrawCall& made = *r.of(DrawOp::MakeOffscreenTarget)[0];
    ASSERT_TRUE(made.target);
    EXPECT_EQ(made.target->of(DrawOp::PaintRect).size(), 1u);
    EXPECT_TRUE(r.of(DrawOp::PaintRect).empty()) << "the target's calls stay in its own recording";
    const DrawCall& blit = *r.of(DrawOp::BlitBitmap)[0];
    ASSERT_TRUE(blit.bitmap);
    EXPECT_EQ(blit.bitmap->drawn, made.target);
    EXPECT_FALSE(blit.source);
    EXPECT_EQ(floatBits(blit.opacity), floatBits(0.5f));
    EXPECT_EQ(blit.interpolation, 1);
    EXPECT_NE(r.describe().find("  paintRect"), std::string::npos) << r.describe();
    EXPECT_EQ(factory.ledger()->live("offscreen target"), 0);
    EXPECT_EQ(factory.ledger()->live("bitmap"), 1);
}

TEST_F(DrawingHostTest, EmptyOffscreenPicturesHaveNoPixels) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        GuiSize size;
        int32_t width, height;
    };
    for (const Case c :
         {Case{{0.0f, 0.0f}, 0, 0}, Case{{0.0f, 2.0f}, 0, 2}, Case{{3.0f, 0.0f}, 3, 0},
          Case{{nan, 2.0f}, 0, 2}, Case{{-5.0f, 4.0f}, 0, 4}}) {
        auto dc = drawing();
        ComPtr<IOffscreenTarget> target;
        ASSERT_EQ(dc->makeOffscreenTarget(&c.size, target.put()), ResultSuccess);
        ComPtr<IBitmap> bitmap;
        ASSERT_EQ(target->takeBitmap(bitmap.put()), ResultSuccess);
        int32_t w = -1, h = -1;
        bitmap->pixelSize(&w, &h);
        EXPECT_EQ(w, c.width);
        EXPECT_EQ(h, c.height);
        ComPtr<IBitmapPixels> lock;
        ASSERT_EQ(bitmap->lockPixels(lock.put(), 3), ResultSuccess);
        EXPECT_EQ(lock->rowBytes(), c.width * 4);
        EXPECT_EQ(lock->pixelData(), nullptr) << "no pixels to point at";
        EXPECT_EQ(factory.ledger()->pixelBytes(), 0u);
    }
}

TEST_F(DrawingHostTest, OffscreenPicturesTakePixelMemoryOnlyWhenTheirPixelsAreUsed) {
    auto dc = drawing();
    // Sizes above 16384 are held at 16384; a picture that large would take a
    // gigabyte, but what is drawn into it is only recorded.
    const GuiSize huge{1.0e9f, 20000.0f};
    ComPtr<IOffscreenTarget> target;
    ASSERT_EQ(dc->makeOffscreenTarget(&huge, target.put()), ResultSuccess);
    ComPtr<IBrush> brush;
    target->makeSolidBrush(&blue, brush.put());
    const GuiRect all{0.0f, 0.0f, 1.0e9f, 20000.0f};
    target->beginFrame();
    target->paintRect(&all, brush.get());
    target->endFrame();
    ComPtr<IBitmap> bitmap;
    ASSERT_EQ(target->takeBitmap(bitmap.put()), ResultSuccess);
    int32_t w = 0, h = 0;
    bitmap->pixelSize(&w, &h);
    EXPECT_EQ(w, 16384);
    EXPECT_EQ(h, 16384);
    dc->blitBitmap(bitmap.get(), &all, 1.0f, 1, nullptr);
    EXPECT_EQ(factory.ledger()->peakPixelBytes(), 0u);

    // Locking a picture's pixels makes its memory: transparent black rows.
    const GuiSize small{3.0f, 2.0f};
    ComPtr<IOffscreenTarget> smallTarget;
    dc->makeOffscreenTarget(&small, smallTarget.put());
    ComPtr<IBitmap> smallBitmap;
    smallTarget->takeBitmap(smallBitmap.put());
    {
        ComPtr<IBitmapPixels> lock;
        ASSERT_EQ(smallBitmap->lockPixels(lock.put(), 1), ResultSuccess);
        ASSERT_NE(lock->pixelData(), nullptr);
        EXPECT_EQ(lock->rowBytes(), 12);
        EXPECT_EQ(Bytes(lock->pixelData(), lock->pixelData() + 24), Bytes(24, 0));
    }
    EXPECT_EQ(factory.ledger()->pixelBytes(), 24u);

    // Loaded pictures hold their pixels until the last holder lets them go.
    factory.images["own.bmp"] = bmp2x2({0xFF0000, 0x00FF00, 0x0000FF, 0x808080});
    ComPtr<IBitmap> loaded;
    ASSERT_EQ(factory.loadImageUri("own.bmp", loaded.put()), ResultSuccess);
    EXPECT_EQ(factory.ledger()->pixelBytes(), 24u + 16u);
    loaded.reset();
    EXPECT_EQ(factory.ledger()->pixelBytes(), 24u);
    EXPECT_EQ(factory.ledger()->peakPixelBytes(), 24u + 16u);
}

TEST_F(DrawingHostTest, TextIsRecordedWithItsFormat) {
    factory.metrics["Mono"] = DrawingFactory::defaultMetrics(7.0f);
    auto dc = drawing();
    ComPtr<IDrawingFactory> fetched;
    ASSERT_EQ(dc->fetchFactory(fetched.put()), ResultSuccess);
    EXPECT_EQ(fetched.get(), static_cast<IDrawingFactory*>(&factory));
    ComPtr<ITextFormat> format;
    ASSERT_EQ(fetched->makeTextFormat("Mono", nullptr, 700, 2, 5, 12.0f, nullptr, format.put()),
              ResultSuccess);
    format->setTextPlacement(2);
    format->setFormatSettingB(1);
    TextMetrics m{};
    format->fetchTextMetrics(&m);
    EXPECT_EQ(floatBits(m.values[3]), floatBits(7.0f)) << "the family's metrics, set by the test";
    ComPtr<IBrush> brush;
    dc->makeSolidBrush(&red, brush.put());
    const char text[] = "h\xc3\xa9llo, and more";
    const GuiRect layout{0.0f, 0.0f, 40.0f, 20.0f};
    dc->drawUtf8Text(text, 6, format.get(), &layout, brush.get(), 2);
    format->setTextPlacement(0); // later changes do not reach the record

    const DrawCall& drawn = *context.recorded().of(DrawOp::DrawText)[0];
    EXPECT_EQ(drawn.text, "h\xc3\xa9llo");
    ASSERT_TRUE(drawn.format);
    EXPECT_EQ(drawn.format->placement, 2);
    EXPECT_EQ(drawn.format->settingB, 1);
    EXPECT_EQ(drawn.format->request.family, "Mono");
    EXPECT_EQ(drawn.format->request.weight, 700);
    EXPECT_EQ(floatBits(drawn.format->request.size), floatBits(12.0f));
    EXPECT_EQ(drawn.options, 2);
}

TEST_F(DrawingHostTest, ContextCanRefuseToBeADrawingContext) {
    context.offerContext = false;
    EXPECT_FALSE(drawing());
    void* out = nullptr;
    ASSERT_EQ(context.queryInterface(iidOf<gmpi::IMpUnknown>(), &out), ResultSuccess);
    context.release();
}

TEST_F(DrawingHostTest, PicturesDecodeIntoPremultipliedPixels) {
    TestHost host;
    factory.serve(host);
    host.addUriData("skin/two.png", twoPixelPng);
    factory.images["own.bmp"] = bmp2x2({0xFF0000, 0x00FF00, 0x0000FF, 0x808080});
    factory.images["broken.png"] = Bytes{1, 2, 3};
    factory.rowPadding = 8;

    ComPtr<IBitmap> png, bmp, none;
    ASSERT_EQ(factory.loadImageUri("skin/two.png", png.put()), ResultSuccess);
    ASSERT_EQ(factory.loadImageUri("own.bmp", bmp.put()), ResultSuccess);
    EXPECT_EQ(factory.loadImageUri("broken.png", none.put()), ResultFailure);
    EXPECT_EQ(factory.loadImageUri("missing.png", none.put()), ResultFailure);
    EXPECT_FALSE(none);
    EXPECT_EQ(factory.imageLoads.size(), 4u);

    auto& pngPixels = *dynamic_cast<Bitmap&>(*png.get()).pixels;
    EXPECT_EQ(pngPixels.width, 2);
    EXPECT_EQ(pngPixels.rowBytes, 16);
    EXPECT_EQ(pngPixels.pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(pngPixels.pixel(1, 0), 0x80000080u) << "blue premultiplied by alpha 128";
    EXPECT_EQ(pngPixels.bytes[8], 0xEE) << "row padding";

    ComPtr<IBitmapPixels> lock;
    ASSERT_EQ(bmp->lockPixels(lock.put(), 3), ResultSuccess);
    EXPECT_EQ(lock->rowBytes(), 16);
    EXPECT_EQ(lock->pixelFormat(), PixelFormatSrgb);
    const uint8_t* p = lock->pixelData();
    EXPECT_EQ((Bytes{p[0], p[1], p[2], p[3]}), (Bytes{0x00, 0x00, 0xFF, 0xFF})) << "red, B G R A";
    EXPECT_EQ((Bytes{p[16 + 4], p[16 + 5], p[16 + 6], p[16 + 7]}), (Bytes{0x80, 0x80, 0x80, 0xFF}));
    auto& bitmap = dynamic_cast<Bitmap&>(*bmp.get());
    EXPECT_EQ(bitmap.openLocks, 1);
    EXPECT_EQ(bitmap.lockFlags, std::vector<int32_t>{3});
    EXPECT_EQ(bitmap.uri, "own.bmp");
    bmp.reset();
    EXPECT_EQ(factory.ledger()->live("bitmap"), 2) << "a lock keeps its bitmap";
    lock.reset();
    EXPECT_EQ(factory.ledger()->live("bitmap"), 1);
    host.graphics.drawingFactory = nullptr;
}

TEST(MenuItemSink, RecordsItemsAndCanBeSwitchedOff) {
    MenuItemSink sink;
    auto asked = gmpi_sdk::queryInterfaceOf<IMenuItemSink>(&sink);
    ASSERT_TRUE(asked);
    asked->addMenuItem("One", 1, 0);
    asked->addMenuItem("Tw\xc3\xb6", -4, 2);
    asked.reset();
    EXPECT_EQ(sink.items, (std::vector<MenuItem>{{"One", 1, 0}, {"Tw\xc3\xb6", -4, 2}}));
    sink.offerSink = false;
    EXPECT_FALSE(gmpi_sdk::queryInterfaceOf<IMenuItemSink>(&sink));
    EXPECT_EQ(sink.references(), 0);
}

// The rasteriser, where the build has one.

uint32_t rgbaAt(const std::vector<uint8_t>& picture, int32_t width, int32_t x, int32_t y) {
    const uint8_t* p = picture.data() + (size_t(y) * size_t(width) + size_t(x)) * 4;
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

TEST_F(DrawingHostTest, RasteriserPaintsLinearColoursAsSrgb) {
    if (!canRasterise())
        GTEST_SKIP() << "no rasteriser in this build";
    auto dc = drawing();
    ComPtr<IBrush> brush;
    const GuiColour grey{0.21586053f, 0.21586053f, 0.21586053f, 1.0f}; // sRGB 128
    dc->makeSolidBrush(&grey, brush.put());
    const GuiRect all{0.0f, 0.0f, 40.0f, 20.0f}, clip{0.0f, 0.0f, 20.0f, 20.0f};
    dc->pushClipRect(&clip);
    dc->paintRect(&all, brush.get());
    dc->popClipRect();

    const GuiSize size{10.0f, 10.0f};
    ComPtr<IOffscreenTarget> target;
    dc->makeOffscreenTarget(&size, target.put());
    brush->setBrushColour(&blue);
    target->paintRect(&all, brush.get());
    ComPtr<IBitmap> bitmap;
    target->takeBitmap(bitmap.put());
    const GuiRect destination{30.0f, 10.0f, 40.0f, 20.0f};
    dc->blitBitmap(bitmap.get(), &destination, 1.0f, 0, nullptr);

    const auto picture = rasterise(context.recorded(), 40, 20);
    ASSERT_EQ(picture.size(), 40u * 20u * 4u);
    EXPECT_EQ(rgbaAt(picture, 40, 5, 5), 0x808080FFu);
    EXPECT_EQ(rgbaAt(picture, 40, 25, 5), 0x00000000u) << "outside the clip";
    EXPECT_EQ(rgbaAt(picture, 40, 35, 15), 0x0000FFFFu) << "the offscreen target's bitmap";

    const std::string path = ::testing::TempDir() + "tavri_rasteriser_test.png";
    std::string error;
    ASSERT_TRUE(rasteriseToPng(context.recorded(), 40, 20, path, &error)) << error;
    std::ifstream file(path, std::ios::binary);
    const std::string head(std::istreambuf_iterator<char>(file), {});
    EXPECT_EQ(head.substr(0, 4), "\x89PNG");
    file.close();
    std::remove(path.c_str());
    EXPECT_FALSE(rasteriseToPng(context.recorded(), 0, 20, path, &error));
}

// Cairo stops drawing altogether at text that is not well-formed UTF-8, so the
// rasteriser shows such bytes as '?' and what is drawn after still appears.
TEST_F(DrawingHostTest, RasteriserKeepsPaintingAfterIllFormedText) {
    if (!canRasterise())
        GTEST_SKIP() << "no rasteriser in this build";
    auto dc = drawing();
    ComPtr<IDrawingFactory> fetched;
    ASSERT_EQ(dc->fetchFactory(fetched.put()), ResultSuccess);
    ComPtr<ITextFormat> format;
    ASSERT_EQ(fetched->makeTextFormat("Sans", nullptr, 400, 0, 5, 8.0f, nullptr, format.put()),
              ResultSuccess);
    ComPtr<IBrush> brush;
    dc->makeSolidBrush(&red, brush.put());
    const GuiRect layout{0.0f, 0.0f, 20.0f, 20.0f}, square{30.0f, 10.0f, 40.0f, 20.0f};
    const std::string texts[] = {"\xC0\xAF overlong",          "\xED\xA0\x80 surrogate",
                                 "\xF4\x90\x80\x80 too large", "\xF5\x80\x80\x80 no lead",
                                 "cut \xF0\x9F\x98",           std::string("zero\0byte", 9)};
    for (const std::string& text : texts)
        dc->drawUtf8Text(text.data(), uint32_t(text.size()), format.get(), &layout, brush.get(), 0);
    dc->paintRect(&square, brush.get());

    const auto picture = rasterise(context.recorded(), 40, 20);
    ASSERT_EQ(picture.size(), 40u * 20u * 4u);
    EXPECT_EQ(rgbaAt(picture, 40, 35, 15), 0xFF0000FFu);
}

} // namespace
