// Number texts: the display patterns, the general number text and the reading of typed
// numbers, each in a decimal-point and a decimal-comma locale. Every value the program shows
// and passes between windows goes through these three conversions.

#include "engine/numtext.h"
#include "support/localeguard.h"

#include <QTest>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace {

// The expected texts below are written with the decimal point; in a decimal-comma locale the
// same text with a comma is expected.
QString inLocale(QString pointText, const QLocale& locale) {
    return pointText.replace(QLatin1Char('.'), locale.decimalPoint());
}

QList<QPair<QByteArray, QLocale>> testLocales() {
    return {{"en_US", pointLocale()}, {"C", QLocale::c()}, {"de_DE", commaLocale()}};
}

// Locales whose signs, exponent or separators are not ASCII: what the program writes must read
// back there too.
QList<QPair<QByteArray, QLocale>> otherLocales() {
    return {
        {"fr_FR", QLocale(QLocale::French, QLocale::France)},
        {"de_CH", QLocale(QLocale::German, QLocale::Switzerland)},
        {"sv_SE", QLocale(QLocale::Swedish, QLocale::Sweden)},
        {"fi_FI", QLocale(QLocale::Finnish, QLocale::Finland)},
        {"ar_EG", QLocale(QLocale::Arabic, QLocale::Egypt)},
        {"fa_IR", QLocale(QLocale::Persian, QLocale::Iran)},
    };
}

} // namespace

class TestNumText : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void format_data();
    void format();
    void formatNeverShowsNonFinite();
    void generalText_data();
    void generalText();
    void generalTextReadsBack_data();
    void generalTextReadsBack();
    void textsOfTheLargestDoublesReadBack_data();
    void textsOfTheLargestDoublesReadBack();
    void singleText_data();
    void singleText();
    void readNumber_data();
    void readNumber();
    void formattedTextReadsBack_data();
    void formattedTextReadsBack();
    void textsIgnoreTheCLibraryLocale();
    void fastDigitsMatchTheExactWay();
    void converterReadsAsTheLocale_data();
    void converterReadsAsTheLocale();
    void numberPrefixScanMatchesCutting_data();
    void numberPrefixScanMatchesCutting();
    void longTextsReadAsTheLocaleReadsThem_data();
    void longTextsReadAsTheLocaleReadsThem();
};

void TestNumText::initTestCase() {
    // The decimal-comma cases are the point of this test: fail, never skip, when the locale
    // does not give a comma.
    QCOMPARE(commaLocale().decimalPoint(), QStringLiteral(","));
    QCOMPARE(commaLocale().groupSeparator(), QStringLiteral("."));
    QCOMPARE(pointLocale().decimalPoint(), QStringLiteral("."));
    QCOMPARE(pointLocale().groupSeparator(), QStringLiteral(","));
}

