// CALCULATE of the four counter-flow windows, offscreen, from the texts of the default chain:
// the integration and searches plus the moist-air calculator and all the text traffic.

#include "app/windows.h"
#include "ui/desktop.h"
#include "ui/problemwindow.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

// Answers every message box at once and counts them: a benchmark that meets one has failed.
class SilentDesktop final : public Desktop {
public:
    void message(QWidget*, const QString&, const QString&, MessageIcon) override { ++messages; }
    void beep() override {}
    void setWaitCursor(QWidget*, bool) override {}
    void writeSetting(const QString&, const QString&, const QString&, const QString&) override {}
    int messages = 0;
};

// The application, the windows and the default chain, calculated once up to Problem 4.
struct Chain {
    Chain() {
        windows.start();
        windows.showChild(windows.problemWindow(Arrangement::CounterFlow, 1));
        windows.problemWindow(Arrangement::CounterFlow, 1)->calculate();
        windows.problemWindow(Arrangement::CounterFlow, 1)->goOn();
        windows.problemWindow(Arrangement::CounterFlow, 2)->calculate();
        windows.problemWindow(Arrangement::CounterFlow, 2)->goOn();
        windows.problemWindow(Arrangement::CounterFlow, 3)->calculate();
        windows.problemWindow(Arrangement::CounterFlow, 3)->goOn();
        windows.problemWindow(Arrangement::CounterFlow, 4)->calculate();
    }
    SilentDesktop desktop;
    Windows windows{desktop};
};

Chain& chain() {
    static int argc = 1;
    static char name[] = "bench_counterflowwindows";
    static char* argv[] = {name, nullptr};
    static const bool offscreen = qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    static Chain instance;
    (void)offscreen;
    return instance;
}

template <class Form> void calculate(benchmark::State& state, Form* form) {
    for (auto _ : state)
        form->calculate();
    if (chain().desktop.messages != 0)
        state.SkipWithError("a calculation was refused");
}

// Problem 1 adds a grid row per calculation; a new activation before each keeps the grid at
// one row, so every pass does the same work.
void BM_CounterFlowProblem1Calculate(benchmark::State& state) {
    ProblemWindow* form = chain().windows.problemWindow(Arrangement::CounterFlow, 1);
    for (auto _ : state) {
        form->activate();
        form->calculate();
    }
    if (chain().desktop.messages != 0)
        state.SkipWithError("a calculation was refused");
}
BENCHMARK(BM_CounterFlowProblem1Calculate);

void BM_CounterFlowProblem2Calculate(benchmark::State& state) {
    calculate(state, chain().windows.problemWindow(Arrangement::CounterFlow, 2));
}
BENCHMARK(BM_CounterFlowProblem2Calculate);

void BM_CounterFlowProblem3Calculate(benchmark::State& state) {
    calculate(state, chain().windows.problemWindow(Arrangement::CounterFlow, 3));
}
BENCHMARK(BM_CounterFlowProblem3Calculate);

void BM_CounterFlowProblem4Calculate(benchmark::State& state) {
    calculate(state, chain().windows.problemWindow(Arrangement::CounterFlow, 4));
}
BENCHMARK(BM_CounterFlowProblem4Calculate);

} // namespace
