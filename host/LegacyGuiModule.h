// An older-kind (GuiPart) module made through a factory, which attaches the
// host itself, with the host's side of the pin traffic.
#pragma once

#include "PinTraffic.h"
#include "TestHost.h"

#include <string>

namespace testhost {

class LegacyGuiModule : public PinTraffic<gmpi::IMpUserInterface> {
public:
    LegacyGuiModule(gmpi::IMpFactory* factory, const std::u16string& moduleId, TestHost& host) {
        void* out = nullptr;
        makeResult = factory->makeModule(moduleId.c_str(), GuiPart, host.object(), &out);
        // The older kind is handed out as its primary interface.
        ui = gmpi_sdk::ComPtr<gmpi::IMpUserInterface>(static_cast<gmpi::IMpUserInterface*>(out));
    }

    int32_t makeResult = ResultFailure;

    void reset() { ui.reset(); }
};

} // namespace testhost
