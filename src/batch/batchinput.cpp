#include "batch/batchinput.h"

#include "batch/csv.h"

#include <QStringDecoder>
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

namespace {

BatchInput failed(int line, int column, const QString& text) {
    BatchInput input;
    input.error = BatchInput::Error{line, column, text};
    return input;
}

// The text of data, or the first line that is not UTF-8.
std::optional<QString> decode(const QByteArray& data, int* badLine) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text;
    int line = 1;
    qsizetype start = 0;
    while (start < data.size()) {
        qsizetype end = data.indexOf('\n', start);
        end = end < 0 ? data.size() : end + 1;
        text += decoder.decode(QByteArrayView(data).sliced(start, end - start));
        if (decoder.hasError()) {
            *badLine = line;
            return std::nullopt;
        }
        ++line;
        start = end;
    }
    return text;
}

} // namespace

BatchInput BatchInput::read(const QByteArray& data) {
    int badLine = 0;
    const std::optional<QString> text = decode(data, &badLine);
    if (!text)
        return failed(badLine, 0, QStringLiteral("the text is not UTF-8"));

    const csv::Table table = csv::parse(*text);
    if (table.error)
        return failed(table.error->line, table.error->column, table.error->text);
    if (table.records.isEmpty())
        return failed(1, 0, QStringLiteral("no header: the file is empty"));

    // The header: which input column each cell of a record holds.
    const csv::Record& header = table.records.front();
    std::array<int, kInputColumnCount> cellOf;
    cellOf.fill(-1);
    for (qsizetype cell = 0; cell < header.cells.size(); ++cell) {
        const QString name = header.cells[cell].trimmed();
        const int column = static_cast<int>(cell) + 1;
        const int index = inputColumnIndex(name);
        if (index < 0)
            return failed(header.line, column, QStringLiteral("unknown column \"%1\"").arg(name));
        if (cellOf[static_cast<size_t>(index)] >= 0)
            return failed(header.line, column,
                          QStringLiteral("column \"%1\" is named twice").arg(name));
        cellOf[static_cast<size_t>(index)] = static_cast<int>(cell);
    }
    for (int index = 0; index < kInputColumnCount; ++index)
        if (cellOf[static_cast<size_t>(index)] < 0)
            return failed(header.line, 0,
                          QStringLiteral("the header lacks column \"%1\"")
                              .arg(QLatin1String(kInputColumns[static_cast<size_t>(index)])));

    BatchInput input;
    for (qsizetype r = 1; r < table.records.size(); ++r) {
        const csv::Record& record = table.records[r];
        if (record.cells.size() != header.cells.size())
            return failed(record.line, 0,
                          QStringLiteral("%1 %2 where the header has %3")
                              .arg(record.cells.size())
                              .arg(QLatin1String(record.cells.size() == 1 ? "cell" : "cells"))
                              .arg(header.cells.size()));
        BatchCase c;
        c.number = static_cast<int>(r);
        c.line = record.line;
        for (size_t index = 0; index < c.values.size(); ++index)
            c.values[index] = record.cells[cellOf[index]];
        input.cases.append(c);
    }
    return input;
}

QString BatchInput::write(const QList<BatchCase>& cases) {
    QStringList header;
    for (const char* name : kInputColumns)
        header.append(QLatin1String(name));
    QString text = csv::record(header);
    for (const BatchCase& c : cases)
        text += csv::record(QStringList(c.values.begin(), c.values.end()));
    return text;
}
