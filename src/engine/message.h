#pragma once
// A message box as the program shows it: title, text and icon. The engine returns them; the
// windows show them through the desktop seam.

#include <QString>
#include <string_view>

enum class MessageIcon {
    None,     // no icon
    Warning,  // "Missing Data" and similar
    Error,    // a CALCULATE that refuses inconsistent input
    Critical, // a field that refuses its value (the stop sign)
};

// The program's application title: the settings store's application name and the title of
// the message boxes that carry no title of their own.
inline QString applicationTitle() {
    return QStringLiteral("Kestrel-13");
}

namespace engine {

// A text of the engine's tables (UTF-8) as the windows show it.
inline QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

struct Message {
    QString title;
    QString text;
    MessageIcon icon = MessageIcon::None;
};

} // namespace engine
