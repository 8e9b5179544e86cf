// The eight Problem windows, both arrangements, as views of the engine: a field's text reaches
// the engine and the results come back into every label, a refusal shows its box and changes
// nothing else, the focus and the status line follow the engine's steps, the buttons lead on
// and back, the busy indication, and Problem 1's grid. The numbers themselves are the engine's
// (tests/engine).

#include "app/windows.h"
#include "engine/audit.h"
#include "engine/crossflowrefusal.h"
#include "engine/keys.h"
#include "support/guifixture.h"
#include "ui/problemwindow.h"
#include "ui/startwindow.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <memory>

namespace {

constexpr Arrangement kCounter = Arrangement::CounterFlow;
constexpr Arrangement kCross = Arrangement::CrossFlow;

QString str(std::string_view text) {
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

const QString kCompleted = QStringLiteral("Calculation has successfully complited");
const QString kCompletedTypo = QStringLiteral("Calculation has successfuly complited");
const QString kHint =
    QStringLiteral("Recommended water mass flow rate is 0 - 200 [kg/s] with accuracy +/- 2%");

} // namespace

class TestProblemWindows : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<GuiFixture> fixture_;

    Windows& windows() { return fixture_->windows(); }
    RecordingDesktop& desktop() { return fixture_->desktop(); }
    ProblemWindow* window(Arrangement a, int p) { return windows().problemWindow(a, p); }
    template <class T = QWidget> T* control(Arrangement a, int p, std::string_view key) {
        return window(a, p)->findChild<T*>(str(key));
    }
    // The text a field or a label shows.
    QString shown(Arrangement a, int p, std::string_view key) {
        if (auto* field = control<QLineEdit>(a, p, key))
            return field->text();
        if (auto* label = control<QLabel>(a, p, key))
            return label->text();
        return QStringLiteral("(no %1)").arg(str(key));
    }
    void press(Arrangement a, int p, std::string_view key) {
        QPushButton* button = control<QPushButton>(a, p, key);
        QVERIFY2(button, key.data());
        button->click();
        QCoreApplication::processEvents();
    }
    // Types into the fields of a window: "Text4=20 Text6=".
    void type(Arrangement a, int p, const QString& edits) {
        for (const QString& edit : edits.split(u' ', Qt::SkipEmptyParts)) {
            auto* field = control<QLineEdit>(a, p, edit.section(u'=', 0, 0).toStdString());
            QVERIFY2(field, qPrintable(edit));
            field->setText(edit.section(u'=', 1));
        }
    }
    // Problem 1 shown, then CALCULATE and the leading-on button up to Problem p.
    void reach(Arrangement a, int p) {
        windows().showProblem(a, 1);
        for (int q = 1; q < p; ++q) {
            press(a, q, engine::problemKeys(a, q).calculate);
            press(a, q, engine::problemKeys(a, q).goOn);
        }
        QVERIFY2(desktop().messages.isEmpty(), qPrintable(desktop().messageTexts().join(u'|')));
    }
    // The window of the active child window of the main window.
    QWidget* active() {
        const QMdiSubWindow* sub =
            windows().form(str(engine::kMainWindowKey))->findChild<QMdiArea*>()->activeSubWindow();
        return sub ? sub->widget() : nullptr;
    }

private Q_SLOTS:
    void init() {
        fixture_ = std::make_unique<GuiFixture>();
        fixture_->start();
    }
    void cleanup() {
        QVERIFY(fixture_->checkNoDialogs());
        fixture_.reset();
    }

