#include "ModuleLibrary.h"

#include <cstdlib>
#include <stdexcept>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace testhost {
namespace {

#ifdef _WIN32
std::wstring widen(const std::string& utf8) {
    const int units = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::wstring out(size_t(units > 0 ? units : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, out.data(), units);
    out.resize(out.size() - 1);
    for (wchar_t& c : out)
        if (c == L'/')
            c = L'\\';
    return out;
}
#endif

// Why the last load failed, in the loader's own words.
std::string loadError() {
#ifdef _WIN32
    const DWORD code = GetLastError();
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string out;
    if (length > 0) {
        const int bytes =
            WideCharToMultiByte(CP_UTF8, 0, text, int(length), nullptr, 0, nullptr, nullptr);
        out.assign(size_t(bytes > 0 ? bytes : 0), '\0');
        WideCharToMultiByte(CP_UTF8, 0, text, int(length), out.data(), bytes, nullptr, nullptr);
    }
    if (text)
        LocalFree(text);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' '))
        out.pop_back();
    return (out.empty() ? "" : out + " ") + "(error " + std::to_string(code) + ")";
#else
    const char* text = dlerror();
    return text ? text : "no reason given";
#endif
}

std::string programFolder() {
#ifdef _WIN32
    wchar_t buffer[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(nullptr, buffer, DWORD(std::size(buffer)));
    std::wstring path(buffer, length);
    const auto cut = path.find_last_of(L"\\/");
    path = cut == std::wstring::npos ? L"." : path.substr(0, cut);
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(size_t(bytes > 0 ? bytes : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, out.data(), bytes, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
#else
    char buffer[4096];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    std::string path(buffer, length > 0 ? size_t(length) : 0);
    const auto cut = path.find_last_of('/');
    return cut == std::string::npos ? "." : path.substr(0, cut);
#endif
}

} // namespace

ModuleLibrary::ModuleLibrary(const std::string& path) {
#ifdef _WIN32
    handle = LoadLibraryW(widen(path).c_str());
    if (handle)
        entry = reinterpret_cast<GetFactory>(
            reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), "MP_GetFactory")));
#else
    handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle)
        entry = reinterpret_cast<GetFactory>(dlsym(handle, "MP_GetFactory"));
#endif
    if (!handle)
        throw std::runtime_error("cannot load " + path + ": " + loadError());
    if (!entry) {
        unload();
        throw std::runtime_error(path + " has no MP_GetFactory");
    }
    void* out = nullptr;
    if (entry(&out) != ResultSuccess || !out) {
        unload();
        throw std::runtime_error(path + ": MP_GetFactory failed");
    }
    // MP_GetFactory answers with the IMpUnknown form; the host asks for the factory.
    auto* unknown = static_cast<gmpi::IMpUnknown*>(out);
    void* factory = nullptr;
    unknown->queryInterface(iidOf<gmpi::IMpFactory2>(), &factory);
    factoryObject = static_cast<gmpi::IMpFactory2*>(factory);
    if (!factoryObject) {
        unload();
        throw std::runtime_error(path + ": the factory lacks IMpFactory2");
    }
}

ModuleLibrary::~ModuleLibrary() {
    unload();
}

int32_t ModuleLibrary::getFactory(void** out) const {
    return entry ? entry(out) : ResultFailure;
}

void ModuleLibrary::unload() {
    factoryObject = nullptr;
    entry = nullptr;
    if (!handle)
        return;
#ifdef _WIN32
    FreeLibrary(static_cast<HMODULE>(handle));
#else
    dlclose(handle);
#endif
    handle = nullptr;
}

std::string ModuleLibrary::defaultPath() {
    if (const char* fromEnvironment = std::getenv("TAVRI_SEM"); fromEnvironment && *fromEnvironment)
        return fromEnvironment;
    return programFolder() + "/TavriGUIModules_x64.sem";
}

} // namespace testhost
