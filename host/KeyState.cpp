#include "KeyState.h"

#ifdef _WIN32
#include <windows.h>
#else
#include "../platform/StandIn.h"
#endif

namespace testhost {

void setKeyDown(int32_t virtualKey, bool down) {
#ifdef _WIN32
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[virtualKey & 0xFF] = down ? 0x80 : 0x00;
    SetKeyboardState(keys);
#else
    platform::standin::setKeyDown(virtualKey, down);
#endif
}

} // namespace testhost
