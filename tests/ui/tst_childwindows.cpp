// The child windows as a user meets them: the close box hides a window and keeps its contents,
// each fits between the toolbar and the status strip and carries the program's icon, the
// Problem 1 grid shows five rows, the cross-flow "Please wait ..." label appears only once the
// checks have passed, and supersaturated outlet air is noted on the status line.

#include "app/windows.h"
#include "engine/keys.h"
#include "support/guifixture.h"
#include "ui/mainwindow.h"
#include "ui/performancewindow.h"
#include "ui/problemwindow.h"
#include "ui/resultgrid.h"
#include "ui/startwindow.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

QMdiSubWindow* subWindow(QWidget* form) {
    return qobject_cast<QMdiSubWindow*>(form->parentWidget());
}

// Counts the times a widget is shown.
class ShowCounter : public QObject {
public:
    int shown = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        shown += event->type() == QEvent::Show ? 1 : 0;
        return false;
    }
};

} // namespace

class TestChildWindows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init();
    void cleanup();

    void closeBoxHidesAndKeepsContents();
    void fitsBelowToolbarWithProgramIcon_data();
    void fitsBelowToolbarWithProgramIcon();
    void busyLabelOnlyAfterChecks_data();
    void busyLabelOnlyAfterChecks();
    void supersaturatedOutletAirNoted_data();
    void supersaturatedOutletAirNoted();

private:
    std::unique_ptr<GuiFixture> fixture_;
};

void TestChildWindows::init() {
    fixture_ = std::make_unique<GuiFixture>();
    fixture_->start();
}

void TestChildWindows::cleanup() {
    QVERIFY(fixture_->checkNoDialogs());
    fixture_.reset();
}

// Closing Problem 1 by its close box, then coming back through Menu and CALCULATE, finds the
// same window with its inputs, results and grid rows.
void TestChildWindows::closeBoxHidesAndKeepsContents() {
    Windows& windows = fixture_->windows();
    ProblemWindow* form5 = windows.problemWindow(Arrangement::CounterFlow, 1);
    fixture_->show(form5);
    form5->field(engine::cf1::waterFlow)->setText(QStringLiteral("120"));
    form5->calculateButton()->click();
    form5->calculateButton()->click();
    const TextSnapshot before = snapshotTexts(form5);
    subWindow(form5)->close(); // what the close box does
    QVERIFY(!subWindow(form5)->isVisible());
    QVERIFY(windows.isLoaded(QStringLiteral("Form5")));

    windows.mainWindow()->buttonClicked(QStringLiteral("menu"));
    windows.startWindow()->calculateButton()->click();
    QCOMPARE(windows.problemWindow(Arrangement::CounterFlow, 1), form5);
    QVERIFY(form5->isVisible() && subWindow(form5)->isVisible());
    TextSnapshot after = snapshotTexts(form5);
    QCOMPARE(after.value(QStringLiteral("Text1")), QStringLiteral("120.00"));
    QVERIFY2(snapshotDifference(before, after).isEmpty(),
             qPrintable(snapshotDifference(before, after)));
    // Every child window closes the same way and stays loaded.
    for (const char* name :
         {"Form1", "Form2", "Form10", "Form3", "Form8", "Form6", "Form9", "Form4"}) {
        QWidget* form = windows.form(QString::fromLatin1(name));
        windows.showChild(form);
        subWindow(form)->close();
        QVERIFY2(!subWindow(form)->isVisible(), name);
        QVERIFY2(windows.isLoaded(QString::fromLatin1(name)), name);
    }
}

void TestChildWindows::fitsBelowToolbarWithProgramIcon_data() {
    QTest::addColumn<QString>("form");
    QTest::newRow("start window") << "Form1";
    QTest::newRow("Problem 1, counter flow") << "Form5";
    QTest::newRow("Problem 1, cross flow") << "Form8";
}

