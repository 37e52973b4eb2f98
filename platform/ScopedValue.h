// Values that hold for the length of a scope and are put back on every way out
// of it, an exception included. Two behaviours, named apart because they differ
// when scopes nest: RestoringScope gives back the value from before, so an
// inner scope's end leaves an outer scope's value in place; ClearingFlagScope
// lowers its flag at the end whatever it was before, an outer scope's too.
#pragma once

#include <utility>

template <class T> class RestoringScope {
public:
    // Remembers the variable's value; the scope's end puts it back.
    explicit RestoringScope(T& variable) : variable(variable), earlier(variable) {}
    // Sets the variable to `value` for the scope, then puts the earlier value back.
    RestoringScope(T& variable, T value)
        : variable(variable), earlier(std::exchange(variable, std::move(value))) {}
    RestoringScope(const RestoringScope&) = delete;
    RestoringScope& operator=(const RestoringScope&) = delete;
    ~RestoringScope() { variable = std::move(earlier); }

private:
    T& variable;
    T earlier;
};

// Raises a flag for the scope and lowers it when the scope ends.
class ClearingFlagScope {
public:
    explicit ClearingFlagScope(bool& flag) : flag(flag) { flag = true; }
    ClearingFlagScope(const ClearingFlagScope&) = delete;
    ClearingFlagScope& operator=(const ClearingFlagScope&) = delete;
    ~ClearingFlagScope() { flag = false; }

private:
    bool& flag;
};
