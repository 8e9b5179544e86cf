#include "uncertainty/propagation.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <thread>
#include <utility>

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
// The sample standard deviation from the sums of n values and of their squares.
double standardDeviation(double sum, double sumSquares, int n) {
    if (n < 2)
        return kNaN;
    return std::sqrt(std::max(0.0, (sumSquares - sum * sum / n) / (n - 1)));
}

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
    const int batch = std::max(options.draws, 2);
    const int cap = options.adaptive ? std::max(options.maxDraws, 2) : batch;
    const int threads = std::clamp(options.threads, 1, 64);
    std::array<double, kInputCount> half{};
    for (int i = 0; i < kInputCount; ++i)
        half[i] = halfWidth(accuracies[i], c.measured[i]);
    auto cancelled = [&] { return options.cancel && options.cancel->load(); };

    std::array<double, kResultCount> sum{}, sumSquares{};
    std::array<int, kResultCount> count{};
    std::array<std::vector<BatchFigures>, kResultCount> batches;
    std::vector<std::string> reasons;
    std::vector<int> reasonCounts;
    std::vector<Evaluation> samples;
    std::vector<char> evaluated;
    int first = 0; // the index of the batch's first draw
    while (first < cap && !cancelled()) {
        const int n = std::min(batch, cap - first);
        samples.assign(std::size_t(n), Evaluation{});
        evaluated.assign(std::size_t(n), 0);
        auto work = [&](int start) {
            for (int j = start; j < n; j += threads) {
                if (cancelled())
                    return;
                const std::uint64_t k = std::uint64_t(first) + std::uint64_t(j);
                Case drawn = c;
                for (int i = 0; i < kInputCount; ++i) {
                    const double x = uniform(options.seed, k * kInputCount + std::uint64_t(i));
                    drawn.measured[i] += half[i] * (2 * x - 1);
                }
                samples[std::size_t(j)] = evaluate(arrangement, drawn, &a.nominal.roots);
                evaluated[std::size_t(j)] = 1;
                if (options.completed)
                    options.completed->fetch_add(1);
            }
        };
        std::vector<std::thread> pool;
        for (int t = 1; t < threads; ++t)
            pool.emplace_back(work, t);
        work(0);
        for (std::thread& t : pool)
            t.join();

        // The draws are folded in their own order, whichever thread evaluated them.
        std::array<std::vector<double>, kResultCount> values;
        for (int j = 0; j < n; ++j) {
            if (!evaluated[std::size_t(j)])
                continue;
            ++a.draws;
            const Evaluation& e = samples[std::size_t(j)];
            if (e.problemsDone < a.nominal.problemsDone) {
                // Group the failures by their step and reason.
                auto it = std::find(reasons.begin(), reasons.end(), e.failure);
                if (it == reasons.end()) {
                    reasons.push_back(e.failure);
                    reasonCounts.push_back(1);
                } else
                    ++reasonCounts[std::size_t(it - reasons.begin())];
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
                values[r].push_back(d);
            }
        }
        first += n;
        ++a.batches;
        if (!options.adaptive || cancelled())
            break;
        bool stable = true;
        for (int r = 0; r < kResultCount; ++r) {
            if (!reached(a.nominal, r))
                continue;
            batches[r].push_back(batchFigures(std::move(values[r])));
            const double u = standardDeviation(sum[r], sumSquares[r], count[r]);
            stable = stable && batchesStable(batches[r], twoDigitTolerance(u), options.judged);
        }
        if (stable && a.batches >= 2) {
            a.stable = true;
            break;
        }
    }

    a.cancelled = cancelled();
    for (std::size_t k = 0; k < reasons.size(); ++k)
        a.failures.push_back(std::to_string(reasonCounts[k]) + " of the draws: " + reasons[k]);
    for (int r = 0; r < kResultCount; ++r)
        if (count[r] >= 2)
            a.results[r].expanded = 2 * standardDeviation(sum[r], sumSquares[r], count[r]);
    return a;
}

double twoDigitTolerance(double u) {
    if (!std::isfinite(u) || !(u > 0))
        return 0;
    return 0.5 * std::pow(10.0, -twoDigitDecimals(u));
}

BatchFigures batchFigures(std::vector<double> values) {
    const std::size_t n = values.size();
    if (n < 2)
        return {kNaN, kNaN, kNaN, kNaN};
    double total = 0;
    for (double v : values)
        total += v;
    const double mean = total / double(n);
    double squares = 0;
    for (double v : values)
        squares += (v - mean) * (v - mean);
    // q = 0.95 n rounded, r = (n - q) / 2 rounded up; the r-th and (r + q)-th smallest values
    // (counted from one).
    const std::size_t q = std::min(n - 1, std::size_t(std::floor(0.95 * double(n) + 0.5)));
    const std::size_t r = std::max<std::size_t>(1, (n - q + 1) / 2);
    const std::size_t lowIndex = r - 1, highIndex = std::min(n - 1, r + q - 1);
    std::nth_element(values.begin(), values.begin() + std::ptrdiff_t(lowIndex), values.end());
    const double low = values[lowIndex];
    std::nth_element(values.begin(), values.begin() + std::ptrdiff_t(highIndex), values.end());
    return {mean, std::sqrt(squares / double(n - 1)), low, values[highIndex]};
}

bool batchesStable(const std::vector<BatchFigures>& batches, double tolerance, unsigned judged) {
    const std::size_t h = batches.size();
    if (h < 2)
        return false;
    const std::pair<double BatchFigures::*, unsigned> figures[] = {
        {&BatchFigures::mean, MeanFigure},
        {&BatchFigures::u, UncertaintyFigure},
        {&BatchFigures::low, IntervalFigures},
        {&BatchFigures::high, IntervalFigures}};
    for (const auto& [figure, kind] : figures) {
        if (!(judged & kind))
            continue;
        double total = 0;
        for (const BatchFigures& b : batches)
            total += b.*figure;
        if (!std::isfinite(total))
            return false;
        const double mean = total / double(h);
        double squares = 0;
        for (const BatchFigures& b : batches)
            squares += (b.*figure - mean) * (b.*figure - mean);
        const double ofAverage = std::sqrt(squares / double(h - 1) / double(h));
        if (!(2 * ofAverage <= tolerance))
            return false;
    }
    return true;
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
