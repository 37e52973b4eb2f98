// The image cache: one load per drawing factory and URI, the mask merge, the
// metadata, the key colour, and the life of the entries with the clients.
#include "skin/ImageCache.h"
#include "framework/SrgbTables.h"
#include "host/DrawingFactory.h"
#include "host/TestHost.h"
#include "tests/SkinPictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <new>
#include <string>
#include <utility>

namespace {

using gmpi_sdk::ComPtr;
using skinpictures::bmp;
using skinpictures::maskBmp;
using skinpictures::solidBmp;
using testhost::Bytes;

class CacheClient final : public ImageCacheClient {};

struct Loaded {
    ComPtr<IBitmap> bitmap;
    ImageMetadata* metadata = nullptr;

    testhost::Bitmap& host() const { return *static_cast<testhost::Bitmap*>(bitmap.get()); }
    uint32_t pixel(int32_t x, int32_t y) const { return host().pixels->pixel(x, y); }
};

class ImageCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        factory.serve(host);
        graphics = gmpi_sdk::queryInterfaceOf<IGraphicsHost>(host.object());
        ASSERT_TRUE(graphics);
        client = std::make_unique<CacheClient>();
        // No other client is left over from another test.
        ASSERT_EQ(cache().clientCount(), 1);
        ASSERT_TRUE(cache().cached().empty());
    }
    void TearDown() override {
        client.reset();
        EXPECT_TRUE(cache().cached().empty());
        EXPECT_EQ(factory.ledger()->live(), 0) << factory.ledger()->describe();
        EXPECT_EQ(factory.references(), 0);
        EXPECT_EQ(host.openStreams(), 0);
        graphics.reset();
        host.graphics.drawingFactory = nullptr;
        std::string report;
        EXPECT_TRUE(host.referencesBalanced(&report)) << report;
    }

    static ImageCache& cache() { return ImageCache::instance(); }

    void offer(const std::string& name, const std::string& kind, const std::string& uri,
               const Bytes& bytes) {
        host.addResource(name, kind, uri);
        host.addUriData(uri, bytes);
    }
    void offerText(const std::string& name, const std::string& uri, const std::string& text) {
        offer(name, "ImageMeta", uri, Bytes(text.begin(), text.end()));
    }
    Loaded load(const std::string& name) { return loadFor(*client, name); }
    Loaded loadFor(ImageCacheClient& user, const std::string& name) {
        Loaded loaded;
        cache().imageFor(user, loaded.bitmap.put(), host.guiHost(), graphics.get(), name.c_str(),
                         &loaded.metadata);
        return loaded;
    }
    bool lookedUp(const std::string& name, const std::string& kind) const {
        for (const auto& lookup : host.lookups)
            if (lookup == std::pair(name, kind))
                return true;
        return false;
    }

    testhost::TestHost host;
    testhost::DrawingFactory factory;
    ComPtr<IGraphicsHost> graphics;
    std::unique_ptr<CacheClient> client;
};

TEST_F(ImageCacheTest, SharesOnePictureAndRecordPerFactoryAndUri) {
    offer("knob.png", "Image", "skin/knob.png", solidBmp(4, 8, 0xFF102030));
    const Loaded first = load("knob.png");
    const Loaded second = load("knob.png");
    ASSERT_TRUE(first.bitmap);
    EXPECT_EQ(first.bitmap.get(), second.bitmap.get());
    EXPECT_EQ(first.metadata, second.metadata);
    EXPECT_EQ(factory.imageLoads, std::vector<std::string>{"skin/knob.png"});
    ASSERT_EQ(cache().cached().size(), 1u);
    // The entry and each caller hold one reference.
    EXPECT_EQ(first.host().references(), 3);

    // Through another factory the picture is loaded again into a second entry.
    testhost::DrawingFactory other(factory.ledger());
    other.serve(host);
    const Loaded third = load("knob.png");
    ASSERT_TRUE(third.bitmap);
    EXPECT_NE(third.bitmap.get(), first.bitmap.get());
    EXPECT_NE(third.metadata, first.metadata);
    EXPECT_EQ(other.imageLoads.size(), 1u);
    EXPECT_EQ(cache().cached().size(), 2u);
    // Each entry holds its factory until the client that drew through them goes.
    EXPECT_EQ(factory.references(), 1);
    EXPECT_EQ(other.references(), 1);
    client.reset();
    EXPECT_EQ(factory.references(), 0);
    EXPECT_EQ(other.references(), 0);
    client = std::make_unique<CacheClient>();
    factory.serve(host);
}

