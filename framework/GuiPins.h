// GUI pins: typed values with an index in their module, an owner that sends
// them to the host, and an optional handler that runs when the host reports a
// change.
#pragma once

#include "ModuleApi.h"
#include "MpBlob.h"

#include <map>
#include <memory>
#include <string>

class GuiPinOwner;

// A bound pin handler.
class IGuiPinCallbackImpl {
public:
    virtual ~IGuiPinCallbackImpl() = default;
    virtual void runHandler(int32_t voice) = 0;
};

// Runs a member function of the module without arguments; the voice is dropped.
template <class Module> class IGuiPinCallback final : public IGuiPinCallbackImpl {
public:
    using Handler = void (Module::*)();
    IGuiPinCallback(Module* target, Handler handler) : target(target), handler(handler) {}
    void runHandler(int32_t) override { (target->*handler)(); }

private:
    Module* target;
    Handler handler;
};

// Runs a member function of the module that takes the voice.
// No module of this library uses this class.
template <class Module> class IGuiPinCallbackIndexed final : public IGuiPinCallbackImpl {
public:
    using Handler = void (Module::*)(int32_t voice);
    IGuiPinCallbackIndexed(Module* target, Handler handler) : target(target), handler(handler) {}
    void runHandler(int32_t voice) override { (target->*handler)(voice); }

private:
    Module* target;
    Handler handler;
};

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
    void runHandler(int32_t voice) {
        if (callback)
            callback->runHandler(voice);
    }
    bool hasHandler() const { return callback != nullptr; }

protected:
    // Passes the pin's value to the host through its owner, with voice 0.
    void sendToHost(int32_t size, const void* data);

private:
    friend class GuiPinOwner;
    int32_t pinId = -1;
    GuiPinOwner* owner = nullptr;
    std::unique_ptr<IGuiPinCallbackImpl> callback;
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

    bool storeHostValue(int32_t, int32_t size, const void* data) override {
        if (size < 0 || !data)
            size = 0;
        return Traits::store(value, size, data);
    }
    int32_t typeCode() const override { return Traits::kind; }
    virtual int32_t valueByteCount() const { return Traits::byteCount(value); }
    virtual const void* valueAddress() const { return Traits::address(value); }

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
};

using MpGuiPinBool = MpGuiPin<bool>;
using MpGuiPinInt = MpGuiPin<int32_t>;
using MpGuiPinFloat = MpGuiPin<float>;
using MpGuiPinBlob = MpGuiPin<MpBlob>;

class StringGuiPin : public MpGuiPin<std::u16string> {
public:
    using MpGuiPin::MpGuiPin;
    ~StringGuiPin() override = default;

    // Converts UTF-8 with the strict converter, then sets and sends. Throws
    // std::range_error and leaves the pin as it was for text that does not convert.
    void setAndSendUtf8(const std::string& utf8);
    // Throws std::range_error for a surrogate unit.
    std::string toUtf8() const;
};

// Sends an event on a bool output: true then false (a pin already true is sent false only).
void boolPulse(MpGuiPin<bool>& pin);

// The pin registry of one module. The pins are members of the module; the map
// does not own them.
class GuiPinOwner {
public:
    virtual int32_t sendPinToHost(int32_t pinId, int32_t size, const void* data, int32_t voice) = 0;

    // Stores a value in the pin with that index; no handler runs.
    int32_t receivePinValue(int32_t pinId, int32_t voice, int32_t size, const void* data);
    // Runs the pin's handler.
    int32_t onPinChanged(int32_t pinId, int32_t voice);
    // Stores, then runs the handler only when the value changed.
    // No module of this library calls it.
    int32_t receiveAndNotify(int32_t pinId, int32_t voice, int32_t size, const void* data);

    MpGuiPinBase* findPin(int32_t pinId) const;
    // 0 for the first pin, else the highest index present + 1.
    int32_t nextPinIndex() const;
    const std::map<int32_t, MpGuiPinBase*>& registeredPins() const { return pins; }

protected:
    GuiPinOwner() = default;
    GuiPinOwner(const GuiPinOwner&) = delete;
    GuiPinOwner& operator=(const GuiPinOwner&) = delete;
    ~GuiPinOwner() = default;

    // Gives the pin its index, owner and callback (may be null), and enters it
    // unless that index is present already.
    void bindPin(int32_t pinId, MpGuiPinBase& pin, std::unique_ptr<IGuiPinCallbackImpl> callback);

    template <class Module>
    void bindPin(int32_t pinId, MpGuiPinBase& pin, Module* target, void (Module::*handler)()) {
        bindPin(pinId, pin,
                handler ? std::make_unique<IGuiPinCallback<Module>>(target, handler) : nullptr);
    }
    template <class Module>
    void bindIndexedPin(int32_t pinId, MpGuiPinBase& pin, Module* target,
                        void (Module::*handler)(int32_t)) {
        bindPin(pinId, pin,
                handler ? std::make_unique<IGuiPinCallbackIndexed<Module>>(target, handler)
                        : nullptr);
    }

    std::map<int32_t, MpGuiPinBase*> pins;
};

extern template class MpGuiPin<bool>;
extern template class MpGuiPin<int32_t>;
extern template class MpGuiPin<float>;
extern template class MpGuiPin<MpBlob>;
extern template class MpGuiPin<std::u16string>;
