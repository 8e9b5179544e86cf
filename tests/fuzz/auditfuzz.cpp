#include "auditfuzz.h"

#include "auditfile/batchinput.h"
#include "fuzztexts.h"

#include <array>

namespace auditfuzz {

QByteArray seed(Rng& rng, auditfile::SavedAudit current) {
    const qsizetype keep = rng.below(5);
    if (current.calculated.size() > keep)
        current.calculated.remove(0, current.calculated.size() - keep);
    return auditfile::serialise(current);
}

QByteArray mutate(Rng& rng, const QByteArray& file, QString* what) {
    QByteArray data = file;
    const auto at = [&](qsizetype size) { return size > 0 ? rng.below(int(size)) : 0; };
    switch (rng.below(8)) {
    case 0: {
        const qsizetype n = at(data.size());
        data.truncate(n);
        *what = QStringLiteral("truncated to %1 bytes").arg(n);
        break;
    }
    case 1: {
        const int flips = 1 + rng.below(8);
        for (int i = 0; i < flips && !data.isEmpty(); ++i)
            data[at(data.size())] ^= char(1 << rng.below(8));
        *what = QStringLiteral("%1 bits flipped").arg(flips);
        break;
    }
    case 2: {
        const int bytes = 1 + rng.below(16);
        for (int i = 0; i < bytes && !data.isEmpty(); ++i)
            data[at(data.size())] = char(rng.below(256));
        *what = QStringLiteral("%1 bytes overwritten").arg(bytes);
        break;
    }
    case 3: { // a value swapped for a hostile one
        static const std::array<QByteArray, 16> kHostile = {
            "\"-1\"",  "\"1e400\"", "\"nan\"",  "\"\"",      "\"99999\"", "\"0\"",
            "\"1,5\"", "123",       "null",     "[]",        "{}",        "\"\\u0000\"",
            "true",    "-0",        "\"0x10\"", "\"1e-320\""};
        qsizetype from = data.indexOf("\": ", at(data.size()));
        if (from < 0)
            from = data.indexOf("\": ");
        if (from >= 0) {
            from += 3;
            qsizetype to = from;
            while (to < data.size() && data[to] != ',' && data[to] != '\n' && data[to] != '}')
                ++to;
            QByteArray value = kHostile[size_t(rng.below(int(kHostile.size())))];
            QString shown = QString::fromUtf8(value);
            switch (rng.below(8)) {
            case 0: // the longest text a field holds, and one character more
                value = '"' + QByteArray(32767 + rng.below(2), '7') + '"';
                shown = QStringLiteral("a text of %1 digits").arg(value.size() - 2);
                break;
            case 1:
                value = '"' + QByteArray(100000, 'x') + '"';
                shown = QStringLiteral("a text of 100,000 letters");
                break;
            case 2:
                value = "1" + QByteArray(400 + rng.below(40000), '0');
                shown = QStringLiteral("a JSON number of %1 digits").arg(value.size());
                break;
            case 3:
                value = "1e999999";
                shown = QString::fromUtf8(value);
                break;
            default:
                break;
            }
            data.replace(from, to - from, value);
            *what = QStringLiteral("a value replaced by %1").arg(shown);
        } else {
            *what = QStringLiteral("unchanged");
        }
        break;
    }
    case 4: {
        const qsizetype from = at(data.size());
        const qsizetype length = std::min<qsizetype>(data.size() - from, 1 + rng.below(200));
        data.insert(at(data.size()), data.mid(from, length));
        *what = QStringLiteral("%1 bytes repeated").arg(length);
        break;
    }
    case 5: {
        const int depth = 1 + rng.below(3000);
        data = "{\"format\": \"ctaudit-audit\", \"version\": 1, \"counter\": " +
               QByteArray(depth, '[') + QByteArray(depth, ']') + "}";
        *what = QStringLiteral("nested %1 deep").arg(depth);
        break;
    }
    case 6: {
        data.resize(rng.below(400));
        for (char& c : data)
            c = char(rng.below(256));
        if (rng.chance(0.5))
            data.prepend('{');
        *what = QStringLiteral("%1 random bytes").arg(data.size());
        break;
    }
    default: { // a key renamed: a missing value, an unknown key
        const qsizetype key = data.indexOf("\"p", at(data.size()));
        if (key >= 0)
            data[key + 1] = 'q';
        *what = QStringLiteral("a key renamed");
        break;
    }
    }
    return data;
}

QByteArray batchInput(Rng& rng) {
    QByteArray data = BatchInput::header().toUtf8();
    const int cases = 1 + rng.below(4);
    const QLocale c = QLocale::c();
    for (int i = 0; i < cases; ++i) {
        QByteArrayList cells;
        const int count = rng.chance(0.9) ? auditfile::kInputCount : rng.below(25);
        for (int k = 0; k < count; ++k) {
            if (rng.chance(0.03))
                cells << '"' + fuzztexts::hostile(rng, c).toUtf8().replace('"', "\"\"") + '"';
            else if (rng.chance(0.005))
                cells << QByteArray(40000, '9');
            else
                cells << fuzztexts::plausible(rng, nullptr, c).toUtf8();
        }
        data += '\n' + cells.join(',');
    }
    data += '\n';
    if (rng.chance(0.1))
        data.truncate(rng.below(int(data.size())));
    return data;
}

} // namespace auditfuzz
