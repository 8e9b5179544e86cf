#pragma once
// XlsxFile: an Office Open XML workbook (.xlsx) written with libxlsxwriter, committed whole or
// not at all. The workbook is written into a new file in the target's folder (AtomicFile:
// engine/atomicfile.h); commit() closes it, checks that the file is complete and on disk, and
// renames it onto the target's name, replacing a link there rather than following it.
// A file that is never committed, or whose writing failed, is removed: a full disk or an
// unwritable folder leaves the old file as it was and no half file beside it.
//
// Numbers go in as numbers with a number format that shows the decimals of their text
// (CellContent), texts as texts.

#include "engine/atomicfile.h"
#include "reports/spreadsheet.h"

#include <QHash>
#include <QString>
#include <memory>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

class XlsxFile {
public:
    // The most rows a worksheet holds, and the longest text a cell holds.
    static constexpr int kMaxRows = 1048576;
    static constexpr int kMaxCellText = 32767;

    // constantMemory: each worksheet keeps only its current row; rows must then be written in
    // order, and texts are written into the rows instead of a shared table.
    explicit XlsxFile(const QString& path, bool constantMemory = false);
    ~XlsxFile();
    XlsxFile(const XlsxFile&) = delete;
    XlsxFile& operator=(const XlsxFile&) = delete;

    // Whether the file is being written: false after the first failure.
    bool ok() const { return error_.isEmpty(); }
    // Why the file could not be written, in plain words; empty while it can.
    QString error() const { return error_; }

    // A new worksheet; nullptr (and an error) when it cannot be made.
    lxw_worksheet* addSheet(const QString& name);
    // Writes a cell by row and column from 0; an empty text writes nothing. textFormat, when
    // given, formats a text. False (and an error) when the cell could not be written.
    bool write(lxw_worksheet* sheet, int row, int column, const CellContent& content,
               lxw_format* textFormat = nullptr);
    // A bold text format of a font size in points (0: the default size).
    lxw_format* boldFormat(double size = 0);
    // The format that shows a number as its text did: decimals places (-1: general) and at
    // least integerDigits digits before the separator. write() shows a number whose text has
    // an exponent in the scientific format of that text.
    lxw_format* numberFormat(int decimals, int integerDigits);
    // The workbook, for what this class does not wrap (column widths, charts).
    lxw_workbook* workbook() { return workbook_; }

    // Completes the file and puts it in place of the target. False (and an error) when it
    // could not be written completely; the target is then left as it was.
    bool commit();

    // The target's name as the messages give it.
    QString path() const { return path_; }

    // Gives up the file for a reason of the caller's; the first reason is kept.
    void fail(const QString& reason);

private:
    QString path_;
    AtomicFile file_;
    lxw_workbook* workbook_ = nullptr;
    QHash<QString, lxw_format*> formats_;
    QHash<int, lxw_format*> numberFormats_; // by decimals and integer digits
    QString error_;
};
