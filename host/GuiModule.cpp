#include "GuiModule.h"

namespace testhost {

GuiModule::GuiModule(gmpi::IMpFactory* factory, const std::u16string& moduleId, TestHost& host,
                     bool attach, int32_t subType) {
    void* out = nullptr;
    makeResult = factory->makeModule(moduleId.c_str(), subType, host.object(), &out);
    made = gmpi_sdk::ComPtr<gmpi::IMpUnknown>(static_cast<gmpi::IMpUnknown*>(out));
    ui = gmpi_sdk::queryInterfaceOf<gmpi::IMpUserInterface2>(made.get());
    if (ui && attach)
        attachResult = ui->attachHost(host.object());
}

} // namespace testhost
