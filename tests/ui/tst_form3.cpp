// Problem 4, counter flow: the water flow that rejects a desired heat at the L/G of Problem 3.

#include "core/counterflow.h"
#include "counterflowchain.h"
#include "engine/numtext.h"
#include "ui/desktop.h"
#include "ui/form1.h"
#include "ui/form11.h"

#include <QtTest>

namespace {

enum class Setup {
    Problem3NotCalculated,
    Problem3NtuNotANumber,
    WetBulbFarBelowDryBulb,
    HeatCapacityZero,
    WaterInEqualsWetBulb,
    WaterInBarelyAboveWetBulb,
    Problem3AirFlowZero,
    TowerOffersNoTransferUnits,
};

double value(const QLabel* label) {
    return numtext::readNumber(label->text()).value_or(qQNaN());
}
double value(const QLineEdit* field) {
    return numtext::readNumber(field->text()).value_or(qQNaN());
}

} // namespace

Q_DECLARE_METATYPE(Setup)

class TestForm3 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    // 4.19 L4 (T4 - t4) = Q4: the window's texts within their rounding, the search's own
    // numbers to the last bits.
    void heatBalance_data() {
        QTest::addColumn<QString>("heat");
        QTest::addColumn<QString>("waterIn");
        QTest::addColumn<QString>("dryBulb");
        QTest::addColumn<QString>("wetBulb");
        QTest::newRow("defaults") << "2200"
                                  << "36"
                                  << "30"
                                  << "22";
        QTest::newRow("small duty") << "300"
                                    << "30"
                                    << "25"
                                    << "18";
        QTest::newRow("large duty") << "6000"
                                    << "42"
                                    << "32"
                                    << "24";
        QTest::newRow("saturated air") << "2200"
                                       << "36"
                                       << "25"
                                       << "25";
    }
    void heatBalance() {
        QFETCH(QString, heat);
        QFETCH(QString, waterIn);
        QFETCH(QString, dryBulb);
        QFETCH(QString, wetBulb);
        Chain chain;
        chain.toProblem4();
        Form3* form = chain.form3();
        form->Text1->setText(heat);
        form->Text29->setText(waterIn);
        form->Text2->setText(dryBulb);
        form->Text3->setText(wetBulb);
        form->Command1_Click();
        QVERIFY2(chain.desktop.messages.isEmpty(),
                 qPrintable(chain.desktop.messageTexts().join(QLatin1Char('\n'))));

        const double Q4 = value(form->Text1);
        const double T4 = value(form->Text29);
        const double twb4 = value(form->Text3);
        const double L4 = value(form->l21);
        const double t4 = value(form->l24);
        // The texts carry L4 and t4 to +-0.005 each.
        const double slack = 4.19 * (0.005 * (T4 - t4) + 0.005 * L4 + 0.005 * 0.005);
        QVERIFY2(std::fabs(4.19 * L4 * (T4 - t4) - Q4) <= slack,
                 qPrintable(QStringLiteral("%1 vs %2").arg(4.19 * L4 * (T4 - t4)).arg(Q4)));
        QVERIFY(t4 >= twb4 - 0.005 && t4 <= T4 - 0.1 + 0.005);

        // The search itself, from the texts the window read.
        const Form10* p3 = chain.form10();
        const double L3 = value(p3->Text18);
        const double ratio = L3 / value(p3->Text19);
        const double inletEnthalpy = value(form->l12);
        const counterflow::FlowSearch search = counterflow::findWaterFlow(
            {Q4, T4, twb4, value(form->Text2), inletEnthalpy, value(form->l9)},
            {value(form->l4), L3, L3 / ratio, ratio});
        QCOMPARE(search.status, counterflow::Status::Ok);
        QVERIFY(std::fabs(4.19 * search.waterFlow * (T4 - search.waterOut) - Q4) <= 1e-9 * Q4);
        QVERIFY(std::fabs(search.ntu - search.fill.ntu) < counterflow::kNewFlowNtuTolerance);
        QCOMPARE(form->l21->text(), numtext::format(search.waterFlow, "##0.00"));
        QCOMPARE(form->l24->text(), numtext::format(search.waterOut, "##0.00"));
        // L/G is held: NTU4 = NTU3 L4 / L3.
        QVERIFY(std::fabs(search.ntu - value(form->l4) * search.waterFlow / L3) < 1e-9);
    }

    void flowRatioShowsThreeDecimalsAsResultAndTwoAsTransferred() {
        Chain chain;
        chain.toProblem4();
        chain.form3()->Command1_Click();
        QCOMPARE(chain.form3()->l6->text(), QStringLiteral("0.95"));
        QCOMPARE(chain.form3()->l23->text(), QStringLiteral("0.955"));
    }

    void secondRunGivesTheSameResults() {
        Chain chain;
        chain.toProblem4();
        chain.form3()->Command1_Click();
        const auto first = snapshot(chain.form3());
        QCOMPARE(first.value(QStringLiteral("Text1")), QStringLiteral("2200.00"));
        chain.form3()->Command1_Click();
        QCOMPARE(snapshot(chain.form3()), first);
        QVERIFY(chain.desktop.messages.isEmpty());
    }

    void wetBulbAboveDryBulb() {
        Chain chain;
        chain.toProblem4();
        Form3* form = chain.form3();
        form->Text3->setText(QStringLiteral("31"));
        auto before = snapshot(form);
        before[QStringLiteral("Text2")].clear();
        before[QStringLiteral("Text3")].clear();
        form->Command1_Click();
        QCOMPARE(chain.desktop.messages.size(), 1);
        QCOMPARE(chain.desktop.messages[0].title, QStringLiteral("Error"));
        QCOMPARE(chain.desktop.messages[0].text,
                 QStringLiteral("Ambient wet bulb temperature must be less then dry bulb "
                                "temperature"));
        QCOMPARE(chain.desktop.messages[0].icon, MessageIcon::Error);
        QCOMPARE(snapshot(form), before);
        QCOMPARE(QApplication::focusWidget(), form->Text2);
    }

    void emptyFieldIsMissingData() {
        Chain chain;
        chain.toProblem4();
        Form3* form = chain.form3();
        form->Text29->clear();
        const auto before = snapshot(form);
        form->Command1_Click();
        QCOMPARE(chain.desktop.messages.size(), 1);
        QCOMPARE(chain.desktop.messages[0].title, QStringLiteral("Missing Data"));
        QCOMPARE(chain.desktop.messages[0].text, QStringLiteral("All fields require data"));
        QCOMPARE(chain.desktop.messages[0].icon, MessageIcon::Warning);
        QCOMPARE(snapshot(form), before);
    }

    void refusalLeavesTheWindowAsItWas_data() {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QString>("reason");
        QTest::newRow("Problem 3 not calculated")
            << Setup::Problem3NotCalculated << "Problem 3 has not been calculated yet";
        QTest::newRow("Problem 3 NTU not a number")
            << Setup::Problem3NtuNotANumber << "Problem 3 has not been calculated yet";
        // Wet bulb 9 with dry bulb 30 passes the order check, but no such air exists: its
        // humidity would be negative.
        QTest::newRow("wet bulb 9, dry bulb 30")
            << Setup::WetBulbFarBelowDryBulb << "No such inlet air (4) exists";
        QTest::newRow("heat capacity zero") << Setup::HeatCapacityZero << "greater than zero";
        QTest::newRow("water IN equals wet bulb")
            << Setup::WaterInEqualsWetBulb << "more than 0.1 oC above";
        QTest::newRow("water IN 0.05 K above wet bulb")
            << Setup::WaterInBarelyAboveWetBulb << "more than 0.1 oC above";
        QTest::newRow("Problem 3 air flow zero")
            << Setup::Problem3AirFlowZero << "must be greater than zero";
        QTest::newRow("tower offers no transfer units")
            << Setup::TowerOffersNoTransferUnits << "did not converge";
    }
    void refusalLeavesTheWindowAsItWas() {
        QFETCH(Setup, setup);
        QFETCH(QString, reason);
        Chain chain;
        Form3* form = chain.form3();
        if (setup == Setup::Problem3NotCalculated) {
            chain.toProblem3();
            chain.windows->showChild(form);
        } else {
            chain.toProblem4();
            form->Command1_Click(); // results on show
            QVERIFY(chain.desktop.messages.isEmpty());
            form->Text1->setText(QStringLiteral("2200")); // as typed, not yet reformatted
        }
        switch (setup) {
        case Setup::Problem3NotCalculated:
            break;
        case Setup::Problem3NtuNotANumber:
            chain.form10()->l21->setText(QStringLiteral("x"));
            break;
        case Setup::WetBulbFarBelowDryBulb:
            form->Text2->setText(QStringLiteral("30"));
            form->Text3->setText(QStringLiteral("9"));
            break;
        case Setup::HeatCapacityZero:
            form->Text1->setText(QStringLiteral("0"));
            break;
        case Setup::WaterInEqualsWetBulb:
            form->Text29->setText(QStringLiteral("22"));
            break;
        case Setup::WaterInBarelyAboveWetBulb:
            form->Text29->setText(QStringLiteral("22.05"));
            break;
        case Setup::Problem3AirFlowZero:
            chain.form10()->Text19->setText(QStringLiteral("0"));
            break;
        case Setup::TowerOffersNoTransferUnits:
            chain.form10()->l21->setText(QStringLiteral("0.00"));
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

    void eachRunTakesProblem3Afresh() {
        Chain chain;
        chain.toProblem4();
        chain.form3()->Command1_Click();
        const QString before = chain.form3()->l21->text();
        chain.form10()->Text18->setText(QStringLiteral("150"));
        chain.form10()->Command1_Click();
        chain.form3()->Command1_Click();
        QCOMPARE(chain.form3()->l5->text(), QStringLiteral("150.00"));
        QCOMPARE(chain.form3()->l4->text(), chain.form10()->l21->text());
        QVERIFY(chain.form3()->l21->text() != before);
    }

    void goToMenu() {
        Chain chain;
        chain.toProblem4();
        QVERIFY(chain.form3()->Command3->isEnabled());
        chain.form3()->Command3_Click();
        QCOMPARE(chain.active(), chain.windows->form1());
        QCOMPARE(subWindowOf(chain.windows->form1())->geometry(), QRect(0, 0, 940, 620));
        QVERIFY(subWindowOf(chain.form3())->isVisible());
    }
};

QTEST_MAIN(TestForm3)
#include "tst_form3.moc"