    void calculateShowsTheEngineTexts_data() {
        QTest::addColumn<Arrangement>("arrangement");
        QTest::addColumn<int>("problem");
        QTest::addColumn<QString>("edits");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("status");
        const auto row = [](const char* name, Arrangement a, int p, const char* edits,
                            const char* label, const char* text, const QString& status) {
            QTest::newRow(name) << a << p << QString::fromLatin1(edits)
                                << QString::fromLatin1(label) << QString::fromLatin1(text)
                                << status;
        };
        row("cf 1 no cooling", kCounter, 1, "Text3=33 Text4=33", "lbl2", "0.00", kCompleted);
        row("cf 2", kCounter, 2, "", "l5", "1131.30", kCompletedTypo);
        row("cf 3 doubled flows", kCounter, 3, "Text18=200 Text19=180", "l21", "61.16",
            kHint); // no status line of its own
        row("cf 4 small duty", kCounter, 4, "Text1=300 Text29=30 Text2=25 Text3=18", "l21", "24.53",
            kHint);
        row("xf 1 no cooling", kCross, 1, "Text4=37", "lbl2", "0.00", kCompletedTypo);
        row("xf 2", kCross, 2, "", "l20", "1131.3", kCompletedTypo);
        row("xf 3 Problem 1's flows", kCross, 3, "Text18=90 Text19=70", "l21", "17.970",
            kCompletedTypo);
        row("xf 4 saturated air", kCross, 4, "Text5=28 Text6=28", "l13", "100.0", kCompleted);
    }
    void calculateShowsTheEngineTexts() {
        QFETCH(Arrangement, arrangement);
        QFETCH(int, problem);
        QFETCH(QString, edits);
        QFETCH(QString, label);
        QFETCH(QString, text);
        QFETCH(QString, status);
        const engine::ProblemKeys& keys = engine::problemKeys(arrangement, problem);
        reach(arrangement, problem);
        desktop().clear();
        auto* goOn = control<QPushButton>(arrangement, problem, keys.goOn);
        QCOMPARE(goOn->isEnabled(), problem == 4); // "GoTo MENU" needs no calculation
        type(arrangement, problem, edits);
        press(arrangement, problem, keys.calculate);
        QVERIFY2(desktop().messages.isEmpty(), qPrintable(desktop().messageTexts().join(u'|')));
        QCOMPARE(shown(arrangement, problem, label.toStdString()), text);
        for (std::string_view key : engine::Audit::controls(arrangement, problem))
            QCOMPARE(shown(arrangement, problem, key),
                     windows().audit().text(arrangement, problem, key));
        QCOMPARE(windows().status(), status);
        QVERIFY(goOn->isEnabled());
        // The busy indication of the long searches is gone afterwards.
        const int busy = keys.busy.empty() ? 0 : 1;
        QCOMPARE(desktop().waitCursorOn, busy);
        QCOMPARE(desktop().waitCursorOff, busy);
        if (busy) {
            const QWidget* label = control(arrangement, problem, keys.busy);
            QVERIFY(!label->isVisible());
            QVERIFY(label->width() > 100 && label->height() > 5);
            QWidget* form = window(arrangement, problem);
            QVERIFY(form->rect().contains(QRect(label->mapTo(form, QPoint()), label->size())));
        }
        // Problem 1's copies in the cross-flow Problem 2 are never shown.
        if (arrangement == kCross && problem == 2)
            for (int id : {engine::xf2::waterFlow1, engine::xf2::airFlow1, engine::xf2::pressure1})
                QVERIFY(!control(kCross, 2, engine::xf2::kNames[std::size_t(id)])->isVisible());
    }

    // The window reads the texts it shows in the locale's number format.
    void decimalComma_data() {
        QTest::addColumn<Arrangement>("arrangement");
        QTest::addColumn<QStringList>("texts"); // NTU, heat, the grid's first cell
        QTest::newRow("counter flow") << kCounter << QStringList{"30,58", "2095,00", "90,00"};
        QTest::newRow("cross flow") << kCross << QStringList{"17,97", "1131,30", "70,00"};
    }
    void decimalComma() {
        QFETCH(Arrangement, arrangement);
        QFETCH(QStringList, texts);
        fixture_.reset();
        fixture_ = std::make_unique<GuiFixture>(commaLocale());
        fixture_->start();
        windows().showProblem(arrangement, 1);
        // The second calculation reads the fields the first rewrote ("1,000").
        for (int run = 0; run < 2; ++run)
            press(arrangement, 1, engine::problemKeys(arrangement, 1).calculate);
        QVERIFY2(desktop().messages.isEmpty(), qPrintable(desktop().messageTexts().join(u'|')));
        const auto fields = engine::Audit::controls(arrangement, 1); // the same order in both
        QCOMPARE(shown(arrangement, 1, fields[engine::cf1::ntu]), texts[0]);
        QCOMPARE(shown(arrangement, 1, fields[engine::cf1::heat]), texts[1]);
        QCOMPARE(shown(arrangement, 1, fields[engine::cf1::pressure]), QStringLiteral("1,000"));
        QCOMPARE(control<QTableWidget>(arrangement, 1, "fgTable")->item(0, 0)->text(), texts[2]);
    }

