// The services' process-wide object: none before first use, one after, none
// while the exit list destroys it and after, and a new one for code that
// runs later still.
#include "framework/UnloadSafeSingleton.h"

#include <gtest/gtest.h>

namespace {

class Service;
constinit UnloadSafeSingleton<Service> shared;
int built = 0;
int destroyed = 0;
bool foundDuringDestruction = true;

class Service {
public:
    Service() { ++built; }
    ~Service() {
        ++destroyed;
        // What a client released from here would find.
        foundDuringDestruction = shared.existing() != nullptr;
    }
};

void destroyServiceAtExit() {
    shared.destroy();
}

TEST(UnloadSafeSingleton, BuiltOnFirstUseAndGoneWhileAndAfterItIsDestroyed) {
    EXPECT_EQ(shared.existing(), nullptr);
    Service& first = shared.instance(destroyServiceAtExit);
    EXPECT_EQ(&shared.instance(destroyServiceAtExit), &first);
    EXPECT_EQ(shared.existing(), &first);
    EXPECT_EQ(built, 1);

    destroyServiceAtExit();
    EXPECT_EQ(destroyed, 1);
    EXPECT_FALSE(foundDuringDestruction);
    EXPECT_EQ(shared.existing(), nullptr);
    destroyServiceAtExit();
    EXPECT_EQ(destroyed, 1);

    // Code that runs after the exit list gets a new object.
    shared.instance(destroyServiceAtExit);
    EXPECT_EQ(built, 2);
    EXPECT_NE(shared.existing(), nullptr);
}

} // namespace
