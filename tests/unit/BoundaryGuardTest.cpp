// The boundary guard answers the body's result, or on an exception the
// failure answer or the recovery's, and lets nothing through.
#include "platform/BoundaryGuard.h"
#include "framework/MpTypes.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

int32_t answer(bool fail, int32_t result) {
    if (fail)
        throw std::runtime_error("failed");
    return result;
}

TEST(BoundaryGuard, AnswersTheBodysResultOrTheFailureCode) {
    EXPECT_EQ(guardedCall(ResultFailure, [] { return answer(false, ResultUnsupported); }),
              ResultUnsupported);
    EXPECT_EQ(guardedCall(ResultFailure, [] { return answer(false, 7); }), 7);
    EXPECT_EQ(guardedCall(ResultFailure, [] { return answer(true, 7); }), ResultFailure);
    // Any exception, not only those of the standard library.
    EXPECT_EQ(guardedCall(ResultFailure, []() -> int32_t { throw 1; }), ResultFailure);
    EXPECT_EQ(guardedCall(std::u16string(u"none"), []() -> std::u16string { throw 1; }), u"none");
}

TEST(BoundaryGuard, ABodyWithoutResultEndsAtTheException) {
    int steps = 0;
    guardedCall([&] {
        ++steps;
        answer(true, 0);
        ++steps;
    });
    EXPECT_EQ(steps, 1);
}

TEST(BoundaryGuard, RecoveryRunsOnlyOnAnExceptionAndAnswersForIt) {
    int recoveries = 0;
    const auto recover = [&] {
        ++recoveries;
        return ResultFailure;
    };
    EXPECT_EQ(guardedCallRecovering([] { return answer(false, 3); }, recover), 3);
    EXPECT_EQ(recoveries, 0);
    EXPECT_EQ(guardedCallRecovering([] { return answer(true, 3); }, recover), ResultFailure);
    EXPECT_EQ(recoveries, 1);

    bool reset = false;
    guardedCallRecovering([] { answer(true, 0); }, [&] { reset = true; });
    EXPECT_TRUE(reset);
}

} // namespace
