// Form5, Problem 1 for the counter-flow tower, driven as the engineer drives it: the exact
// texts of a calculation, the grid rows across activations, the checks and their messages,
// and refusals that leave every text of the window as it was.

#include "app/windows.h"
#include "support/guifixture.h"
#include "ui/form1.h"
#include "ui/form5.h"
#include "ui/frmmain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <memory>

namespace {

const QString kCompleted = QStringLiteral("Calculation has successfully complited");
const QString kHint =
    QStringLiteral("Recommended water mass flow rate is 0 - 200 [kg/s] with accuracy +/- 2%");

} // namespace

class TestForm5 : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void defaultResults_data();
    void defaultResults();
    void defaultResultsWithDecimalComma();
    void gridRowOfTheDefaults();
    void equalWaterTemperatures();
    void typedDecimalsAreUsedUnrounded_data();
    void typedDecimalsAreUsedUnrounded();
    void gridRowsAcrossActivations();
    void gridKeepsGrowingPast255Rows();
    void missingDataComesFirst_data();
    void missingDataComesFirst();
    void outletWaterWarmerThanInlet();
    void refusalsChangeNothing_data();
    void refusalsChangeNothing();
    void goToProblem2AfterTheFirstCalculation();
    void activationWritesHeadersWidthsAndHint();
    void inletWetBulbAtTheFreezingStep();

private:
    Form5* form() { return fixture_->windows().form5(); }
    // Types the seven inputs in the order Text1, Text8, Text3, Text4, Text5, Text6, Text7;
    // a null string leaves a field as it is.
    void type(const QStringList& texts);
    QLineEdit* field(const QString& name) { return form()->findChild<QLineEdit*>(name); }
    QString text(const QString& name);

    std::unique_ptr<GuiFixture> fixture_;
};

void TestForm5::init() {
    fixture_ = std::make_unique<GuiFixture>();
    fixture_->start();
    fixture_->show(form()); // as the start window's CALCULATE does
}

void TestForm5::cleanup() {
    QVERIFY(fixture_->checkNoDialogs());
    fixture_.reset();
}

void TestForm5::type(const QStringList& texts) {
    QLineEdit* fields[] = {form()->Text1, form()->Text8, form()->Text3, form()->Text4,
                           form()->Text5, form()->Text6, form()->Text7};
    for (int i = 0; i < texts.size() && i < 7; ++i)
        if (!texts[i].isNull())
            fields[i]->setText(texts[i]);
}

QString TestForm5::text(const QString& name) {
    if (auto* edit = form()->findChild<QLineEdit*>(name))
        return edit->text();
    if (auto* label = form()->findChild<QLabel*>(name))
        return label->text();
    qWarning("no control %s", qPrintable(name));
    return QStringLiteral("(no such control)");
}

void TestForm5::defaultResults_data() {
    // Rounded from the reference calculation: inlet air twb 18.600662, h 53.184024 (shown as
    // 53.1840 by the moist-air calculator and used so), x 0.0110223; NTU 30.584774,
    // h_out 76.461778, ta_out 28.047041; outlet air twb 24.894362, x 0.0189150, rh 77.9013.
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("expected");
    const char* rows[][2] = {
        {"lbl2", "30.58"},    {"lbl10", "2095.00"}, {"lbl18", "0.258"}, {"lbl19", "5.0"},
        {"lbl20", "14.4"},    {"lbl13", "28.05"},   {"lbl14", "24.89"}, {"lbl15", "76.46"},
        {"lbl16", "77.9"},    {"lbl17", "0.01891"}, {"lbl9", "18.60"},  {"lbl11", "53.18"},
        {"lbl12", "0.01102"}, {"Text1", "100.00"},  {"Text8", "90.00"}, {"Text3", "38.00"},
        {"Text4", "33.00"},   {"Text5", "1.000"},   {"Text6", "25.00"}, {"Text7", "55.0"},
    };
    for (const auto& r : rows)
        QTest::newRow(r[0]) << QString::fromLatin1(r[0]) << QString::fromLatin1(r[1]);
}

void TestForm5::defaultResults() {
    QFETCH(QString, control);
    QFETCH(QString, expected);
    form()->Command1->click();
    QVERIFY2(fixture_->desktop().messages.isEmpty(),
             qPrintable(fixture_->desktop().messageTexts().join(QLatin1Char('\n'))));
    QCOMPARE(text(control), expected);
    QCOMPARE(fixture_->windows().status(), kCompleted);
}

