// The two scoped flags differ when scopes nest: a restoring scope leaves an
// outer scope's value in place, a clearing one lowers the flag regardless.
// Both put the value back when an exception leaves the scope.
#include "platform/ScopedValue.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>

namespace {

TEST(RestoringScope, AnInnerScopesEndLeavesTheOuterScopesFlagUp) {
    bool flag = false;
    {
        const RestoringScope outer(flag, true);
        {
            const RestoringScope inner(flag, true);
            EXPECT_TRUE(flag);
        }
        EXPECT_TRUE(flag);
    }
    EXPECT_FALSE(flag);
}

TEST(RestoringScope, GivesBackAnEarlierTrueAndAnyOtherValue) {
    bool tail = true;
    int32_t start = 20;
    {
        const RestoringScope midBlock(tail, false);
        const RestoringScope keepStart(start);
        EXPECT_FALSE(tail);
        EXPECT_EQ(start, 20);
        start += 100;
    }
    EXPECT_TRUE(tail);
    EXPECT_EQ(start, 20);
}

TEST(ClearingFlagScope, AnInnerScopesEndLowersTheOuterScopesFlag) {
    bool flag = false;
    {
        const ClearingFlagScope outer(flag);
        {
            const ClearingFlagScope inner(flag);
            EXPECT_TRUE(flag);
        }
        EXPECT_FALSE(flag);
    }
    EXPECT_FALSE(flag);

    flag = true;
    { const ClearingFlagScope scope(flag); }
    EXPECT_FALSE(flag);
}

TEST(ScopedFlags, AnExceptionLeavingTheScopePutsTheValueBack) {
    bool restored = true;
    bool cleared = false;
    try {
        const RestoringScope a(restored, false);
        const ClearingFlagScope b(cleared);
        throw std::runtime_error("leaves the scope");
    } catch (const std::runtime_error&) {
    }
    EXPECT_TRUE(restored);
    EXPECT_FALSE(cleared);
}

} // namespace
