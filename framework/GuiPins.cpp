#include "GuiPins.h"

#include "../platform/Utf8.h"

#include <algorithm>
#include <cstring>

template class MpGuiPin<bool>;
template class MpGuiPin<int32_t>;
template class MpGuiPin<float>;
template class MpGuiPin<MpBlob>;
template class MpGuiPin<std::u16string>;

void MpGuiPinBase::sendToHost(int32_t size, const void* data) {
    if (owner)
        owner->sendPinToHost(pinId, size, data, 0);
}

bool GuiPinValue<bool>::store(bool& value, int32_t size, const void* data) {
    if (size == 0)
        return false; // nothing delivered: the value stays
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (size == 4) {
        int32_t word;
        std::memcpy(&word, bytes, 4);
        value = word != 0;
        return true;
    }
    const bool changed = size != 1 || bytes[0] != uint8_t(value);
    value = bytes[0] != 0;
    return changed;
}

namespace {

// int and float: the first bytes over the low bytes of the value, at most 4.
template <class Number> bool storeFourBytes(Number& value, int32_t size, const void* data) {
    static_assert(sizeof(Number) == 4);
    if (size == 4 && std::memcmp(&value, data, 4) == 0)
        return false;
    if (size > 0)
        std::memcpy(&value, data, size_t(std::min(size, 4)));
    return true;
}

} // namespace

bool GuiPinValue<int32_t>::store(int32_t& value, int32_t size, const void* data) {
    return storeFourBytes(value, size, data);
}

bool GuiPinValue<float>::store(float& value, int32_t size, const void* data) {
    return storeFourBytes(value, size, data);
}

bool GuiPinValue<MpBlob>::store(MpBlob& value, int32_t size, const void* data) {
    if (size_t(size) == value.byteSize() &&
        (size == 0 || std::memcmp(value.bytePointer(), data, size_t(size)) == 0))
        return false;
    value.setBytes(size_t(size), data);
    return true;
}

bool GuiPinValue<std::u16string>::store(std::u16string& value, int32_t size, const void* data) {
    const size_t units = size_t(size) / 2;
    if (size_t(size) == 2 * value.size() &&
        (size == 0 || std::memcmp(value.data(), data, size_t(size)) == 0))
        return false;
    // Build first: the data may point into the pin's own text.
    std::u16string fresh(units, u'\0');
    if (units)
        std::memcpy(fresh.data(), data, 2 * units);
    value = std::move(fresh);
    return true;
}

void StringGuiPin::setAndSendUtf8(const std::string& utf8) {
    setAndSend(platform::utf8ToUcs2(utf8));
}

std::string StringGuiPin::toUtf8() const {
    return platform::ucs2ToUtf8(value);
}

void boolPulse(MpGuiPin<bool>& pin) {
    pin.setAndSend(true);
    pin.setAndSend(false);
}

MpGuiPinBase* GuiPinOwner::findPin(int32_t pinId) const {
    const auto it = pins.find(pinId);
    return it == pins.end() ? nullptr : it->second;
}

int32_t GuiPinOwner::nextPinIndex() const {
    return pins.empty() ? 0 : pins.rbegin()->first + 1;
}

void GuiPinOwner::bindPin(int32_t pinId, MpGuiPinBase& pin,
                          std::unique_ptr<IGuiPinCallbackImpl> callback) {
    pin.pinId = pinId;
    pin.owner = this;
    pin.callback = std::move(callback);
    pins.emplace(pinId, &pin);
}

int32_t GuiPinOwner::receivePinValue(int32_t pinId, int32_t voice, int32_t size, const void* data) {
    MpGuiPinBase* pin = findPin(pinId);
    if (!pin)
        return ResultFailure;
    pin->storeHostValue(voice, size, data);
    return ResultSuccess;
}

int32_t GuiPinOwner::onPinChanged(int32_t pinId, int32_t voice) {
    MpGuiPinBase* pin = findPin(pinId);
    if (!pin)
        return ResultFailure;
    pin->runHandler(voice);
    return ResultSuccess;
}

int32_t GuiPinOwner::receiveAndNotify(int32_t pinId, int32_t voice, int32_t size,
                                      const void* data) {
    MpGuiPinBase* pin = findPin(pinId);
    if (!pin)
        return ResultFailure;
    if (pin->storeHostValue(voice, size, data))
        pin->runHandler(voice);
    return ResultSuccess;
}
