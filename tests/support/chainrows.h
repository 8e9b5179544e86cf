#pragma once
// The cells of one line of the engine's reference chains (tests/engine/chains.csv): a minimal
// CSV reader, where quoted cells may hold commas and doubled quotes.

#include <QString>
#include <QStringList>

inline QStringList csvCells(const QString& line) {
    QStringList cells{QString()};
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted && c == u'"' && i + 1 < line.size() && line[i + 1] == u'"')
            cells.last() += line[++i];
        else if (c == u'"')
            quoted = !quoted;
        else if (c == u',' && !quoted)
            cells.append(QString());
        else
            cells.last() += c;
    }
    return cells;
}
