// The image metadata parser: defaults, every key, short lines and the lines'
// order, compared field by field (floats by their bits).
#include "skin/ImageMetadata.h"
#include "host/PinBytes.h"
#include "tests/MemoryStream.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>

namespace {

using testhost::floatBits;

void expectSameRecord(const ImageMetadata& actual, const ImageMetadata& expected,
                      const std::string& context) {
    SCOPED_TRACE(context);
    EXPECT_EQ(actual.imageKind, expected.imageKind);
    EXPECT_EQ(actual.frameWidth, expected.frameWidth);
    EXPECT_EQ(actual.frameHeight, expected.frameHeight);
    EXPECT_EQ(floatBits(actual.padLeft), floatBits(expected.padLeft));
    EXPECT_EQ(floatBits(actual.padRight), floatBits(expected.padRight));
    EXPECT_EQ(floatBits(actual.padTop), floatBits(expected.padTop));
    EXPECT_EQ(floatBits(actual.padBottom), floatBits(expected.padBottom));
    EXPECT_EQ(actual.rangeEnd, expected.rangeEnd);
    EXPECT_EQ(actual.rangeStart, expected.rangeStart);
    EXPECT_EQ(actual.responseMode, expected.responseMode);
    EXPECT_EQ(floatBits(actual.segmentCount), floatBits(expected.segmentCount));
    EXPECT_EQ(actual.transparentX, expected.transparentX);
    EXPECT_EQ(actual.transparentY, expected.transparentY);
    EXPECT_EQ(floatBits(actual.handleLeft), floatBits(expected.handleLeft));
    EXPECT_EQ(floatBits(actual.handleTop), floatBits(expected.handleTop));
    EXPECT_EQ(floatBits(actual.handleRight), floatBits(expected.handleRight));
    EXPECT_EQ(floatBits(actual.handleBottom), floatBits(expected.handleBottom));
    EXPECT_EQ(actual.imageWidth, expected.imageWidth);
    EXPECT_EQ(actual.imageHeight, expected.imageHeight);
}

ImageMetadata parsed(const std::string& text) {
    ImageMetadata record;
    MemoryStream stream(text);
    parseImageMetadata(record, &stream);
    EXPECT_EQ(stream.refs, 0);
    return record;
}

TEST(ImageMetadataDefaults, AreTheParserDefaults) {
    const ImageMetadata d;
    EXPECT_EQ(d.imageKind, AnimatedKind);
    EXPECT_EQ(d.frameWidth, 10);
    EXPECT_EQ(d.frameHeight, 10);
    EXPECT_EQ(d.rangeEnd, 50);
    EXPECT_EQ(d.rangeStart, 0);
    EXPECT_EQ(d.responseMode, ResponseUnset);
    EXPECT_EQ(floatBits(d.segmentCount), floatBits(5.0f));
    EXPECT_EQ(d.transparentX, -1);
    EXPECT_EQ(d.transparentY, -1);
    EXPECT_EQ(floatBits(d.handleRight), floatBits(10.0f));
    EXPECT_EQ(floatBits(d.handleBottom), floatBits(10.0f));
    EXPECT_EQ(floatBits(d.padLeft) | floatBits(d.handleLeft) | floatBits(d.handleTop), 0u);
    EXPECT_EQ(d.imageWidth | d.imageHeight, 0);
}

TEST(ParseImageMetadata, ResetsEveryFieldBeforeReading) {
    ImageMetadata record;
    record.imageKind = BargraphKind;
    record.frameWidth = 640;
    record.padLeft = 3.0f;
    record.transparentX = 4;
    record.imageWidth = 640;
    record.imageHeight = 480;
    MemoryStream stream("type slider\n");
    parseImageMetadata(record, &stream);
    ImageMetadata expected;
    expected.imageKind = SliderKind;
    expectSameRecord(record, expected, "reset");

    record.frameWidth = 7;
    parseImageMetadata(record, nullptr);
    expectSameRecord(record, ImageMetadata{}, "no stream");
}

struct MetadataCase {
    const char* name;
    std::string text;
    std::function<void(ImageMetadata&)> expect; // what the text changes from the defaults
};

class ParseImageMetadataLines : public ::testing::TestWithParam<MetadataCase> {};

TEST_P(ParseImageMetadataLines, SetsWhatTheKeysSay) {
    ImageMetadata expected;
    if (GetParam().expect)
        GetParam().expect(expected);
    expectSameRecord(parsed(GetParam().text), expected, GetParam().name);
}

std::string caseName(const ::testing::TestParamInfo<MetadataCase>& info) {
    return info.param.name;
}

const MetadataCase unchanged[] = {
    {"Empty", "", nullptr},
    {"BlankLinesAndSpace", "\n  \r\n\t\n , \n", nullptr},
    {"CapitalWord", "type Slider", nullptr},
    {"CapitalKey", "Type slider", nullptr},
    {"UnknownWord", "type dial", nullptr},
    {"UnknownKey", "frame-size 64 64\nframe_sizes 64 64", nullptr},
    {"FrameSizeOneValue", "frame_size 64", nullptr},
    {"PaddingThreeValues", "padding 1 2 3", nullptr},
    {"HandleRectThreeValues", "handle_rect 1 2 3", nullptr},
    {"HandleRangeOneValue", "handle_range 5", nullptr},
    {"OrientationAlone", "orientation", nullptr},
    {"OrientationOtherLetter", "orientation x", nullptr},
    {"OrientationCapital", "orientation Vertical", nullptr},
    {"OrientationEmptyValue", "orientation ''", nullptr},
    {"SegmentCountAlone", "segment_count", nullptr},
    {"TransparentPixelOneValue", "transparent_pixel 0", nullptr},
};

const MetadataCase setting[] = {
    {"Slider", "type slider", [](ImageMetadata& m) { m.imageKind = SliderKind; }},
    {"Knob", "type button\ntype knob", [](ImageMetadata& m) { m.imageKind = AnimatedKind; }},
    {"Animated", "type button\ntype animated",
     [](ImageMetadata& m) { m.imageKind = AnimatedKind; }},
    {"Button", "type button", [](ImageMetadata& m) { m.imageKind = ButtonKind; }},
    {"Bargraph", "type bargraph", [](ImageMetadata& m) { m.imageKind = BargraphKind; }},
    {"UnknownWordKeepsEarlier", "type bargraph\ntype dial",
     [](ImageMetadata& m) { m.imageKind = BargraphKind; }},
    {"FrameSize", "frame_size 64 32",
     [](ImageMetadata& m) {
         m.frameWidth = 64;
         m.frameHeight = 32;
     }},
    {"FrameSizeExtraValuesIgnored", "frame_size 32 32 7",
     [](ImageMetadata& m) {
         m.frameWidth = 32;
         m.frameHeight = 32;
     }},
    {"FrameSizeJunk", "frame_size 12.7 abc",
     [](ImageMetadata& m) {
         m.frameWidth = 12;
         m.frameHeight = 0;
     }},
    // Through float32: exact up to 2^24, rounded beyond, the top clamped.
    {"FrameSizeThroughFloat", "frame_size 16777217 2147483647",
     [](ImageMetadata& m) {
         m.frameWidth = 16777216;
         m.frameHeight = 2147483647;
     }},
    {"Padding", "padding -2 0 3 0",
     [](ImageMetadata& m) {
         m.padTop = -2.0f;
         m.padLeft = 3.0f;
         m.padBottom = 0.0f;
         m.padRight = 0.0f;
     }},
    {"PaddingOrder", "padding 1 2 3 4",
     [](ImageMetadata& m) {
         m.padTop = 1.0f;
         m.padBottom = 2.0f;
         m.padLeft = 3.0f;
         m.padRight = 4.0f;
     }},
    {"HandleRect", "handle_rect 1 2 30 40",
     [](ImageMetadata& m) {
         m.handleLeft = 1.0f;
         m.handleTop = 2.0f;
         m.handleRight = 30.0f;
         m.handleBottom = 40.0f;
     }},
    {"HandleRange", "handle_range 10 90",
     [](ImageMetadata& m) {
         m.rangeStart = 10;
         m.rangeEnd = 90;
     }},
    {"SegmentWithComma", "segment 10,40",
     [](ImageMetadata& m) {
         m.rangeStart = 10;
         m.rangeEnd = 40;
     }},
    {"SegmentWithSpacedComma", "segment 10 , 40",
     [](ImageMetadata& m) {
         m.rangeStart = 10;
         m.rangeEnd = 40;
     }},
    {"SegmentWithTwoCommas", "segment 10,,40",
     [](ImageMetadata& m) {
         m.rangeStart = 10;
         m.rangeEnd = 0;
     }},
    {"OrientationVertical", "orientation vertical",
     [](ImageMetadata& m) { m.responseMode = ResponseVertical; }},
    {"OrientationHorizontal", "orientation horizontal",
     [](ImageMetadata& m) { m.responseMode = ResponseHorizontal; }},
    {"OrientationReverse", "orientation reverse",
     [](ImageMetadata& m) { m.responseMode = ResponseRe; }},
    {"OrientationRight", "orientation right", [](ImageMetadata& m) { m.responseMode = ResponseR; }},
    {"OrientationR", "orientation r", [](ImageMetadata& m) { m.responseMode = ResponseR; }},
    {"MouseResponseCircular", "mouse_response circular",
     [](ImageMetadata& m) { m.responseMode = ResponseC; }},
    {"MouseResponseS", "mouse_response s", [](ImageMetadata& m) { m.responseMode = ResponseS; }},
    {"TiledTrue", "tiled true", [](ImageMetadata& m) { m.responseMode = ResponseVertical; }},
    {"TiledFalse", "tiled false", [](ImageMetadata& m) { m.responseMode = ResponseHorizontal; }},
    {"OtherLetterKeepsEarlier", "orientation vertical\nmouse_response x",
     [](ImageMetadata& m) { m.responseMode = ResponseVertical; }},
    {"SegmentCount", "segment_count 8", [](ImageMetadata& m) { m.segmentCount = 8.0f; }},
    {"LineEndLength", "line_end_length -3", [](ImageMetadata& m) { m.segmentCount = -3.0f; }},
    {"TransparentPixel", "transparent_pixel 0 0",
     [](ImageMetadata& m) {
         m.transparentX = 0;
         m.transparentY = 0;
     }},
    {"TransparentPixelOff", "transparent_pixel -1 5",
     [](ImageMetadata& m) {
         m.transparentX = -1;
         m.transparentY = 5;
     }},
    {"LastLineWins", "frame_size 1 2\nframe_size 3 4\nframe_size 5",
     [](ImageMetadata& m) {
         m.frameWidth = 3;
         m.frameHeight = 4;
     }},
    {"QuotedValues", "'frame_size' \"64\" '48'",
     [](ImageMetadata& m) {
         m.frameWidth = 64;
         m.frameHeight = 48;
     }},
    {"NulEndsItsLine", std::string("type slider\0 bargraph\nframe_size 8\0 9", 37),
     [](ImageMetadata& m) { m.imageKind = SliderKind; }},
};

INSTANTIATE_TEST_SUITE_P(Unchanged, ParseImageMetadataLines, ::testing::ValuesIn(unchanged),
                         caseName);
INSTANTIATE_TEST_SUITE_P(Setting, ParseImageMetadataLines, ::testing::ValuesIn(setting), caseName);

TEST(ParseImageMetadata, GivesTheSameRecordForEveryLineEnd) {
    const std::string lines[] = {"type slider", "frame_size 20 30", "padding 1 2 3 4",
                                 "orientation v"};
    std::string lf, crlf, lastUnterminated;
    for (const std::string& line : lines) {
        lf += line + "\n";
        crlf += line + "\r\n";
    }
    lastUnterminated = crlf.substr(0, crlf.size() - 2);
    const ImageMetadata expected = parsed(lf);
    EXPECT_EQ(expected.frameHeight, 30);
    EXPECT_EQ(expected.responseMode, ResponseVertical);
    expectSameRecord(parsed(crlf), expected, "CR LF");
    expectSameRecord(parsed(lastUnterminated), expected, "last line without a line feed");
    expectSameRecord(parsed("\n" + lf), expected, "leading line feed");
}

TEST(ImageMetadataTest, FramesAndPaddedSizeOfARecord) {
    ImageMetadata m;
    m.frameWidth = 20;
    m.frameHeight = 30;
    m.padLeft = 1.5f;
    m.padRight = 2.0f;
    m.padTop = 0.25f;
    m.padBottom = 4.0f;
    m.imageHeight = 95;
    const GuiSize padded = paddedFrameSize(m);
    EXPECT_EQ(floatBits(padded.width), floatBits(23.5f));
    EXPECT_EQ(floatBits(padded.height), floatBits(34.25f));
    EXPECT_EQ(frameCountOf(m), 3); // whole frames only

    // The heights are read as unsigned, as the picture's frames are counted.
    m.imageHeight = -1;
    m.frameHeight = 2;
    EXPECT_EQ(frameCountOf(m), 0x7FFFFFFF);
    m.frameHeight = 0;
    EXPECT_EQ(frameCountOf(m), 0);
}

} // namespace
