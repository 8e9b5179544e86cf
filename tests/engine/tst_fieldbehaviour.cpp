// What a field makes of a typed or pasted text: characters no number holds go at once, then the
// last character until the rest reads as a number, one beep each, and a negative number
// becomes "0". Short texts, and long ones that are cut far (hundreds of digits beyond the
// largest double, long exponents, junk after a number) with the same texts and beeps.

#include "engine/fieldbehaviour.h"
#include "support/localeguard.h"

#include <QTest>

namespace {

QString repeated(char c, qsizetype n) {
    return QString(n, QLatin1Char(c));
}

} // namespace

class TestFieldBehaviour : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void correctTyped_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("beeps");
        const QLocale point = pointLocale();
        const QLocale comma = commaLocale();
        const auto row = [](const char* name, const QLocale& locale, const QString& typed,
                            const QString& text,
                            int beeps) { QTest::newRow(name) << locale << typed << text << beeps; };
        const auto s = [](const char* text) { return QString::fromUtf8(text); };
        row("number", point, s("12.5"), s("12.5"), 0);
        row("empty", point, QString(), QString(), 0);
        row("letter inside", point, s("12a3"), s("12"), 2);
        row("second exponent", point, s("1e5e"), s("1e5"), 1);
        row("exponent without digits", point, s("1e-"), s("1"), 2);
        row("lone minus", point, s("-"), QString(), 1);
        row("negative", point, s("-5"), s("0"), 0);
        row("two points", point, s("1.2.3"), s("1.2"), 2);
        row("exponent too large", point, s("1e400"), s("1e40"), 1);
        row("exponent too small", point, s("1e-400"), s("1e-40"), 1);
        row("blanks after", point, s("7  "), s("7  "), 0);
        row("blank inside", point, s("7 8"), s("7 "), 1);
        row("only blanks", point, s("   "), QString(), 3);
        row("comma locale: point", comma, s("1.5"), s("1"), 2);
        row("comma locale: exponent", comma, s("2,5E3E"), s("2,5E3"), 1);

        // Long texts: the number's largest start stays.
        const QString digits309 = s("1") + repeated('0', 308); // 1e308
        row("400 digits", point, s("1") + repeated('0', 399), digits309, 91);
        row("100,000 digits", point, s("1") + repeated('0', 99999), digits309, 99691);
        row("100,000 digits, negative", point, s("-9") + repeated('9', 99999), s("0"), 99692);
        // 1.7976931348623159e308 lies above the largest double's rounding boundary; its
        // fraction is cut, then its last integer digit.
        row("just above the largest double", point,
            s("17976931348623159") + repeated('0', 292) + s(".") + repeated('0', 100),
            s("17976931348623159") + repeated('0', 291), 102);
        row("just below the largest double", point,
            s("17976931348623157") + repeated('0', 292) + s(".") + repeated('0', 100) + s("x"),
            s("17976931348623157") + repeated('0', 292) + s(".") + repeated('0', 100), 1);
        // 2.4e-324 rounds to zero, 2.5e-324 to the smallest double.
        row("below the smallest double", point, s("0.") + repeated('0', 323) + s("24"),
            s("0.") + repeated('0', 323), 2);
        row("the smallest double", point, s("0.") + repeated('0', 323) + s("25e"),
            s("0.") + repeated('0', 323) + s("25"), 1);
        row("long exponent", point, s("1e") + repeated('0', 100) + s("400"),
            s("1e") + repeated('0', 100) + s("40"), 1);
        row("junk after a long number", point, s("1e5e") + repeated('7', 100000), s("1e5"), 100001);
        row("long fraction, comma locale", comma, s("3,") + repeated('3', 100) + s("E+"),
            s("3,") + repeated('3', 100), 2);
        row("blanks after a long number", point, digits309 + repeated(' ', 100) + s("5"),
            digits309 + repeated(' ', 100), 1);
    }
    void correctTyped() {
        QFETCH(QLocale, locale);
        QFETCH(QString, typed);
        QFETCH(QString, text);
        QFETCH(int, beeps);
        const engine::TypedText out = engine::correctTyped(typed, numtext::Converter(locale));
        QCOMPARE(out.text, text);
        QCOMPARE(out.removed, beeps);
    }
};

QTEST_GUILESS_MAIN(TestFieldBehaviour)
#include "tst_fieldbehaviour.moc"
