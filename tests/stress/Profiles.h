// What the stress run knows of each registration: which of the host's
// interfaces drive it and what each of its pins means, so that it can send
// values of the right type and of the kind that reaches the interesting code
// (picture names, item lists, colours, file names), besides wrong ones. The
// pins' roles come from the host's description of the library
// (host/ModulePins.h), which the reference host lists too.
#pragma once

#include "host/ModulePins.h"

#include <cstdint>
#include <string>
#include <vector>

namespace stress {

using testhost::ModuleKind;
using testhost::PinRole;

// Roles whose values reach the file system (ReadFile, WriteFile, Folder,
// UpTrigger): they only ever carry names the run made, inside its own
// folder, whatever the operation.
bool touchesFiles(PinRole role);

struct PinProfile {
    int32_t index;
    PinRole role;
};

struct ModuleProfile {
    int32_t subType;
    std::u16string id;
    ModuleKind kind;
    std::vector<PinProfile> pins;
    // Pins the host adds beyond the registered ones, all of one role: the
    // splitters' copies (at most addedPins of them) and the radio-button
    // group's outputs (as many as the host's pin count says).
    PinRole addedRole = PinRole::Int;
    int32_t addedPins = 0;

    const PinProfile* pin(int32_t index) const;
    std::string label() const; // testhost::moduleLabel
};

// The profile of one registration's description.
ModuleProfile profileOf(const testhost::ModuleDescription& module);

// One profile for each registration of the library, in the order of its
// descriptions; a case depends on its registration, not on that order.
const std::vector<ModuleProfile>& moduleProfiles();

} // namespace stress
