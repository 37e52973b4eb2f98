// A pin's store of host bytes, for every pin type and any size (including
// sizes that lie about the data and negative ones), must read only the given
// bytes and leave a value that sends consistently.
#include "framework/GuiPins.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

class Owner : public GuiPinOwner {
public:
    int32_t sendPinToHost(int32_t, int32_t size, const void* data, int32_t) override {
        if (size < 0 || (size > 0 && !data))
            std::abort();
        if (size > 0)
            checksum += static_cast<const uint8_t*>(data)[size - 1];
        return ResultSuccess;
    }
    void add(MpGuiPinBase& pin) { bindPin(nextPinIndex(), pin, nullptr); }
    unsigned checksum = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    // The first byte chooses how the size is told: exact, short, or negative.
    const uint8_t mode = data[0];
    std::vector<uint8_t> payload(data + 1, data + size); // exactly sized, so ASan sees overreads
    int32_t told = int32_t(payload.size());
    if (mode % 3 == 1)
        told = told / 2;
    else if (mode % 3 == 2)
        told = -told;

    Owner owner;
    MpGuiPinBool flag;
    MpGuiPinInt number;
    MpGuiPinFloat real;
    MpGuiPinBlob blob;
    StringGuiPin text;
    MpGuiPinBase* pins[] = {&flag, &number, &real, &blob, &text};
    for (MpGuiPinBase* pin : pins) {
        owner.add(*pin);
        pin->storeHostValue(0, told, payload.data());
        pin->storeHostValue(0, told, payload.data()); // the same value again
    }
    // The registry's store, here from an odd address when the mode says so,
    // leaves what the pins' own store leaves.
    Owner received;
    MpGuiPinBool flag2;
    MpGuiPinInt number2;
    MpGuiPinFloat real2;
    MpGuiPinBlob blob2;
    StringGuiPin text2;
    MpGuiPinBase* receiving[] = {&flag2, &number2, &real2, &blob2, &text2};
    std::vector<uint8_t> shifted(payload.size() + 1);
    std::memcpy(shifted.data() + 1, payload.data(), payload.size());
    const uint8_t* from = mode & 4 ? shifted.data() + 1 : payload.data();
    for (int32_t index = 0; index < 5; ++index) {
        received.add(*receiving[index]);
        received.receivePinValue(index, 0, told, from);
        received.receivePinValue(index, 0, told, from);
    }
    if (flag2.get() != flag.get() || number2.get() != number.get() ||
        std::memcmp(real2.valueAddress(), real.valueAddress(), 4) != 0 ||
        !(blob2.get() == blob.get()) || text2.get() != text.get())
        std::abort();
    if (*static_cast<const uint8_t*>(flag.valueAddress()) > 1)
        std::abort();
    const int32_t expectedUnits = told > 0 ? told / 2 : 0;
    if (int32_t(text.get().size()) != expectedUnits ||
        int32_t(blob.get().byteSize()) != std::max(told, 0))
        std::abort();
    // A stored value sends what was stored.
    flag.setAndSend(!flag.get());
    blob.setAndSend(MpBlob());
    text.setAndSend(text.get() + u"x");
    return 0;
}
