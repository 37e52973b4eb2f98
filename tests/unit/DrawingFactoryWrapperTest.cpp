// The drawing factory wrapper: family choice with and without the host's
// family list, the size probe, and what it leaves the host holding.
#include "framework/DrawingFactoryWrapper.h"
#include "host/DrawingFactory.h"
#include "host/PinBytes.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace {

using testhost::DrawingFactory;
using testhost::floatBits;
using testhost::TextFormatRequest;

TextMetrics metricsOf(float m0, float m1, float m2, float m3) {
    TextMetrics m{};
    m.values[0] = m0;
    m.values[1] = m1;
    m.values[2] = m2;
    m.values[3] = m3;
    return m;
}

const testhost::TextFormatState& stateOf(const gmpi_sdk::ComPtr<ITextFormat>& format) {
    return dynamic_cast<testhost::TextFormat&>(*format.get()).state;
}

class WrapperTest : public ::testing::Test {
protected:
    void TearDown() override {
        EXPECT_EQ(factory.references(), 0);
        EXPECT_EQ(factory.ledger()->live(), 0) << factory.ledger()->describe();
    }
    DrawingFactoryWrapper wrap() {
        return DrawingFactoryWrapper(gmpi_sdk::ComPtr<IDrawingFactory>::share(&factory));
    }
    // The family and size of each makeTextFormat request, in order.
    std::vector<std::pair<std::string, float>> requests() const {
        std::vector<std::pair<std::string, float>> out;
        for (const TextFormatRequest& r : factory.formatRequests)
            out.emplace_back(r.family, r.size);
        return out;
    }
    using Requests = std::vector<std::pair<std::string, float>>;

    DrawingFactory factory;
};

TEST_F(WrapperTest, WithoutFamilyListEachRequestUsesItsFirstFamily) {
    auto wrapper = wrap();
    auto first = wrapper.makeTextFormat({"A", "B"}, 12.0f, 400, 0, 5, false);
    ASSERT_TRUE(first);
    EXPECT_EQ(stateOf(first).request.family, "A");
    auto second = wrapper.makeTextFormat({"B"}, 12.0f, 400, 0, 5, false);
    ASSERT_TRUE(second);
    EXPECT_EQ(stateOf(second).request.family, "B");
    auto again = wrapper.makeTextFormat({"C", "A"}, 12.0f, 400, 0, 5, false);
    EXPECT_EQ(stateOf(again).request.family, "C") << "the first listed family, though A is known";
    EXPECT_EQ(
        requests(),
        (Requests{
            {"A", 32.0f}, {"A", 12.0f}, {"B", 32.0f}, {"B", 12.0f}, {"C", 32.0f}, {"C", 12.0f}}));
}

TEST_F(WrapperTest, FamilyListIsReadOnceAndNamesMatchByteForByte) {
    factory.offerFamilyList = true;
    factory.families = {"Times", "Courier", "Arial"};
    {
        auto wrapper = wrap();
        struct Case {
            std::vector<std::string> families;
            std::string used;
        } cases[] = {
            {{"Courier", "Times"}, "Courier"},
            {{"times", "Times"}, "Times"},
            {{"times"}, "Arial"},
            {{"Nowhere", "Else"}, "Arial"},
            {{}, "Arial"},
        };
        for (const Case& c : cases) {
            auto format = wrapper.makeTextFormat(c.families, 10.0f, 400, 0, 5, false);
            ASSERT_TRUE(format);
            EXPECT_EQ(stateOf(format).request.family, c.used);
        }
        EXPECT_EQ(factory.familyIndexReads, (std::vector<int32_t>{0, 1, 2, 3}));
        EXPECT_EQ(factory.references(), 2) << "the factory and its family list";
    }
}

TEST_F(WrapperTest, FallbackWithoutFamilyList) {
    auto wrapper = wrap();
    auto format = wrapper.makeTextFormat({}, 10.0f, 400, 0, 5, false);
    ASSERT_TRUE(format);
    EXPECT_EQ(stateOf(format).request.family, "Arial");
}

TEST_F(WrapperTest, FamilyEnumerationStopsAtItsCap) {
    factory.offerFamilyList = true;
    for (int i = 0; i < DrawingFactoryWrapper::maxFamilies + 10; ++i)
        factory.families.push_back(std::string(1, 'F').append(std::to_string(i)));
    auto wrapper = wrap();
    auto listed = wrapper.makeTextFormat({"F65535"}, 10.0f, 400, 0, 5, false);
    EXPECT_EQ(stateOf(listed).request.family, "F65535");
    auto beyond = wrapper.makeTextFormat({"F65536"}, 10.0f, 400, 0, 5, false);
    EXPECT_EQ(stateOf(beyond).request.family, "Arial");
    EXPECT_EQ(factory.familyIndexReads.size(), size_t(DrawingFactoryWrapper::maxFamilies));
}

