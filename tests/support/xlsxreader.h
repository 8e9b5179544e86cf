#pragma once
// Reads .xlsx workbooks back for the tests, two ways: a small reader of the format itself (the
// zip container through zlib, the worksheets, shared strings and number formats through
// QXmlStreamReader), and LibreOffice Calc converting each worksheet to CSV as it displays it,
// when an office is installed. Both give each cell's displayed text.

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace xlsxread {

struct Cell {
    QString text;        // as displayed: a number in its cell's number format
    bool number = false; // the cell holds a number, not a text
};

struct Sheet {
    QString name;
    QList<QList<Cell>> rows; // from A1; a row is as long as its last cell
    // The displayed texts, row by row.
    QList<QStringList> texts() const;
    // The text at a row and column from 0; empty beyond the cells.
    Cell at(int row, int column) const;
};

struct Workbook {
    QList<Sheet> sheets;
    QStringList entries; // the names in the zip container
};

// The workbook read by the format's own reader; nullopt (and why in *error) when the file is
// no workbook this reader understands.
std::optional<Workbook> read(const QString& path, QString* error = nullptr);

// Whether LibreOffice's soffice is installed.
bool officeInstalled();

// The displayed texts of the named worksheets as LibreOffice Calc shows them (converted to CSV
// with a private profile under workDir), trailing empty cells and rows left out; nullopt (and
// why) when the conversion failed.
std::optional<QList<QList<QStringList>>> readWithOffice(const QString& path,
                                                        const QStringList& sheets,
                                                        const QString& workDir,
                                                        QString* error = nullptr);

// Texts without their trailing empty cells and rows, as the two readers are compared.
QList<QStringList> trimmed(QList<QStringList> rows);

// The cell address "B12" as row and column from 0.
std::pair<int, int> cellIndex(QStringView address);

} // namespace xlsxread