void TestNumText::format_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");

    struct Case {
        const char* name;
        double value;
        const char* pattern;
        const char* expected;
    };
    // Rounding is half away from zero on the 15-significant-digit form of the value, so the
    // binary neighbours of the decimal halves round up: 2.675
    // is 2.67499999999999982236431605997495353221893310546875 in binary but 2.67500000000000 in 15
    // digits.
    const Case cases[] = {
        {"every pattern: ##0.00", 18.627908265883228, "##0.00", "18.63"},
        {"every pattern: ###0.00", 2095.0, "###0.00", "2095.00"},
        {"every pattern: 0.000", 0.2577319587628866, "0.000", "0.258"},
        {"every pattern: 0.00000", 0.010875625627455391, "0.00000", "0.01088"},
        {"every pattern: #0.0", 14.399337628654017, "#0.0", "14.4"},
        {"every pattern: ##00.00", 7.0, "##00.00", "07.00"},
        {"every pattern: ####0.0000", 52.810438076482896, "####0.0000", "52.8104"},
        {"every pattern: #0.000", 1.0, "#0.000", "1.000"},
        {"every pattern: ##0.00000", 0.009772353000060848, "##0.00000", "0.00977"},
        {"half up 2.675", 2.675, "##0.00", "2.68"},
        {"half up 1.005", 1.005, "##0.00", "1.01"},
        {"half up 5.25", 5.25, "#0.0", "5.3"},
        {"half up 18.125", 18.125, "##0.00", "18.13"},
        {"half up 1.45", 1.45, "#0.0", "1.5"},
        {"half up 0.045", 0.045, "##0.00", "0.05"},
        {"half up 0.0005", 0.0005, "0.000", "0.001"},
        {"below half", 0.00049999, "0.000", "0.000"},
        {"half away from zero -2.675", -2.675, "##0.00", "-2.68"},
        {"half away from zero -5.25", -5.25, "#0.0", "-5.3"},
        {"negative", -14.4, "#0.0", "-14.4"},
        {"rounds to zero: no minus", -0.004, "##0.00", "0.00"},
        {"rounds to zero: no minus, 5 decimals", -0.000004, "0.00000", "0.00000"},
        {"minus zero", -0.0, "##0.00", "0.00"},
        {"zero", 0.0, "#0.0", "0.0"},
        {"zero with two integer digits", 0.0, "##00.00", "00.00"},
        {"two integer digits", 5.5, "##00.00", "05.50"},
        {"two integer digits, negative", -5.5, "##00.00", "-05.50"},
        {"more integer digits than the pattern", 123.4, "##00.00", "123.40"},
        {"integer digits never cut", 123456.789, "##0.00", "123456.79"},
        {"integer digits never cut, #0.0", 123456.789, "#0.0", "123456.8"},
        {"carry 9.995", 9.995, "##0.00", "10.00"},
        {"carry 99.95", 99.95, "#0.0", "100.0"},
        {"carry 0.9999996", 0.9999996, "0.00000", "1.00000"},
        {"carry into a new digit, negative", -999.9999, "##0.00", "-1000.00"},
        {"sixteenth digit does not count", 1.0049999999999999, "##0.00", "1.01"},
        {"0.1 + 0.2", 0.1 + 0.2, "##0.00", "0.30"},
        {"smallest that rounds up, 5 decimals", 0.000005, "0.00000", "0.00001"},
        {"just below it", 0.0000049999999, "0.00000", "0.00000"},
        {"a digit below the last place", 9.5e-7, "0.00000", "0.00000"},
        {"tiny", 1e-20, "0.00000", "0.00000"},
        {"tiny negative", -1e-20, "0.00000", "0.00000"},
        {"denormal", 4.9e-324, "##0.00", "0.00"},
        {"huge", 1e20, "##0.00", "100000000000000000000.00"},
        {"huge, 15 digits kept", 1.234567890123456e20, "##0.00", "123456789012346000000.00"},
    };
    for (const auto& [localeName, locale] : testLocales())
        for (const Case& c : cases)
            QTest::addRow("%s: %s", localeName.constData(), c.name)
                << locale << c.value << QString::fromLatin1(c.pattern)
                << inLocale(QString::fromLatin1(c.expected), locale);
    // 15 digits and 294 zeros before the point, cut towards zero: 1.79769313486232e308 would
    // lie beyond the largest double and not read back.
    const QString largest =
        QStringLiteral("179769313486231") + QString(294, QLatin1Char('0')) + QStringLiteral(".0");
    for (const auto& [localeName, locale] : testLocales())
        QTest::addRow("%s: largest double", localeName.constData())
            << locale << std::numeric_limits<double>::max() << QStringLiteral("#0.0")
            << inLocale(largest, locale);
}

void TestNumText::format() {
    QFETCH(QLocale, locale);
    QFETCH(double, value);
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    QCOMPARE(numtext::format(value, pattern.toLatin1().constData(), locale), expected);
    // The default locale is what the windows use.
    LocaleGuard guard(locale);
    QCOMPARE(numtext::format(value, pattern.toLatin1().constData()), expected);
}