    void refusalShowsItsBoxAndChangesNothing_data() {
        QTest::addColumn<Arrangement>("arrangement");
        QTest::addColumn<int>("problem");
        QTest::addColumn<bool>("calculated"); // results on show before the refusal
        QTest::addColumn<QString>("edits");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<MessageIcon>("icon");
        QTest::addColumn<QString>("emptied");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<bool>("busy"); // the wait cursor is up while the box shows
        const QString error = QStringLiteral("Error");
        const QString missing = QStringLiteral("Missing Data");
        const QString noData = QStringLiteral("All fields require data");
        const QString outlet =
            QStringLiteral("Outlet water temperature must be less then inlet water temperature");
        const QString wetBulb =
            QStringLiteral("Ambient wet bulb temperature must be less then dry bulb temperature");
        const QString noFlow =
            QStringLiteral("The water and air mass flow rates must be greater than zero.");
        const auto row = [](const char* name, Arrangement a, int p, bool calculated,
                            const char* edits, const QString& title, const QString& text,
                            MessageIcon icon, const char* emptied = "", const char* focus = "",
                            bool busy = false) {
            QTest::newRow(name) << a << p << calculated << QString::fromLatin1(edits) << title
                                << text << icon << QString::fromLatin1(emptied)
                                << QString::fromLatin1(focus) << busy;
        };
        const MessageIcon E = MessageIcon::Error, W = MessageIcon::Warning, N = MessageIcon::None;
        row("cf 1 empty field", kCounter, 1, true, "Text1=", missing, noData, W);
        row("cf 1 outlet warmer", kCounter, 1, true, "Text3=38 Text4=38.01", error, outlet, E,
            "Text3 Text4", "Text3");
        row("cf 2 outlet above inlet", kCounter, 2, false, "Text12=35", applicationTitle(), outlet,
            N, "Text11 Text12", "Text11");
        row("cf 2 wet bulb above", kCounter, 2, false, "Text14=28", error, wetBulb, E,
            "Text14 Text16", "Text14");
        row("cf 3 empty field", kCounter, 3, false, "Text19=", missing, noData, W);
        row("cf 3 no new water", kCounter, 3, true, "Text18=0", error, noFlow, E);
        row("cf 4 empty field", kCounter, 4, false, "Text29=", missing, noData, W);
        row("cf 4 wet bulb above", kCounter, 4, false, "Text3=31", error, wetBulb, E, "Text2 Text3",
            "Text2");
        row("xf 1 empty field", kCross, 1, false, "Text6=", missing, noData, W);
        row("xf 1 outlet above inlet", kCross, 1, false, "Text4=38", error, outlet, E,
            "Text3 Text4", "Text3");
        row("xf 1 outlet never reached", kCross, 1, true, "Text4=20", error,
            crossflow::refusalText(crossflow::Status::OutletNotReached), E, "", "", true);
        row("xf 2 empty field", kCross, 2, false, "Text17=", applicationTitle(), noData, N);
        row("xf 2 wet bulb above", kCross, 2, false, "Text18=26", error, wetBulb, E,
            "Text18 Text19", "Text18");
        row("xf 3 empty field", kCross, 3, false, "Text19=", missing, noData, W);
        row("xf 3 no new water", kCross, 3, true, "Text18=0", error,
            crossflow::refusalText(crossflow::Status::NonPositiveFlow), E);
        row("xf 4 empty field", kCross, 4, false, "Text4=", missing, noData, W);
        row("xf 4 wet bulb above", kCross, 4, false, "Text5=31 Text6=30", error, wetBulb, E,
            "Text5 Text6", "Text5");
        row("xf 4 heat not reached", kCross, 4, true, "Text4=22.05", error,
            crossflow::refusalText(crossflow::Status::HeatNotReachable), E, "", "", true);
    }
    void refusalShowsItsBoxAndChangesNothing() {
        QFETCH(Arrangement, arrangement);
        QFETCH(int, problem);
        QFETCH(bool, calculated);
        QFETCH(QString, edits);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(MessageIcon, icon);
        QFETCH(QString, emptied);
        QFETCH(QString, focus);
        QFETCH(bool, busy);
        const engine::ProblemKeys& keys = engine::problemKeys(arrangement, problem);
        reach(arrangement, problem);
        if (calculated)
            press(arrangement, problem, keys.calculate);
        QVERIFY(desktop().messages.isEmpty());
        desktop().clear();
        type(arrangement, problem, edits);
        QWidget* form = window(arrangement, problem);
        TextSnapshot before = snapshotTexts(form);
        for (const QString& key : emptied.split(u' ', Qt::SkipEmptyParts))
            before[key].clear();
        windows().setStatus(QStringLiteral("before"));
        bool cursorWhileShown = false;
        bool labelWhileShown = false;
        desktop().onMessage = [&](const RecordingDesktop::Message&) {
            cursorWhileShown = desktop().waitCursorShown;
            labelWhileShown =
                !keys.busy.empty() && control(arrangement, problem, keys.busy)->isVisible();
        };
        press(arrangement, problem, keys.calculate);
        desktop().onMessage = nullptr;
        QCOMPARE(desktop().messages.size(), 1);
        const RecordingDesktop::Message& m = desktop().messages[0];
        QCOMPARE(m.title, title);
        QCOMPARE(m.text, text);
        QCOMPARE(m.icon, icon);
        const QString difference = snapshotDifference(before, snapshotTexts(form));
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        QCOMPARE(windows().status(), QStringLiteral("before"));
        if (!focus.isEmpty())
            QTRY_COMPARE(QApplication::focusWidget(),
                         control(arrangement, problem, focus.toStdString()));
        // A "Please wait ..." label never stands behind a box; the cursor is up only for a
        // refusal of the search itself, and gone afterwards.
        QVERIFY(!labelWhileShown);
        QCOMPARE(cursorWhileShown, busy);
        QCOMPARE(desktop().waitCursorOn, busy ? 1 : 0);
        QCOMPARE(desktop().waitCursorOff, desktop().waitCursorOn);
    }

