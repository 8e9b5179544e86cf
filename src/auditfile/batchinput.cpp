#include "auditfile/batchinput.h"

#include "auditfile/csv.h"

#include <QBuffer>
#include <QStringList>

int inputColumnIndex(const QString& name) {
    for (int c = 0; c < kInputColumnCount; ++c)
        if (name == QLatin1String(kInputColumns[static_cast<size_t>(c)]))
            return c;
    return -1;
}

QString BatchInput::Error::describe(const QString& source) const {
    QString where = source + u':' + QString::number(line);
    if (column > 0)
        where += u':' + QString::number(column);
    return where + QStringLiteral(": ") + text;
}

BatchReader::BatchReader(QIODevice& device)
    : reader_(device) {}

bool BatchReader::readHeader() {
    headerRead_ = true;
    const std::optional<csv::Record> header = reader_.next();
    if (!header) {
        if (!reader_.error())
            error_ = BatchInput::Error{1, 0, QStringLiteral("no header: the file is empty")};
        return false;
    }
    // Which input column each cell of a record holds.
    cellOf_.fill(-1);
    for (qsizetype cell = 0; cell < header->cells.size(); ++cell) {
        const QString name = header->cells[cell].trimmed();
        const int column = static_cast<int>(cell) + 1;
        const int index = inputColumnIndex(name);
        if (index < 0) {
            error_ = {header->line, column, QStringLiteral("unknown column \"%1\"").arg(name)};
            return false;
        }
        if (cellOf_[static_cast<size_t>(index)] >= 0) {
            error_ = {header->line, column,
                      QStringLiteral("column \"%1\" is named twice").arg(name)};
            return false;
        }
        cellOf_[static_cast<size_t>(index)] = static_cast<int>(cell);
    }
    for (int index = 0; index < kInputColumnCount; ++index)
        if (cellOf_[static_cast<size_t>(index)] < 0) {
            error_ = {header->line, 0,
                      QStringLiteral("the header lacks column \"%1\"")
                          .arg(QLatin1String(kInputColumns[static_cast<size_t>(index)]))};
            return false;
        }
    headerCells_ = header->cells.size();
    return true;
}

std::optional<BatchCase> BatchReader::next(csv::Reader::Cells cells) {
    if (error_ || (!headerRead_ && !readHeader()))
        return std::nullopt;
    const std::optional<csv::Record> record = reader_.next(cells);
    if (!record) {
        if (const std::optional<csv::Error>& e = reader_.error())
            error_ = BatchInput::Error{e->line, e->column, e->text};
        return std::nullopt;
    }
    if (record->cells.size() != headerCells_) {
        error_ = {record->line, 0,
                  QStringLiteral("%1 %2 where the header has %3")
                      .arg(record->cells.size())
                      .arg(QLatin1String(record->cells.size() == 1 ? "cell" : "cells"))
                      .arg(headerCells_)};
        return std::nullopt;
    }
    if (record->longest > kMaxValueLength) {
        error_ = {record->line, record->longestColumn,
                  QStringLiteral("the cell has more than %1 characters").arg(kMaxValueLength)};
        return std::nullopt;
    }
    BatchCase c;
    c.number = ++cases_;
    c.line = record->line;
    for (size_t index = 0; index < c.values.size(); ++index)
        c.values[index] = record->cells[cellOf_[index]];
    return c;
}

BatchInput BatchInput::read(const QByteArray& data) {
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    BatchReader reader(buffer);
    BatchInput input;
    while (std::optional<BatchCase> c = reader.next())
        input.cases.append(std::move(*c));
    if (reader.error()) {
        input.cases.clear();
        input.error = reader.error();
    }
    return input;
}

QString BatchInput::header() {
    QStringList names;
    for (const char* name : kInputColumns)
        names.append(QLatin1String(name));
    return csv::record(names);
}

QString BatchInput::record(const BatchCase& c) {
    return csv::record(c.values);
}

QString BatchInput::write(const QList<BatchCase>& cases) {
    QString text = header();
    for (const BatchCase& c : cases)
        text += record(c);
    return text;
}
