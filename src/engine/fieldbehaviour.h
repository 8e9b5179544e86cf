#pragma once
// What an entry field does with its text, whatever shows it: the text-change procedure that
// runs on every keystroke, paste or written text, and the check that runs when the field is
// left. The windows' fields (NumericField) and the engine both use these.

#include "engine/fieldtable.h"
#include "engine/numtext.h"

#include <QString>
#include <optional>
#include <string_view>

namespace engine {

// The text-change procedure: while the text is not a number and not empty, its last character
// is removed (one beep each); a negative number becomes "0".
struct TypedText {
    QString text;    // the text the field then holds
    int removed = 0; // characters removed, one beep each
};
TypedText correctTyped(const QString& text, const numtext::Converter& numbers);

// The check of a field's text when it is left (checkField on the locale's number); for a heat
// capacity field, heatCapacityText is the heat capacity label of its Problem 1. The message,
// or nullopt when the value passes.
std::optional<std::string_view> fieldFailure(const FieldDef& def, const QString& text,
                                             const QString& heatCapacityText,
                                             const numtext::Converter& numbers);

} // namespace engine
