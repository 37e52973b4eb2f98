// The shared colour tables and the reading of colour text.
#include "framework/SrgbTables.h"
#include "host/PinBytes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using testhost::floatBits;

namespace {

// The tables are built by the library's static initialisers, before any test runs.
TEST(SrgbTablesTest, ValuesAfterLoad) {
    const SrgbTables& t = srgbTables();
    struct Entry {
        const float* row;
        int index;
        float value;
    };
    const Entry entries[] = {
        {t.srgbToLinear(), 0, 0.0f},           {t.pow22(), 0, 0.0f},
        {t.srgbToLinearHalfStep(), 0, 0.0f},   {t.pow22ToSrgb(), 0, 0.0f},
        {t.srgbToLinear(), 1, 0.00030352699f}, {t.srgbToLinear(), 128, 0.21586053f},
        {t.srgbToLinear(), 255, 1.0000001f},   {t.pow22(), 128, 0.21951975f},
        {t.pow22(), 255, 1.0000001f},          {t.srgbToLinearHalfStep(), 255, 0.99554539f},
        {t.pow22ToSrgb(), 255, 1.0f},
    };
    for (const Entry& e : entries)
        EXPECT_EQ(floatBits(e.row[e.index]), floatBits(e.value))
            << e.index << " " << e.row[e.index];
}

TEST(SrgbTablesTest, IndexTenIsTheLastOnTheLinearBranch) {
    const SrgbTables& t = srgbTables();
    const double k = double(byteScale);
    EXPECT_EQ(floatBits(t.srgbToLinear()[10]), floatBits(float(10 * k / 12.92)));
    EXPECT_NE(floatBits(t.srgbToLinear()[11]), floatBits(float(11 * k / 12.92)));
    EXPECT_EQ(floatBits(t.srgbToLinearHalfStep()[10]), floatBits(float(9.5 * k / 12.92)));
}

TEST(SrgbTablesTest, BuildingAgainChangesNothing) {
    std::vector<float> before(srgbTables().values, srgbTables().values + 1024);
    ensureSrgbTables();
    EXPECT_EQ(std::memcmp(before.data(), srgbTables().values, 1024 * sizeof(float)), 0);
    std::vector<float> fresh(1024, 0.0f); // entry 0 of the last row is left as it is
    buildSrgbTables(fresh.data());
    EXPECT_EQ(std::memcmp(fresh.data(), srgbTables().values, 1024 * sizeof(float)), 0);
}

TEST(ArgbHexTextTest, ReadsAsOneUnsignedNumber) {
    const SrgbTables& t = srgbTables();
    const float* decode = t.srgbToLinear();
    const GuiColour fallback{0.25f, 0.5f, 0.75f, 1.0f};
    struct Case {
        const char16_t* text;
        GuiColour colour;
    };
    const Case cases[] = {
        {u"", fallback},
        {u"80FF0000", {decode[255], 0.0f, 0.0f, 0.50196081f}},
        {u"FFFF8000", {decode[255], decode[128], 0.0f, 1.0f}},
        {u"FF8000", {decode[255], decode[128], 0.0f, 0.0f}}, // six digits: alpha 0
        {u"#FFFFFFFF", {0.0f, 0.0f, 0.0f, 0.0f}},            // transparent black
        {u" 0x40102030", {decode[0x10], decode[0x20], decode[0x30], 64 * byteScale}},
        {u"1FFFFFFFF", {decode[255], decode[255], decode[255], 255 * byteScale}},
    };
    for (const Case& c : cases) {
        const GuiColour got = colourFromArgbText(c.text, fallback);
        EXPECT_EQ(floatBits(got.r), floatBits(c.colour.r));
        EXPECT_EQ(floatBits(got.g), floatBits(c.colour.g));
        EXPECT_EQ(floatBits(got.b), floatBits(c.colour.b));
        EXPECT_EQ(floatBits(got.a), floatBits(c.colour.a)) << got.a;
    }
}

TEST(SrgbColourTest, DecodesEachChannelInItsPlaceAndKeepsAlpha) {
    const float* decode = srgbTables().srgbToLinear();
    const GuiColour c = srgbColour(0x10, 0x80, 0xF0, 0.25f);
    EXPECT_EQ(floatBits(c.r), floatBits(decode[0x10]));
    EXPECT_EQ(floatBits(c.g), floatBits(decode[0x80]));
    EXPECT_EQ(floatBits(c.b), floatBits(decode[0xF0]));
    EXPECT_EQ(floatBits(c.a), floatBits(0.25f));
}

} // namespace
