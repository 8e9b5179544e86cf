// Problem 2, counter flow: the acceptance test against the name plate, with the NTU of Problem 1
// as Form5 displays it.

#include "core/counterflow.h"
#include "core/psychro.h"
#include "counterflowchain.h"
#include "engine/numtext.h"
#include "ui/desktop.h"
#include "ui/form11.h"

#include <QtTest>

namespace {

enum class Setup {
    Problem1NotCalculated,
    Problem1NtuNotANumber,
    DesignHeatCapacityZero,
    Problem1WaterFlowZero,
    Problem1AirFlowZero,
    WaterInEqualsWetBulb,
    NtuUnreachable,
    NoSuchInletAir,
};

} // namespace

Q_DECLARE_METATYPE(Setup)

class TestForm2 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void defaultDesignHeatCapacity() {
        Chain chain;
        chain.toProblem2();
        chain.form2()->Command1_Click();
        QVERIFY(chain.desktop.messages.isEmpty());
        // 3 K * 4.19 kJ/(kg K) * 90 kg/s
        QCOMPARE(chain.form2()->l5->text(), QStringLiteral("1131.30"));
        QCOMPARE(chain.windows->status(), QStringLiteral("Calculation has successfuly complited"));
        QCOMPARE(chain.form2()->Text13->text(), QStringLiteral("90.00"));
        QCOMPARE(chain.form2()->Text15->text(), QStringLiteral("80.00"));
    }

    // The search holds the NTU that Problem 1 displays, not its unrounded value: a changed
    // caption moves the outlet temperature to where the integration needs exactly that NTU.
    void searchTargetIsTheDisplayedNtu_data() {
        QTest::addColumn<QString>("ntuText");
        QTest::newRow("as calculated") << QString();
        QTest::newRow("25.00") << QStringLiteral("25.00");
        QTest::newRow("30.59") << QStringLiteral("30.59");
        QTest::newRow("60.00") << QStringLiteral("60.00");
    }
    void searchTargetIsTheDisplayedNtu() {
        QFETCH(QString, ntuText);
        Chain chain;
        chain.toProblem2();
        if (!ntuText.isEmpty())
            chain.form5()->lbl2->setText(ntuText);
        chain.form2()->Command1_Click();
        QVERIFY(chain.desktop.messages.isEmpty());

        // An independent plain bisection of the integration at the design inlet.
        const double ntu1 = *numtext::readNumber(chain.form5()->lbl2->text());
        const psychro::AirResult inlet =
            psychro::moistAirState(psychro::Given::WetBulb, 1.0, 27, 21);
        const double hIn = std::round(inlet.state.enthalpy * 1e4) / 1e4; // as Form11 shows it
        double lo = 21, hi = 34;
        for (int pass = 0; pass < 100; ++pass) {
            const double t = (lo + hi) / 2;
            const auto fill = counterflow::integrate({t, 34, 100, 90, 1.0, hIn, 27});
            if (fill.status != counterflow::Status::Ok || fill.ntu > ntu1)
                lo = t;
            else
                hi = t;
        }
        const double tout2 = *numtext::readNumber(chain.form2()->l3->text());
        QVERIFY2(std::fabs(tout2 - lo) <= 0.005 + 1e-9, qPrintable(QString::number(lo)));
        QCOMPARE(chain.form2()->l2->text(), numtext::format(ntu1, "###0.00"));
        const double qa = *numtext::readNumber(chain.form2()->l4->text());
        QVERIFY(std::fabs(qa - (34 - lo) * 4.19 * 100) <= 0.005 + 1e-9);
    }

    void checksOfItsOwnFields_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("icon");
        QTest::addColumn<QStringList>("emptied");
        QTest::addColumn<QString>("focus");
        const QString app = applicationTitle();
        QTest::newRow("empty field")
            << "Text14"
            << "" << app << "All fields require data" << int(MessageIcon::None)
            << QStringList{"Text14"} << QString();
        QTest::newRow("outlet above inlet")
            << "Text12"
            << "35" << app << "Outlet water temperature must be less then inlet water temperature"
            << int(MessageIcon::None) << QStringList{"Text11", "Text12"} << "Text11";
        QTest::newRow("wet bulb above dry bulb")
            << "Text14"
            << "28"
            << "Error"
            << "Ambient wet bulb temperature must be less then dry bulb temperature"
            << int(MessageIcon::Error) << QStringList{"Text14", "Text16"} << "Text14";
    }
    void checksOfItsOwnFields() {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(int, icon);
        QFETCH(QStringList, emptied);
        QFETCH(QString, focus);
        Chain chain;
        chain.toProblem2();
        Form2* form = chain.form2();
        form->findChild<QLineEdit*>(field)->setText(value);
        auto before = snapshot(form);
        for (const QString& name : emptied)
            before[name].clear();
        form->Command1_Click();
        QCOMPARE(chain.desktop.messages.size(), 1);
        QCOMPARE(chain.desktop.messages[0].title, title);
        QCOMPARE(chain.desktop.messages[0].text, text);
        QCOMPARE(int(chain.desktop.messages[0].icon), icon);
        QCOMPARE(snapshot(form), before);
        if (!focus.isEmpty())
            QCOMPARE(QApplication::focusWidget(), form->findChild<QLineEdit*>(focus));
    }

    void refusalLeavesTheWindowAsItWas_data() {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QString>("reason");
        QTest::newRow("Problem 1 not calculated")
            << Setup::Problem1NotCalculated << "Problem 1 has not been calculated yet";
        QTest::newRow("Problem 1 NTU not a number")
            << Setup::Problem1NtuNotANumber << "Problem 1 has not been calculated yet";
        QTest::newRow("design heat capacity zero")
            << Setup::DesignHeatCapacityZero << "design heat capacity Qd is zero";
        QTest::newRow("Problem 1 water flow zero")
            << Setup::Problem1WaterFlowZero << "must be greater than zero";
        QTest::newRow("Problem 1 air flow zero")
            << Setup::Problem1AirFlowZero << "must be greater than zero";
        QTest::newRow("water IN equals wet bulb")
            << Setup::WaterInEqualsWetBulb << "cooling degree is undefined";
        QTest::newRow("NTU unreachable") << Setup::NtuUnreachable << "did not converge";
        QTest::newRow("no such inlet air") << Setup::NoSuchInletAir << "No such design inlet air";
    }
    void refusalLeavesTheWindowAsItWas() {
        QFETCH(Setup, setup);
        QFETCH(QString, reason);
        Chain chain;
        Form2* form = chain.form2();
        Form5* problem1 = chain.form5();
        if (setup != Setup::Problem1NotCalculated) {
            chain.toProblem2();
            form->Command1_Click(); // results on show, "GoTo Problem 3" enabled
            QVERIFY(chain.desktop.messages.isEmpty());
        }
        switch (setup) {
        case Setup::Problem1NotCalculated:
            chain.windows->showChild(form);
            break;
        case Setup::Problem1NtuNotANumber:
            problem1->lbl2->setText(QStringLiteral("abc"));
            break;
        case Setup::DesignHeatCapacityZero:
            form->Text12->setText(form->Text11->text());
            break;
        case Setup::Problem1WaterFlowZero:
            problem1->Text1->setText(QStringLiteral("0"));
            break;
        case Setup::Problem1AirFlowZero:
            problem1->Text8->setText(QStringLiteral("0"));
            break;
        case Setup::WaterInEqualsWetBulb:
            form->Text11->setText(QStringLiteral("27"));
            form->Text12->setText(QStringLiteral("25"));
            form->Text14->setText(QStringLiteral("27"));
            form->Text16->setText(QStringLiteral("27"));
            break;
        case Setup::NtuUnreachable:
            problem1->lbl2->setText(QStringLiteral("-1.00"));
            break;
        case Setup::NoSuchInletAir:
            problem1->Text5->setText(QStringLiteral("0.010")); // below the vapour pressure
            break;
        }
        chain.windows->setStatus(QStringLiteral("before"));
        chain.desktop.clear();
        const auto before = snapshot(form);
        form->Command1_Click();
        QCOMPARE(chain.desktop.messages.size(), 1);
        QCOMPARE(chain.desktop.messages[0].title, QStringLiteral("Error"));
        QCOMPARE(chain.desktop.messages[0].icon, MessageIcon::Error);
        QVERIFY2(chain.desktop.messages[0].text.contains(reason),
                 qPrintable(chain.desktop.messages[0].text));
        QCOMPARE(snapshot(form), before);
        QCOMPARE(chain.windows->status(), QStringLiteral("before"));
    }

    void goToProblem3WaitsForACalculation() {
        Chain chain;
        chain.toProblem2();
        QVERIFY(!chain.form2()->Command3->isEnabled());
        chain.form2()->Command1_Click();
        QVERIFY(chain.form2()->Command3->isEnabled());
    }

    void navigationPlacesAndFocusesProblem2() {
        Chain chain;
        chain.toProblem2();
        QCOMPARE(chain.active(), chain.form2());
        QCOMPARE(subWindowOf(chain.form2())->geometry(), QRect(0, 0, 940, 620));
    }

    void activationFocusesTheWaterFlowAndShowsTheHint() {
        Chain chain;
        chain.toProblem2();
        QCOMPARE(chain.windows->status(),
                 QStringLiteral("Recommended water mass flow rate is 0 - 200 [kg/s] with "
                                "accuracy +/- 2%"));
        QCOMPARE(QApplication::focusWidget(), chain.form2()->Text13);
    }

    // "GoTo Problem 3" shows Form10 and hands Problem 1's texts on unchanged.
    void goToProblem3CopiesProblem1() {
        Chain chain;
        chain.toProblem2();
        chain.form2()->Command1_Click();
        chain.form5()->lbl11->setText(QStringLiteral("53.1")); // any text travels as it stands
        chain.form2()->Command3_Click();
        const Form5* p1 = chain.form5();
        const Form10* p3 = chain.form10();
        const std::pair<const QLabel*, QString> copies[] = {
            {p3->l1, p1->Text1->text()},  {p3->l3, p1->Text3->text()},
            {p3->l4, p1->Text4->text()},  {p3->l8, p1->Text8->text()},
            {p3->l5, p1->Text5->text()},  {p3->l6, p1->Text6->text()},
            {p3->l7, p1->Text7->text()},  {p3->l2, p1->lbl2->text()},
            {p3->l10, p1->lbl10->text()}, {p3->l11, p1->lbl11->text()},
            {p3->l12, p1->lbl12->text()}, {p3->l9, p1->lbl9->text()},
            {p3->l29, p1->lbl13->text()}, {p3->l30, p1->lbl14->text()},
            {p3->l31, p1->lbl15->text()}, {p3->l32, p1->lbl16->text()},
            {p3->l33, p1->lbl17->text()},
        };
        for (const auto& [label, text] : copies) {
            QVERIFY(!text.isEmpty());
            QCOMPARE(label->text(), text);
        }
        QCOMPARE(chain.active(), p3);
        QCOMPARE(subWindowOf(p3)->geometry(), QRect(0, 0, 940, 620));
        QCOMPARE(QApplication::focusWidget(), p3->Text18);
    }

    void backReturnsToProblem1() {
        Chain chain;
        chain.toProblem2();
        chain.form2()->Command2_Click();
        QCOMPARE(chain.active(), chain.form5());
        QCOMPARE(subWindowOf(chain.form5())->geometry(), QRect(0, 0, 940, 620));
        QVERIFY(subWindowOf(chain.form2())->isVisible()); // left open behind
    }
};

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
