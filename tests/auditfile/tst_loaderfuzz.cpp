// The audit file's loader and the batch input's reader on damaged and hostile files made from a
// seed: valid files truncated, their values swapped for other JSON types, huge numbers and
// 100,000-character texts, bytes flipped, nesting deepened; CSV files with long cells, stray
// quotes and wrong cell counts. Every input gives one clear error (where and what) or a usable
// result: an audit that is written and read again unchanged, cases of 19 values that a field
// holds. Each input is at most a few hundred kilobytes and every step reads it in linear time,
// so none can take long.
//
// A finding names the seed that reproduces it:
//   CTAUDIT_FUZZ_SEED=<seed> CTAUDIT_FUZZ_COUNT=1 build/bin/tst_loaderfuzz
// CTAUDIT_FUZZ_COUNT sets how many inputs of each kind run (default 1500).

#include "auditfile/auditfile.h"
#include "auditfile/batchinput.h"
#include "engine/fieldbehaviour.h"

#include <QTest>
#include <random>

namespace {

class Chance {
public:
    explicit Chance(std::uint64_t seed)
        : engine_(seed) {}
    int below(int bound) { return int(engine_() % std::uint64_t(bound)); }
    bool one(int in) { return below(in) == 0; }
    template <class T, std::size_t N> const T& pick(const T (&items)[N]) {
        return items[below(int(N))];
    }

private:
    std::mt19937_64 engine_;
};

// A valid audit file with a calculation and a grid row.
QByteArray validAudit() {
    auditfile::SavedAudit a;
    const char* counter[] = {"102.50", "90.00", "38.00", "33.00", "1.000", "25.00", "55.0",
                             "90.00",  "80.00", "34.00", "31.00", "21.00", "27.00", "105.00",
                             "110.00", "2200",  "36",    "30",    "22"};
    for (int c = 0; c < auditfile::kInputCount; ++c) {
        a.counter[size_t(c)] = QString::fromLatin1(counter[c]);
        a.cross[size_t(c)] = QString::fromLatin1(counter[c]);
    }
    a.calculated.append({{Arrangement::CounterFlow, 1}, a.counter});
    a.calculated.append({{Arrangement::CrossFlow, 2}, std::nullopt});
    a.counterGrid = auditfile::Grid{QStringList(auditfile::kGridColumns, QStringLiteral("1.5"))};
    a.crossGrid = auditfile::Grid{};
    a.active = auditfile::ProblemRef{Arrangement::CounterFlow, 1};
    a.program = auditfile::programName();
    return auditfile::serialise(a);
}

QByteArray validCsv() {
    return BatchInput::header().toUtf8() +
           "100,90,38,33,1,25,55,90,80,34,31,21,27,105,110,2200,36,30,22\n"
           "\"100\",90,38,33,1.2,25,55,90,80,34,31,21,27,105,110,2200,36,30,22\n";
}

// Hostile values and fragments.
QByteArray hostile(Chance& chance) {
    switch (chance.below(12)) {
    case 0:
        return "\"1" + QByteArray(100000, '7') + "\"";
    case 1:
        return "\"" + QByteArray(100000, 'x') + "\"";
    case 2:
        return "1e999999";
    case 3:
        return "\"-" + QByteArray(40000, '0') + "1e-400\"";
    case 4:
        return QByteArray(2000, '[') + QByteArray(2000, ']');
    case 5:
        return "null";
    case 6:
        return "true";
    case 7:
        return "{\"p1.L\": {}}";
    case 8:
        return "[1, \"2\", {}]";
    case 9:
        return "\"\\u0000\\ud800\"";
    case 10:
        return "-0.0";
    default:
        return "\"5.5" + QByteArray(32764, '0') + "\"";
    }
}

QByteArray mutated(QByteArray data, Chance& chance) {
    const int steps = 1 + chance.below(3);
    for (int s = 0; s < steps && !data.isEmpty(); ++s) {
        const qsizetype at = chance.below(int(data.size()));
        switch (chance.below(7)) {
        case 0: // truncated
            data.truncate(at);
            break;
        case 1: { // a value (the text after a colon) swapped for another
            const qsizetype colon = data.indexOf(':', at);
            if (colon < 0)
                break;
            qsizetype end = colon + 1;
            while (end < data.size() && data[end] != ',' && data[end] != '}' && data[end] != ']')
                ++end;
            data.replace(colon + 1, end - colon - 1, " " + hostile(chance));
            break;
        }
        case 2: // bytes flipped
            for (int k = 0; k < 1 + chance.below(8); ++k)
                data[chance.below(int(data.size()))] = char(chance.below(256));
            break;
        case 3: // a hostile fragment inserted anywhere
            data.insert(at, hostile(chance));
            break;
        case 4: // a key renamed or removed
            data.replace(at, qMin<qsizetype>(6, data.size() - at), chance.one(2) ? "" : "\"x\"");
            break;
        case 5: // a part repeated
            data.insert(at, data.mid(chance.below(int(data.size())), 200));
            break;
        default: // the format's own values changed
            data.replace("\"version\": 1", chance.one(2) ? "\"version\": 1.5" : "\"version\": 9");
            data.replace("\"problem\": 1", "\"problem\": 7");
        }
    }
    return data;
}

QByteArray mutatedCsv(QByteArray data, Chance& chance) {
    const int steps = 1 + chance.below(3);
    for (int s = 0; s < steps && !data.isEmpty(); ++s) {
        const qsizetype at = chance.below(int(data.size()));
        const QByteArray pieces[] = {"\"",
                                     ",",
                                     "\n",
                                     "\r\n",
                                     "\xEF\xBB\xBF",
                                     "\xff\xfe",
                                     QByteArray(40000, '9'),
                                     "1" + QByteArray(100000, '0'),
                                     "\"" + QByteArray(1000, '\n') + "\"",
                                     "p1.L"};
        switch (chance.below(3)) {
        case 0:
            data.truncate(at);
            break;
        case 1:
            data.insert(at, chance.pick(pieces));
            break;
        default:
            data[at] = char(chance.below(256));
        }
    }
    return data;
}

std::uint64_t baseSeed() {
    bool ok = false;
    const std::uint64_t seed = qEnvironmentVariable("CTAUDIT_FUZZ_SEED").toULongLong(&ok);
    return ok ? seed : 20261208;
}

int inputCount() {
    bool ok = false;
    const int count = qEnvironmentVariableIntValue("CTAUDIT_FUZZ_COUNT", &ok);
    return ok && count > 0 ? count : 1500;
}

QString reproduce(std::uint64_t seed) {
    return QStringLiteral("reproduce: CTAUDIT_FUZZ_SEED=%1 CTAUDIT_FUZZ_COUNT=1 "
                          "build/bin/tst_loaderfuzz")
        .arg(seed);
}

// What an audit holds, for comparing one read again with the first.
QStringList everything(const auditfile::SavedAudit& a) {
    QStringList all{auditfile::arrangementKey(a.arrangement), a.saved, a.program};
    for (const QString& text : a.counter)
        all << text;
    for (const QString& text : a.cross)
        all << text;
    for (const auditfile::Calculation& c : a.calculated) {
        all << QStringLiteral("calc %1 %2")
                   .arg(auditfile::arrangementKey(c.problem.arrangement))
                   .arg(c.problem.problem);
        if (c.inputs)
            for (const QString& text : *c.inputs)
                all << text;
    }
    // A grid that is not in the file is written as an empty one.
    for (const auto* grid : {&a.counterGrid, &a.crossGrid}) {
        all << QStringLiteral("grid");
        for (const QStringList& row : grid->value_or(auditfile::Grid{}))
            all << row;
    }
    if (a.active)
        all << QStringLiteral("active %1").arg(a.active->problem);
    return all;
}

} // namespace