TEST_F(ImageCacheTest, APictureLoadedFromInsideItsOwnLoadIsCachedOnce) {
    offer("knob.png", "Image", "skin/knob.png", solidBmp(4, 8, 0xFF102030));
    offerText("knob.txt", "skin/knob.txt", "frame_size 4 4\n");
    // The host asks for the same picture again while the first load reads
    // its metadata.
    Loaded inner;
    bool asked = false;
    host.onCall = [&](testhost::HostCall call) {
        if (call != testhost::HostCall::LookUpResource)
            return;
        const std::string& name = host.lookups.back().first;
        if (name == "knob.txt" && !std::exchange(asked, true))
            inner = load("knob.png");
    };
    const Loaded outer = load("knob.png");
    host.onCall = nullptr;
    ASSERT_TRUE(inner.bitmap && outer.bitmap);
    EXPECT_EQ(outer.bitmap.get(), inner.bitmap.get());
    EXPECT_EQ(outer.metadata, inner.metadata);
    EXPECT_EQ(outer.metadata->frameHeight, 4);
    ASSERT_EQ(cache().cached().size(), 1u);
    // The outer load's own copy is gone: one picture, held by the entry and
    // the two callers.
    EXPECT_EQ(factory.ledger()->live("bitmap"), 1);
    EXPECT_EQ(outer.host().references(), 3);
}

TEST_F(ImageCacheTest, KeysOnTheResolvedUriNotTheName) {
    offer("a.png", "Image", "skin/same.png", solidBmp(2, 2, 0xFFFFFFFF));
    host.addResource("b.png", "Image", "skin/same.png");
    EXPECT_EQ(load("a.png").bitmap.get(), load("b.png").bitmap.get());
    EXPECT_EQ(factory.imageLoads.size(), 1u);
}

TEST_F(ImageCacheTest, GivesNothingAndCachesNothingForAPictureThatDoesNotLoad) {
    host.addResource("broken.png", "Image", "skin/broken.png");
    host.addUriData("skin/broken.png", Bytes{1, 2, 3});
    for (const char* name : {"broken.png", "missing.png", ""}) {
        Loaded loaded;
        loaded.metadata = reinterpret_cast<ImageMetadata*>(1);
        cache().imageFor(*client, loaded.bitmap.put(), host.guiHost(), graphics.get(), name,
                         &loaded.metadata);
        EXPECT_FALSE(loaded.bitmap) << name;
        EXPECT_EQ(loaded.metadata, nullptr) << name;
    }
    EXPECT_TRUE(cache().cached().empty());
    // A second request tries again.
    EXPECT_FALSE(load("broken.png").bitmap);
    EXPECT_EQ(std::count(factory.imageLoads.begin(), factory.imageLoads.end(), "skin/broken.png"),
              2);
}

TEST_F(ImageCacheTest, GivesNothingWithoutADrawingFactoryOrHosts) {
    offer("knob.png", "Image", "skin/knob.png", solidBmp(2, 2, 0xFFFFFFFF));
    host.graphics.drawingFactory = nullptr;
    EXPECT_FALSE(load("knob.png").bitmap);
    factory.serve(host);
    Loaded loaded;
    cache().imageFor(*client, loaded.bitmap.put(), nullptr, graphics.get(), "knob.png",
                     &loaded.metadata);
    EXPECT_FALSE(loaded.bitmap);
    cache().imageFor(*client, loaded.bitmap.put(), host.guiHost(), nullptr, "knob.png",
                     &loaded.metadata);
    EXPECT_FALSE(loaded.bitmap);
    cache().imageFor(*client, loaded.bitmap.put(), host.guiHost(), graphics.get(), nullptr,
                     &loaded.metadata);
    EXPECT_FALSE(loaded.bitmap);
    EXPECT_TRUE(cache().cached().empty());
    // Without outMeta the picture still comes.
    cache().imageFor(*client, loaded.bitmap.put(), host.guiHost(), graphics.get(), "knob.png",
                     nullptr);
    EXPECT_TRUE(loaded.bitmap);
}

