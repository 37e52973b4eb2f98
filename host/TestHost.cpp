#include "TestHost.h"

#include "CountedPart.h"
#include "SelfDeleting.h"

#include <algorithm>
#include <cstring>

namespace testhost {

const char* interfaceName(HostInterface which) {
    switch (which) {
    case HostInterface::Gui:
        return "IGuiHost";
    case HostInterface::Legacy:
        return "ILegacyGuiHost";
    case HostInterface::Dialog:
        return "IDialogHost";
    case HostInterface::Graphics:
        return "IGraphicsHost";
    }
    return "?";
}

namespace {

// A resource stream over bytes the test stored.
class ByteStream final : public SelfDeleting<IUriStream> {
public:
    ByteStream(Bytes data, std::shared_ptr<StreamShare> shared)
        : data(std::move(data)), shared(std::move(shared)) {
        ++this->shared->live;
    }
    ~ByteStream() override { --shared->live; }
    int32_t readBytes(void* buffer, int64_t count, int32_t) override {
        if (count < 0 || !buffer)
            return ResultFailure;
        const size_t n = std::min<size_t>(size_t(count), data.size() - position);
        std::memcpy(buffer, data.data() + position, n);
        position += n;
        called(HostCall::ReadBytes);
        return n == size_t(count) ? ResultSuccess : ResultFailure;
    }
    int32_t byteSize(int64_t* size) override {
        if (!size)
            return ResultFailure;
        *size = int64_t(data.size());
        called(HostCall::StreamSize);
        return ResultSuccess;
    }

private:
    void called(HostCall call) {
        if (shared->host)
            notify(shared->host->onCall, call);
    }

