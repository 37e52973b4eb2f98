#include "GuiPins.h"

#include "../platform/Utf8.h"

#include <algorithm>
#include <climits>
#include <cstdint>
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

namespace {

// Units at an odd address, copied byte by byte into a new text first (they
// may lie in the pin's own storage). Out of line: hosts do not send such text,
// and the store of aligned units is the quicker without it.
[[gnu::noinline]] void storeFromOddAddress(std::u16string& value, size_t units, const void* data) {
    std::u16string fresh(units, u'\0');
    std::memcpy(fresh.data(), data, 2 * units);
    value = std::move(fresh);
}

// The units replace the text, without asking whether it changed.
[[gnu::always_inline]] inline void replaceText(std::u16string& value, int32_t size,
                                               const void* data) {
    const size_t units = size_t(size) / 2;
    if (reinterpret_cast<uintptr_t>(data) % alignof(char16_t) == 0) {
        // Into the storage the text has; assign copes with units taken from
        // the text itself.
        value.assign(static_cast<const char16_t*>(data), units);
        return;
    }
    storeFromOddAddress(value, units, data);
}

[[gnu::noinline]] int32_t receiveTextOtherwise(std::u16string& value, int32_t size,
                                               const void* data) {
    replaceText(value, size, data);
    return ResultSuccess;
}

// The registry's store of a text, a call of its own so that the rest of
// receiving needs no room for it. Aligned units no more than the text holds,
// as a number or colour text mostly keeps its length, are moved into its
// storage (they may come from the text itself) and the rest is cut off,
// which spares the tests that assign makes; any others go the general way.
[[gnu::noinline]] int32_t receiveText(std::u16string& value, int32_t size, const void* data) {
    const size_t units = size_t(size) / 2;
    if (units <= value.size() && reinterpret_cast<uintptr_t>(data) % alignof(char16_t) == 0) {
        std::memmove(value.data(), data, 2 * units);
        value.erase(units);
        return ResultSuccess;
    }
    return receiveTextOtherwise(value, size, data);
}

} // namespace

bool GuiPinValue<std::u16string>::store(std::u16string& value, int32_t size, const void* data) {
    if (size_t(size) == 2 * value.size() &&
        (size == 0 || std::memcmp(value.data(), data, size_t(size)) == 0))
        return false;
    replaceText(value, size, data);
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

const GuiPinTable::Entry* GuiPinTable::findByBisection(int32_t index) const {
    const auto it = firstFrom(index);
    return it != entries.end() && it->index == index ? &*it : nullptr;
}

MpGuiPinBase* GuiPinTable::at(int32_t index) const {
    MpGuiPinBase* pin = find(index);
    if (!pin)
        throw std::out_of_range("no pin with that index");
    return pin;
}

// An entry is two words: the registry costs a module 16 bytes a pin.
static_assert(sizeof(GuiPinTable::Entry) == 2 * sizeof(void*));

bool GuiPinTable::insert(int32_t index, MpGuiPinBase& pin) {
    // The value's offset is kept in the entry's padding, so that an entry
    // stays two words; a value too far from its pin is stored by the pin.
    const MpGuiPinBase::StoreAccess access = pin.storeAccess();
    const ptrdiff_t offset =
        static_cast<const char*>(access.value) - reinterpret_cast<const char*>(&pin);
    const bool byRegistry = access.how != MpGuiPinBase::HostStore::ByPin && offset >= 0 &&
                            offset <= ptrdiff_t(UINT16_MAX);
    const Entry entry{index, byRegistry ? access.how : MpGuiPinBase::HostStore::ByPin,
                      uint16_t(byRegistry ? offset : 0), &pin};
    // Pins are registered in index order, so nearly always at the end.
    if (entries.empty() || entries.back().index < index) {
        entries.push_back(entry);
        return true;
    }
    const auto it = firstFrom(index);
    if (it->index == index)
        return false;
    entries.insert(it, entry);
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

int32_t GuiPinOwner::receiveOtherwise(const GuiPinTable::Entry* entry, int32_t pinId, int32_t voice,
                                      int32_t size, const void* data) {
    if (!entry)
        entry = pins.findEntry(pinId);
    if (!entry)
        return ResultFailure;
    if (entry->store == MpGuiPinBase::HostStore::Text && size >= 0 && data)
        return receiveText(*static_cast<std::u16string*>(entry->value()), size, data);
    entry->pin->storeHostValue(voice, size, data);
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
