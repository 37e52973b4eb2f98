// GUI pins: typed values with an index in their module, an owner that sends
// them to the host, and an optional handler that runs when the host reports a
// change.
#pragma once

#include "HostApi.h"
#include "ModuleApi.h"
#include "MpBlob.h"
#include "PinIndex.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

class GuiPinOwner;

class MpGuiPinBase {
public:
    MpGuiPinBase() = default;
    MpGuiPinBase(const MpGuiPinBase&) = delete;
    MpGuiPinBase& operator=(const MpGuiPinBase&) = delete;
    virtual ~MpGuiPinBase() = default;

    // Stores a value the host sets; true when it counts as a change. A negative
    // size or null data counts as size 0.
    virtual bool storeHostValue(int32_t voice, int32_t size, const void* data) = 0;
    virtual int32_t typeCode() const = 0;

    int32_t getId() const { return pinId; }
    // Runs the bound handler on the module, with the voice when it takes one.
    inline void runHandler(int32_t voice);
    bool hasHandler() const { return invoker != nullptr; }

protected:
    // Passes the pin's value to the host through its owner, with voice 0.
    inline void sendToHost(int32_t size, const void* data);

    // How the registry may store what the host sends without calling the
    // pin: an int or float pin's value as one 4-byte word, a text pin's text
    // by the text store; any other pin stores it itself.
    enum class HostStore : uint8_t { ByPin, Word, Text };
    struct StoreAccess {
        HostStore how = HostStore::ByPin;
        void* value = nullptr;
    };

private:
    friend class GuiPinOwner;
    friend class GuiPinTable;
    virtual StoreAccess storeAccess() { return {}; }

    // The handler, a member function of the module, is held as one of its
    // GuiPinOwner part; the invoker, made for the module's class, turns owner
    // and handler back into the module's own types and calls it. No invoker:
    // no handler.
    using Handler = void (GuiPinOwner::*)();
    using VoiceHandler = void (GuiPinOwner::*)(int32_t voice);
    using Invoker = void (*)(const MpGuiPinBase& pin, int32_t voice);

    GuiPinOwner* owner = nullptr; // the module the pin sends through
    Invoker invoker = nullptr;
    union {
        Handler plainHandler = nullptr;
        VoiceHandler voiceHandler;
    };
    int32_t pinId = -1; // last: a 4-byte value of a derived pin fits in the padding after it
};

// How each value type is stored, compared and sent.
template <class T> struct GuiPinValue;

template <> struct GuiPinValue<bool> {
    static constexpr int32_t kind = KindBool;
    static bool store(bool& value, int32_t size, const void* data);
    static bool differs(bool a, bool b) { return a != b; }
    static int32_t byteCount(const bool&) { return 1; }
    static const void* address(const bool& value) { return &value; }
};

template <> struct GuiPinValue<int32_t> {
    static constexpr int32_t kind = KindInt;
    static bool store(int32_t& value, int32_t size, const void* data);
    static bool differs(int32_t a, int32_t b) { return a != b; }
    static int32_t byteCount(const int32_t&) { return 4; }
    static const void* address(const int32_t& value) { return &value; }
};

template <> struct GuiPinValue<float> {
    static constexpr int32_t kind = KindFloat;
    static bool store(float& value, int32_t size, const void* data);
    // Unequal or unordered: a NaN is always sent, -0.0 over 0.0 is not.
    static bool differs(float a, float b) { return !(a == b); }
    static int32_t byteCount(const float&) { return 4; }
    static const void* address(const float& value) { return &value; }
};

template <> struct GuiPinValue<MpBlob> {
    static constexpr int32_t kind = KindBlob;
    static bool store(MpBlob& value, int32_t size, const void* data);
    static bool differs(const MpBlob& a, const MpBlob& b) { return !(a == b); }
    static int32_t byteCount(const MpBlob& value) { return int32_t(value.byteSize()); }
    static const void* address(const MpBlob& value) { return value.bytePointer(); }
};

template <> struct GuiPinValue<std::u16string> {
    static constexpr int32_t kind = KindText;
    static bool store(std::u16string& value, int32_t size, const void* data);
    static bool differs(const std::u16string& a, const std::u16string& b) { return a != b; }
    static int32_t byteCount(const std::u16string& value) { return int32_t(2 * value.size()); }
    static const void* address(const std::u16string& value) { return value.data(); }
};

