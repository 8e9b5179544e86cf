#include "uncertainty/propagation.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <thread>

namespace uncertainty {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kSqrt3 = std::sqrt(3.0);

std::string number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", v);
    return text;
}

Analysis start(Method method, Arrangement arrangement, const Case& c) {
    Analysis a;
    a.method = method;
    a.nominal = evaluate(arrangement, c);
    for (int r = 0; r < kResultCount; ++r)
        a.results[r] = {a.nominal.results[r], kNaN, {}, 0};
    if (!a.nominal.failure.empty())
        a.failures.push_back("measured values: " + a.nominal.failure);
    return a;
}

// Whether a chain computed a result (the steps before a failing one keep theirs).
bool reached(const Evaluation& e, int result) {
    return std::isfinite(e.results[result]);
}

// A counter-based generator: the k-th number of a stream, the same in any thread.
double uniform(std::uint64_t seed, std::uint64_t k) {
    std::uint64_t z = seed + (k + 1) * 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) * 0x1.0p-53;
}

} // namespace

Accuracies hintAccuracies() {
    return {
        {{2, true}, {2, true}, {0.05, false}, {0.05, false}, {1, true}, {0.05, false}, {5, false}}};
}

double halfWidth(const Accuracy& accuracy, double reading) {
    const double a = accuracy.relative ? accuracy.value / 100 * std::fabs(reading) : accuracy.value;
    return std::isfinite(a) && a > 0 ? a : 0;
}

Analysis firstOrder(Arrangement arrangement, const Case& c, const Accuracies& accuracies) {
    Analysis a = start(Method::FirstOrder, arrangement, c);
    std::array<std::array<double, kInputCount>, kResultCount> terms{}; // (c_i u_i)^2
    std::array<bool, kResultCount> available{};
    for (int r = 0; r < kResultCount; ++r)
        available[r] = reached(a.nominal, r);
    for (int i = 0; i < kInputCount; ++i) {
        const double u = halfWidth(accuracies[i], c.measured[i]) / kSqrt3;
        if (u == 0)
            continue;
        Evaluation side[2];
        for (int s = 0; s < 2; ++s) {
            Case perturbed = c;
            perturbed.measured[i] += s == 0 ? u : -u;
            side[s] = evaluate(arrangement, perturbed, &a.nominal.roots);
            if (side[s].problemsDone < a.nominal.problemsDone)
                a.failures.push_back(std::string(inputInfo(i).label) + " " +
                                     number(perturbed.measured[i]) + " " + inputInfo(i).unit +
                                     ": " + side[s].failure);
        }
        for (int r = 0; r < kResultCount; ++r) {
            if (!reached(side[0], r) || !reached(side[1], r)) {
                available[r] = false;
                continue;
            }
            const double sensitivity = (side[0].results[r] - side[1].results[r]) / (2 * u);
            terms[r][i] = sensitivity * u * sensitivity * u;
        }
    }
    for (int r = 0; r < kResultCount; ++r) {
        if (!available[r])
            continue;
        double variance = 0;
        for (double t : terms[r])
            variance += t;
        ResultUncertainty& out = a.results[r];
        out.expanded = 2 * std::sqrt(variance);
        std::array<int, kInputCount> order{};
        for (int i = 0; i < kInputCount; ++i)
            order[i] = i;
        std::stable_sort(order.begin(), order.end(),
                         [&](int x, int y) { return terms[r][x] > terms[r][y]; });
        for (int k = 0; k < 3; ++k)
            out.top[k] = {order[k], variance > 0 ? terms[r][order[k]] / variance * 100 : 0};
    }
    return a;
}

Analysis monteCarlo(Arrangement arrangement, const Case& c, const Accuracies& accuracies,
                    const MonteCarloOptions& options) {
    Analysis a = start(Method::MonteCarlo, arrangement, c);
    const int draws = std::max(options.draws, 2);
    std::array<double, kInputCount> half{};
    for (int i = 0; i < kInputCount; ++i)
        half[i] = halfWidth(accuracies[i], c.measured[i]);

    std::vector<Evaluation> samples(draws);
    std::vector<char> evaluated(draws, 0);
    auto work = [&](int first, int stride) {
        for (int k = first; k < draws; k += stride) {
            if (options.cancel && options.cancel->load())
                return;
            Case drawn = c;
            for (int i = 0; i < kInputCount; ++i) {
                const double x = uniform(options.seed, std::uint64_t(k) * kInputCount + i);
                drawn.measured[i] += half[i] * (2 * x - 1);
            }
            samples[k] = evaluate(arrangement, drawn, &a.nominal.roots);
            evaluated[k] = 1;
            if (options.completed)
                options.completed->fetch_add(1);
        }
    };
    const int threads = std::clamp(options.threads, 1, 64);
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t)
        pool.emplace_back(work, t, threads);
    work(0, threads);
    for (std::thread& t : pool)
        t.join();

    a.cancelled = options.cancel && options.cancel->load();
    std::array<double, kResultCount> sum{}, sumSquares{};
    std::array<int, kResultCount> count{};
    std::vector<std::string> reasons;
    std::vector<int> reasonCounts;
    for (int k = 0; k < draws; ++k) {
        if (!evaluated[k])
            continue;
        ++a.draws;
        const Evaluation& e = samples[k];
        if (e.problemsDone < a.nominal.problemsDone) {
            // Group the failures by their step and reason.
            const std::string key = e.failure;
            auto it = std::find(reasons.begin(), reasons.end(), key);
            if (it == reasons.end()) {
                reasons.push_back(key);
                reasonCounts.push_back(1);
            } else
                ++reasonCounts[it - reasons.begin()];
        }
        for (int r = 0; r < kResultCount; ++r) {
            if (!reached(a.nominal, r))
                continue;
            if (!reached(e, r)) {
                ++a.results[r].failedDraws;
                continue;
            }
            // Deviations from the measured chain keep the sums well conditioned.
            const double d = e.results[r] - a.nominal.results[r];
            sum[r] += d;
            sumSquares[r] += d * d;
            ++count[r];
        }
    }
    for (std::size_t k = 0; k < reasons.size(); ++k)
        a.failures.push_back(std::to_string(reasonCounts[k]) + " of the draws: " + reasons[k]);
    for (int r = 0; r < kResultCount; ++r) {
        if (count[r] < 2)
            continue;
        const double n = count[r];
        const double variance = std::max(0.0, (sumSquares[r] - sum[r] * sum[r] / n) / (n - 1));
        a.results[r].expanded = 2 * std::sqrt(variance);
    }
    return a;
}

bool methodsDisagree(double firstOrderU, double monteCarloU) {
    if (!std::isfinite(firstOrderU) || !std::isfinite(monteCarloU))
        return false;
    return std::fabs(firstOrderU - monteCarloU) > 0.1 * std::fabs(monteCarloU);
}

Verdict verdict(double deviation, double expanded) {
    if (!(std::fabs(deviation) > expanded))
        return Verdict::CannotTell;
    return deviation > 0 ? Verdict::AboveDesign : Verdict::BelowDesign;
}

int twoDigitDecimals(double expanded) {
    if (!std::isfinite(expanded) || !(expanded > 0))
        return 0;
    int decimals = 1 - static_cast<int>(std::floor(std::log10(expanded)));
    // 0.0996 rounds to 0.10: two digits then need one decimal fewer.
    if (roundToDecimals(expanded, decimals) >= std::pow(10.0, 2 - decimals))
        --decimals;
    return decimals;
}

double roundToDecimals(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

} // namespace uncertainty
