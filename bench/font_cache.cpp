// The font cache: a widget's request for a style whose format the cache holds,
// next to (a) the work such a request cannot avoid, two resolutions of the
// skin through the host, a fetch of the drawing factory and one map lookup
// with a reference taken (target under 2x), and (b) reading the skin's styles
// and making the format on every request, as without the cache (target under 0.5x).
#include "framework/MpGuiGfxBase.h"
#include "framework/MpString.h"
#include "host/DrawingFactory.h"
#include "skin/FontCache.h"
#include "support/Ratios.h"
#include "tests/MemoryStream.h"

#include <map>
#include <memory>
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

// The host parts a font cache client uses, answering at once and keeping no log.
class QuietHost final : public IGuiHost, public IGraphicsHost {
public:
    explicit QuietHost(std::string skinUri) : skinUri(std::move(skinUri)) {}

    int32_t queryInterface(const InterfaceId& iid, void** out) override {
        *out = nullptr;
        if (iid == iidOf<IGuiHost>() || iid == iidOf<gmpi::IMpUnknown>())
            *out = static_cast<IGuiHost*>(this);
        else if (iid == iidOf<IGraphicsHost>())
            *out = static_cast<IGraphicsHost*>(this);
        else
            return ResultUnsupported;
        return ResultSuccess;
    }
    int32_t addRef() override { return 1; }
    int32_t release() override { return 1; }

    int32_t acceptPinValue(int32_t, int32_t, const void*, int32_t) override {
        return ResultSuccess;
    }
    int32_t lookUpResource(const char*, const char*, gmpi::IString* uri) override {
        uri->assignBytes(skinUri.data(), int32_t(skinUri.size()));
        return ResultSuccess;
    }
    int32_t openUriStream(const char*, IUriStream** out) override {
        streams.push_back(std::make_unique<MemoryStream>(text));
        *out = streams.back().get();
        return ResultSuccess;
    }
    int32_t enrolResourceName(const char*, const char*, gmpi::IString*) override {
        return ResultFailure;
    }

    int32_t fetchDrawingFactory(IDrawingFactory** out) override {
        factory.addRef();
        *out = &factory;
        return ResultSuccess;
    }
    int32_t requestRepaint(const GuiRect*) override { return ResultSuccess; }
    int32_t requestRemeasure() override { return ResultSuccess; }
    int32_t takePointerCapture() override { return ResultSuccess; }
    int32_t queryPointerCapture(int32_t* captured) override {
        *captured = 0;
        return ResultSuccess;
    }
    int32_t dropPointerCapture() override { return ResultSuccess; }

    const std::string skinUri;
    const std::string text = skinText();
    testhost::DrawingFactory factory;
    std::vector<std::unique_ptr<MemoryStream>> streams;
};

class StyledWidget final : public gmpi_gui::MpGuiGfxBase, public FontCacheClient {};

void cachedStyleRequest(benchmark::State& state) {
    QuietHost host("bench-cached/global.txt");
    auto* widget = new StyledWidget;
    widget->attachHost(static_cast<IGuiHost*>(&host));
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
    if (host.factory.formatRequests.size() != 1)
        state.SkipWithError("the format was made more than once");
    widget->release();
}
BENCHMARK(cachedStyleRequest);

void hostLookupsAndMapFind(benchmark::State& state) {
    QuietHost host("bench-baseline/global.txt");
    std::map<FontCacheKey, gmpi_sdk::ComPtr<ITextFormat>> formats;
    for (int i = 0; i < 20; ++i) {
        gmpi_sdk::ComPtr<ITextFormat> made;
        host.factory.makeTextFormat("Arial", nullptr, 400, 0, 5, 12.0f, nullptr, made.put());
        formats[FontCacheKey{&host.factory, i == 19 ? "normal" : "style" + std::to_string(i),
                             host.skinUri}] = made;
    }
    for (auto _ : state) {
        gmpi_sdk::MpString first, second;
        host.lookUpResource("global", "ImageMeta", &first);
        host.lookUpResource("global", "ImageMeta", &second);
        gmpi_sdk::ComPtr<IDrawingFactory> factory;
        host.fetchDrawingFactory(factory.put());
        const auto found = formats.find(FontCacheKey{factory.get(), "normal", second.str()});
        gmpi_sdk::ComPtr<ITextFormat> format(found->second);
        benchmark::DoNotOptimize(format.get());
        benchmark::DoNotOptimize(first.byteData());
    }
}
BENCHMARK(hostLookupsAndMapFind);

void styleReadAndMadeEachTime(benchmark::State& state) {
    QuietHost host("bench-uncached/global.txt");
    for (auto _ : state) {
        SkinFontMetadata skin;
        skin.defaultStyle = defaultFontStyle();
        MemoryStream stream(host.text);
        skin.parseStyles(&stream);
        std::string name = "Normal";
        const FontStyle& style = skin.findStyle(name);
        gmpi_sdk::ComPtr<ITextFormat> format;
        host.factory.makeTextFormat(style.families.front().c_str(), nullptr, 700, 0, 5,
                                    float(style.fontSize), nullptr, format.put());
        format->setTextPlacement(2);
        format->setFormatSettingA(style.formatSettingA);
        format->setFormatSettingB(style.formatSettingB);
        benchmark::DoNotOptimize(format.get());
        host.factory.formatRequests.clear();
    }
}
BENCHMARK(styleReadAndMadeEachTime);

} // namespace

int main(int argc, char** argv) {
    return bench::runWithRatios(argc, argv,
                                {{"cachedStyleRequest", "hostLookupsAndMapFind", 2.0},
                                 {"cachedStyleRequest", "styleReadAndMadeEachTime", 0.5}});
}
