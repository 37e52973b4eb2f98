// The release of an object that counts its own references.
#pragma once

#include <cstdint>

// One reference fewer on `count`, the object's own counter; the last one
// deletes the object. Answers the references left, read before the delete.
template <class Object> int32_t releaseReference(Object* object, int32_t& count) {
    const int32_t left = --count;
    if (left == 0)
        delete object;
    return left;
}
