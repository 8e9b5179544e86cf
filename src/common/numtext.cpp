#include "common/numtext.h"

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

// Adds one to a string of decimal digits, growing it when it carries out ("999" -> "1000").
void incrementDigits(std::string& digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

} // namespace

std::string fixedText(double value, Pattern pattern) {
    if (!std::isfinite(value))
        return {};
    if (std::fabs(value) > kLargestNumberText)
        value = std::copysign(kLargestNumberText, value);

    // The 15-significant-digit decimal form: d.dddddddddddddde±XX.
    char buf[40];
    const std::to_chars_result end = std::to_chars(buf, buf + sizeof buf - 1, std::fabs(value),
                                                   std::chars_format::scientific, 14);
    *end.ptr = 0;
    std::string significand;
    significand.reserve(15);
    const char* c = buf;
    for (; *c && *c != 'e'; ++c)
        if (*c >= '0' && *c <= '9')
            significand.push_back(*c);
    const int exponent = std::atoi(c + 1);

    // The value times 10^decimals is significand * 10^shift.
    const int shift = exponent - 14 + pattern.decimals;
    std::string digits; // the rounded value times 10^decimals, as an integer
    if (shift >= 0) {
        digits = significand + std::string(static_cast<size_t>(shift), '0');
    } else {
        const int dropped = -shift;
        if (dropped > 15) {
            digits = "0";
        } else {
            const size_t keep = static_cast<size_t>(15 - dropped);
            digits = significand.substr(0, keep);
            if (digits.empty())
                digits = "0";
            if (significand[keep] >= '5') // half away from zero
                incrementDigits(digits);
        }
    }
    // Strip leading zeros but keep at least one digit.
    const size_t firstNonZero = digits.find_first_not_of('0');
    digits = firstNonZero == std::string::npos ? "0" : digits.substr(firstNonZero);
    const bool isZero = digits == "0";

    const size_t decimals = static_cast<size_t>(pattern.decimals);
    if (digits.size() < decimals + 1)
        digits.insert(0, decimals + 1 - digits.size(), '0');
    std::string integerPart = digits.substr(0, digits.size() - decimals);
    const std::string fraction = digits.substr(digits.size() - decimals);
    if (integerPart == "0" && pattern.minIntegerDigits == 0)
        integerPart.clear();
    if (integerPart.size() < static_cast<size_t>(pattern.minIntegerDigits))
        integerPart.insert(0, static_cast<size_t>(pattern.minIntegerDigits) - integerPart.size(),
                           '0');

    std::string text;
    if (value < 0 && !isZero)
        text.push_back('-');
    text += integerPart;
    if (decimals > 0) {
        text.push_back('.');
        text += fraction;
    }
    return text;
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

QString withLocaleSeparators(std::string text, const QLocale& locale) {
    QString out = QString::fromStdString(text);
    const QString point = locale.decimalPoint();
    if (point != QLatin1String("."))
        out.replace(QLatin1Char('.'), point);
    return out;
}

} // namespace

QString format(double value, const char* pattern, const QLocale& locale) {
    return withLocaleSeparators(fixedText(value, parsePattern(pattern)), locale);
}

QString generalText(double value, const QLocale& locale) {
    if (!std::isfinite(value))
        return {};
    if (value == 0)
        value = 0; // no "-0"
    if (std::fabs(value) > kLargestNumberText)
        value = std::copysign(kLargestNumberText, value);
    return withLocaleSeparators(plainText(value, 15), locale);
}

QString singleText(float value, const QLocale& locale) {
    if (!std::isfinite(value))
        return {};
    if (value == 0)
        value = 0;
    return withLocaleSeparators(plainText(static_cast<double>(value), 7), locale);
}

std::optional<double> readNumber(const QString& text, const QLocale& locale) {
    if (text.trimmed().isEmpty())
        return std::nullopt;
    QLocale strict = locale;
    strict.setNumberOptions(strict.numberOptions() | QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = strict.toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace numtext
