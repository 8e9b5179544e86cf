#pragma once
// What the benchmarks of the windows share: a desktop that answers every message box at once
// and counts it (a refusal during a timing is a fault), and a main() that runs the benchmarks
// offscreen in the C locale after the QApplication they need.

#include "ui/desktop.h"

#include <QApplication>
#include <QLocale>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>

class SilentDesktop final : public Desktop {
public:
    void message(QWidget*, const QString& title, const QString& text, MessageIcon) override {
        ++messages;
        std::fprintf(stderr, "message: %s: %s\n", qPrintable(title), qPrintable(text));
    }
    void beep() override {}
    void setWaitCursor(QWidget*, bool) override {}
    void writeSetting(const QString&, const QString&, const QString&, const QString&) override {}

    int messages = 0;
};

inline int runOffscreenBenchmarks(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale::c());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return EXIT_FAILURE;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return EXIT_SUCCESS;
}
