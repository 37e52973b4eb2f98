// What the Linux window table shows a test beyond the window functions
// themselves. Linux only.
#pragma once

#include "../Windowing.h"

namespace platform::standin {

// Windows that exist now.
size_t windowCount();
// PostQuitMessage calls so far.
int32_t quitMessagesPosted();
// InvalidateRect calls that named this window.
int32_t invalidations(WindowHandle window);

} // namespace platform::standin
