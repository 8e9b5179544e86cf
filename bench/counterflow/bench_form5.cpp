// A whole Problem 1 CALCULATE of the counter-flow window, offscreen: field checks, two
// moist-air states, the 25-interval integration, the formatting of 20 texts and the grid row.

#include "common/desktop.h"
#include "counterflow/form5.h"
#include "shell/windows.h"

#include <QApplication>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <benchmark/benchmark.h>

namespace {

// Answers every request at once: nothing waits for a person.
class SilentDesktop final : public Desktop {
public:
    void message(QWidget*, const QString&, const QString&, MessageIcon) override { ++messages; }
    void beep() override {}
    void setWaitCursor(QWidget*, bool) override {}
    void writeSetting(const QString&, const QString&, const QString&, const QString&) override {}

    int messages = 0;
};

QApplication& application() {
    static int argc = 1;
    static char name[] = "bench_form5";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        return new QApplication(argc, argv);
    }();
    return *app;
}

void BM_Form5Calculate(benchmark::State& state) {
    application();
    SilentDesktop desktop;
    {
        Windows windows(desktop);
        windows.start();
        Form5* form = windows.form5();
        windows.showChild(form);
        for (auto _ : state) {
            form->NextRow = 1; // keep writing grid row 1, as after an activation
            form->Command1->click();
        }
        if (desktop.messages != 0 || form->lbl2->text() != QLatin1String("30.58"))
            state.SkipWithError("the default calculation did not give NTU 30.58");
    }
}
BENCHMARK(BM_Form5Calculate)->Unit(benchmark::kMicrosecond);

} // namespace
