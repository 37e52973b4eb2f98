// Floats and the drawing types made of them, compared by the exact bits of
// each float, as the tests compare every value given exactly: 0.0f is not
// -0.0f, and a NaN equals a NaN of the same bits. Each comparison is an
// assertion result, used as EXPECT_TRUE(sameRect(got, wanted)), whose message
// shows both values when they differ.
#pragma once

#include "framework/DrawingApi.h"
#include "host/PinBytes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <string>

namespace exactvalues {

// The bits of a float, as a message shows them beside its value.
inline std::string bitsText(float value) {
    char bits[16];
    std::snprintf(bits, sizeof bits, "%08x", unsigned(testhost::floatBits(value)));
    return bits;
}

inline ::testing::AssertionResult sameBits(float got, float wanted) {
    if (testhost::floatBits(got) == testhost::floatBits(wanted))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << got << " [" << bitsText(got) << "], wanted " << wanted
                                         << " [" << bitsText(wanted) << "]";
}

// Each field by its bits; `what` names the fields in the message.
inline ::testing::AssertionResult sameFields(const char* what, std::initializer_list<float> got,
                                             std::initializer_list<float> wanted) {
    bool same = true;
    for (auto g = got.begin(), w = wanted.begin(); g != got.end(); ++g, ++w)
        same = same && testhost::floatBits(*g) == testhost::floatBits(*w);
    if (same)
        return ::testing::AssertionSuccess();
    auto failure = ::testing::AssertionFailure() << what << " (";
    for (auto g = got.begin(); g != got.end(); ++g)
        failure << (g == got.begin() ? "" : ", ") << *g;
    failure << "), wanted (";
    for (auto w = wanted.begin(); w != wanted.end(); ++w)
        failure << (w == wanted.begin() ? "" : ", ") << *w;
    return failure << ")";
}

inline ::testing::AssertionResult samePoint(const GuiPoint& got, const GuiPoint& wanted) {
    return sameFields("point", {got.x, got.y}, {wanted.x, wanted.y});
}
inline ::testing::AssertionResult sameSize(const GuiSize& got, const GuiSize& wanted) {
    return sameFields("size", {got.width, got.height}, {wanted.width, wanted.height});
}
inline ::testing::AssertionResult sameRect(const GuiRect& got, const GuiRect& wanted) {
    return sameFields("rect", {got.left, got.top, got.right, got.bottom},
                      {wanted.left, wanted.top, wanted.right, wanted.bottom});
}
inline ::testing::AssertionResult sameColour(const GuiColour& got, const GuiColour& wanted) {
    return sameFields("colour", {got.r, got.g, got.b, got.a},
                      {wanted.r, wanted.g, wanted.b, wanted.a});
}

} // namespace exactvalues
