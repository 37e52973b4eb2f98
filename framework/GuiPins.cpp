#include "GuiPins.h"

#include "../platform/Utf8.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <stdexcept>

template class MpGuiPin<bool>;
template class MpGuiPin<int32_t>;
template class MpGuiPin<float>;
template class MpGuiPin<MpBlob>;
template class MpGuiPin<std::u16string>;

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
// Four bytes are copied as one word, so that the handler's next read of the
// value is served from that one store.
template <class Number> bool storeFourBytes(Number& value, int32_t size, const void* data) {
    static_assert(sizeof(Number) == 4);
    if (size >= 4) {
        if (size == 4 && std::memcmp(&value, data, 4) == 0)
            return false;
        std::memcpy(&value, data, 4);
    } else if (size > 0) {
        std::memcpy(&value, data, size_t(size));
    }
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

std::vector<GuiPinTable::Entry>::const_iterator GuiPinTable::firstFrom(int32_t index) const {
    return std::lower_bound(entries.begin(), entries.end(), index,
                            [](const Entry& e, int32_t i) { return e.index < i; });
}

MpGuiPinBase* GuiPinTable::findByBisection(int32_t index) const {
    const auto it = firstFrom(index);
    return it != entries.end() && it->index == index ? it->pin : nullptr;
}

MpGuiPinBase* GuiPinTable::at(int32_t index) const {
    MpGuiPinBase* pin = find(index);
    if (!pin)
        throw std::out_of_range("no pin with that index");
    return pin;
}

bool GuiPinTable::insert(int32_t index, MpGuiPinBase& pin) {
    // Pins are registered in index order, so nearly always at the end.
    if (entries.empty() || entries.back().index < index) {
        entries.push_back(Entry{index, &pin});
        return true;
    }
    const auto it = firstFrom(index);
    if (it->index == index)
        return false;
    entries.insert(it, Entry{index, &pin});
    return true;
}

int32_t GuiPinTable::nextIndex() const {
    if (entries.empty())
        return 0;
    const int32_t highest = entries.back().index;
    return highest == INT32_MAX ? INT32_MAX : highest + 1;
}

void GuiPinOwner::enterPin(int32_t pinId, MpGuiPinBase& pin) {
    pin.pinId = pinId;
    pin.owner = this;
    pin.invoker = nullptr;
    pin.plainHandler = nullptr;
    pins.insert(pinId, pin);
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
