#include "auditfile/batchinput.h"

#include "auditfile/csv.h"
#include "engine/numtext.h"

#include <QBuffer>
#include <QLocale>
#include <QStringList>
#include <algorithm>
#include <cmath>

int inputColumnIndex(const QString& name) {
    for (int c = 0; c < kInputColumnCount; ++c)
        if (name == QLatin1String(kInputColumns[static_cast<size_t>(c)]))
            return c;
    return -1;
}

std::optional<QString> firstLineIsNoHeader(QByteArrayView start) {
    if (start.startsWith("\xEF\xBB\xBF"))
        start = start.sliced(3);
    if (start.startsWith('\n') || start.startsWith('\r'))
        return QStringLiteral("line 1 is no header: it is empty");
    const qsizetype end = start.indexOf('\n');
    if ((end < 0 ? start : start.first(end)).contains('\0'))
        return QStringLiteral("line 1 is no header: it holds NUL bytes");
    return std::nullopt;
}

QString BatchInput::Error::describe(const QString& source) const {
    QString where = source + u':' + QString::number(line);
    if (column > 0)
        where += u':' + QString::number(column);
    return where + QStringLiteral(": ") + text;
}

BatchReader::BatchReader(QIODevice& device)
    : device_(device)
    , reader_(device) {
    // A longer cell is refused as it is met, not after its line has been read whole.
    reader_.setMaxCellLength(kMaxValueLength);
}

bool BatchReader::readHeader() {
    headerRead_ = true;
    // The header is the first line: empty lines before it are not skipped one by one.
    // A short file of line breaks alone is an empty one.
    const QByteArray start = device_.peek(kHeaderPeek);
    const bool blank = start.size() < kHeaderPeek &&
                       std::ranges::all_of(start, [](char c) { return c == '\n' || c == '\r'; });
    if (const std::optional<QString> why = blank ? std::nullopt : firstLineIsNoHeader(start)) {
        error_ = BatchInput::Error{1, 0, *why};
        return false;
    }
    // A header names each column once: more cells than there are columns are only counted.
    constexpr qsizetype kColumns = kInputColumnCount + engine::kSettingCount + 1;
    reader_.setMaxCells(kColumns);
    const std::optional<csv::Record> header = reader_.next();
    if (!header) {
        if (!reader_.error())
            error_ = BatchInput::Error{1, 0, QStringLiteral("no header: the file is empty")};
        return false;
    }
    // Which input column, or which optional column, each cell of a record holds.
    cellOf_.fill(-1);
    settingCell_.fill(-1);
    for (qsizetype cell = 0; cell < header->cells.size(); ++cell) {
        const QString name = header->cells[cell].trimmed();
        const int column = static_cast<int>(cell) + 1;
        int* slot = nullptr;
        if (const int index = inputColumnIndex(name); index >= 0)
            slot = &cellOf_[static_cast<size_t>(index)];
        else if (name == QLatin1String(kAmbientWetBulbColumn))
            slot = &wetBulbCell_;
        else if (const std::optional<engine::Setting> setting =
                     engine::settingOfKey(name.toStdString());
                 setting && engine::settingDef(*setting).batchColumn)
            slot = &settingCell_[static_cast<size_t>(*setting)];
        if (!slot) {
            error_ = {header->line, column, QStringLiteral("unknown column \"%1\"").arg(name)};
            return false;
        }
        if (*slot >= 0) {
            error_ = {header->line, column,
                      QStringLiteral("column \"%1\" is named twice").arg(name)};
            return false;
        }
        *slot = static_cast<int>(cell);
    }
    if (header->dropped > 0) {
        error_ = {header->line, static_cast<int>(kColumns) + 1,
                  QStringLiteral("the header has more columns than there are (%1)").arg(kColumns)};
        return false;
    }
    anySetting_ =
        wetBulbCell_ >= 0 || std::ranges::any_of(settingCell_, [](int c) { return c >= 0; });
    for (int index = 0; index < kInputColumnCount; ++index)
        if (cellOf_[static_cast<size_t>(index)] < 0) {
            error_ = {header->line, 0,
                      QStringLiteral("the header lacks column \"%1\"")
                          .arg(QLatin1String(kInputColumns[static_cast<size_t>(index)]))};
            return false;
        }
    headerCells_ = header->cells.size();
    // A record with more cells is refused: the others are only counted.
    reader_.setMaxCells(headerCells_);
    return true;
}

