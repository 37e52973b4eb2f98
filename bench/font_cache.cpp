// The font cache, an internal component (no host calls it directly: widgets
// use it while they paint), linked into this program. A widget's request for a
// style whose format the cache holds, next to (a) the least work of such a
// request: one resolution of the skin through the host into text on the
// stack, a fetch of the drawing factory, and a lookup, without copies, in a
// map holding as many formats as the cache (one) with a reference taken
// (target under 2x); and (b) reading the skin's styles and making the format
// on every request, as without the cache (target under 0.5x). The host only
// counts and resolves.
#include "framework/MpGuiGfxBase.h"
#include "framework/MpString.h"
#include "host/DrawingFactory.h"
#include "skin/FontCache.h"
#include "support/CountingHost.h"
#include "support/Opaque.h"
#include "support/Ratios.h"
#include "support/StackText.h"

#include <functional>
#include <map>
#include <string>

namespace {

// A skin of twenty styles; requests ask for the one declared last.
std::string skinText() {
    std::string text;
    for (int i = 0; i < 19; ++i)
        text += "FONT_CATEGORY style" + std::to_string(i) +
                "\nfont-family Tahoma, Arial\nfont-size 13\nfont-color #203040\n";
    text += "FONT_CATEGORY Normal\nfont-family 'Segoe UI', Arial\nfont-size 14\n"
            "font-weight bold\ntext-align center\nfont-color #FF8000\n";
    return text;
}

constexpr const char* skinUri = "bench/global.txt";

// The host resolves the skin's name to its URI, opens the skin's text there
// and hands out the drawing factory.
struct SkinHost {
    SkinHost() {
        host.resources["global"] = skinUri;
        host.streams[skinUri] = skinText();
        host.drawingFactory = &factory;
    }
    testhost::DrawingFactory factory;
    bench::CountingHost host;
};

class StyledWidget final : public gmpi_gui::MpGuiGfxBase, public FontCacheClient {};

void cachedStyleRequest(benchmark::State& state) {
    SkinHost skin;
    auto* widget = new StyledWidget;
    widget->attachHost(skin.host.object());
    {
        gmpi_sdk::ComPtr<ITextFormat> warm;
        widget->textFormatFor(warm.put(), "Normal");
        if (!warm)
            state.SkipWithError("no format");
    }
    for (auto _ : state) {
        gmpi_sdk::ComPtr<ITextFormat> format;
        widget->textFormatFor(format.put(), "Normal");
        benchmark::DoNotOptimize(format.get());
    }
    if (skin.factory.formatRequests.size() != 1)
        state.SkipWithError("the format was made more than once");
    if (FontCache::instance().cachedFormats().size() != 1)
        state.SkipWithError("the cache does not hold one format");
    widget->release();
}
BENCHMARK(cachedStyleRequest);

void hostLookupAndMapFind(benchmark::State& state) {
    SkinHost skin;
    // Calls through the interfaces, as the cache makes them.
    IGuiHost* const guiHost = bench::opaque<IGuiHost>(&skin.host);
    IGraphicsHost* const graphicsHost = bench::opaque<IGraphicsHost>(&skin.host);
    std::map<FontCacheKey, gmpi_sdk::ComPtr<ITextFormat>, std::less<>> formats;
    {
        gmpi_sdk::ComPtr<ITextFormat> made;
        skin.factory.makeTextFormat("Arial", nullptr, 700, 0, 5, 14.0f, nullptr, made.put());
        formats[FontCacheKey{&skin.factory, "normal", skinUri}] = made;
    }
    for (auto _ : state) {
        bench::StackText uri;
        guiHost->lookUpResource("global", "ImageMeta", &uri);
        gmpi_sdk::ComPtr<IDrawingFactory> factory;
        graphicsHost->fetchDrawingFactory(factory.put());
        const auto found = formats.find(FontCacheKeyView{factory.get(), "normal", uri.view()});
        gmpi_sdk::ComPtr<ITextFormat> format(found->second);
        benchmark::DoNotOptimize(format.get());
    }
}
BENCHMARK(hostLookupAndMapFind);

void styleReadAndMadeEachTime(benchmark::State& state) {
    SkinHost skin;
    IGuiHost* const guiHost = bench::opaque<IGuiHost>(&skin.host);
    for (auto _ : state) {
        gmpi_sdk::MpString uri;
        guiHost->lookUpResource("global", "ImageMeta", &uri);
        SkinFontMetadata metadata;
        metadata.defaultStyle = defaultFontStyle();
        gmpi_sdk::ComPtr<IUriStream> stream;
        guiHost->openUriStream(uri.str().c_str(), stream.put());
        metadata.parseStyles(stream.get());
        std::string name = "Normal";
        const FontStyle& style = metadata.findStyle(name);
        gmpi_sdk::ComPtr<ITextFormat> format;
        skin.factory.makeTextFormat(style.families.front().c_str(), nullptr, 700, 0, 5,
                                    float(style.fontSize), nullptr, format.put());
        format->setTextPlacement(2);
        format->setFormatSettingA(style.formatSettingA);
        format->setFormatSettingB(style.formatSettingB);
        benchmark::DoNotOptimize(format.get());
        skin.factory.formatRequests.clear();
    }
}
BENCHMARK(styleReadAndMadeEachTime);

} // namespace

int main(int argc, char** argv) {
    return bench::runWithRatios(argc, argv,
                                {{"cachedStyleRequest", "hostLookupAndMapFind", 2.0},
                                 {"cachedStyleRequest", "styleReadAndMadeEachTime", 0.5}});
}
