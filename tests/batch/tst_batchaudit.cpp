// The batch audit against the windows themselves: the default inputs give the texts the
// windows show when an engineer presses through the chain, a case stops at the first message
// with the quantities of the Problems before it, and no case leaves anything for the next.

#include "app/windows.h"
#include "auditfile/auditfile.h"
#include "batch/batchaudit.h"
#include "engine/fieldtable.h"
#include "support/recordingdesktop.h"
#include "ui/problemwindow.h"

#include <QPushButton>
#include <QtTest>

Q_DECLARE_METATYPE(Arrangement)

namespace {

struct Field {
    const char* form;
    const char* control;
};
// Where each input column goes, in kInputColumns order, as the window Parts place them.
// clang-format off
constexpr std::array<Field, kInputColumnCount> kCounterFields = {{
    {"Form5", "Text1"}, {"Form5", "Text8"}, {"Form5", "Text3"}, {"Form5", "Text4"},
    {"Form5", "Text5"}, {"Form5", "Text6"}, {"Form5", "Text7"},
    {"Form2", "Text13"}, {"Form2", "Text15"}, {"Form2", "Text11"}, {"Form2", "Text12"},
    {"Form2", "Text14"}, {"Form2", "Text16"},
    {"Form10", "Text18"}, {"Form10", "Text19"},
    {"Form3", "Text1"}, {"Form3", "Text29"}, {"Form3", "Text2"}, {"Form3", "Text3"},
}};
constexpr std::array<Field, kInputColumnCount> kCrossFields = {{
    {"Form8", "Text1"}, {"Form8", "Text8"}, {"Form8", "Text3"}, {"Form8", "Text4"},
    {"Form8", "Text5"}, {"Form8", "Text6"}, {"Form8", "Text7"},
    {"Form6", "Text16"}, {"Form6", "Text17"}, {"Form6", "Text14"}, {"Form6", "Text15"},
    {"Form6", "Text18"}, {"Form6", "Text19"},
    {"Form9", "Text18"}, {"Form9", "Text19"},
    {"Form4", "Text7"}, {"Form4", "Text4"}, {"Form4", "Text6"}, {"Form4", "Text5"},
}};
// clang-format on

const std::array<Field, kInputColumnCount>& fieldsOf(Arrangement arrangement) {
    return arrangement == Arrangement::CounterFlow ? kCounterFields : kCrossFields;
}

// The case that holds every field's initial text.
BatchCase defaultCase(Arrangement arrangement) {
    BatchCase c;
    c.number = 1;
    for (size_t i = 0; i < c.values.size(); ++i) {
        const Field& field = fieldsOf(arrangement)[i];
        const FieldDef* def = findField(field.form, field.control);
        Q_ASSERT(def);
        c.values[i] = QString::fromUtf8(def->initialText.data(),
                                        static_cast<qsizetype>(def->initialText.size()));
    }
    return c;
}

// The same case with one column changed.
BatchCase changed(Arrangement arrangement, const char* column, const QString& value) {
    BatchCase c = defaultCase(arrangement);
    const int index = inputColumnIndex(QLatin1String(column));
    Q_ASSERT(index >= 0);
    c.values[static_cast<size_t>(index)] = value;
    return c;
}

// What the windows show after CALCULATE and GoTo of each Problem, pressed through the
// windows' own handlers on their initial texts: the report's 58 texts.
std::array<QString, report::kMapRowCount> windowsChain(Arrangement arrangement) {
    RecordingDesktop desktop;
    Windows windows(desktop);
    if (arrangement == Arrangement::CounterFlow) {
        windows.problemWindow(Arrangement::CounterFlow, 1)->calculate();
        windows.problemWindow(Arrangement::CounterFlow, 1)->goOn();
        windows.problemWindow(Arrangement::CounterFlow, 2)->calculate();
        windows.problemWindow(Arrangement::CounterFlow, 2)->goOn();
        windows.problemWindow(Arrangement::CounterFlow, 3)->calculate();
        windows.problemWindow(Arrangement::CounterFlow, 3)->goOn();
        windows.problemWindow(Arrangement::CounterFlow, 4)->calculate();
    } else {
        windows.problemWindow(Arrangement::CrossFlow, 1)->calculate();
        windows.problemWindow(Arrangement::CrossFlow, 1)->goOn();
        windows.problemWindow(Arrangement::CrossFlow, 2)->calculate();
        windows.problemWindow(Arrangement::CrossFlow, 2)->goOn();
        windows.problemWindow(Arrangement::CrossFlow, 3)->calculate();
        windows.problemWindow(Arrangement::CrossFlow, 3)->goOn();
        windows.problemWindow(Arrangement::CrossFlow, 4)->calculate();
    }
    std::array<QString, report::kMapRowCount> texts;
    for (size_t r = 0; r < texts.size(); ++r) {
        const report::ControlRef& ref = arrangement == Arrangement::CounterFlow
                                            ? report::kCellMap[r].counterFlow
                                            : report::kCellMap[r].crossFlow;
        texts[r] = windows.controlText(QLatin1String(ref.form), QLatin1String(ref.control))
                       .value_or(QStringLiteral("(missing)"));
    }
    if (!desktop.messages.isEmpty())
        texts[0] = QStringLiteral("(message) ") + desktop.messages.front().text;
    return texts;
}

// The Problem (1 to 4) of a report row.
int problemOfRow(int row) {
    return row < 30 ? 1 : row < 55 ? 2 : row < 69 ? 3 : 4;
}

} // namespace

