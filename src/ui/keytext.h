#pragma once
// A key of the key table (engine/keys.h) as the text that object names and look-ups use.

#include <QString>
#include <string_view>

inline QString keyText(std::string_view key) {
    return QString::fromLatin1(key.data(), qsizetype(key.size()));
}
