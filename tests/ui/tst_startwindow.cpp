// The start window: its texts, and CALCULATE opening the counter-flow Problem 1 window at the
// top left with 14100 x 9300 twips, focused, keeping its contents when opened again.

#include "app/windows.h"
#include "engine/keys.h"
#include "support/guifixture.h"
#include "ui/mainwindow.h"
#include "ui/problemwindow.h"
#include "ui/startwindow.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <memory>

class TestStartWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void texts_data();
    void texts();
    void implementerTextsAreThere();
    void calculateOpensCounterFlowProblem1();
    void calculateAgainRepositionsTheSameWindow();
    void calculateWithNoArrangementDoesNothing();

private:
    StartWindow* form() { return fixture_->windows().startWindow(); }
    QMdiSubWindow* subWindow(QWidget* w) { return qobject_cast<QMdiSubWindow*>(w->parentWidget()); }

    std::unique_ptr<GuiFixture> fixture_;
};

void TestStartWindow::init() {
    fixture_ = std::make_unique<GuiFixture>();
    fixture_->start();
}

void TestStartWindow::cleanup() {
    QVERIFY(fixture_->checkNoDialogs());
    fixture_.reset();
}

void TestStartWindow::texts_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("expected");
    const char* rows[][2] = {
        {"Frame3", "Kestrel-13"},
        {"Label2", "(This Software is based on Kestrel-12) "},
        {"lblDescription", "ENERGY AUDIT OF COOLING TOWERS"},
        {"lblVersion", "Version 1.0"},
        {"Label3", "Problems to be solved with software:"},
        {"Label4", "1. DETERMINATION OF PERFORMANCE INDICATORS"},
        {"Label5", "2. COMPARISON THE COOLING TOWER PERFORMANCE INDICATORS WITH DESIGN DATA "
                   "(ACCEPTANCE TEST)"},
        {"Label6", "3. INFLUENCE OF MASS FLOW RATES OF AIR AND WATER VARIATION ON PERFORMANCE "
                   "INDICATORS"},
        {"Label7", "4. CALCULATION THE WATER MASS FLOW RATE FOR GIVEN LOAD AND WET BULB "
                   "TEMPERATURE"},
        {"Frame1", "Cooling Tower Type Selection"},
        {"Option1", "  Counter Flow"},
        {"Option2", "  Cross Flow"},
        {"Command1", "CALCULATE"},
    };
    for (const auto& r : rows)
        QTest::newRow(r[0]) << QString::fromLatin1(r[0]) << QString::fromLatin1(r[1]);
}

void TestStartWindow::texts() {
    QFETCH(QString, control);
    QFETCH(QString, expected);
    QCOMPARE(form()->windowTitle(), QStringLiteral("Cooling tower arrangements"));
    QObject* c = form()->findChild<QObject*>(control);
    QVERIFY2(c, qPrintable(control));
    QString actual;
    if (auto* label = qobject_cast<QLabel*>(c))
        actual = label->text();
    else if (auto* frame = qobject_cast<QGroupBox*>(c))
        actual = frame->title();
    else if (auto* button = qobject_cast<QAbstractButton*>(c))
        actual = button->text();
    QCOMPARE(actual, expected);
    QCOMPARE(form()->font().family(), QStringLiteral("Verdana"));
}

void TestStartWindow::implementerTextsAreThere() {
    QVERIFY(!form()->findChild<QLabel*>(QStringLiteral("Label8"))->text().trimmed().isEmpty());
    QVERIFY(!form()->findChild<QGroupBox*>(QStringLiteral("Frame4"))->title().trimmed().isEmpty());
    QVERIFY(!form()->findChild<QLabel*>(QStringLiteral("Label18"))->text().trimmed().isEmpty());
    QVERIFY(form()->counterFlowOption()->isChecked());
    QVERIFY(!form()->crossFlowOption()->isChecked());
}

void TestStartWindow::calculateOpensCounterFlowProblem1() {
    QVERIFY(!fixture_->windows().isLoaded(QStringLiteral("Form5")));
    form()->calculateButton()->click();
    QCoreApplication::processEvents();
    QVERIFY(fixture_->windows().isLoaded(QStringLiteral("Form5")));
    ProblemWindow* form5 = fixture_->windows().problemWindow(Arrangement::CounterFlow, 1);
    QMdiSubWindow* sub = subWindow(form5);
    QVERIFY(sub);
    QVERIFY(sub->isVisible());
    // Left 0, top 0, 14100 x 9300 twips.
    QCOMPARE(sub->geometry(), QRect(0, 0, 940, 620));
    QCOMPARE(fixture_->main().mdiArea()->activeSubWindow(), sub);
    QTRY_VERIFY(form5->isAncestorOf(QApplication::focusWidget()) ||
                QApplication::focusWidget() == form5);
    // The start window stays open behind it.
    QVERIFY(form()->isVisible());
}

void TestStartWindow::calculateAgainRepositionsTheSameWindow() {
    form()->calculateButton()->click();
    ProblemWindow* form5 = fixture_->windows().problemWindow(Arrangement::CounterFlow, 1);
    form5->field(engine::cf1::waterFlow)->setText(QStringLiteral("123"));
    QMdiSubWindow* sub = subWindow(form5);
    sub->setGeometry(50, 40, 300, 200);
    fixture_->show(form());

    form()->calculateButton()->click();
    QCoreApplication::processEvents();
    QCOMPARE(fixture_->windows().problemWindow(Arrangement::CounterFlow, 1), form5);
    QCOMPARE(sub->geometry(), QRect(0, 0, 940, 620));
    QCOMPARE(fixture_->main().mdiArea()->activeSubWindow(), sub);
    QCOMPARE(form5->field(engine::cf1::waterFlow)->text(), QStringLiteral("123"));
}

void TestStartWindow::calculateWithNoArrangementDoesNothing() {
    form()->counterFlowOption()->setAutoExclusive(false);
    form()->counterFlowOption()->setChecked(false);
    QVERIFY(!form()->crossFlowOption()->isChecked());
    form()->calculateButton()->click();
    QCoreApplication::processEvents();
    QVERIFY(!fixture_->windows().isLoaded(QStringLiteral("Form5")));
    QCOMPARE(fixture_->main().mdiArea()->activeSubWindow(), subWindow(form()));
}

QTEST_MAIN(TestStartWindow)
#include "tst_startwindow.moc"