TEST(SkinResourceStem, CutsAtTheLastDotOfTheFileName) {
    struct Case {
        const char* name;
        const char* stem;
    };
    for (const Case c :
         {Case{"skin/knob.large.bmp", "skin/knob.large"}, Case{"dir.v/knob", "dir.v/knob"},
          Case{"dir.v\\knob", "dir.v\\knob"}, Case{"knob.", "knob"}, Case{".bmp", ""},
          Case{"knob", "knob"}, Case{"", ""}, Case{"a.b/c.d", "a.b/c"}})
        EXPECT_EQ(skinResourceStem(c.name), c.stem) << c.name;
}

TEST_F(ImageCacheTest, LooksUpTheMaskAndMetadataBesideThePictureName) {
    offer("skin/knob.large.bmp", "Image", "files/knob.large.bmp", solidBmp(2, 2, 0xFFFFFFFF));
    offer("dir.v/knob", "Image", "files/knob.bmp", solidBmp(2, 2, 0xFFFFFFFF));
    load("skin/knob.large.bmp");
    load("dir.v/knob");
    EXPECT_TRUE(lookedUp("skin/knob.large_mask.bmp", "Image"));
    EXPECT_TRUE(lookedUp("skin/knob.large.txt", "ImageMeta"));
    EXPECT_TRUE(lookedUp("dir.v/knob_mask.bmp", "Image"));
    EXPECT_TRUE(lookedUp("dir.v/knob.txt", "ImageMeta"));
}

TEST_F(ImageCacheTest, MasksOnlyPicturesWhoseUriEndsInLowerCaseBmp) {
    struct Case {
        const char* name;
        const char* uri;
        bool masked;
    };
    for (const Case c : {Case{"p0.x", "skin/a.bmp", true}, Case{"p1.x", "skin/b.png", false},
                         Case{"p2.x", "skin/c.BMP", false}, Case{"p3.x", "skin/dbmp", true}}) {
        const std::string name = c.name;
        offer(name, "Image", c.uri, solidBmp(2, 2, 0xFF808080));
        offer(skinResourceStem(name) + "_mask.bmp", "Image", std::string(c.uri) + ".mask",
              maskBmp(2, 2, 255));
        const Loaded loaded = load(name);
        ASSERT_TRUE(loaded.bitmap) << c.uri;
        EXPECT_EQ(loaded.pixel(1, 1), c.masked ? 0u : 0xFF808080u) << c.uri;
        EXPECT_EQ(lookedUp(skinResourceStem(name) + "_mask.bmp", "Image"), c.masked) << c.uri;
    }
}

TEST_F(ImageCacheTest, LeavesThePictureWhenTheMaskDoesNotResolveOrLoad) {
    offer("a.bmp", "Image", "skin/a.bmp", solidBmp(2, 2, 0xFF808080));
    offer("b.bmp", "Image", "skin/b.bmp", solidBmp(2, 2, 0xFF808080));
    host.addResource("b_mask.bmp", "Image", "skin/b_mask.bmp"); // no data behind it
    EXPECT_EQ(load("a.bmp").pixel(0, 0), 0xFF808080u);
    EXPECT_EQ(load("b.bmp").pixel(0, 0), 0xFF808080u);
    EXPECT_EQ(factory.imageLoads,
              (std::vector<std::string>{"skin/a.bmp", "skin/b.bmp", "skin/b_mask.bmp"}));
}

// Byte 0..2 of a merged pixel and its alpha, for one mask level and colour.
struct MaskCase {
    uint8_t maskLevel;
    uint8_t colour;
    uint8_t merged;
    uint8_t alpha;
};

class ImageMaskMerge : public ImageCacheTest, public ::testing::WithParamInterface<MaskCase> {
protected:
    Loaded loadMasked(uint8_t colour, uint8_t maskLevel) {
        offer("m.bmp", "Image", "skin/m.bmp", solidBmp(3, 2, 0xFF000000u | colour * 0x010101u));
        offer("m_mask.bmp", "Image", "skin/m_mask.bmp", maskBmp(3, 2, maskLevel));
        return load("m.bmp");
    }
};

