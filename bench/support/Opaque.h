// A pointer the compiler can no longer trace to the object it came from, so
// that calls through it stay virtual, as a module's calls through the host's
// interfaces are. A register operand alone: with benchmark::DoNotOptimize's
// operand of two alternatives ("+m,r") GCC 12 at -O3 has been seen to read the
// pointer back from a stack slot it never wrote.
#pragma once

namespace bench {

template <class T> T* opaque(T* pointer) {
    asm volatile("" : "+r"(pointer));
    return pointer;
}

} // namespace bench
