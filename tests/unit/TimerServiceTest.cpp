// The timer service: groups per period, what a tick reaches, and how a
// dispatch survives clients that change the groups from inside onTick.
#include "framework/TimerService.h"
#include "host/MessageLoop.h"
#include "platform/Timers.h"
#include "tests/unit/SlotOrder.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

namespace {

constexpr uint32_t timerMessage = 0x0113; // WM_TIMER

class Client : public TimerClient {
public:
    explicit Client(std::vector<Client*>* order = nullptr) : order(order) {}
    bool onTick() override {
        ++ticks;
        if (order)
            order->push_back(this);
        return behaviour ? behaviour() : true;
    }

    int ticks = 0;
    std::function<bool()> behaviour; // unset: keep ticking
    std::vector<Client*>* order;
};

class TimerServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        TimerClient::setTickPeriod(50);
        ASSERT_EQ(service().groupCount(), 0);
    }
    void TearDown() override {
        TimerClient::setTickPeriod(50);
        EXPECT_EQ(service().groupCount(), 0) << "a test left clients enrolled";
        EXPECT_FALSE(service().inTick());
    }

    static TickService& service() { return TickService::instance(); }

    static std::optional<TickGroupView> group(int32_t periodMs) {
        for (const TickGroupView& view : service().describeGroups())
            if (view.periodMs == periodMs)
                return view;
        return std::nullopt;
    }
    static uintptr_t timerOf(int32_t periodMs) {
        const auto view = group(periodMs);
        return view ? view->timerId : 0;
    }
    // What the message loop does when the group's timer is due.
    static void tick(uintptr_t timerId) { tickTimerProc(nullptr, timerMessage, timerId, 0); }
    static void tickPeriod(int32_t periodMs) { tick(timerOf(periodMs)); }
    // A timer id that no longer runs cannot be killed again.
    static bool timerRuns(uintptr_t timerId) {
        if (!platform::killTimer(timerId))
            return false;
        ADD_FAILURE() << "timer " << timerId << " was still running";
        return true;
    }
};

TEST_F(TimerServiceTest, ClientsOfOnePeriodShareOneTimerUntilTheLastStops) {
    Client a, b;
    a.startTicking();
    b.startTicking();
    ASSERT_EQ(service().groupCount(), 1);
    const TickGroupView shared = *group(50);
    EXPECT_NE(shared.timerId, 0u);
    EXPECT_EQ(shared.clients, (std::vector<TimerClient*>{&a, &b}));

    a.stopTicking();
    ASSERT_TRUE(group(50));
    EXPECT_EQ(group(50)->timerId, shared.timerId);
    EXPECT_EQ(group(50)->clients, std::vector<TimerClient*>{&b});

    b.stopTicking();
    EXPECT_EQ(service().groupCount(), 0);
    EXPECT_FALSE(timerRuns(shared.timerId));
}

TEST_F(TimerServiceTest, StartingTwiceEnrolsOnceAndOneStopEndsIt) {
    Client a;
    a.startTicking();
    a.startTicking();
    ASSERT_TRUE(group(50));
    EXPECT_EQ(group(50)->clients.size(), 1u);
    tickPeriod(50);
    EXPECT_EQ(a.ticks, 1);
    a.stopTicking();
    EXPECT_EQ(service().groupCount(), 0);
    a.stopTicking(); // in no group: nothing
    EXPECT_EQ(service().groupCount(), 0);
}

TEST_F(TimerServiceTest, ClientAnsweringFalseLeavesAndTheEmptiedGroupWaitsForItsNextClient) {
    Client a;
    a.behaviour = [] { return false; };
    a.startTicking();
    const uintptr_t first = timerOf(50);
    tick(first);
    EXPECT_EQ(a.ticks, 1);
    ASSERT_EQ(service().groupCount(), 1) << "a group emptied by its ticks stays";
    EXPECT_TRUE(group(50)->clients.empty());
    EXPECT_EQ(group(50)->timerId, 0u);
    EXPECT_FALSE(timerRuns(first));
    tick(first);
    EXPECT_EQ(a.ticks, 1);

    Client b;
    b.startTicking();
    EXPECT_EQ(service().groupCount(), 1);
    const uintptr_t restarted = timerOf(50);
    EXPECT_NE(restarted, 0u);
    tick(restarted);
    EXPECT_EQ(a.ticks, 1);
    EXPECT_EQ(b.ticks, 1);
    b.stopTicking();
}

