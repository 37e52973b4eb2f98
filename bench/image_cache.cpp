// The image cache: a second request of a cached picture (the host resolves
// the name, the cache finds the entry among 20 and adds a reference), next to
// a map lookup of the name plus a reference count (target under 4x).
#include "framework/MpString.h"
#include "host/DrawingFactory.h"
#include "skin/ImageCache.h"
#include "support/Ratios.h"
#include "tests/SkinPictures.h"

#include <map>
#include <string>

namespace {

constexpr int pictureCount = 20;

std::string pictureName(int i) {
    return "skin/picture" + std::to_string(i) + ".png";
}

// Resolves names from a table and hands out one drawing factory; keeps no log.
class SkinHost final : public IGuiHost, public IGraphicsHost {
public:
    explicit SkinHost(IDrawingFactory* factory) : factory(factory) {}
    int32_t queryInterface(const InterfaceId& iid, void** out) override {
        *out = nullptr;
        if (iid == iidOf<IGuiHost>())
            *out = static_cast<IGuiHost*>(this);
        else if (iid == iidOf<IGraphicsHost>())
            *out = static_cast<IGraphicsHost*>(this);
        else
            return ResultUnsupported;
        return ResultSuccess;
    }
    int32_t addRef() override { return 1; }
    int32_t release() override { return 1; }
    int32_t acceptPinValue(int32_t, int32_t, const void*, int32_t) override { return 0; }
    int32_t lookUpResource(const char* name, const char*, gmpi::IString* uri) override {
        const auto it = uris.find(name);
        if (it == uris.end())
            return ResultFailure;
        uri->assignBytes(it->second.data(), int32_t(it->second.size()));
        return ResultSuccess;
    }
    int32_t openUriStream(const char*, IUriStream**) override { return ResultFailure; }
    int32_t enrolResourceName(const char*, const char*, gmpi::IString*) override {
        return ResultFailure;
    }
    int32_t fetchDrawingFactory(IDrawingFactory** out) override {
        factory->addRef();
        *out = factory;
        return ResultSuccess;
    }
    int32_t requestRepaint(const GuiRect*) override { return 0; }
    int32_t requestRemeasure() override { return 0; }
    int32_t takePointerCapture() override { return 0; }
    int32_t queryPointerCapture(int32_t* captured) override {
        *captured = 0;
        return 0;
    }
    int32_t dropPointerCapture() override { return 0; }

    std::map<std::string, std::string> uris;

private:
    IDrawingFactory* factory;
};

class CacheClient final : public ImageCacheClient {};

void mapLookupAndReferenceBaseline(benchmark::State& state) {
    testhost::DrawingFactory factory;
    std::map<std::string, gmpi_sdk::ComPtr<IBitmap>> bitmaps;
    for (int i = 0; i < pictureCount; ++i)
        bitmaps[pictureName(i)] = gmpi_sdk::ComPtr<IBitmap>(testhost::DrawingFactory::decodePicture(
            factory.ledger(), skinpictures::solidBmp(8, 8, 0xFF808080)));
    const std::string name = pictureName(pictureCount - 1);
    for (auto _ : state) {
        const auto it = bitmaps.find(name.c_str());
        gmpi_sdk::ComPtr<IBitmap> held = gmpi_sdk::ComPtr<IBitmap>::share(it->second.get());
        benchmark::DoNotOptimize(held.get());
    }
}
BENCHMARK(mapLookupAndReferenceBaseline);

void secondRequestOfCachedPicture(benchmark::State& state) {
    testhost::DrawingFactory factory;
    SkinHost host(&factory);
    for (int i = 0; i < pictureCount; ++i) {
        const std::string name = pictureName(i);
        host.uris[name] = "files/" + name;
        factory.images["files/" + name] = skinpictures::solidBmp(8, 8, 0xFF808080);
    }
    CacheClient client;
    ImageCache& cache = ImageCache::instance();
    for (int i = 0; i < pictureCount; ++i) {
        gmpi_sdk::ComPtr<IBitmap> first;
        cache.imageFor(first.put(), &host, &host, pictureName(i).c_str(), nullptr);
    }
    const std::string name = pictureName(pictureCount - 1);
    const size_t loads = factory.imageLoads.size();
    for (auto _ : state) {
        gmpi_sdk::ComPtr<IBitmap> held;
        ImageMetadata* metadata = nullptr;
        cache.imageFor(held.put(), &host, &host, name.c_str(), &metadata);
        benchmark::DoNotOptimize(held.get());
        benchmark::DoNotOptimize(metadata);
    }
    if (factory.imageLoads.size() != loads)
        state.SkipWithError("a cached picture was loaded again");
}
BENCHMARK(secondRequestOfCachedPicture);

} // namespace

int main(int argc, char** argv) {
    return bench::runWithRatios(
        argc, argv, {{"secondRequestOfCachedPicture", "mapLookupAndReferenceBaseline", 4.0}});
}
