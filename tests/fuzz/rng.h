#pragma once
// The fuzzer's one source of chance. A session is reproduced exactly from its seed and session
// number: every choice of the session comes from this generator, in order.

#include <cstdint>
#include <random>

class Rng {
public:
    Rng(std::uint64_t seed, std::uint64_t session) {
        std::seed_seq seq{std::uint32_t(seed), std::uint32_t(seed >> 32), std::uint32_t(session),
                          std::uint32_t(session >> 32)};
        engine_.seed(seq);
    }

    // 0 <= n < bound (bound > 0).
    int below(int bound) { return int(engine_() % std::uint64_t(bound)); }
    bool chance(double p) { return uniform(0, 1) < p; }
    double uniform(double lo, double hi) {
        return lo + (hi - lo) * double(engine_() >> 11) * 0x1.0p-53;
    }
    template <class C> const auto& pick(const C& items) { return items[below(int(items.size()))]; }

private:
    std::mt19937_64 engine_;
};
