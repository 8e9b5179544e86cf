#pragma once
// Comma-separated values as the batch tool reads and writes them (RFC 4180): cells separated
// by commas, records by line breaks (LF or CR LF); a cell that holds a comma, a quote or a
// line break is enclosed in quotes, with its quotes doubled.
//
// Reading is strict, so that a damaged file stops with the line and column of the damage
// instead of shifting values into the wrong fields: a quote may only open a cell and close
// it, and a quoted cell must be closed. A leading byte-order mark is dropped, and an empty
// line (no characters at all) is no record.

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace csv {

struct Record {
    int line = 0; // the line the record starts on, 1 for the first
    QStringList cells;
};

struct Error {
    int line = 0;
    int column = 0; // the cell, 1 for the first
    QString text;
};

struct Table {
    QList<Record> records;
    std::optional<Error> error; // set: records holds the records before the damage
};

Table parse(const QString& text);

// One cell as written: quoted when it holds a comma, a quote, CR or LF.
QString quote(const QString& cell);

// One record as written, ending with LF.
QString record(const QStringList& cells);

} // namespace csv
