// The skin a stress case offers its module through the test host: pictures
// with masks and metadata under the names the picture pins use, the "global"
// font metadata, and the fonts of the drawing factory. Every URI is the case's
// own, so that the process-wide image and font caches never mix two cases.
#pragma once

#include "Random.h"
#include "host/DrawingFactory.h"
#include "host/TestHost.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace stress {

class CaseSkin {
public:
    CaseSkin(testhost::TestHost& host, testhost::DrawingFactory& drawing, uint64_t caseSeed);

    // Offers most of the pictures, the font metadata and the fonts.
    void offerAll(Random& r);
    // One change: a picture, its mask or metadata, the font metadata, a
    // font's metrics, or new bytes under a URI already handed out.
    void change(Random& r);

    // The names the picture pins may name (not all of them are offered).
    const std::vector<std::string>& pictureNames() const { return pictures; }
    // The style names of the font metadata as it stands, and "normal".
    std::vector<std::string> styleNames() const;

private:
    void offerPicture(Random& r, const std::string& name);
    void offerFonts(Random& r);
    void offer(const std::string& name, const std::string& kind, const std::string& bytes);
    void offer(const std::string& name, const std::string& kind, testhost::Bytes bytes);

    testhost::TestHost& host;
    testhost::DrawingFactory& drawing;
    std::string prefix;
    int32_t version = 0;
    std::vector<std::string> pictures;
    std::vector<std::string> styles;
    std::map<std::string, std::string> uris; // (name, kind) -> URI of what is offered
};

} // namespace stress
