// Random inputs of the kinds a host and a skin give modules: numbers at and
// beyond the edges, texts with surrogates and NULs, item lists, colours,
// skin pictures and their metadata, font metadata, rectangles and points.
#pragma once

#include "Random.h"
#include "framework/DrawingApi.h"
#include "host/PinBytes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace stress {

using testhost::Bytes;

int32_t anyInt(Random& r);
float anyFloat(Random& r);
Bytes anyBlob(Random& r);
// Bytes of a random length (0 to 12), for a pin of any type.
Bytes anyBytes(Random& r);

std::u16string anyText(Random& r);
std::u16string numberText(Random& r);
std::u16string colourText(Random& r);
std::u16string pathText(Random& r);
std::u16string extensionText(Random& r);

// Ranges wider than maxRangeSpan numbers are not made.
std::u16string itemListText(Random& r, uint64_t maxRangeSpan);

// One of the names, or a name that misses them.
std::u16string nameText(Random& r, const std::vector<std::string>& names);

// A picture as BMP bytes: mostly sound, of 1 to 48 x 1 to 240 pixels, or
// broken (empty, truncated, not a picture).
Bytes pictureBytes(Random& r);
// A picture's metadata text, sound or not.
std::string imageMetadataText(Random& r);

// A skin picture and its metadata text: mostly a strip of frames that the
// metadata describes, sometimes a broken picture or metadata that does not
// fit it or does not parse.
struct SkinPicture {
    Bytes picture;
    std::string metadata;
};
SkinPicture skinPicture(Random& r);
// The skin's "global" font metadata; the style names it defines go to `styles`.
std::string fontMetadataText(Random& r, std::vector<std::string>& styles);
// Metrics of a text format, sound or not.
TextMetrics textMetrics(Random& r);

// A rectangle: ordinary, empty, inverted, offset, huge, infinite or NaN.
GuiRect boundsRect(Random& r);
// Mostly inside `within`, sometimes on its edges, outside, or not a number.
GuiPoint pointIn(Random& r, const GuiRect& within);
int32_t pointerFlags(Random& r);

} // namespace stress
