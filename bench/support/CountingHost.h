// The one host of the benchmarks: a GUI host (IGuiHost, ILegacyGuiHost,
// IGraphicsHost) and an audio host (IAudioHost) in one object, which counts what it receives
// instead of keeping it, so that the host's own copying is not timed. It resolves resource names
// from a table that a benchmark fills, and hands out a drawing factory when given one.
#pragma once

#include "Library.h"
#include "framework/ComPtr.h"
#include "framework/HostApi.h"
#include "framework/ModuleApi.h"
#include "host/ModuleLibrary.h"
#include "host/SelfDeleting.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace bench {

// A resource stream over text that the host keeps; it deletes itself at its
// last release.
class TextStream final : public testhost::SelfDeleting<IUriStream> {
public:
    explicit TextStream(const std::string& text) : text(text) {}
    int32_t readBytes(void* buffer, int64_t count, int32_t) override {
        if (!buffer || count < 0 || size_t(count) > text.size() - position)
            return ResultFailure;
        std::memcpy(buffer, text.data() + position, size_t(count));
        position += size_t(count);
        return ResultSuccess;
    }
    int32_t byteSize(int64_t* size) override {
        *size = int64_t(text.size());
        return ResultSuccess;
    }

private:
    const std::string& text;
    size_t position = 0;
};

// Its calls are never inlined into a benchmark's loop, as a module cannot
// inline them either.
class CountingHost final : public IGuiHost,
                           public ILegacyGuiHost,
                           public IGraphicsHost,
                           public IAudioHost {
public:
    // The host as modules receive it.
    gmpi::IMpUnknown* object() { return static_cast<IGuiHost*>(this); }

    [[gnu::noinline]] int32_t queryInterface(const InterfaceId& iid, void** out) override {
        *out = nullptr;
        if (iid == iidOf<IGuiHost>() || iid == iidOf<gmpi::IMpUnknown>())
            *out = static_cast<IGuiHost*>(this);
        else if (iid == iidOf<ILegacyGuiHost>())
            *out = static_cast<ILegacyGuiHost*>(this);
        else if (iid == iidOf<IGraphicsHost>())
            *out = static_cast<IGraphicsHost*>(this);
        else if (iid == iidOf<IAudioHost>())
            *out = static_cast<IAudioHost*>(this);
        else
            return ResultUnsupported;
        addRef();
        return ResultSuccess;
    }
    // Counted so that a benchmark can see every module let the host go; the
    // host itself belongs to the benchmark.
    [[gnu::noinline]] int32_t addRef() override { return ++references; }
    [[gnu::noinline]] int32_t release() override { return --references; }

    // IGuiHost and ILegacyGuiHost
    [[gnu::noinline]] int32_t acceptPinValue(int32_t, int32_t size, const void*, int32_t) override {
        ++values;
        bytes += size_t(size);
        return ResultSuccess;
    }
    [[gnu::noinline]] int32_t lookUpResource(const char* name, const char*,
                                             gmpi::IString* uri) override {
        ++lookUps;
        const auto found = resources.find(std::string_view(name));
        if (found == resources.end())
            return ResultFailure;
        uri->assignBytes(found->second.data(), int32_t(found->second.size()));
        return ResultSuccess;
    }
    [[gnu::noinline]] int32_t openUriStream(const char* uri, IUriStream** out) override {
        *out = nullptr;
        const auto found = streams.find(std::string_view(uri));
        if (found == streams.end())
            return ResultFailure;
        *out = new TextStream(found->second);
        return ResultSuccess;
    }
    [[gnu::noinline]] int32_t enrolResourceName(const char*, const char*, gmpi::IString*) override {
        return ResultFailure;
    }

    // ILegacyGuiHost: a name resolves to itself.
    [[gnu::noinline]] int32_t resolveFileName(const char16_t* name, int32_t maxChars,
                                              char16_t* fullPath) override {
        if (!name || !fullPath || maxChars <= 0)
            return ResultFailure;
        int32_t units = 0;
        for (; name[units] && units < maxChars - 1; ++units)
            fullPath[units] = name[units];
        fullPath[units] = u'\0';
        return ResultSuccess;
    }
    [[gnu::noinline]] int32_t countPins(int32_t* count) override {
        *count = pinCount;
        return ResultSuccess;
    }

    // IGraphicsHost
    [[gnu::noinline]] int32_t fetchDrawingFactory(IDrawingFactory** out) override {
        *out = drawingFactory;
        if (!drawingFactory)
            return ResultFailure;
        drawingFactory->addRef();
        return ResultSuccess;
    }
    [[gnu::noinline]] int32_t requestRepaint(const GuiRect*) override {
        ++repaints;
        return ResultSuccess;
    }
    [[gnu::noinline]] int32_t requestRemeasure() override { return ResultSuccess; }
    [[gnu::noinline]] int32_t takePointerCapture() override {
        captured = true;
        return ResultSuccess;
    }
    [[gnu::noinline]] int32_t queryPointerCapture(int32_t* held) override {
        *held = captured ? 1 : 0;
        return ResultSuccess;
    }
    [[gnu::noinline]] int32_t dropPointerCapture() override {
        captured = false;
        return ResultSuccess;
    }

    // IAudioHost
    [[gnu::noinline]] int32_t deliverPinBytes(int32_t, int32_t, int32_t, const void*) override {
        ++delivered;
        return ResultSuccess;
    }
    [[gnu::noinline]] int32_t announceStreaming(int32_t, int32_t, bool) override {
        ++announced;
        return ResultSuccess;
    }
    [[gnu::noinline]] int32_t askToSleep() override {
        ++sleeps;
        return ResultSuccess;
    }
    [[gnu::noinline]] int32_t fetchFramesBeforeSleep(int32_t* frames) override {
        *frames = framesBeforeSleep;
        return ResultSuccess;
    }

    size_t values = 0;
    size_t bytes = 0;

    // Resource names and the URIs they resolve to; URIs and the text their
    // streams read; the drawing factory handed out (none: the call fails).
    std::map<std::string, std::string, std::less<>> resources;
    std::map<std::string, std::string, std::less<>> streams;
    IDrawingFactory* drawingFactory = nullptr;
    int32_t framesBeforeSleep = 0;
    int32_t pinCount = 0;

    int32_t references = 0;
    size_t lookUps = 0;
    size_t repaints = 0;
    bool captured = false;
    int64_t delivered = 0, announced = 0, sleeps = 0;
};