class TestLoaderFuzz : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void auditFiles() {
        const QByteArray valid = validAudit();
        QVERIFY(!auditfile::parse(valid).error);
        const std::uint64_t base = baseSeed();
        int opened = 0;
        for (int i = 0; i < inputCount(); ++i) {
            const std::uint64_t seed = base + std::uint64_t(i);
            Chance chance(seed);
            const QByteArray data = mutated(valid, chance);
            const auditfile::Loaded loaded = auditfile::parse(data);
            if (loaded.error) {
                QVERIFY2(!loaded.error->where.isEmpty() && !loaded.error->text.isEmpty(),
                         qPrintable(reproduce(seed)));
                continue;
            }
            // A usable audit: the fields' checks answer with one clear error or none, and the
            // file it is written as reads back as the same audit.
            if (const std::optional<auditfile::Error> refused =
                    auditfile::checkFields(loaded.audit))
                QVERIFY2(!refused->where.isEmpty() && !refused->text.isEmpty(),
                         qPrintable(reproduce(seed)));
            else
                ++opened;
            const auditfile::Loaded again = auditfile::parse(auditfile::serialise(loaded.audit));
            QVERIFY2(!again.error, qPrintable(reproduce(seed) + u' ' +
                                              (again.error ? again.error->where : QString())));
            const QStringList before = everything(loaded.audit);
            const QStringList after = everything(again.audit);
            qsizetype k = 0;
            while (k < before.size() && k < after.size() && before[k] == after[k])
                ++k;
            QVERIFY2(before == after,
                     qPrintable(reproduce(seed) +
                                QStringLiteral(": \"%1\" read back as \"%2\"")
                                    .arg(before.value(k).left(60), after.value(k).left(60))));
        }
        QVERIFY(opened > 0); // some damage leaves a file that opens
    }

    void batchInputs() {
        const QByteArray valid = validCsv();
        QCOMPARE(BatchInput::read(valid).cases.size(), 2);
        const std::uint64_t base = baseSeed();
        const numtext::Converter numbers(QLocale::c());
        int read = 0;
        for (int i = 0; i < inputCount(); ++i) {
            const std::uint64_t seed = base + std::uint64_t(i);
            Chance chance(seed);
            const BatchInput input = BatchInput::read(mutatedCsv(valid, chance));
            if (input.error) {
                QVERIFY2(input.error->line >= 1 && !input.error->text.isEmpty() &&
                             input.cases.isEmpty(),
                         qPrintable(reproduce(seed)));
                continue;
            }
            ++read;
            for (const BatchCase& c : input.cases)
                for (const QString& value : c.values) {
                    QVERIFY2(value.size() <= kMaxValueLength, qPrintable(reproduce(seed)));
                    // What a field makes of it, as the batch tool pastes it.
                    const engine::TypedText typed = engine::correctTyped(value, numbers);
                    QVERIFY2(typed.text.size() + typed.removed == value.size() ||
                                 typed.text == QLatin1String("0"),
                             qPrintable(reproduce(seed)));
                }
        }
        QVERIFY(read > 0);
    }
};

QTEST_GUILESS_MAIN(TestLoaderFuzz)
#include "tst_loaderfuzz.moc"
