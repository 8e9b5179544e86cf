#pragma once
// The engine's reference chains (tests/engine/chains.csv) as their tests read them: each data
// line as its cells (a minimal CSV reader, where quoted cells may hold commas and doubled
// quotes); blank lines and comments (#) are skipped.

#include <QFile>
#include <QList>
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

// The data lines of a chains file, each as its cells; empty when the file cannot be read.
inline QList<QStringList> chainRows(const QString& path) {
    QList<QStringList> rows;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return rows;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (!line.isEmpty() && !line.startsWith(u'#'))
            rows.append(csvCells(line));
    }
    return rows;
}
