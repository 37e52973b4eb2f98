// The timer dispatch, an internal component (no host calls it: the system's
// timer does), linked into this program. One tick of a group of 1,000 clients
// of one period, next to the least work of a tick: a plain loop of the same
// 1,000 virtual onTick calls. Target: under 1.5x.
#include "framework/TimerService.h"
#include "support/Ratios.h"

#include <memory>
#include <vector>

namespace {

constexpr int clientCount = 1000;
constexpr int32_t periodMs = 50;
constexpr uint32_t timerMessage = 0x0113; // WM_TIMER

class CountingClient : public TimerClient {
public:
    uint64_t ticks = 0;
};

// Two kinds of client, as a group holds modules of several kinds: the calls
// stay virtual in the baseline too.
class RepeatClient final : public CountingClient {
public:
    bool onTick() override {
        ++ticks;
        return true;
    }
};

class ScrollClient final : public CountingClient {
public:
    bool onTick() override {
        ticks += 1;
        return ticks != 0;
    }
};

// The same clients serve both loops, enrolled in one group.
struct Clients {
    Clients() {
        for (int i = 0; i < clientCount; ++i) {
            if (i % 2)
                owned.push_back(std::make_unique<ScrollClient>());
            else
                owned.push_back(std::make_unique<RepeatClient>());
        }
        for (const auto& client : owned) {
            pointers.push_back(client.get());
            client->startTicking(periodMs);
        }
    }
    std::vector<std::unique_ptr<CountingClient>> owned;
    std::vector<TimerClient*> pointers;
};

Clients& clients() {
    static Clients shared;
    return shared;
}

void virtualCallsBaseline(benchmark::State& state) {
    const std::vector<TimerClient*>& pointers = clients().pointers;
    for (auto _ : state) {
        bool all = true;
        for (TimerClient* client : pointers)
            all &= client->onTick();
        benchmark::DoNotOptimize(all);
    }
    state.SetItemsProcessed(state.iterations() * clientCount);
}
BENCHMARK(virtualCallsBaseline);

void tickOneThousandClients(benchmark::State& state) {
    Clients& shared = clients();
    const auto groups = TickService::instance().describeGroups();
    if (groups.size() != 1 || groups[0].clients != shared.pointers) {
        state.SkipWithError("the clients did not share one group");
        return;
    }
    const uintptr_t timerId = groups[0].timerId;
    const uint64_t before = shared.owned.front()->ticks;
    for (auto _ : state)
        tickTimerProc(nullptr, timerMessage, timerId, 0);
    state.SetItemsProcessed(state.iterations() * clientCount);
    if (shared.owned.back()->ticks - before != uint64_t(state.iterations()))
        state.SkipWithError("a tick did not reach every client");
}
BENCHMARK(tickOneThousandClients);

} // namespace

int main(int argc, char** argv) {
    return bench::runWithRatios(argc, argv,
                                {{"tickOneThousandClients", "virtualCallsBaseline", 1.5}});
}
