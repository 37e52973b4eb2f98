// The faults that replaceFileWith meets: none unless a test has set some.
#pragma once

#include "../FileSystem.h"

namespace platform {

FileFaults& activeFileFaults();

} // namespace platform
