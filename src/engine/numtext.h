#pragma once
// Number texts: every value in this program lives in the text of a field or the caption of
// a label, so the way a number becomes text (and back) is part of every result.
//
//   format()      fixed-point display patterns such as "##0.00", "0.00000", "##00.00"
//   generalText() a computed number written without a pattern (up to 15 significant digits)
//   readNumber()  the locale's conversion of a text back into a number
//
// Rounding is half away from zero on the value's 15-significant-digit decimal form, so
// 2.675 shows "2.68" and 1.005 shows "1.01" although neither is exact in binary.

#include <QLocale>
#include <QString>
#include <memory>
#include <optional>
#include <string>

namespace numtext {

// The digit layout of a display pattern: "##00.00" has two decimals and shows at least two
// integer digits ("0" marks a digit always shown, "#" one shown only when significant).
struct Pattern {
    int decimals = 0;
    int minIntegerDigits = 1;
};
Pattern parsePattern(const char* pattern);

// The longest text a display pattern writes: a sign, 309 integer digits, the separator and the
// decimals of any pattern the program uses.
inline constexpr qsizetype kLongestPatternText = 400;

// Plain C++ core of format(): the rounded text with "." as decimal separator.
// Non-finite values give an empty text; values beyond kLargestNumberText are written as it.
std::string fixedText(double value, Pattern pattern);

// Formats value by pattern with the locale's decimal separator and no group separator.
// A value that rounds to zero shows no minus sign. The minus sign is "-" in every locale
// (some locales' conversions cannot read their own minus sign back).
QString format(double value, const char* pattern, const QLocale& locale = QLocale());

// The largest number with 15 significant digits below the largest double: beyond it the
// 15-digit rounding of a value would go past the largest double, and its text would not read
// back as a number, so larger values are written as this one (cut towards zero).
inline constexpr double kLargestNumberText = 1.79769313486231e308;

// The general number text: at most 15 significant digits, no trailing zeros; very large and
// very small values with an exponent written "E" ("1E-07", "1E+20"). Values beyond
// kLargestNumberText are written as it, so that every text reads back as a number.
QString generalText(double value, const QLocale& locale = QLocale());

// A single-precision number as text (up to 7 significant digits), as the settings store
// keeps window positions.
QString singleText(float value, const QLocale& locale = QLocale());

// Converts a text to a number with the locale's conversion: sign, decimal separator and
// exponent are allowed; empty text, group separators, trailing junk and non-finite values
// are not numbers. Time linear in the text's length: a long text is scanned once in the
// locale's grammar (Converter::readNumber).
std::optional<double> readNumber(const QString& text, const QLocale& locale = QLocale());

// The characters of all the texts handed to a locale's own conversion (QLocale::toDouble) in
// this thread so far. That conversion asks a system locale for its symbols at each character,
// so only short texts go to it: tests count them.
qsizetype localeCharactersRead();

// A locale's conversions looked up once: the same texts and numbers as format(),
// generalText() and readNumber() with that locale, for the many conversions of a calculation.
class Converter {
public:
    explicit Converter(const QLocale& locale = QLocale());

    QString format(double value, const char* pattern) const;
    QString generalText(double value) const;
    // readNumber(text, locale): the same numbers and refusals. A long text is read in one pass
    // by the grammar of scanNumberPrefix, its number converted from its first significant
    // digits, so that the locale reads only short texts.
    std::optional<double> readNumber(const QString& text) const;
    // A text and the number it reads back as (readNumber of the text), made together.
    struct Shown {
        QString text;
        std::optional<double> value;
    };
    Shown formatShown(double value, const char* pattern) const;
    Shown generalShown(double value) const;
    // Whether a character can be part of a number text: a digit, white space, the decimal
    // separator, a sign or an exponent.
    bool isNumberCharacter(QChar c) const {
        return c.isDigit() || c.isSpace() || symbols_.contains(c);
    }
    // The length of the longest start of text that reads as a number (readNumber gives a
    // value), 0 when none does. Time linear in the text's length: a short text is cut one
    // character at a time and read again, a long one is read once by scanNumberPrefix.
    qsizetype numberPrefix(const QString& text) const;
    // numberPrefix in one pass over the text, whatever its length: the grammar of this
    // locale's number texts and the range of a double applied to every start of the text at
    // once. nullopt when the text holds a character whose part in a number this pass does not
    // know (a locale's sign or exponent of several characters, another script's digits).
    std::optional<qsizetype> scanNumberPrefix(const QString& text) const;

private:
    struct Grammar;
    // One pass over a text by the locale's grammar: the longest start that reads as a number
    // and, when the whole text is asked for, its number (nullopt when it does not read).
    struct Scan {
        qsizetype longest = 0;
        std::optional<double> value;
    };
    std::optional<Scan> scan(const QString& text, bool whole) const;

    QLocale strict_;  // the locale, rejecting group separators
    QString point_;   // its decimal separator
    QString symbols_; // separator, signs and exponents
    // ASCII digits and minus and a one-character separator: plain number texts need no
    // locale to be read.
    bool plainDigits_ = false;
    char16_t pointChar_ = u'.';
    std::shared_ptr<const Grammar> grammar_; // learnt once, shared by copies
};

inline bool isNumeric(const QString& text, const QLocale& locale = QLocale()) {
    return readNumber(text, locale).has_value();
}

} // namespace numtext