template <class T> class MpGuiPin : public MpGuiPinBase {
public:
    using Traits = GuiPinValue<T>;

    MpGuiPin() : value() {}
    explicit MpGuiPin(T initial) : value(std::move(initial)) {}

    bool storeHostValue(int32_t, int32_t size, const void* data) final {
        if (size < 0 || !data)
            size = 0;
        return Traits::store(value, size, data);
    }
    int32_t typeCode() const override { return Traits::kind; }
    // Final: a pin sends its value's own bytes, and set-and-send calls these directly.
    virtual int32_t valueByteCount() const final { return Traits::byteCount(value); }
    virtual const void* valueAddress() const final { return Traits::address(value); }

    const T& get() const { return value; }

    // Sets the value; a change is stored and sent to the host at once.
    void setAndSend(const T& v) {
        if (!Traits::differs(value, v))
            return;
        value = v;
        sendToHost(valueByteCount(), valueAddress());
    }
    // The same, taking over a value the caller no longer needs (large texts).
    void setAndSend(T&& v) {
        if (!Traits::differs(value, v))
            return;
        value = std::move(v);
        sendToHost(valueByteCount(), valueAddress());
    }

protected:
    T value;

private:
    StoreAccess storeAccess() final {
        if constexpr (std::is_same_v<T, int32_t> || std::is_same_v<T, float>)
            return {HostStore::Word, &value};
        else if constexpr (std::is_same_v<T, std::u16string>)
            return {HostStore::Text, &value};
        else
            return {};
    }
};

using MpGuiPinBool = MpGuiPin<bool>;
using MpGuiPinInt = MpGuiPin<int32_t>;
using MpGuiPinFloat = MpGuiPin<float>;
using MpGuiPinBlob = MpGuiPin<MpBlob>;

class StringGuiPin : public MpGuiPin<std::u16string> {
public:
    using MpGuiPin::MpGuiPin;
    ~StringGuiPin() override = default;

    // Sets and sends text that the caller holds elsewhere (a buffer of its
    // own, say): it is copied into the pin's own storage only when it differs.
    void setAndSendText(std::u16string_view text) {
        if (value.size() == text.size()) {
            // The same length, as a number or colour text mostly keeps: the
            // units are compared and copied in place.
            if (text.empty() || std::memcmp(value.data(), text.data(), 2 * text.size()) == 0)
                return;
            std::memmove(value.data(), text.data(), 2 * text.size());
        } else {
            value.assign(text);
        }
        sendToHost(valueByteCount(), valueAddress());
    }
    // Converts UTF-8 with the strict converter, then sets and sends. Throws
    // std::range_error and leaves the pin as it was for text that does not convert.
    void setAndSendUtf8(const std::string& utf8);
    // Throws std::range_error for a surrogate unit.
    std::string toUtf8() const;
};

// Sends an event on a bool output: true then false (a pin already true is sent false only).
void boolPulse(MpGuiPin<bool>& pin);

// The pins of one module by index: (index, pin) entries sorted by index, each
// index once. Modules number their pins 0, 1, 2..., so the entry of index i is
// at position i and a look-up is one comparison; other indices (a gap, a
// negative or a huge one) are looked for by binary search.
class GuiPinTable {
public:
    struct Entry {
        int32_t index;
        MpGuiPinBase::HostStore store; // how the registry stores what the host sends
        uint16_t valueOffset;          // of the pin's value from the pin, for such a store
        MpGuiPinBase* pin;

        // The pin's value, for a store of the registry's own.
        void* value() const { return reinterpret_cast<char*>(pin) + valueOffset; }
    };