// A module of the library attached to a host.
inline gmpi_sdk::ComPtr<gmpi::IMpUserInterface2>
makeAttached(testhost::ModuleLibrary& library, const char16_t* id, gmpi::IMpUnknown* host) {
    const auto unknown = makeModule(library.factory(), id, Gui2Part, host);
    auto module = gmpi_sdk::queryInterfaceOf<gmpi::IMpUserInterface2>(unknown.get());
    if (module)
        module->attachHost(host);
    return module;
}
inline gmpi_sdk::ComPtr<gmpi::IMpUserInterface2> makeAttached(const char16_t* id,
                                                              gmpi::IMpUnknown* host) {
    return makeAttached(library(), id, host);
}
inline gmpi_sdk::ComPtr<gmpi::IMpUserInterface2>
makeAttached(testhost::ModuleLibrary& library, const char16_t* id, CountingHost* host) {
    return makeAttached(library, id, host->object());
}
inline gmpi_sdk::ComPtr<gmpi::IMpUserInterface2> makeAttached(const char16_t* id,
                                                              CountingHost* host) {
    return makeAttached(library(), id, host->object());
}

inline void setPin(gmpi::IMpUserInterface2* module, int32_t pin, int32_t size, const void* data) {
    module->receivePinValue(pin, 0, size, data);
    module->onPinChanged(pin, 0);
}
inline void setPin(gmpi::IMpUserInterface2* module, int32_t pin, const std::u16string& text) {
    setPin(module, pin, int32_t(2 * text.size()), text.data());
}
inline void setPin(gmpi::IMpUserInterface2* module, int32_t pin, bool value) {
    setPin(module, pin, 1, &value);
}

} // namespace bench