class TestBatchAudit : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The tool's locale, whatever the environment's.
    void initTestCase() { BatchAudit::prepareLocale(); }

    void defaultCaseGivesTheWindowsTexts_data();
    void defaultCaseGivesTheWindowsTexts();
    void stops_data();
    void stops();
    void pastedWhole_data();
    void pastedWhole();
    void casesAreIndependent();
    void headerNamesAreOneLine();

    // The audit file's input fields, taken from the key table, are the ones above.
    void inputFieldsAreTheWindowsFields() {
        for (Arrangement a : {Arrangement::CounterFlow, Arrangement::CrossFlow})
            for (int c = 0; c < kInputColumnCount; ++c) {
                const auditfile::FieldRef f = auditfile::inputField(a, c);
                QCOMPARE(QLatin1String(f.form), QLatin1String(fieldsOf(a)[size_t(c)].form));
                QCOMPARE(QLatin1String(f.control), QLatin1String(fieldsOf(a)[size_t(c)].control));
                QCOMPARE(QLatin1String(auditfile::problemForm(a, auditfile::problemOfColumn(c))),
                         QLatin1String(f.form));
            }
    }
};

void TestBatchAudit::defaultCaseGivesTheWindowsTexts_data() {
    QTest::addColumn<Arrangement>("arrangement");
    QTest::newRow("counter flow") << Arrangement::CounterFlow;
    QTest::newRow("cross flow") << Arrangement::CrossFlow;
}

void TestBatchAudit::defaultCaseGivesTheWindowsTexts() {
    QFETCH(Arrangement, arrangement);
    const BatchAudit::Result result = BatchAudit(arrangement).run(defaultCase(arrangement));
    QCOMPARE(result.status, BatchAudit::kOk);
    QCOMPARE(result.completedProblems, 4);
    const auto expected = windowsChain(arrangement);
    for (size_t r = 0; r < expected.size(); ++r) {
        QVERIFY2(!result.quantities[r].isEmpty(), report::kCellMap[r].quantity);
        QCOMPARE(result.quantities[r], expected[r]);
    }
}

void TestBatchAudit::stops_data() {
    QTest::addColumn<Arrangement>("arrangement");
    QTest::addColumn<QByteArray>("column");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("completed");

    const auto counter = Arrangement::CounterFlow;
    QTest::newRow("counter: empty value") << counter << QByteArray("p1.L") << ""
                                          << "Invalid entries, please enter numbers only" << 0;
    QTest::newRow("counter: no digit at all") << counter << QByteArray("p1.G") << "abc"
                                              << "Invalid entries, please enter numbers only" << 0;
    QTest::newRow("counter: pressure limit")
        << counter << QByteArray("p1.p") << "0.89"
        << "Invalid entries, number must be greather than 0.9 bar" << 0;
    QTest::newRow("counter: negative flow pasted becomes 0")
        << counter << QByteArray("p1.L") << "-5"
        << "The water and air mass flow rates must be greater than zero." << 0;
    QTest::newRow("counter: Problem 1 temperatures")
        << counter << QByteArray("p1.Tout") << "39"
        << "Outlet water temperature must be less then inlet water temperature" << 0;
    QTest::newRow("counter: Problem 2 temperatures")
        << counter << QByteArray("p2.Tout") << "35"
        << "Outlet water temperature must be less then inlet water temperature" << 1;
    QTest::newRow("counter: Problem 2 dry bulb limit")
        << counter << QByteArray("p2.tdb") << "70.5"
        << "Invalid entries, number must be less than 70 oC" << 1;
    QTest::newRow("counter: Problem 3 air flow limit (message ends with a blank)")
        << counter << QByteArray("p3.G") << "200.01"
        << "Invalid entries, number must be less than 200 kg/s " << 2;
    // Twice the heat capacity of Problem 1 (2095.00 kW) is the limit.
    QTest::newRow("counter: Problem 4 above twice Problem 1")
        << counter << QByteArray("p4.Q") << "4190.01"
        << "Invalid entries, number must be less than you entered" << 3;
    QTest::newRow("counter: Problem 4 last field empty")
        << counter << QByteArray("p4.twb") << ""
        << "Invalid entries, please enter numbers only" << 3;

    const auto cross = Arrangement::CrossFlow;
    QTest::newRow("cross: water flow limit")
        << cross << QByteArray("p1.L") << "200.5"
        << "Invalid entries, number must be less than 200 kg/s" << 0;
    QTest::newRow("cross: Problem 1 temperatures")
        << cross << QByteArray("p1.Tout") << "37.5"
        << "Outlet water temperature must be less then inlet water temperature" << 0;
    QTest::newRow("cross: Problem 2 dry bulb limit")
        << cross << QByteArray("p2.tdb") << "35.5"
        << "Invalid entries, number must be less than 35 oC" << 1;
    QTest::newRow("cross: Problem 3 empty value")
        << cross << QByteArray("p3.G") << ""
        << "Invalid entries, please enter numbers only" << 2;
    // Twice the heat capacity of Problem 1 (1131.30 kW) is the limit.
    QTest::newRow("cross: Problem 4 above twice Problem 1")
        << cross << QByteArray("p4.Q") << "2262.61"
        << "Invalid entries, number must be less than you entered" << 3;
    QTest::newRow("cross: Problem 4 wet bulb limit (message ends with a blank)")
        << cross << QByteArray("p4.twb") << "71"
        << "Invalid entries, number must be less than 70 oC " << 3;
}

