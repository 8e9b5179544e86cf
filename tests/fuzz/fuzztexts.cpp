#include "fuzztexts.h"

#include "engine/fieldtable.h"
#include "rng.h"

#include <QStringList>
#include <array>
#include <cmath>

namespace fuzztexts {

namespace {

// value with decimals places, the locale's decimal separator and no grouping.
QString written(double value, int decimals, const QLocale& locale) {
    QString text = QString::number(value, 'f', decimals);
    text.replace(QLatin1Char('.'), locale.decimalPoint());
    return text;
}

QString digits(Rng& rng, int count) {
    QString text;
    for (int i = 0; i < count; ++i)
        text.append(QChar(u'0' + rng.below(10)));
    return text;
}

// The limits an engineer would work in: the field's own, else a generous range.
void limitsOf(const FieldDef* def, double& lower, double& upper) {
    lower = 0;
    upper = 200;
    if (!def)
        return;
    switch (def->limit) {
    case LimitKind::Upper:
        upper = def->upperLimit;
        break;
    case LimitKind::Pressure:
        lower = def->lowerLimit;
        upper = def->upperLimit;
        break;
    case LimitKind::HeatCapacity:
        upper = 5000;
        break;
    }
}

} // namespace

QString plausible(Rng& rng, const FieldDef* def, const QLocale& locale) {
    double lower = 0, upper = 0;
    limitsOf(def, lower, upper);
    const int kind = rng.below(20);
    if (kind < 10)
        return written(rng.uniform(lower, upper), rng.below(4), locale);
    if (kind < 13 && def) {
        QString text =
            QString::fromUtf8(def->initialText.data(), qsizetype(def->initialText.size()));
        return text.replace(QLatin1Char('.'), locale.decimalPoint());
    }
    if (kind < 16)
        return QString::number(int(std::floor(rng.uniform(lower, upper + 1))));
    // At and beyond the limits.
    const std::array<double, 8> edges{
        0, lower, upper, upper + 0.01, lower - 0.01, upper * 1.5, 1e-4, (lower + upper) / 2};
    return written(rng.pick(edges), rng.below(3) + (rng.chance(0.3) ? 2 : 0), locale);
}

QString hostile(Rng& rng, const QLocale& locale) {
    const QString point = locale.decimalPoint();
    const QString group = locale.groupSeparator();
    static const QStringList fixed = {
        // signs and separators of both locales
        QStringLiteral("-"),
        QStringLiteral("+"),
        QStringLiteral("\u2212"),
        QStringLiteral("--"),
        QStringLiteral("+-"),
        QStringLiteral("."),
        QStringLiteral(","),
        QStringLiteral("'"),
        QStringLiteral(" "),
        QStringLiteral("\u00a0"),
        QStringLiteral("\u202f"),
        QStringLiteral("\u066b"),
        QStringLiteral(".."),
        QStringLiteral(",,"),
        // exponents
        QStringLiteral("e"),
        QStringLiteral("E"),
        QStringLiteral("e+"),
        QStringLiteral("e-"),
        QStringLiteral("E308"),
        QStringLiteral("e-400"),
        QStringLiteral("e99999"),
        QStringLiteral("e0"),
        // huge and tiny numbers
        QStringLiteral("1e308"),
        QStringLiteral("1.7976931348623157e308"),
        QStringLiteral("1e309"),
        QStringLiteral("-1e308"),
        QStringLiteral("4.9e-324"),
        QStringLiteral("1e-320"),
        QStringLiteral("2.2250738585072014e-308"),
        QStringLiteral("0.0000000000000000001"),
        QStringLiteral("99999999999999999999"),
        QStringLiteral("-0"),
        QStringLiteral("0"),
        QStringLiteral("000000"),
        QStringLiteral("00,5"),
        QStringLiteral(".5"),
        QStringLiteral("5."),
        QStringLiteral(",5"),
        QStringLiteral("5,"),
        QStringLiteral("1.000,5"),
        QStringLiteral("1,000.5"),
        QStringLiteral("1'000"),
        QStringLiteral("1 000"),
        // words and symbols that are not numbers
        QStringLiteral("nan"),
        QStringLiteral("NaN"),
        QStringLiteral("inf"),
        QStringLiteral("-inf"),
        QStringLiteral("Infinity"),
        QStringLiteral("\u221e"),
        QStringLiteral("0x1A"),
        QStringLiteral("0x1p3"),
        QStringLiteral("1/2"),
        QStringLiteral("\u00bd"),
        QStringLiteral("\u00b2"),
        QStringLiteral("a"),
        QStringLiteral("3a"),
        QStringLiteral("%"),
        QStringLiteral("$"),
        QStringLiteral("=1+1"),
        // digits of other scripts
        QStringLiteral("\u0661\u0662\u0663"),
        QStringLiteral("\uff11\uff12\uff13"),
        QStringLiteral("\u0967\u0968"),
        // control and invisible characters
        QStringLiteral("\t"),
        QStringLiteral("\n"),
        QStringLiteral("\r"),
        QStringLiteral("\u200b"),
        QStringLiteral("\u200f"),
        QStringLiteral("\u202e"),
        QString(QChar(0)),
        QStringLiteral("\u0007"),
        QStringLiteral("\U0001F600"),
        QString(QChar(0xd800)),
        QStringLiteral("\ufffd"),
        QString(),
    };
    const int pieces = 1 + rng.below(6);
    QString text;
    for (int i = 0; i < pieces; ++i) {
        switch (rng.below(8)) {
        case 0:
            text += digits(rng, 1 + rng.below(25));
            break;
        case 1:
            text += point;
            break;
        case 2:
            text += group;
            break;
        case 3: // a number as the locale writes it, with its group separators
            text += locale.toString(rng.uniform(-1e7, 1e7), 'f', rng.below(4));
            break;
        case 4:
            text += locale.toString(std::ldexp(rng.uniform(1, 2), rng.below(2040) - 1020), 'g',
                                    1 + rng.below(17));
            break;
        case 5:
            if (rng.chance(0.05)) {
                text += digits(rng, 300 + rng.below(700)); // far beyond any double
                break;
            }
            [[fallthrough]];
        default:
            text += rng.pick(fixed);
            break;
        }
    }
    return text;
}

QString longText(Rng& rng, const QLocale& locale) {
    const QString point = locale.decimalPoint();
    switch (rng.below(8)) {
    case 0:
        return digits(rng, 32766 + rng.below(3));
    case 1:
        return digits(rng, 1000 + rng.below(200000));
    case 2:
        return QStringLiteral("1") + point + QString(20000 + rng.below(50000), u'0') +
               QStringLiteral("1");
    case 3:
        return QString(30000 + rng.below(10000), u'0') + QStringLiteral("25") + point +
               QStringLiteral("5");
    case 4: {
        // Rows copied from a spreadsheet.
        QString text;
        const int rows = 1 + rng.below(200);
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < 11; ++c)
                text += plausible(rng, nullptr, locale) + (c < 10 ? u'\t' : u'\n');
        }
        return text;
    }
    case 5:
        return QString(5000 + rng.below(30000), QChar(0x200f)) + QStringLiteral("12") + point +
               QStringLiteral("5");
    case 6: {
        const QString piece = hostile(rng, locale);
        QString text;
        while (text.size() < 40000 && !piece.isEmpty())
            text += piece;
        return text;
    }
    default:
        return plausible(rng, nullptr, locale).repeated(1 + rng.below(20000));
    }
}

QString any(Rng& rng, const FieldDef* def, const QLocale& locale) {
    return rng.chance(0.7) ? plausible(rng, def, locale) : hostile(rng, locale);
}

} // namespace fuzztexts