    // The entry with that index, or null.
    const Entry* findEntry(int32_t index) const {
        const Entry* entry = entryAtPosition(index);
        return entry ? entry : findByBisection(index);
    }
    // The entry of that index when it stands at the position of the same
    // number, as every entry does when the pins are numbered 0, 1, 2...; else null.
    const Entry* entryAtPosition(int32_t index) const {
        const size_t position = size_t(uint32_t(index));
        if (position < entries.size() && entries[position].index == index)
            return &entries[position];
        return nullptr;
    }
    MpGuiPinBase* find(int32_t index) const {
        const Entry* entry = findEntry(index);
        return entry ? entry->pin : nullptr;
    }
    // The pin with that index; throws std::out_of_range when there is none.
    MpGuiPinBase* at(int32_t index) const;
    // Enters the pin unless the index is present already, in which case the
    // earlier pin stays; false then.
    bool insert(int32_t index, MpGuiPinBase& pin);
    // 0 when empty, else the highest index + 1 (at most INT32_MAX).
    int32_t nextIndex() const;
    void reserve(size_t count) { entries.reserve(count); }

    size_t size() const { return entries.size(); }
    bool empty() const { return entries.empty(); }
    std::vector<Entry>::const_iterator begin() const { return entries.begin(); }
    std::vector<Entry>::const_iterator end() const { return entries.end(); }

private:
    const Entry* findByBisection(int32_t index) const;
    // The first entry whose index is not below `index`.
    std::vector<Entry>::const_iterator firstFrom(int32_t index) const;

    std::vector<Entry> entries;
};

// The pin registry of one module. The pins are members of the module; the
// table does not own them.
class GuiPinOwner {
public:
    virtual int32_t sendPinToHost(int32_t pinId, int32_t size, const void* data, int32_t voice) = 0;

    // Stores a value in the pin with that index; no handler runs. Four bytes
    // for an int or float pin are copied here, and a text replaces the pin's
    // without a call through the pin: the pin's own store would leave the
    // same value.
    int32_t receivePinValue(int32_t pinId, int32_t voice, int32_t size, const void* data) {
        const GuiPinTable::Entry* entry = pins.entryAtPosition(pinId);
        if (entry && entry->store == MpGuiPinBase::HostStore::Word && size == 4 && data) {
            std::memcpy(entry->value(), data, 4);
            return ResultSuccess;
        }
        return receiveOtherwise(entry, pinId, voice, size, data);
    }
    // Runs the pin's handler.
    int32_t onPinChanged(int32_t pinId, int32_t voice) {
        const GuiPinTable::Entry* entry = pins.findEntry(pinId);
        if (!entry)
            return ResultFailure;
        entry->pin->runHandler(voice);
        return ResultSuccess;
    }
    // Stores, then runs the handler only when the value changed.
    // No module of this library calls it.
    int32_t receiveAndNotify(int32_t pinId, int32_t voice, int32_t size, const void* data);

    MpGuiPinBase* findPin(int32_t pinId) const { return pins.find(pinId); }
    // 0 for the first pin, else the highest index present + 1.
    int32_t nextPinIndex() const { return pins.nextIndex(); }
    const GuiPinTable& registeredPins() const { return pins; }

    // A pin's value for the host, with voice 0: straight to the host given to
    // sendPinsStraightTo, else through sendPinToHost.
    void sendFromPin(int32_t pinId, int32_t size, const void* data) {
        if (IGuiHost* host = straightHost)
            host->acceptPinValue(pinId, size, data, 0);
        else
            sendPinToHost(pinId, size, data, 0);
    }

protected:
    GuiPinOwner() = default;
    GuiPinOwner(const GuiPinOwner&) = delete;
    GuiPinOwner& operator=(const GuiPinOwner&) = delete;
    ~GuiPinOwner() = default;

    // For a base whose sendPinToHost does nothing but pass the value to this
    // host's acceptPinValue: the pins then call it themselves, one call less
    // on every send. The base keeps the reference, and clears this (null)
    // before it lets the host go.
    void sendPinsStraightTo(IGuiHost* host) { straightHost = host; }

