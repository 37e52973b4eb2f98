#include "FontCache.h"

#include "../framework/DrawingFactoryWrapper.h"
#include "../framework/MpGuiGfxBase.h"
#include "../framework/MpString.h"
#include "../framework/SrgbTables.h"
#include "../framework/UnloadSafeSingleton.h"
#include "../platform/BoundaryGuard.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <tuple>
#include <utility>
#include <vector>

namespace {

// Constant-initialised; clients destroyed after the exit list find no cache.
constinit UnloadSafeSingleton<FontCache> sharedCache;

constexpr const char* fontMetadataName = "global";
constexpr const char* fontMetadataKind = "ImageMeta";
constexpr int32_t normalStretch = 5;

// Text the host answers with, held on the stack while it is as short as
// skin URIs usually are, so that resolving the skin allocates nothing.
class HostText final : public gmpi_sdk::StackString {
public:
    HostText() = default;
    HostText(const HostText&) = delete;
    HostText& operator=(const HostText&) = delete;

    int32_t assignBytes(const char* bytes, int32_t size) override {
        return guardedCall(ResultFailure, [&] {
            const size_t length = size > 0 && bytes ? size_t(size) : 0;
            if (length < shortText.size()) {
                // The host may hand back bytes of this very text.
                if (length > 0)
                    std::memmove(shortText.data(), bytes, length);
                shortText[length] = '\0';
                text = std::string_view(shortText.data(), length);
            } else {
                longText.assign(bytes, length);
                text = longText;
            }
            return ResultSuccess;
        });
    }
    int32_t byteLength() override { return int32_t(text.size()); }
    const char* byteData() override { return text.data(); }

    std::string_view view() const { return text; }

private:
    std::array<char, 256> shortText; // written before it is read
    std::string longText;
    std::string_view text = std::string_view("", 0); // always followed by a zero
};

// The URI the host gives for the skin's "global" metadata: the text it left,
// whether or not it found one.
void lookUpSkinUri(IGuiHost* host, HostText& uri) {
    host->lookUpResource(fontMetadataName, fontMetadataKind, &uri);
}

gmpi_sdk::ComPtr<IDrawingFactory> drawingFactoryOf(IGraphicsHost* graphicsHost) {
    gmpi_sdk::ComPtr<IDrawingFactory> factory;
    if (graphicsHost)
        graphicsHost->fetchDrawingFactory(factory.put());
    return factory;
}

int32_t weightOf(const FontStyle& style) {
    switch (style.styleFlags & (StyleBold | StyleLight)) {
    case StyleBold:
        return 700;
    case StyleLight:
        return 300;
    default:
        return 400;
    }
}

TextPlacement placementOf(const FontStyle& style) {
    if (style.styleFlags & StyleAlignCentre)
        return TextPlacementCentre;
    return style.styleFlags & StyleAlignRight ? TextPlacementEnd : TextPlacementStart;
}

bool sameKey(const FontCacheKey& key, const FontCacheKeyView& view) {
    return key.factory == view.factory && key.styleName == view.styleName &&
           key.skinUri == view.skinUri;
}

void clearOut(ITextFormat** out, FontStyle** outStyle) {
    if (out)
        *out = nullptr;
    if (outStyle)
        *outStyle = nullptr;
}

[[maybe_unused]] const bool initialiseFontCacheFile = [] {
    ensureSrgbTables();
    return true;
}();

} // namespace

bool operator<(const FontCacheKeyView& a, const FontCacheKeyView& b) {
    const auto address = [](const IDrawingFactory* f) { return reinterpret_cast<uintptr_t>(f); };
    return std::forward_as_tuple(address(a.factory), a.styleName, a.skinUri) <
           std::forward_as_tuple(address(b.factory), b.styleName, b.skinUri);
}

FontCache& FontCache::instance() {
    return sharedCache.instance(destroyFontCacheAtExit);
}

FontCache* FontCache::existing() {
    return sharedCache.existing();
}

void destroyFontCacheAtExit() {
    sharedCache.destroy();
}

void FontCache::dropFormatsOf(const IDrawingFactory* factory) {
    lastFound = nullptr;
    // Taken out first and released once the map is whole again.
    std::vector<FontCacheEntry> dropped;
    for (auto entry = textFormats.begin(); entry != textFormats.end();) {
        if (entry->first.factory == factory) {
            dropped.push_back(std::move(entry->second));
            entry = textFormats.erase(entry);
        } else {
            ++entry;
        }
    }
}