void TestNumText::formatNeverShowsNonFinite() {
    // A window never shows "nan" or "inf": a value that is not finite has no text at all.
    for (double v :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
          -std::numeric_limits<double>::infinity()}) {
        QVERIFY(numtext::format(v, "##0.00", pointLocale()).isEmpty());
        QVERIFY(numtext::generalText(v, pointLocale()).isEmpty());
        QVERIFY(numtext::singleText(static_cast<float>(v), pointLocale()).isEmpty());
    }
}

void TestNumText::generalText_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    struct Case {
        const char* name;
        double value;
        const char* expected;
    };
    const Case cases[] = {
        {"1131.3", 1131.3, "1131.3"},
        {"0.1 + 0.2 (15 digits)", 0.1 + 0.2, "0.3"},
        {"minus zero", -0.0, "0"},
        {"integer", 25.0, "25"},
        {"negative", -5.81, "-5.81"},
        {"15 significant digits", 76.46177777777777, "76.4617777777778"},
        {"small", 1e-7, "1E-07"},
        {"large", 1e20, "1E+20"},
    };
    for (const auto& [localeName, locale] : testLocales())
        for (const Case& c : cases)
            QTest::addRow("%s: %s", localeName.constData(), c.name)
                << locale << c.value << inLocale(QString::fromLatin1(c.expected), locale);
}

void TestNumText::generalText() {
    QFETCH(QLocale, locale);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(numtext::generalText(value, locale), expected);
}

void TestNumText::generalTextReadsBack_data() {
    // The windows hand computed values to the moist-air calculator as general texts, which it
    // reads back: every such text must be a number again in the same locale, equal to 15
    // significant digits.
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<double>("value");
    const double values[] = {
        1131.3,  0.1 + 0.2, 76.46177777777777,   28.047040837257885, -5.81, 1e-7, 1e20, -1.5e-300,
        1.01325, 0.0,       123456789012345678.0};
    for (const auto& [localeName, locale] : testLocales() + otherLocales())
        for (double v : values)
            QTest::addRow("%s: %.17g", localeName.constData(), v) << locale << v;
}

void TestNumText::generalTextReadsBack() {
    QFETCH(QLocale, locale);
    QFETCH(double, value);
    const QString text = numtext::generalText(value, locale);
    const auto back = numtext::readNumber(text, locale);
    QVERIFY2(back.has_value(), qPrintable(text));
    QVERIFY2(std::fabs(*back - value) <= 1e-14 * std::fabs(value), qPrintable(text));
}

void TestNumText::textsOfTheLargestDoublesReadBack_data() {
    // Found by the fuzzer: 1.7976931348623157e308 pasted into a pressure field reached the
    // moist-air calculator as "1.79769313486232E+308", which rounds beyond the largest double
    // and is no number, so the calculator's field held a text that did not read back; a
    // pattern's text ("#0.000") of the same value had the same fault. At the top of the range
    // both are cut towards zero instead.
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    const double max = std::numeric_limits<double>::max();
    for (const auto& [localeName, locale] : testLocales()) {
        const QString largest = inLocale(QStringLiteral("1.79769313486231E+308"), locale);
        QTest::addRow("%s: largest double", localeName.constData()) << locale << max << largest;
        QTest::addRow("%s: largest negative double", localeName.constData())
            << locale << -max << QStringLiteral("-") + largest;
        QTest::addRow("%s: next below the largest", localeName.constData())
            << locale << std::nextafter(max, 0.0) << largest;
        QTest::addRow("%s: 1.79769313486231E+308 itself", localeName.constData())
            << locale << 1.79769313486231e308 << largest;
        QTest::addRow("%s: 1.7976931348623E+308", localeName.constData())
            << locale << 1.7976931348623e308
            << inLocale(QStringLiteral("1.7976931348623E+308"), locale);
    }
}

