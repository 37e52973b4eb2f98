// QUORVSTINSTALLER on Linux: the installer's core behind a terminal stand-in
// of its dialog.
#include "../core/Installer.h"
#include "../core/TerminalUi.h"
#include "PosixFileSystem.h"
#include "platform/BoundaryGuard.h"

#include <iostream>

int main() {
    return guardedCallRecovering(
        [] {
            installer::PosixFileSystem files;
            installer::TerminalUi ui(std::cin, std::cout);
            return installer::exitCode(installer::Main(files, ui, installer::programFolder()));
        },
        [] {
            std::cout
                << "INSTALLER SYSTEM ERROR: the installer stopped after an unexpected error\n";
            return installer::exitCode(installer::Outcome::Failed);
        });
}
