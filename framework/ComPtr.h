// Owner of one counted reference to an interface.
#pragma once

#include "MpTypes.h"

#include <utility>

namespace gmpi_sdk {

template <class T> class ComPtr {
public:
    ComPtr() = default;
    // Takes over a reference that the caller already holds.
    explicit ComPtr(T* adopted) : object(adopted) {}
    ComPtr(const ComPtr& other) : object(other.object) {
        if (object)
            object->addRef();
    }
    ComPtr(ComPtr&& other) noexcept : object(std::exchange(other.object, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(object, other.object);
        return *this;
    }
    ~ComPtr() { reset(); }

    // Adds a reference of its own to a borrowed pointer.
    static ComPtr share(T* borrowed) {
        if (borrowed)
            borrowed->addRef();
        return ComPtr(borrowed);
    }

    T* get() const { return object; }
    T* operator->() const { return object; }
    explicit operator bool() const { return object != nullptr; }

    void reset() {
        if (T* old = std::exchange(object, nullptr))
            old->release();
    }
    // Out-parameter for host calls that hand back a new reference.
    T** put() {
        reset();
        return &object;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }
    T* detach() { return std::exchange(object, nullptr); }

private:
    T* object = nullptr;
};

// Asks an object for an interface; empty when it does not answer with a pointer.
template <class I> ComPtr<I> queryInterfaceOf(gmpi::IMpUnknown* object) {
    ComPtr<I> result;
    if (object)
        object->queryInterface(iidOf<I>(), result.putVoid());
    return result;
}

} // namespace gmpi_sdk
