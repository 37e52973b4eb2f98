// The older host's file-name resolution, as the file modules use it.
#pragma once

#include "HostApi.h"

#include <optional>
#include <string>

// Asks the host's ILegacyGuiHost to resolve name (the empty name gives the
// host's default folder) into a zero-filled buffer of 500 units whose last
// unit stays zero whatever the host writes; the result code is not looked at.
// None when there is no host or it does not offer ILegacyGuiHost. The name is
// passed as zero-terminated text: the host sees it up to its first zero unit.
std::optional<std::u16string> resolveHostFileName(IGuiHost* host, const std::u16string& name);
