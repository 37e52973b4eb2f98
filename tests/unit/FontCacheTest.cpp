// The font cache: one parse per skin, one text format per (factory, style,
// skin) while clients live, how a style becomes a format, and its clients.
#include "skin/FontCache.h"
#include "framework/MpGuiGfxBase.h"
#include "host/DrawingFactory.h"
#include "host/PinBytes.h"
#include "host/TestHost.h"

#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <new>
#include <string>
#include <utility>
#include <vector>

namespace {

using testhost::floatBits;

// The smallest drawing-side module that draws in skin text styles.
class StyledWidget final : public gmpi_gui::MpGuiGfxBase, public FontCacheClient {};

class FontCacheTest : public ::testing::Test {
protected:
    void SetUp() override { drawing.serve(host); }
    void TearDown() override {
        for (StyledWidget* widget : widgets)
            widget->release();
        widgets.clear();
        std::string report;
        EXPECT_TRUE(host.referencesBalanced(&report)) << report;
        EXPECT_EQ(drawing.ledger()->live(), 0) << drawing.ledger()->describe();
        EXPECT_EQ(drawing.references(), 0);
        EXPECT_EQ(host.openStreams(), 0);
    }

    // Skins stay in the cache for the whole run: each gets a URI of its own.
    std::string offerSkin(const std::string& text) {
        static int skins = 0;
        const std::string uri = "cache-skin-" + std::to_string(++skins) + "/global.txt";
        host.addResource("global", "ImageMeta", uri);
        host.addUriData(uri, testhost::Bytes(text.begin(), text.end()));
        return uri;
    }

    StyledWidget& attachedWidget() {
        auto* widget = new StyledWidget;
        widget->attachHost(host.object());
        widgets.push_back(widget);
        return *widget;
    }
    void releaseWidgets() {
        for (StyledWidget* widget : widgets)
            widget->release();
        widgets.clear();
    }

    // The format a widget gets for a name, and what the factory was asked.
    gmpi_sdk::ComPtr<ITextFormat> formatFor(FontCacheClient& client, const std::string& name) {
        gmpi_sdk::ComPtr<ITextFormat> format;
        client.textFormatFor(format.put(), name);
        return format;
    }
    testhost::TextFormatRequest requestFor(const std::string& name) {
        const auto requests = drawing.formatRequests.size();
        const auto format = formatFor(attachedWidget(), name);
        EXPECT_TRUE(format) << name;
        EXPECT_GT(drawing.formatRequests.size(), requests) << name << " made no format";
        return drawing.formatRequests.back();
    }
    static const testhost::TextFormatState& stateOf(const gmpi_sdk::ComPtr<ITextFormat>& format) {
        return static_cast<testhost::TextFormat*>(format.get())->state;
    }

