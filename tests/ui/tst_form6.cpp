// Form6, Problem 2 cross flow: the acceptance test from Problem 1's texts, checked against
// one sweep of the core; its message boxes; its refusals leaving the window as it was; the
// decimal comma.

#include "crossflowwindows.h"
#include "engine/crossflowrefusal.h"
#include "ui/desktop.h"
#include "ui/form6.h"
#include "ui/form8.h"

#include <QApplication>
#include <QPushButton>

using namespace cftest;

class TestForm6 : public Fixture {
    Q_OBJECT

private:
    Form6* form = nullptr;

    void calculateProblem1() {
        windows->form8()->Command1_Click();
        QVERIFY2(desktop.messages.isEmpty(), qPrintable(desktop.messageTexts().join('|')));
        desktop.clear();
    }

private Q_SLOTS:
    void init() {
        startWindows();
        form = windows->form6();
        windows->showChild(form);
    }

    void cleanup() {
        stopWindows();
        form = nullptr;
    }

    void defaultsAreOneSweepAtTheNtuOfProblem1() {
        calculateProblem1();
        Form8* problem1 = windows->form8();
        QVERIFY(!form->Command3->isEnabled());
        form->Command1_Click();
        QVERIFY2(desktop.messages.isEmpty(), qPrintable(desktop.messageTexts().join('|')));

        QCOMPARE(form->l20->text(), QStringLiteral("1131.3"));
        QCOMPARE(form->l1->text(), QStringLiteral("90.00"));
        QCOMPARE(form->l8->text(), QStringLiteral("70.00"));
        QCOMPARE(form->l5->text(), QStringLiteral("1.000"));
        QVERIFY(!form->l1->isVisible() && !form->l8->isVisible() && !form->l5->isVisible());
        QCOMPARE(form->l2->text(), problem1->lbl2->text());
        QCOMPARE(form->l50->text(), QStringLiteral("25.00"));
        QCOMPARE(form->l51->text(), QStringLiteral("21.00"));
        QCOMPARE(form->Text16->text(), QStringLiteral("90.00"));
        QCOMPARE(windows->status(), QStringLiteral("Calculation has successfuly complited"));
        QVERIFY(form->Command3->isEnabled());
        QVERIFY(allFinite(snapshot(form)));
        // No busy indication.
        QCOMPARE(desktop.waitCursorOn, 0);

        // One sweep at Problem 1's NTU as displayed, design air as Form11 rounds it, cells
        // bracketed down to 0 degC.
        const ShownAir air = shownAir(psychro::Given::WetBulb, 1, 25, 21);
        crossflow::SweepInput in;
        in.ntu = value(problem1->lbl2->text());
        in.waterFlow = 90;
        in.airFlow = 70;
        in.waterIn = 34;
        in.airEnthalpyIn = air.enthalpy;
        in.airDryBulbIn = 25;
        in.pressure = 1;
        in.bracketLow = 0;
        in.airTemperatures = true;
        const crossflow::SweepResult r = crossflow::sweep(in);
        QCOMPARE(r.status, crossflow::Status::Ok);
        QCOMPARE(form->l4->text(), numtext::format(r.waterOutMean, "##0.00"));
        const double Qa = (34 - r.waterOutMean) * 4.19 * 90;
        QCOMPARE(form->l10->text(), numtext::format(Qa, "###0.00"));
        QCOMPARE(form->l28->text(), numtext::format((Qa - 1131.3) / 1131.3 * 100, "##0.0"));
        QCOMPARE(form->l11->text(), numtext::format((34 - r.waterOutMean) / 13, "0.000"));
        QCOMPARE(form->l7->text(), numtext::format(r.airDryBulbOutMean, "##0.00"));
        QCOMPARE(form->l22->text(), numtext::format(r.airEnthalpyOutMean, "###0.00"));
        QCOMPARE(form->l25->text(), numtext::format(air.enthalpy, "###0.00"));
        // The water leaves between the design wet bulb and its inlet temperature.
        QVERIFY(r.waterOutMean > 21 && r.waterOutMean < 34);
    }

