// Small skin pictures made in code, as 32-bit BMP bytes (B, G, R, A, rows from
// the top) that the test host's picture decoder reads, and their offer to a
// widget as skin resources.
#pragma once

#include "host/PinBytes.h"
#include "host/TestHost.h"

#include <cstdint>
#include <functional>
#include <string>

namespace skinpictures {

using testhost::Bytes;

// Pixels given as 0xAARRGGBB, not premultiplied. A picture whose alpha bytes
// are all 0 decodes as opaque.
inline Bytes bmp(int32_t width, int32_t height,
                 const std::function<uint32_t(int32_t x, int32_t y)>& argb) {
    Bytes out;
    auto put = [&out](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.push_back(uint8_t(value >> (8 * i)));
    };
    const uint32_t pixelBytes = uint32_t(width) * uint32_t(height) * 4;
    out.push_back('B');
    out.push_back('M');
    put(54 + pixelBytes, 4);
    put(0, 4);
    put(54, 4);
    put(40, 4);              // BITMAPINFOHEADER
    put(uint32_t(width), 4); // a negative height: rows from the top
    put(uint32_t(-height), 4);
    put(1, 2);
    put(32, 2);
    put(0, 4); // no compression
    put(pixelBytes, 4);
    put(2835, 4);
    put(2835, 4);
    put(0, 4);
    put(0, 4);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            put(argb(x, y), 4);
    return out;
}

inline Bytes solidBmp(int32_t width, int32_t height, uint32_t argb) {
    return bmp(width, height, [argb](int32_t, int32_t) { return argb; });
}

// A mask picture: every pixel grey `level` (the mask reads byte 0).
inline Bytes maskBmp(int32_t width, int32_t height, uint8_t level) {
    return solidBmp(width, height, 0xFF000000u | uint32_t(level) * 0x010101u);
}

// Offers a picture as the skin resource `name` (kind "Image", at "skin/" +
// name), and its metadata text beside it when given: the name's stem + ".txt"
// (kind "ImageMeta").
inline void offer(testhost::TestHost& host, const std::string& name, const Bytes& picture,
                  const std::string& metadata = "") {
    host.addResource(name, "Image", "skin/" + name);
    host.addUriData("skin/" + name, picture);
    if (metadata.empty())
        return;
    const std::string text = name.substr(0, name.rfind('.')) + ".txt";
    host.addResource(text, "ImageMeta", "skin/" + text);
    host.addUriData("skin/" + text, Bytes(metadata.begin(), metadata.end()));
}

} // namespace skinpictures