void FontCache::releaseClient(FontCacheClient& client) {
    users.remove(client.drawnThrough,
                 [this](const IDrawingFactory* unused) { dropFormatsOf(unused); });
    if (--clientCount == 0) {
        users.clear();
        lastFound = nullptr;
        // Taken out first: the formats' releases may call back into the cache.
        const auto dropped = std::exchange(textFormats, {});
    }
}

SkinFontMetadata* FontCache::findSkin(std::string_view uri) {
    for (SkinFontMetadata& skin : skins)
        if (skin.skinUri == uri)
            return &skin;
    return nullptr;
}

const FontStyle& FontCache::styleOf(const SkinFontMetadata& skin, const std::string& name) {
    if (&skin != lastStyle.skin || name != lastStyle.name) {
        const FontStyle& style = skin.styleNamed(name);
        lastStyle.name = name;
        lastStyle.skin = &skin;
        lastStyle.style = &style;
    }
    return *lastStyle.style;
}

SkinFontMetadata* FontCache::skinMetadataFor(IGuiHost* host) {
    if (!host)
        return nullptr;
    HostText uri;
    lookUpSkinUri(host, uri);
    if (SkinFontMetadata* known = findSkin(uri.view()))
        return known;
    return skinMetadataByUri(host, std::string(uri.view()));
}

SkinFontMetadata* FontCache::skinMetadataByUri(IGuiHost* host, const std::string& uri) {
    if (SkinFontMetadata* known = findSkin(uri))
        return known;
    if (!host)
        return nullptr;
    // Read completely before it is listed: a request the host makes from
    // inside the reading reads the skin for itself instead of finding it half
    // read (and the style resolved last remembering a style it lacked then).
    SkinFontMetadata skin;
    skin.defaultStyle = defaultFontStyle();
    skin.skinUri = uri;
    {
        gmpi_sdk::ComPtr<IUriStream> stream;
        host->openUriStream(uri.c_str(), stream.put());
        if (stream)
            skin.parseStyles(stream.get());
    }
    // The record of a read made from inside stands.
    if (SkinFontMetadata* known = findSkin(uri))
        return known;
    return &skins.emplace_back(std::move(skin));
}

void FontCache::findTextFormat(FontCacheClient& user, ITextFormat** out, IGuiHost* host,
                               IGraphicsHost* graphicsHost, const std::string& styleName,
                               FontStyle** outStyle) {
    clearOut(out, outStyle);
    if (!out || !host)
        return;
    HostText skinUri;
    lookUpSkinUri(host, skinUri);
    const gmpi_sdk::ComPtr<IDrawingFactory> factory = drawingFactoryOf(graphicsHost);
    if (!factory)
        return;
    users.add(user.drawnThrough, factory.get());
    const FontCacheKeyView key{factory.get(), styleName, skinUri.view()};
    if (!lastFound || !sameKey(lastFound->first, key)) {
        const auto found = textFormats.find(key);
        if (found == textFormats.end())
            return;
        lastFound = &*found;
    }
    // Read before the reference is taken: the host may ask for another
    // format from inside that call.
    const FontCacheEntry& entry = lastFound->second;
    if (outStyle)
        *outStyle = entry.style.get();
    *out = gmpi_sdk::ComPtr<ITextFormat>(entry.textFormat).detach();
}

