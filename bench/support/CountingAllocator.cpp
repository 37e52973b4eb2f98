#include "CountingAllocator.h"

#include <malloc.h>

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> counting{false};
std::atomic<uint64_t> allocations{0}, bytesAllocated{0}, bytesFreed{0};

constexpr std::size_t plain = alignof(std::max_align_t);
// The size word that the C library's heap keeps in front of every block.
constexpr std::size_t blockHeader = sizeof(std::size_t);

std::size_t heldFor(void* block) {
    return malloc_usable_size(block) + blockHeader;
}

void* allocate(std::size_t size, std::size_t alignment) {
    if (size == 0)
        size = 1;
    void* block =
        alignment > alignof(std::max_align_t)
            ? std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment)
            : std::malloc(size);
    if (block && counting.load(std::memory_order_relaxed)) {
        allocations.fetch_add(1, std::memory_order_relaxed);
        bytesAllocated.fetch_add(heldFor(block), std::memory_order_relaxed);
    }
    return block;
}

void* allocateOrThrow(std::size_t size, std::size_t alignment) {
    void* block = allocate(size, alignment);
    if (!block)
        throw std::bad_alloc();
    return block;
}

void deallocate(void* block) {
    if (block && counting.load(std::memory_order_relaxed))
        bytesFreed.fetch_add(heldFor(block), std::memory_order_relaxed);
    std::free(block);
}

} // namespace

namespace bench {

void startHeapCount() {
    allocations = 0;
    bytesAllocated = 0;
    bytesFreed = 0;
    counting = true;
}

HeapCount stopHeapCount() {
    counting = false;
    return {allocations.load(), bytesAllocated.load(), bytesFreed.load()};
}

} // namespace bench

void* operator new(std::size_t size) {
    return allocateOrThrow(size, plain);
}
void* operator new[](std::size_t size) {
    return allocateOrThrow(size, plain);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return allocate(size, plain);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return allocate(size, plain);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    return allocateOrThrow(size, std::size_t(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return allocateOrThrow(size, std::size_t(alignment));
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return allocate(size, std::size_t(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return allocate(size, std::size_t(alignment));
}

void operator delete(void* block) noexcept {
    deallocate(block);
}
void operator delete[](void* block) noexcept {
    deallocate(block);
}
void operator delete(void* block, std::size_t) noexcept {
    deallocate(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    deallocate(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    deallocate(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    deallocate(block);
}
void operator delete(void* block, std::align_val_t) noexcept {
    deallocate(block);
}
void operator delete[](void* block, std::align_val_t) noexcept {
    deallocate(block);
}
void operator delete(void* block, std::size_t, std::align_val_t) noexcept {
    deallocate(block);
}
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept {
    deallocate(block);
}
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept {
    deallocate(block);
}
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept {
    deallocate(block);
}
