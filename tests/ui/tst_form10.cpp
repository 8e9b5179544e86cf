// Problem 3, counter flow: the tower of Problem 1 at new water and air flows.

#include "counterflowchain.h"
#include "engine/numtext.h"
#include "ui/desktop.h"
#include "ui/form11.h"

#include <QtTest>

namespace {

enum class Setup {
    NotArrivedFromProblem2,
    NewWaterFlowZero,
    NewAirFlowZero,
    Problem1WaterFlowZero,
    WaterInEqualsWetBulb,
    NtuUnreachable,
    InletEnthalpyNotANumber,
};

double value(const QLabel* label) {
    return numtext::readNumber(label->text()).value_or(qQNaN());
}

} // namespace

Q_DECLARE_METATYPE(Setup)

class TestForm10 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void defaultFlowsAreRewritten() {
        Chain chain;
        chain.toProblem3();
        chain.form10()->Command1_Click();
        QVERIFY(chain.desktop.messages.isEmpty());
        QCOMPARE(chain.form10()->Text18->text(), QStringLiteral("105.00"));
        QCOMPARE(chain.form10()->Text19->text(), QStringLiteral("110.00"));
    }

    // With Problem 1's own flows the scaling law gives back Problem 1's NTU, and the search
    // comes back to Problem 1's outlet water temperature up to the precision of the texts.
    void equalFlowsGiveProblem1Back() {
        Chain chain;
        chain.toProblem3();
        Form10* form = chain.form10();
        form->Text18->setText(form->l1->text());
        form->Text19->setText(form->l8->text());
        form->Command1_Click();
        QVERIFY(chain.desktop.messages.isEmpty());
        QCOMPARE(form->l21->text(), form->l2->text());
        QVERIFY2(std::fabs(value(form->l23) - value(form->l4)) < 0.05,
                 qPrintable(form->l23->text()));
        QVERIFY(std::fabs(value(form->l22) - value(form->l10)) < 0.05 * 4.19 * 100);
    }

    // Doubling both flows keeps L/G: the bracket of the law is exactly 1.
    void doubledFlowsDoubleTheNtu() {
        Chain chain;
        chain.toProblem3();
        Form10* form = chain.form10();
        form->Text18->setText(QStringLiteral("200"));
        form->Text19->setText(QStringLiteral("180"));
        form->Command1_Click();
        QVERIFY(chain.desktop.messages.isEmpty());
        QCOMPARE(form->l21->text(), numtext::format(2 * value(form->l2), "###0.00"));
        QCOMPARE(form->l20->text(), numtext::format(100.0 / 90.0, "#0.00"));
    }

    void resultsAreBracketedByWetBulbAndWaterIn_data() {
        QTest::addColumn<QString>("water");
        QTest::addColumn<QString>("air");
        QTest::newRow("defaults") << "105"
                                  << "110";
        QTest::newRow("little water, much air") << "20"
                                                << "190";
        QTest::newRow("much water, little air") << "190"
                                                << "40";
        QTest::newRow("small tower") << "10"
                                     << "10";
    }
    void resultsAreBracketedByWetBulbAndWaterIn() {
        QFETCH(QString, water);
        QFETCH(QString, air);
        Chain chain;
        chain.toProblem3();
        Form10* form = chain.form10();
        form->Text18->setText(water);
        form->Text19->setText(air);
        form->Command1_Click();
        QVERIFY2(chain.desktop.messages.isEmpty(),
                 qPrintable(chain.desktop.messageTexts().join(QLatin1Char('\n'))));
        const double t3 = value(form->l23);
        QVERIFY(t3 >= value(form->l9) && t3 <= value(form->l3));
        QVERIFY(value(form->l15) >= 0);
        QVERIFY(value(form->l13) >= 0 && value(form->l13) <= 1);
    }

    // The pressure is Problem 1's, as copied into l5, whatever another window's calculation
    // has left in the moist-air calculator.
    void pressureComesFromProblem1() {
        Chain chain;
        chain.toProblem3();
        Form10* form = chain.form10();
        form->Command1_Click();
        const auto reference = snapshot(form);

        chain.windows->form11()->Text2->setText(QStringLiteral("0.8"));
        form->Command1_Click();
        QVERIFY(chain.desktop.messages.isEmpty());
        QCOMPARE(snapshot(form), reference);

        // ... and l5 is what is used: another pressure there moves the outlet air.
        form->l5->setText(QStringLiteral("0.900"));
        form->Command1_Click();
        QVERIFY(chain.desktop.messages.isEmpty());
        QVERIFY(form->l28->text() != reference.value(QStringLiteral("l28")));
        QCOMPARE(chain.windows->form11()->Text2->text(), QStringLiteral("0.9"));
    }

    void problem1OutletAirIsReformattedOnSuccess() {
        Chain chain;
        chain.toProblem3();
        Form10* form = chain.form10();
        form->l31->setText(QStringLiteral("76.4567"));
        form->l33->setText(QStringLiteral("0.0189"));
        form->Command1_Click();
        QCOMPARE(form->l31->text(), QStringLiteral("76.46"));
        QCOMPARE(form->l33->text(), QStringLiteral("0.01890"));
    }

    // The enthalpy of the outlet air (3) shows at least two integer digits.
    void outletEnthalpyPattern_data() {
        QTest::addColumn<double>("enthalpy");
        QTest::addColumn<QString>("text");
        QTest::newRow("5.5") << 5.5 << "05.50";
        QTest::newRow("0") << 0.0 << "00.00";
        QTest::newRow("75.144") << 75.144 << "75.14";
        QTest::newRow("123.456") << 123.456 << "123.46";
    }
    void outletEnthalpyPattern() {
        QFETCH(double, enthalpy);
        QFETCH(QString, text);
        QCOMPARE(numtext::format(enthalpy, "##00.00"), text);
    }

    void refusalLeavesTheWindowAsItWas_data() {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QString>("reason");
        QTest::newRow("not arrived from Problem 2")
            << Setup::NotArrivedFromProblem2 << "Problem 1 has not been calculated yet";
        QTest::newRow("new water flow zero")
            << Setup::NewWaterFlowZero << "must be greater than zero";
        QTest::newRow("new air flow zero") << Setup::NewAirFlowZero << "must be greater than zero";
        QTest::newRow("Problem 1 water flow zero")
            << Setup::Problem1WaterFlowZero << "must be greater than zero";
        QTest::newRow("water IN equals wet bulb")
            << Setup::WaterInEqualsWetBulb << "cooling degree is undefined";
        QTest::newRow("NTU unreachable") << Setup::NtuUnreachable << "did not converge";
        QTest::newRow("inlet enthalpy not a number")
            << Setup::InletEnthalpyNotANumber << "Problem 1 has not been calculated yet";
    }
    void refusalLeavesTheWindowAsItWas() {
        QFETCH(Setup, setup);
        QFETCH(QString, reason);
        Chain chain;
        Form10* form = chain.form10();
        if (setup == Setup::NotArrivedFromProblem2) {
            chain.windows->showChild(chain.form5());
            chain.form5()->Command1_Click();
            chain.windows->showChild(form);
        } else {
            chain.toProblem3();
            form->Command1_Click(); // results on show, "GoTo Problem 4" enabled
            QVERIFY(chain.desktop.messages.isEmpty());
            form->l31->setText(QStringLiteral("76.4567")); // would be reformatted
        }
        switch (setup) {
        case Setup::NotArrivedFromProblem2:
            break;
        case Setup::NewWaterFlowZero:
            form->Text18->setText(QStringLiteral("0"));
            break;
        case Setup::NewAirFlowZero:
            form->Text19->setText(QStringLiteral("0.0"));
            break;
        case Setup::Problem1WaterFlowZero:
            form->l1->setText(QStringLiteral("0.00"));
            break;
        case Setup::WaterInEqualsWetBulb:
            form->l3->setText(form->l9->text());
            break;
        case Setup::NtuUnreachable:
            form->l2->setText(QStringLiteral("-1.00"));
            break;
        case Setup::InletEnthalpyNotANumber:
            chain.form5()->lbl11->setText(QString());
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

    void emptyFieldIsMissingData() {
        Chain chain;
        chain.toProblem3();
        Form10* form = chain.form10();
        form->Text19->clear();
        const auto before = snapshot(form);
        form->Command1_Click();
        QCOMPARE(chain.desktop.messageTexts(),
                 QStringList{QStringLiteral("All fields require data")});
        QCOMPARE(chain.desktop.messages[0].title, QStringLiteral("Missing Data"));
        QCOMPARE(snapshot(form), before);
    }

    void goToProblem4WaitsForACalculation() {
        Chain chain;
        chain.toProblem3();
        QVERIFY(!chain.form10()->Command3->isEnabled());
        chain.form10()->Command1_Click();
        QVERIFY(chain.form10()->Command3->isEnabled());
    }

    void activationFocusesTheWaterFlowAndShowsTheHint() {
        Chain chain;
        chain.toProblem3();
        QCOMPARE(chain.active(), chain.form10());
        QCOMPARE(QApplication::focusWidget(), chain.form10()->Text18);
        QCOMPARE(chain.windows->status(),
                 QStringLiteral("Recommended water mass flow rate is 0 - 200 [kg/s] with "
                                "accuracy +/- 2%"));
    }

    void navigation() {
        Chain chain;
        chain.toProblem3();
        Form10* form = chain.form10();
        form->Command1_Click();
        form->Command3_Click();
        QCOMPARE(chain.active(), chain.form3());
        QCOMPARE(subWindowOf(chain.form3())->geometry(), QRect(0, 0, 940, 620));
        chain.form3()->Command2_Click();
        QCOMPARE(chain.active(), form);
        QCOMPARE(subWindowOf(form)->geometry(), QRect(0, 0, 940, 620));
        form->Command2_Click();
        QCOMPARE(chain.active(), chain.form2());
        QVERIFY(subWindowOf(form)->isVisible()); // left open behind
    }
};

QTEST_MAIN(TestForm10)
#include "tst_form10.moc"
