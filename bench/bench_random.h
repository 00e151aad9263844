// A small deterministic generator (xorshift), so that every run of a
// benchmark builds the same model.
#pragma once

#include <cstdint>

class BenchRandom {
public:
    explicit BenchRandom(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return state_;
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    bool chance(double p) { return static_cast<double>(next() % 1000000) < p * 1.0e6; }

private:
    std::uint64_t state_;
};