TEST_P(ImageMaskMerge, PremultipliesByTheMaskInTheIntegerPath) {
    factory.loadedFormat = 0;
    const MaskCase& c = GetParam();
    const Loaded loaded = loadMasked(c.colour, c.maskLevel);
    const uint32_t expected = uint32_t(c.alpha) << 24 | uint32_t(c.merged) * 0x010101u;
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 3; ++x)
            EXPECT_EQ(loaded.pixel(x, y), expected) << x << "," << y;
    // The mask was read, the picture read and written; both locks are gone.
    EXPECT_EQ(loaded.host().lockFlags, std::vector<int32_t>{3});
    EXPECT_EQ(loaded.host().openLocks, 0);
}

INSTANTIATE_TEST_SUITE_P(Levels, ImageMaskMerge,
                         ::testing::Values(MaskCase{0, 200, 200, 255}, MaskCase{0, 1, 1, 255},
                                           MaskCase{255, 200, 0, 0}, MaskCase{128, 255, 127, 127},
                                           MaskCase{128, 200, 100, 127},
                                           MaskCase{64, 100, 75, 191}));

// The colour byte c premultiplied by alpha a: for sRGB pixels in linear light,
// the largest k whose half-step decode lies below (c^2.2 x a) / 255, found by
// looking at every k; for other pixels c x a / 255 rounded to the nearest.
uint8_t srgbMerged(uint8_t c, int32_t a) {
    const SrgbTables& tables = srgbTables();
    const float v = (tables.pow22()[c] * float(a)) * byteScale;
    int32_t best = 0;
    for (int32_t k = 1; k <= 255; ++k)
        if (tables.srgbToLinearHalfStep()[k] < v)
            best = k;
    return uint8_t(best);
}
uint8_t integerMerged(uint8_t c, int32_t a) {
    const int32_t x = int32_t(c) * a;
    return uint8_t(((x + ((x + 127) >> 8) + 128) >> 8) & 0xFF);
}

TEST_F(ImageCacheTest, PremultipliesInLinearLightForSrgbPixels) {
    const uint8_t colours[] = {0, 1, 37, 128, 200, 254, 255};
    const uint8_t levels[] = {0, 1, 100, 128, 254, 255};
    offer("s.bmp", "Image", "skin/s.bmp", bmp(7, 6, [&](int32_t x, int32_t) {
              return 0xFF000000u | uint32_t(colours[x]) << 16 | uint32_t(colours[6 - x]);
          }));
    offer("s_mask.bmp", "Image", "skin/s_mask.bmp",
          bmp(7, 6, [&](int32_t, int32_t y) { return 0xFF000000u | levels[y] * 0x010101u; }));
    const Loaded loaded = load("s.bmp");
    for (int32_t y = 0; y < 6; ++y) {
        for (int32_t x = 0; x < 7; ++x) {
            const int32_t a = 255 - levels[y];
            const uint8_t* p = loaded.host().pixels->at(x, y);
            EXPECT_EQ(p[2], srgbMerged(colours[x], a)) << x << "," << y;
            EXPECT_EQ(p[0], srgbMerged(colours[6 - x], a)) << x << "," << y;
            EXPECT_EQ(p[1], 0) << x << "," << y;
            EXPECT_EQ(p[3], a) << x << "," << y;
        }
    }
    // Full colour stays full under an opaque mask; a white mask clears it.
    EXPECT_EQ(loaded.host().pixels->at(6, 0)[2], 255);
    EXPECT_EQ(loaded.pixel(3, 5), 0u);
}

