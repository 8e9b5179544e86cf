// Audit files in the batch tool: a file's inputs give the output row of the same values in a CSV
// line, a refused value included, and its case carries the file's settings; a damaged file
// stops the tool with its name and the key.

#include "auditfile/auditfile.h"
#include "batch/auditcases.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(Arrangement)

class TestAuditCases : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { BatchAudit::prepareLocale(); }
    void auditGivesTheRowOfItsCsvLine_data();
    void auditGivesTheRowOfItsCsvLine();
    void otherInputsAndDamage();

private:
    QString write(const QString& name, const QByteArray& data) {
        const QString path = dir_.filePath(name);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(data);
        return path;
    }
    QTemporaryDir dir_;
};

void TestAuditCases::auditGivesTheRowOfItsCsvLine_data() {
    QTest::addColumn<Arrangement>("arrangement");
    QTest::addColumn<QString>("line");
    QTest::newRow("counter flow")
        << Arrangement::CounterFlow
        << "101.5,92,38.2,33,1.01,25,60,90,80,34,31,21,27,105,110,2100,36,30,22";
    QTest::newRow("cross flow") << Arrangement::CrossFlow
                                << "88,70,37,34.5,1,28,55,90,80,34,31,21,25,35,25,520,35,28,22";
    QTest::newRow("a value its field refuses")
        << Arrangement::CounterFlow
        << "100,90,38,33,1.2,25,55,90,80,34,31,21,27,105,110,2200,36,30,22";
}

void TestAuditCases::auditGivesTheRowOfItsCsvLine() {
    QFETCH(Arrangement, arrangement);
    QFETCH(QString, line);
    const QStringList values = line.split(u',');
    auditfile::SavedAudit a;
    auditfile::Inputs& inputs = a.inputs(arrangement);
    for (int c = 0; c < auditfile::kInputCount; ++c)
        inputs[static_cast<size_t>(c)] = values[c];
    engine::CapabilityInputs& settings =
        a.capability[arrangement == Arrangement::CounterFlow ? 0 : 1];
    settings.values[size_t(engine::Setting::Cycles)] = 6;
    settings.ambient = {{18, 25, std::nan(""), 4000}};
    const QString path = write(QStringLiteral("a.ctaudit"), auditfile::serialise(a));

    QStringList header;
    for (int c = 0; c < auditfile::kInputCount; ++c)
        header.append(auditfile::inputColumn(c));
    const BatchInput csv = BatchInput::read((header.join(u',') + u'\n' + line + u'\n').toUtf8());
    const std::optional<AuditCases> audits = readAuditCases({path, path}, arrangement);
    QVERIFY(audits && !audits->error);
    QCOMPARE(audits->input.cases.size(), 2);

    const BatchAudit batch(arrangement);
    const QStringList expected = BatchAudit::resultCells(1, batch.run(csv.cases.front()));
    QCOMPARE(BatchAudit::resultCells(1, batch.run(audits->input.cases[0])), expected);
    QCOMPARE(audits->input.cases[1].number, 2);
    QVERIFY(audits->input.cases[0].settings == settings); // the file's own settings
}

void TestAuditCases::otherInputsAndDamage() {
    const QString csv = write(QStringLiteral("a.csv"), "p1.L\n1\n");
    QVERIFY(!readAuditCases({csv}, Arrangement::CounterFlow));
    QVERIFY(!readAuditCases({QStringLiteral("-")}, Arrangement::CounterFlow));
    const QString damaged = write(QStringLiteral("b.ctaudit"), "{\"format\": \"ctaudit-audit\", "
                                                               "\"version\": 1, \"counter\": 3}");
    const auto bad = readAuditCases({damaged}, Arrangement::CounterFlow);
    QVERIFY(bad && bad->error);
    QCOMPARE(*bad->error, damaged + QStringLiteral(": counter: is not an object of inputs"));
    const auto mixed = readAuditCases({damaged, csv}, Arrangement::CrossFlow);
    QVERIFY(mixed && mixed->error);
    QCOMPARE(*mixed->error,
             csv + QStringLiteral(": not an audit file (give one CSV file, or audit files)"));

    // A number text longer than a field holds: refused as the program's loader refuses it,
    // not read whole.
    auditfile::SavedAudit a;
    a.counter[6] = QStringLiteral("5.5") + QString(40000, u'0') + QStringLiteral("e1");
    const QString longText = write(QStringLiteral("c.ctaudit"), auditfile::serialise(a));
    const auto refused = readAuditCases({longText}, Arrangement::CounterFlow);
    QVERIFY(refused && refused->error);
    QCOMPARE(*refused->error,
             longText + QStringLiteral(": counter.p1.rh: has more than 32767 characters"));
}

QTEST_GUILESS_MAIN(TestAuditCases)
#include "tst_auditcases.moc"