    Bytes data;
    std::shared_ptr<StreamShare> shared;
    size_t position = 0;
};

} // namespace

class TestHost::GuiPart final : public CountedPart<TestHost, IGuiHost> {
public:
    using CountedPart::CountedPart;
    int32_t acceptPinValue(int32_t pinId, int32_t size, const void* data, int32_t voice) override {
        return host.accept(HostInterface::Gui, pinId, size, data, voice);
    }
    int32_t lookUpResource(const char* name, const char* kind, gmpi::IString* uri) override {
        const std::string n = name ? name : "", k = kind ? kind : "";
        host.lookups.emplace_back(n, k);
        const auto it = host.resources.find({n, k});
        if (it == host.resources.end() || !uri)
            return host.called(HostCall::LookUpResource, ResultFailure);
        uri->assignBytes(it->second.data(), int32_t(it->second.size()));
        return host.called(HostCall::LookUpResource, ResultSuccess);
    }
    int32_t openUriStream(const char* uri, IUriStream** out) override {
        if (!out)
            return ResultFailure;
        *out = nullptr;
        const auto it = host.uriData.find(uri ? uri : "");
        if (it == host.uriData.end())
            return host.called(HostCall::OpenUriStream, ResultFailure);
        *out = new ByteStream(it->second, host.streams);
        return host.called(HostCall::OpenUriStream, ResultSuccess);
    }
    int32_t enrolResourceName(const char* shortName, const char* kind,
                              gmpi::IString* uri) override {
        const std::string n = shortName ? shortName : "", k = kind ? kind : "";
        host.enrolments.emplace_back(n, k);
        const std::string full = host.enrolPrefix + n;
        if (uri)
            uri->assignBytes(full.data(), int32_t(full.size()));
        return host.called(HostCall::EnrolResourceName, ResultSuccess);
    }
};

class TestHost::LegacyPart final : public CountedPart<TestHost, ILegacyGuiHost> {
public:
    using CountedPart::CountedPart;
    int32_t acceptPinValue(int32_t pinId, int32_t size, const void* data, int32_t voice) override {
        return host.accept(HostInterface::Legacy, pinId, size, data, voice);
    }
    int32_t resolveFileName(const char16_t* name, int32_t maxChars, char16_t* fullPath) override {
        const std::u16string given = name ? name : u"";
        host.resolvedNames.push_back(given);
        if (host.resolveRaw)
            return host.called(HostCall::ResolveFileName,
                               host.resolveRaw(name, maxChars, fullPath));
        std::u16string full = given.empty()      ? host.defaultFolder
                              : host.resolveName ? host.resolveName(given)
                                                 : given;
        if (!fullPath || maxChars <= 0)
            return host.called(HostCall::ResolveFileName, ResultFailure);
        const size_t units = std::min(full.size(), size_t(maxChars) - 1);
        std::copy_n(full.data(), units, fullPath);
        fullPath[units] = u'\0';
        return host.called(HostCall::ResolveFileName, ResultSuccess);
    }
    int32_t countPins(int32_t* count) override {
        if (!count)
            return host.called(HostCall::CountPins, ResultFailure);
        *count = host.pinCount;
        return host.called(HostCall::CountPins, ResultSuccess);
    }
};

class TestHost::DialogPart final : public CountedPart<TestHost, IDialogHost> {
public:
    using CountedPart::CountedPart;
    int32_t createFilePicker(int32_t mode, IFilePicker** out) override {
        host.pickerRequests.push_back(mode);
        if (!out)
            return ResultFailure;
        *out = host.makeFilePicker ? host.makeFilePicker(mode) : nullptr;
        return host.called(HostCall::CreateFilePicker, *out ? ResultSuccess : ResultFailure);
    }
};

class TestHost::GraphicsPart final : public CountedPart<TestHost, IGraphicsHost> {
public:
    using CountedPart::CountedPart;
    int32_t fetchDrawingFactory(IDrawingFactory** out) override {
        if (!out)
            return ResultFailure;
        *out = host.graphics.drawingFactory;
        if (!*out)
            return host.called(HostCall::FetchDrawingFactory, ResultFailure);
        (*out)->addRef();
        return host.called(HostCall::FetchDrawingFactory, ResultSuccess);
    }
    int32_t requestRepaint(const GuiRect* area) override {
        host.graphics.repaints.push_back(area ? std::optional<GuiRect>(*area) : std::nullopt);
        return host.called(HostCall::RequestRepaint, ResultSuccess);
    }
    int32_t requestRemeasure() override {
        ++host.graphics.remeasures;
        return host.called(HostCall::RequestRemeasure, ResultSuccess);
    }
    int32_t takePointerCapture() override {
        ++host.graphics.captureTakes;
        host.graphics.captured = true;
        return host.called(HostCall::TakePointerCapture, ResultSuccess);
    }
    int32_t queryPointerCapture(int32_t* captured) override {
        if (!captured)
            return host.called(HostCall::QueryPointerCapture, ResultFailure);
        *captured = host.graphics.captured ? 1 : 0;
        return host.called(HostCall::QueryPointerCapture, ResultSuccess);
    }
    int32_t dropPointerCapture() override {
        ++host.graphics.captureDrops;
        host.graphics.captured = false;
        return host.called(HostCall::DropPointerCapture, ResultSuccess);
    }
};

struct TestHost::Parts {
    explicit Parts(TestHost& host)
        : gui(host, &TestHost::answer), legacy(host, &TestHost::answer),
          dialog(host, &TestHost::answer), graphics(host, &TestHost::answer) {}
    GuiPart gui;
    LegacyPart legacy;
    DialogPart dialog;
    GraphicsPart graphics;
};

TestHost::TestHost()
    : parts(std::make_unique<Parts>(*this)), streams(std::make_shared<StreamShare>()) {
    streams->host = this;
}

TestHost::~TestHost() {
    streams->host = nullptr;
}

gmpi::IMpUnknown* TestHost::object() {
    return &parts->gui;
}
IGuiHost* TestHost::guiHost() {
    return &parts->gui;
}
ILegacyGuiHost* TestHost::legacyHost() {
    return &parts->legacy;
}

void TestHost::offer(HostInterface which, bool isOffered) {
    offered[int(which)] = isOffered;
}
bool TestHost::offers(HostInterface which) const {
    return offered[int(which)];
}

int32_t TestHost::references(HostInterface which) const {
    switch (which) {
    case HostInterface::Gui:
        return parts->gui.refs;
    case HostInterface::Legacy:
        return parts->legacy.refs;
    case HostInterface::Dialog:
        return parts->dialog.refs;
    case HostInterface::Graphics:
        return parts->graphics.refs;
    }
    return 0;
}

bool TestHost::referencesBalanced(std::string* report) const {
    bool balanced = true;
    for (const HostInterface which : {HostInterface::Gui, HostInterface::Legacy,
                                      HostInterface::Dialog, HostInterface::Graphics}) {
        if (const int32_t refs = references(which); refs != 0) {
            balanced = false;
            if (report)
                *report += std::string(interfaceName(which)) + " holds " + std::to_string(refs) +
                           " reference(s); ";
        }
    }
    return balanced;
}

void TestHost::addResource(const std::string& name, const std::string& kind,
                           const std::string& uri) {
    resources[{name, kind}] = uri;
}

void TestHost::removeResource(const std::string& name, const std::string& kind) {
    resources.erase({name, kind});
}

void TestHost::addUriData(const std::string& uri, Bytes data) {
    uriData[uri] = std::move(data);
}

const Bytes* TestHost::uriBytes(const std::string& uri) const {
    const auto it = uriData.find(uri);
    return it == uriData.end() ? nullptr : &it->second;
}

int32_t TestHost::answer(const InterfaceId& iid, void** out) {
    return answerFrom(
        iid, out,
        {{iidOf<gmpi::IMpUnknown>(), &parts->gui, true},
         {iidOf<IGuiHost>(), &parts->gui, offers(HostInterface::Gui)},
         {iidOf<ILegacyGuiHost>(), &parts->legacy, offers(HostInterface::Legacy)},
         {iidOf<IDialogHost>(), &parts->dialog, offers(HostInterface::Dialog)},
         {iidOf<IGraphicsHost>(), &parts->graphics, offers(HostInterface::Graphics)}});
}

int32_t TestHost::accept(HostInterface via, int32_t pinId, int32_t size, const void* data,
                         int32_t voice) {
    SentValue value{via, pinId, {}, voice};
    if (size > 0 && data) {
        const auto* bytes = static_cast<const uint8_t*>(data);
        value.bytes.assign(bytes, bytes + size);
    }
    sent.push_back(value);
    if (onAccept)
        onAccept(value);
    notify(onCall, HostCall::AcceptPinValue);
    // Read after the hooks, which may have changed it.
    return acceptResult;
}

int32_t TestHost::called(HostCall call, int32_t result) {
    notify(onCall, call);
    return result;
}

} // namespace testhost
