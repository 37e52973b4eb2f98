// The guard of an entry point (a host-facing operation, a window procedure):
// no exception crosses it.
// Each form runs the body it is given and answers the body's result; they
// differ only in what an exception from the body gives instead. The guards are
// always inlined, so that a guarded operation compiles as if it had written
// its try block by hand.
#pragma once

#include <type_traits>
#include <utility>

// An exception answers `onFailure`, converted to the body's result type.
template <class Failure, class Body>
[[gnu::always_inline]] inline std::invoke_result_t<Body&> guardedCall(Failure&& onFailure,
                                                                      Body&& body) {
    try {
        return body();
    } catch (...) {
        return std::forward<Failure>(onFailure);
    }
}

// For bodies that answer nothing: an exception ends the body and goes no further.
template <class Body> [[gnu::always_inline]] inline void guardedCall(Body&& body) {
    try {
        body();
    } catch (...) {
    }
}

// An exception runs `recover`, whose answer is the operation's: for failures
// that have more to do than answer a code (release what was made, reset state,
// tell the user).
template <class Body, class Recover>
[[gnu::always_inline]] inline std::invoke_result_t<Body&> guardedCallRecovering(Body&& body,
                                                                                Recover&& recover) {
    try {
        return body();
    } catch (...) {
        return recover();
    }
}