void TestChildWindows::fitsBelowToolbarWithProgramIcon() {
    QFETCH(QString, form);
    Windows& windows = fixture_->windows();
    QWidget* window = windows.form(form);
    fixture_->show(window);
    QMdiSubWindow* sub = subWindow(window);
    const QWidget* area = windows.mainWindow()->mdiArea()->viewport();
    QVERIFY2(
        sub->geometry().bottom() < area->height(),
        qPrintable(QStringLiteral("%1 > %2").arg(sub->geometry().bottom()).arg(area->height())));
    const QIcon icon = QApplication::windowIcon();
    QVERIFY(!icon.pixmap(16, 16).isNull());
    QCOMPARE(sub->windowIcon().cacheKey(), icon.cacheKey());
    QCOMPARE(windows.mainWindow()->windowIcon().cacheKey(), icon.cacheKey());
    // The Problem 1 grid shows its header and five rows without scrolling.
    if (auto* grid = window->findChild<ResultGrid*>()) {
        QVERIFY2(grid->viewport()->height() >= ResultGrid::kVisibleRows * ResultGrid::kRowHeight,
                 qPrintable(QString::number(grid->viewport()->height())));
    }
}

void TestChildWindows::busyLabelOnlyAfterChecks_data() {
    QTest::addColumn<QString>("form");
    QTest::addColumn<QStringList>("fields"); // name=text
    QTest::addColumn<bool>("refused");
    QTest::newRow("Problem 1: water colder than the wet bulb")
        << "Form8" << QStringList{"Text3=20", "Text4=18", "Text6=25", "Text7=90"} << true;
    QTest::newRow("Problem 1: calculated") << "Form8" << QStringList{} << false;
    QTest::newRow("Problem 4: Problem 3 not calculated") << "Form4" << QStringList{} << true;
}

// A refusal never has the label behind its box, nor shows it before; a calculation shows it.
void TestChildWindows::busyLabelOnlyAfterChecks() {
    QFETCH(QString, form);
    QFETCH(QStringList, fields);
    QFETCH(bool, refused);
    Windows& windows = fixture_->windows();
    windows.startWindow()->crossFlowOption()->setChecked(true);
    QWidget* window = windows.form(form);
    fixture_->show(window);
    for (const QString& field : fields) {
        const QStringList nameText = field.split(u'=');
        window->findChild<QLineEdit*>(nameText.first())->setText(nameText.last());
    }
    auto* label = window->findChild<QLabel*>(form == QLatin1String("Form8") ? "Label8" : "Label1");
    QVERIFY(label);
    ShowCounter counter;
    label->installEventFilter(&counter);
    bool visibleAtMessage = false;
    fixture_->desktop().onMessage = [&](const RecordingDesktop::Message&) {
        visibleAtMessage = visibleAtMessage || label->isVisible();
    };
    window->findChild<QPushButton*>("Command1")->click();
    QCOMPARE(fixture_->desktop().messages.size(), refused ? 1 : 0);
    QVERIFY(!visibleAtMessage);
    QCOMPARE(counter.shown, refused ? 0 : 1);
    QVERIFY(!label->isVisible());
}

void TestChildWindows::supersaturatedOutletAirNoted_data() {
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("dryBulb");
    QTest::addColumn<QString>("humidity");
    QTest::addColumn<bool>("note");
    QTest::newRow("cross flow, cold humid air") << "Form8"
                                                << "10"
                                                << "90" << true;
    QTest::newRow("cross flow, designed values") << "Form8"
                                                 << ""
                                                 << "" << false;
    QTest::newRow("counter flow, designed values") << "Form5"
                                                   << ""
                                                   << "" << false;
}

// The results stand; the status line says why the outlet humidity is above 100 %.
void TestChildWindows::supersaturatedOutletAirNoted() {
    QFETCH(QString, form);
    QFETCH(QString, dryBulb);
    QFETCH(QString, humidity);
    QFETCH(bool, note);
    Windows& windows = fixture_->windows();
    auto* window = qobject_cast<PerformanceWindow*>(windows.form(form));
    fixture_->show(window);
    if (!dryBulb.isEmpty()) {
        window->field(engine::cf1::dryBulb)->setText(dryBulb);
        window->field(engine::cf1::relativeHumidity)->setText(humidity);
    }
    window->findChild<QPushButton*>("Command1")->click();
    QVERIFY(fixture_->desktop().messages.isEmpty());
    const QString status = windows.status();
    QVERIFY2(status.startsWith(QStringLiteral("Calculation has successful")), qPrintable(status));
    QCOMPARE(status.contains(QStringLiteral("supersaturated")), note);
    const QString rhOut =
        window->findChild<QLabel*>(form == QLatin1String("Form8") ? "lbl14" : "lbl16")->text();
    QCOMPARE(QLocale().toDouble(rhOut) > 100, note);
}

QTEST_MAIN(TestChildWindows)
#include "tst_childwindows.moc"
