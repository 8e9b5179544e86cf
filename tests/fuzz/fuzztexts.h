#pragma once
// The texts the fuzzer types and pastes into the entry fields: values an engineer would enter
// (in and around each field's limits, written in the locale's format) and hostile texts
// (signs, separators of both locales, exponents, huge and tiny numbers, digits of other
// scripts, control characters, words such as "nan" and "inf", very long texts, nothing).

#include <QLocale>
#include <QString>

class Rng;
struct FieldDef;

namespace fuzztexts {

// A value within or just beyond the limits of def (nullptr: any field), in locale's format.
QString plausible(Rng& rng, const FieldDef* def, const QLocale& locale);

// A hostile text of one to six pieces.
QString hostile(Rng& rng, const QLocale& locale);

// A long text to paste: thousands of digits (around a field's 32,767 characters), a number
// with huge runs of zeros, hostile pieces repeated, rows and columns copied from a spreadsheet,
// invisible and right-to-left characters by the thousand.
QString longText(Rng& rng, const QLocale& locale);

// Mostly plausible, sometimes hostile.
QString any(Rng& rng, const FieldDef* def, const QLocale& locale);

} // namespace fuzztexts
