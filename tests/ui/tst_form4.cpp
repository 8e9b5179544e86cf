// Form4, Problem 4 cross flow, and the whole cross-flow chain: the default chain Form8 ->
// Form6 -> Form9 -> Form4 against the core, the heat balance of the water-flow search, the
// busy indication, the window's checks and its refusals leaving the window as it was.

#include "crossflowwindows.h"
#include "engine/crossflowrefusal.h"
#include "ui/desktop.h"
#include "ui/form4.h"
#include "ui/form6.h"
#include "ui/form8.h"
#include "ui/form9.h"

#include <QApplication>
#include <QPushButton>
#include <QRegularExpression>

using namespace cftest;

class TestForm4 : public Fixture {
    Q_OBJECT

private:
    Form4* form = nullptr;

    // Problems 1 to 3 with their default inputs.
    void calculateChain() {
        windows->form8()->Command1_Click();
        windows->form6()->Command1_Click();
        windows->form9()->Command1_Click();
        QVERIFY2(desktop.messages.isEmpty(), qPrintable(desktop.messageTexts().join('|')));
        desktop.clear();
    }

private Q_SLOTS:
    void init() {
        startWindows();
        form = windows->form4();
        windows->showChild(form);
    }

    void cleanup() {
        stopWindows();
        form = nullptr;
    }

    void defaultChainAgreesWithTheCore() {
        calculateChain();
        Form8* problem1 = windows->form8();
        Form6* problem2 = windows->form6();
        Form9* problem3 = windows->form9();
        form->Command1_Click();
        QVERIFY2(desktop.messages.isEmpty(), qPrintable(desktop.messageTexts().join('|')));
        for (QWidget* w : {static_cast<QWidget*>(problem1), static_cast<QWidget*>(problem2),
                           static_cast<QWidget*>(problem3), static_cast<QWidget*>(form)})
            QVERIFY2(allFinite(snapshot(w)), qPrintable(w->objectName()));

        // Plausible results all along the chain.
        const double ntu1 = value(problem1->lbl2->text());
        QVERIFY(ntu1 > 0 && ntu1 < 495);
        QCOMPARE(problem2->l20->text(), QStringLiteral("1131.3"));
        const double tout2 = value(problem2->l4->text());
        QVERIFY(tout2 > 21 && tout2 < 34);
        const double t3 = value(problem3->l23->text());
        QVERIFY(t3 > value(problem3->l9->text()) && t3 < 37);

        // The transferred data: NTU (3) with two decimals, Problem 3 shows three.
        QCOMPARE(form->Label11->text(), numtext::format(value(problem3->l21->text()), "#0.00"));
        QCOMPARE(form->l5->text(), QStringLiteral("35.00"));
        QCOMPARE(form->l6->text(), QStringLiteral("1.40"));
        QCOMPARE(form->l7->text(), problem3->l3->text());
        QCOMPARE(form->l20->text(), problem3->l23->text());
        QCOMPARE(form->l8->text(), problem3->l22->text());
        QCOMPARE(form->l9->text(), problem1->Text5->text());
        QCOMPARE(form->Text7->text(), QStringLiteral("500.00"));
        QCOMPARE(form->l10->text(), QStringLiteral("28.0"));
        QCOMPARE(form->l11->text(), QStringLiteral("22.0"));
        QCOMPARE(windows->status(), QStringLiteral("Calculation has successfully complited"));

        // The same search from the displayed texts, the inlet air as Form11 rounds it.
        const ShownAir air = shownAir(psychro::Given::WetBulb, 1, 28, 22);
        crossflow::FlowSearchInput in;
        in.heat = 500;
        in.waterIn = 35;
        in.airEnthalpyIn = air.enthalpy;
        in.airDryBulbIn = 28;
        in.airWetBulbIn = 22;
        in.pressure = value(problem1->Text5->text());
        in.ntu3 = value(problem3->l21->text());
        in.waterFlow3 = value(problem3->Text18->text());
        in.airFlow3 = value(problem3->Text19->text());
        const crossflow::FlowResult r = crossflow::searchWaterFlow(in);
        QCOMPARE(r.status, crossflow::Status::Ok);
        QCOMPARE(form->l21->text(), numtext::format(r.waterFlow, "###0.00"));
        QCOMPARE(form->l22->text(), numtext::format(r.airFlow, "###0.00"));
        QCOMPARE(form->l28->text(), numtext::format(r.ntu, "###0.00"));
        QCOMPARE(form->l24->text(), numtext::format(r.waterOut, "##0.0"));
        QCOMPARE(form->l17->text(), numtext::format(r.sweep.airEnthalpyOutMean, "###0.00"));
        QCOMPARE(form->l12->text(), numtext::format(air.enthalpy, "###0.00"));
        // The heat balance of the unrounded result.
        const double bound =
            r.metTolerance ? crossflow::kHeatTolerance : crossflow::kHeatAcceptBound;
        QVERIFY(std::abs(4.19 * r.waterFlow * (35 - r.waterOut) - 500) < bound);
        // t4 with one decimal, between the wet bulb and T4 - 0.1.
        QVERIFY(
            QRegularExpression(QStringLiteral("^\\d+\\.\\d$")).match(form->l24->text()).hasMatch());
        QVERIFY(r.waterOut > 22 && r.waterOut <= 34.9);
        // Busy indication over the whole run, gone afterwards.
        QCOMPARE(desktop.waitCursorOn, 1);
        QCOMPARE(desktop.waitCursorOff, 1);
        QVERIFY(!form->Label1->isVisible());
    }