void TestNumText::textsOfTheLargestDoublesReadBack() {
    QFETCH(QLocale, locale);
    QFETCH(double, value);
    QFETCH(QString, expected);
    const QString text = numtext::generalText(value, locale);
    QCOMPARE(text, expected);
    for (const QString& t : {text, numtext::format(value, "#0.000", locale)}) {
        const auto back = numtext::readNumber(t, locale);
        QVERIFY2(back.has_value(), qPrintable(t));
        QVERIFY2(std::fabs(*back - value) <= 1e-14 * std::fabs(value), qPrintable(t));
    }
}

void TestNumText::singleText_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("expected");
    struct Case {
        const char* name;
        float value;
        const char* expected;
    };
    const Case cases[] = {
        {"window width in twips", 15090.0f, "15090"},
        {"negative position", -120.0f, "-120"},
        {"7 significant digits", 123.456789f, "123.4568"},
        {"fraction", 1.5f, "1.5"},
        {"minus zero", -0.0f, "0"},
    };
    for (const auto& [localeName, locale] : testLocales())
        for (const Case& c : cases)
            QTest::addRow("%s: %s", localeName.constData(), c.name)
                << locale << c.value << inLocale(QString::fromLatin1(c.expected), locale);
}

void TestNumText::singleText() {
    QFETCH(QLocale, locale);
    QFETCH(float, value);
    QFETCH(QString, expected);
    QCOMPARE(numtext::singleText(value, locale), expected);
}

void TestNumText::readNumber_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isNumber");
    QTest::addColumn<double>("value");

    const QLocale en = pointLocale();
    const QLocale de = commaLocale();
    auto add = [](const char* name, const QLocale& l, const char* text, bool ok, double v) {
        QTest::newRow(name) << l << QString::fromUtf8(text) << ok << v;
    };
    add("en: decimal", en, "1.5", true, 1.5);
    add("en: negative", en, "-2.675", true, -2.675);
    add("en: plus sign", en, "+3", true, 3);
    add("en: exponent", en, "1e3", true, 1000);
    add("en: negative exponent", en, "2.5E-3", true, 0.0025);
    add("en: leading point", en, ".5", true, 0.5);
    add("en: largest exponent", en, "1e308", true, 1e308);
    add("en: empty", en, "", false, 0);
    add("en: blanks", en, "  ", false, 0);
    add("en: group separator", en, "1,000.5", false, 0);
    add("en: comma", en, "1,5", false, 0);
    add("en: trailing junk", en, "3a", false, 0);
    add("en: leading junk", en, "a3", false, 0);
    add("en: two points", en, "1.2.3", false, 0);
    add("en: two signs", en, "--3", false, 0);
    add("en: inf", en, "inf", false, 0);
    add("en: nan", en, "nan", false, 0);
    add("en: -inf", en, "-inf", false, 0);
    add("en: overflow", en, "1e400", false, 0);
    add("en: hexadecimal", en, "0x10", false, 0);
    add("de: decimal", de, "1,5", true, 1.5);
    add("de: negative", de, "-2,675", true, -2.675);
    add("de: exponent", de, "1,5e3", true, 1500);
    add("de: point is not a decimal separator", de, "1.5", false, 0);
    add("de: point as group separator", de, "1.500", false, 0);
    add("de: group separator", de, "1.000,5", false, 0);
    add("de: empty", de, "", false, 0);
    add("de: trailing junk", de, "3a", false, 0);
    add("de: inf", de, "inf", false, 0);
    add("de: nan", de, "nan", false, 0);
    add("de: overflow", de, "1e400", false, 0);
}

void TestNumText::readNumber() {
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QFETCH(bool, isNumber);
    QFETCH(double, value);
    const auto n = numtext::readNumber(text, locale);
    QCOMPARE(n.has_value(), isNumber);
    QCOMPARE(numtext::isNumeric(text, locale), isNumber);
    if (isNumber)
        QCOMPARE(*n, value);
    LocaleGuard guard(locale);
    QCOMPARE(numtext::readNumber(text).has_value(), isNumber);
}

