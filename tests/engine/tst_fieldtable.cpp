// The table of the 38 entry fields and the order of their checks.

#include "engine/fieldtable.h"
#include "engine/keys.h"

#include <QtTest>
#include <cmath>
#include <set>
#include <utility>

namespace {

QString q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();

std::optional<double> maybe(double v) {
    return std::isnan(v) ? std::nullopt : std::optional<double>(v);
}

} // namespace

class TestFieldTable : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void rowsAreUniqueAndComplete();
    void countsPerWindow_data();
    void countsPerWindow();
    void rowsVerbatim_data();
    void rowsVerbatim();
    void temperatureLimitsPerWindow_data();
    void temperatureLimitsPerWindow();
    void checks_data();
    void checks();
};

void TestFieldTable::rowsAreUniqueAndComplete() {
    const auto table = fieldTable();
    QCOMPARE(table.size(), size_t{38});
    std::set<std::pair<std::string_view, std::string_view>> keys;
    for (const FieldDef& f : table) {
        const QString where = q(f.window) + "." + q(f.control);
        QVERIFY2(keys.insert({f.window, f.control}).second, qPrintable("duplicate " + where));
        QCOMPARE(findField(f.window, f.control), &f);
        QCOMPARE(findField(f.arrangement, f.problem, f.field), &f);
        QVERIFY2(f.field < engine::kFieldCounts[f.problem - 1], qPrintable(where)); // no label
        QVERIFY2(!f.initialText.empty() && !f.hint.empty() && !f.quantity.empty(),
                 qPrintable(where));
        QVERIFY2(f.upperMessage.starts_with("Invalid entries, "), qPrintable(where));
        // The initial text passes the field's own checks (the heat-capacity fields only
        // while Problem 1 shows no heat capacity).
        QVERIFY2(!checkField(f, q(f.initialText).toDouble()), qPrintable(where));
        QCOMPARE(q(f.leadingOnButton), q(leadingOnButtonOf(f.window)));
        QCOMPARE(f.limit == LimitKind::HeatCapacity, !f.heatCapacityWindow.empty());
        if (f.limit == LimitKind::Pressure)
            QVERIFY2(f.negativeMessage.empty() && f.lowerMessage.starts_with("Invalid entries, "),
                     qPrintable(where));
        else
            QVERIFY2(f.negativeMessage.starts_with("Invalid entries, ") && f.lowerMessage.empty(),
                     qPrintable(where));
    }
    QCOMPARE(findField("Form5", "Text2"), nullptr);
    QCOMPARE(findField("Form11", "Text2"), nullptr);
}

void TestFieldTable::countsPerWindow_data() {
    // clang-format off
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("controls");
    QTest::newRow("Form5") << "Form5" << 7 << "Command2"
                           << QStringList{"Text1", "Text3", "Text4", "Text5",
                                          "Text6", "Text7", "Text8"};
    QTest::newRow("Form8") << "Form8" << 7 << "Command3"
                           << QStringList{"Text1", "Text3", "Text4", "Text5",
                                          "Text6", "Text7", "Text8"};
    QTest::newRow("Form2") << "Form2" << 6 << "Command3"
                           << QStringList{"Text11", "Text12", "Text13",
                                          "Text14", "Text15", "Text16"};
    QTest::newRow("Form6") << "Form6" << 6 << "Command3"
                           << QStringList{"Text14", "Text15", "Text16",
                                          "Text17", "Text18", "Text19"};
    QTest::newRow("Form10") << "Form10" << 2 << "Command3" << QStringList{"Text18", "Text19"};
    QTest::newRow("Form9") << "Form9" << 2 << "Command2" << QStringList{"Text18", "Text19"};
    QTest::newRow("Form3") << "Form3" << 4 << ""
                           << QStringList{"Text1", "Text2", "Text3", "Text29"};
    QTest::newRow("Form4") << "Form4" << 4 << "" << QStringList{"Text4", "Text5", "Text6", "Text7"};
    // clang-format on
}