    // BACK and the leading-on button show their windows at the top left with the designed
    // size, focused as the engine's activation asks, and leave the window behind open.
    void navigation_data() {
        QTest::addColumn<Arrangement>("arrangement");
        QTest::addColumn<int>("problem");
        QTest::addColumn<bool>("back");
        QTest::addColumn<int>("target"); // 0: the start window
        for (Arrangement a : {kCounter, kCross})
            for (int p = 1; p <= 4; ++p) {
                const char* name = a == kCounter ? "cf" : "xf";
                QTest::addRow("%s %d BACK", name, p) << a << p << true << p - 1;
                QTest::addRow("%s %d on", name, p) << a << p << false << (p < 4 ? p + 1 : 0);
            }
    }
    void navigation() {
        QFETCH(Arrangement, arrangement);
        QFETCH(int, problem);
        QFETCH(bool, back);
        QFETCH(int, target);
        const engine::ProblemKeys& keys = engine::problemKeys(arrangement, problem);
        windows().showProblem(arrangement, problem);
        auto* button = control<QPushButton>(arrangement, problem, back ? keys.back : keys.goOn);
        button->setEnabled(true); // the leading-on buttons wait for a calculation
        button->click();
        QWidget* to =
            target ? window(arrangement, target) : windows().form(str(engine::kStartWindowKey));
        QCOMPARE(active(), to);
        QCOMPARE(qobject_cast<QMdiSubWindow*>(to->parentWidget())->geometry(),
                 QRect(0, 0, 940, 620));
        QVERIFY(window(arrangement, problem)->isVisible());
        if (target == 0)
            return;
        engine::Audit fresh;
        const engine::Step activation = fresh.activate(arrangement, target);
        if (!activation.focus.empty())
            QTRY_COMPARE(QApplication::focusWidget(),
                         control(arrangement, target, activation.focus));
        QCOMPARE(windows().status(), activation.status.value_or(windows().status()));
    }

