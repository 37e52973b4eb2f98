#include "FileSystemFaults.h"

namespace platform {
namespace {

class NoFaults final : public FileFaults {};

NoFaults noFaults;
FileFaults* installed = &noFaults;

} // namespace

FileFaults& activeFileFaults() {
    return *installed;
}

void setFileFaults(FileFaults* faults) {
    installed = faults ? faults : &noFaults;
}

} // namespace platform
