// Reading the batch input: the CSV cells, the header's columns in any order, and every kind
// of damaged file stopping with its line and column.

#include "auditfile/batchinput.h"
#include "auditfile/csv.h"

#include <QBuffer>
#include <QtTest>

namespace {

// The canonical header, and a record of 19 cells "v0" to "v18" in that order.
QByteArray canonicalHeader() {
    QStringList names;
    for (const char* name : kInputColumns)
        names.append(QLatin1String(name));
    return names.join(u',').toUtf8();
}
QByteArray valuesRecord(int cells = kInputColumnCount) {
    QStringList values;
    for (int c = 0; c < cells; ++c)
        values.append(QStringLiteral("v%1").arg(c));
    return values.join(u',').toUtf8();
}

} // namespace

class TestBatchInput : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cellsRoundTrip_data();
    void cellsRoundTrip();
    void columnsInAnyOrder();
    void recordsAcrossLines();
    void badFiles_data();
    void badFiles();
    void errorDescription();
    void longLineIsNotReadWhole();
};

void TestBatchInput::cellsRoundTrip_data() {
    QTest::addColumn<QStringList>("cells");
    QTest::newRow("plain") << QStringList{"100", "1.5", "-3e2"};
    QTest::newRow("empty cells") << QStringList{"", "x", ""};
    QTest::newRow("comma") << QStringList{"Invalid entries, number must be less 1.15 bar", "1"};
    QTest::newRow("quotes") << QStringList{"say \"no\"", "\""};
    QTest::newRow("line breaks") << QStringList{"a\nb", "c\r\nd", "e"};
    QTest::newRow("trailing blank") << QStringList{"less than 200 kg/s ", " 1"};
}

void TestBatchInput::cellsRoundTrip() {
    QFETCH(QStringList, cells);
    const QString text = csv::record(cells) + csv::record({QStringLiteral("next")});
    const csv::Table table = csv::parse(text);
    QVERIFY(!table.error);
    QCOMPARE(table.records.size(), 2);
    QCOMPARE(table.records[0].cells, cells);
    QCOMPARE(table.records[0].line, 1);
    QCOMPARE(table.records[1].line, 2 + static_cast<int>(cells.join(QString()).count(u'\n')));
}

void TestBatchInput::columnsInAnyOrder() {
    // Reversed, with blanks around the names, a byte-order mark, CR LF line ends, a blank
    // line between the records and none after the last.
    QStringList names;
    for (auto it = kInputColumns.rbegin(); it != kInputColumns.rend(); ++it)
        names.append(QStringLiteral(" %1 ").arg(QLatin1String(*it)));
    QStringList first, second;
    for (int c = kInputColumnCount - 1; c >= 0; --c) {
        first.append(QString::number(c));
        second.append(QStringLiteral("\"%1,5\"").arg(c));
    }
    const QByteArray data = "\xEF\xBB\xBF" + names.join(u',').toUtf8() + "\r\n" +
                            first.join(u',').toUtf8() + "\r\n\r\n" + second.join(u',').toUtf8();
    const BatchInput input = BatchInput::read(data);
    QVERIFY2(!input.error, qPrintable(input.error ? input.error->text : QString()));
    QCOMPARE(input.cases.size(), 2);
    QCOMPARE(input.cases[0].number, 1);
    QCOMPARE(input.cases[0].line, 2);
    QCOMPARE(input.cases[1].number, 2);
    QCOMPARE(input.cases[1].line, 4);
    for (int c = 0; c < kInputColumnCount; ++c) {
        QCOMPARE(input.cases[0].values[static_cast<size_t>(c)], QString::number(c));
        QCOMPARE(input.cases[1].values[static_cast<size_t>(c)], QStringLiteral("%1,5").arg(c));
    }
    // Written back in the canonical order, the cases read the same.
    const BatchInput again = BatchInput::read(BatchInput::write(input.cases).toUtf8());
    QVERIFY(!again.error);
    QCOMPARE(again.cases.size(), 2);
    QCOMPARE(again.cases[1].values, input.cases[1].values);
}

void TestBatchInput::recordsAcrossLines() {
    // A quoted line break belongs to its cell; the next record starts on a later line.
    QByteArray data =
        canonicalHeader() + "\n\"1\n2\"," + valuesRecord(18) + "\n" + valuesRecord() + "\n";
    const BatchInput input = BatchInput::read(data);
    QVERIFY(!input.error);
    QCOMPARE(input.cases.size(), 2);
    QCOMPARE(input.cases[0].values[0], QStringLiteral("1\n2"));
    QCOMPARE(input.cases[1].line, 4);
}

