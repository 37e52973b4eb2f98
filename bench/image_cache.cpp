// The image cache, an internal component (no host calls it directly: widgets
// use it), linked into this program. A second request of a cached picture
// (the host resolves the name, the cache finds the entry among 20 and adds a
// reference), next to the least work of such a request: the drawing factory
// fetched and the name resolved through the same host, which only counts and
// resolves, the URI received into text on the stack, a lookup without copies
// in a map of the 20 pictures, and a reference taken. Target: under 4x.
#include "framework/MpString.h"
#include "host/DrawingFactory.h"
#include "skin/ImageCache.h"
#include "support/CountingHost.h"
#include "support/Opaque.h"
#include "support/Ratios.h"
#include "support/StackText.h"
#include "tests/SkinPictures.h"

#include <functional>
#include <map>
#include <string>

namespace {

constexpr int pictureCount = 20;

std::string pictureName(int i) {
    return "skin/picture" + std::to_string(i) + ".png";
}

// The host resolves each picture's name to a URI and hands out the drawing
// factory, which holds the pictures' bytes under those URIs.
struct SkinHost {
    SkinHost() {
        host.drawingFactory = &factory;
        for (int i = 0; i < pictureCount; ++i) {
            const std::string name = pictureName(i);
            host.resources[name] = "files/" + name;
            factory.images["files/" + name] = skinpictures::solidBmp(8, 8, 0xFF808080);
        }
    }
    testhost::DrawingFactory factory;
    bench::CountingHost host;
};

class CacheClient final : public ImageCacheClient {};

void mapLookupAndReferenceBaseline(benchmark::State& state) {
    SkinHost skin;
    std::map<std::string, gmpi_sdk::ComPtr<IBitmap>, std::less<>> bitmaps;
    for (int i = 0; i < pictureCount; ++i) {
        gmpi_sdk::MpString uri;
        skin.host.lookUpResource(pictureName(i).c_str(), "Image", &uri);
        bitmaps[uri.str()] = gmpi_sdk::ComPtr<IBitmap>(testhost::DrawingFactory::decodePicture(
            skin.factory.ledger(), skinpictures::solidBmp(8, 8, 0xFF808080)));
    }
    // Calls through the interfaces, as the cache makes them.
    IGuiHost* const guiHost = bench::opaque<IGuiHost>(&skin.host);
    IGraphicsHost* const graphicsHost = bench::opaque<IGraphicsHost>(&skin.host);
    const std::string name = pictureName(pictureCount - 1);
    for (auto _ : state) {
        gmpi_sdk::ComPtr<IDrawingFactory> factory;
        graphicsHost->fetchDrawingFactory(factory.put());
        bench::StackText uri;
        guiHost->lookUpResource(name.c_str(), "Image", &uri);
        const auto it = bitmaps.find(uri.view());
        gmpi_sdk::ComPtr<IBitmap> held = gmpi_sdk::ComPtr<IBitmap>::share(it->second.get());
        benchmark::DoNotOptimize(held.get());
    }
}
BENCHMARK(mapLookupAndReferenceBaseline);

void secondRequestOfCachedPicture(benchmark::State& state) {
    SkinHost skin;
    CacheClient client;
    ImageCache& cache = ImageCache::instance();
    for (int i = 0; i < pictureCount; ++i) {
        gmpi_sdk::ComPtr<IBitmap> first;
        cache.imageFor(client, first.put(), &skin.host, &skin.host, pictureName(i).c_str(),
                       nullptr);
    }
    const std::string name = pictureName(pictureCount - 1);
    const size_t loads = skin.factory.imageLoads.size();
    for (auto _ : state) {
        gmpi_sdk::ComPtr<IBitmap> held;
        ImageMetadata* metadata = nullptr;
        cache.imageFor(client, held.put(), &skin.host, &skin.host, name.c_str(), &metadata);
        benchmark::DoNotOptimize(held.get());
        benchmark::DoNotOptimize(metadata);
    }
    if (skin.factory.imageLoads.size() != loads || loads != pictureCount)
        state.SkipWithError("a cached picture was loaded again");
}
BENCHMARK(secondRequestOfCachedPicture);

} // namespace

int main(int argc, char** argv) {
    return bench::runWithRatios(
        argc, argv, {{"secondRequestOfCachedPicture", "mapLookupAndReferenceBaseline", 4.0}});
}
