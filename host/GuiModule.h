// A GUI module made through a factory and attached to a test host, with the
// host's side of the pin traffic.
#pragma once

#include "PinTraffic.h"
#include "TestHost.h"

#include <string>

namespace testhost {

class GuiModule : public PinTraffic<gmpi::IMpUserInterface2> {
public:
    // Makes the module with makeModule and, when `attach`, calls its attachHost.
    GuiModule(gmpi::IMpFactory* factory, const std::u16string& moduleId, TestHost& host,
              bool attach = true, int32_t subType = Gui2Part);

    gmpi::IMpUnknown* unknown() const { return made.get(); }

    int32_t makeResult = ResultFailure;
    int32_t attachResult = ResultFailure;

    void reset() {
        ui.reset();
        made.reset();
    }

private:
    gmpi_sdk::ComPtr<gmpi::IMpUnknown> made;
};

} // namespace testhost