void TestFieldTable::countsPerWindow() {
    QFETCH(QString, window);
    QFETCH(int, count);
    QFETCH(QString, button);
    QFETCH(QStringList, controls);
    const std::string w = window.toStdString();
    const std::vector<const FieldDef*> fields = fieldsOfWindow(w);
    QCOMPARE(int(fields.size()), count);
    QStringList names;
    for (const FieldDef* f : fields) {
        names << q(f->control);
        QCOMPARE(q(f->leadingOnButton), button);
    }
    QCOMPARE(names, controls);
    QCOMPARE(q(leadingOnButtonOf(w)), button);
}

void TestFieldTable::rowsVerbatim_data() {
    // clang-format off
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("initial");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<int>("kind");
    QTest::addColumn<double>("limit");
    QTest::addColumn<QString>("upperMessage");
    QTest::addColumn<QString>("negativeMessage");

    const int upper = int(LimitKind::Upper);
    const int pressure = int(LimitKind::Pressure);
    const int heat = int(LimitKind::HeatCapacity);
    QTest::newRow("Form5.Text1") << "Form5" << "Text1" << "100"
        << "Recommended water mass flow rate is 0 - 200 [kg/s] with accuracy +/- 2%" << upper
        << 200.0 << "Invalid entries, number must be less than 200 kg/s"
        << "Invalid entries, water mass flow rate must be positive number";
    QTest::newRow("Form5.Text5") << "Form5" << "Text5" << "1"
        << "Ambient air pressure is in range 0.9 - 1.15 [bar] with accuracy +/-1%" << pressure
        << 1.15 << "Invalid entries, number must be less 1.15 bar" << "";
    QTest::newRow("Form8.Text1 (200 kg/s settled)") << "Form8" << "Text1" << "90"
        << "Recommended water mass flow rate is 0 - 200[kg/s] with accuracy +/-2%" << upper << 200.0
        << "Invalid entries, number must be less than 200 kg/s"
        << "Invalid entries, water mass flow rate must be positive number";
    QTest::newRow("Form8.Text5 (hint names 0.8 - 1.1)") << "Form8" << "Text5" << "1"
        << "Ambient air pressure is in range 0.8 - 1.1[bar] with accuracy +/-1%" << pressure << 1.15
        << "Invalid entries, number must be less 1.15 bar" << "";
    QTest::newRow("Form2.Text12") << "Form2" << "Text12" << "31"
        << "Recommended outlet water temperature is 30 - 60[oC] with accuracy +/-0.05 [oC]" << upper
        << 80.0 << "Invalid entries, number must be less than 80 oC"
        << "Invalid entries, outlet water temperature must be positive number";
    QTest::newRow("Form10.Text19 (message ends with a blank)") << "Form10" << "Text19" << "110"
        << "Recommended air mass flow rate is 0 - 200[kg/s] with accuracy +/-2%" << upper << 200.0
        << "Invalid entries, number must be less than 200 kg/s "
        << "Invalid entries, air mass flow rate must be positive number";
    QTest::newRow("Form3.Text1") << "Form3" << "Text1" << "2200"
                                 << "Heat capacity [kW]" << heat << 0.0
                                 << "Invalid entries, number must be less than you entered"
                                 << "Invalid entries, Heat capacity must be positive number";
    QTest::newRow("Form3.Text2 (dry bulb, wet-bulb texts)") << "Form3" << "Text2" << "30"
        << "Recommended range of ambient wet bulb temperature is 0 - 40[oC] with accuracy "
           "+/-0.05[oC]" << upper << 35.0 << "Invalid entries, number must be less than 35 oC"
        << "Invalid entries, ambient wet bulb inlet temperature must be positive number";
    QTest::newRow("Form3.Text3 (wet bulb, dry-bulb texts, cut message)") << "Form3" << "Text3"
        << "22" << "Recommended range of ambient dry bulb temperature is 0 - 40[oC] with accuracy "
           "+/-0.05[oC]" << upper << 70.0 << "Invalid entries, number must be less"
        << "Invalid entries, ambient dry bulb inlet temperature must be positive number";
    QTest::newRow("Form4.Text5 (wet bulb, dry-bulb texts, blank-ended)") << "Form4" << "Text5"
        << "22" << "Recommended range of ambient dry bulb temperature is 0 - 40[oC] with accuracy "
           "+/-0.05[oC]" << upper << 70.0 << "Invalid entries, number must be less than 70 oC "
        << "Invalid entries, ambient dry bulb inlet temperature must be positive number";
    QTest::newRow("Form4.Text6 (dry bulb, wet-bulb texts)") << "Form4" << "Text6" << "28"
        << "Recommended range of ambient wet bulb temperature is 0 - 40[oC] with accuracy "
           "+/-0.05[oC]" << upper << 35.0 << "Invalid entries, number must be less than 35 oC"
        << "Invalid entries, ambient wet bulb inlet temperature must be positive number";
    // clang-format on
}

