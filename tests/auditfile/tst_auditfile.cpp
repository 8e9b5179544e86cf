// The audit file's reading: a number text longer than an entry field holds is refused with its
// key instead of being cut, and the fields' own checks apply to every input of the file, the
// final texts and each calculation's.

#include "auditfile/auditfile.h"
#include "engine/fieldtable.h"

#include <QTest>
#include <cmath>

Q_DECLARE_METATYPE(Arrangement)

namespace {

// A file with every input "20" (and a few that every field takes), with one text replaced:
// "counter.p1.L" and so on, or a calculation's "calculated.p1.L", or a grid cell "grid".
QByteArray fileWith(const QString& key, const QString& text) {
    auditfile::SavedAudit a;
    for (const Arrangement arrangement : {Arrangement::CounterFlow, Arrangement::CrossFlow})
        for (int c = 0; c < auditfile::kInputCount; ++c)
            a.inputs(arrangement)[size_t(c)] = c == 4 ? QStringLiteral("1") : QStringLiteral("20");
    auditfile::Calculation calculation{{Arrangement::CounterFlow, 1}, a.counter};
    a.counterGrid = auditfile::Grid{QStringList(auditfile::kGridColumns, QStringLiteral("1"))};
    for (int c = 0; c < auditfile::kInputCount; ++c) {
        const QString column = auditfile::inputColumn(c);
        if (key == QStringLiteral("counter.") + column)
            a.counter[size_t(c)] = text;
        if (key == QStringLiteral("cross.") + column)
            a.cross[size_t(c)] = text;
        if (key == QStringLiteral("calculated.") + column)
            (*calculation.inputs)[size_t(c)] = text;
    }
    a.calculated.append(calculation);
    if (key == QLatin1String("grid"))
        (*a.counterGrid)[0][3] = text;
    return auditfile::serialise(a);
}

} // namespace

class TestAuditFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A field holds at most 32,767 characters: a longer number text would be cut and change its
    // value ("5.5" and 40,000 zeros and "e1" is 55, its first 32,767 characters 5.5).
    void longNumberTextsAreRefused_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("error"); // empty: the file reads
        const QString longest = QStringLiteral("5.5") + QString(32764, u'0');
        const QString longer = longest + u'0';
        const QString tooLong = QStringLiteral("has more than 32767 characters");
        QTest::newRow("as long as a field holds") << "counter.p1.rh" << longest << "";
        QTest::newRow("one character more") << "counter.p1.rh" << longer << tooLong;
        QTest::newRow("55 per cent")
            << "counter.p1.rh" << QStringLiteral("5.5") + QString(40000, u'0') + "e1" << tooLong;
        QTest::newRow("a calculation's input") << "calculated.p1.L" << longer << tooLong;
        QTest::newRow("a grid cell") << "grid" << longer << tooLong;
        QTest::newRow("long and not a number") << "cross.p4.Q" << QString(40000, u'x') << tooLong;
    }
    void longNumberTextsAreRefused() {
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(QString, error);
        const auditfile::Loaded loaded = auditfile::parse(fileWith(key, text));
        if (error.isEmpty()) {
            QVERIFY(!loaded.error);
            QCOMPARE(loaded.audit.counter[6], text);
            return;
        }
        QVERIFY(loaded.error);
        const QString where = key == QLatin1String("grid") ? QStringLiteral("grids.counter[0][3]")
                              : key.startsWith(QLatin1String("calculated"))
                                  ? QStringLiteral("calculated[0].inputs") + key.mid(10)
                                  : key;
        QCOMPARE(loaded.error->where, where);
        QCOMPARE(loaded.error->text, error);
    }

    // Every input of the file is checked as its field checks it when left: above the field's
    // limit, below 0, below the pressure's lower limit. The heat capacity of Problem 4 has an
    // upper limit of twice the heat capacity Problem 1 shows when the field is left, which the
    // file does not hold: a value such as 1e9, which the batch tool refuses after its Problem
    // 1, opens.
    void everyFieldsChecksApply_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message"); // empty: the field takes it
        for (const Arrangement arrangement : {Arrangement::CounterFlow, Arrangement::CrossFlow})
            for (int c = 0; c < auditfile::kInputCount; ++c) {
                const QString key =
                    auditfile::arrangementKey(arrangement) + u'.' + auditfile::inputColumn(c);
                const FieldDef* def = findField(arrangement, auditfile::problemOfColumn(c),
                                                auditfile::fieldOfColumn(c));
                QVERIFY(def);
                const auto message = [](std::string_view m) {
                    return QString::fromUtf8(m.data(), qsizetype(m.size()));
                };
                const auto add = [&](const char* what, double value, std::string_view m) {
                    QTest::addRow("%s %s", qPrintable(key), what)
                        << key << QString::number(value, 'g', 17) << message(m);
                };
                switch (def->limit) {
                case LimitKind::Upper:
                    add("above", def->upperLimit * 1.001, def->upperMessage);
                    add("at the limit", def->upperLimit, {});
                    add("negative", -0.5, def->negativeMessage);
                    break;
                case LimitKind::Pressure:
                    add("above", def->upperLimit + 0.01, def->upperMessage);
                    add("below", def->lowerLimit - 0.01, def->lowerMessage);
                    break;
                case LimitKind::HeatCapacity:
                    add("negative", -1, def->negativeMessage);
                    add("huge", 1e9, {});
                    break;
                }
                // A calculation's input too.
                if (def->limit == LimitKind::Upper && arrangement == Arrangement::CounterFlow &&
                    auditfile::problemOfColumn(c) == 1)
                    QTest::addRow("calculated.%s above", qPrintable(auditfile::inputColumn(c)))
                        << QStringLiteral("calculated.") + auditfile::inputColumn(c)
                        << QString::number(def->upperLimit * 2) << message(def->upperMessage);
            }
    }
    void everyFieldsChecksApply() {
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(QString, message);
        const auditfile::Loaded loaded = auditfile::parse(fileWith(key, text));
        QVERIFY(!loaded.error);
        const std::optional<auditfile::Error> error = auditfile::checkFields(loaded.audit);
        if (message.isEmpty()) {
            QVERIFY2(!error, error ? qPrintable(error->where + u' ' + error->text) : "");
            return;
        }
        QVERIFY(error);
        QCOMPARE(error->where, key.startsWith(QLatin1String("calculated"))
                                   ? QStringLiteral("calculated[0].inputs") + key.mid(10)
                                   : key);
        QVERIFY2(error->text.endsWith(QStringLiteral("is refused by its field: ") + message),
                 qPrintable(error->text));
    }

    // The report's title block travels with the audit: written and read back as typed (quotes,
    // backslashes, non-Latin letters), absent in older files (empty texts), and a value that
    // is no text or too long for the block names its key.
    void reportTitleRoundTrip() {
        auditfile::SavedAudit a = auditfile::parse(fileWith({}, {})).audit;
        QVERIFY(a.report.empty());
        QVERIFY(!fileWith({}, {}).contains("\"report\""));
        a.report = {QStringLiteral("Tower \"B\" \\ 2"), QStringLiteral("Kraftwerk Süd, Ø 12"),
                    QStringLiteral("2026-12-08"), QStringLiteral("J. Ng")};
        const auditfile::Loaded back = auditfile::parse(auditfile::serialise(a));
        QVERIFY(!back.error);
        QCOMPARE(back.audit.report, a.report);
    }
    void badReportTitleIsRefused_data() {
        QTest::addColumn<QByteArray>("report");
        QTest::addColumn<QString>("where");
        QTest::newRow("not an object") << QByteArray("[]") << QStringLiteral("report");
        QTest::newRow("number") << QByteArray("{\"site\": 5}") << QStringLiteral("report.site");
        QTest::newRow("too long") << "{\"tower\": \"" +
                                         QByteArray(engine::ReportTitle::kMaxLength + 1, 'x') +
                                         "\"}"
                                  << QStringLiteral("report.tower");
    }
    void badReportTitleIsRefused() {
        QFETCH(QByteArray, report);
        QFETCH(QString, where);
        QByteArray file = fileWith({}, {});
        file.insert(file.indexOf("\"arrangement\""), "\"report\": " + report + ",\n  ");
        const auditfile::Loaded loaded = auditfile::parse(file);
        QVERIFY(loaded.error);
        QCOMPARE(loaded.error->where, where);
    }

    // The capability and energy settings travel with the audit: only those that differ from the
    // defaults are written, each arrangement its own, with the ambient
    // table; older files open with the defaults; a value outside its range names its key.
    void capabilitySettingsRoundTrip() {
        auditfile::SavedAudit a = auditfile::parse(fileWith({}, {})).audit;
        QVERIFY(a.capability[0] == engine::CapabilityInputs());
        QVERIFY(!fileWith({}, {}).contains("\"capability\""));
        a.capability[1].values[size_t(engine::Setting::Exponent)] = 0.6;
        a.capability[1].values[size_t(engine::Setting::PricePerKWh)] = 0.125;
        engine::AmbientRow byWetBulb, byHumidity;
        byWetBulb.wetBulb = 21.5;
        byWetBulb.hours = 3000;
        byHumidity.dryBulb = 12;
        byHumidity.relativeHumidity = 80;
        byHumidity.hours = 5760;
        a.capability[1].ambient = {byWetBulb, byHumidity};
        const QByteArray file = auditfile::serialise(a);
        QVERIFY(file.contains("\"cross\": {\"cap.n\": \"0.6\", \"sav.price_kWh\": \"0.125\""));
        const auditfile::Loaded back = auditfile::parse(file);
        QVERIFY(!back.error);
        QVERIFY(back.audit.capability[0] == engine::CapabilityInputs());
        QVERIFY(back.audit.capability[1] == a.capability[1]);
    }
    void badCapabilitySettingIsRefused_data() {
        QTest::addColumn<QByteArray>("capability");
        QTest::addColumn<QString>("where");
        QTest::newRow("exponent out of range") << QByteArray("{\"counter\": {\"cap.n\": \"2\"}}")
                                               << QStringLiteral("capability.counter.cap.n");
        QTest::newRow("no number") << QByteArray("{\"cross\": {\"sav.cycles\": \"4x\"}}")
                                   << QStringLiteral("capability.cross.sav.cycles");
        QTest::newRow("required emptied") << QByteArray("{\"cross\": {\"sav.cycles\": \"\"}}")
                                          << QStringLiteral("capability.cross.sav.cycles");
        QTest::newRow("row without air")
            << QByteArray("{\"counter\": {\"ambient\": [[\"\", \"20\", \"\", \"10\"]]}}")
            << QStringLiteral("capability.counter.ambient[0]");
        QTest::newRow("short row") << QByteArray("{\"counter\": {\"ambient\": [[\"20\"]]}}")
                                   << QStringLiteral("capability.counter.ambient[0]");
    }
    void badCapabilitySettingIsRefused() {
        QFETCH(QByteArray, capability);
        QFETCH(QString, where);
        QByteArray file = fileWith({}, {});
        file.insert(file.indexOf("\"arrangement\""), "\"capability\": " + capability + ",\n  ");
        const auditfile::Loaded loaded = auditfile::parse(file);
        QVERIFY(loaded.error);
        QCOMPARE(loaded.error->where, where);
    }
};

QTEST_GUILESS_MAIN(TestAuditFile)
#include "tst_auditfile.moc"
