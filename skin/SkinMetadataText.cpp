#include "SkinMetadataText.h"

#include "../framework/SrgbTables.h"
#include "../platform/NumberText.h"

namespace {

[[maybe_unused]] const bool tablesBuilt = (ensureSrgbTables(), true);

// White space as isspace reports it in the C locale; bytes from 0x80 are ordinary.
bool isSpaceByte(char c) {
    return platform::isCSpace(char32_t(static_cast<unsigned char>(c)));
}

bool isQuote(char c) {
    return c == '"' || c == '\'';
}

// Ends a plain token.
bool endsPlainToken(char c) {
    return c == '\0' || isSpaceByte(c) || isQuote(c) || c == ',';
}

} // namespace

void tokenizeLine(const char* line, std::vector<std::string>& tokens) {
    if (!line)
        return;
    const char* p = line;
    for (;;) {
        const char c = *p;
        if (c == '\0')
            return;
        if (isSpaceByte(c)) {
            ++p;
            continue;
        }
        if (isQuote(c)) {
            const char* start = ++p;
            while (*p != '\0' && *p != c)
                ++p;
            tokens.emplace_back(start, p);
            if (*p == c)
                ++p;
            continue;
        }
        // A plain token; its first byte may be a comma.
        const char* start = p++;
        while (!endsPlainToken(*p))
            ++p;
        tokens.emplace_back(start, p);
        if (*p == ',') {
            ++p;
        } else if (*p == ' ') {
            // Spaces, and at most one comma among them, separate this token from the next.
            ++p;
            while (*p == ' ')
                ++p;
            if (*p == ',')
                ++p;
        }
        // Any other end (other white space, a quote, NUL) is read again from the top.
    }
}

std::string readSkinMetadataText(IUriStream* stream) {
    if (!stream)
        return {};
    int64_t size = 0;
    stream->byteSize(&size);
    if (size <= 0 || size > maxSkinMetadataBytes)
        return {};
    std::string text(size_t(size), '\0');
    stream->readBytes(text.data(), size, 0);
    return text;
}

std::vector<std::string> splitSkinMetadataLines(std::string_view text) {
    std::vector<std::string> lines;
    auto add = [&lines](std::string_view line) {
        // The line is handed on as a NUL-terminated string: a NUL byte ends it.
        if (const size_t nul = line.find('\0'); nul != std::string_view::npos)
            line = line.substr(0, nul);
        lines.emplace_back(line);
    };
    size_t position = 0;
    for (size_t feed = text.find('\n'); feed != std::string_view::npos;
         feed = text.find('\n', position)) {
        size_t end = feed;
        if (end > position && text[end - 1] == '\r')
            --end;
        add(text.substr(position, end - position));
        position = feed + 1;
    }
    add(text.substr(position));
    return lines;
}

std::vector<std::vector<std::string>> readSkinMetadataLines(IUriStream* stream) {
    const std::vector<std::string> lines = splitSkinMetadataLines(readSkinMetadataText(stream));
    std::vector<std::vector<std::string>> tokenized(lines.size());
    for (size_t i = 0; i < lines.size(); ++i)
        tokenizeLine(lines[i].c_str(), tokenized[i]);
    return tokenized;
}

int32_t skinMetadataDecimal(const std::string& token) {
    return platform::parseInt32(std::string_view(token), 10);
}
