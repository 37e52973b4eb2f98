// The host's drawing factory as skin text styles need it: a style names its
// fonts as families in order of preference and means its size as the text's
// full height. The wrapper picks the first family the host has (else
// "Arial"), measures each family once, and makes the format at the corrected
// size. Callers build one on their stack around a factory they just fetched.
#pragma once

#include "ComPtr.h"
#include "DrawingApi.h"

#include <string>
#include <unordered_map>
#include <vector>

class DrawingFactoryWrapper {
public:
    // Takes over the caller's reference to the factory; a null factory makes
    // no formats.
    explicit DrawingFactoryWrapper(gmpi_sdk::ComPtr<IDrawingFactory> factory);
    DrawingFactoryWrapper(const DrawingFactoryWrapper&) = delete;
    DrawingFactoryWrapper& operator=(const DrawingFactoryWrapper&) = delete;

    // A new format with one reference for the caller, or empty. useSecondFactor
    // scales by the family's 32 / metric 3 instead of 32 / (metric 0 + metric 1).
    gmpi_sdk::ComPtr<ITextFormat> makeTextFormat(const std::vector<std::string>& families,
                                                 float size, int32_t weight, int32_t style,
                                                 int32_t stretch, bool useSecondFactor);

    IDrawingFactory* get() const { return factory.get(); }

    // At most this many family names are read from the host's list.
    static constexpr int32_t maxFamilies = 65536;

private:
    struct SizeFactors {
        float factor1 = 0.0f; // 0: not measured yet
        float factor2 = 0.0f;
    };

    void enterFamily(const std::string& family) { familyScales.try_emplace(family); }
    void readFamilies(const std::vector<std::string>& requested);
    void measure(const std::string& family, SizeFactors& factors, int32_t weight, int32_t style,
                 int32_t stretch);

    gmpi_sdk::ComPtr<IDrawingFactory> factory;
    std::unordered_map<std::string, SizeFactors> familyScales;
    gmpi_sdk::ComPtr<IFontFamilyList> familyList;
};