void FontCache::createTextFormat(FontCacheClient& user, ITextFormat** out, IGuiHost* host,
                                 IGraphicsHost* graphicsHost, const FontStyle& style,
                                 FontStyle** outStyle) {
    clearOut(out, outStyle);
    if (!out || !host)
        return;
    HostText skinUri;
    lookUpSkinUri(host, skinUri);
    DrawingFactoryWrapper factory(drawingFactoryOf(graphicsHost));
    if (!factory.get())
        return;
    // Counted before the factory's calls below, so that its formats stay
    // while they run, whoever goes from inside them.
    users.add(user.drawnThrough, factory.get());

    const int32_t weight = weightOf(style);
    const int32_t slant = style.styleFlags & StyleItalic ? 1 : 0;
    gmpi_sdk::ComPtr<ITextFormat> format;
    if (style.legacyVerticalOffset) {
        const char* family = style.families.empty() ? "Arial" : style.families.front().c_str();
        factory.get()->makeTextFormat(family, nullptr, weight, slant, normalStretch,
                                      float(style.fontSize), nullptr, format.put());
    } else {
        const float size = style.sizeOverride > 0.0f ? style.sizeOverride
                                                     : std::max(float(style.pixelHeight), 1.0f);
        format = factory.makeTextFormat(style.families, size, weight, slant, normalStretch,
                                        style.sizeBasis);
    }
    if (!format)
        return;
    format->setTextPlacement(placementOf(style));
    format->setFormatSettingA(style.formatSettingA);
    format->setFormatSettingB(style.formatSettingB);

    // A format of the same key made from inside the calls above stands, so
    // that the style copy it handed out stays valid.
    const auto [place, added] = textFormats.try_emplace(
        FontCacheKey{factory.get(), style.categoryName, std::string(skinUri.view())});
    FontCacheEntry& entry = place->second;
    if (added) {
        entry.factory = gmpi_sdk::ComPtr<IDrawingFactory>::share(factory.get());
        entry.style = std::make_unique<FontStyle>(style);
        entry.textFormat = std::move(format);
    }
    *out = gmpi_sdk::ComPtr<ITextFormat>(entry.textFormat).detach();
    if (outStyle)
        *outStyle = entry.style.get();
}

void FontCache::textFormatFor(FontCacheClient& user, ITextFormat** out, IGuiHost* host,
                              IGraphicsHost* graphicsHost, const std::string& name,
                              FontStyle** outStyle) {
    clearOut(out, outStyle);
    SkinFontMetadata* skin = skinMetadataFor(host);
    if (!out || !skin)
        return;
    const FontStyle& style = styleOf(*skin, name);
    findTextFormat(user, out, host, graphicsHost, style.categoryName, outStyle);
    if (!*out)
        createTextFormat(user, out, host, graphicsHost, style, outStyle);
}

void FontCache::createRenamedTextFormat(FontCacheClient& user, ITextFormat** out, IGuiHost* host,
                                        IGraphicsHost* graphicsHost, const std::string& newName,
                                        const FontStyle& style) {
    FontStyle renamed = style;
    renamed.categoryName = newName;
    createTextFormat(user, out, host, graphicsHost, renamed, nullptr);
}

void FontCache::derivedTextFormat(FontCacheClient& user, ITextFormat** out, IGuiHost* host,
                                  IGraphicsHost* graphicsHost, const std::string& newName,
                                  const std::string& baseName,
                                  const std::function<void(FontStyle&)>& edit,
                                  FontStyle** outStyle) {
    findTextFormat(user, out, host, graphicsHost, newName, outStyle);
    if (!out || *out)
        return;
    SkinFontMetadata* skin = skinMetadataFor(host);
    if (!skin)
        return;
    std::string base = baseName;
    FontStyle derived = skin->findStyle(base);
    derived.categoryName = newName;
    if (edit)
        edit(derived);
    createTextFormat(user, out, host, graphicsHost, derived, outStyle);
}

FontCacheClient::FontCacheClient() {
    ++FontCache::instance().clientCount;
}

FontCacheClient::~FontCacheClient() {
    if (FontCache* cache = FontCache::existing())
        cache->releaseClient(*this);
}

gmpi_gui::MpGuiGfxBase* FontCacheClient::module() {
    // Looked for again while none is found: during the module's construction
    // the client is not yet part of it.
    if (!ownModule)
        ownModule = dynamic_cast<gmpi_gui::MpGuiGfxBase*>(this);
    return ownModule;
}

void FontCacheClient::textFormatFor(ITextFormat** out, const std::string& name) {
    if (!out)
        return;
    *out = nullptr;
    if (auto* module = this->module())
        FontCache::instance().textFormatFor(*this, out, module->getGuiHost(),
                                            module->getGraphicsHost(), name, nullptr);
}

const FontStyle* FontCacheClient::fontStyleFor(const std::string& name) {
    auto* module = this->module();
    if (!module)
        return nullptr;
    gmpi_sdk::ComPtr<ITextFormat> format;
    FontStyle* style = nullptr;
    FontCache::instance().textFormatFor(*this, format.put(), module->getGuiHost(),
                                        module->getGraphicsHost(), name, &style);
    return style;
}