    // Keyboard only: Enter on the start window's CALCULATE opens Problem 1; in a field Enter
    // moves on as Tab does, check included, and each field reached shows its hint; Enter on
    // the focused CALCULATE calculates.
    void keyboardOnly() {
        StartWindow* start = windows().startWindow();
        start->counterFlowOption()->setChecked(true);
        start->calculateButton()->setFocus(Qt::TabFocusReason);
        QTest::keyClick(start->calculateButton(), Qt::Key_Return);
        ProblemWindow* form = window(kCounter, 1);
        QTRY_COMPARE(active(), static_cast<QWidget*>(form));
        const QList<QLineEdit*>& fields = form->fields();
        fields.first()->setFocus(Qt::OtherFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), fields.first());
        desktop().clear();

        fields.first()->setText(QStringLiteral("250"));
        QTest::keyClick(fields.first(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(desktop().messageTexts(),
                 QStringList{QStringLiteral("Invalid entries, number must be less than 200 kg/s")});
        QCOMPARE(QApplication::focusWidget(), fields.first());
        QCOMPARE(fields.first()->text(), QString());
        QTest::keyClicks(fields.first(), QStringLiteral("100"));
        for (qsizetype i = 1; i < fields.size(); ++i) {
            const QString before = fields[i]->text();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), fields[i]);
            QVERIFY(!fields[i]->toolTip().isEmpty());
            QCOMPARE(windows().status(), fields[i]->toolTip());
            QCOMPARE(fields[i]->text(), before); // reaching a field does not empty it
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), form->calculateButton());
        QTest::keyClick(form->calculateButton(), Qt::Key_Return);
        QCOMPARE(desktop().messages.size(), 1);
        QVERIFY(form->goOnButton()->isEnabled());
        QCOMPARE(windows().status(), kCompleted);
    }

    // "GoTo Problem 3" of the counter flow carries Problem 1's texts as they stand.
    void goOnCopiesProblem1() {
        using namespace engine;
        reach(kCounter, 2);
        press(kCounter, 2, problemKeys(kCounter, 2).calculate);
        control<QLabel>(kCounter, 1, cf1::kNames[cf1::inletEnthalpy])
            ->setText(QStringLiteral("53.1"));
        press(kCounter, 2, problemKeys(kCounter, 2).goOn);
        const std::pair<cf3::Control, cf1::Control> copies[] = {
            {cf3::waterFlow1, cf1::waterFlow},
            {cf3::waterIn1, cf1::waterIn},
            {cf3::waterOut1, cf1::waterOut},
            {cf3::airFlow1, cf1::airFlow},
            {cf3::pressure1, cf1::pressure},
            {cf3::dryBulb1, cf1::dryBulb},
            {cf3::relativeHumidity1, cf1::relativeHumidity},
            {cf3::ntu1, cf1::ntu},
            {cf3::heat1, cf1::heat},
            {cf3::inletWetBulb1, cf1::inletWetBulb},
            {cf3::inletEnthalpy1, cf1::inletEnthalpy},
            {cf3::inletHumidity1, cf1::inletHumidity},
            {cf3::outlet1DryBulb, cf1::outletDryBulb},
            {cf3::outlet1WetBulb, cf1::outletWetBulb},
            {cf3::outlet1Enthalpy, cf1::outletEnthalpy},
            {cf3::outlet1RelativeHumidity, cf1::outletRelativeHumidity},
            {cf3::outlet1Humidity, cf1::outletHumidity},
        };
        for (const auto& [to, from] : copies) {
            const QString text = shown(kCounter, 1, cf1::kNames[from]);
            QVERIFY(!text.isEmpty());
            QCOMPARE(shown(kCounter, 3, cf3::kNames[to]), text);
        }
        QCOMPARE(shown(kCounter, 3, cf3::kNames[cf3::inletEnthalpy1]), QStringLiteral("53.1"));
        QCOMPARE(active(), window(kCounter, 3));
    }

    // The start window's choice opens its arrangement's Problem 1.
    void startWindowOpensTheChosenArrangement_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<Arrangement>("arrangement");
        QTest::newRow("counter flow") << "Option1" << kCounter;
        QTest::newRow("cross flow") << "Option2" << kCross;
    }
    void startWindowOpensTheChosenArrangement() {
        QFETCH(QString, option);
        QFETCH(Arrangement, arrangement);
        QWidget* start = windows().form(str(engine::kStartWindowKey));
        start->findChild<QRadioButton*>(option)->click();
        start->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        QCOMPARE(active(), window(arrangement, 1));
        QCOMPARE(windows().chosenArrangement(), arrangement);
    }

    // Problem 1's grid: the headers and widths rewritten and the water flow recommended on
    // every activation; every calculation appends its row, whatever was activated between.
    void problemOneGrid_data() {
        QTest::addColumn<Arrangement>("arrangement");
        QTest::addColumn<QString>("water");
        QTest::newRow("counter flow") << kCounter << "100.00";
        QTest::newRow("cross flow") << kCross << "90.00";
    }
    void problemOneGrid() {
        QFETCH(Arrangement, arrangement);
        QFETCH(QString, water);
        struct Column {
            const char* header;
            int twips;
        };
        const Column columns[] = {
            {" G[kg/s]", 900},         {" L[kg/s]", 900},       {" Tw,in [oC]", 1200},
            {"Tw,out[oC]", 1130},      {" Ta,db[oC]", 1100},    {" RH [%] ", 910},
            {"NTU[kW/(kJ/kg)]", 1650}, {" Q [kW]", 950},        {"Efficiency [%]", 1360},
            {" Range[oC]", 1190},      {"Approach [oC]", 1510},
        };
        const std::string_view calculate = engine::problemKeys(arrangement, 1).calculate;
        auto* grid = control<QTableWidget>(arrangement, 1, "fgTable");
        const auto waterFlows = [grid] {
            QStringList texts;
            for (int row = 0; row < grid->rowCount(); ++row)
                texts.append(grid->item(row, 1) ? grid->item(row, 1)->text() : QString());
            return texts;
        };
        // Another window spoils nothing it does not own; coming back rewrites them.
        const auto activateAgain = [&] {
            grid->horizontalHeaderItem(3)->setText(QStringLiteral("spoilt"));
            grid->setColumnWidth(3, 10);
            windows().setStatus(QStringLiteral("something else"));
            windows().showStart();
            windows().showProblem(arrangement, 1);
            QCOMPARE(grid->columnCount(), 11);
            for (int col = 0; col < 11; ++col) {
                QCOMPARE(grid->horizontalHeaderItem(col)->text(),
                         QString::fromLatin1(columns[col].header));
                QVERIFY(std::abs(grid->columnWidth(col) * 15 - columns[col].twips) < 15);
            }
            QCOMPARE(windows().status(), kHint);
        };
        windows().showProblem(arrangement, 1);
        activateAgain();
        press(arrangement, 1, calculate);
        type(arrangement, 1, "Text1=120");
        press(arrangement, 1, calculate); // appends row 2
        QCOMPARE(waterFlows(), (QStringList{water, "120.00"}));
        activateAgain();
        type(arrangement, 1, "Text1=130");
        press(arrangement, 1, calculate); // appended: no row is ever overwritten
        QCOMPARE(waterFlows(), (QStringList{water, "120.00", "130.00"}));
        type(arrangement, 1, "Text1=140");
        press(arrangement, 1, calculate);
        QCOMPARE(waterFlows(), (QStringList{water, "120.00", "130.00", "140.00"}));
        QVERIFY(desktop().messages.isEmpty());
    }
    // Calculating Problem 1 again leaves Problems 2 to 4 out of date: their titles say so, the
    // status line names them and the remedy, their numbers stay as calculated; a Problem
    // calculated again is current again, and a state restored shows its own currency.
    void outOfDateProblemsSaySo_data() {
        QTest::addColumn<Arrangement>("arrangement");
        QTest::newRow("counter flow") << kCounter;
        QTest::newRow("cross flow") << kCross;
    }
    void outOfDateProblemsSaySo() {
        QFETCH(Arrangement, arrangement);
        const auto title = [&](int p) { return window(arrangement, p)->windowTitle(); };
        const auto outOfDate = [&](int p) {
            return title(p) ==
                   window(arrangement, p)->plainTitle() + QStringLiteral(" (out of date)");
        };
        reach(arrangement, 4);
        press(arrangement, 4, engine::problemKeys(arrangement, 4).calculate);
        for (int p = 1; p <= 4; ++p)
            QCOMPARE(title(p), window(arrangement, p)->plainTitle());
        QCOMPARE(title(3), arrangement == kCounter ? QStringLiteral("Problem 3 - counter flow")
                                                   : QStringLiteral("Problem 3 - cross flow"));
        const engine::Audit::State allCurrent = windows().audit().state();
        const TextSnapshot three = snapshotTexts(window(arrangement, 3));

        windows().showProblem(arrangement, 1);
        QLineEdit* airFlow = window(arrangement, 1)
                                 ->field(arrangement == kCounter ? int(engine::cf1::airFlow)
                                                                 : int(engine::xf1::airFlow));
        airFlow->setText(QString::number(airFlow->text().toDouble() + 5));
        press(arrangement, 1, engine::problemKeys(arrangement, 1).calculate);
        QVERIFY2(desktop().messages.isEmpty(), qPrintable(desktop().messageTexts().join(u'|')));
        QVERIFY(!outOfDate(1));
        for (int p = 2; p <= 4; ++p)
            QVERIFY2(outOfDate(p), qPrintable(title(p)));
        const QString later =
            QStringLiteral("Problems 2, 3 and 4 are out of date (they build on Problem 1's earlier "
                           "results): CALCULATE them again, in order.");
        QVERIFY2(windows().status().endsWith(QStringLiteral(" - ") + later),
                 qPrintable(windows().status()));
        QVERIFY(windows().status().startsWith(QStringLiteral("Calculation has")));
        QCOMPARE(snapshotDifference(three, snapshotTexts(window(arrangement, 3))), QString());

        // Activation: the reason and the remedy in place of the hint; a current Problem keeps
        // its own text.
        windows().showProblem(arrangement, 3);
        QCOMPARE(
            windows().status(),
            QStringLiteral("Problem 3 is out of date (it builds on Problem 1's earlier results): "
                           "CALCULATE Problems 2 and 3 again, in this order."));
        windows().showProblem(arrangement, 1);
        QCOMPARE(windows().status(), kHint);

        // Problem 2 calculated again is current; 3 still builds on the old Problem 1.
        windows().showProblem(arrangement, 2);
        press(arrangement, 2, engine::problemKeys(arrangement, 2).calculate);
        QVERIFY(!outOfDate(2) && outOfDate(3) && outOfDate(4));
        windows().showProblem(arrangement, 4);
        QCOMPARE(
            windows().status(),
            QStringLiteral("Problem 4 is out of date (it builds on Problem 1's earlier results): "
                           "CALCULATE Problems 3 and 4 again, in this order."));

        // The windows follow a restored state (as undo restores one).
        windows().audit().restore(allCurrent);
        windows().pullTexts();
        for (int p = 1; p <= 4; ++p)
            QVERIFY2(!outOfDate(p), qPrintable(title(p)));

        // A sentence that is no longer true goes: after the restored state, and once Problems
        // 2 to 4 are calculated again in order (counter-flow Problems 3 and 4 write no text of
        // their own in its place).
        QVERIFY2(!windows().status().contains(QStringLiteral("out of date")),
                 qPrintable(windows().status()));
        windows().showProblem(arrangement, 1);
        airFlow->setText(QString::number(airFlow->text().toDouble() + 5));
        for (int p = 1; p <= 4; ++p) {
            windows().showProblem(arrangement, p);
            press(arrangement, p, engine::problemKeys(arrangement, p).calculate);
            QVERIFY2(windows().status().contains(QStringLiteral("out of date")) == (p < 4),
                     qPrintable(windows().status()));
        }
    }
};

QTEST_MAIN(TestProblemWindows)
#include "tst_problemwindows.moc"