void TestForm5::defaultResultsWithDecimalComma() {
    fixture_.reset();
    fixture_ = std::make_unique<GuiFixture>(commaLocale());
    fixture_->start();
    fixture_->show(form());
    form()->Command1->click();
    QVERIFY(fixture_->desktop().messages.isEmpty());
    QCOMPARE(form()->lbl2->text(), QStringLiteral("30,58"));
    QCOMPARE(form()->lbl10->text(), QStringLiteral("2095,00"));
    QCOMPARE(form()->lbl14->text(), QStringLiteral("24,89"));
    QCOMPARE(form()->lbl17->text(), QStringLiteral("0,01891"));
    QCOMPARE(form()->Text5->text(), QStringLiteral("1,000"));
    QCOMPARE(form()->fgTable->item(0, 0)->text(), QStringLiteral("90,00"));
    // The rewritten fields are read again by the next calculation.
    form()->Command1->click();
    QVERIFY(fixture_->desktop().messages.isEmpty());
    QCOMPARE(form()->lbl2->text(), QStringLiteral("30,58"));
}

void TestForm5::gridRowOfTheDefaults() {
    form()->Command1->click();
    QTableWidget* grid = form()->fgTable;
    QCOMPARE(grid->rowCount(), 1);
    QCOMPARE(grid->columnCount(), 11);
    const QStringList expected = {"90.00", "100.00",  "38.00", "33.00", "25.00", "55.0",
                                  "30.58", "2095.00", "0.258", "5.0",   "14.4"};
    for (int col = 0; col < 11; ++col) {
        QVERIFY2(grid->item(0, col), qPrintable(QString::number(col)));
        QCOMPARE(grid->item(0, col)->text(), expected[col]);
    }
}

void TestForm5::equalWaterTemperatures() {
    // No cooling: no transfer units, no heat, and the air leaves as it came.
    type({{}, {}, "33", "33"});
    form()->Command1->click();
    QVERIFY(fixture_->desktop().messages.isEmpty());
    QCOMPARE(form()->lbl2->text(), QStringLiteral("0.00"));
    QCOMPARE(form()->lbl10->text(), QStringLiteral("0.00"));
    QCOMPARE(form()->lbl18->text(), QStringLiteral("0.000"));
    QCOMPARE(form()->lbl19->text(), QStringLiteral("0.0"));
    QCOMPARE(form()->lbl20->text(), QStringLiteral("14.4"));
    QCOMPARE(form()->lbl13->text(), QStringLiteral("25.00"));
    QCOMPARE(form()->lbl15->text(), form()->lbl11->text());
    QCOMPARE(form()->lbl14->text(), form()->lbl9->text());
    QCOMPARE(form()->lbl17->text(), form()->lbl12->text());
    QCOMPARE(form()->lbl16->text(), QStringLiteral("55.0"));
    QVERIFY(form()->Command2->isEnabled());
}

void TestForm5::typedDecimalsAreUsedUnrounded_data() {
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("heat");
    // Q = (Tin - Tout) 4.19 L: 5 x 4.19 x 100.004 = 2095.0838.
    QTest::newRow("water flow") << QStringList{"100.004"} << "Text1"
                                << "100.00"
                                << "2095.08";
    // 5.004 x 4.19 x 100 = 2096.676.
    QTest::newRow("outlet water") << QStringList{{}, {}, {}, "32.996"} << "Text4"
                                  << "33.00"
                                  << "2096.68";
    QTest::newRow("inlet water") << QStringList{{}, {}, "38.004"} << "Text3"
                                 << "38.00"
                                 << "2096.68";
    // The same texts rounded beforehand give the rounded heat.
    QTest::newRow("as shown") << QStringList{"100.00", {}, "38.00", "33.00"} << "Text1"
                              << "100.00"
                              << "2095.00";
}

void TestForm5::typedDecimalsAreUsedUnrounded() {
    QFETCH(QStringList, typed);
    QFETCH(QString, field);
    QFETCH(QString, shown);
    QFETCH(QString, heat);
    type(typed);
    form()->Command1->click();
    QVERIFY(fixture_->desktop().messages.isEmpty());
    QCOMPARE(text(field), shown);
    QCOMPARE(form()->lbl10->text(), heat);
    QCOMPARE(form()->lbl19->text(), QStringLiteral("5.0"));
}