TEST_F(TimerServiceTest, TickPeriodAppliesOnlyToLaterStarts) {
    Client early, late;
    early.startTicking();
    EXPECT_EQ(service().defaultPeriodMs(), 50);
    TimerClient::setTickPeriod(10);
    late.startTicking();
    ASSERT_EQ(service().groupCount(), 2);
    EXPECT_EQ(group(50)->clients, std::vector<TimerClient*>{&early});
    EXPECT_EQ(group(10)->clients, std::vector<TimerClient*>{&late});
    EXPECT_NE(timerOf(10), timerOf(50));
    tickPeriod(10);
    EXPECT_EQ(early.ticks, 0);
    EXPECT_EQ(late.ticks, 1);
    Client explicitPeriod;
    explicitPeriod.startTicking(50);
    EXPECT_EQ(group(50)->clients.size(), 2u);
}

TEST_F(TimerServiceTest, ClientsAfterOneAnsweringFalseAreTickedOnTheSameTick) {
    std::vector<Client*> order;
    Client a(&order), b(&order), c(&order);
    a.behaviour = [] { return false; };
    a.startTicking();
    b.startTicking();
    c.startTicking();
    tickPeriod(50);
    EXPECT_EQ(order, (std::vector<Client*>{&a, &b, &c}));
    EXPECT_EQ(group(50)->clients, (std::vector<TimerClient*>{&b, &c}));
    tickPeriod(50);
    EXPECT_EQ(order, (std::vector<Client*>{&a, &b, &c, &b, &c}));
}

TEST_F(TimerServiceTest, DestroyedClientIsWithdrawn) {
    Client keep;
    keep.startTicking();
    auto doomed = std::make_unique<Client>();
    doomed->startTicking();
    doomed.reset();
    EXPECT_EQ(group(50)->clients, std::vector<TimerClient*>{&keep});
    tickPeriod(50);
    EXPECT_EQ(keep.ticks, 1);
}

TEST_F(TimerServiceTest, StrayTicksReachNobody) {
    Client a;
    a.startTicking();
    tick(0);
    tick(timerOf(50) + 1000);
    EXPECT_EQ(a.ticks, 0);
}

// Clients that change the group from inside a tick.

TEST_F(TimerServiceTest, ClientWithdrawnOrDestroyedDuringATickIsSkipped) {
    std::vector<Client*> order;
    Client first(&order), withdrawn(&order), last(&order);
    auto destroyed = std::make_unique<Client>(&order);
    first.behaviour = [&] {
        withdrawn.stopTicking();
        destroyed.reset();
        return true;
    };
    first.startTicking();
    withdrawn.startTicking();
    destroyed->startTicking();
    last.startTicking();
    tickPeriod(50);
    EXPECT_EQ(order, (std::vector<Client*>{&first, &last}));
    EXPECT_EQ(group(50)->clients, (std::vector<TimerClient*>{&first, &last}));
}

TEST_F(TimerServiceTest, ClientThatEmptiesItsGroupDuringATickEndsTheDispatchSafely) {
    std::vector<Client*> order;
    Client a(&order);
    auto b = std::make_unique<Client>(&order);
    Client* bAddress = b.get();
    a.behaviour = [&] {
        a.stopTicking();
        b.reset();
        return true;
    };
    a.startTicking();
    b->startTicking();
    const uintptr_t timer = timerOf(50);
    tick(timer);
    EXPECT_EQ(order, std::vector<Client*>{&a});
    EXPECT_NE(order.front(), bAddress);
    EXPECT_EQ(service().groupCount(), 0);
    EXPECT_FALSE(timerRuns(timer));
}

TEST_F(TimerServiceTest, EnrolDuringATickFindsOnlyLiveGroups) {
    Client a, b;
    a.behaviour = [&] {
        a.stopTicking(); // removes the group being ticked
        a.startTicking();
        b.startTicking();
        return true;
    };
    a.startTicking();
    const uintptr_t old = timerOf(50);
    tick(old);
    ASSERT_EQ(service().groupCount(), 1);
    const TickGroupView fresh = *group(50);
    EXPECT_NE(fresh.timerId, 0u);
    EXPECT_NE(fresh.timerId, old);
    EXPECT_EQ(fresh.clients, (std::vector<TimerClient*>{&a, &b}));
    EXPECT_EQ(b.ticks, 0) << "a client enrolled during a tick waits for the next";
    a.behaviour = nullptr;
    tick(old);
    EXPECT_EQ(a.ticks, 1);
    tick(fresh.timerId);
    EXPECT_EQ(a.ticks, 2);
    EXPECT_EQ(b.ticks, 1);
}