    void problem1IsReadAfresh() {
        calculateProblem1();
        form->Command1_Click();
        const QString before = form->l10->text();
        setFields(windows->form8(), {"Text1=80"});
        windows->form8()->Command1_Click();
        form->Command1_Click();
        QCOMPARE(form->l1->text(), QStringLiteral("80.00"));
        QVERIFY(form->l10->text() != before);
    }

    void messageBoxes_data() {
        QTest::addColumn<QStringList>("edits");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("icon");
        QTest::addColumn<QStringList>("emptied");
        QTest::newRow("empty field")
            << QStringList{"Text17="} << applicationTitle() << "All fields require data"
            << int(MessageIcon::None) << QStringList{};
        QTest::newRow("outlet above inlet")
            << QStringList{"Text15=35"} << applicationTitle()
            << "Outlet water temperature must be less then inlet water temperature"
            << int(MessageIcon::None) << QStringList{"Text14", "Text15"};
        QTest::newRow("wet bulb above dry bulb")
            << QStringList{"Text18=26"} << "Error"
            << "Ambient wet bulb temperature must be less then dry bulb temperature"
            << int(MessageIcon::Error) << QStringList{"Text18", "Text19"};
    }

    void messageBoxes() {
        QFETCH(QStringList, edits);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(int, icon);
        QFETCH(QStringList, emptied);
        calculateProblem1();
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
    }

    void refusalsLeaveTheWindowAsItWas_data() {
        QTest::addColumn<bool>("problem1");
        QTest::addColumn<QStringList>("edits");
        QTest::addColumn<QStringList>("problem1Edits");
        QTest::addColumn<QString>("text");
        const QString zeroQd = QStringLiteral(
            "The design heat capacity is zero, so the deviation from it cannot be calculated: the "
            "design water temperatures IN and OUT must differ and the design water mass flow rate "
            "must be greater than zero.");
        QTest::newRow("problem 1 not calculated")
            << false << QStringList{} << QStringList{}
            << "Problem 1 has not been calculated yet: calculate it first.";
        QTest::newRow("equal design water temperatures")
            << true << QStringList{"Text15=34"} << QStringList{} << zeroQd;
        QTest::newRow("zero design water flow")
            << true << QStringList{"Text16=0"} << QStringList{} << zeroQd;
        QTest::newRow("zero water flow in problem 1")
            << true << QStringList{} << QStringList{"Text1=0"}
            << crossflow::refusalText(crossflow::Status::NonPositiveFlow);
        QTest::newRow("problem 1 field emptied")
            << true << QStringList{} << QStringList{"Text5="}
            << "The data of Problem 1 are incomplete: enter and calculate them first.";
        QTest::newRow("water at the wet bulb")
            << true << QStringList{"Text14=21", "Text15=20"} << QStringList{}
            << "The design water temperature IN equals the design wet bulb temperature: the "
               "cooling degree is undefined.";
        QTest::newRow("water below the wet bulb")
            << true << QStringList{"Text14=20", "Text15=19"} << QStringList{}
            << crossflow::refusalText(crossflow::Status::CellAboveSaturation);
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
        QCOMPARE(desktop.waitCursorOn, 0);
    }

    void decimalComma() {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        calculateProblem1();
        QCOMPARE(windows->form8()->lbl10->text(), QStringLiteral("1131,30"));
        QCOMPARE(windows->form8()->Text5->text(), QStringLiteral("1,000"));
        form->Command1_Click();
        QVERIFY2(desktop.messages.isEmpty(), qPrintable(desktop.messageTexts().join('|')));
        QCOMPARE(form->l20->text(), QStringLiteral("1131,3"));
        QVERIFY(form->l4->text().contains(QLatin1Char(',')));
        QLocale::setDefault(QLocale::c());
    }
};

QTEST_MAIN(TestForm6)
#include "tst_form6.moc"