    // Gives the pin its index, its owner and its handler (a member function of
    // the module, or none), and enters it unless that index is present
    // already, in which case the earlier pin stays.
    void bindPin(int32_t pinId, MpGuiPinBase& pin, std::nullptr_t) { enterPin(pinId, pin); }
    template <class Module>
    void bindPin(int32_t pinId, MpGuiPinBase& pin, void (Module::*handler)()) {
        enterPin(pinId, pin);
        if (handler) {
            pin.invoker = &invokePlain<Module>;
            pin.plainHandler = static_cast<MpGuiPinBase::Handler>(handler);
        }
    }
    // The same for a handler that takes the voice.
    template <class Module>
    void bindIndexedPin(int32_t pinId, MpGuiPinBase& pin, void (Module::*handler)(int32_t voice)) {
        enterPin(pinId, pin);
        if (handler) {
            pin.invoker = &invokeWithVoice<Module>;
            pin.voiceHandler = static_cast<MpGuiPinBase::VoiceHandler>(handler);
        }
    }

    // Registration, as module constructors use it. The named forms take the
    // index from the module's list of pin indices and check that it is the
    // next one (see PinIndex.h); the others give the index as a number or
    // take the next free one.
    template <NamedPinIndex Index, class Module>
    void registerPin(Index index, MpGuiPinBase& pin, void (Module::*handler)()) {
        bindPin(takeNamedIndex(index), pin, handler);
    }
    template <NamedPinIndex Index> void registerPin(Index index, MpGuiPinBase& pin) {
        bindPin(takeNamedIndex(index), pin, nullptr);
    }
    template <NamedPinIndex Index, class Module>
    void registerIndexedPin(Index index, MpGuiPinBase& pin, void (Module::*handler)(int32_t)) {
        bindIndexedPin(takeNamedIndex(index), pin, handler);
    }
    // The forms below, with a number or the next free index, and the forms
    // with a handler taking the voice are used by no module of this library.
    template <class Module>
    void registerPin(int32_t pinId, MpGuiPinBase& pin, void (Module::*handler)()) {
        bindPin(pinId, pin, handler);
    }
    void registerPin(int32_t pinId, MpGuiPinBase& pin) { bindPin(pinId, pin, nullptr); }
    template <class Module> void registerPin(MpGuiPinBase& pin, void (Module::*handler)()) {
        bindPin(nextPinIndex(), pin, handler);
    }
    void registerPin(MpGuiPinBase& pin) { bindPin(nextPinIndex(), pin, nullptr); }
    template <class Module>
    void registerIndexedPin(int32_t pinId, MpGuiPinBase& pin, void (Module::*handler)(int32_t)) {
        bindIndexedPin(pinId, pin, handler);
    }

private:
    // Gives the pin its index and owner, clears its handler and enters it.
    void enterPin(int32_t pinId, MpGuiPinBase& pin);
    // The rest of receivePinValue, out of line so that the 4-byte store needs
    // no stack frame: a text, the pin's own store, or ResultFailure without a
    // pin. `entry` is the one found at the index's position, if any.
    int32_t receiveOtherwise(const GuiPinTable::Entry* entry, int32_t pinId, int32_t voice,
                             int32_t size, const void* data);

    template <class Module> static void invokePlain(const MpGuiPinBase& pin, int32_t) {
        Module& module = static_cast<Module&>(*pin.owner);
        (module.*static_cast<void (Module::*)()>(pin.plainHandler))();
    }
    template <class Module> static void invokeWithVoice(const MpGuiPinBase& pin, int32_t voice) {
        Module& module = static_cast<Module&>(*pin.owner);
        (module.*static_cast<void (Module::*)(int32_t)>(pin.voiceHandler))(voice);
    }

    // The named index as a number, once checked to be the next one; the
    // first makes room for the whole list.
    template <NamedPinIndex Index> int32_t takeNamedIndex(Index index) {
        const int32_t number = requireNextPinIndex(index, nextPinIndex());
        if (pins.empty())
            pins.reserve(size_t(pinIndexCount<Index>()));
        return number;
    }

    GuiPinTable pins;
    IGuiHost* straightHost = nullptr;
};

void MpGuiPinBase::sendToHost(int32_t size, const void* data) {
    if (owner)
        owner->sendFromPin(pinId, size, data);
}

void MpGuiPinBase::runHandler(int32_t voice) {
    if (invoker)
        invoker(*this, voice);
}

extern template class MpGuiPin<bool>;
extern template class MpGuiPin<int32_t>;
extern template class MpGuiPin<float>;
extern template class MpGuiPin<MpBlob>;
extern template class MpGuiPin<std::u16string>;
