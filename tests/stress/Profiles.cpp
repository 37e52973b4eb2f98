#include "Profiles.h"

namespace stress {

bool touchesFiles(PinRole role) {
    return role == PinRole::ReadFile || role == PinRole::WriteFile || role == PinRole::Folder ||
           role == PinRole::UpTrigger;
}

const PinProfile* ModuleProfile::pin(int32_t index) const {
    for (const PinProfile& p : pins)
        if (p.index == index)
            return &p;
    return nullptr;
}

std::string ModuleProfile::label() const {
    return testhost::moduleLabel(subType, id);
}

// A splitter is given three copies of its pin: each one more makes every
// value one send more, at every depth of nesting.
constexpr int32_t splitterCopies = 3;

ModuleProfile profileOf(const testhost::ModuleDescription& module) {
    ModuleProfile profile{module.subType, module.id, module.kind, {}};
    for (const testhost::PinDescription& p : module.pins)
        profile.pins.push_back({p.index, p.role});
    if (module.added) {
        profile.addedRole = module.added->role;
        // The older kind's outputs are as many as the host's pin count says.
        profile.addedPins = module.kind == ModuleKind::Legacy ? 0 : splitterCopies;
    }
    return profile;
}

const std::vector<ModuleProfile>& moduleProfiles() {
    static const std::vector<ModuleProfile> profiles = [] {
        std::vector<ModuleProfile> all;
        for (const testhost::ModuleDescription& module : testhost::moduleDescriptions())
            all.push_back(profileOf(module));
        return all;
    }();
    return profiles;
}

} // namespace stress
