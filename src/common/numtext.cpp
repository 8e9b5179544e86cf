#include "common/numtext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

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

// Room for the longest text fixedChars writes: sign, 309 integer digits, point and the
// decimals of any display pattern.
constexpr std::size_t kFixedTextSize = 400;

// fixedText written into out (kFixedTextSize characters); returns its length, 0 for a
// non-finite value.
std::size_t fixedChars(double value, Pattern pattern, char* out) {
    if (!std::isfinite(value))
        return 0;
    if (std::fabs(value) > kLargestNumberText)
        value = std::copysign(kLargestNumberText, value);

    // The 15-significant-digit decimal form: d.dddddddddddddde+XX.
    char buf[40];
    const std::to_chars_result end = std::to_chars(buf, buf + sizeof buf - 1, std::fabs(value),
                                                   std::chars_format::scientific, 14);
    *end.ptr = 0;
    char significand[16] = {};
    int n = 0;
    const char* c = buf;
    for (; *c && *c != 'e'; ++c)
        if (*c >= '0' && *c <= '9')
            significand[n++] = *c;
    const int exponent = std::atoi(c + 1);

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

std::optional<double> strictRead(const QString& text, const QLocale& strict) {
    if (text.trimmed().isEmpty())
        return std::nullopt;
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
    return strictRead(text, strictLocale(locale));
}

// ---------------------------------------------------------------------------------------------
// Converter

Converter::Converter(const QLocale& locale)
    : strict_(strictLocale(locale))
    , point_(locale.decimalPoint())
    , symbols_(point_ + locale.negativeSign() + locale.positiveSign() + locale.exponential() +
               QStringLiteral("+-eE\u2212")) {
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
    if (!std::isfinite(value))
        return {};
    const std::string text = plainText(generalValue(value), 15);
    return withPoint(text.data(), text.size(), point_);
}

std::optional<double> Converter::readNumber(const QString& text) const {
    // The common texts (an optional minus, digits without a needless leading zero, the decimal
    // separator and digits) are read here, to the same double as the locale's conversion gives
    // (both round correctly); every other text goes through the locale.
    constexpr qsizetype kLongest = 40;
    const qsizetype n = text.size();
    if (plainDigits_ && n > 0 && n <= kLongest) {
        const char16_t* c = reinterpret_cast<const char16_t*>(text.utf16());
        char ascii[kLongest];
        qsizetype i = 0;
        if (c[0] == u'-') {
            ascii[0] = '-';
            i = 1;
        }
        const qsizetype integerStart = i;
        for (; i < n && c[i] >= u'0' && c[i] <= u'9'; ++i)
            ascii[i] = static_cast<char>(c[i]);
        const qsizetype integerDigits = i - integerStart;
        bool plain = integerDigits > 0 && !(integerDigits > 1 && c[integerStart] == u'0');
        if (plain && i < n) {
            plain = c[i] == pointChar_ && i + 1 < n;
            ascii[i++] = '.';
            for (; plain && i < n; ++i) {
                plain = c[i] >= u'0' && c[i] <= u'9';
                ascii[i] = static_cast<char>(c[i]);
            }
        }
        if (plain) {
            double value = 0;
            const std::from_chars_result r = std::from_chars(ascii, ascii + n, value);
            if (r.ec == std::errc() && r.ptr == ascii + n && std::isfinite(value))
                return value;
        }
    }
    return strictRead(text, strict_);
}

} // namespace numtext
