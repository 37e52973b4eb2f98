// What the export cannot show of the splitters: the loop bound at the top of
// the index range, and the value that pin 0 stores, which nothing sends.
#include "framework/MpFactory.h"
#include "framework/MpGuiBase2.h"
#include "host/TestHost.h"
#include "modules/logic/IndexRange.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

using namespace testhost;

namespace {

TEST(IndexRange, EndsAfterTheLargestIndex) {
    const int32_t last = INT_MAX;
    std::vector<int32_t> visited;
    forEachIndexThrough(int64_t(INT_MAX) - 2, last, [&](int32_t i) {
        visited.push_back(i);
        return visited.size() < 10;
    });
    EXPECT_EQ(visited, (std::vector<int32_t>{INT_MAX - 2, INT_MAX - 1, INT_MAX}));
}

TEST(IndexRange, FollowsABoundThatGrowsAndStopsWhenAsked) {
    int32_t last = 3;
    std::vector<int32_t> visited;
    forEachIndexThrough(1, last, [&](int32_t i) {
        visited.push_back(i);
        if (i == 2)
            last = 5;
        return i < 4;
    });
    EXPECT_EQ(visited, (std::vector<int32_t>{1, 2, 3, 4}));

    visited.clear();
    last = 0;
    forEachIndexThrough(1, last, [&](int32_t i) {
        visited.push_back(i);
        return true;
    });
    EXPECT_TRUE(visited.empty());
}

class SplitterPinZero : public ::testing::Test {
protected:
    void SetUp() override {
        void* out = nullptr;
        ASSERT_EQ(factoryInstance().makeModule(u"SplitterInt", Gui2Part, host.object(), &out),
                  ResultSuccess);
        splitter = static_cast<gmpi::IMpUserInterface2B*>(static_cast<gmpi::IMpUnknown*>(out));
        ASSERT_EQ(splitter->attachHost(host.object()), ResultSuccess);
        auto* base = static_cast<MpGuiBase2*>(splitter);
        pin = dynamic_cast<MpGuiPinInt*>(base->findPin(0));
        ASSERT_NE(pin, nullptr);
    }
    void TearDown() override {
        host.onAccept = nullptr;
        if (splitter) {
            EXPECT_EQ(splitter->release(), 0);
        }
        EXPECT_TRUE(host.referencesBalanced());
    }
    int32_t receive(int32_t pinId, int32_t value) {
        return splitter->receivePinValue(pinId, 0, 4, &value);
    }

    TestHost host;
    gmpi::IMpUserInterface2B* splitter = nullptr;
    MpGuiPinInt* pin = nullptr;
};

TEST_F(SplitterPinZero, TakesOnlyValuesDeliveredOnIndexZero) {
    EXPECT_EQ(receive(0, 5), ResultSuccess);
    EXPECT_EQ(pin->get(), 5);
    // Forwarded to index 0, but not stored there.
    EXPECT_EQ(receive(3, 7), ResultFailure);
    ASSERT_EQ(host.sent.size(), 3u);
    EXPECT_EQ(host.sent[0].pinId, 0);
    EXPECT_EQ(pin->get(), 5);
    EXPECT_EQ(receive(0, 9), ResultSuccess);
    EXPECT_EQ(pin->get(), 9);
}

TEST_F(SplitterPinZero, StoresAfterForwarding) {
    receive(2, 1);
    host.sent.clear();
    std::vector<int32_t> seenWhileForwarding;
    bool nested = false;
    host.onAccept = [&](const SentValue&) {
        seenWhileForwarding.push_back(pin->get());
        if (!nested) {
            nested = true;
            receive(0, 20);
        }
    };
    receive(0, 10);
    // The outer delivery forwards to 1, the nested one to 1 and 2 (storing 20),
    // then the outer one goes on to 2 and stores 10 last.
    EXPECT_EQ(seenWhileForwarding, (std::vector<int32_t>{0, 0, 0, 20}));
    EXPECT_EQ(pin->get(), 10);
}

} // namespace
