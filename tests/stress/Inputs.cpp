#include "Inputs.h"

#include "framework/ModuleApi.h"
#include "tests/SkinPictures.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace stress {
namespace {

constexpr float nan = std::numeric_limits<float>::quiet_NaN();
constexpr float inf = std::numeric_limits<float>::infinity();
constexpr int32_t intMin = std::numeric_limits<int32_t>::min();
constexpr int32_t intMax = std::numeric_limits<int32_t>::max();

std::u16string ascii(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

std::string decimal(int64_t value) {
    return std::to_string(value);
}

} // namespace

int32_t anyInt(Random& r) {
    switch (r.below(4)) {
    case 0:
        return r.between(-3, 20);
    case 1:
        return r.pick({0, 1, -1, 2, 10, 100, 65535, 65536, intMax, intMin, intMax - 1, intMin + 1});
    case 2:
        return r.between(-1000, 1000);
    default:
        return int32_t(r.word());
    }
}

float anyFloat(Random& r) {
    switch (r.below(4)) {
    case 0:
        return r.between(0.0f, 1.0f);
    case 1:
        return r.pick({0.0f, -0.0f, 1.0f, -1.0f, 0.5f, 2.0f, 100.0f, 1e-30f, 1e-45f, 1e30f, -1e30f,
                       3.4028235e38f, nan, inf, -inf, 0.999999f, 1.000001f});
    case 2:
        return r.between(-1000.0f, 1000.0f);
    default: {
        const uint32_t bits = r.word();
        float value;
        std::memcpy(&value, &bits, 4);
        return value;
    }
    }
}

Bytes anyBlob(Random& r) {
    Bytes out(r.chance(80) ? r.below(40) : r.below(4000));
    for (uint8_t& b : out)
        b = uint8_t(r.word());
    return out;
}

Bytes anyBytes(Random& r) {
    Bytes out(r.below(13));
    for (uint8_t& b : out)
        b = uint8_t(r.word());
    return out;
}

std::u16string anyText(Random& r) {
    switch (r.below(12)) {
    case 0:
        return u"";
    case 1:
        return r.pick<std::u16string>({u"a", u"Hello", u"two words", u" padded ", u"\t\r\n"});
    case 2:
        return numberText(r);
    case 3:
        return colourText(r);
    case 4:
        return itemListText(r, 64);
    case 5:
        return pathText(r);
    case 6:
        return r.pick<std::u16string>({u"\u00e9t\u00e9", u"\u4e2d\u6587", u"\U0001F600", u"\xD800",
                                       u"\xDC00x", u"x\xD83D", u"\xFFFF\xFFFE"});
    case 7:
        return std::u16string(u"a\0b", 3);
    case 8:
        return std::u16string(r.pick<size_t>({255, 256, 1000, 4097}), u'x');
    case 9: {
        std::u16string text(r.below(20), u'\0');
        for (char16_t& c : text)
            c = char16_t(r.word());
        return text;
    }
    case 10:
        return std::u16string(1, char16_t(r.below(32)));
    default:
        return ascii(decimal(anyInt(r)));
    }
}

std::u16string numberText(Random& r) {
    if (r.chance(30))
        return ascii(decimal(anyInt(r)));
    return r.pick<std::u16string>(
        {u"0",      u"1",   u"-1",    u"3.14159",    u"1e38",        u"1e39",
         u"-1e400", u"nan", u"-nan",  u"inf",        u"-inf",        u" 12",
         u"0x1F",   u"+5",  u"1,5",   u"",           u"12abc",       u"99999999999999999999",
         u".5",     u"-0",  u"1e-45", u"2147483648", u"-2147483649", u"\u0661\u0662",
         u"\xD800"});
}

std::u16string colourText(Random& r) {
    if (r.chance(40)) {
        static const char digits[] = "0123456789abcdefABCDEF";
        std::string hex(r.between(1, 10), '0');
        for (char& c : hex)
            c = digits[r.below(22)];
        return ascii(hex);
    }
    return r.pick<std::u16string>({u"", u"FF000000", u"80FF8000", u"ffffffff", u"00000000", u"ff",
                                   u"zz", u"FFFFFFFFFF", u"0x12345678", u"#123456", u"-1",
                                   u" 7F7F7F7F", u"\xD800"});
}

std::u16string pathText(Random& r) {
    return r.pick<std::u16string>({u"",
                                   u"file",
                                   u"file.txt",
                                   u"C:\\folder\\file.txt",
                                   u"/a/b/c.wav",
                                   u"\\\\server\\share\\",
                                   u"a/",
                                   u"/",
                                   u".",
                                   u"..",
                                   u"a.b.c",
                                   u"dir\\",
                                   u"dir/sub/",
                                   u"\u00fc\u00df.txt",
                                   u"\xD800.txt",
                                   std::u16string(300, u'p'),
                                   std::u16string(u"x\0y.txt", 7),
                                   u"C:",
                                   u"C:file",
                                   u"name.",
                                   u".hidden",
                                   u"a\\b/c"});
}

std::u16string extensionText(Random& r) {
    return r.pick<std::u16string>({u"txt", u"", u"wav", u".", u"*", u"t*t", u"TXT", u"\u00fc",
                                   u"\xD800", std::u16string(200, u'e'), u"tx", u"txt.bak", u"/",
                                   u"..\\"});
}

std::u16string itemListText(Random& r, uint64_t maxRangeSpan) {
    switch (r.below(5)) {
    case 0:
    case 1: {
        std::u16string list;
        const uint32_t count = r.below(8);
        for (uint32_t i = 0; i < count; ++i) {
            if (i > 0 || r.chance(5))
                list += u",";
            list += r.pick<std::u16string>({u"One",
                                            u"Two=3",
                                            u"Three=-1",
                                            u"=5",
                                            u"Four=2147483647",
                                            u"Five=-2147483648",
                                            u"x=99999999999",
                                            u"",
                                            u"----",
                                            u"<<<<",
                                            u">>>>",
                                            u"||||",
                                            u"---",
                                            u"-----",
                                            u" spaced = 7 ",
                                            u"\u00e9=2",
                                            u"\xD800",
                                            u"a=b",
                                            u"Same=1",
                                            u"Same=1"});
        }
        if (r.chance(5))
            list += u",";
        return list;
    }
    case 2: {
        std::u16string list;
        const uint32_t count = r.between(30, 400);
        for (uint32_t i = 0; i < count; ++i)
            list += (i ? u",item" : u"item") + ascii(decimal(i));
        return list;
    }
    case 3: {
        std::pair<int32_t, int32_t> ends =
            r.pick<std::pair<int32_t, int32_t>>({{0, 5},
                                                 {5, 0},
                                                 {-3, 3},
                                                 {0, 0},
                                                 {1, 1000},
                                                 {0, intMax},
                                                 {intMin, intMax},
                                                 {intMax, intMin},
                                                 {intMin, intMin + 1},
                                                 {intMax - 40, intMax},
                                                 {-1, 65535},
                                                 {0, 65536},
                                                 {0, 100000}});
        if (r.chance(20))
            ends = {anyInt(r), anyInt(r)};
        const uint64_t span = uint64_t(std::abs(int64_t(ends.second) - int64_t(ends.first))) + 1;
        if (span > maxRangeSpan)
            ends = {ends.first, int32_t(int64_t(ends.first) + (ends.first > ends.second ? -7 : 7))};
        return u"range " + ascii(decimal(ends.first)) + u"," + ascii(decimal(ends.second));
    }
    default:
        return r.pick<std::u16string>({u"range", u"range 5", u"range ,", u"range a,b",
                                       u" range 1,2", u"RANGE 1,2", u"range 1,2,3", u"range 1 , 3",
                                       u"range -,-", u"range 99999999999,1", u",", u",,,", u"=",
                                       u"range\xD800"});
    }
}

std::u16string nameText(Random& r, const std::vector<std::string>& names) {
    if (!names.empty() && r.chance(75))
        return ascii(r.pick(names));
    return r.pick<std::u16string>({u"", u"missing.bmp", u"k0", u"K0.BMP", u"dir/k1.bmp",
                                   std::u16string(u"k0.bmp\0x", 8), u"\xD800.bmp",
                                   std::u16string(400, u'n'), u".bmp", u"k0.bmp "});
}

namespace {

Bytes bmpOfSize(Random& r, int32_t width, int32_t height) {
    const uint32_t pattern = r.below(4);
    const uint32_t colour = r.word() & 0x00FFFFFFu;
    return skinpictures::bmp(width, height, [&](int32_t x, int32_t y) -> uint32_t {
        switch (pattern) {
        case 0:
            return colour; // alpha 0 everywhere: decodes opaque
        case 1:
            return 0xFF000000u | colour;
        case 2:
            return ((x + y) % 2 ? 0xFF000000u : 0u) | colour;
        default:
            return uint32_t(x * 37 + y * 101) * 0x01030507u;
        }
    });
}

Bytes broken(Random& r, Bytes picture) {
    switch (r.below(3)) {
    case 0:
        return {};
    case 1:
        picture.resize(r.below(uint32_t(picture.size())));
        return picture;
    default:
        return Bytes{'B', 'M', 0, 1, 2, 3};
    }
}

} // namespace

Bytes pictureBytes(Random& r) {
    const int32_t width = r.between(1, 48);
    const int32_t height = r.chance(50) ? r.between(1, 48) : r.between(49, 240);
    Bytes picture = bmpOfSize(r, width, height);
    return r.chance(30) ? broken(r, std::move(picture)) : picture;
}

SkinPicture skinPicture(Random& r) {
    const int32_t width = r.between(1, 40);
    const int32_t frames = r.between(1, 8);
    const int32_t frameHeight = r.between(1, 30);
    SkinPicture skin;
    skin.picture = bmpOfSize(r, width, frames * frameHeight);
    if (r.chance(15))
        skin.picture = broken(r, std::move(skin.picture));
    if (r.chance(50)) {
        skin.metadata = "type " +
                        r.pick<std::string>({"knob", "animated", "slider", "button", "bargraph"}) +
                        "\nframe_size " + decimal(width) + " " + decimal(frameHeight) + "\n";
        if (r.chance(30))
            skin.metadata += "padding 1 2 3 4\nhandle_rect 0 0 " + decimal(width) + " " +
                             decimal(frameHeight) + "\nhandle_range 0 " + decimal(frameHeight) +
                             "\n";
    } else if (r.chance(80)) {
        skin.metadata = imageMetadataText(r);
    }
    return skin;
}

std::string imageMetadataText(Random& r) {
    auto number = [&r]() -> std::string {
        switch (r.below(4)) {
        case 0:
            return decimal(r.between(0, 64));
        case 1:
            return decimal(r.pick<int64_t>({0, -1, 1, 2, intMax, intMin, 99999999999, 240, 48}));
        case 2:
            return r.pick<std::string>({"x", "", "1.5", "-0", "0x10", "+3"});
        default:
            return decimal(r.between(-100, 300));
        }
    };
    std::string text;
    const uint32_t lines = r.below(12);
    for (uint32_t i = 0; i < lines; ++i) {
        switch (r.below(14)) {
        case 0:
            text += "type " + r.pick<std::string>(
                                  {"slider", "knob", "animated", "button", "bargraph", "junk", ""});
            break;
        case 1:
        case 2:
            text += "frame_size " + number() + " " + number();
            break;
        case 3:
            text += "padding " + number() + " " + number() + " " + number() + " " + number();
            break;
        case 4:
            text += "handle_rect " + number() + " " + number() + " " + number() + " " + number();
            break;
        case 5:
            text += r.pick<std::string>({"handle_range ", "segment "}) + number() + " " + number();
            break;
        case 6:
            text += r.pick<std::string>({"orientation ", "mouse_response ", "tiled "}) +
                    r.pick<std::string>({"v", "h", "c", "r", "re", "s", "x", "vertical"});
            break;
        case 7:
            text += r.pick<std::string>({"segment_count ", "line_end_length "}) + number();
            break;
        case 8:
            text += "transparent_pixel " + number() + " " + number();
            break;
        case 9:
            text += r.pick<std::string>({"frame_size", "frame_size 10", "\"frame_size\" 10 10",
                                         "frame_size,10,,10", "'type' 'knob", "padding 1 2"});
            break;
        case 10:
            text += std::string(r.below(3000), 'k');
            break;
        case 11:
            text += std::string("type\0knob", 9);
            break;
        default:
            break;
        }
        text += r.chance(20) ? "\r\n" : "\n";
    }
    return text;
}

std::string fontMetadataText(Random& r, std::vector<std::string>& styles) {
    std::string text;
    const uint32_t categories = r.below(5);
    for (uint32_t c = 0; c < categories; ++c) {
        const std::string name =
            r.pick<std::string>({"normal", "heading", "small", "Big", "list", "x"});
        styles.push_back(name);
        text += "FONT_CATEGORY " + name + "\n";
        const uint32_t keys = r.below(8);
        for (uint32_t k = 0; k < keys; ++k) {
            switch (r.below(9)) {
            case 0:
                text += "font-family " + r.pick<std::string>({"Mono", "Sans", "Mono Sans", "\"\""});
                break;
            case 1:
                text +=
                    "font-size " +
                    decimal(r.pick<int64_t>({0, -5, 1, 12, 100000, intMax, intMin, 99999999999}));
                break;
            case 2:
                text += "font-color " +
                        r.pick<std::string>({"#FF0000", "16711680", "#", "#GGGGGG", "-1"});
                break;
            case 3:
                text += "background-color #" + r.pick<std::string>({"00FF00", "1", ""});
                break;
            case 4:
                text += "font-weight " +
                        r.pick<std::string>({"bold", "light", "700", "300", "-1", "0", "x"});
                break;
            case 5:
                text += "text-align " + r.pick<std::string>({"center", "right", "left", ""});
                break;
            case 6:
                text += "GDI_pixelHeight " + decimal(anyInt(r));
                break;
            case 7:
                text += "text-decoration underline";
                break;
            default:
                text += r.pick<std::string>({"FONT_CATEGORY", "font-size", "junk line", ""});
                break;
            }
            text += "\n";
        }
    }
    return text;
}

TextMetrics textMetrics(Random& r) {
    TextMetrics metrics{};
    for (float& value : metrics.values)
        value = r.chance(70) ? r.between(0.0f, 20.0f)
                             : r.pick({0.0f, -5.0f, nan, inf, 1e30f, 1e-30f, -1e30f});
    return metrics;
}

GuiRect boundsRect(Random& r) {
    auto extent = [&r]() -> float {
        if (r.chance(70))
            return float(r.between(1, 400));
        return r.pick({0.0f, 0.5f, 1.0f, 16384.0f, 16385.0f, 1e6f, 1e9f, inf, nan, -1.0f});
    };
    const float left = r.chance(75) ? 0.0f : r.pick({5.0f, -5.0f, 100.5f, 1e9f, nan});
    const float top = r.chance(75) ? 0.0f : r.pick({3.0f, -3.0f, 50.25f, -1e9f, nan});
    const float width = extent(), height = extent();
    GuiRect rect{left, top, left + width, top + height};
    if (r.chance(10))
        std::swap(rect.top, rect.bottom);
    if (r.chance(5))
        std::swap(rect.left, rect.right);
    return rect;
}

GuiPoint pointIn(Random& r, const GuiRect& within) {
    const float w = within.right - within.left, h = within.bottom - within.top;
    switch (r.below(10)) {
    case 0:
        return {r.pick({nan, inf, -inf, 1e30f, -1e30f, 0.0f}), r.pick({nan, 0.0f, -inf, 1e30f})};
    case 1:
        return {within.right, within.bottom};
    case 2:
        return {within.left - r.between(1.0f, 50.0f), within.top + r.between(-50.0f, 50.0f)};
    case 3:
        return {r.between(-20.0f, 20.0f), r.between(-20.0f, 20.0f)};
    default:
        return {float(r.unit()) * (std::isfinite(w) ? w : 100.0f),
                float(r.unit()) * (std::isfinite(h) ? h : 100.0f)};
    }
}

int32_t pointerFlags(Random& r) {
    switch (r.below(6)) {
    case 0:
        return 0;
    case 1:
    case 2:
        return gmpi_gui_api::PointerButtonDown;
    case 3:
        return gmpi_gui_api::PointerButtonDown | gmpi_gui_api::PointerFineAdjust;
    case 4:
        return gmpi_gui_api::PointerFineAdjust;
    default:
        return int32_t(r.word());
    }
}

} // namespace stress
