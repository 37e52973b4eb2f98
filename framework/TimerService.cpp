#include "TimerService.h"

#include "../platform/BoundaryGuard.h"
#include "../platform/ScopedValue.h"
#include "../platform/Timers.h"
#include "UnloadSafeSingleton.h"

#include <algorithm>
#include <utility>

namespace {

// Constant-initialised; clients destroyed after the exit list find no service.
constinit UnloadSafeSingleton<TickService> sharedService;

bool holds(const std::vector<TimerClient*>& clients, const TimerClient* client) {
    return std::find(clients.begin(), clients.end(), client) != clients.end();
}

bool removeClient(std::vector<TimerClient*>& clients, const TimerClient* client) {
    const auto it = std::find(clients.begin(), clients.end(), client);
    if (it == clients.end())
        return false;
    clients.erase(it);
    return true;
}

} // namespace

TimerClient::~TimerClient() {
    if (TickService* service = TickService::existing())
        service->withdraw(this);
}

void TimerClient::setTickPeriod(int32_t ms) {
    TickService::instance().setDefaultPeriodMs(ms);
}

void TimerClient::startTicking() {
    TickService& service = TickService::instance();
    service.enrol(this, service.defaultPeriodMs());
}

void TimerClient::startTicking(int32_t ms) {
    TickService::instance().enrol(this, ms);
}

void TimerClient::stopTicking() {
    if (TickService* service = TickService::existing())
        service->withdraw(this);
}

TickService& TickService::instance() {
    return sharedService.instance(destroyTickServiceAtExit);
}

TickService* TickService::existing() {
    return sharedService.existing();
}

void destroyTickServiceAtExit() {
    sharedService.destroy();
}

TickService::~TickService() {
    for (const auto& group : groups)
        stopTimer(*group);
    groups.clear();
}

void TickService::startTimer(TickGroup& group) {
    group.timerId = platform::setTimer(0, uint32_t(group.periodMs), &tickTimerProc);
}

void TickService::stopTimer(TickGroup& group) {
    if (group.timerId != 0)
        platform::killTimer(std::exchange(group.timerId, 0));
}

void TickService::enrol(TimerClient* client, int32_t periodMs) {
    if (!client)
        return;
    const auto found = std::find_if(groups.begin(), groups.end(),
                                    [periodMs](const auto& g) { return g->periodMs == periodMs; });
    if (found == groups.end()) {
        auto group = std::make_shared<TickGroup>();
        group->periodMs = periodMs;
        group->clients.push_back(client);
        groups.push_back(group);
        startTimer(*group);
        return;
    }
    TickGroup& group = **found;
    if (holds(group.clients, client))
        return;
    group.clients.push_back(client);
    if (group.clients.size() == 1) {
        // The group had been emptied by its ticks: restart its timer.
        stopTimer(group);
        startTimer(group);
    }
}

void TickService::withdraw(TimerClient* client) {
    for (auto it = groups.begin(); it != groups.end();) {
        TickGroup& group = **it;
        if (removeClient(group.clients, client)) {
            ++group.withdrawals;
            if (group.clients.empty()) {
                stopTimer(group);
                it = groups.erase(it);
                continue;
            }
        }
        ++it;
    }
}

void TickService::dispatch(uintptr_t timerId) noexcept {
    if (ticking || timerId == 0)
        return;
    const ClearingFlagScope inDispatch(ticking);
    // Nothing leaves the timer callback.
    guardedCall([&] {
        const auto found = std::find_if(groups.begin(), groups.end(),
                                        [timerId](const auto& g) { return g->timerId == timerId; });
        if (found == groups.end())
            return;
        const std::shared_ptr<TickGroup> keepAlive = *found;
        tickGroup(*keepAlive);
    });
}

void TickService::tickGroup(TickGroup& group) {
    // The clients of this tick are those in the group when it began; one that
    // is withdrawn or destroyed meanwhile is skipped.
    tickSnapshot.assign(group.clients.begin(), group.clients.end());
    const uint64_t withdrawalsAtStart = group.withdrawals;
    for (TimerClient* client : tickSnapshot) {
        if (group.withdrawals != withdrawalsAtStart && !holds(group.clients, client))
            continue;
        // A client that throws keeps ticking.
        const bool keepTicking = guardedCall(true, [&] { return client->onTick(); });
        if (!keepTicking && removeClient(group.clients, client) && group.clients.empty())
            stopTimer(group); // the group stays listed for the next client of its period
    }
    tickSnapshot.clear();
}

std::vector<TickGroupView> TickService::describeGroups() const {
    std::vector<TickGroupView> views;
    for (const auto& group : groups)
        views.push_back(TickGroupView{group->timerId, group->periodMs, group->clients});
    return views;
}

void tickTimerProc(void*, uint32_t, uintptr_t timerId, uint32_t) {
    if (TickService* service = TickService::existing())
        service->dispatch(timerId);
}
