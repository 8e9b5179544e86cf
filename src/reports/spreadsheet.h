#pragma once
// The spreadsheet application object, reached by automation. The report is written against
// this interface only: the program's implementation drives LibreOffice Calc over UNO from the
// module ctaudit_calc (calcspreadsheet.h), loaded at the first export, so that the program
// starts and works on a machine without an office suite; tests use an in-memory workbook.
//
// Every operation is one automation call that either works or fails: none throws, none shows
// anything, none waits for a person.

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class Spreadsheet {
public:
    virtual ~Spreadsheet() = default;

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
    // Writes a text as the value of a cell; an empty text empties it.
    virtual bool writeCell(const QString& sheet, const QString& address, const QString& value) = 0;
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
};

// Creates the application object by programmatic identifier: "Excel.Application" gives the
// Calc automation server; any other identifier, a missing module or an office that cannot
// be started gives nullptr.
std::unique_ptr<Spreadsheet> createSpreadsheet(const QString& progId,
                                               const OfficeOptions& options = {});

// The module's one entry point (an extern "C" function of this type and name).
using CreateSpreadsheetFunction = Spreadsheet* (*)(const OfficeOptions* options);
inline constexpr char kCreateSpreadsheetSymbol[] = "ctaudit_create_spreadsheet";
inline constexpr char kCalcModuleFileName[] = "libctaudit_calc.so";
