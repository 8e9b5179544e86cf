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
#include <QStringDecoder>
#include <QStringList>
#include <optional>
#include <span>

class QIODevice;

namespace csv {

struct Record {
    int line = 0; // the line the record starts on, 1 for the first
    QStringList cells;
    // The length of its longest cell and that cell's column (1 for the first), kept or
    // counted.
    qsizetype longest = 0;
    int longestColumn = 0;
    // The cells counted beyond the reader's most kept (Reader::setMaxCells), not in cells.
    qsizetype dropped = 0;
};

struct Error {
    int line = 0;
    int column = 0; // the cell, 1 for the first; 0: the whole line
    QString text;
};

// Reads records one at a time, from a text or from a device (UTF-8) line by line, so that
// reading a device holds no more than the record at hand.
class Reader {
public:
    explicit Reader(const QString& text);
    explicit Reader(QIODevice& device);

    // Whether a record's cells keep their texts, or are only counted (as empty texts): enough
    // to check a file.
    enum class Cells { Kept, Counted };

    // The next record; nothing at the end of the text or at damage (then error() is set).
    std::optional<Record> next(Cells cells = Cells::Kept);
    const std::optional<Error>& error() const { return error_; }
    // Stops at a cell longer than length characters (an error naming its line and column)
    // instead of reading on: a device's line is then held in memory up to that length.
    void setMaxCellLength(qsizetype length) { maxCell_ = length; }
    // Keeps at most count cells of a record, counting the others (Record::dropped): a line of
    // commas is not held as as many cells.
    void setMaxCells(qsizetype count) { maxCells_ = count; }

private:
    // Appends the device's next piece of a line (at most kPiece bytes) to text_; false at its
    // end or at a line that is not UTF-8 (then error_ is set).
    bool pull();
    static constexpr qint64 kPiece = qint64(1) << 16;
    // Drops the text before pos_.
    void compact();

    QIODevice* device_ = nullptr;
    QStringDecoder decoder_{QStringDecoder::Utf8};
    QString text_;
    qsizetype pos_ = 0;
    int line_ = 1;              // the line at pos_
    int deviceLine_ = 0;        // the device's lines pulled whole so far
    bool pulled_ = false;       // whether anything has been pulled
    qsizetype maxCell_ = -1;    // no limit
    qsizetype maxCells_ = -1;   // no limit
    qsizetype cellsBefore_ = 0; // the cells of the record before: room for as many
    std::optional<Error> error_;
};

struct Table {
    QList<Record> records;
    std::optional<Error> error; // set: records holds the records before the damage
};

Table parse(const QString& text);

// One cell as written: quoted when it holds a comma, a quote, CR or LF.
QString quote(const QString& cell);

// One record as written, ending with LF.
QString record(std::span<const QString> cells);
inline QString record(const QStringList& cells) {
    return record(std::span<const QString>(cells.constData(), static_cast<size_t>(cells.size())));
}

} // namespace csv
