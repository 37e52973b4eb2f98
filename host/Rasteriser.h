// Paints a recording of drawing calls into a picture, so that a person can
// look at what a module drew. Linux only (cairo); the Windows build has no
// rasteriser and says so.
#pragma once

#include "DrawingRecord.h"

#include <string>
#include <vector>

namespace testhost {

// Whether this build can paint recordings.
bool canRasterise();

// The recording painted on a transparent surface of width x height pixels:
// straight (not premultiplied) R, G, B, A bytes, row after row, colours in
// sRGB. Empty when this build cannot paint or the size is not positive.
std::vector<uint8_t> rasterise(const Recording& recording, int32_t width, int32_t height);

// The same, written to a PNG file. False, with the reason in `error`, when it
// could not be painted or written.
bool rasteriseToPng(const Recording& recording, int32_t width, int32_t height,
                    const std::string& path, std::string* error = nullptr);

} // namespace testhost
