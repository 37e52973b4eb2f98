// The registry holds exactly the expected registrations.
#include "framework/MpFactory.h"
#include "tests/RegistrationTable.h"

#include <gtest/gtest.h>

#include <set>

TEST(Registry, HoldsExactlyTheExpectedRegistrations) {
    std::set<ModuleKey> expected;
    for (const ExpectedRegistration& r : expectedRegistrations)
        EXPECT_TRUE(expected.insert(ModuleKey{r.subType, r.moduleId}).second)
            << "listed twice: " << narrowToAscii(r.moduleId);
    std::set<ModuleKey> registered;
    for (const auto& [key, creator] : factoryInstance().registry()) {
        registered.insert(key);
        EXPECT_NE(creator, nullptr);
    }
    EXPECT_EQ(registered.size(), expected.size());
    for (const ModuleKey& key : expected)
        EXPECT_TRUE(registered.count(key))
            << "missing: " << narrowToAscii(key.moduleId) << " sub-type " << key.subType;
    for (const ModuleKey& key : registered)
        EXPECT_TRUE(expected.count(key))
            << "unexpected: " << narrowToAscii(key.moduleId) << " sub-type " << key.subType;
}
