// QUORVSTINSTALLER.exe: the installer's dialog over its core.
#include "../core/Installer.h"
#include "DialogUi.h"
#include "Win32FileSystem.h"
#include "platform/BoundaryGuard.h"

#include <objbase.h>
#include <windows.h>

namespace {

// The shell's folder picker needs COM on this thread.
class ComApartment {
public:
    ComApartment()
        : initialised_(SUCCEEDED(
              CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ComApartment() {
        if (initialised_)
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    const bool initialised_;
};

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // The form's twips become pixels at the screen's real DPI.
    SetProcessDPIAware();
    const ComApartment com;
    return guardedCallRecovering(
        [&] {
            installer::Win32FileSystem files;
            installer::DialogUi ui(instance);
            return installer::exitCode(installer::Main(files, ui, installer::programFolder()));
        },
        [] {
            MessageBoxW(nullptr,
                        reinterpret_cast<const wchar_t*>(
                            u"The installer stopped after an unexpected error"),
                        reinterpret_cast<const wchar_t*>(installer::errorTitle),
                        MB_OK | MB_ICONERROR);
            return installer::exitCode(installer::Outcome::Failed);
        });
}
