// Timings of the cross-flow Problem windows' CALCULATE, offscreen, with the default inputs:
// Form8 (NTU search), Form6 (one sweep), Form9 (one sweep), Form4 (water-flow search, each
// pass a sweep) after Problems 1 to 3. Each timing includes the window's texts, the moist-air
// calculator and the core, as an engineer's click does.

#include "app/windows.h"
#include "engine/keys.h"
#include "support/offscreenbench.h"
#include "ui/problemwindow.h"

#include <QLabel>
#include <memory>

namespace {

struct Chain {
    SilentDesktop desktop;
    std::unique_ptr<Windows> windows;

    Chain()
        : windows(std::make_unique<Windows>(desktop)) {
        windows->start();
    }
};

void check(benchmark::State& state, const SilentDesktop& desktop) {
    if (desktop.messages != 0)
        state.SkipWithError("the calculation was refused");
}

void BM_CrossFlowProblem1Calculate(benchmark::State& state) {
    Chain chain;
    ProblemWindow* form = chain.windows->problemWindow(Arrangement::CrossFlow, 1);
    for (auto _ : state)
        form->calculate();
    check(state, chain.desktop);
}
BENCHMARK(BM_CrossFlowProblem1Calculate)->Unit(benchmark::kMillisecond);

void BM_CrossFlowProblem2Calculate(benchmark::State& state) {
    Chain chain;
    chain.windows->problemWindow(Arrangement::CrossFlow, 1)->calculate();
    ProblemWindow* form = chain.windows->problemWindow(Arrangement::CrossFlow, 2);
    for (auto _ : state)
        form->calculate();
    check(state, chain.desktop);
}
BENCHMARK(BM_CrossFlowProblem2Calculate)->Unit(benchmark::kMillisecond);

void BM_CrossFlowProblem3Calculate(benchmark::State& state) {
    Chain chain;
    chain.windows->problemWindow(Arrangement::CrossFlow, 1)->calculate();
    chain.windows->problemWindow(Arrangement::CrossFlow, 2)->calculate();
    ProblemWindow* form = chain.windows->problemWindow(Arrangement::CrossFlow, 3);
    for (auto _ : state)
        form->calculate();
    check(state, chain.desktop);
}
BENCHMARK(BM_CrossFlowProblem3Calculate)->Unit(benchmark::kMillisecond);

void BM_CrossFlowProblem4Calculate(benchmark::State& state) {
    Chain chain;
    chain.windows->problemWindow(Arrangement::CrossFlow, 1)->calculate();
    chain.windows->problemWindow(Arrangement::CrossFlow, 2)->calculate();
    chain.windows->problemWindow(Arrangement::CrossFlow, 3)->calculate();
    ProblemWindow* form = chain.windows->problemWindow(Arrangement::CrossFlow, 4);
    for (auto _ : state)
        form->calculate();
    check(state, chain.desktop);
    state.SetLabel(("L4 " + form->result(engine::xf4::waterFlow)->text() + " kg/s, t4 " +
                    form->result(engine::xf4::waterOut)->text() + " oC")
                       .toStdString());
}
BENCHMARK(BM_CrossFlowProblem4Calculate)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return runOffscreenBenchmarks(argc, argv);
}
