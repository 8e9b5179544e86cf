#include "batch/csv.h"

namespace csv {

Table parse(const QString& text) {
    Table table;
    qsizetype i = text.startsWith(QChar(0xFEFF)) ? 1 : 0;
    const qsizetype n = text.size();
    int line = 1;

    while (i < n) {
        // An empty line is no record.
        if (text[i] == u'\n' || text[i] == u'\r') {
            i += (text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n') ? 2 : 1;
            ++line;
            continue;
        }
        Record record;
        record.line = line;
        bool recordEnd = false;
        while (!recordEnd) {
            QString cell;
            const int column = static_cast<int>(record.cells.size()) + 1;
            if (i < n && text[i] == u'"') {
                const int openedOn = line;
                ++i;
                bool closed = false;
                while (i < n) {
                    const QChar c = text[i];
                    if (c == u'"') {
                        if (i + 1 < n && text[i + 1] == u'"') {
                            cell += u'"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        closed = true;
                        break;
                    }
                    if (c == u'\n' || (c == u'\r' && !(i + 1 < n && text[i + 1] == u'\n')))
                        ++line;
                    cell += c;
                    ++i;
                }
                if (!closed) {
                    table.error =
                        Error{openedOn, column, QStringLiteral("a quoted cell is never closed")};
                    return table;
                }
                if (i < n && text[i] != u',' && text[i] != u'\n' && text[i] != u'\r') {
                    table.error =
                        Error{line, column, QStringLiteral("text after the closing quote")};
                    return table;
                }
            } else {
                while (i < n && text[i] != u',' && text[i] != u'\n' && text[i] != u'\r') {
                    if (text[i] == u'"') {
                        table.error =
                            Error{line, column, QStringLiteral("a quote inside an unquoted cell")};
                        return table;
                    }
                    cell += text[i];
                    ++i;
                }
            }
            record.cells.append(cell);
            if (i < n && text[i] == u',') {
                ++i;
                continue;
            }
            // End of the line or of the text.
            if (i < n) {
                i += (text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n') ? 2 : 1;
                ++line;
            }
            recordEnd = true;
        }
        table.records.append(record);
    }
    return table;
}

QString quote(const QString& cell) {
    const bool needsQuotes =
        cell.contains(u',') || cell.contains(u'"') || cell.contains(u'\n') || cell.contains(u'\r');
    if (!needsQuotes)
        return cell;
    QString quoted = cell;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString record(const QStringList& cells) {
    QString line;
    for (qsizetype c = 0; c < cells.size(); ++c) {
        if (c > 0)
            line += u',';
        line += quote(cells[c]);
    }
    line += u'\n';
    return line;
}

} // namespace csv