bool BatchReader::readSettings(const csv::Record& record, BatchCase& c) {
    // The value of an optional column's cell: nullopt when empty, NaN when no number.
    const auto number = [&](int cell) -> std::optional<double> {
        const QString text = record.cells[cell].trimmed();
        if (text.isEmpty())
            return std::nullopt;
        return numtext::readNumber(text, QLocale::c()).value_or(std::nan(""));
    };
    const auto refuse = [&](int cell, const QString& name, const QString& why) {
        error_ = {record.line, cell + 1,
                  QStringLiteral("%1 %2, not \"%3\"")
                      .arg(name, why, record.cells[cell].trimmed().left(40))};
        return false;
    };
    for (int s = 0; s < engine::kSettingCount; ++s) {
        const int cell = settingCell_[static_cast<size_t>(s)];
        const std::optional<double> value = cell >= 0 ? number(cell) : std::nullopt;
        if (!value)
            continue;
        const auto setting = engine::Setting(s);
        const std::string_view key = engine::settingDef(setting).key;
        const QString name = QString::fromLatin1(key.data(), qsizetype(key.size()));
        if (std::isnan(*value))
            return refuse(cell, name, QStringLiteral("must be a number"));
        if (const std::optional<QString> why = engine::checkSetting(setting, *value))
            return refuse(cell, name, *why);
        c.settings.values[static_cast<size_t>(s)] = *value;
    }
    if (const std::optional<double> wetBulb =
            wetBulbCell_ >= 0 ? number(wetBulbCell_) : std::nullopt) {
        const QString name = QLatin1String(kAmbientWetBulbColumn);
        if (std::isnan(*wetBulb))
            return refuse(wetBulbCell_, name, QStringLiteral("must be a number"));
        engine::AmbientRow row;
        row.wetBulb = *wetBulb;
        row.hours = c.settings.value(engine::Setting::Hours);
        if (const std::optional<QString> why = engine::checkAmbientRow(row))
            return refuse(wetBulbCell_, name + u':', *why);
        c.settings.ambient = {row};
    }
    return true;
}

std::optional<BatchCase> BatchReader::next(csv::Reader::Cells cells) {
    if (error_ || (!headerRead_ && !readHeader()))
        return std::nullopt;
    // The optional columns are checked whenever the file is: their cells are read; so are the
    // input cells when they must be numbers.
    const std::optional<csv::Record> record =
        reader_.next(anySetting_ || numbersChecked_ ? csv::Reader::Cells::Kept : cells);
    if (!record) {
        if (const std::optional<csv::Error>& e = reader_.error())
            error_ = BatchInput::Error{e->line, e->column, e->text};
        return std::nullopt;
    }
    if (const qsizetype count = record->cells.size() + record->dropped; count != headerCells_) {
        error_ = {record->line, 0,
                  QStringLiteral("%1 %2 where the header has %3")
                      .arg(count)
                      .arg(QLatin1String(count == 1 ? "cell" : "cells"))
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
    // Checked, a cell is typed into its field whole: a text that is not a number (a thousands
    // separator, a decimal comma, a unit) is refused, as the audit-file loader refuses it,
    // where a field would drop its other characters and read another number.
    for (size_t index = 0; index < c.values.size(); ++index) {
        const int cell = cellOf_[index];
        if (!numbersChecked_) {
            c.values[index] = record->cells[cell];
            continue;
        }
        const QString text = record->cells[cell].trimmed();
        if (!text.isEmpty() && !numtext::readNumber(text, QLocale::c())) {
            error_ = {record->line, cell + 1,
                      QStringLiteral("%1 must be a number, not \"%2\"")
                          .arg(QLatin1String(kInputColumns[index]), text.left(40))};
            return std::nullopt;
        }
        if (cells == csv::Reader::Cells::Kept)
            c.values[index] = text;
    }
    if (anySetting_ && !readSettings(*record, c))
        return std::nullopt;
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
