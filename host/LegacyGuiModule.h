// An older-kind (GuiPart) module made through a factory, which attaches the
// host itself, with the host's side of the pin traffic.
#pragma once

#include "../framework/ComPtr.h"
#include "../framework/ModuleApi.h"
#include "PinBytes.h"
#include "TestHost.h"

#include <string>

namespace testhost {

class LegacyGuiModule {
public:
    LegacyGuiModule(gmpi::IMpFactory* factory, const std::u16string& moduleId, TestHost& host) {
        void* out = nullptr;
        makeResult = factory->makeModule(moduleId.c_str(), GuiPart, host.object(), &out);
        // The older kind is handed out as its primary interface.
        ui = gmpi_sdk::ComPtr<gmpi::IMpUserInterface>(static_cast<gmpi::IMpUserInterface*>(out));
    }

    explicit operator bool() const { return bool(ui); }
    gmpi::IMpUserInterface* operator->() const { return ui.get(); }
    gmpi::IMpUserInterface* get() const { return ui.get(); }

    int32_t makeResult = ResultFailure;

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

    void reset() { ui.reset(); }

private:
    gmpi_sdk::ComPtr<gmpi::IMpUserInterface> ui;
};

} // namespace testhost
