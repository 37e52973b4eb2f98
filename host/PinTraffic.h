// The host's side of a GUI module's pin traffic, for either GUI interface: the
// values a host sets and the changes it reports.
#pragma once

#include "../framework/ComPtr.h"
#include "../framework/ModuleApi.h"
#include "PinBytes.h"

namespace testhost {

template <class Interface> class PinTraffic {
public:
    explicit operator bool() const { return bool(ui); }
    Interface* operator->() const { return ui.get(); }
    Interface* get() const { return ui.get(); }

    int32_t receive(int32_t pinId, const Bytes& bytes, int32_t voice = 0) const {
        return ui->receivePinValue(pinId, voice, int32_t(bytes.size()), bytes.data());
    }
    int32_t changed(int32_t pinId, int32_t voice = 0) const {
        return ui->onPinChanged(pinId, voice);
    }
    // What a host does when a pin's value changes: set it, then report the change.
    template <class T> int32_t set(int32_t pinId, const T& value) const {
        const int32_t stored = receive(pinId, bytesOf(value));
        const int32_t notified = changed(pinId);
        return stored != ResultSuccess ? stored : notified;
    }

protected:
    gmpi_sdk::ComPtr<Interface> ui;
};

} // namespace testhost
