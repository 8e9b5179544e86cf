// MoistAirWindow, the moist-air calculator: the exact texts it writes for each mode in a point and
// a comma locale, and that a state it cannot compute leaves every result field as it was.

#include "engine/numtext.h"
#include "support/guifixture.h"
#include "ui/moistairwindow.h"

#include <QLineEdit>
#include <QTest>
#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(MoistAirWindow::Status)

namespace M = engine::moistair;

namespace {

QString comma(QString text) {
    return text.replace(QLatin1Char('.'), QLatin1Char(','));
}

} // namespace

class TestMoistAirWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void writesRoundedResults_data();
    void writesRoundedResults();
    void numberInputsRoundTrip();
    void largestInputsStayNumbers();
    void failureChangesNoField_data();
    void failureChangesNoField();
};

void TestMoistAirWindow::writesRoundedResults_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("inputs");   // Text2, Text3, Text4 as a caller writes them
    QTest::addColumn<QStringList>("expected"); // Text9, Text11, Text13, Text15

    struct Case {
        const char* name;
        int mode;
        const char* p;
        const char* t;
        const char* second;
        const char* twb;
        const char* x;
        const char* h;
        const char* rh;
    };
    // Rounded from the reference values of the moist-air tests (twb 18.62791, x 0.01087563,
    // h 52.810438 for the first row).
    const Case cases[] = {
        {"mode 3, 25 degC, 55 %", 3, "1.01325", "25", "55", "18.63", "0.01088", "52.8104", "55.0"},
        {"mode 2, 25 degC, 50 kJ/kg", 2, "1.01325", "25", "50", "17.74", "0.00977", "50.0000",
         "49.5"},
        {"mode 1, 25 degC, wet bulb 18", 1, "1.01325", "25", "18", "18.00", "0.01009", "50.8192",
         "51.1"},
        {"mode 3, saturated", 3, "1.01325", "25", "100", "25.00", "0.02006", "76.2086", "100.0"},
        {"mode 3, below freezing", 3, "1.01325", "-5", "80", "-5.81", "0.00198", "-0.0884", "80.0"},
        {"mode 3, dry air", 3, "1", "25", "0", "8.06", "0.00000", "25.1063", "0.0"},
        {"mode 3, wet bulb at the freezing step", 3, "1", "3", "55.1", "0.00", nullptr, nullptr,
         "55.1"},
    };
    for (const Case& c : cases) {
        const auto text = [](const char* s) { return s ? QString::fromLatin1(s) : QString(); };
        const QStringList inputs{text(c.p), text(c.t), text(c.second)};
        const QStringList expected{text(c.twb), text(c.x), text(c.h), text(c.rh)};
        QTest::addRow("en_US: %s", c.name) << pointLocale() << c.mode << inputs << expected;
        QStringList commaInputs;
        for (const QString& s : inputs)
            commaInputs.append(comma(s));
        QStringList commaExpected;
        for (const QString& s : expected)
            commaExpected.append(comma(s));
        QTest::addRow("de_DE: %s", c.name)
            << commaLocale() << c.mode << commaInputs << commaExpected;
    }
}

void TestMoistAirWindow::writesRoundedResults() {
    QFETCH(QLocale, locale);
    QFETCH(int, mode);
    QFETCH(QStringList, inputs);
    QFETCH(QStringList, expected);
    LocaleGuard guard(locale);
    MoistAirWindow form;
    form.field(M::pressure)->setText(inputs[0]);
    form.field(M::dryBulb)->setText(inputs[1]);
    form.field(M::second)->setText(inputs[2]);
    QCOMPARE(form.calculate(mode), MoistAirWindow::Status::Ok);
    const QLineEdit* outputs[] = {form.field(M::wetBulb), form.field(M::humidity),
                                  form.field(M::enthalpy), form.field(M::relativeHumidity)};
    for (int i = 0; i < 4; ++i)
        if (!expected[i].isNull())
            QCOMPARE(outputs[i]->text(), expected[i]);
    // The inputs stay as written: a later window reads the pressure left in Text2.
    QCOMPARE(form.field(M::pressure)->text(), inputs[0]);
    QCOMPARE(form.field(M::dryBulb)->text(), inputs[1]);
    QCOMPARE(form.field(M::second)->text(), inputs[2]);
}

