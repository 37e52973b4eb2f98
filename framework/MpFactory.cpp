#include "MpFactory.h"

#include "../platform/BoundaryGuard.h"
#include "../platform/ScopedValue.h"
#include "SrgbTables.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

namespace {

// Constant-initialised: valid before any dynamic initialiser runs.
constinit MpFactory* factoryPointer = nullptr;

// Set while makeModule runs a new module's attachHost, on the calling thread
// only; a creation nested in that attachHost leaves it set for the outer one.
thread_local bool creationAttachRunning = false;

constexpr std::u16string_view buildText = u"GCC Compiler V1014 (Release)";
constexpr int32_t buildVersion = 30800;

} // namespace

int32_t MpFactory::queryInterface(const InterfaceId& iid, void** out) {
    if (!out)
        return ResultFailure;
    *out = nullptr;
    if (iid == iidOf<gmpi::IMpUnknown>() || iid == iidOf<gmpi::IMpFactory>() ||
        iid == iidOf<gmpi::IMpFactory2>()) {
        *out = static_cast<gmpi::IMpFactory2*>(this);
        addRef();
        return ResultSuccess;
    }
    return ResultUnsupported;
}

int32_t MpFactory::create(const char16_t* moduleId, int32_t subType, gmpi::IMpUnknown* host,
                          bool attach, void** out) {
    if (!out)
        return ResultFailure;
    *out = nullptr;
    if (!moduleId)
        return ResultUnsupported;
    gmpi::IMpUnknown* made = nullptr;
    return guardedCallRecovering(
        [&]() -> int32_t {
            const auto entry = registrations.find(ModuleKeyView{subType, moduleId});
            if (entry == registrations.end() || !entry->second)
                return ResultUnsupported;
            made = entry->second();
            if (made && attach) {
                if (auto* legacy = dynamic_cast<gmpi::IMpLegacyInitialization*>(made)) {
                    const RestoringScope attaching(creationAttachRunning, true);
                    legacy->attachHost(host);
                }
            }
            *out = made;
            return ResultSuccess;
        },
        [&]() -> int32_t {
            // The module that attachHost refused is released rather than handed out.
            if (made)
                made->release();
            return ResultFailure;
        });
}

int32_t MpFactory::makeModule(const char16_t* moduleId, int32_t subType, gmpi::IMpUnknown* host,
                              void** out) {
    return create(moduleId, subType, host, true, out);
}

int32_t MpFactory::makeModuleWithoutHost(const char16_t* moduleId, int32_t subType, void** out) {
    return create(moduleId, subType, nullptr, false, out);
}

int32_t MpFactory::describeBuild(int32_t* version, int32_t maxChars, char16_t* text) {
    if (version)
        *version = buildVersion;
    if (text && maxChars > 0) {
        const size_t units = std::min(buildText.size(), size_t(maxChars) - 1);
        buildText.copy(text, units);
        text[units] = u'\0';
    }
    return ResultSuccess;
}

int32_t MpFactory::addModuleCreator(const char16_t* moduleId, int32_t subType,
                                    ModuleCreator creator) {
    if (moduleId)
        registrations.emplace(ModuleKey{subType, moduleId}, creator);
    return 0;
}

bool attachingAtCreation() {
    return creationAttachRunning;
}

MpFactory& factoryInstance() {
    if (!factoryPointer)
        factoryPointer = new MpFactory;
    return *factoryPointer;
}

int32_t registerModule(int32_t subType, const char16_t* moduleId, ModuleCreator creator) {
    if (!moduleId)
        return 0;
    return factoryInstance().addModuleCreator(moduleId, subType, creator);
}

bool initialiseModuleFile(std::initializer_list<ModuleRegistration> registrations) {
    ensureSrgbTables();
    for (const ModuleRegistration& r : registrations)
        registerModule(r.subType, r.moduleId, r.creator);
    return true;
}

void destroyFactoryAtExit() {
    delete factoryPointer;
    factoryPointer = nullptr;
}

namespace {
// The factory file's initialiser only enters the factory's deletion in the exit list.
[[maybe_unused]] const bool factoryFileInitialised = [] {
    return std::atexit(destroyFactoryAtExit) == 0;
}();
} // namespace

extern "C" int32_t MP_GetFactory(void** out) {
    if (!out)
        return ResultFailure;
    *out = nullptr;
    return guardedCall(ResultFailure, [&] {
        return factoryInstance().queryInterface(iidOf<gmpi::IMpUnknown>(), out);
    });
}