    testhost::TestHost host;
    testhost::DrawingFactory drawing;
    std::vector<StyledWidget*> widgets;
};

TEST_F(FontCacheTest, NamesAreLowerCasedBeforeTheLookup) {
    offerSkin("FONT_CATEGORY Normal\nfont-size 14\n");
    StyledWidget& widget = attachedWidget();
    const auto a = formatFor(widget, "Normal");
    const auto b = formatFor(widget, "normal");
    ASSERT_TRUE(a);
    EXPECT_EQ(a.get(), b.get());
    const FontStyle* style = widget.fontStyleFor("NORMAL");
    ASSERT_NE(style, nullptr);
    EXPECT_EQ(style, widget.fontStyleFor("normal"));
    EXPECT_EQ(style->categoryName, "normal");
    EXPECT_EQ(style->fontSize, 14);
    EXPECT_EQ(drawing.formatRequests.size(), 1u);
}

TEST_F(FontCacheTest, UndeclaredNamesShareTheFormatOfTheDefaultCategory) {
    // The name asked for first decides which of the two "default" styles is made.
    offerSkin("FONT_CATEGORY default\nfont-size 20\nFONT_CATEGORY body\n");
    StyledWidget& widget = attachedWidget();
    const auto heading = formatFor(widget, "heading");
    ASSERT_TRUE(heading);
    EXPECT_EQ(stateOf(heading).request.family, "Arial");
    EXPECT_EQ(floatBits(stateOf(heading).request.size), floatBits(12.0f));
    EXPECT_EQ(formatFor(widget, "default").get(), heading.get());
    EXPECT_EQ(formatFor(widget, "").get(), heading.get());
    EXPECT_NE(formatFor(widget, "body").get(), heading.get());

    offerSkin("FONT_CATEGORY default\nfont-size 20\n");
    const auto declared = formatFor(widget, "Default");
    ASSERT_TRUE(declared);
    EXPECT_EQ(floatBits(stateOf(declared).request.size), floatBits(20.0f));
    EXPECT_EQ(formatFor(widget, "caption").get(), declared.get());
    const FontStyle* shared = widget.fontStyleFor("caption");
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(shared->fontSize, 20);
}

TEST_F(FontCacheTest, WeightsAndSlants) {
    offerSkin("FONT_CATEGORY both\nfont-weight bold\nfont-weight light\n"
              "FONT_CATEGORY light\nfont-weight 200\n"
              "FONT_CATEGORY bold\nfont-weight 900\n"
              "FONT_CATEGORY plain\nfont-weight 500\n");
    struct Case {
        const char* style;
        int32_t weight;
    } cases[] = {{"both", 400}, {"light", 300}, {"bold", 700}, {"plain", 400}};
    for (const Case& c : cases) {
        const auto request = requestFor(c.style);
        EXPECT_EQ(request.weight, c.weight) << c.style;
        EXPECT_EQ(request.style, 0) << c.style;
        EXPECT_EQ(request.stretch, 5) << c.style;
    }

    // No key sets italic; a derived style may.
    gmpi_sdk::ComPtr<ITextFormat> italic;
    FontStyle* style = nullptr;
    StyledWidget& user = attachedWidget();
    FontCache::instance().derivedTextFormat(
        user, italic.put(), host.guiHost(), user.getGraphicsHost(), "bold italic", "Bold",
        [](FontStyle& s) { s.styleFlags |= StyleItalic; }, &style);
    ASSERT_TRUE(italic);
    EXPECT_EQ(stateOf(italic).request.style, 1);
    EXPECT_EQ(stateOf(italic).request.weight, 700);
    ASSERT_NE(style, nullptr);
    EXPECT_EQ(style->categoryName, "bold italic");
}

TEST_F(FontCacheTest, SizesByTheHostOrThroughTheFactoryWrapper) {
    // Probed at 32, "Wide" reports 16 + 0 (first factor 2) and 64 (second factor 0.5).
    TextMetrics wide{};
    wide.values[0] = 16.0f;
    wide.values[3] = 64.0f;
    drawing.metrics["Wide"] = wide;
    drawing.offerFamilyList = true;
    drawing.families = {"Wide", "Arial"};
    offerSkin("FONT_CATEGORY legacy\nfont-family Missing, Wide\nfont-size 17\nGDI_pixelHeight 5\n"
              "FONT_CATEGORY tiny\nlegacy-vertical-offset 0\nGDI_pixelHeight 0\n"
              "FONT_CATEGORY wide\nlegacy-vertical-offset 0\nfont-family Missing, Wide\n"
              "font-size 40\nGDI_pixelHeight 10\n");

    // The host's own size from the first family, whether or not the host has it.
    const auto legacy = requestFor("legacy");
    EXPECT_EQ(legacy.family, "Missing");
    EXPECT_EQ(floatBits(legacy.size), floatBits(17.0f));
    EXPECT_FALSE(legacy.collectionGiven || legacy.localeGiven);

    // Through the wrapper: the pixel height, at least 1, scaled.
    const auto tiny = requestFor("tiny");
    EXPECT_EQ(tiny.family, "Arial"); // the host has no Verdana
    EXPECT_EQ(floatBits(tiny.size), floatBits(1.0f));
    const auto scaled = requestFor("wide");
    EXPECT_EQ(scaled.family, "Wide");
    EXPECT_EQ(floatBits(scaled.size), floatBits(20.0f));

    struct Case {
        const char* name;
        float sizeOverride;
        bool sizeBasis;
        float size;
    } cases[] = {
        {"override", 9.5f, false, 19.0f},
        {"second factor", -1.0f, true, 5.0f},
        {"override, second factor", 9.5f, true, 4.75f},
        {"override 0", 0.0f, false, 20.0f},
    };
    for (const Case& c : cases) {
        gmpi_sdk::ComPtr<ITextFormat> format;
        StyledWidget& user = attachedWidget();
        FontCache::instance().derivedTextFormat(
            user, format.put(), host.guiHost(), user.getGraphicsHost(), c.name, "wide",
            [&c](FontStyle& s) {
                s.sizeOverride = c.sizeOverride;
                s.sizeBasis = c.sizeBasis;
            },
            nullptr);
        ASSERT_TRUE(format) << c.name;
        EXPECT_EQ(floatBits(stateOf(format).request.size), floatBits(c.size)) << c.name;
        EXPECT_TRUE(stateOf(format).spacingSet) << c.name;
    }
}

TEST_F(FontCacheTest, PlacementAndFormatSettings) {
    offerSkin("FONT_CATEGORY both\ntext-align center\ntext-align right\n"
              "FONT_CATEGORY right\ntext-align Right\n"
              "FONT_CATEGORY centre\ntext-align c\n"
              "FONT_CATEGORY left\ntext-align left\n");
    StyledWidget& widget = attachedWidget();
    struct Case {
        const char* style;
        int32_t placement;
    } cases[] = {{"both", 2}, {"right", 1}, {"centre", 2}, {"left", 0}};
    for (const Case& c : cases) {
        const auto format = formatFor(widget, c.style);
        ASSERT_TRUE(format) << c.style;
        EXPECT_EQ(stateOf(format).placement, c.placement) << c.style;
        EXPECT_EQ(stateOf(format).settingA, 0) << c.style;
        EXPECT_EQ(stateOf(format).settingB, 1) << c.style;
    }
}

TEST_F(FontCacheTest, TheLastClientTakesTheFormatsButTheSkinIsReadOnce) {
    const std::string uri = offerSkin("FONT_CATEGORY normal\nfont-size 14\n");
    FontCache& cache = FontCache::instance();
    ASSERT_EQ(cache.clients(), 0);
    StyledWidget& first = attachedWidget();
    attachedWidget();
    EXPECT_EQ(cache.clients(), 2);
    formatFor(first, "normal");
    EXPECT_EQ(drawing.ledger()->live("text format"), 1);

    widgets.back()->release(); // one client goes: the format stays
    widgets.pop_back();
    EXPECT_EQ(cache.clients(), 1);
    EXPECT_EQ(drawing.ledger()->live("text format"), 1);
    EXPECT_EQ(first.fontStyleFor("normal")->fontSize, 14);

    releaseWidgets();
    EXPECT_EQ(cache.clients(), 0);
    EXPECT_TRUE(cache.cachedFormats().empty());
    EXPECT_EQ(drawing.ledger()->live("text format"), 0);
    bool kept = false;
    for (const SkinFontMetadata& skin : cache.skinRecords())
        kept = kept || (skin.skinUri == uri && skin.styles.size() == 1);
    EXPECT_TRUE(kept);

    // A new client makes the format again from the styles read the first time.
    host.addUriData(uri, testhost::Bytes{'x'});
    const auto requests = drawing.formatRequests.size();
    const auto again = formatFor(attachedWidget(), "normal");
    ASSERT_TRUE(again);
    EXPECT_EQ(drawing.formatRequests.size(), requests + 1);
    EXPECT_EQ(floatBits(stateOf(again).request.size), floatBits(14.0f));
}

TEST_F(FontCacheTest, SkinsWithoutReadableStylesGiveTheDefaultStyle) {
    StyledWidget& widget = attachedWidget();
    struct Case {
        const char* what;
        bool resource;
        bool data;
    } cases[] = {{"no resource", false, false}, {"no stream", true, false}};
    for (const Case& c : cases) {
        if (c.resource)
            host.addResource("global", "ImageMeta", "unreadable-skin/global.txt");
        const FontStyle* style = widget.fontStyleFor("normal");
        ASSERT_NE(style, nullptr) << c.what;
        EXPECT_EQ(style->categoryName, "default") << c.what;
        EXPECT_EQ(style->families, std::vector<std::string>{"Arial"}) << c.what;
        EXPECT_EQ(style->fontColor, 0xFF000000u) << c.what;
    }
    // A skin that did not open is not read later.
    host.addUriData("unreadable-skin/global.txt",
                    testhost::Bytes{'F', 'O', 'N', 'T', '_', 'C', 'A', 'T', 'E', 'G',
                                    'O', 'R', 'Y', ' ', 'n', 'o', 'r', 'm', 'a', 'l'});
    EXPECT_EQ(widget.fontStyleFor("normal")->categoryName, "default");
}

TEST_F(FontCacheTest, AStyleAskedForFromInsideTheSkinsReadingIsTheSkinsOwn) {
    // From inside the first read of the skin's stream, another widget asks
    // for the same style: it, the request in progress and every later one
    // get the skin's style, and the skin is held once.
    const std::string uri = offerSkin("FONT_CATEGORY normal\nfont-size 14\n");
    StyledWidget& first = attachedWidget();
    StyledWidget& second = attachedWidget();
    const FontStyle* nested = nullptr;
    bool asked = false;
    host.onCall = [&](testhost::HostCall call) {
        if (call == testhost::HostCall::ReadBytes && !std::exchange(asked, true))
            nested = second.fontStyleFor("normal");
    };
    const FontStyle* outer = first.fontStyleFor("normal");
    host.onCall = nullptr;
    ASSERT_TRUE(asked);
    for (const FontStyle* style : {nested, outer, first.fontStyleFor("normal")}) {
        ASSERT_NE(style, nullptr);
        EXPECT_EQ(style->categoryName, "normal");
        EXPECT_EQ(style->fontSize, 14);
    }
    size_t records = 0;
    for (const SkinFontMetadata& skin : FontCache::instance().skinRecords())
        records += skin.skinUri == uri ? 1 : 0;
    EXPECT_EQ(records, 1u);
}

TEST_F(FontCacheTest, AFormatMadeFromInsideTheMakingOfTheSameOneStands) {
    // From inside the factory's making of a format, another widget asks for
    // the same style and gets a format and a style copy: both stay what every
    // later request gets, valid while the clients live.
    offerSkin("FONT_CATEGORY normal\nfont-size 14\n");
    StyledWidget& first = attachedWidget();
    StyledWidget& second = attachedWidget();
    const FontStyle* nested = nullptr;
    gmpi_sdk::ComPtr<ITextFormat> nestedFormat;
    bool asked = false;
    drawing.onCall = [&](testhost::HostCall call) {
        if (call == testhost::HostCall::MakeTextFormat && !std::exchange(asked, true)) {
            nested = second.fontStyleFor("normal");
            nestedFormat = formatFor(second, "normal");
        }
    };
    const auto outerFormat = formatFor(first, "normal");
    drawing.onCall = nullptr;
    ASSERT_TRUE(asked);
    ASSERT_NE(nested, nullptr);
    EXPECT_EQ(nested->fontSize, 14);
    EXPECT_EQ(first.fontStyleFor("normal"), nested);
    EXPECT_EQ(outerFormat.get(), nestedFormat.get());
    EXPECT_EQ(formatFor(first, "normal").get(), nestedFormat.get());
}

TEST_F(FontCacheTest, AFormatTheFactoryDoesNotMakeIsNotStored) {
    offerSkin("FONT_CATEGORY normal\n");
    drawing.refuseFormat = [](const testhost::TextFormatRequest&) { return true; };
    StyledWidget& widget = attachedWidget();
    EXPECT_FALSE(formatFor(widget, "normal"));
    EXPECT_EQ(widget.fontStyleFor("normal"), nullptr);
    EXPECT_EQ(drawing.formatRequests.size(), 2u);

    drawing.refuseFormat = nullptr;
    EXPECT_TRUE(formatFor(widget, "normal"));
    EXPECT_NE(widget.fontStyleFor("normal"), nullptr);
    EXPECT_EQ(drawing.formatRequests.size(), 3u);
}

TEST_F(FontCacheTest, WithoutItsHostsAClientGetsNothing) {
    offerSkin("FONT_CATEGORY normal\n");
    auto* unattached = new StyledWidget;
    widgets.push_back(unattached);
    EXPECT_FALSE(formatFor(*unattached, "normal"));
    EXPECT_EQ(unattached->fontStyleFor("normal"), nullptr);

    host.offer(testhost::HostInterface::Graphics, false);
    StyledWidget& drawless = attachedWidget();
    EXPECT_FALSE(formatFor(drawless, "normal"));

    // A client that is not part of a drawing-side module.
    FontCacheClient alone;
    EXPECT_FALSE(formatFor(alone, "normal"));
    EXPECT_EQ(alone.fontStyleFor("normal"), nullptr);
    EXPECT_TRUE(drawing.formatRequests.empty());
}

TEST_F(FontCacheTest, EachDrawingFactoryHasFormatsOfItsOwn) {
    offerSkin("FONT_CATEGORY normal\n");
    StyledWidget& widget = attachedWidget();
    const auto mine = formatFor(widget, "normal");
    testhost::DrawingFactory other(drawing.ledger());
    host.graphics.drawingFactory = &other;
    const auto theirs = formatFor(widget, "normal");
    ASSERT_TRUE(mine && theirs);
    EXPECT_NE(mine.get(), theirs.get());
    EXPECT_EQ(other.formatRequests.size(), 1u);
    EXPECT_EQ(formatFor(widget, "normal").get(), theirs.get());
    releaseWidgets();
    host.graphics.drawingFactory = &drawing;
    EXPECT_EQ(other.references(), 0);
}

TEST_F(FontCacheTest, AFactorysFormatsGoWithTheLastClientThatDrewThroughIt) {
    const std::string skin = offerSkin("FONT_CATEGORY normal\nfont-size 14\n");
    StyledWidget& widget = attachedWidget();
    const FontStyle* style = widget.fontStyleFor("normal");
    ASSERT_NE(style, nullptr);

    // A second window of the same skin is opened twice; each time its host
    // hands out a new factory, made where the one before was. Two widgets
    // there share one format.
    testhost::TestHost otherHost;
    otherHost.addResource("global", "ImageMeta", skin);
    alignas(testhost::DrawingFactory) unsigned char storage[sizeof(testhost::DrawingFactory)];
    for (int opening = 0; opening < 2; ++opening) {
        auto* other = new (storage) testhost::DrawingFactory(drawing.ledger());
        other->serve(otherHost);
        std::vector<StyledWidget*> window;
        for (int i = 0; i < 2; ++i) {
            window.push_back(new StyledWidget);
            window.back()->attachHost(otherHost.object());
        }
        const auto first = formatFor(*window[0], "normal");
        const auto second = formatFor(*window[1], "normal");
        ASSERT_TRUE(first);
        EXPECT_EQ(first.get(), second.get());
        EXPECT_TRUE(other->made(stateOf(first).id)) << "opening " << opening;
        EXPECT_EQ(other->formatRequests.size(), 1u) << "opening " << opening;
        EXPECT_EQ(FontCache::instance().factoryUsers(other), 2);

        // The window closes: its formats and its factory's references go,
        // the first window's stay.
        window[0]->release();
        EXPECT_EQ(other->references(), 1);
        window[1]->release();
        EXPECT_EQ(other->references(), 0);
        EXPECT_EQ(FontCache::instance().factoryUsers(other), 0);
        ASSERT_EQ(FontCache::instance().cachedFormats().size(), 1u);
        EXPECT_EQ(FontCache::instance().cachedFormats().begin()->first.factory, &drawing);
        otherHost.graphics.drawingFactory = nullptr;
        other->~DrawingFactory();
    }
    EXPECT_EQ(widget.fontStyleFor("normal"), style);
    EXPECT_EQ(drawing.formatRequests.size(), 1u);
    std::string report;
    EXPECT_TRUE(otherHost.referencesBalanced(&report)) << report;
}

TEST_F(FontCacheTest, RenamedAndDerivedFormats) {
    offerSkin("FONT_CATEGORY normal\nfont-size 14\n");
    StyledWidget& widget = attachedWidget();
    FontCache& cache = FontCache::instance();

    FontStyle source = defaultFontStyle();
    source.fontSize = 30;
    gmpi_sdk::ComPtr<ITextFormat> renamed;
    cache.createRenamedTextFormat(widget, renamed.put(), host.guiHost(), widget.getGraphicsHost(),
                                  "banner", source);
    ASSERT_TRUE(renamed);
    gmpi_sdk::ComPtr<ITextFormat> found;
    FontStyle* style = nullptr;
    cache.findTextFormat(widget, found.put(), host.guiHost(), widget.getGraphicsHost(), "banner",
                         &style);
    EXPECT_EQ(found.get(), renamed.get());
    ASSERT_NE(style, nullptr);
    EXPECT_EQ(style->fontSize, 30);
    EXPECT_EQ(style->categoryName, "banner");

    // A derived style is edited once; later requests find it.
    int edits = 0;
    const auto bigger = [&edits](FontStyle& s) {
        ++edits;
        s.fontSize *= 2;
    };
    gmpi_sdk::ComPtr<ITextFormat> derived, again;
    cache.derivedTextFormat(widget, derived.put(), host.guiHost(), widget.getGraphicsHost(),
                            "large", "NORMAL", bigger, &style);
    cache.derivedTextFormat(widget, again.put(), host.guiHost(), widget.getGraphicsHost(), "large",
                            "normal", bigger, nullptr);
    ASSERT_TRUE(derived);
    EXPECT_EQ(derived.get(), again.get());
    EXPECT_EQ(edits, 1);
    EXPECT_EQ(style->fontSize, 28);
    EXPECT_EQ(floatBits(stateOf(derived).request.size), floatBits(28.0f));
}

TEST_F(FontCacheTest, KeysOrderByFactoryThenStyleThenSkin) {
    auto* low = reinterpret_cast<IDrawingFactory*>(uintptr_t(0x1000));
    auto* high = reinterpret_cast<IDrawingFactory*>(uintptr_t(0x2000));
    const FontCacheKey ordered[] = {
        {low, "a", "z"}, {low, "ab", ""}, {low, "b", ""}, {low, "b", "a"}, {high, "", ""},
    };
    for (size_t i = 0; i + 1 < std::size(ordered); ++i) {
        EXPECT_TRUE(ordered[i] < ordered[i + 1]) << i;
        EXPECT_FALSE(ordered[i + 1] < ordered[i]) << i;
    }
    const FontCacheKey ascii{low, "\x7F", ""}, upper{low, "\x80", ""};
    EXPECT_TRUE(ascii < upper); // bytes compare as unsigned values
}

TEST_F(FontCacheTest, RepeatedRequestsFollowTheSkinTheHostNamesNow) {
    // The same name, asked again and again while the host moves between two
    // skins (one of them at a URI longer than a short one), gets each skin's
    // own style and format every time.
    const std::string first = offerSkin("FONT_CATEGORY normal\nfont-size 14\n");
    const std::string second = offerSkin("FONT_CATEGORY Normal\nfont-size 20\n");
    const std::string longUri = std::string(300, 'u') + "/global.txt";
    host.addUriData(longUri, testhost::Bytes{'F', 'O', 'N', 'T', '_', 'C', 'A', 'T', 'E', 'G',
                                             'O', 'R', 'Y', ' ', 'n', 'o', 'r', 'm', 'a', 'l'});
    StyledWidget& widget = attachedWidget();
    struct Case {
        std::string uri;
        const char* name;
        int32_t fontSize;
        std::string categoryName;
    } cases[] = {
        {first, "Normal", 14, "normal"},   {first, "Normal", 14, "normal"},
        {second, "Normal", 20, "normal"},  {first, "Normal", 14, "normal"},
        {second, "title", 12, "default"},  {longUri, "Normal", 12, "normal"},
        {longUri, "Normal", 12, "normal"}, {second, "NORMAL", 20, "normal"},
    };
    std::map<std::string, ITextFormat*> formats;
    for (const Case& c : cases) {
        host.addResource("global", "ImageMeta", c.uri);
        const auto format = formatFor(widget, c.name);
        const FontStyle* style = widget.fontStyleFor(c.name);
        ASSERT_TRUE(format) << c.uri.size() << " " << c.name;
        ASSERT_NE(style, nullptr);
        EXPECT_EQ(style->fontSize, c.fontSize) << c.uri.size() << " " << c.name;
        EXPECT_EQ(style->categoryName, c.categoryName);
        const std::string key = c.uri + "|" + c.categoryName;
        const auto known = formats.emplace(key, format.get()).first;
        EXPECT_EQ(format.get(), known->second) << c.uri.size() << " " << c.name;
    }
    EXPECT_EQ(drawing.formatRequests.size(), formats.size());
    size_t longRecords = 0;
    for (const SkinFontMetadata& skin : FontCache::instance().skinRecords())
        longRecords += skin.skinUri == longUri ? 1 : 0;
    EXPECT_EQ(longRecords, 1u);
}

} // namespace