TEST(MergeImageMask, MergesOnlyTheAreaBothBitmapsCover) {
    auto ledger = std::make_shared<testhost::DrawingLedger>();
    struct Case {
        int32_t pictureW, pictureH, pictureRow, maskW, maskH, maskRow;
    };
    for (const Case c : {Case{4, 3, 20, 2, 5, 8}, Case{2, 5, 8, 4, 3, 20}, Case{3, 3, 12, 3, 3, 16},
                         Case{3, 3, 14, 3, 3, 13}}) {
        ComPtr<testhost::Bitmap> picture(
            new testhost::Bitmap(ledger, c.pictureW, c.pictureH, c.pictureRow));
        ComPtr<testhost::Bitmap> mask(new testhost::Bitmap(ledger, c.maskW, c.maskH, c.maskRow));
        picture->format = 0;
        for (int32_t y = 0; y < c.pictureH; ++y)
            for (int32_t x = 0; x < c.pictureW; ++x)
                picture->pixels->setPixel(x, y, 0xFFC8C8C8);
        for (int32_t y = 0; y < c.maskH; ++y)
            for (int32_t x = 0; x < c.maskW; ++x)
                mask->pixels->setPixel(x, y, 0xFF808080);
        const std::vector<uint8_t> maskBefore = mask->pixels->bytes;
        mergeImageMask(picture.get(), mask.get());
        for (int32_t y = 0; y < c.pictureH; ++y) {
            for (int32_t x = 0; x < c.pictureW; ++x) {
                const bool covered = x < c.maskW && y < c.maskH;
                EXPECT_EQ(picture->pixels->pixel(x, y), covered ? 0x7F646464u : 0xFFC8C8C8u)
                    << x << "," << y << " of picture " << c.pictureW << "x" << c.pictureH;
            }
            // The padding at the end of the row is untouched.
            for (int32_t b = c.pictureW * 4; b < c.pictureRow; ++b)
                EXPECT_EQ(picture->pixels->bytes[size_t(y * c.pictureRow + b)], 0xEE);
        }
        EXPECT_EQ(mask->pixels->bytes, maskBefore);
        EXPECT_EQ(picture->openLocks + mask->openLocks, 0);
    }
    EXPECT_EQ(ledger->live(), 0);
}

// FNV-1a over bytes.
uint64_t digestOf(const std::vector<uint8_t>& bytes) {
    uint64_t hash = 14695981039346656037ull;
    for (const uint8_t b : bytes)
        hash = (hash ^ b) * 1099511628211ull;
    return hash;
}

TEST(MergeImageMask, GivesTheFormulasByteForEveryColourAndAlphaOfBothPixelKinds) {
    // One picture of 256 x 256 pixels holds every pair: colour c in column c
    // (each channel runs through all 256 colours in an order of its own),
    // mask byte m in row m, so alpha 255 - m.
    auto ledger = std::make_shared<testhost::DrawingLedger>();
    const auto colourOf = [](int32_t channel, int32_t x) {
        return uint8_t(channel == 0 ? x : channel == 1 ? 255 - x : (7 * x + 3) & 0xFF);
    };
    struct Kind {
        int32_t pixelFormat;
        uint8_t (*merged)(uint8_t, int32_t);
        uint64_t digest; // of the merged picture, as the merge has always given it
    };
    for (const Kind kind : {Kind{PixelFormatSrgb, srgbMerged, 0xc3047d63f56d743eull},
                            Kind{0, integerMerged, 0xd7a9b1fca83ab34bull}}) {
        ComPtr<testhost::Bitmap> picture(new testhost::Bitmap(ledger, 256, 256));
        ComPtr<testhost::Bitmap> mask(new testhost::Bitmap(ledger, 256, 256));
        picture->format = kind.pixelFormat;
        for (int32_t y = 0; y < 256; ++y) {
            for (int32_t x = 0; x < 256; ++x) {
                uint8_t* p = picture->pixels->at(x, y);
                for (int32_t channel = 0; channel < 3; ++channel)
                    p[channel] = colourOf(channel, x);
                p[3] = 0x5A;
                // Only byte 0 of a mask pixel counts.
                mask->pixels->setPixel(x, y, 0xA5C3E100u | uint32_t(y));
            }
        }
        mergeImageMask(picture.get(), mask.get());
        int32_t wrong = 0;
        for (int32_t y = 0; y < 256; ++y) {
            const int32_t a = 255 - y;
            for (int32_t x = 0; x < 256; ++x) {
                const uint8_t* p = picture->pixels->at(x, y);
                for (int32_t channel = 0; channel < 3; ++channel) {
                    const uint8_t c = colourOf(channel, x);
                    if (p[channel] != kind.merged(c, a) && ++wrong <= 5)
                        ADD_FAILURE() << "format " << kind.pixelFormat << ": colour " << int(c)
                                      << " alpha " << a << " gave " << int(p[channel])
                                      << ", wanted " << int(kind.merged(c, a));
                }
                if (p[3] != a && ++wrong <= 5)
                    ADD_FAILURE() << "alpha " << int(p[3]) << ", wanted " << a;
            }
        }
        EXPECT_EQ(wrong, 0) << "format " << kind.pixelFormat;
        EXPECT_EQ(digestOf(picture->pixels->bytes), kind.digest)
            << "format " << kind.pixelFormat << std::hex << " digest 0x"
            << digestOf(picture->pixels->bytes);
    }
    EXPECT_EQ(ledger->live(), 0);
}