void TestNumText::formattedTextReadsBack_data() {
    // A field rewritten with its display format is read again by the next calculation and by
    // the next window: the text must convert back to the rounded value in every locale,
    // including those with a non-ASCII minus sign or group separator.
    QTest::addColumn<QLocale>("locale");
    for (const auto& [name, locale] : testLocales() + otherLocales())
        QTest::newRow(name.constData()) << locale;
}

void TestNumText::formattedTextReadsBack() {
    QFETCH(QLocale, locale);
    const char* patterns[] = {"##0.00",  "###0.00",    "0.000",  "0.00000",  "#0.0",
                              "##00.00", "####0.0000", "#0.000", "##0.00000"};
    const double values[] = {-2.675, -0.4, 0.0, 1.005, 18.627908, 1234567.891, 0.010875};
    for (const char* pattern : patterns) {
        const int decimals = numtext::parsePattern(pattern).decimals;
        for (double v : values) {
            const QString text = numtext::format(v, pattern, locale);
            const auto back = numtext::readNumber(text, locale);
            QVERIFY2(back.has_value(), qPrintable(text));
            QVERIFY2(std::fabs(*back - v) <= 0.5 * std::pow(10.0, -decimals) + 1e-12,
                     qPrintable(text));
        }
    }
}

QTEST_GUILESS_MAIN(TestNumText)
// Regression: the texts were once written with snprintf, whose decimal point follows the C
// library's LC_NUMERIC, while they are read back with Qt's default locale. Under a
// decimal-comma C locale and a point Qt locale, "25.5" came out as "25,5", which no longer
// read back as a number.
void TestNumText::textsIgnoreTheCLibraryLocale() {
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        QFAIL("the de_DE.UTF-8 locale is missing (script/test generates it)");
    const QLocale point(QLocale::English, QLocale::UnitedStates);
    const QString general = numtext::generalText(25.5, point);
    const QString single = numtext::singleText(1234.5f, point);
    const QString fixed = numtext::format(2.675, "##0.00", point);
    const QString tiny = numtext::generalText(1e-7, point);
    std::setlocale(LC_NUMERIC, previous.c_str());
    QCOMPARE(general, QStringLiteral("25.5"));
    QCOMPARE(single, QStringLiteral("1234.5"));
    QCOMPARE(fixed, QStringLiteral("2.68"));
    QCOMPARE(tiny, QStringLiteral("1E-07"));
}

namespace {

// The display rounding done the plain way: the value's 15-significant-digit decimal form,
// then half away from zero at the pattern's decimals, on the digit string.
std::string referenceFixed(double value, const char* pattern) {
    const numtext::Pattern p = numtext::parsePattern(pattern);
    char buf[40];
    *std::to_chars(buf, buf + 39, std::fabs(value), std::chars_format::scientific, 14).ptr = 0;
    std::string digits;
    const char* c = buf;
    for (; *c != 'e'; ++c)
        if (*c != '.')
            digits.push_back(*c);
    const int exponent = std::atoi(c + 1);
    // Digits of the value times 10^decimals, the integer part first.
    const int integerDigits = exponent + 1 + p.decimals;
    if (integerDigits <= 0)
        digits = "0" + std::string(std::size_t(-integerDigits), '0') + digits;
    const std::size_t keep = std::size_t(std::max(integerDigits, 1));
    digits.resize(std::max(digits.size(), keep + 1), '0');
    std::string kept = digits.substr(0, keep);
    if (digits[keep] >= '5') {
        int i = int(kept.size()) - 1;
        while (i >= 0 && kept[std::size_t(i)] == '9')
            kept[std::size_t(i--)] = '0';
        if (i < 0)
            kept.insert(kept.begin(), '1');
        else
            ++kept[std::size_t(i)];
    }
    kept.erase(0, std::min(kept.find_first_not_of('0'), kept.size() - 1));
    const bool zero = kept == "0";
    if (kept.size() < std::size_t(p.decimals + 1))
        kept.insert(0, std::size_t(p.decimals + 1) - kept.size(), '0');
    std::string integer = kept.substr(0, kept.size() - std::size_t(p.decimals));
    if (integer == "0" && p.minIntegerDigits == 0)
        integer.clear();
    if (integer.size() < std::size_t(p.minIntegerDigits))
        integer.insert(0, std::size_t(p.minIntegerDigits) - integer.size(), '0');
    std::string text = (value < 0 && !zero ? "-" : "") + integer;
    if (p.decimals > 0)
        text += "." + kept.substr(kept.size() - std::size_t(p.decimals));
    return text;
}

} // namespace