TEST_F(WrapperTest, SizeFactorsComeFromTheProbeOfEachFamilyOnce) {
    factory.metrics["Tall"] = metricsOf(30.0f, 10.0f, 99.0f, 16.0f); // 32/40 and 32/16
    auto wrapper = wrap();
    auto first = wrapper.makeTextFormat({"Tall"}, 10.0f, 700, 1, 3, false);
    auto second = wrapper.makeTextFormat({"Tall"}, 10.0f, 700, 1, 3, true);
    EXPECT_EQ(floatBits(stateOf(first).request.size), floatBits(8.0f));
    EXPECT_EQ(floatBits(stateOf(second).request.size), floatBits(20.0f));
    EXPECT_EQ(requests(), (Requests{{"Tall", 32.0f}, {"Tall", 8.0f}, {"Tall", 20.0f}}));
    for (const TextFormatRequest& r : factory.formatRequests) {
        EXPECT_EQ(r.weight, 700);
        EXPECT_EQ(r.style, 1);
        EXPECT_EQ(r.stretch, 3);
        EXPECT_FALSE(r.collectionGiven);
        EXPECT_FALSE(r.localeGiven);
    }
    EXPECT_TRUE(stateOf(first).spacingSet);
    EXPECT_EQ(floatBits(stateOf(first).spacing), floatBits(-512.0f));
    EXPECT_EQ(floatBits(stateOf(first).baseline), floatBits(0.0f));

    // A new wrapper measures again.
    auto other = wrap();
    auto third = other.makeTextFormat({"Tall"}, 5.0f, 700, 1, 3, false);
    EXPECT_EQ(floatBits(stateOf(third).request.size), floatBits(4.0f));
    EXPECT_EQ(factory.formatRequests.size(), 5u);
}

TEST_F(WrapperTest, ZeroMetricsGiveAnInfiniteSizeAsTheyCome) {
    factory.metrics["Flat"] = TextMetrics{};
    auto wrapper = wrap();
    auto format = wrapper.makeTextFormat({"Flat"}, 10.0f, 400, 0, 5, false);
    ASSERT_TRUE(format);
    EXPECT_EQ(floatBits(stateOf(format).request.size),
              floatBits(std::numeric_limits<float>::infinity()));
}

TEST_F(WrapperTest, UnmadeProbeGivesFactorsOfOne) {
    factory.refuseFormat = [](const TextFormatRequest& r) { return r.size == 32.0f; };
    factory.metrics["A"] = metricsOf(1.0f, 1.0f, 0.0f, 1.0f);
    auto wrapper = wrap();
    auto plain = wrapper.makeTextFormat({"A"}, 10.0f, 400, 0, 5, false);
    auto second = wrapper.makeTextFormat({"A"}, 11.0f, 400, 0, 5, true);
    ASSERT_TRUE(plain);
    EXPECT_EQ(floatBits(stateOf(plain).request.size), floatBits(10.0f));
    EXPECT_EQ(floatBits(stateOf(second).request.size), floatBits(11.0f));
    EXPECT_EQ(factory.formatRequests.size(), 3u) << "the family is not probed again";
}

TEST_F(WrapperTest, UnmadeFinalFormatGivesNoneWithoutFallback) {
    factory.refuseFormat = [](const TextFormatRequest& r) { return r.size != 32.0f; };
    auto wrapper = wrap();
    EXPECT_FALSE(wrapper.makeTextFormat({"A"}, 10.0f, 400, 0, 5, false));
    EXPECT_EQ(requests(), (Requests{{"A", 32.0f}, {"A", 10.0f}}));
}

TEST(DrawingFactoryWrapper, NullFactoryMakesNothing) {
    DrawingFactoryWrapper wrapper{gmpi_sdk::ComPtr<IDrawingFactory>()};
    EXPECT_FALSE(wrapper.makeTextFormat({"A"}, 10.0f, 400, 0, 5, false));
    EXPECT_FALSE(wrapper.makeTextFormat({}, 10.0f, 400, 0, 5, true));
}

// A factory whose family-list answer disagrees with itself: a pointer with a
// failure code, or success with no pointer.
class OddFactory final : public IDrawingFactory {
public:
    OddFactory(DrawingFactory& inner, bool pointerWithFailure)
        : inner(inner), pointerWithFailure(pointerWithFailure) {}
    int32_t queryInterface(const InterfaceId& iid, void** out) override {
        if (!(iid == iidOf<IFontFamilyList>()))
            return inner.queryInterface(iid, out);
        *out = nullptr;
        if (!pointerWithFailure)
            return ResultSuccess;
        inner.offerFamilyList = true;
        inner.queryInterface(iid, out);
        inner.offerFamilyList = false;
        return ResultFailure;
    }
    int32_t addRef() override { return inner.addRef(); }
    int32_t release() override { return inner.release(); }
    int32_t makeTextFormat(const char* family, gmpi::IMpUnknown* collection, int32_t weight,
                           int32_t style, int32_t stretch, float size, const char* locale,
                           ITextFormat** out) override {
        return inner.makeTextFormat(family, collection, weight, style, stretch, size, locale, out);
    }
    int32_t loadImageUri(const char* uri, IBitmap** out) override {
        return inner.loadImageUri(uri, out);
    }

private:
    DrawingFactory& inner;
    bool pointerWithFailure;
};

TEST_F(WrapperTest, FamilyListCountsOnlyWithBothPointerAndSuccess) {
    factory.families = {"Listed"};
    for (const bool pointerWithFailure : {true, false}) {
        OddFactory odd(factory, pointerWithFailure);
        {
            DrawingFactoryWrapper wrapper(gmpi_sdk::ComPtr<IDrawingFactory>::share(&odd));
            auto format = wrapper.makeTextFormat({"Unlisted"}, 10.0f, 400, 0, 5, false);
            ASSERT_TRUE(format);
            EXPECT_EQ(stateOf(format).request.family, "Unlisted") << pointerWithFailure;
        }
        EXPECT_TRUE(factory.familyIndexReads.empty());
        EXPECT_EQ(factory.references(), 0);
    }
}

} // namespace
