#include "DrawingFactory.h"

#include "TestHost.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_FAILURE_USERMSG
#include <stb_image.h>

#include <limits>

namespace testhost {

DrawingFactory::DrawingFactory(LedgerPtr ledger) : book(std::move(ledger)) {}

void DrawingFactory::serve(TestHost& host) {
    host.graphics.drawingFactory = this;
    imageSource = [&host](const std::string& uri) { return host.uriBytes(uri); };
}

int32_t DrawingFactory::queryInterface(const InterfaceId& iid, void** out) {
    if (!out)
        return ResultFailure;
    *out = nullptr;
    if (iid == iidOf<gmpi::IMpUnknown>())
        *out = static_cast<IDrawingFactory*>(this);
    else if (iid == iidOf<IFontFamilyList>() && offerFamilyList)
        *out = static_cast<IFontFamilyList*>(this);
    else
        return ResultUnsupported;
    addRef();
    return ResultSuccess;
}

TextMetrics DrawingFactory::defaultMetrics(float size) {
    TextMetrics m{};
    m.values[0] = 0.75f * size;
    m.values[1] = 0.25f * size;
    m.values[3] = size;
    return m;
}

int32_t DrawingFactory::makeTextFormat(const char* family, gmpi::IMpUnknown* fontCollection,
                                       int32_t weight, int32_t style, int32_t stretch, float size,
                                       const char* locale, ITextFormat** out) {
    TextFormatRequest request{family ? family : "",      weight,           style, stretch, size,
                              fontCollection != nullptr, locale != nullptr};
    formatRequests.push_back(request);
    if (!out)
        return called(HostCall::MakeTextFormat, ResultFailure);
    *out = nullptr;
    if (refuseFormat && refuseFormat(request))
        return called(HostCall::MakeTextFormat, ResultFailure);
    const auto found = metrics.find(request.family);
    auto* format = new TextFormat(book, request,
                                  found != metrics.end() ? found->second : defaultMetrics(size));
    madeIds.insert(format->state.id);
    *out = format;
    return called(HostCall::MakeTextFormat, ResultSuccess);
}

int32_t DrawingFactory::familyNameAt(int32_t index, gmpi::IString* name) {
    familyIndexReads.push_back(index);
    if (!name || index < 0 || size_t(index) >= families.size())
        return called(HostCall::FamilyName, ResultFailure);
    const std::string& family = families[size_t(index)];
    name->assignBytes(family.data(), int32_t(family.size()));
    return called(HostCall::FamilyName, ResultSuccess);
}

int32_t DrawingFactory::called(HostCall call, int32_t result) {
    notify(onCall, call);
    return result;
}

Bitmap* DrawingFactory::decodePicture(const LedgerPtr& ledger, const Bytes& encoded,
                                      int32_t rowPadding) {
    if (encoded.empty() || encoded.size() > size_t(std::numeric_limits<int>::max()))
        return nullptr;
    int width = 0, height = 0, channels = 0;
    stbi_uc* rgba =
        stbi_load_from_memory(encoded.data(), int(encoded.size()), &width, &height, &channels, 4);
    if (!rgba)
        return nullptr;
    auto* bitmap = new Bitmap(ledger, width, height, width * 4 + std::max(rowPadding, 0));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const stbi_uc* source = rgba + (size_t(y) * size_t(width) + size_t(x)) * 4;
            uint8_t* target = bitmap->pixels->at(x, y);
            const unsigned alpha = source[3];
            auto premultiply = [alpha](unsigned c) { return uint8_t((c * alpha + 127) / 255); };
            target[0] = premultiply(source[2]);
            target[1] = premultiply(source[1]);
            target[2] = premultiply(source[0]);
            target[3] = uint8_t(alpha);
        }
    }
    stbi_image_free(rgba);
    return bitmap;
}

int32_t DrawingFactory::loadImageUri(const char* uri, IBitmap** out) {
    const std::string name = uri ? uri : "";
    imageLoads.push_back(name);
    if (!out)
        return called(HostCall::LoadImage, ResultFailure);
    *out = nullptr;
    const Bytes* encoded = nullptr;
    if (const auto it = images.find(name); it != images.end())
        encoded = &it->second;
    else if (imageSource)
        encoded = imageSource(name);
    if (!encoded)
        return called(HostCall::LoadImage, ResultFailure);
    Bitmap* bitmap = decodePicture(book, *encoded, rowPadding);
    if (!bitmap)
        return called(HostCall::LoadImage, ResultFailure);
    bitmap->uri = name;
    bitmap->format = loadedFormat;
    madeIds.insert(bitmap->id);
    *out = bitmap;
    return called(HostCall::LoadImage, ResultSuccess);
}

} // namespace testhost
