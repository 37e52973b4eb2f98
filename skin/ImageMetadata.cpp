#include "ImageMetadata.h"

#include "../framework/SrgbTables.h"
#include "../platform/NumberText.h"
#include "SkinMetadataText.h"

#include <string>
#include <vector>

namespace {

[[maybe_unused]] const bool tablesBuilt = (ensureSrgbTables(), true);

using Tokens = std::vector<std::string>;

// A whole number as the float32 it is stored through, back as int32.
int32_t throughFloat(int32_t value) {
    return platform::saturatingToInt32(double(float(value)));
}

float asFloat(const std::string& token) {
    return float(skinMetadataDecimal(token));
}

void applyKind(ImageMetadata& record, const std::string& word) {
    if (word == "slider")
        record.imageKind = SliderKind;
    else if (word == "knob" || word == "animated")
        record.imageKind = AnimatedKind;
    else if (word == "button")
        record.imageKind = ButtonKind;
    else if (word == "bargraph")
        record.imageKind = BargraphKind;
}

void applyResponse(ImageMetadata& record, const std::string& word) {
    switch (word.empty() ? '\0' : word[0]) {
    case 't':
    case 'v':
        record.responseMode = ResponseVertical;
        break;
    case 'f':
    case 'h':
        record.responseMode = ResponseHorizontal;
        break;
    case 'c':
        record.responseMode = ResponseC;
        break;
    case 'r':
        record.responseMode = word.size() > 1 && word[1] == 'e' ? ResponseRe : ResponseR;
        break;
    case 's':
        record.responseMode = ResponseS;
        break;
    default:
        break;
    }
}

// A line changes the record only when it holds the key and every value the key reads.
void applyLine(ImageMetadata& record, const Tokens& tokens) {
    if (tokens.empty())
        return;
    const std::string& key = tokens[0];
    const size_t count = tokens.size();
    if (key == "type") {
        if (count >= 2)
            applyKind(record, tokens[1]);
    } else if (key == "frame_size") {
        if (count >= 3) {
            record.frameWidth = throughFloat(skinMetadataDecimal(tokens[1]));
            record.frameHeight = throughFloat(skinMetadataDecimal(tokens[2]));
        }
    } else if (key == "padding") {
        if (count >= 5) {
            record.padTop = asFloat(tokens[1]);
            record.padBottom = asFloat(tokens[2]);
            record.padLeft = asFloat(tokens[3]);
            record.padRight = asFloat(tokens[4]);
        }
    } else if (key == "handle_rect") {
        if (count >= 5) {
            record.handleLeft = asFloat(tokens[1]);
            record.handleTop = asFloat(tokens[2]);
            record.handleRight = asFloat(tokens[3]);
            record.handleBottom = asFloat(tokens[4]);
        }
    } else if (key == "handle_range" || key == "segment") {
        if (count >= 3) {
            record.rangeStart = throughFloat(skinMetadataDecimal(tokens[1]));
            record.rangeEnd = throughFloat(skinMetadataDecimal(tokens[2]));
        }
    } else if (key == "orientation" || key == "tiled" || key == "mouse_response") {
        if (count >= 2)
            applyResponse(record, tokens[1]);
    } else if (key == "segment_count" || key == "line_end_length") {
        if (count >= 2)
            record.segmentCount = asFloat(tokens[1]);
    } else if (key == "transparent_pixel") {
        if (count >= 3) {
            record.transparentX = skinMetadataDecimal(tokens[1]);
            record.transparentY = skinMetadataDecimal(tokens[2]);
        }
    }
}

} // namespace

void parseImageMetadata(ImageMetadata& record, IUriStream* stream) {
    record = ImageMetadata{};
    for (const Tokens& tokens : readSkinMetadataLines(stream))
        applyLine(record, tokens);
}
