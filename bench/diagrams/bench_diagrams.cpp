// How long the Diagram window takes to show a Problem's diagrams after its CALCULATE: reading
// the trace and texts from the engine, setting the plots' data and drawing every plot of the
// Problem (the shown one and the other tabs), offscreen, with the default inputs. Counter flow
// and cross flow, Problems 1 to 4 (cross-flow Problem 4 draws three maps and the
// characteristic).

#include "app/windows.h"
#include "diagrams/plotlibrary.h"
#include "engine/audit.h"
#include "support/offscreenbench.h"
#include "ui/diagramwindow.h"

#include <QLabel>
#include <QTabWidget>
#include <memory>

namespace {

// Both arrangements calculated through Problem 4, the Diagram window shown at its size.
struct Audited {
    SilentDesktop desktop;
    std::unique_ptr<Windows> windows;
    DiagramWindow* diagram = nullptr;

    Audited()
        : windows(std::make_unique<Windows>(desktop)) {
        windows->start();
        engine::Audit& audit = windows->audit();
        for (const Arrangement a : {Arrangement::CounterFlow, Arrangement::CrossFlow})
            for (int problem = 1; problem <= 4; ++problem) {
                if (!audit.calculate(a, problem).calculated)
                    ++desktop.messages;
                if (problem < 4)
                    audit.goOn(a, problem);
            }
        windows->pullTexts();
        diagram = windows->diagramWindow();
        windows->showChild(diagram);
        QCoreApplication::processEvents();
    }
};

void BM_DiagramAfterCalculate(benchmark::State& state) {
    const Arrangement arrangement =
        state.range(0) == 0 ? Arrangement::CounterFlow : Arrangement::CrossFlow;
    const int problem = static_cast<int>(state.range(1));
    Audited audited;
    for (auto _ : state) {
        audited.diagram->calculated(arrangement, problem);
        // The queued replots of every plot of the Problem.
        QCoreApplication::processEvents();
    }
    if (audited.desktop.messages != 0)
        state.SkipWithError("a calculation was refused");
    // The drawing itself, as the plot timed its last replot.
    double drawing = 0;
    for (int k = 0; k < audited.diagram->tabs->count(); ++k)
        if (auto* plot = qobject_cast<QCustomPlot*>(audited.diagram->tabs->widget(k)))
            drawing += plot->replotTime();
    state.SetLabel(audited.diagram->lblTitle->text().toStdString() + ", " +
                   std::to_string(audited.diagram->tabs->count()) + " diagrams drawn in " +
                   std::to_string(drawing).substr(0, 4) + " ms");
}
BENCHMARK(BM_DiagramAfterCalculate)
    ->ArgNames({"cross", "problem"})
    ->ArgsProduct({{0, 1}, {1, 2, 3, 4}})
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return runOffscreenBenchmarks(argc, argv);
}
