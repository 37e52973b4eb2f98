#include "CaseSkin.h"

#include "Inputs.h"

#include <cstdio>

namespace stress {

using testhost::Bytes;

CaseSkin::CaseSkin(testhost::TestHost& host, testhost::DrawingFactory& drawing, uint64_t caseSeed)
    : host(host), drawing(drawing), pictures{"k0.bmp", "k1.bmp", "k2.bmp", "k3.png", "dir/k4.bmp"} {
    char text[48];
    std::snprintf(text, sizeof text, "case-%016llx/", static_cast<unsigned long long>(caseSeed));
    prefix = text;
}

void CaseSkin::offerAll(Random& r) {
    for (const std::string& name : pictures)
        if (r.chance(85))
            offerPicture(r, name);
    offerFonts(r);
    drawing.families = {"Mono", "Sans", "Arial", "Verdana"};
    drawing.offerFamilyList = r.chance(50);
    for (const std::string& family : drawing.families)
        if (r.chance(50))
            drawing.metrics[family] = textMetrics(r);
}

void CaseSkin::change(Random& r) {
    switch (r.below(6)) {
    case 0:
    case 1:
    case 2: {
        const std::string& name = r.pick(pictures);
        if (r.chance(15)) {
            host.removeResource(name, "Image");
            uris.erase(name + "|Image");
        } else {
            offerPicture(r, name);
        }
        break;
    }
    case 3:
        offerFonts(r);
        break;
    case 4:
        drawing.metrics[r.pick(drawing.families)] = textMetrics(r);
        break;
    default:
        // A URI the host already resolved a name to now holds other bytes.
        if (const auto it = uris.find(r.pick(pictures) + "|Image"); it != uris.end())
            host.addUriData(it->second, pictureBytes(r));
        break;
    }
}

std::vector<std::string> CaseSkin::styleNames() const {
    std::vector<std::string> names = styles;
    names.push_back("normal");
    return names;
}

void CaseSkin::offerPicture(Random& r, const std::string& name) {
    SkinPicture skin = skinPicture(r);
    offer(name, "Image", std::move(skin.picture));
    const std::string stem = name.substr(0, name.rfind('.'));
    if (r.chance(30))
        offer(stem + "_mask.bmp", "Image", pictureBytes(r));
    else
        host.removeResource(stem + "_mask.bmp", "Image");
    if (!skin.metadata.empty())
        offer(stem + ".txt", "ImageMeta", skin.metadata);
    else
        host.removeResource(stem + ".txt", "ImageMeta");
}

void CaseSkin::offerFonts(Random& r) {
    styles.clear();
    offer("global", "ImageMeta", fontMetadataText(r, styles));
}

void CaseSkin::offer(const std::string& name, const std::string& kind, const std::string& bytes) {
    offer(name, kind, Bytes(bytes.begin(), bytes.end()));
}

void CaseSkin::offer(const std::string& name, const std::string& kind, Bytes bytes) {
    // A new URI each time: the caches hold on to what they read under a URI.
    const std::string uri = prefix + name + "#" + std::to_string(++version);
    host.addResource(name, kind, uri);
    host.addUriData(uri, std::move(bytes));
    uris[name + "|" + kind] = uri;
}

} // namespace stress