TEST_F(TimerServiceTest, ClientEnrolledDuringATickOfItsGroupWaitsForTheNext) {
    Client a, added;
    a.behaviour = [&] {
        added.startTicking();
        return true;
    };
    a.startTicking();
    tickPeriod(50);
    EXPECT_EQ(added.ticks, 0);
    tickPeriod(50);
    EXPECT_EQ(added.ticks, 1);
}

TEST_F(TimerServiceTest, ThrowingClientKeepsTickingAndTheTickEnds) {
    std::vector<Client*> order;
    Client thrower(&order), next(&order);
    thrower.behaviour = []() -> bool { throw std::runtime_error("tick"); };
    thrower.startTicking();
    next.startTicking();
    tickPeriod(50);
    EXPECT_FALSE(service().inTick());
    EXPECT_EQ(group(50)->clients.size(), 2u);
    tickPeriod(50);
    EXPECT_EQ(order, (std::vector<Client*>{&thrower, &next, &thrower, &next}));
}

TEST_F(TimerServiceTest, TickArrivingDuringADispatchIsDropped) {
    Client slow, other;
    slow.startTicking();
    other.startTicking(20);
    bool sawInTick = false;
    slow.behaviour = [&] {
        sawInTick = service().inTick();
        tickPeriod(50);
        tickPeriod(20);
        return true;
    };
    tickPeriod(50);
    EXPECT_TRUE(sawInTick);
    EXPECT_EQ(slow.ticks, 1);
    EXPECT_EQ(other.ticks, 0);
    EXPECT_FALSE(service().inTick());
}

TEST(TimerClientLayout, DestructorThenOnTick) {
    // The two destructor slots of the Itanium ABI come first.
    EXPECT_EQ(slots::slotOf(&TimerClient::onTick), 2);
}

TEST(TickService, DestructionKillsEveryRunningTimer) {
    class Idle : public TimerClient {
        bool onTick() override { return true; }
    } a, b, c;
    uintptr_t timers[2] = {};
    {
        TickService own;
        own.enrol(&a, 10);
        own.enrol(&b, 30);
        own.enrol(&c, 30);
        ASSERT_EQ(own.groupCount(), 2);
        timers[0] = own.describeGroups()[0].timerId;
        timers[1] = own.describeGroups()[1].timerId;
        EXPECT_NE(timers[0], 0u);
        EXPECT_NE(timers[1], 0u);
    }
    EXPECT_FALSE(platform::killTimer(timers[0]));
    EXPECT_FALSE(platform::killTimer(timers[1]));
}

// Real ticks through the message loop (Windows thread timers under wine, the
// stand-in clock on Linux).

TEST_F(TimerServiceTest, TimersTickThroughTheMessageLoop) {
    Client steady, brief, laterPeriod;
    int briefLimit = 2;
    brief.behaviour = [&] { return brief.ticks < briefLimit; };
    TimerClient::setTickPeriod(10);
    steady.startTicking();
    brief.startTicking();
    laterPeriod.startTicking(20);
    ASSERT_TRUE(
        testhost::pumpMessagesUntil([&] { return steady.ticks >= 6 && laterPeriod.ticks >= 2; }));
    EXPECT_EQ(brief.ticks, briefLimit);
    EXPECT_EQ(group(10)->clients, std::vector<TimerClient*>{&steady});

    // The last client leaving by its answer stops the timer; a new client restarts it.
    steady.behaviour = [] { return false; };
    const int steadyBefore = steady.ticks;
    ASSERT_TRUE(testhost::pumpMessagesUntil([&] { return steady.ticks > steadyBefore; }));
    EXPECT_EQ(group(10)->timerId, 0u);
    testhost::pumpMessagesFor(60);
    EXPECT_EQ(steady.ticks, steadyBefore + 1);

    brief.behaviour = nullptr;
    const int briefBefore = brief.ticks;
    brief.startTicking();
    ASSERT_TRUE(testhost::pumpMessagesUntil([&] { return brief.ticks >= briefBefore + 3; }));
    EXPECT_EQ(steady.ticks, steadyBefore + 1);
    brief.stopTicking();
    laterPeriod.stopTicking();
}

} // namespace