TEST_F(ImageCacheTest, MergesPaddedRowsPixelByPixel) {
    factory.rowPadding = 6;
    factory.loadedFormat = 0;
    offer("p.bmp", "Image", "skin/p.bmp", solidBmp(3, 4, 0xFFC8C8C8));
    offer("p_mask.bmp", "Image", "skin/p_mask.bmp",
          bmp(3, 4, [](int32_t x, int32_t y) { return (x + y) % 2 ? 0xFFFFFFFFu : 0xFF000000u; }));
    const Loaded loaded = load("p.bmp");
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 3; ++x)
            EXPECT_EQ(loaded.pixel(x, y), (x + y) % 2 ? 0u : 0xFFC8C8C8u) << x << "," << y;
}

TEST_F(ImageCacheTest, TakesTheFrameFromTheMetadataOrThePicture) {
    offer("whole.png", "Image", "skin/whole.png", solidBmp(24, 96, 0xFFFFFFFF));
    offer("plain.png", "Image", "skin/plain.png", solidBmp(24, 96, 0xFFFFFFFF));
    offerText("plain.txt", "skin/plain.txt", "type button\n");
    offer("framed.png", "Image", "skin/framed.png", solidBmp(24, 96, 0xFFFFFFFF));
    offerText("framed.txt", "skin/framed.txt", "frame_size 24 32\r\ntype knob\r\n");
    struct Case {
        const char* name;
        int32_t frameWidth, frameHeight, kind;
    };
    for (const Case c :
         {Case{"whole.png", 24, 96, AnimatedKind}, Case{"plain.png", 10, 10, ButtonKind},
          Case{"framed.png", 24, 32, AnimatedKind}}) {
        const Loaded loaded = load(c.name);
        ASSERT_NE(loaded.metadata, nullptr) << c.name;
        EXPECT_EQ(loaded.metadata->frameWidth, c.frameWidth) << c.name;
        EXPECT_EQ(loaded.metadata->frameHeight, c.frameHeight) << c.name;
        EXPECT_EQ(loaded.metadata->imageKind, c.kind) << c.name;
        EXPECT_EQ(loaded.metadata->imageWidth, 24) << c.name;
        EXPECT_EQ(loaded.metadata->imageHeight, 96) << c.name;
    }
    EXPECT_EQ(host.openStreams(), 0);
}

TEST_F(ImageCacheTest, ClearsTheAlphaOfPixelsOfTheKeyColour) {
    // Key colour at the corner; one pixel of the same colour under another alpha.
    const uint32_t key = 0xFFFF00FF;
    auto colourAt = [key](int32_t x, int32_t y) -> uint32_t {
        if ((x + y) % 3 == 0)
            return key;
        return x == 1 && y == 1 ? 0x80FF00FFu : 0xFF00FF00u;
    };
    offer("k.png", "Image", "skin/k.png", bmp(4, 3, colourAt));
    offerText("k.txt", "skin/k.txt", "transparent_pixel 0 0");
    const Loaded loaded = load("k.png");
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 4; ++x) {
            const uint32_t colour = colourAt(x, y);
            uint32_t expected = colour;
            if (colour == 0x80FF00FFu)
                expected = 0x80800080u; // premultiplied, and not the key
            else if (colour == key)
                expected = 0x00FF00FFu; // colour kept, alpha cleared
            EXPECT_EQ(loaded.pixel(x, y), expected) << x << "," << y;
        }
    }
    EXPECT_EQ(loaded.host().lockFlags, std::vector<int32_t>{3});
}

