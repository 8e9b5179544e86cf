#include "engine/fieldbehaviour.h"

namespace engine {

TypedText correctTyped(const QString& text, const numtext::Converter& numbers) {
    std::optional<double> value = numbers.readNumber(text);
    if (value || text.isEmpty())
        return {value && *value < 0 ? QStringLiteral("0") : text, 0};
    // Removing the last character of a text that holds a character no number can contain
    // leaves it not a number until that character is gone: those removals are counted at once.
    qsizetype keep = 0;
    while (keep < text.size() && numbers.isNumberCharacter(text[keep]))
        ++keep;
    // Then the last character of the whole text goes (wherever the caret was) until the rest
    // is a number or nothing is left: the longest start of it that is a number stays, found
    // in one pass.
    const qsizetype length = numbers.numberPrefix(text.left(keep));
    TypedText out{text.left(length), static_cast<int>(text.size() - length)};
    value = length > 0 ? numbers.readNumber(out.text) : std::nullopt;
    if (value && *value < 0)
        out.text = QStringLiteral("0");
    return out;
}

std::optional<std::string_view> fieldFailure(const FieldDef& def, const QString& text,
                                             const QString& heatCapacityText,
                                             const numtext::Converter& numbers) {
    std::optional<double> heatCapacity;
    if (def.limit == LimitKind::HeatCapacity)
        heatCapacity = numbers.readNumber(heatCapacityText);
    return checkField(def, numbers.readNumber(text), heatCapacity);
}

} // namespace engine