    void wetBulbEqualToDryBulbPasses() {
        calculateChain();
        setFields(form, {"Text5=28", "Text6=28"});
        form->Command1_Click();
        QVERIFY2(desktop.messages.isEmpty(), qPrintable(desktop.messageTexts().join('|')));
        QCOMPARE(form->l13->text(), QStringLiteral("100.0"));
    }

    void ownChecks_data() {
        QTest::addColumn<QStringList>("edits");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("icon");
        QTest::addColumn<QStringList>("emptied");
        QTest::newRow("empty field")
            << QStringList{"Text4="} << "Missing Data"
            << "All fields require data" << int(MessageIcon::Warning) << QStringList{};
        QTest::newRow("wet bulb 31 with dry bulb 30")
            << QStringList{"Text5=31", "Text6=30"} << "Error"
            << "Ambient wet bulb temperature must be less then dry bulb temperature"
            << int(MessageIcon::Error) << QStringList{"Text5", "Text6"};
    }

    void ownChecks() {
        QFETCH(QStringList, edits);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(int, icon);
        QFETCH(QStringList, emptied);
        calculateChain();
        setFields(form, edits);
        auto before = snapshot(form);
        form->Command1_Click();
        QCOMPARE(desktop.messages.size(), 1);
        QCOMPARE(desktop.messages[0].title, title);
        QCOMPARE(desktop.messages[0].text, text);
        QCOMPARE(int(desktop.messages[0].icon), icon);
        for (const QString& name : emptied)
            before[name].clear();
        QCOMPARE(snapshot(form), before);
        // A check's refusal does not touch the busy indication.
        QCOMPARE(desktop.waitCursorOn, 0);
        QVERIFY(!form->Label1->isVisible());
    }

    void refusalsLeaveTheWindowAsItWas_data() {
        QTest::addColumn<bool>("problem3");
        QTest::addColumn<QStringList>("edits");
        QTest::addColumn<QString>("otherWindow");
        QTest::addColumn<QStringList>("otherEdits");
        QTest::addColumn<QString>("text");
        QTest::newRow("problem 3 not calculated")
            << false << QStringList{} << QString() << QStringList{}
            << "Problem 3 has not been calculated yet: calculate it first.";
        QTest::newRow("problem 3 flow emptied")
            << true << QStringList{} << "Form9" << QStringList{"Text19="}
            << "The flow rates of Problem 3 are incomplete: enter them and calculate Problem 3 "
               "first.";
        QTest::newRow("problem 3 zero flow")
            << true << QStringList{} << "Form9" << QStringList{"Text18=0"}
            << crossflow::refusalText(crossflow::Status::NonPositiveFlow);
        QTest::newRow("problem 1 pressure emptied")
            << true << QStringList{} << "Form8" << QStringList{"Text5="}
            << "The air pressure of Problem 1 is missing: enter it and calculate Problem 1 first.";
        QTest::newRow("zero heat capacity")
            << true << QStringList{"Text7=0"} << QString() << QStringList{}
            << crossflow::refusalText(crossflow::Status::NonPositiveHeat);
        QTest::newRow("water at the wet bulb")
            << true << QStringList{"Text4=22"} << QString() << QStringList{}
            << crossflow::refusalText(crossflow::Status::WaterNotAboveWetBulb);
        QTest::newRow("water 0.05 above the wet bulb")
            << true << QStringList{"Text4=22.05"} << QString() << QStringList{}
            << crossflow::refusalText(crossflow::Status::HeatNotReachable);
        QTest::newRow("wet bulb 9 with dry bulb 30")
            << true << QStringList{"Text5=9", "Text6=30"} << QString() << QStringList{}
            << "No such inlet air exists: its humidity would be negative or unbounded. Check the "
               "temperatures, the humidity and the pressure.";
    }

    void refusalsLeaveTheWindowAsItWas() {
        QFETCH(bool, problem3);
        QFETCH(QStringList, edits);
        QFETCH(QString, otherWindow);
        QFETCH(QStringList, otherEdits);
        QFETCH(QString, text);
        if (problem3) {
            calculateChain();
            form->Command1_Click(); // results to keep
            QVERIFY(desktop.messages.isEmpty());
        } else {
            windows->form8()->Command1_Click();
        }
        desktop.clear();
        setFields(form, edits);
        if (!otherWindow.isEmpty())
            setFields(windows->form(otherWindow), otherEdits);
        const auto before = snapshot(form);
        const QString status = windows->status();
        bool busyWhileRefusing = false;
        desktop.onMessage = [&](const RecordingDesktop::Message&) {
            busyWhileRefusing = form->Label1->isVisible() && desktop.waitCursorShown;
        };
        form->Command1_Click();
        QCOMPARE(desktop.messageTexts(), QStringList{text});
        QCOMPARE(desktop.messages[0].title, QStringLiteral("Error"));
        QCOMPARE(desktop.messages[0].icon, MessageIcon::Error);
        QCOMPARE(snapshot(form), before);
        QCOMPARE(windows->status(), status);
        QVERIFY(!busyWhileRefusing); // the label never stands behind a refusal
        QCOMPARE(desktop.waitCursorOn, desktop.waitCursorOff);
        QVERIFY(!form->Label1->isVisible());
    }
};

QTEST_MAIN(TestForm4)
#include "tst_form4.moc"