TEST_F(ImageCacheTest, IgnoresAKeyColourOffThePicture) {
    struct Case {
        const char* name;
        const char* text;
    };
    for (const Case c :
         {Case{"off0", "transparent_pixel -1 0"}, Case{"off1", "transparent_pixel 4 0"},
          Case{"off2", "transparent_pixel 0 3"}, Case{"off3", "transparent_pixel 0 -1"},
          Case{"off4", "transparent_pixel 2147483647 2147483647"}}) {
        const std::string name = c.name;
        const char* text = c.text;
        offer(name + ".png", "Image", "skin/" + name + ".png", solidBmp(4, 3, 0xFF123456));
        offerText(name + ".txt", "skin/" + name + ".txt", text);
        const Loaded loaded = load(name + ".png");
        for (int32_t y = 0; y < 3; ++y)
            for (int32_t x = 0; x < 4; ++x)
                EXPECT_EQ(loaded.pixel(x, y), 0xFF123456u) << text;
    }
}

TEST_F(ImageCacheTest, AFactorysPicturesGoWithTheLastClientThatDrewThroughIt) {
    offer("knob.png", "Image", "skin/knob.png", solidBmp(4, 4, 0xFFFFFFFF));
    EXPECT_TRUE(load("knob.png").bitmap);
    EXPECT_TRUE(load("knob.png").bitmap);
    EXPECT_EQ(cache().factoryUsers(&factory), 1); // counted once however often it asks

    // Two clients of another factory share one load of the picture.
    testhost::DrawingFactory other(factory.ledger());
    auto firstOfOther = std::make_unique<CacheClient>();
    auto secondOfOther = std::make_unique<CacheClient>();
    other.serve(host);
    EXPECT_EQ(loadFor(*firstOfOther, "knob.png").bitmap.get(),
              loadFor(*secondOfOther, "knob.png").bitmap.get());
    EXPECT_EQ(other.imageLoads.size(), 1u);
    EXPECT_EQ(cache().factoryUsers(&other), 2);
    EXPECT_EQ(cache().cached().size(), 2u);

    firstOfOther.reset();
    EXPECT_EQ(cache().cached().size(), 2u);
    EXPECT_EQ(other.references(), 1);
    // The last of them goes, and the other factory's picture and reference
    // with it; this factory's picture stays for the client that drew it.
    secondOfOther.reset();
    ASSERT_EQ(cache().cached().size(), 1u);
    EXPECT_EQ(cache().cached()[0].factory.get(), &factory);
    EXPECT_EQ(cache().factoryUsers(&other), 0);
    EXPECT_EQ(other.references(), 0);
    EXPECT_EQ(factory.ledger()->live("bitmap"), 1);

    // A new client of the other factory loads the picture afresh.
    auto third = std::make_unique<CacheClient>();
    EXPECT_TRUE(loadFor(*third, "knob.png").bitmap);
    EXPECT_EQ(other.imageLoads.size(), 2u);
    third.reset();
    EXPECT_EQ(other.references(), 0);
    factory.serve(host);
    EXPECT_TRUE(load("knob.png").bitmap);
    EXPECT_EQ(factory.imageLoads.size(), 1u);
}

TEST_F(ImageCacheTest, AFactoryMadeWhereAGoneOneWasLoadsItsOwnPictures) {
    offer("knob.png", "Image", "skin/knob.png", solidBmp(4, 4, 0xFFFFFFFF));
    EXPECT_TRUE(load("knob.png").bitmap); // this client keeps the cache alive
    alignas(testhost::DrawingFactory) unsigned char storage[sizeof(testhost::DrawingFactory)];
    ComPtr<IBitmap> firstPicture;
    {
        auto* gone = new (storage) testhost::DrawingFactory(factory.ledger());
        gone->serve(host);
        auto user = std::make_unique<CacheClient>();
        firstPicture = loadFor(*user, "knob.png").bitmap;
        user.reset();
        EXPECT_EQ(gone->references(), 0);
        gone->~DrawingFactory();
    }
    auto* made = new (storage) testhost::DrawingFactory(factory.ledger());
    made->serve(host);
    auto user = std::make_unique<CacheClient>();
    const Loaded loaded = loadFor(*user, "knob.png");
    ASSERT_TRUE(loaded.bitmap);
    EXPECT_TRUE(made->made(loaded.host().id));
    EXPECT_NE(loaded.bitmap.get(), firstPicture.get());
    EXPECT_EQ(made->imageLoads, std::vector<std::string>{"skin/knob.png"});
    user.reset();
    EXPECT_EQ(made->references(), 0);
    made->~DrawingFactory();
    factory.serve(host);
}

