// Timings of the cross-flow Problem windows' CALCULATE, offscreen, with the default inputs:
// Form8 (NTU search), Form6 (one sweep), Form9 (one sweep), Form4 (water-flow search, each
// pass a sweep) after Problems 1 to 3. Each timing includes the window's texts, the moist-air
// calculator and the core, as an engineer's click does.

#include "app/windows.h"
#include "support/offscreenbench.h"
#include "ui/form4.h"
#include "ui/form6.h"
#include "ui/form8.h"
#include "ui/form9.h"

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

void BM_Form8Calculate(benchmark::State& state) {
    Chain chain;
    Form8* form = chain.windows->form8();
    for (auto _ : state)
        form->Command1_Click();
    check(state, chain.desktop);
}
BENCHMARK(BM_Form8Calculate)->Unit(benchmark::kMillisecond);

void BM_Form6Calculate(benchmark::State& state) {
    Chain chain;
    chain.windows->form8()->Command1_Click();
    Form6* form = chain.windows->form6();
    for (auto _ : state)
        form->Command1_Click();
    check(state, chain.desktop);
}
BENCHMARK(BM_Form6Calculate)->Unit(benchmark::kMillisecond);

void BM_Form9Calculate(benchmark::State& state) {
    Chain chain;
    chain.windows->form8()->Command1_Click();
    chain.windows->form6()->Command1_Click();
    Form9* form = chain.windows->form9();
    for (auto _ : state)
        form->Command1_Click();
    check(state, chain.desktop);
}
BENCHMARK(BM_Form9Calculate)->Unit(benchmark::kMillisecond);

void BM_Form4Calculate(benchmark::State& state) {
    Chain chain;
    chain.windows->form8()->Command1_Click();
    chain.windows->form6()->Command1_Click();
    chain.windows->form9()->Command1_Click();
    Form4* form = chain.windows->form4();
    for (auto _ : state)
        form->Command1_Click();
    check(state, chain.desktop);
    state.SetLabel(
        ("L4 " + form->l21->text() + " kg/s, t4 " + form->l24->text() + " oC").toStdString());
}
BENCHMARK(BM_Form4Calculate)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return runOffscreenBenchmarks(argc, argv);
}
