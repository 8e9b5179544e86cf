// The toolbar's "Capability" in the program's windows, the wiring only (the figures themselves
// are report::summarize's, tested with it): the figures shown are the summary's texts; a
// setting's edit is one undo step in the locale's numbers; a value out of range is refused and
// the field keeps its value; figures that no longer belong to the audit go; a weather file
// fills the ambient table or is refused with its line.

#include "app/capabilitywindow.h"
#include "auditprogram.h"
#include "diagrams/capabilityplot.h"
#include "ui/helpwindow.h"
#include "ui/uncertaintywindow.h"

#include <QAction>
#include <QLabel>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>

namespace {

constexpr Arrangement kCounter = Arrangement::CounterFlow;

// The value column of a figure table, and the summary's texts of the same figures.
QStringList shownValues(const QTableWidget* table) {
    QStringList values;
    for (int r = 0; r < table->rowCount(); ++r)
        values << (table->item(r, 1) ? table->item(r, 1)->text() : QString());
    return values;
}

QLineEdit* field(CapabilityWindow* w, engine::Setting s) {
    return w->fields[std::size_t(s)];
}

void leave(QLineEdit* edit, const QString& text) {
    edit->setText(text);
    edit->setModified(true);
    Q_EMIT edit->editingFinished();
}

} // namespace

class TestCapabilityWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() {
        if (program_)
            QVERIFY(program_->fixture.checkNoDialogs());
        program_.reset();
    }

    void figuresAreTheSummarys();
    void editIsOneUndoStep_data();
    void editIsOneUndoStep();
    void outOfRangeIsRefused_data();
    void outOfRangeIsRefused();
    void figuresGoWithTheirProblems();
    void settingsAreSavedWithTheAudit();
    void weatherFileFillsTheAmbientTable();

private:
    // The program with Problems 1 and 2 of the counter flow calculated and the window shown.
    CapabilityWindow* calculated(const QLocale& locale = pointLocale()) {
        program_ = std::make_unique<Program>(locale);
        window_ = new CapabilityWindow(program_->windows(), program_->document);
        program_->startProblemOne(kCounter);
        program_->calculate(kCounter, 1);
        program_->goOn(kCounter, 1);
        program_->calculate(kCounter, 2);
        window_->capabilityAction()->trigger();
        return window_;
    }
    report::CapabilitySummary summary() {
        return report::summarize(program_->windows().audit(), kCounter,
                                 UncertaintyWindow::savedAccuracies(program_->fixture.desktop()));
    }
    QStringList summaryValues() {
        QStringList values;
        for (const report::SummaryFigure& f : summary().capability)
            values << f.text();
        return values;
    }

    std::unique_ptr<Program> program_;
    CapabilityWindow* window_ = nullptr;
};

void TestCapabilityWindow::figuresAreTheSummarys() {
    CapabilityWindow* w = calculated();
    // After "Uncertainty" on the toolbar, Alt+K.
    const QList<QAction*> actions = program_->main()->toolBar()->actions();
    const qsizetype at = actions.indexOf(w->capabilityAction());
    QVERIFY(at > 0);
    QCOMPARE(actions[at - 1]->data().toString(), QStringLiteral("Uncertainty"));
    QCOMPARE(w->capabilityAction()->shortcut(), QKeySequence(Qt::ALT | Qt::Key_K));
    QVERIFY(w->isVisible());

    const report::CapabilitySummary s = summary();
    QVERIFY(s.available);
    QCOMPARE(w->lblBasis->text(), s.basis);
    QCOMPARE(shownValues(w->tblCapability), summaryValues());
    QVERIFY(!s.figure(QStringLiteral("capability.pct"))->text().isEmpty());
    QCOMPARE(w->lblVerdict->text(), s.verdict);
    QCOMPARE(w->tblWater->rowCount(), int(s.water.size() + s.energy.size()) + 2);
    QVERIFY(!w->capabilityPlot->testGraph()->data()->isEmpty());
    QVERIFY(!w->capabilityPlot->demandGraph()->data()->isEmpty());

    // F1 leads to the part that has the focus.
    QCOMPARE(helpTopic(field(w, engine::Setting::Exponent)),
             (HelpTopic{QStringLiteral("capability.html"), QStringLiteral("capability")}));
    QCOMPARE(helpTopic(field(w, engine::Setting::Cycles)),
             (HelpTopic{QStringLiteral("capability.html"), QStringLiteral("water-and-energy")}));
}

void TestCapabilityWindow::editIsOneUndoStep_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("typed");
    QTest::newRow("decimal point") << pointLocale() << "0.6";
    QTest::newRow("decimal comma") << commaLocale() << "0,6";
}

void TestCapabilityWindow::editIsOneUndoStep() {
    QFETCH(QLocale, locale);
    QFETCH(QString, typed);
    CapabilityWindow* w = calculated(locale);
    const QStringList before = shownValues(w->tblCapability);
    QUndoStack& stack = program_->document.history().stack();
    const int steps = stack.count();

    leave(field(w, engine::Setting::Exponent), typed);
    QCOMPARE(
        program_->windows().audit().capabilityInputs(kCounter).value(engine::Setting::Exponent),
        0.6);
    QCOMPARE(stack.count(), steps + 1);
    QCOMPARE(stack.undoText(), QStringLiteral("capability settings"));
    QCOMPARE(shownValues(w->tblCapability), summaryValues());
    QVERIFY(shownValues(w->tblCapability) != before);

    program_->document.history().undo();
    QCOMPARE(field(w, engine::Setting::Exponent)->text(), QLocale().toString(0.72));
    QCOMPARE(shownValues(w->tblCapability), before);
}