// The display rounding takes a shortcut for most values (and the shortest decimal form for
// the rest); neither may change a digit. Values near rounding midpoints (x.xx5), random bit
// patterns and every scale.
void TestNumText::fastDigitsMatchTheExactWay() {
    std::mt19937_64 random(12);
    const char* patterns[] = {"##0.00", "0.00000",    "###0.00", "#0.0",      "##00.00",
                              "0.000",  "####0.0000", "#0.000",  "##0.00000", ".00"};
    for (int i = 0; i < 200000; ++i) {
        double v = 0;
        switch (i % 4) {
        case 0: {
            const std::uint64_t bits = random();
            std::memcpy(&v, &bits, sizeof v);
            break;
        }
        case 1:
            v = std::uniform_real_distribution<double>(-300, 300)(random);
            break;
        case 2: // on and around midpoints of 2 to 5 decimals
            v = double(std::int64_t(random() % 2000000) - 1000000) / 2000.0 + 0.0005;
            break;
        default:
            v = std::ldexp(std::uniform_real_distribution<double>(0.5, 1)(random),
                           int(random() % 120) - 60);
        }
        if (!std::isfinite(v) || std::fabs(v) > 1e300)
            continue;
        for (const char* pattern : patterns) {
            const std::string fast = numtext::fixedText(v, numtext::parsePattern(pattern));
            if (fast != referenceFixed(v, pattern))
                QFAIL(qPrintable(QStringLiteral("%1 in %2: %3, exactly %4")
                                     .arg(QString::number(v, 'g', 17), QLatin1String(pattern),
                                          QString::fromStdString(fast),
                                          QString::fromStdString(referenceFixed(v, pattern)))));
        }
    }
}

// The converter reads plain digits itself and everything else through the locale: the same
// numbers (bit for bit) and the same refusals as the locale's conversion.
void TestNumText::converterReadsAsTheLocale_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("en_US") << pointLocale();
    QTest::newRow("de_DE") << commaLocale();
    QTest::newRow("C") << QLocale::c();
}

void TestNumText::converterReadsAsTheLocale() {
    QFETCH(QLocale, locale);
    const numtext::Converter converter(locale);
    std::mt19937_64 random(7);
    const QString alphabet = QStringLiteral("0123456789.,-+eE ");
    for (int i = 0; i < 100000; ++i) {
        QString text;
        if (i % 2 == 0) { // digits, perhaps many, with the locale's separator
            if (random() % 3 == 0)
                text += u'-';
            const int integer = 1 + int(random() % 20);
            for (int k = 0; k < integer; ++k)
                text += QChar(u'0' + char16_t(random() % 10));
            if (random() % 2) {
                text += locale.decimalPoint();
                for (int k = int(random() % 25); k >= 0; --k)
                    text += QChar(u'0' + char16_t(random() % 10));
            }
        } else {
            for (int k = 1 + int(random() % 8); k > 0; --k)
                text += alphabet[qsizetype(random() % std::uint64_t(alphabet.size()))];
        }
        const std::optional<double> fast = converter.readNumber(text);
        const std::optional<double> slow = numtext::readNumber(text, locale);
        QVERIFY2(fast.has_value() == slow.has_value(), qPrintable(text));
        if (fast)
            QVERIFY2(std::memcmp(&*fast, &*slow, sizeof(double)) == 0, qPrintable(text));
        const double value = std::uniform_real_distribution<double>(-2e4, 2e4)(random);
        const numtext::Converter::Shown shown = converter.formatShown(value, "##00.0000");
        QCOMPARE(shown.text, numtext::format(value, "##00.0000", locale));
        QCOMPARE(shown.value, numtext::readNumber(shown.text, locale));
        QCOMPARE(converter.generalShown(value).text, numtext::generalText(value, locale));
        const double scaled = std::ldexp(value, int(random() % 2100) - 1090); // subnormal too
        QCOMPARE(converter.generalText(scaled), numtext::generalText(scaled, locale));
    }
}

