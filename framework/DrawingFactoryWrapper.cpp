#include "DrawingFactoryWrapper.h"

#include "MpString.h"

namespace {

const std::string fallbackFamily = "Arial";
constexpr float probeSize = 32.0f;

} // namespace

DrawingFactoryWrapper::DrawingFactoryWrapper(gmpi_sdk::ComPtr<IDrawingFactory> factory)
    : factory(std::move(factory)) {}

void DrawingFactoryWrapper::readFamilies(const std::vector<std::string>& requested) {
    gmpi_sdk::ComPtr<IFontFamilyList> list;
    const int32_t answer = factory->queryInterface(iidOf<IFontFamilyList>(), list.putVoid());
    if (answer == ResultSuccess && list) {
        familyList = std::move(list);
        enterFamily(fallbackFamily);
        for (int32_t index = 0; index < maxFamilies; ++index) {
            gmpi_sdk::MpString name;
            if (familyList->familyNameAt(index, &name) != 0)
                break;
            enterFamily(name.str());
        }
        return;
    }
    // Without a family list every request uses its first listed family.
    if (!requested.empty())
        enterFamily(requested.front());
}

void DrawingFactoryWrapper::measure(const std::string& family, SizeFactors& factors, int32_t weight,
                                    int32_t style, int32_t stretch) {
    gmpi_sdk::ComPtr<ITextFormat> probe;
    factory->makeTextFormat(family.c_str(), nullptr, weight, style, stretch, probeSize, nullptr,
                            probe.put());
    if (!probe) {
        factors.factor1 = factors.factor2 = 1.0f;
        return;
    }
    TextMetrics m{};
    probe->fetchTextMetrics(&m);
    factors.factor1 = probeSize / (m.values[0] + m.values[1]);
    factors.factor2 = probeSize / m.values[3];
}

gmpi_sdk::ComPtr<ITextFormat>
DrawingFactoryWrapper::makeTextFormat(const std::vector<std::string>& families, float size,
                                      int32_t weight, int32_t style, int32_t stretch,
                                      bool useSecondFactor) {
    if (!factory)
        return {};
    if (!familyList)
        readFamilies(families);

    auto chosen = familyScales.end();
    for (const std::string& family : families) {
        chosen = familyScales.find(family);
        if (chosen != familyScales.end())
            break;
    }
    if (chosen == familyScales.end()) {
        if (families.size() == 1 && families.front() == fallbackFamily)
            return {}; // cannot happen: the family table always holds the fallback by now
        return makeTextFormat({fallbackFamily}, size, weight, style, stretch, useSecondFactor);
    }

    SizeFactors& factors = chosen->second;
    if (factors.factor1 == 0.0f)
        measure(chosen->first, factors, weight, style, stretch);

    gmpi_sdk::ComPtr<ITextFormat> format;
    const float scaled = size * (useSecondFactor ? factors.factor2 : factors.factor1);
    factory->makeTextFormat(chosen->first.c_str(), nullptr, weight, style, stretch, scaled, nullptr,
                            format.put());
    if (format)
        format->setSpacing(-512.0f, 0.0f);
    return format;
}
