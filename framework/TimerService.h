// Periodic ticks for modules. Every client of one period shares one thread
// timer without a window, so ticks arrive through the message loop of the
// host's user-interface thread that started them.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <vector>

// Mix-in of every module that needs periodic ticks.
class TimerClient {
public:
    virtual ~TimerClient();
    // True to keep ticking, false to leave the group.
    virtual bool onTick() = 0;

    // The period of every later startTicking() of the whole library.
    static void setTickPeriod(int32_t ms);
    void startTicking();
    void startTicking(int32_t ms); // no module of this library calls it
    void stopTicking();

protected:
    TimerClient() = default;
    TimerClient(const TimerClient&) = default;
    TimerClient& operator=(const TimerClient&) = default;
};

// The clients of one period and the timer that ticks them.
struct TickGroup {
    uintptr_t timerId = 0; // 0: no timer runs
    int32_t periodMs = 0;
    std::vector<TimerClient*> clients; // enrolment order, each at most once; not owned
    // Clients taken out by withdraw(); a running dispatch checks membership
    // only when this moved.
    uint64_t withdrawals = 0;
};

// What a test can see of one group.
struct TickGroupView {
    uintptr_t timerId;
    int32_t periodMs;
    std::vector<TimerClient*> clients;
};

class TickService {
public:
    // The process's service, built on first use; its exit-list entry
    // destroyTickServiceAtExit() destroys it at unload.
    static TickService& instance();
    // The process's service when it exists (null before first use and after unload).
    static TickService* existing();

    TickService() = default;
    TickService(const TickService&) = delete;
    TickService& operator=(const TickService&) = delete;
    // Kills every timer still running; clients are not told.
    ~TickService();

    void enrol(TimerClient* client, int32_t periodMs);
    void withdraw(TimerClient* client);
    // Ticks the group whose timer has this id; a tick that arrives while
    // another is being dispatched is dropped. Never throws.
    void dispatch(uintptr_t timerId) noexcept;

    int32_t defaultPeriodMs() const { return defaultPeriod; }
    void setDefaultPeriodMs(int32_t ms) { defaultPeriod = ms; }

    int32_t groupCount() const { return int32_t(groups.size()); }
    std::vector<TickGroupView> describeGroups() const;
    bool inTick() const { return ticking; }

private:
    void startTimer(TickGroup& group);
    void stopTimer(TickGroup& group);
    void tickGroup(TickGroup& group);

    // Shared so that a dispatch keeps its group alive when a client's onTick
    // withdraws the last member; enrol() finds only the groups listed here.
    std::list<std::shared_ptr<TickGroup>> groups;
    int32_t defaultPeriod = 50;
    bool ticking = false;
    std::vector<TimerClient*> tickSnapshot; // reused by every dispatch
};

// The exit-list entry of the process's service.
void destroyTickServiceAtExit();

// The TIMERPROC given to SetTimer.
void tickTimerProc(void* window, uint32_t message, uintptr_t timerId, uint32_t time);
