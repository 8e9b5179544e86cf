#include "engine/numtext.h"

#include <QHash>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

namespace numtext {

Pattern parsePattern(const char* pattern) {
    Pattern p;
    p.minIntegerDigits = 0;
    const char* point = std::strchr(pattern, '.');
    const char* end = point ? point : pattern + std::strlen(pattern);
    for (const char* c = pattern; c != end; ++c)
        if (*c == '0')
            ++p.minIntegerDigits;
    if (point)
        p.decimals = static_cast<int>(std::strlen(point + 1));
    return p;
}

namespace {

// Adds one to the decimal digits in [first, last), growing them to the left when they carry out
// ("999" -> "1000"); first - 1 must be writable. Returns the new first digit.
char* incrementDigits(char* first, char* last) {
    for (char* it = last; it != first;) {
        --it;
        if (*it != '9') {
            ++*it;
            return first;
        }
        *it = '0';
    }
    *--first = '1';
    return first;
}

// The exponent after the "e" of a scientific text.
int parseExponent(const char* e) {
    int sign = 1;
    ++e;
    if (*e == '-' || *e == '+')
        sign = *e++ == '-' ? -1 : 1;
    int value = 0;
    while (*e >= '0' && *e <= '9')
        value = value * 10 + (*e++ - '0');
    return sign * value;
}

// The value's 15-significant-digit decimal form, correctly rounded: 15 digits and the
// exponent of the first. The shortest text that reads back as the value (cheap to find) gives
// them directly unless its 16th digit is a 5 with nothing after it: the shortest text is the
// nearest to the value among those as short, so no rounding boundary of the 15th digit lies
// between it and the value otherwise. Only that case (and a subnormal value) takes the
// slower exact conversion.
void significantDigits(double magnitude, char* digits, int& exponent) {
    char buf[40];
    std::to_chars_result end =
        std::to_chars(buf, buf + sizeof buf - 1, magnitude, std::chars_format::scientific);
    *end.ptr = 0;
    char shortest[20];
    int n = 0;
    const char* c = buf;
    for (; *c && *c != 'e'; ++c)
        if (*c >= '0' && *c <= '9')
            shortest[n++] = *c;
    exponent = parseExponent(c);
    // Below the smallest normal double the values lie further apart than 15 digits can tell:
    // the shortest text is then no guide.
    const bool normal = magnitude >= std::numeric_limits<double>::min() || magnitude == 0;
    const bool tie =
        (n == 16 && shortest[15] == '5') || (n == 17 && shortest[15] == '5' && shortest[16] == '0');
    if (normal && !tie) {
        for (int i = 0; i < 15; ++i)
            digits[i] = i < n ? shortest[i] : '0';
        if (n > 15 && shortest[15] >= '5') { // above the midpoint (it is never on it here)
            int i = 14;
            while (i >= 0 && digits[i] == '9')
                digits[i--] = '0';
            if (i >= 0) {
                ++digits[i];
            } else {
                digits[0] = '1';
                ++exponent;
            }
        }
        return;
    }
    end = std::to_chars(buf, buf + sizeof buf - 1, magnitude, std::chars_format::scientific, 14);
    *end.ptr = 0;
    n = 0;
    for (c = buf; *c && *c != 'e'; ++c)
        if (*c >= '0' && *c <= '9')
            digits[n++] = *c;
    exponent = parseExponent(c);
}

// Room for the longest text fixedChars writes: sign, 309 integer digits, point and the
// decimals of any display pattern.
constexpr auto kFixedTextSize = std::size_t(kLongestPatternText);

// fixedText written into out (kFixedTextSize characters); returns its length, 0 for a
// non-finite value.
// Powers of ten that are exact doubles.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// fixedChars for the common case, without the decimal form of the value: rounding the value
// itself half away from zero at the pattern's decimals gives the same digits as rounding its
// 15-significant-digit form whenever the value lies further from a rounding midpoint than
// that form's own rounding (5e-15 of the value) plus the error of scaling it (about 1e-16):
// y = |value| x 10^decimals must then be below 5e13, so every digit shown lies within the
// first 15. Returns 0 when the value is too close to a midpoint (or too large): the caller
// takes the exact way.
std::size_t fixedCharsNearby(double value, Pattern pattern, char* out) {
    if (pattern.decimals < 0 || pattern.decimals > 22)
        return 0;
    const double y = std::fabs(value) * kExactPowersOfTen[pattern.decimals];
    if (!(y < 5e13))
        return 0;
    const double whole = std::floor(y);
    const double fraction = y - whole;
    if (!(std::fabs(fraction - 0.5) > 1e-14 * y + 1e-15))
        return 0;
    auto r = static_cast<unsigned long long>(whole) + (fraction > 0.5 ? 1 : 0);
    const bool isZero = r == 0;

    // The digits of r, at least decimals + 1 of them, last first.
    char digits[32];
    int n = 0;
    do {
        digits[n++] = char('0' + r % 10);
        r /= 10;
    } while (r != 0);
    while (n < pattern.decimals + 1)
        digits[n++] = '0';
    int integerDigits = n - pattern.decimals;
    if (integerDigits == 1 && digits[n - 1] == '0' && pattern.minIntegerDigits == 0)
        integerDigits = 0;

    char* o = out;
    if (value < 0 && !isZero)
        *o++ = '-';
    for (int i = integerDigits; i < pattern.minIntegerDigits; ++i)
        *o++ = '0';
    for (int i = integerDigits; i > 0; --i)
        *o++ = digits[pattern.decimals + i - 1];
    if (pattern.decimals > 0) {
        *o++ = '.';
        for (int i = pattern.decimals; i > 0; --i)
            *o++ = digits[i - 1];
    }
    return static_cast<std::size_t>(o - out);
}

std::size_t fixedChars(double value, Pattern pattern, char* out) {
    if (!std::isfinite(value))
        return 0;
    if (std::fabs(value) > kLargestNumberText)
        value = std::copysign(kLargestNumberText, value);
    if (const std::size_t size = fixedCharsNearby(value, pattern, out))
        return size;

    char significand[16] = {};
    int exponent = 0;
    significantDigits(std::fabs(value), significand, exponent);

    // The rounded value times 10^decimals as an integer in [first, last), with room on the
    // left for a carry and for leading zeros.
    const int decimals = pattern.decimals;
    const int shift = exponent - 14 + decimals;
    char digits[kFixedTextSize + 100];
    char* first = digits + 80;
    char* last = first;
    if (shift >= 0) {
        last = std::copy(significand, significand + 15, first);
        last = std::fill_n(last, shift, '0');
    } else {
        const int dropped = -shift;
        if (dropped > 15) {
            *last++ = '0';
        } else {
            const int keep = 15 - dropped;
            last = std::copy(significand, significand + keep, first);
            if (keep == 0)
                *last++ = '0';
            if (significand[keep] >= '5') // half away from zero
                first = incrementDigits(first, last);
        }
    }
    // Strip leading zeros but keep at least one digit.
    while (last - first > 1 && *first == '0')
        ++first;
    const bool isZero = last - first == 1 && *first == '0';

    while (last - first < decimals + 1)
        *--first = '0';
    const char* point = last - decimals;
    const char* integerFirst = first;
    if (point - integerFirst == 1 && *integerFirst == '0' && pattern.minIntegerDigits == 0)
        ++integerFirst;

    char* o = out;
    if (value < 0 && !isZero)
        *o++ = '-';
    for (auto i = point - integerFirst; i < pattern.minIntegerDigits; ++i)
        *o++ = '0';
    o = std::copy(integerFirst, point, o);
    if (decimals > 0) {
        *o++ = '.';
        o = std::copy(point, static_cast<const char*>(last), o);
    }
    return static_cast<std::size_t>(o - out);
}

// The general text ("%.15G" with "." and "E") of a finite value, from its 15 significant
// digits; returns its length.
std::size_t generalChars(double value, char* out) {
    char* o = out;
    if (value == 0) {
        *o++ = '0';
        return 1;
    }
    if (value < 0)
        *o++ = '-';
    char digits[16] = {};
    int exponent = 0;
    significantDigits(std::fabs(value), digits, exponent);
    int n = 15;
    while (n > 1 && digits[n - 1] == '0')
        --n;
    if (exponent < -4 || exponent >= 15) {
        *o++ = digits[0];
        if (n > 1) {
            *o++ = '.';
            o = std::copy(digits + 1, digits + n, o);
        }
        *o++ = 'E';
        *o++ = exponent < 0 ? '-' : '+';
        const int magnitude = std::abs(exponent);
        if (magnitude >= 100)
            *o++ = char('0' + magnitude / 100);
        *o++ = char('0' + magnitude / 10 % 10);
        *o++ = char('0' + magnitude % 10);
    } else if (exponent >= 0) {
        for (int i = 0; i <= exponent; ++i)
            *o++ = i < n ? digits[i] : '0';
        if (n > exponent + 1) {
            *o++ = '.';
            o = std::copy(digits + exponent + 1, digits + n, o);
        }
    } else {
        *o++ = '0';
        *o++ = '.';
        o = std::fill_n(o, -exponent - 1, '0');
        o = std::copy(digits, digits + n, o);
    }
    return static_cast<std::size_t>(o - out);
}

} // namespace

std::string fixedText(double value, Pattern pattern) {
    char out[kFixedTextSize];
    return std::string(out, fixedChars(value, pattern, out));
}

namespace {

// Only the decimal separator is the locale's. The minus stays ASCII and the exponent is written
// "E": every locale's number conversion reads those back, while some cannot read their own
// minus sign (Arabic and Persian, with a direction mark) or exponent (Swedish "x10^", and
// Swedish reads only a capital E).
// The shortest of fixed and exponent notation with at most `digits` significant digits ("%G"),
// with "." and "E" whatever the C library's locale.
std::string plainText(double value, int digits) {
    char buf[64];
    const std::to_chars_result end =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, digits);
    std::string text(buf, end.ptr);
    for (char& c : text)
        if (c == 'e')
            c = 'E';
    return text;
}

// Text in Latin-1 with its "." replaced by the locale's decimal separator.
QString withPoint(const char* text, std::size_t size, const QString& point) {
    QString out = QString::fromLatin1(text, static_cast<qsizetype>(size));
    if (point != QLatin1String("."))
        out.replace(QLatin1Char('.'), point);
    return out;
}

QString withLocaleSeparators(const std::string& text, const QLocale& locale) {
    return withPoint(text.data(), text.size(), locale.decimalPoint());
}

QString formatWithPoint(double value, const char* pattern, const QString& point) {
    char out[kFixedTextSize];
    return withPoint(out, fixedChars(value, parsePattern(pattern), out), point);
}

// The general text's value: finite, no negative zero, at most kLargestNumberText.
double generalValue(double value) {
    if (value == 0)
        value = 0; // no "-0"
    if (std::fabs(value) > kLargestNumberText)
        value = std::copysign(kLargestNumberText, value);
    return value;
}

QLocale strictLocale(const QLocale& locale) {
    QLocale strict = locale;
    strict.setNumberOptions(strict.numberOptions() | QLocale::RejectGroupSeparator);
    return strict;
}

// Texts up to this length are read by the locale (and cut one character at a time and read
// again for numberPrefix, the reference way); longer ones are scanned once.
constexpr qsizetype kStepwiseLength = 64;

thread_local qsizetype localeCharacters = 0;

std::optional<double> strictRead(const QString& text, const QLocale& strict) {
    if (text.trimmed().isEmpty())
        return std::nullopt;
    localeCharacters += text.size();
    bool ok = false;
    const double value = strict.toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

QString format(double value, const char* pattern, const QLocale& locale) {
    return formatWithPoint(value, pattern, locale.decimalPoint());
}

QString generalText(double value, const QLocale& locale) {
    if (!std::isfinite(value))
        return {};
    return withLocaleSeparators(plainText(generalValue(value), 15), locale);
}

QString singleText(float value, const QLocale& locale) {
    if (!std::isfinite(value))
        return {};
    if (value == 0)
        value = 0;
    return withLocaleSeparators(plainText(static_cast<double>(value), 7), locale);
}

std::optional<double> readNumber(const QString& text, const QLocale& locale) {
    // A long text is scanned once by a converter, which learns the locale's grammar first.
    if (text.size() > kStepwiseLength)
        return Converter(locale).readNumber(text);
    return strictRead(text, strictLocale(locale));
}

qsizetype localeCharactersRead() {
    return localeCharacters;
}

// ---------------------------------------------------------------------------------------------
// Converter

Converter::Converter(const QLocale& locale)
    : strict_(strictLocale(locale))
    , point_(locale.decimalPoint())
    , symbols_(point_ + locale.negativeSign() + locale.positiveSign() + locale.exponential() +
               QStringLiteral("+-eE\u2212"))
    , grammar_(std::make_shared<const Grammar>(strict_)) {
    plainDigits_ = point_.size() == 1 && locale.negativeSign() == QLatin1String("-") &&
                   locale.zeroDigit() == QLatin1String("0") && point_[0] != QLatin1Char('-') &&
                   !point_[0].isDigit();
    if (plainDigits_)
        pointChar_ = point_[0].unicode();
}

QString Converter::format(double value, const char* pattern) const {
    return formatWithPoint(value, pattern, point_);
}

QString Converter::generalText(double value) const {
    return generalShown(value).text;
}

namespace {

// The number of a plain text with "." as separator: an optional minus, digits without a
// needless leading zero, optionally "." and digits. nullopt for any other text.
std::optional<double> plainValue(const char* text, std::size_t size) {
    std::size_t i = text[0] == '-' ? 1 : 0;
    const std::size_t integerStart = i;
    unsigned long long digits = 0;
    int significant = 0; // digits accumulated, up to 19
    const auto take = [&](char c) {
        if (significant < 19) {
            digits = digits * 10 + unsigned(c - '0');
            if (digits != 0)
                ++significant;
        } else {
            significant = 99; // too many to hold
        }
    };
    for (; i < size && text[i] >= '0' && text[i] <= '9'; ++i)
        take(text[i]);
    const std::size_t integerDigits = i - integerStart;
    if (integerDigits == 0 || (integerDigits > 1 && text[integerStart] == '0'))
        return std::nullopt;
    std::size_t fractionDigits = 0;
    if (i < size) {
        if (text[i] != '.' || i + 1 == size)
            return std::nullopt;
        for (++i; i < size; ++i, ++fractionDigits) {
            if (text[i] < '0' || text[i] > '9')
                return std::nullopt;
            take(text[i]);
        }
    }
    // Up to 15 significant digits with at most 22 after the point: the digits as an integer
    // and the power of ten are exact doubles, and their quotient is correctly rounded, as any
    // conversion of the text is.
    if (significant <= 15 && fractionDigits <= 22) {
        const double magnitude = static_cast<double>(digits) / kExactPowersOfTen[fractionDigits];
        return text[0] == '-' ? -magnitude : magnitude;
    }
    double value = 0;
    const std::from_chars_result r = std::from_chars(text, text + size, value);
    if (r.ec != std::errc() || r.ptr != text + size || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

Converter::Shown Converter::formatShown(double value, const char* pattern) const {
    char out[kFixedTextSize];
    const std::size_t size = fixedChars(value, parsePattern(pattern), out);
    Shown shown{withPoint(out, size, point_), std::nullopt};
    shown.value = plainDigits_ && size > 0 ? plainValue(out, size) : std::nullopt;
    if (!shown.value)
        shown.value = readNumber(shown.text);
    return shown;
}

Converter::Shown Converter::generalShown(double value) const {
    if (!std::isfinite(value))
        return {};
    char text[40];
    const std::size_t size = generalChars(generalValue(value), text);
    Shown shown{withPoint(text, size, point_), std::nullopt};
    shown.value = plainDigits_ ? plainValue(text, size) : std::nullopt;
    if (!shown.value)
        shown.value = readNumber(shown.text);
    return shown;
}

namespace {

// The significant digits that decide how a decimal text rounds to a double: a rounding
// boundary of a double (a midpoint between two of them, or the largest one's) has at most 767,
// so beyond these only whether any further digit is not 0 matters.
constexpr int kDecidingDigits = 800;

// The conversion reads a longer exponent as this one.
constexpr long long kExponentLimit = 1073741823;

// The part a character can play in a number text.
enum class Part : unsigned char { Digit, Space, Point, Sign, Exponent, Junk, Unknown };

// The states of a number text read from its start (white space around it aside): an optional
// sign, digits with an optional decimal separator (digits on at least one side), then an
// optional exponent mark, optional sign and digits.
enum class State : unsigned char {
    Start,
    Signed,
    Integer,
    PointAfterDigits,
    LonePoint,
    Fraction,
    ExponentMark,
    ExponentSigned,
    ExponentDigits,
    Dead
};

State next(State state, Part part) {
    switch (state) {
    case State::Start:
        return part == Part::Digit   ? State::Integer
               : part == Part::Sign  ? State::Signed
               : part == Part::Point ? State::LonePoint
                                     : State::Dead;
    case State::Signed:
        return part == Part::Digit   ? State::Integer
               : part == Part::Point ? State::LonePoint
                                     : State::Dead;
    case State::Integer:
        return part == Part::Digit      ? State::Integer
               : part == Part::Point    ? State::PointAfterDigits
               : part == Part::Exponent ? State::ExponentMark
                                        : State::Dead;
    case State::PointAfterDigits:
    case State::Fraction:
        return part == Part::Digit      ? State::Fraction
               : part == Part::Exponent ? State::ExponentMark
                                        : State::Dead;
    case State::LonePoint:
        return part == Part::Digit ? State::Fraction : State::Dead;
    case State::ExponentMark:
        return part == Part::Digit  ? State::ExponentDigits
               : part == Part::Sign ? State::ExponentSigned
                                    : State::Dead;
    case State::ExponentSigned:
    case State::ExponentDigits:
        return part == Part::Digit ? State::ExponentDigits : State::Dead;
    case State::Dead:
        break;
    }
    return State::Dead;
}

bool complete(State state) {
    return state == State::Integer || state == State::PointAfterDigits ||
           state == State::Fraction || state == State::ExponentDigits;
}

} // namespace

// The grammar of a locale's number texts, learnt once from short texts the locale reads: its
// decimal separator, the exponent mark it reads, and the part that each of its signs and
// exponents plays.
struct Converter::Grammar {
    QLocale strict;
    bool known = false; // the locale's number texts follow the grammar above
    QChar point;
    QChar mark;
    QString multiple; // the characters of a sign or exponent of several characters
    struct Symbol {
        char16_t c;
        Part part;
        bool negative; // a sign that makes the number negative
    };
    std::vector<Symbol> symbols;

    bool reads(const QString& text) const { return strictRead(text, strict).has_value(); }

    // The part a character other than an ASCII digit, white space or the separator plays,
    // found by reading short texts with it.
    Part partOf(QChar c) const {
        const QString one = QStringLiteral("1");
        const QString alone(c);
        const bool sign = reads(alone + u'1');
        const bool exponent = reads(one + c + u'1');
        const bool exponentSign = reads(one + mark + c + u'1');
        const bool other = reads(alone) || reads(one + c) || reads(one + point + c);
        if (multiple.contains(c))
            return Part::Unknown;
        if (c.isDigit())
            return !sign && !exponent && !exponentSign && !other ? Part::Junk
                   : strictRead(alone, strict) == double(c.digitValue()) &&
                           strictRead(alone + c, strict) == double(11 * c.digitValue())
                       ? Part::Digit
                       : Part::Unknown;
        if (sign && exponentSign && !exponent && !other)
            return Part::Sign;
        if (exponent && !sign && !exponentSign && !other)
            return Part::Exponent;
        if (!sign && !exponent && !exponentSign && !other)
            return Part::Junk;
        return Part::Unknown;
    }

    bool negative(QChar sign) const { return strictRead(QString(sign) + u'1', strict) < 0.0; }

    explicit Grammar(const QLocale& strictLocale)
        : strict(strictLocale) {
        const QString separator = strict.decimalPoint();
        if (separator.size() != 1)
            return;
        point = separator[0];
        for (const QChar c : {QChar(u'E'), QChar(u'e')})
            if (mark.isNull() && reads(QStringLiteral("1") + c + u'1'))
                mark = c;
        const QString one = QStringLiteral("1");
        // The grammar above is the locale's: checked on short texts.
        if (mark.isNull() || !reads(QStringLiteral(" 1 ")) || reads(QStringLiteral("1 1")) ||
            !reads(QString(point) + u'5') || !reads(one + point) ||
            !reads(QStringLiteral("-") + point + u'5') || !reads(one + point + mark + u'1') ||
            reads(QString(point) + mark + u'1') || reads(one + mark) ||
            reads(QStringLiteral("+-1")) || reads(QString(point)) || reads(QStringLiteral("-")))
            return;
        for (const QString& symbol :
             {strict.negativeSign(), strict.positiveSign(), strict.exponential()})
            if (symbol.size() > 1)
                multiple += symbol;
        // The signs and exponents a number text is likely to hold, learnt now.
        QString candidates = QStringLiteral("+-eE\u2212");
        for (const QString& symbol :
             {strict.negativeSign(), strict.positiveSign(), strict.exponential()})
            if (symbol.size() == 1)
                candidates += symbol;
        for (const QChar c : std::as_const(candidates)) {
            if (c.isSpace() || c == point || (c >= u'0' && c <= u'9') ||
                std::any_of(symbols.begin(), symbols.end(),
                            [c](const Symbol& s) { return s.c == c.unicode(); }))
                continue;
            const Part part = partOf(c);
            symbols.push_back({c.unicode(), part, part == Part::Sign && negative(c)});
        }
        known = true;
    }
};

qsizetype Converter::numberPrefix(const QString& text) const {
    if (text.size() > kStepwiseLength)
        if (const std::optional<qsizetype> scanned = scanNumberPrefix(text))
            // The scan's answer is read once more; should it not read, the reference way
            // decides.
            if (*scanned == 0 || readNumber(text.left(*scanned)))
                return *scanned;
    QString start = text;
    while (!start.isEmpty() && !readNumber(start))
        start.chop(1);
    return start.size();
}

std::optional<qsizetype> Converter::scanNumberPrefix(const QString& text) const {
    if (const std::optional<Scan> scanned = scan(text, false))
        return scanned->longest;
    return std::nullopt;
}

std::optional<Converter::Scan> Converter::scan(const QString& text, bool whole) const {
    const Grammar& g = *grammar_;
    if (!g.known)
        return std::nullopt;
    const QString one = QStringLiteral("1");

    // The characters met that are not among the grammar's symbols.
    QHash<char16_t, Grammar::Symbol> met;
    const auto symbolOf = [&](QChar c, int* digit) -> Grammar::Symbol {
        if (c >= u'0' && c <= u'9') {
            *digit = c.unicode() - u'0';
            return {c.unicode(), Part::Digit, false};
        }
        if (c.isSpace())
            return {c.unicode(), Part::Space, false};
        if (c == g.point)
            return {c.unicode(), Part::Point, false};
        for (const Grammar::Symbol& s : g.symbols)
            if (s.c == c.unicode())
                return s;
        if (c.isDigit())
            *digit = c.digitValue();
        if (const auto known = met.constFind(c.unicode()); known != met.cend())
            return *known;
        const Part part = g.partOf(c);
        const Grammar::Symbol symbol{c.unicode(), part, part == Part::Sign && g.negative(c)};
        met.insert(c.unicode(), symbol);
        return symbol;
    };

    // The number so far: its significant digits (the first kDecidingDigits of them, and
    // whether a later one is not 0), the decimal exponent of the first, and the exponent part.
    std::string significant = "0.";
    bool negative = false;
    bool nonzero = false;
    bool sticky = false;
    long long leadingExponent = 0; // the power of ten of the first significant digit
    long long fractionZeros = 0;   // zeros after the separator before the first significant
    long long exponentValue = 0;
    bool exponentNegative = false;
    // The number as a short text in the C locale: its first significant digits, a last 1 for
    // any later digit that is not 0, and the exponent.
    const auto canonical = [&]() {
        const long long e = leadingExponent + (exponentNegative ? -exponentValue : exponentValue);
        return QLatin1String(negative ? "-" : "") +
               (nonzero ? QString::fromLatin1(significant) + QLatin1String(sticky ? "1" : "") +
                              u'e' + QString::number(e + 1)
                        : QStringLiteral("0"));
    };
    // The last decision on a number at a rounding boundary, by what decides it.
    struct Decided {
        long long exponent = 0;
        std::size_t digits = 0;
        bool sticky = false;
        bool reads = false;
    };
    std::optional<Decided> decided;
    const auto valueReads = [&]() {
        if (!nonzero)
            return true; // zero, whatever the exponent
        const long long e = leadingExponent + (exponentNegative ? -exponentValue : exponentValue);
        if (e >= 309 || e <= -325)
            return false; // beyond the largest double, or rounds to 0
        if (e > -324 && e < 308)
            return true;
        if (!decided || decided->exponent != e || decided->digits != significant.size() ||
            decided->sticky != sticky)
            decided = Decided{e, significant.size(), sticky,
                              strictRead(canonical(), QLocale::c()).has_value()};
        return decided->reads;
    };

    State state = State::Start;
    qsizetype longest = 0;
    bool spaceAfter = false; // white space after the number: nothing may follow
    bool numberReads = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        int digit = 0;
        const Grammar::Symbol symbol = symbolOf(text[i], &digit);
        const Part part = symbol.part;
        if (part == Part::Unknown)
            return std::nullopt;
        if (part == Part::Space) {
            if (state == State::Start)
                continue;
            spaceAfter = true;
            if (numberReads)
                longest = i + 1;
            continue;
        }
        if (spaceAfter)
            break;
        const State before = state;
        state = next(state, part);
        if (state == State::Dead)
            break;
        if (part == Part::Digit) {
            if (state == State::ExponentDigits) {
                if (exponentValue >= kExponentLimit / 10 &&
                    !(exponentValue == kExponentLimit / 10 && digit <= kExponentLimit % 10))
                    exponentValue = kExponentLimit;
                else
                    exponentValue = exponentValue * 10 + digit;
            } else {
                const bool fraction = state == State::Fraction;
                if (!nonzero && digit != 0) {
                    nonzero = true;
                    leadingExponent = fraction ? -(fractionZeros + 1) : -1;
                }
                if (!nonzero && fraction)
                    ++fractionZeros;
                if (nonzero && !fraction)
                    ++leadingExponent;
                if (nonzero) {
                    if (significant.size() < std::size_t(kDecidingDigits) + 2)
                        significant += char('0' + digit);
                    else
                        sticky = sticky || digit != 0;
                }
            }
        } else if (part == Part::Sign && before == State::ExponentMark) {
            exponentNegative = strictRead(one + g.mark + text[i] + u'1', g.strict) < 1.0;
        } else if (part == Part::Sign) {
            negative = symbol.negative;
        }
        // The whole text's number is decided once, at its end.
        numberReads = complete(state) && (whole || valueReads());
        if (numberReads)
            longest = i + 1;
    }
    Scan scanned{longest, std::nullopt};
    // The whole text reads: its number, converted from the short text of the same value.
    if (whole && longest == text.size() && longest > 0 && valueReads())
        scanned.value = strictRead(canonical(), QLocale::c());
    return scanned;
}

std::optional<double> Converter::readNumber(const QString& text) const {
    // The common texts (an optional minus, digits without a needless leading zero, the decimal
    // separator and digits) are read here, to the same double as the locale's conversion gives
    // (both round correctly); a long text is scanned once; every other text goes through the
    // locale.
    constexpr qsizetype kLongest = 40;
    const qsizetype n = text.size();
    if (plainDigits_ && n > 0 && n <= kLongest) {
        const char16_t* c = reinterpret_cast<const char16_t*>(text.utf16());
        char ascii[kLongest];
        bool plain = true;
        for (qsizetype i = 0; i < n && plain; ++i) {
            if (c[i] == pointChar_)
                ascii[i] = '.';
            else if (c[i] == u'-' || (c[i] >= u'0' && c[i] <= u'9'))
                ascii[i] = static_cast<char>(c[i]);
            else
                plain = false;
        }
        if (plain)
            if (const std::optional<double> value = plainValue(ascii, std::size_t(n)))
                return value;
    }
    if (n > kStepwiseLength)
        if (const std::optional<Scan> scanned = scan(text, true))
            return scanned->value;
    return strictRead(text, strict_);
}

} // namespace numtext
