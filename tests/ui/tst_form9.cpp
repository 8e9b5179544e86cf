// Form9, Problem 3 cross flow: Problem 1's data copied and formatted, the NTU scaled and one
// sweep run, checked against the core; equal flows keep the NTU; refusals leave the window as
// it was.

#include "core/ntuscaling.h"
#include "crossflowwindows.h"
#include "engine/crossflowrefusal.h"
#include "ui/desktop.h"
#include "ui/form8.h"
#include "ui/form9.h"

#include <QApplication>
#include <QPushButton>

using namespace cftest;

class TestForm9 : public Fixture {
    Q_OBJECT

private:
    Form9* form = nullptr;

    void calculateProblem1() {
        windows->form8()->Command1_Click();
        QVERIFY2(desktop.messages.isEmpty(), qPrintable(desktop.messageTexts().join('|')));
        desktop.clear();
    }

private Q_SLOTS:
    void init() {
        startWindows();
        form = windows->form9();
        windows->showChild(form);
    }

    void cleanup() {
        stopWindows();
        form = nullptr;
    }

    void defaultsAgreeWithTheCore() {
        calculateProblem1();
        Form8* problem1 = windows->form8();
        QVERIFY(!form->Command2->isEnabled());
        form->Command1_Click();
        QVERIFY2(desktop.messages.isEmpty(), qPrintable(desktop.messageTexts().join('|')));

        // Problem 1 copied and formatted here.
        QCOMPARE(form->l1->text(), QStringLiteral("90.00"));
        QCOMPARE(form->l3->text(), QStringLiteral("37.00"));
        QCOMPARE(form->l4->text(), problem1->Text4->text());
        QCOMPARE(form->l5->text(), QStringLiteral("1.000"));
        QCOMPARE(form->l7->text(), QStringLiteral("55.0"));
        QCOMPARE(form->l2->text(), problem1->lbl2->text());
        QCOMPARE(form->l10->text(), QStringLiteral("1131.30"));
        QCOMPARE(form->l29->text(), problem1->lbl11->text());
        QCOMPARE(form->l33->text(), problem1->lbl15->text());
        // The inlet air recomputed from the copies is Problem 1's.
        QCOMPARE(form->l9->text(), numtext::format(value(problem1->lbl9->text()), "##0.00"));
        QCOMPARE(form->Text18->text(), QStringLiteral("35"));
        QCOMPARE(windows->status(), QStringLiteral("Calculation has successfuly complited"));
        QVERIFY(form->Command2->isEnabled());
        QCOMPARE(desktop.waitCursorOn, 0);
        QVERIFY(allFinite(snapshot(form)));

        const ShownAir air = shownAir(psychro::Given::RelativeHumidity, 1, 28, 55);
        const double ntu1 = value(problem1->lbl2->text());
        const double ntu3 = ntuscaling::scaledNtu(ntu1, 90, 70, 35, 25);
        QCOMPARE(form->l20->text(), QStringLiteral("1.40"));
        QCOMPARE(form->l21->text(), numtext::format(ntu3, "###0.000"));
        crossflow::SweepInput in;
        in.ntu = ntu3;
        in.waterFlow = 35;
        in.airFlow = 25;
        in.waterIn = 37;
        in.airEnthalpyIn = air.enthalpy;
        in.airDryBulbIn = 28;
        in.pressure = 1;
        in.bracketLow = air.wetBulb;
        in.airTemperatures = true;
        const crossflow::SweepResult r = crossflow::sweep(in);
        QCOMPARE(r.status, crossflow::Status::Ok);
        QCOMPARE(form->l23->text(), numtext::format(r.waterOutMean, "##0.00"));
        QCOMPARE(form->l22->text(), numtext::format((37 - r.waterOutMean) * 4.19 * 35, "###0.00"));
        QCOMPARE(form->l24->text(), numtext::format(r.airDryBulbOutMean, "##0.00"));
        QCOMPARE(form->l26->text(), numtext::format(r.airEnthalpyOutMean, "###0.00"));
        // t3 lies between the inlet wet bulb and the water inlet temperature.
        QVERIFY(r.waterOutMean > air.wetBulb && r.waterOutMean < 37);
        const double t3 = value(form->l23->text());
        QVERIFY(t3 >= air.wetBulb && t3 <= 37);
        QVERIFY(value(form->l15->text()) > 0);
    }

    void equalFlowsKeepTheNtu() {
        calculateProblem1();
        setFields(form, {"Text18=90", "Text19=70"});
        form->Command1_Click();
        QVERIFY2(desktop.messages.isEmpty(), qPrintable(desktop.messageTexts().join('|')));
        const double ntu1 = value(windows->form8()->lbl2->text());
        QCOMPARE(form->l21->text(), numtext::format(ntu1, "###0.000"));
        // Back at Problem 1's operating point: the outlet water temperature is Problem 1's,
        // up to the rounding of the displayed NTU and the search's 0.01 K.
        QVERIFY(std::abs(value(form->l23->text()) - 34) < 0.05);
    }

    void emptyFieldChangesNothing() {
        calculateProblem1();
        form->Command1_Click();
        desktop.clear();
        setFields(form, {"Text19="});
        const auto before = snapshot(form);
        form->Command1_Click();
        QCOMPARE(desktop.messageTexts(), QStringList{"All fields require data"});
        QCOMPARE(desktop.messages[0].title, QStringLiteral("Missing Data"));
        QCOMPARE(desktop.messages[0].icon, MessageIcon::Warning);
        QCOMPARE(snapshot(form), before);
    }

    void refusalsLeaveTheWindowAsItWas_data() {
        QTest::addColumn<bool>("problem1");
        QTest::addColumn<QStringList>("edits");
        QTest::addColumn<QStringList>("problem1Edits");
        QTest::addColumn<QString>("text");
        QTest::newRow("problem 1 not calculated")
            << false << QStringList{} << QStringList{}
            << "Problem 1 has not been calculated yet: calculate it first.";
        QTest::newRow("zero new water flow")
            << true << QStringList{"Text18=0"} << QStringList{}
            << crossflow::refusalText(crossflow::Status::NonPositiveFlow);
        QTest::newRow("zero air flow in problem 1")
            << true << QStringList{} << QStringList{"Text8=0"}
            << crossflow::refusalText(crossflow::Status::NonPositiveFlow);
        QTest::newRow("problem 1 field emptied")
            << true << QStringList{} << QStringList{"Text6="}
            << "The data of Problem 1 are incomplete: enter and calculate them first.";
        QTest::newRow("water at the wet bulb")
            << true << QStringList{} << QStringList{"Text6=37", "Text7=100"}
            << crossflow::refusalText(crossflow::Status::WaterNotAboveWetBulb);
    }

    void refusalsLeaveTheWindowAsItWas() {
        QFETCH(bool, problem1);
        QFETCH(QStringList, edits);
        QFETCH(QStringList, problem1Edits);
        QFETCH(QString, text);
        if (problem1) {
            calculateProblem1();
            form->Command1_Click(); // results to keep
            QVERIFY(desktop.messages.isEmpty());
        }
        setFields(form, edits);
        setFields(windows->form8(), problem1Edits);
        const auto before = snapshot(form);
        const QString status = windows->status();
        form->Command1_Click();
        QCOMPARE(desktop.messageTexts(), QStringList{text});
        QCOMPARE(desktop.messages[0].title, QStringLiteral("Error"));
        QCOMPARE(snapshot(form), before);
        QCOMPARE(windows->status(), status);
    }
};

QTEST_MAIN(TestForm9)
#include "tst_form9.moc"