void TestFieldTable::rowsVerbatim() {
    QFETCH(QString, window);
    QFETCH(QString, control);
    QFETCH(QString, initial);
    QFETCH(QString, hint);
    QFETCH(int, kind);
    QFETCH(double, limit);
    QFETCH(QString, upperMessage);
    QFETCH(QString, negativeMessage);
    const FieldDef* f = findField(window.toStdString(), control.toStdString());
    QVERIFY(f);
    QCOMPARE(q(f->initialText), initial);
    QCOMPARE(q(f->hint), hint);
    QCOMPARE(int(f->limit), kind);
    if (f->limit != LimitKind::HeatCapacity)
        QCOMPARE(f->upperLimit, limit);
    QCOMPARE(q(f->upperMessage), upperMessage);
    QCOMPARE(q(f->negativeMessage), negativeMessage);
    if (f->limit == LimitKind::Pressure) {
        QCOMPARE(f->lowerLimit, 0.9);
        QCOMPARE(q(f->lowerMessage),
                 QString("Invalid entries, number must be greather than 0.9 bar"));
    }
    if (f->limit == LimitKind::HeatCapacity)
        QCOMPARE(q(f->heatCapacityWindow), QString(window == "Form3" ? "Form5" : "Form8"));
}

// The ambient temperature limits differ between the windows; found by quantity, so a row
// with swapped limits shows up.
void TestFieldTable::temperatureLimitsPerWindow_data() {
    // clang-format off
    QTest::addColumn<QString>("window");
    QTest::addColumn<double>("dryBulb");
    QTest::addColumn<double>("wetBulb"); // 0: the window has no wet-bulb field
    QTest::newRow("Form5") << "Form5" << 80.0 << 0.0;
    QTest::newRow("Form8") << "Form8" << 70.0 << 0.0;
    QTest::newRow("Form2") << "Form2" << 70.0 << 35.0;
    QTest::newRow("Form6") << "Form6" << 35.0 << 70.0;
    QTest::newRow("Form3") << "Form3" << 35.0 << 70.0;
    QTest::newRow("Form4") << "Form4" << 35.0 << 70.0;
    // clang-format on
}

void TestFieldTable::temperatureLimitsPerWindow() {
    QFETCH(QString, window);
    QFETCH(double, dryBulb);
    QFETCH(double, wetBulb);
    double foundDry = 0, foundWet = 0;
    for (const FieldDef* f : fieldsOfWindow(window.toStdString())) {
        if (q(f->quantity) == QString::fromUtf8("ambient dry-bulb temperature, °C"))
            foundDry = f->upperLimit;
        if (q(f->quantity) == QString::fromUtf8("ambient wet-bulb temperature, °C"))
            foundWet = f->upperLimit;
    }
    QCOMPARE(foundDry, dryBulb);
    QCOMPARE(foundWet, wetBulb);
}