void TestForm5::gridRowsAcrossActivations() {
    QTableWidget* grid = form()->fgTable;
    const auto waterFlowInRow = [grid](int row) {
        const QTableWidgetItem* item = grid->item(row, 1);
        return item ? item->text() : QString();
    };

    form()->Command1->click(); // row 1
    type({"120"});
    form()->Command1->click(); // appends row 2
    QCOMPARE(grid->rowCount(), 2);
    QCOMPARE(waterFlowInRow(0), QStringLiteral("100.00"));
    QCOMPARE(waterFlowInRow(1), QStringLiteral("120.00"));

    // Another window and back: the activation starts again at row 1.
    fixture_->show(fixture_->windows().form1());
    fixture_->show(form());
    type({"130"});
    form()->Command1->click();
    QCOMPARE(grid->rowCount(), 2);
    QCOMPARE(waterFlowInRow(0), QStringLiteral("130.00"));
    QCOMPARE(waterFlowInRow(1), QStringLiteral("120.00"));

    type({"140"});
    form()->Command1->click(); // appends an empty row at the end and overwrites row 2
    QCOMPARE(grid->rowCount(), 3);
    QCOMPARE(waterFlowInRow(1), QStringLiteral("140.00"));
    QCOMPARE(waterFlowInRow(2), QString());
    QVERIFY(fixture_->desktop().messages.isEmpty());
}

void TestForm5::gridKeepsGrowingPast255Rows() {
    // A row number of 8 bits would wrap to row 0 after 255 rows; the grid keeps growing.
    QElapsedTimer timer;
    timer.start();
    for (int k = 0; k < 300; ++k) {
        type({QString::number(100 + k * 0.01, 'f', 2)});
        form()->Command1->click();
    }
    QVERIFY(fixture_->desktop().messages.isEmpty());
    QTableWidget* grid = form()->fgTable;
    QCOMPARE(grid->rowCount(), 300);
    QCOMPARE(grid->item(0, 1)->text(), QStringLiteral("100.00"));
    QCOMPARE(grid->item(255, 1)->text(), QStringLiteral("102.55"));
    QCOMPARE(grid->item(299, 1)->text(), QStringLiteral("102.99"));
    qInfo("300 calculations in %lld ms", static_cast<long long>(timer.elapsed()));
}

