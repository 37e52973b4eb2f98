// How a skin picture is cut into frames and how the widget showing it
// behaves, read from the picture's companion ".txt" metadata.
#pragma once

#include "../framework/DrawingApi.h"

#include <cstdint>

enum ImageKind : int32_t {
    SliderKind = 0,   // "slider"
    AnimatedKind = 1, // "knob", "animated"
    ButtonKind = 2,   // "button"
    BargraphKind = 3, // "bargraph"
};

// Chosen by the first byte of the value (for 'r' the second too).
enum ResponseMode : int32_t {
    ResponseUnset = -1,
    ResponseVertical = 0,   // 't', 'v'
    ResponseHorizontal = 1, // 'f', 'h'
    ResponseC = 2,          // 'c'
    ResponseR = 3,          // 'r' not followed by 'e'
    ResponseS = 4,          // 's'
    ResponseRe = 5,         // "re"
};

// One record per cached picture; the defaults are the parser's.
struct ImageMetadata {
    int32_t imageKind = AnimatedKind;
    int32_t frameWidth = 10;
    int32_t frameHeight = 10; // frames are stacked top to bottom
    float padLeft = 0.0f;     // x offset of the drawn frame
    float padRight = 0.0f;    // extra width of the widget
    float padTop = 0.0f;      // y offset of the drawn frame
    float padBottom = 0.0f;   // extra height of the widget
    int32_t rangeEnd = 50;    // slider: handle offset at the far end; bargraph: lit-height step
    int32_t rangeStart = 0;   // slider: handle offset at the near end; bargraph: base offset
    int32_t responseMode = ResponseUnset;
    float segmentCount = 5.0f; // bargraph segments
    int32_t transparentX = -1; // key-colour pixel; -1: no key colour
    int32_t transparentY = -1;
    float handleLeft = 0.0f; // slider handle inside the picture, right and bottom exclusive
    float handleTop = 0.0f;
    float handleRight = 10.0f;
    float handleBottom = 10.0f;
    int32_t imageWidth = 0; // the whole picture, set by the image cache
    int32_t imageHeight = 0;
};

// One frame with its paddings: the size a widget showing the frame takes.
inline GuiSize paddedFrameSize(const ImageMetadata& m) {
    return GuiSize{float(m.frameWidth) + m.padLeft + m.padRight,
                   float(m.frameHeight) + m.padTop + m.padBottom};
}

// The whole frames the picture holds, its heights read as unsigned; 0 when
// frames have no height.
inline int32_t frameCountOf(const ImageMetadata& m) {
    return m.frameHeight ? int32_t(uint32_t(m.imageHeight) / uint32_t(m.frameHeight)) : 0;
}

// Resets every field of the record to the parser defaults, then applies each
// line of the stream's text in order. The stream stays the caller's.
void parseImageMetadata(ImageMetadata& record, IUriStream* stream);
