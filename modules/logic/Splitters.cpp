// SplitterInt, SplitterFloat, SplitterText, SplitterBool, SplitterBlob: one
// declared pin, index 0, and any number of pins of the same type that the host
// adds at indices 1, 2, 3...; a value that the host delivers on any of them is
// passed on at once, as delivered, to every other one the module knows of.
#include "../../framework/MpFactory.h"
#include "../../framework/MpGuiBase2.h"
#include "../../platform/BoundaryGuard.h"
#include "../../platform/ScopedValue.h"
#include "IndexRange.h"

#include <algorithm>
#include <cstdint>

template <class Pin> class Splitter : public SeGuiInvisibleBase {
public:
    Splitter() { registerPin(PinIndex::Value, pinValue); }

    // Forwards first, then stores: the host receives the copies in ascending
    // index order, pin 0 first when the value came from an added pin. A module
    // without host forwards nothing.
    int32_t receivePinValue(int32_t pinId, int32_t voice, int32_t size, const void* data) override {
        // An exception from the host goes no further; the value is still stored.
        guardedCall([&] { forward(pinId, size, data); });
        return MpGuiBase2::receivePinValue(pinId, voice, size, data);
    }

private:
    // The copies of a value delivered on pinId.
    void forward(int32_t pinId, int32_t size, const void* data) {
        highestPinSeen = std::max(highestPinSeen, pinId);
        // Each flag is given back its earlier value, also when the host
        // throws: a nested pin-0 delivery inside a broadcast leaves the
        // outer broadcast's flag up.
        if (pinId == 0) {
            const RestoringScope scope(broadcasting, true);
            forwardToAddedPins(size, data, 0);
        } else if (!relaying) {
            if (!broadcasting)
                forwardTo(0, size, data);
            const RestoringScope scope(relaying, true);
            forwardToAddedPins(size, data, pinId);
        }
    }

    void forwardTo(int32_t pinId, int32_t size, const void* data) {
        if (IGuiHost* host = guiHost.get())
            host->acceptPinValue(pinId, size, data, 0);
    }

    // Every added pin known so far but `skip`, lowest first, pins that nested
    // calls make known included. The host is looked up for each pin, since a
    // nested call may attach the module anew.
    void forwardToAddedPins(int32_t size, const void* data, int32_t skip) {
        forEachIndexThrough(1, highestPinSeen, [&](int32_t pinId) {
            IGuiHost* host = guiHost.get();
            if (host && pinId != skip)
                host->acceptPinValue(pinId, size, data, 0);
            return host != nullptr;
        });
    }

    // Pin indices: the module's contract with the host.
    enum class PinIndex : int32_t { Value = 0, Count };
    Pin pinValue;
    int32_t highestPinSeen = 0; // never decreases
    bool broadcasting = false;  // forwarding a value delivered on pin 0
    bool relaying = false;      // forwarding a value delivered on an added pin
};

class SplitterInt final : public Splitter<MpGuiPinInt> {};
class SplitterFloat final : public Splitter<MpGuiPinFloat> {};
class SplitterText final : public Splitter<StringGuiPin> {};
class SplitterBool final : public Splitter<MpGuiPinBool> {};
class SplitterBlob final : public Splitter<MpGuiPinBlob> {};

namespace {
[[maybe_unused]] const bool registered = initialiseModuleFile({
    {Gui2Part, u"SplitterInt", &createModule<SplitterInt>},
    {Gui2Part, u"SplitterFloat", &createModule<SplitterFloat>},
    {Gui2Part, u"SplitterText", &createModule<SplitterText>},
    {Gui2Part, u"SplitterBool", &createModule<SplitterBool>},
    {Gui2Part, u"SplitterBlob", &createModule<SplitterBlob>},
});
} // namespace
