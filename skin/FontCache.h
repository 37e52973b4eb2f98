// The process's cache of skin text styles: for each skin (known by the URI of
// its "global" metadata) the styles read from it, and for each (drawing
// factory, style, skin) the host text format made from the style together
// with a copy of the style. Widgets use it through FontCacheClient, which also
// keeps the formats alive: a factory's formats are released when the last
// client that drew through it goes, so that a factory made later at its
// address never gets them, and all of them when the last client goes.
#pragma once

#include "../framework/ComPtr.h"
#include "../framework/HostApi.h"
#include "DrawingFactoryUsers.h"
#include "FontMetadata.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace gmpi_gui {
class MpGuiGfxBase;
}

class FontCacheClient;

struct FontCacheKey {
    // Compared as an address; the entry holds a reference to it, so that no
    // other factory can be made at that address while the entry lives.
    IDrawingFactory* factory;
    std::string styleName; // the category name of the style the format was made from
    std::string skinUri;
};

// The fields of a key without copies of its texts, for lookups.
struct FontCacheKeyView {
    const IDrawingFactory* factory;
    std::string_view styleName;
    std::string_view skinUri;
};

// Keys order by factory address, then style name, then skin URI; texts
// compare as unsigned bytes, a proper prefix first.
bool operator<(const FontCacheKeyView& a, const FontCacheKeyView& b);
inline FontCacheKeyView viewOf(const FontCacheKey& key) {
    return {key.factory, key.styleName, key.skinUri};
}
inline bool operator<(const FontCacheKey& a, const FontCacheKey& b) {
    return viewOf(a) < viewOf(b);
}
inline bool operator<(const FontCacheKey& a, const FontCacheKeyView& b) {
    return viewOf(a) < b;
}
inline bool operator<(const FontCacheKeyView& a, const FontCacheKey& b) {
    return a < viewOf(b);
}

struct FontCacheEntry {
    gmpi_sdk::ComPtr<IDrawingFactory> factory; // the key's, released last
    gmpi_sdk::ComPtr<ITextFormat> textFormat;
    std::unique_ptr<FontStyle> style; // clients get plain pointers to it
};

class FontCache {
public:
    // The process's cache, built on first use; its exit-list entry
    // destroyFontCacheAtExit() destroys it at unload.
    static FontCache& instance();
    // The cache when it exists (null before first use and after unload).
    static FontCache* existing();

    FontCache() = default;
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;

    // One client fewer: the formats and style copies of each factory that no
    // client draws through any more go; the last client takes all of them.
    void releaseClient(FontCacheClient& client);

    // The styles of the host's current skin, read once per skin URI. Null
    // without a host.
    SkinFontMetadata* skinMetadataFor(IGuiHost* host);
    SkinFontMetadata* skinMetadataByUri(IGuiHost* host, const std::string& uri);

    // Text formats come back with one reference for the caller (null when none
    // is found or made); outStyle, when given, receives the cached style copy.
    // The user draws through the graphics host's factory: while it lives, the
    // formats and style copies of that factory stay.
    void findTextFormat(FontCacheClient& user, ITextFormat** out, IGuiHost* host,
                        IGraphicsHost* graphicsHost, const std::string& styleName,
                        FontStyle** outStyle);
    void createTextFormat(FontCacheClient& user, ITextFormat** out, IGuiHost* host,
                          IGraphicsHost* graphicsHost, const FontStyle& style,
                          FontStyle** outStyle);
    // The format of a style name of the current skin: names it does not
    // declare share the format of its default style.
    void textFormatFor(FontCacheClient& user, ITextFormat** out, IGuiHost* host,
                       IGraphicsHost* graphicsHost, const std::string& name, FontStyle** outStyle);
    void createRenamedTextFormat(FontCacheClient& user, ITextFormat** out, IGuiHost* host,
                                 IGraphicsHost* graphicsHost, const std::string& newName,
                                 const FontStyle& style);
    // The format called newName; when missing, made from a copy of the style
    // baseName that `edit` changes.
    void derivedTextFormat(FontCacheClient& user, ITextFormat** out, IGuiHost* host,
                           IGraphicsHost* graphicsHost, const std::string& newName,
                           const std::string& baseName, const std::function<void(FontStyle&)>& edit,
                           FontStyle** outStyle);

    int32_t clients() const { return clientCount; }
    // The number of clients that draw through the factory.
    int32_t factoryUsers(const IDrawingFactory* factory) const { return users.users(factory); }
    const std::map<FontCacheKey, FontCacheEntry, std::less<>>& cachedFormats() const {
        return textFormats;
    }
    const std::deque<SkinFontMetadata>& skinRecords() const { return skins; }

private:
    friend class FontCacheClient;

    SkinFontMetadata* findSkin(std::string_view uri);
    void dropFormatsOf(const IDrawingFactory* factory);
    // The style a skin gives a requested name; the last answer is kept, since
    // a widget asks for its style at every layout and repaint.
    const FontStyle& styleOf(const SkinFontMetadata& skin, const std::string& name);

    // Looked up by key views, so that a request copies no text.
    std::map<FontCacheKey, FontCacheEntry, std::less<>> textFormats;
    // The entry findTextFormat found last, asked first: a widget asks for its
    // format at every layout and repaint. Forgotten before any entry goes.
    const std::pair<const FontCacheKey, FontCacheEntry>* lastFound = nullptr;
    // A deque, so that records handed out stay where they are as skins are added.
    std::deque<SkinFontMetadata> skins;
    DrawingFactoryUsers users;
    int32_t clientCount = 0;
    // The last name styleOf resolved: a skin's styles do not change once read.
    struct {
        const SkinFontMetadata* skin = nullptr;
        std::string name;
        const FontStyle* style = nullptr;
    } lastStyle;
};

// The exit-list entry of the process's cache.
void destroyFontCacheAtExit();

// Mix-in of the widgets that draw in skin text styles; a secondary base of a
// drawing-side module (gmpi_gui::MpGuiGfxBase), whose hosts it uses.
class FontCacheClient {
public:
    FontCacheClient();
    FontCacheClient(const FontCacheClient&) = delete;
    FontCacheClient& operator=(const FontCacheClient&) = delete;
    virtual ~FontCacheClient();

    // The cached copy of a style, valid while this client lives; null when no
    // format could be made for it.
    const FontStyle* fontStyleFor(const std::string& name);
    // The style's text format with one reference for the caller, or null.
    void textFormatFor(ITextFormat** out, const std::string& name);

private:
    friend class FontCache;

    // The drawing-side module this client is part of, or null.
    gmpi_gui::MpGuiGfxBase* module();

    gmpi_gui::MpGuiGfxBase* ownModule = nullptr; // found by the first request that finds it
    DrawingFactoryUsers::Drawn drawnThrough;
};