void TestBatchInput::badFiles_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");

    const QByteArray header = canonicalHeader();
    const QByteArray row = valuesRecord();
    QTest::newRow("empty file") << QByteArray() << 1 << 0 << "no header: the file is empty";
    QTest::newRow("blank lines only")
        << QByteArray("\n\r\n") << 1 << 0 << "no header: the file is empty";
    QByteArray lacking = header;
    lacking.replace(",p4.twb", "");
    QTest::newRow("header lacks a column") << lacking + "\n"
                                           << 1 << 0 << "the header lacks column \"p4.twb\"";
    QByteArray unknown = header;
    unknown.replace("p1.Tin", "p1.Twin");
    QTest::newRow("unknown column") << unknown << 1 << 3 << "unknown column \"p1.Twin\"";
    QTest::newRow("extra column") << header + ",remark\n" + row + ",x" << 1 << 20
                                  << "unknown column \"remark\"";
    QByteArray twice = header;
    twice.replace("p1.G", "p1.L");
    QTest::newRow("column named twice") << twice << 1 << 2 << "column \"p1.L\" is named twice";
    QTest::newRow("short row") << header + "\n" + row + "\n" + valuesRecord(18) + "\n"
                               << 3 << 0 << "18 cells where the header has 19";
    QTest::newRow("long row") << header + "\n" + row + ",1\n"
                              << 2 << 0 << "20 cells where the header has 19";
    QTest::newRow("blank cells only") << header + "\n \n"
                                      << 2 << 0 << "1 cell where the header has 19";
    QTest::newRow("unclosed quote") << header + "\n" + row + "\nv0,v1,\"v2\nv3\n"
                                    << 3 << 3 << "a quoted cell is never closed";
    QTest::newRow("quote inside a cell")
        << header + "\n1,2\"5," + row << 2 << 2 << "a quote inside an unquoted cell";
    QTest::newRow("text after a quote")
        << header + "\n\"1\"0," + row << 2 << 1 << "text after the closing quote";
    QTest::newRow("not UTF-8") << header + "\n" + row + "\n1\xff,2\n"
                               << 3 << 0 << "the text is not UTF-8";
}

void TestBatchInput::badFiles() {
    QFETCH(QByteArray, data);
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(QString, text);
    const BatchInput input = BatchInput::read(data);
    QVERIFY(input.error);
    QCOMPARE(input.error->text, text);
    QCOMPARE(input.error->line, line);
    QCOMPARE(input.error->column, column);
    QVERIFY(input.cases.isEmpty());
}

void TestBatchInput::errorDescription() {
    QCOMPARE((BatchInput::Error{4, 0, QStringLiteral("bad")}.describe(QStringLiteral("a.csv"))),
             QStringLiteral("a.csv:4: bad"));
    QCOMPARE((BatchInput::Error{1, 7, QStringLiteral("bad")}.describe(QStringLiteral("<stdin>"))),
             QStringLiteral("<stdin>:1:7: bad"));
}

QTEST_APPLESS_MAIN(TestBatchInput)
void TestBatchInput::longLineIsNotReadWhole() {
    // A line of a MiB without a comma stops at the cell's limit: the rest is never read.
    QBuffer buffer;
    buffer.setData(canonicalHeader() + '\n' + QByteArray(1 << 20, '1') + '\n');
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    BatchReader reader(buffer);
    QVERIFY(!reader.next());
    QVERIFY(reader.error());
    QCOMPARE(reader.error()->text, QStringLiteral("the cell has more than 32767 characters"));
    QCOMPARE(reader.error()->line, 2);
    QVERIFY2(buffer.pos() < 4 * kMaxValueLength, qPrintable(QString::number(buffer.pos())));

    // A line of commas is counted, not kept as as many cells.
    buffer.close();
    buffer.setData(canonicalHeader() + '\n' + QByteArray(1 << 20, ',') + '\n');
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    csv::Reader cells(buffer);
    cells.setMaxCells(kInputColumnCount);
    QVERIFY(cells.next());
    const std::optional<csv::Record> commas = cells.next();
    QVERIFY(commas);
    QCOMPARE(commas->cells.size(), kInputColumnCount);
    QCOMPARE(commas->dropped, (1 << 20) + 1 - kInputColumnCount);
}

#include "tst_batchinput.moc"
