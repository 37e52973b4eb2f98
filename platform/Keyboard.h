// Keyboard state as GetKeyState reports it: negative while the key is held.
#pragma once

#include <cstdint>

namespace platform {

enum VirtualKey : int32_t { KeyShift = 0x10, KeyControl = 0x11, KeyAlt = 0x12 };

int16_t getKeyState(int32_t virtualKey);

} // namespace platform