void TestBatchAudit::stops() {
    QFETCH(Arrangement, arrangement);
    QFETCH(QByteArray, column);
    QFETCH(QString, value);
    QFETCH(QString, status);
    QFETCH(int, completed);
    const BatchAudit::Result result =
        BatchAudit(arrangement).run(changed(arrangement, column.constData(), value));
    QCOMPARE(result.status, status);
    QCOMPARE(result.completedProblems, completed);
    // The Problems before the one that stopped keep the windows' texts, the rest are empty.
    const auto full = windowsChain(arrangement);
    for (size_t r = 0; r < full.size(); ++r) {
        const int problem = problemOfRow(report::kCellMap[r].row);
        if (problem <= completed)
            QCOMPARE(result.quantities[r], full[r]);
        else
            QVERIFY2(result.quantities[r].isEmpty(), report::kCellMap[r].quantity);
    }
}

void TestBatchAudit::pastedWhole_data() {
    QTest::addColumn<QByteArray>("column");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("text");
    // The text-change procedure removes trailing characters until the text is a number.
    QTest::newRow("trailing letters") << QByteArray("p1.L") << "100abc" << 3 << "100.00";
    QTest::newRow("exponent") << QByteArray("p1.L") << "1e2" << 3 << "100.00";
    QTest::newRow("blanks") << QByteArray("p1.G") << " 90 " << 4 << "90.00";
    QTest::newRow("decimal comma loses its decimals")
        << QByteArray("p1.Tin") << "38,7" << 5 << "38.00";
    QTest::newRow("negative humidity becomes 0") << QByteArray("p1.rh") << "-20" << 9 << "0.0";
    QTest::newRow("heat capacity at its limit") << QByteArray("p4.Q") << "4190" << 69 << "4190.00";
}

void TestBatchAudit::pastedWhole() {
    QFETCH(QByteArray, column);
    QFETCH(QString, value);
    QFETCH(int, row);
    QFETCH(QString, text);
    const auto counter = Arrangement::CounterFlow;
    const BatchAudit::Result result =
        BatchAudit(counter).run(changed(counter, column.constData(), value));
    QCOMPARE(result.status, BatchAudit::kOk);
    for (size_t r = 0; r < report::kCellMap.size(); ++r)
        if (report::kCellMap[r].row == row)
            QCOMPARE(result.quantities[r], text);
}

void TestBatchAudit::casesAreIndependent() {
    // A case that stops in Problem 3 leaves nothing behind: the next default case gives the
    // texts of the first.
    const auto counter = Arrangement::CounterFlow;
    const BatchAudit audit(counter);
    const BatchAudit::Result first = audit.run(defaultCase(counter));
    const BatchAudit::Result stopped = audit.run(changed(counter, "p3.L", "250"));
    QCOMPARE(stopped.completedProblems, 2);
    const BatchAudit::Result again = audit.run(defaultCase(counter));
    QCOMPARE(again.status, first.status);
    QCOMPARE(again.quantities, first.quantities);
}

// Spreadsheets and CSV readers take a line break inside a name for a broken record: every
// header name is one line, without doubled blanks, and names no other column.
void TestBatchAudit::headerNamesAreOneLine() {
    const QStringList names = BatchAudit::headerCells();
    for (const QString& name : names)
        QCOMPARE(name, name.simplified());
    QCOMPARE(QSet<QString>(names.cbegin(), names.cend()).size(), names.size());
}

QTEST_MAIN(TestBatchAudit)
#include "tst_batchaudit.moc"
