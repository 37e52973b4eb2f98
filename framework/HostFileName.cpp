#include "HostFileName.h"

#include "ComPtr.h"

#include <array>

std::optional<std::u16string> resolveHostFileName(IGuiHost* host, const std::u16string& name) {
    const auto legacy = gmpi_sdk::queryInterfaceOf<ILegacyGuiHost>(host);
    if (!legacy)
        return std::nullopt;
    constexpr int32_t bufferUnits = 500;
    std::array<char16_t, bufferUnits> buffer{};
    legacy->resolveFileName(name.c_str(), bufferUnits, buffer.data());
    buffer.back() = u'\0';
    return std::u16string(buffer.data());
}