void TestFieldTable::checks_data() {
    // clang-format off
    QTest::addColumn<QString>("field");
    QTest::addColumn<double>("value");        // NaN: not a number
    QTest::addColumn<double>("heatCapacity"); // NaN: Problem 1 shows none
    QTest::addColumn<QString>("message");     // empty: passes

    const QString numbersOnly = "Invalid entries, please enter numbers only";
    const QString less200 = "Invalid entries, number must be less than 200 kg/s";
    const QString lessPressure = "Invalid entries, number must be less 1.15 bar";
    const QString greaterPressure = "Invalid entries, number must be greather than 0.9 bar";
    const QString lessEntered = "Invalid entries, number must be less than you entered";
    const QString heatNegative = "Invalid entries, Heat capacity must be positive number";
    const double none = kNotANumber;

    QTest::newRow("not a number") << "Form5.Text1" << none << none << numbersOnly;
    QTest::newRow("flow 200 passes") << "Form5.Text1" << 200.0 << none << "";
    QTest::newRow("flow 200.01") << "Form5.Text1" << 200.01 << none << less200;
    QTest::newRow("flow negative") << "Form5.Text1" << -1.0 << none
        << "Invalid entries, water mass flow rate must be positive number";
    QTest::newRow("Form8 water 200 passes") << "Form8.Text1" << 200.0 << none << "";
    QTest::newRow("Form8 water 200.01") << "Form8.Text1" << 200.01 << none << less200;
    QTest::newRow("Form8 air 200.01") << "Form8.Text8" << 200.01 << none << less200;
    QTest::newRow("pressure 0.9 passes") << "Form5.Text5" << 0.9 << none << "";
    QTest::newRow("pressure 1.15 passes") << "Form8.Text5" << 1.15 << none << "";
    QTest::newRow("pressure 0.89") << "Form5.Text5" << 0.89 << none << greaterPressure;
    QTest::newRow("pressure 1.16") << "Form8.Text5" << 1.16 << none << lessPressure;
    QTest::newRow("pressure negative") << "Form5.Text5" << -1.0 << none << greaterPressure;
    QTest::newRow("humidity 0 passes") << "Form5.Text7" << 0.0 << none << "";
    QTest::newRow("humidity 100.01")
        << "Form5.Text7" << 100.01 << none << "Invalid entries, number must be less than 100 %";
    QTest::newRow("blank-ended message") << "Form10.Text19" << 250.0 << none
                                         << "Invalid entries, number must be less than 200 kg/s ";
    QTest::newRow("cut message") << "Form3.Text3" << 70.5 << none
                                 << "Invalid entries, number must be less";
    QTest::newRow("heat at twice Q passes") << "Form3.Text1" << 4190.0 << 2095.0 << "";
    QTest::newRow("heat above twice Q") << "Form3.Text1" << 4190.01 << 2095.0 << lessEntered;
    QTest::newRow("heat, no Q shown: large passes") << "Form3.Text1" << 1e9 << none << "";
    QTest::newRow("heat, no Q shown: negative") << "Form4.Text7" << -1.0 << none << heatNegative;
    QTest::newRow("heat, Q 0: 0 passes") << "Form3.Text1" << 0.0 << 0.0 << "";
    QTest::newRow("heat, Q 0: above") << "Form3.Text1" << 0.01 << 0.0 << lessEntered;
    // clang-format on
}

void TestFieldTable::checks() {
    QFETCH(QString, field);
    QFETCH(double, value);
    QFETCH(double, heatCapacity);
    QFETCH(QString, message);
    const QStringList parts = field.split('.');
    const FieldDef* f = findField(parts[0].toStdString(), parts[1].toStdString());
    QVERIFY(f);
    const std::optional<std::string_view> result =
        checkField(*f, maybe(value), maybe(heatCapacity));
    QCOMPARE(result ? q(*result) : QString(), message);
}

QTEST_APPLESS_MAIN(TestFieldTable)
#include "tst_fieldtable.moc"