void TestCapabilityWindow::outOfRangeIsRefused_data() {
    QTest::addColumn<int>("setting");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::newRow("n above its range")
        << int(engine::Setting::Exponent) << "1.5"
        << "Invalid entries: the characteristic exponent n must lie between 0.35 and 1.1.";
    QTest::newRow("no number") << int(engine::Setting::Cycles) << "four"
                               << "Invalid entries: the cycles of concentration must be a number.";
    QTest::newRow("negative price")
        << int(engine::Setting::WaterPrice) << "-1"
        << QStringLiteral("Invalid entries: the water price must lie between 0 and 100 %1/m3.")
               .arg(QLocale(QLocale::English, QLocale::UnitedStates).currencySymbol());
}

void TestCapabilityWindow::outOfRangeIsRefused() {
    QFETCH(int, setting);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    CapabilityWindow* w = calculated();
    QLineEdit* edit = field(w, engine::Setting(setting));
    const QString previous = edit->text();
    const engine::CapabilityInputs inputs = program_->windows().audit().capabilityInputs(kCounter);
    const int steps = program_->document.history().stack().count();
    leave(edit, typed);
    QCOMPARE(program_->fixture.desktop().messageTexts(), QStringList{message});
    QCOMPARE(edit->text(), previous);
    QVERIFY(program_->windows().audit().capabilityInputs(kCounter) == inputs);
    QCOMPARE(program_->document.history().stack().count(), steps);
}

// Problem 1 calculated again leaves Problem 2 out of date: the design figures go and the basis
// says why; undone to before Problem 1's CALCULATE, every figure goes.
void TestCapabilityWindow::figuresGoWithTheirProblems() {
    CapabilityWindow* w = calculated();
    program_->fixture.show(program_->form(kCounter, 1));
    program_->type(kCounter, 0, QStringLiteral("110"));
    program_->calculate(kCounter, 1);
    QVERIFY(program_->windows().audit().currency(kCounter, 2).outOfDate());
    QVERIFY2(w->lblBasis->text().contains(QStringLiteral("Left out, being out of date: Problem 2")),
             qPrintable(w->lblBasis->text()));
    QCOMPARE(shownValues(w->tblCapability), summaryValues());
    QVERIFY(summary().figure(QStringLiteral("capability.pct"))->text().isEmpty());
    QVERIFY(w->capabilityPlot->designGraph()->data()->isEmpty());

    for (int undo = 0; undo < 20 && program_->windows().audit().currency(kCounter, 1).calculated;
         ++undo)
        program_->document.history().undo();
    QVERIFY(!program_->windows().audit().currency(kCounter, 1).calculated);
    QCOMPARE(w->tblCapability->rowCount(), 0);
    QCOMPARE(w->tblWater->rowCount(), 0);
    QVERIFY(w->lblBasis->text().startsWith(QStringLiteral("Calculate Problem 1")));
    QVERIFY(w->capabilityPlot->testGraph()->data()->isEmpty());
}

void TestCapabilityWindow::settingsAreSavedWithTheAudit() {
    CapabilityWindow* w = calculated();
    leave(field(w, engine::Setting::FanPower), QStringLiteral("55"));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.ctaudit"));
    QVERIFY(program_->document.saveTo(file));
    cleanup();
    w = calculated();
    QVERIFY(program_->document.open(file));
    QCOMPARE(field(w, engine::Setting::FanPower)->text(), QStringLiteral("55"));
}

void TestCapabilityWindow::weatherFileFillsTheAmbientTable() {
    CapabilityWindow* w = calculated();
    QTemporaryDir dir;
    const QString good =
        writeFile(dir, QStringLiteral("site.csv"), "twb,hours\n18,3000\n22,4000\n25.5,1000\n");
    const QString bad = writeFile(dir, QStringLiteral("bad.csv"), "twb,hours\n18,3000\n2x,10\n");
    QString answer = good;
    w->askWeatherFile = [&answer] { return answer; };
    const int steps = program_->document.history().stack().count();
    w->cmdImport->click();
    QCOMPARE(w->tblAmbient->rowCount(), 3);
    QCOMPARE(w->tblAmbient->item(2, 0)->text(), QStringLiteral("25.5"));
    QCOMPARE(program_->windows().audit().capabilityInputs(kCounter).ambient.size(), std::size_t(3));
    QCOMPARE(program_->document.history().stack().count(), steps + 1);

    answer = bad;
    w->cmdImport->click();
    const QStringList messages = program_->fixture.desktop().messageTexts();
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages.front().contains(QStringLiteral("line 3, column 1: the wet bulb \"2x\" is "
                                                      "not a number")),
             qPrintable(messages.front()));
    QCOMPARE(w->tblAmbient->rowCount(), 3);
    QCOMPARE(program_->document.history().stack().count(), steps + 1);
}

QTEST_MAIN(TestCapabilityWindow)
#include "tst_capabilitywindow.moc"