void TestForm5::missingDataComesFirst_data() {
    QTest::addColumn<QString>("emptied");
    for (const char* name : {"Text1", "Text8", "Text3", "Text4", "Text5", "Text6", "Text7"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestForm5::missingDataComesFirst() {
    QFETCH(QString, emptied);
    form()->Command1->click(); // earlier results, which must stay
    fixture_->desktop().clear();
    // The outlet water is also warmer than the inlet (unless one of the two is the emptied
    // field): the empty field is reported first and nothing is emptied or focused.
    type({{}, {}, "38", "40"});
    field(emptied)->clear();
    const TextSnapshot before = snapshotTexts(form());
    const QString status = fixture_->windows().status();

    form()->Command1->click();
    QCOMPARE(fixture_->desktop().messages.size(), 1);
    const RecordingDesktop::Message& m = fixture_->desktop().messages.first();
    QCOMPARE(m.title, QStringLiteral("Missing Data"));
    QCOMPARE(m.text, QStringLiteral("All fields require data"));
    QCOMPARE(m.icon, MessageIcon::Warning);
    const QString difference = snapshotDifference(before, snapshotTexts(form()));
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
    QCOMPARE(fixture_->windows().status(), status);
}

void TestForm5::outletWaterWarmerThanInlet() {
    form()->Command1->click();
    fixture_->desktop().clear();
    type({{}, {}, "38", "38.01"});
    const TextSnapshot before = snapshotTexts(form());

    form()->Command1->click();
    QCOMPARE(fixture_->desktop().messages.size(), 1);
    const RecordingDesktop::Message& m = fixture_->desktop().messages.first();
    QCOMPARE(m.title, QStringLiteral("Error"));
    QCOMPARE(m.text,
             QStringLiteral("Outlet water temperature must be less then inlet water temperature"));
    QCOMPARE(m.icon, MessageIcon::Error);
    QCOMPARE(form()->Text3->text(), QString());
    QCOMPARE(form()->Text4->text(), QString());
    QTRY_VERIFY(form()->Text3->hasFocus());
    // Nothing else changed.
    TextSnapshot after = snapshotTexts(form());
    after[QStringLiteral("Text3")] = before.value(QStringLiteral("Text3"));
    after[QStringLiteral("Text4")] = before.value(QStringLiteral("Text4"));
    const QString difference = snapshotDifference(before, after);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void TestForm5::refusalsChangeNothing_data() {
    QTest::addColumn<QStringList>("typed");
    // Values the fields let through (or that arrive before a field is left) that still give
    // no meaningful result: the window refuses them rather than show undefined numbers.
    QTest::newRow("no water") << QStringList{"0"};
    QTest::newRow("no air") << QStringList{{}, "0"};
    QTest::newRow("negative water") << QStringList{"-5"};
    // The inlet wet bulb shows 18.60: the cooling degree would be 0 / 0.
    QTest::newRow("inlet water at the inlet wet bulb") << QStringList{{}, {}, "18.6", "18.6"};
    // Saturated air at 15 degC holds less enthalpy than the incoming air.
    QTest::newRow("outlet water below the wet bulb") << QStringList{{}, {}, {}, "15"};
    // The air catches up with the water inside the fill.
    QTest::newRow("pinch inside the fill") << QStringList{"300", "50"};
    // ps(90 degC) = 0.70 bar: saturated air at 90 degC cannot exist at 0.5 bar.
    QTest::newRow("impossible inlet air") << QStringList{{}, {}, {}, {}, "0.5", "90", "100"};
}

void TestForm5::refusalsChangeNothing() {
    QFETCH(QStringList, typed);
    form()->Command1->click(); // earlier results, grid row and status
    fixture_->desktop().clear();
    type(typed);
    const TextSnapshot before = snapshotTexts(form());
    const QString status = fixture_->windows().status();

    form()->Command1->click();
    QCOMPARE(fixture_->desktop().messages.size(), 1);
    QCOMPARE(fixture_->desktop().messages.first().icon, MessageIcon::Error);
    QVERIFY(!fixture_->desktop().messages.first().text.isEmpty());
    const QString difference = snapshotDifference(before, snapshotTexts(form()));
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
    QCOMPARE(fixture_->windows().status(), status);
}

void TestForm5::goToProblem2AfterTheFirstCalculation() {
    QVERIFY(!form()->Command2->isEnabled());
    type({"0"});
    form()->Command1->click(); // refused
    QVERIFY(!form()->Command2->isEnabled());
    type({"100"});
    form()->Command1->click();
    QVERIFY(form()->Command2->isEnabled());
    QCOMPARE(fixture_->desktop().messages.size(), 1);
}

void TestForm5::activationWritesHeadersWidthsAndHint() {
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
    QTableWidget* grid = form()->fgTable;
    const auto check = [&] {
        for (int col = 0; col < 11; ++col) {
            const QTableWidgetItem* header = grid->horizontalHeaderItem(col);
            QVERIFY(header);
            QCOMPARE(header->text(), QString::fromLatin1(columns[col].header));
            // 15 twips to the pixel, within a pixel.
            QVERIFY2(std::abs(grid->columnWidth(col) * 15 - columns[col].twips) < 15,
                     qPrintable(QString::number(col)));
        }
        QCOMPARE(fixture_->windows().status(), kHint);
    };
    check();

    // Another window spoils nothing it does not own; coming back rewrites them.
    grid->horizontalHeaderItem(3)->setText(QStringLiteral("spoilt"));
    grid->setColumnWidth(3, 10);
    fixture_->show(fixture_->windows().form1());
    fixture_->windows().setStatus(QStringLiteral("something else"));
    fixture_->show(form());
    check();
}

void TestForm5::inletWetBulbAtTheFreezingStep() {
    // Regression: winter air of 3 degC and 55.1 % has its wet bulb at the freezing point, in the
    // step between saturated air over ice and over water; the calculation used to be refused
    // because the wet-bulb search found no root.
    type({{}, {}, {}, {}, {}, "3", "55.1"});
    form()->Command1->click();
    QVERIFY2(fixture_->desktop().messages.isEmpty(),
             qPrintable(fixture_->desktop().messageTexts().join(QLatin1Char('\n'))));
    QCOMPARE(form()->lbl9->text(), QStringLiteral("0.00"));
    QCOMPARE(form()->lbl20->text(), QStringLiteral("33.0"));
}

QTEST_MAIN(TestForm5)
#include "tst_form5.moc"
