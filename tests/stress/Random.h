// The stress run's random numbers: SplitMix64, written out so that a seed
// gives the same sequence with every compiler and standard library (the
// standard distributions do not promise that).
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace stress {

// One SplitMix64 step of a word: a good 64-bit mix of it.
constexpr uint64_t mixWord(uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// A seed made of two numbers, e.g. a run's seed and a registration's index.
constexpr uint64_t mixSeeds(uint64_t a, uint64_t b) {
    return mixWord(mixWord(a) ^ (b * 0xD1B54A32D192ED03ull));
}

class Random {
public:
    explicit Random(uint64_t seed) : state(seed) {}

    uint64_t next() {
        state += 0x9E3779B97F4A7C15ull;
        uint64_t z = state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    uint32_t word() { return uint32_t(next() >> 32); }
    // 0 to n - 1; 0 when n is 0.
    uint32_t below(uint32_t n) { return n == 0 ? 0 : uint32_t((uint64_t(word()) * n) >> 32); }
    // lowest to highest, both included.
    int32_t between(int32_t lowest, int32_t highest) {
        return int32_t(int64_t(lowest) + int64_t(below(uint32_t(int64_t(highest) - lowest + 1))));
    }
    // True in `percent` of 100 cases.
    bool chance(uint32_t percent) { return below(100) < percent; }
    // 0 <= x < 1.
    double unit() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    float between(float lowest, float highest) {
        return float(lowest + (highest - lowest) * unit());
    }

    template <class T> const T& pick(const std::vector<T>& from) {
        return from[below(uint32_t(from.size()))];
    }
    template <class T> T pick(std::initializer_list<T> from) {
        return from.begin()[below(uint32_t(from.size()))];
    }
    // An index into `weights`, each chosen in proportion to its weight; the
    // last when all are 0.
    size_t weighted(const std::vector<uint32_t>& weights) {
        uint64_t total = 0;
        for (const uint32_t w : weights)
            total += w;
        if (total == 0)
            return weights.empty() ? 0 : weights.size() - 1;
        uint64_t at = next() % total;
        for (size_t i = 0; i < weights.size(); ++i) {
            if (at < weights[i])
                return i;
            at -= weights[i];
        }
        return weights.size() - 1;
    }

private:
    uint64_t state;
};

} // namespace stress
