// Sets the keyboard state that GetKeyState reads on the test thread: the
// thread's key-state table on Windows, the stand-in's table on Linux.
#pragma once

#include <cstdint>

namespace testhost {

void setKeyDown(int32_t virtualKey, bool down);

} // namespace testhost
