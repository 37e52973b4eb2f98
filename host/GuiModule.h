// A GUI module made through a factory and attached to a test host, with the
// host's side of the pin traffic.
#pragma once

#include "../framework/ComPtr.h"
#include "../framework/ModuleApi.h"
#include "PinBytes.h"
#include "TestHost.h"

#include <string>

namespace testhost {

class GuiModule {
public:
    // Makes the module with makeModule and, when `attach`, calls its attachHost.
    GuiModule(gmpi::IMpFactory* factory, const std::u16string& moduleId, TestHost& host,
              bool attach = true, int32_t subType = Gui2Part);

    explicit operator bool() const { return bool(ui); }
    gmpi::IMpUserInterface2* operator->() const { return ui.get(); }
    gmpi::IMpUserInterface2* get() const { return ui.get(); }
    gmpi::IMpUnknown* unknown() const { return made.get(); }

    int32_t makeResult = ResultFailure;
    int32_t attachResult = ResultFailure;

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

    void reset() {
        ui.reset();
        made.reset();
    }

private:
    gmpi_sdk::ComPtr<gmpi::IMpUnknown> made;
    gmpi_sdk::ComPtr<gmpi::IMpUserInterface2> ui;
};

} // namespace testhost
