// The built module library, loaded once per program through MP_GetFactory as
// a host loads it, and modules made through its factory.
#pragma once

#include "framework/ComPtr.h"
#include "framework/ModuleApi.h"
#include "host/ModuleLibrary.h"

#include <stdexcept>
#include <string>

namespace bench {

// Throws std::runtime_error when the library does not load.
inline testhost::ModuleLibrary& library() {
    static testhost::ModuleLibrary loaded(testhost::ModuleLibrary::defaultPath());
    return loaded;
}

// A module made by the factory's makeModule with the host given (which
// attaches the host to the kinds that the factory attaches); null on failure.
inline gmpi_sdk::ComPtr<gmpi::IMpUnknown> makeModule(gmpi::IMpFactory2* factory, const char16_t* id,
                                                     int32_t subType, gmpi::IMpUnknown* host) {
    void* made = nullptr;
    if (factory->makeModule(id, subType, host, &made) != ResultSuccess)
        return {};
    return gmpi_sdk::ComPtr<gmpi::IMpUnknown>(static_cast<gmpi::IMpUnknown*>(made));
}

// Makes a module as a host does and attaches the host: makeModule attaches
// the kinds that the factory attaches itself, the host the Gui2Part kind.
// Null when it is not made or refuses the host.
inline gmpi_sdk::ComPtr<gmpi::IMpUnknown> makeAndAttach(gmpi::IMpFactory2* factory,
                                                        const char16_t* id, int32_t subType,
                                                        gmpi::IMpUnknown* host) {
    auto made = makeModule(factory, id, subType, host);
    if (!made || subType != Gui2Part)
        return made;
    const auto ui = gmpi_sdk::queryInterfaceOf<gmpi::IMpUserInterface2>(made.get());
    if (!ui || ui->attachHost(host) != ResultSuccess)
        return {};
    return made;
}

} // namespace bench
