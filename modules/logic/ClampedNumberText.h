// A number held within [minimum, maximum] and its text, as KZ_Float2TxtC and
// KZ_Int2TxtC keep them: the parts of the rule the two share.
#pragma once

#include "../../framework/GuiPins.h"
#include "../../platform/ClassicNumbers.h"

#include <optional>

// The bound x violates, the minimum tested first: with the minimum above the
// maximum every x below the minimum gives the minimum, any other beyond the
// maximum the maximum. A NaN never compares, so it violates nothing and a NaN
// bound never takes effect.
template <class T> std::optional<T> violatedBound(T x, T minimum, T maximum) {
    if (x < minimum)
        return minimum;
    if (x > maximum)
        return maximum;
    return std::nullopt;
}

// Typed text read back into the number: text that `read` finds no number in
// (or one out of the type's range) changes nothing; a number within the bounds
// goes to `value` and the typed text stays as it is; one beyond a bound gives
// `value` that bound, then `text` the bound's text from `format`, which runs
// after the value's send.
template <class T, class Format>
void takeTypedNumber(StringGuiPin& text, MpGuiPin<T>& value, T minimum, T maximum,
                     platform::NumberReading (*read)(std::u16string_view, T&), Format format) {
    T typed{};
    if (read(text.get(), typed) != platform::NumberReading::Read)
        return;
    const std::optional<T> bound = violatedBound(typed, minimum, maximum);
    if (!bound) {
        value.setAndSend(typed);
        return;
    }
    value.setAndSend(*bound);
    text.setAndSend(format(*bound));
}
