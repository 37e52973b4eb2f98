// The library's factory: the registry of module creators that the host asks
// for module instances by ID and sub-type.
#pragma once

#include "ModuleApi.h"

#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>

// Makes a new module and returns it as the interface the host is to use, with
// one reference for the caller.
using ModuleCreator = gmpi::IMpUnknown* (*)();

// The fields of a key without a copy of the ID, for lookups.
struct ModuleKeyView {
    int32_t subType;
    std::u16string_view moduleId;

    // By sub-type, then by the ID's units compared as unsigned numbers.
    friend bool operator<(const ModuleKeyView& a, const ModuleKeyView& b) {
        if (a.subType != b.subType)
            return a.subType < b.subType;
        return a.moduleId < b.moduleId;
    }
};

struct ModuleKey {
    int32_t subType;
    std::u16string moduleId;

    ModuleKeyView view() const { return {subType, moduleId}; }
    friend bool operator<(const ModuleKey& a, const ModuleKey& b) { return a.view() < b.view(); }
    friend bool operator<(const ModuleKey& a, const ModuleKeyView& b) { return a.view() < b; }
    friend bool operator<(const ModuleKeyView& a, const ModuleKey& b) { return a < b.view(); }
};

class MpFactory final : public gmpi::IMpFactory2 {
public:
    int32_t queryInterface(const InterfaceId& iid, void** out) override;
    int32_t addRef() override { return 1; }
    int32_t release() override { return 1; }
    int32_t makeModule(const char16_t* moduleId, int32_t subType, gmpi::IMpUnknown* host,
                       void** out) override;
    int32_t describeBuild(int32_t* version, int32_t maxChars, char16_t* text) override;
    int32_t makeModuleWithoutHost(const char16_t* moduleId, int32_t subType, void** out) override;
    virtual ~MpFactory() = default;

    // The first registration of a key wins. Always 0.
    int32_t addModuleCreator(const char16_t* moduleId, int32_t subType, ModuleCreator creator);

    const std::map<ModuleKey, ModuleCreator, std::less<>>& registry() const {
        return registrations;
    }

private:
    int32_t create(const char16_t* moduleId, int32_t subType, gmpi::IMpUnknown* host, bool attach,
                   void** out);

    // Looked up by key views, so that making a module copies no ID.
    std::map<ModuleKey, ModuleCreator, std::less<>> registrations;
};

// The one factory of the process, created on first use.
MpFactory& factoryInstance();

// True while makeModule attaches the host of a module it has just made. A
// module refusing that host throws then, which fails the creation; a host that
// calls attachHost itself receives a result code instead.
bool attachingAtCreation();

// Called by module files from their static initialisers.
int32_t registerModule(int32_t subType, const char16_t* moduleId, ModuleCreator creator);

struct ModuleRegistration {
    int32_t subType;
    const char16_t* moduleId;
    ModuleCreator creator;
};

// The creator of a module class: a new object, handed out as its primary
// interface with one reference. A constructor that throws fails the
// creation: makeModule answers ResultFailure.
template <class Module, class Interface = gmpi::IMpUserInterface2B>
gmpi::IMpUnknown* createModule() {
    Interface* made = new Module;
    return made;
}

// The static initialiser of a module file: builds the shared colour tables if
// no initialiser has yet, then registers the file's modules in order.
bool initialiseModuleFile(std::initializer_list<ModuleRegistration> registrations);

// Entered in the exit list at load; deletes the factory and its registry.
void destroyFactoryAtExit();

// The library's only export: the .def file exports it on Windows; on Linux the
// rest of the library is hidden.
#ifdef _WIN32
extern "C" int32_t MP_GetFactory(void** out);
#else
extern "C" __attribute__((visibility("default"))) int32_t MP_GetFactory(void** out);
#endif