namespace {

// The longest start of a text that reads as a number, found the reference way: the last
// character cut and the rest read again.
qsizetype cutUntilNumber(const numtext::Converter& converter, QString text) {
    while (!text.isEmpty() && !converter.readNumber(text))
        text.chop(1);
    return text.size();
}

// Digits for a random text.
QString randomDigits(std::mt19937_64& random, int count, bool zeros = false) {
    QString digits;
    for (int k = 0; k < count; ++k)
        digits += QChar(u'0' + char16_t(zeros && random() % 4 ? 0 : random() % 10));
    return digits;
}

} // namespace

// The one-pass scan for the longest start that is a number against cutting one character at a
// time, on random texts of number characters and on numbers around the largest and smallest
// doubles (hundreds of digits, long exponents, long runs of zeros), in several locales.
void TestNumText::numberPrefixScanMatchesCutting_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<bool>("alwaysScanned"); // the scan knows every character of the texts
    for (const auto& [name, locale] : testLocales())
        QTest::newRow(name.constData()) << locale << true;
    // Swedish writes its exponent with several characters, Arabic and Persian their signs.
    for (const auto& [name, locale] : otherLocales())
        QTest::newRow(name.constData())
            << locale << (name == "fr_FR" || name == "de_CH" || name == "fi_FI");
}

void TestNumText::numberPrefixScanMatchesCutting() {
    QFETCH(QLocale, locale);
    QFETCH(bool, alwaysScanned);
    const numtext::Converter converter(locale);
    std::mt19937_64 random(24);
    const QString alphabet = QStringLiteral("0123456789012345.,-+eE \u2212\u00a0") +
                             locale.decimalPoint() + locale.negativeSign() + locale.exponential();
    const QString point = locale.decimalPoint();
    int scanned = 0;
    const int texts = 3000;
    for (int i = 0; i < texts; ++i) {
        QString text;
        switch (i % 3) {
        case 0: // any number characters
            for (int k = 1 + int(random() % 14); k > 0; --k)
                text += alphabet[qsizetype(random() % std::uint64_t(alphabet.size()))];
            break;
        case 1: { // around the largest double: 300 to 320 integer digits, then more
            text = random() % 2 ? QStringLiteral("-") : QString();
            text += QStringLiteral("17976931348623") +
                    randomDigits(random, 286 + int(random() % 20), true);
            if (random() % 2)
                text += point + randomDigits(random, int(random() % 30), true);
            if (random() % 3 == 0)
                text += QStringLiteral("E") + randomDigits(random, int(random() % 4));
            break;
        }
        default: { // around the smallest doubles, in the fraction or by the exponent
            const int zeros = 300 + int(random() % 40);
            if (random() % 2)
                text = QStringLiteral("0") + point + QString(zeros, u'0') +
                       randomDigits(random, 1 + int(random() % 30));
            else
                text = QStringLiteral("2") + point + randomDigits(random, int(random() % 10)) +
                       QStringLiteral("E-") + QString::number(zeros);
            text += alphabet[qsizetype(random() % std::uint64_t(alphabet.size()))];
            if (random() % 2)
                text += randomDigits(random, int(random() % 5));
        }
        }
        const std::optional<qsizetype> scan = converter.scanNumberPrefix(text);
        if (!scan) {
            QVERIFY2(!alwaysScanned, qPrintable(text));
            continue;
        }
        ++scanned;
        const qsizetype cut = cutUntilNumber(converter, text);
        QVERIFY2(*scan == cut, qPrintable(QStringLiteral("\"%1\": scan %2, cutting %3")
                                              .arg(text.left(80))
                                              .arg(*scan)
                                              .arg(cut)));
        QCOMPARE(converter.numberPrefix(text), cut);
    }
    // The scan reads every text of a locale whose signs and exponent are single characters.
    if (alwaysScanned)
        QCOMPARE(scanned, texts);
}

