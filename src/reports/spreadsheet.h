#pragma once
// The spreadsheet application object, reached by automation. The report is written against
// this interface only: the program's implementation drives LibreOffice Calc over UNO from the
// module ctaudit_calc (calcspreadsheet.h), loaded at the first export, so that the program
// starts and works on a machine without an office suite; tests use an in-memory workbook.
//
// Every operation either works or fails: none throws, none shows anything, none waits for a
// person. The program makes every call on a thread of its own (threadedspreadsheet.h), one at
// a time, so that an office that stops answering cannot freeze the windows. A workbook, window or
// office that the user has closed is a normal state: the operations on it fail.

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

// What a cell receives: a number shown with `decimals` places (-1: the general format) and
// at least `integerDigits` digits before the separator, or a text; an empty text empties the
// cell.
struct CellContent {
    QString text;
    std::optional<double> number;
    int decimals = 0;
    int integerDigits = 1;

    // What typing the text into a cell gives: a text that is a number in the program's
    // locale becomes that number, shown as the text shows it ("1131.30": 1131.3 with two
    // decimals; "05.30": two integer digits; "1E-07": the general format); any other text
    // stays text.
    static CellContent fromText(const QString& text);
};

// Consecutive cells of one column: values[0] goes to row firstRow, values[1] below it, ...
struct ColumnBlock {
    QString column;
    int firstRow = 0;
    QList<CellContent> values;
};

class Spreadsheet {
public:
    // The program's Calc object also ends an office that it started itself when no document
    // is open in it any more; an office that was running before, or that holds a document,
    // lives on.
    virtual ~Spreadsheet() = default;

    // Whether the application still answers (the user may have ended it).
    virtual bool isRunning() = 0;
    // Whether there is an active workbook: the current document, or, when no document is
    // current, the workbook opened by openWorkbook() while it is open.
    virtual bool hasWorkbook() = 0;
    // Whether the active workbook has a worksheet of that name.
    virtual bool hasSheet(const QString& sheet) = 0;
    // Closes the active workbook without saving it.
    virtual bool closeWorkbook() = 0;

    // Opens a workbook by file name; it becomes the active workbook. asTemplate opens a new
    // untitled workbook made from the file, leaving the file itself alone.
    virtual bool openWorkbook(const QString& fileName, bool asTemplate) = 0;
    // Shows or hides the application's window.
    virtual bool setVisible(bool visible) = 0;
    // Maximises the application's window.
    virtual bool maximize() = 0;
    // The displayed value of a cell, by worksheet name of the active workbook and A1 address;
    // nullopt when the cell cannot be read (no active workbook, no such worksheet, the
    // application has gone).
    virtual std::optional<QString> readCell(const QString& sheet, const QString& address) = 0;
    // The number a cell holds; nullopt when it holds none or cannot be read.
    virtual std::optional<double> readNumber(const QString& sheet, const QString& address) = 0;
    // Writes a text as the value of a cell; an empty text empties it.
    virtual bool writeCell(const QString& sheet, const QString& address, const QString& value) = 0;

    // Range operations, a few automation calls each whatever the number of cells.
    // The displayed texts of a rectangular range ("B3:U3"), row by row.
    virtual std::optional<QStringList> readRange(const QString& sheet, const QString& range) = 0;
    // Empties the cells of rectangular ranges ("B3:U9").
    virtual bool clearRanges(const QString& sheet, const QStringList& ranges) = 0;
    // Writes blocks of cells; false when any block failed (the others are written).
    virtual bool writeBlocks(const QString& sheet, const QList<ColumnBlock>& blocks) = 0;
    // Shows the active workbook's window and brings it to the front.
    virtual bool bringToFront() = 0;

    // The one operation called from another thread, while a call of this object does not
    // return: ends the office when this object started it, so that the call fails; true when
    // it did. The object is not used any more, except to be destroyed.
    virtual bool abandon() { return false; }
};

// How the spreadsheet application is found and started. The program uses the defaults.
struct OfficeOptions {
    // The automation module; empty: libctaudit_calc.so beside the executable, then in the
    // installed library folder.
    QString modulePath;
    // The office program to start; empty: "soffice" found through PATH.
    QString program;
    // Extra arguments for the office program (tests: --headless and a private profile).
    QStringList arguments;
    // Connect to an office already accepting on this pipe instead of starting one.
    QString pipeName;
    // How long to wait for a started office to accept the connection.
    int startTimeoutMs = 30000;
    // When given, receives in plain words why no application could be made.
    QString* failure = nullptr;
};

// Creates the application object by programmatic identifier: "Excel.Application" gives the
// Calc automation server; any other identifier, a missing module or an office that cannot
// be started gives nullptr.
std::unique_ptr<Spreadsheet> createSpreadsheet(const QString& progId,
                                               const OfficeOptions& options = {});

// Where the automation module is looked for when OfficeOptions names none, in that order:
// beside the executable, then in the installed library folder.
QStringList calcModulePaths();

// The module's one entry point (an extern "C" function of this type and name).
using CreateSpreadsheetFunction = Spreadsheet* (*)(const OfficeOptions* options);
inline constexpr char kCreateSpreadsheetSymbol[] = "ctaudit_create_spreadsheet";
inline constexpr char kCalcModuleFileName[] = "libctaudit_calc.so";
