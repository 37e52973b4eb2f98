// Counts the heap blocks of the whole process, those of a library loaded
// with dlopen included: the program replaces the global operator new and
// delete, and the library binds to the program's definitions, as it binds to
// every global symbol that it does not define itself. A block is measured as
// the heap holds it: its usable size and the size word in front of it. Counting is off
// until started, so that timed code pays only for a test of one flag.
#pragma once

#include <cstdint>

namespace bench {

struct HeapCount {
    uint64_t allocations = 0;    // blocks allocated while counting
    uint64_t bytesAllocated = 0; // what the heap holds for them
    uint64_t bytesFreed = 0;     // the same of blocks freed while counting

    int64_t bytesHeld() const { return int64_t(bytesAllocated) - int64_t(bytesFreed); }
};

void startHeapCount();
// What was counted since startHeapCount; counting stops.
HeapCount stopHeapCount();

} // namespace bench