// Long texts (a grid cell of tens of thousands of digits, numbers around the largest and
// smallest doubles, junk late in the text) give the same numbers, bit for bit, and the same
// refusals as the locale's own conversion, while the locale reads only short texts.
void TestNumText::longTextsReadAsTheLocaleReadsThem_data() {
    numberPrefixScanMatchesCutting_data();
}

void TestNumText::longTextsReadAsTheLocaleReadsThem() {
    QFETCH(QLocale, locale);
    QFETCH(bool, alwaysScanned);
    QLocale strict = locale;
    strict.setNumberOptions(strict.numberOptions() | QLocale::RejectGroupSeparator);
    const auto reference = [&](const QString& text) -> std::optional<double> {
        bool ok = false;
        const double value = strict.toDouble(text, &ok);
        if (text.trimmed().isEmpty() || !ok || !std::isfinite(value))
            return std::nullopt;
        return value;
    };
    const QString point = locale.decimalPoint();
    const QString minus = locale.negativeSign();
    std::mt19937_64 random(31);
    const QString junk = QStringLiteral("x,.e-+ \u2212") + point;
    for (int i = 0; i < 160; ++i) {
        QString text = random() % 3 == 0 ? minus : QString();
        switch (i % 4) {
        case 0: // a grid cell of many digits
            text += QStringLiteral("0") + point + randomDigits(random, i % 8 ? 3000 : 31990);
            break;
        case 1: // around the largest double
            text += QStringLiteral("17976931348623") +
                    randomDigits(random, 280 + int(random() % 40), true) + point +
                    randomDigits(random, int(random() % 900), true);
            break;
        case 2: // around the smallest doubles
            text += QStringLiteral("0") + point + QString(300 + int(random() % 40), u'0') +
                    randomDigits(random, 1 + int(random() % 900), true);
            break;
        default: // digits and an exponent
            text += randomDigits(random, 70 + int(random() % 900)) + locale.exponential() +
                    (random() % 2 ? minus : QString()) +
                    randomDigits(random, 1 + int(random() % 4));
        }
        if (random() % 4 == 0) // junk somewhere, or white space at an end
            text.insert(qsizetype(random() % std::uint64_t(text.size() + 1)),
                        junk[qsizetype(random() % std::uint64_t(junk.size()))]);
        else if (random() % 4 == 0)
            text = random() % 2 ? QStringLiteral("  ") + text : text + QStringLiteral(" ");
        const std::optional<double> expected = reference(text);
        const qsizetype before = numtext::localeCharactersRead();
        const std::optional<double> read = numtext::readNumber(text, locale);
        const QString shown =
            text.left(60) + QStringLiteral("... (%1 characters)").arg(text.size());
        QVERIFY2(read.has_value() == expected.has_value(), qPrintable(shown));
        if (read)
            QVERIFY2(std::memcmp(&*read, &*expected, sizeof(double)) == 0, qPrintable(shown));
        if (alwaysScanned)
            QVERIFY2(numtext::localeCharactersRead() - before < 2000, qPrintable(shown));
    }
}

#include "tst_numtext.moc"
