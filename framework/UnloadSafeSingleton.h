// The process-wide object of a service (the tick service, the image cache, the
// font cache): built on first use, destroyed by the library's exit list at
// unload, and safe for calls that arrive while it is destroyed or after.
//
// Define one per service type as a constinit global in the service's source
// file; the service's own instance(), existing() and exit-list entry, defined
// out of line there, forward to it. It has no destructor of its own, so
// nothing of it enters the exit list at load.
#pragma once

#include <cstdlib>
#include <type_traits>
#include <utility>

template <class T> class UnloadSafeSingleton {
public:
    constexpr UnloadSafeSingleton() = default;
    UnloadSafeSingleton(const UnloadSafeSingleton&) = delete;
    UnloadSafeSingleton& operator=(const UnloadSafeSingleton&) = delete;

    // The object. The first call builds it and enters exitEntry, which is to
    // call destroy(), in the exit list, under the thread-safe initialisation
    // of a function-local static. Only code that runs after the exit list
    // finds no object: it gets a new one, which nothing destroys.
    T& instance(void (*exitEntry)()) {
        static const bool built = [this, exitEntry] {
            object = new T;
            std::atexit(exitEntry);
            return true;
        }();
        (void)built;
        if (!object)
            object = new T;
        return *object;
    }

    // The object when it exists: null before first use, while destroy() runs
    // and after it, so that a client destroyed late finds none to leave.
    T* existing() const { return object; }

    // The exit-list entry's work: forgets the object, then destroys it.
    void destroy() { delete std::exchange(object, nullptr); }

private:
    T* object = nullptr;
};

static_assert(std::is_trivially_destructible_v<UnloadSafeSingleton<int>>);
