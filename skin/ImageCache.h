// Skin pictures loaded once per drawing factory and shared by every widget
// that shows them: the host resolves a picture's name, the drawing factory
// loads it, an optional "_mask.bmp" picture sets its alpha, its ".txt"
// metadata describes its frames, and an optional key colour makes matching
// pixels transparent. A factory's pictures go when the last client that drew
// through it goes, so that a factory made later at its address never gets
// them; the cache empties itself when its last client goes.
#pragma once

#include "../framework/ComPtr.h"
#include "../framework/HostApi.h"
#include "DrawingFactoryUsers.h"
#include "ImageMetadata.h"

#include <memory>
#include <string>
#include <vector>

class ImageCacheClient;

struct ImageCacheEntry {
    // Part of the key, compared as an address. Held, so that while the entry
    // lives no other factory can be made at that address.
    gmpi_sdk::ComPtr<IDrawingFactory> factory;
    std::string uri; // the resolved URI, part of the key
    gmpi_sdk::ComPtr<IBitmap> bitmap;
    // The only owner; widgets keep plain pointers. Declared last so that an
    // entry drops it first, then the bitmap, the URI and the factory.
    std::shared_ptr<ImageMetadata> metadata;
};

class ImageCache {
public:
    // The process's cache, built on first use; its exit-list entry
    // destroyImageCacheAtExit() destroys it at unload.
    static ImageCache& instance();
    // The process's cache when it exists (null before first use and after unload).
    static ImageCache* existing();

    ImageCache() = default;
    ImageCache(const ImageCache&) = delete;
    ImageCache& operator=(const ImageCache&) = delete;

    // The picture of a UTF-8 name with one reference for the caller, or null;
    // outMeta, when given, receives the cache's record for it, or null. The
    // user draws through the graphics host's factory: while it lives, the
    // picture and the record stay.
    void imageFor(ImageCacheClient& user, IBitmap** out, IGuiHost* host,
                  IGraphicsHost* graphicsHost, const char* name, ImageMetadata** outMeta);
    // The bitmap cached for that factory and URI with one reference for the
    // caller, or null.
    void findBitmap(IBitmap** out, IDrawingFactory* factory, const char* uri);
    // Caches a bitmap loaded elsewhere, without metadata, for a user that
    // draws through the factory.
    void addBitmap(ImageCacheClient& user, IDrawingFactory* factory, const char* uri,
                   IBitmap* bitmap);

    void addClient() { ++clients; }
    // The pictures of each factory that no client draws through any more go;
    // the last client gone, every entry goes.
    void releaseClient(ImageCacheClient& client);

    int32_t clientCount() const { return clients; }
    const std::vector<ImageCacheEntry>& cached() const { return entries; }
    // The number of clients that draw through the factory.
    int32_t factoryUsers(const IDrawingFactory* factory) const { return users.users(factory); }

private:
    void dropEntriesOf(const IDrawingFactory* factory);

    std::vector<ImageCacheEntry> entries; // load order, searched linearly
    DrawingFactoryUsers users;
    int32_t clients = 0;
};

void destroyImageCacheAtExit();

// The name of a picture's companion resources: the name cut before its last
// '.' when no '/' or '\' follows that '.', else the whole name.
std::string skinResourceStem(const std::string& name);

// The alpha of every picture pixel under the mask becomes 255 - the mask
// pixel's first byte, with the colour premultiplied by it. Pixels are paired
// by position; only the area that both bitmaps cover is merged.
void mergeImageMask(IBitmap* picture, IBitmap* mask);

// Every pixel whose four bytes equal those of the key pixel gets alpha 0,
// the key pixel included; a key outside the picture changes nothing.
void clearKeyColour(IBitmap* picture, int32_t keyX, int32_t keyY);

// A module part that keeps the cache's contents alive while it lives.
class ImageCacheClient {
public:
    ImageCacheClient(const ImageCacheClient&) = delete;
    ImageCacheClient& operator=(const ImageCacheClient&) = delete;
    virtual ~ImageCacheClient();

    // ImageCache::imageFor with the hosts of the drawing-side module this is
    // part of; null when it is part of none.
    void imageFor(IBitmap** out, const char* name, ImageMetadata** outMeta);

protected:
    ImageCacheClient();

private:
    friend class ImageCache;
    DrawingFactoryUsers::Drawn drawnThrough;
};
