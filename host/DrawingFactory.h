// The test host's drawing factory: text formats whose metrics a test sets,
// pictures decoded from the host's resource data, and, when switched on, the
// font family list.
#pragma once

#include "DrawingObjects.h"
#include "HostCall.h"
#include "PinBytes.h"

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace testhost {

class TestHost;

class DrawingFactory final : public IDrawingFactory, public IFontFamilyList {
public:
    explicit DrawingFactory(LedgerPtr ledger = std::make_shared<DrawingLedger>());
    DrawingFactory(const DrawingFactory&) = delete;
    DrawingFactory& operator=(const DrawingFactory&) = delete;

    // Becomes the factory that the host's fetchDrawingFactory hands out, and
    // loads pictures from the host's URI data.
    void serve(TestHost& host);

    // IFontFamilyList is answered only while offerFamilyList is set. One
    // reference count serves both interfaces; the factory belongs to the test.
    int32_t queryInterface(const InterfaceId& iid, void** out) override;
    int32_t addRef() override { return ++refs; }
    int32_t release() override { return --refs; }
    int32_t makeTextFormat(const char* family, gmpi::IMpUnknown* fontCollection, int32_t weight,
                           int32_t style, int32_t stretch, float size, const char* locale,
                           ITextFormat** out) override;
    int32_t loadImageUri(const char* uri, IBitmap** out) override;
    // Non-zero past the last of `families`.
    int32_t familyNameAt(int32_t index, gmpi::IString* name) override;

    // Font families.
    bool offerFamilyList = false;
    std::vector<std::string> families;
    // Metrics of the formats of a family; other families get defaultMetrics.
    std::map<std::string, TextMetrics> metrics;
    // 0.75 x size, 0.25 x size, 0, size, then zeros: both of the drawing
    // factory wrapper's size factors come out as 1.
    static TextMetrics defaultMetrics(float size);
    // Answering true makes makeTextFormat give no format.
    std::function<bool(const TextFormatRequest&)> refuseFormat;
    std::vector<TextFormatRequest> formatRequests;
    std::vector<int32_t> familyIndexReads;

    // Pictures: looked up in `images`, then through imageSource (serve() sets
    // it to the host's URI data), and decoded with stb_image. rowPadding adds
    // bytes at the end of each row of a loaded bitmap.
    std::map<std::string, Bytes> images;
    std::function<const Bytes*(const std::string& uri)> imageSource;
    int32_t rowPadding = 0;
    // The pixel format that the locks of loaded bitmaps report.
    int32_t loadedFormat = PixelFormatSrgb;
    std::vector<std::string> imageLoads;

    // A bitmap of decoded picture bytes (PNG, BMP, ...); null when they do not decode.
    static Bitmap* decodePicture(const LedgerPtr& ledger, const Bytes& encoded,
                                 int32_t rowPadding = 0);

    // Runs at the end of makeTextFormat, loadImageUri and familyNameAt; may
    // call the module.
    HostCallHook onCall;

    int32_t references() const { return refs; }
    const LedgerPtr& ledger() const { return book; }
    // Whether this factory made the bitmap or text format of that id (the
    // id a drawing call records), so that a test can tell which factory made
    // what a module drew with.
    bool made(int32_t objectId) const { return madeIds.count(objectId) > 0; }

private:
    // Runs onCall for the operation, then gives its result.
    int32_t called(HostCall call, int32_t result);

    LedgerPtr book;
    int32_t refs = 0;
    std::set<int32_t> madeIds;
};

} // namespace testhost
