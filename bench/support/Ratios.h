// Runs a program's benchmarks and prints each measurement as a ratio to the
// baseline named for it, measured in the same run. With repetitions the
// ratio is that of the medians; a single run stands for itself.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
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

// The real time per iteration of every benchmark that ran, in nanoseconds,
// and its counters, under its name without the aggregate's suffix.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            Measured& measured = results[nameOf(run)];
            if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
                measured.time.runs.push_back(nanosecondsOf(run));
                for (const auto& [name, counter] : run.counters)
                    measured.counters[name].runs.push_back(counter.value);
            } else if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                measured.time.median = nanosecondsOf(run);
                for (const auto& [name, counter] : run.counters)
                    measured.counters[name].median = counter.value;
            }
        }
    }

    // The median the library computed, else the median of the runs seen
    // (one run: its own time); negative when the benchmark did not run.
    double nanoseconds(const std::string& name) const {
        const auto found = results.find(name);
        return found == results.end() ? -1 : found->second.time.value().value_or(-1);
    }
    // A counter's value the same way; none when it was not reported.
    std::optional<double> counter(const std::string& name, const std::string& counterName) const {
        const auto found = results.find(name);
        if (found == results.end())
            return std::nullopt;
        const auto counter = found->second.counters.find(counterName);
        if (counter == found->second.counters.end())
            return std::nullopt;
        return counter->second.value();
    }

private:
    struct Series {
        std::vector<double> runs;
        std::optional<double> median;

        std::optional<double> value() const {
            if (median)
                return median;
            if (runs.empty())
                return std::nullopt;
            std::vector<double> sorted = runs;
            std::sort(sorted.begin(), sorted.end());
            const size_t half = sorted.size() / 2;
            return sorted.size() % 2 ? sorted[half] : (sorted[half - 1] + sorted[half]) / 2;
        }
    };
    struct Measured {
        Series time;
        std::map<std::string, Series> counters;
    };
    // The name without the aggregate's suffix, "manual_time" and a fixed
    // iteration count.
    static std::string nameOf(const Run& run) {
        benchmark::BenchmarkName name = run.run_name;
        name.time_type.clear();
        name.iterations.clear();
        return name.str();
    }
    static double nanosecondsOf(const Run& run) {
        return run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e9;
    }
    std::map<std::string, Measured> results;
};

// Prints the ratios and limits of what ran; a missing side skips its line.
inline void printRatios(const RatioReporter& reporter, const std::vector<Ratio>& ratios,
                        const std::vector<Limit>& limits) {
    for (const Ratio& r : ratios) {
        const double measured = reporter.nanoseconds(r.measured);
        const double baseline = reporter.nanoseconds(r.baseline);
        if (measured < 0 || baseline <= 0)
            continue;
        const double ratio = measured / baseline;
        // Two decimals, or two significant digits for a ratio that would show as 0.0x.
        std::printf(ratio < 0.1 ? "ratio %s / %s = %.2g (target under %.2f)%s\n"
                                : "ratio %s / %s = %.2f (target under %.2f)%s\n",
                    r.measured.c_str(), r.baseline.c_str(), ratio, r.target,
                    ratio < r.target ? "" : "  ABOVE TARGET");
    }
    for (const Limit& l : limits) {
        const double measured = reporter.nanoseconds(l.measured);
        if (measured < 0)
            continue;
        std::printf("time %s = %.3g us (target under %.3g us)%s\n", l.measured.c_str(),
                    measured / 1e3, l.nanoseconds / 1e3,
                    measured < l.nanoseconds ? "" : "  ABOVE TARGET");
    }
    std::fflush(stdout);
}

inline int runWithRatios(int argc, char** argv, const std::vector<Ratio>& ratios,
                         const std::vector<Limit>& limits = {}) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    printRatios(reporter, ratios, limits);
    return 0;
}

} // namespace bench
