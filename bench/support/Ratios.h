// Runs a program's benchmarks and prints each measurement as a ratio to the
// baseline named for it, measured in the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace bench {

struct Ratio {
    std::string measured;
    std::string baseline;
    double target; // the ratio the measurement should stay under
};

struct Limit {
    std::string measured;
    double nanoseconds; // the time the measurement should stay under
};

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.iterations > 0)
                nanoseconds[run.benchmark_name()] =
                    run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) *
                    1e9;
    }
    std::map<std::string, double> nanoseconds;
};

inline int runWithRatios(int argc, char** argv, const std::vector<Ratio>& ratios,
                         const std::vector<Limit>& limits = {}) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    for (const Ratio& r : ratios) {
        const auto m = reporter.nanoseconds.find(r.measured);
        const auto b = reporter.nanoseconds.find(r.baseline);
        if (m == reporter.nanoseconds.end() || b == reporter.nanoseconds.end() || b->second <= 0)
            continue;
        const double ratio = m->second / b->second;
        std::printf("ratio %s / %s = %.2f (target under %.2f)%s\n", r.measured.c_str(),
                    r.baseline.c_str(), ratio, r.target, ratio < r.target ? "" : "  ABOVE TARGET");
    }
    for (const Limit& l : limits) {
        const auto m = reporter.nanoseconds.find(l.measured);
        if (m == reporter.nanoseconds.end())
            continue;
        std::printf("time %s = %.1f us (target under %.1f us)%s\n", l.measured.c_str(),
                    m->second / 1e3, l.nanoseconds / 1e3,
                    m->second < l.nanoseconds ? "" : "  ABOVE TARGET");
    }
    return 0;
}

} // namespace bench
