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
    TypedText out{text.left(keep), static_cast<int>(text.size() - keep)};
    while (!out.text.isEmpty() && !(value = numbers.readNumber(out.text))) {
        out.text.chop(1); // the last character of the whole text, wherever the caret was
        ++out.removed;
    }
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