void TestMoistAirWindow::numberInputsRoundTrip() {
    // A caller hands computed numbers over as general texts; in either locale they must come
    // back as the same numbers (here the outlet air of the default Problem 1).
    for (const QLocale& locale : {pointLocale(), commaLocale()}) {
        LocaleGuard guard(locale);
        MoistAirWindow form;
        form.setInputs(1, 28.047040837257885, 76.46177777777777);
        QCOMPARE(form.field(M::pressure)->text(), QStringLiteral("1"));
        const auto t = numtext::readNumber(form.field(M::dryBulb)->text());
        QVERIFY(t && std::fabs(*t - 28.047040837257885) < 1e-13);
        QCOMPARE(form.calculate(2), MoistAirWindow::Status::Ok);
        QCOMPARE(form.field(M::wetBulb)->text(), locale.toString(24.89, 'f', 2));
        QCOMPARE(form.field(M::humidity)->text(), locale.toString(0.01891, 'f', 5));
        QCOMPARE(form.field(M::relativeHumidity)->text(), locale.toString(77.9, 'f', 1));
    }
}

void TestMoistAirWindow::largestInputsStayNumbers() {
    // Found by the fuzzer: a pressure of 1.7976931348623157e308 pasted into Form8's pressure
    // field left "1.79769313486232E+308" in Text2, a text beyond the largest double that no
    // window could read back (Form10 reads the pressure from there). Whatever the callers hand
    // over, the calculator's fields hold numbers.
    const double max = std::numeric_limits<double>::max();
    for (const QLocale& locale : {pointLocale(), commaLocale()}) {
        LocaleGuard guard(locale);
        MoistAirWindow form;
        form.setInputs(max, -max, max);
        for (const QLineEdit* field :
             {form.field(M::pressure), form.field(M::dryBulb), form.field(M::second)})
            QVERIFY2(numtext::readNumber(field->text()).has_value(), qPrintable(field->text()));
        for (int mode : {1, 2, 3}) {
            form.calculate(mode);
            for (const QLineEdit* field :
                 {form.field(M::wetBulb), form.field(M::humidity), form.field(M::enthalpy),
                  form.field(M::relativeHumidity)})
                QVERIFY2(field->text().isEmpty() || numtext::readNumber(field->text()),
                         qPrintable(field->text()));
        }
    }
}

void TestMoistAirWindow::failureChangesNoField_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<MoistAirWindow::Status>("status");
    const auto row = [](const char* name, const QLocale& l, int mode, const char* p, const char* t,
                        const char* second, MoistAirWindow::Status status) {
        QTest::newRow(name) << l << mode
                            << QStringList{QString::fromLatin1(p), QString::fromLatin1(t),
                                           QString::fromLatin1(second)}
                            << status;
    };
    const QLocale en = pointLocale();
    const QLocale de = commaLocale();
    using S = MoistAirWindow::Status;
    // ps(90) = 0.70 bar.
    row("saturated air above the pressure", en, 3, "0.5", "90", "100", S::ImpossibleState);
    row("negative humidity from a wet bulb", en, 1, "1", "30", "9", S::ImpossibleState);
    row("enthalpy below dry air", en, 2, "1", "25", "20", S::ImpossibleState);
    row("air above its boiling point", en, 3, "1", "100", "50", S::NoConvergence);
    row("text is not a number", en, 3, "1", "abc", "55", S::NotANumber);
    row("empty pressure", en, 3, "", "25", "55", S::NotANumber);
    row("group separator", en, 3, "1", "25", "1,000.5", S::NotANumber);
    row("infinite", en, 3, "1", "inf", "55", S::NotANumber);
    row("point in a comma locale", de, 3, "1.01325", "25", "55", S::NotANumber);
    row("unknown mode 0", en, 0, "1", "25", "55", S::NotANumber);
    row("unknown mode 4", en, 4, "1", "25", "55", S::NotANumber);
}

void TestMoistAirWindow::failureChangesNoField() {
    QFETCH(QLocale, locale);
    QFETCH(int, mode);
    QFETCH(QStringList, inputs);
    QFETCH(MoistAirWindow::Status, status);
    LocaleGuard guard(locale);
    MoistAirWindow form;
    // Results of an earlier call.
    form.setInputs(1.01325, 25, 55);
    QCOMPARE(form.calculate(3), MoistAirWindow::Status::Ok);
    form.field(M::pressure)->setText(inputs[0]);
    form.field(M::dryBulb)->setText(inputs[1]);
    form.field(M::second)->setText(inputs[2]);
    const TextSnapshot before = snapshotTexts(&form);
    QCOMPARE(form.calculate(mode), status);
    const QString difference = snapshotDifference(before, snapshotTexts(&form));
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

QTEST_MAIN(TestMoistAirWindow)
#include "tst_moistairwindow.moc"
