// Loads a built module library and gets its factory through MP_GetFactory, as
// the real host does.
#pragma once

#include "../framework/ComPtr.h"
#include "../framework/ModuleApi.h"

#include <string>

namespace testhost {

class ModuleLibrary {
public:
    // Throws std::runtime_error when the file does not load or lacks the export.
    explicit ModuleLibrary(const std::string& path);
    ModuleLibrary(const ModuleLibrary&) = delete;
    ModuleLibrary& operator=(const ModuleLibrary&) = delete;
    ~ModuleLibrary();

    // The factory as the host receives it from MP_GetFactory.
    gmpi::IMpFactory2* factory() const { return factoryObject; }
    int32_t getFactory(void** out) const;

    // Unloads now (runs the library's exit list); the factory is gone afterwards.
    void unload();
    bool loaded() const { return handle != nullptr; }

    // TAVRI_SEM when set, else TavriGUIModules_x64.sem beside the running program.
    static std::string defaultPath();

private:
    using GetFactory = int32_t (*)(void**);
    void* handle = nullptr;
    GetFactory entry = nullptr;
    gmpi::IMpFactory2* factoryObject = nullptr;
};

} // namespace testhost