TEST_F(ImageCacheTest, DropsEveryEntryWithItsLastClient) {
    offer("knob.png", "Image", "skin/knob.png", solidBmp(4, 4, 0xFFFFFFFF));
    auto second = std::make_unique<CacheClient>();
    EXPECT_EQ(cache().clientCount(), 2);
    load("knob.png");
    second.reset();
    EXPECT_EQ(cache().clientCount(), 1);
    EXPECT_EQ(cache().cached().size(), 1u);
    EXPECT_EQ(factory.ledger()->live("bitmap"), 1);
    client.reset();
    EXPECT_EQ(cache().clientCount(), 0);
    EXPECT_TRUE(cache().cached().empty());
    EXPECT_EQ(factory.ledger()->live("bitmap"), 0);
    // The next client loads the picture again.
    client = std::make_unique<CacheClient>();
    EXPECT_TRUE(load("knob.png").bitmap);
    EXPECT_EQ(factory.imageLoads.size(), 2u);
}

TEST_F(ImageCacheTest, ReleasesItsPicturesAtUnload) {
    offer("knob.png", "Image", "skin/knob.png", solidBmp(4, 4, 0xFFFFFFFF));
    load("knob.png");
    EXPECT_EQ(factory.ledger()->live("bitmap"), 1);
    destroyImageCacheAtExit();
    EXPECT_EQ(ImageCache::existing(), nullptr);
    EXPECT_EQ(factory.ledger()->live("bitmap"), 0);
    // A client that outlives the cache finds none to leave; code after the
    // exit list that needs one gets a new, empty cache.
    client.reset();
    EXPECT_EQ(ImageCache::existing(), nullptr);
    EXPECT_TRUE(cache().cached().empty());
    EXPECT_EQ(cache().clientCount(), 0);
}

TEST_F(ImageCacheTest, FindsAndAddsBitmapsByFactoryAndUri) {
    ComPtr<testhost::Bitmap> made(new testhost::Bitmap(factory.ledger(), 2, 2));
    cache().addBitmap(*client, &factory, "skin/made.png", made.get());
    EXPECT_EQ(made->references(), 2);
    ComPtr<IBitmap> found;
    cache().findBitmap(found.put(), &factory, "skin/made.png");
    EXPECT_EQ(found.get(), made.get());
    cache().findBitmap(found.put(), &factory, "skin/other.png");
    EXPECT_FALSE(found);
    testhost::DrawingFactory other;
    cache().findBitmap(found.put(), &other, "skin/made.png");
    EXPECT_FALSE(found);

    // A request that resolves to it gets the bitmap, and no record with it.
    host.addResource("made.png", "Image", "skin/made.png");
    const Loaded loaded = load("made.png");
    EXPECT_EQ(loaded.bitmap.get(), made.get());
    EXPECT_EQ(loaded.metadata, nullptr);
    EXPECT_TRUE(factory.imageLoads.empty());
}

TEST_F(ImageCacheTest, ClientOfNoModuleGetsNothing) {
    offer("knob.png", "Image", "skin/knob.png", solidBmp(4, 4, 0xFFFFFFFF));
    ComPtr<IBitmap> bitmap;
    ImageMetadata* metadata = reinterpret_cast<ImageMetadata*>(1);
    client->imageFor(bitmap.put(), "knob.png", &metadata);
    EXPECT_FALSE(bitmap);
    EXPECT_EQ(metadata, nullptr);
    EXPECT_TRUE(host.lookups.empty());
}

} // namespace
