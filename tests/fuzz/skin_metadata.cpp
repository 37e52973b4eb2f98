// Feeds arbitrary bytes to the skin metadata reading: the stream read whole
// (with a size or a delivery that the first byte may make wrong), the lines,
// the tokens, and the image metadata parser. Checks that the tokens survive
// being quoted and read again, and that the record holds only known values.
#include "skin/ImageMetadata.h"
#include "skin/SkinMetadataText.h"
#include "tests/MemoryStream.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void require(bool condition) {
    if (!condition)
        std::abort();
}

// The token in quotes that it does not contain, or empty when it holds both kinds.
bool quoted(const std::string& token, std::string& out) {
    for (const char quote : {'"', '\''}) {
        if (token.find(quote) == std::string::npos) {
            out += quote;
            out += token;
            out += quote;
            return true;
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const uint8_t mode = data[0];
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

    MemoryStream stream(text);
    if (mode & 1)
        stream.deliverAtMost = size_t(mode >> 2);
    if (mode & 2)
        stream.reportedSize = int64_t(text.size()) + int64_t(mode >> 4) - 8;
    const std::string read = readSkinMetadataText(&stream);
    require(stream.refs == 0);
    require(read.size() == size_t(std::max<int64_t>(stream.reportedSize, 0)));
    // What the stream delivered, then NUL bytes up to the size it reported.
    const size_t delivered = std::min({read.size(), text.size(), stream.deliverAtMost});
    require(read.compare(0, delivered, text, 0, delivered) == 0);
    require(std::all_of(read.begin() + ptrdiff_t(delivered), read.end(),
                        [](char c) { return c == '\0'; }));

    const std::vector<std::string> lines = splitSkinMetadataLines(read);
    require(size_t(std::count(read.begin(), read.end(), '\n')) + 1 == lines.size());
    for (const std::string& line : lines) {
        require(line.find('\0') == std::string::npos);
        std::vector<std::string> tokens;
        tokenizeLine(line.c_str(), tokens);
        std::string again;
        bool quotable = true;
        for (const std::string& token : tokens) {
            require(token.find('\0') == std::string::npos);
            quotable = quotable && quoted(token, again);
            again += ' ';
        }
        if (quotable) {
            std::vector<std::string> reread;
            tokenizeLine(again.c_str(), reread);
            require(reread == tokens);
        }
        for (const std::string& token : tokens)
            (void)skinMetadataDecimal(token);
    }

    MemoryStream metadata(text);
    ImageMetadata record;
    record.imageWidth = 7;
    parseImageMetadata(record, &metadata);
    require(metadata.refs == 0);
    require(record.imageKind >= SliderKind && record.imageKind <= BargraphKind);
    require(record.responseMode >= ResponseUnset && record.responseMode <= ResponseRe);
    require(record.imageWidth == 0 && record.imageHeight == 0);
    return 0;
}
