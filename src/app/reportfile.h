#pragma once
// ReportFile: "Save spreadsheet report..." in the menu of the toolbar's "Save". It writes the
// workbook that the toolbar's "Excel" fills as an .xlsx file, with no office involved: the
// template's titles, units and row labels, then one column for each regime of the chosen
// arrangement exported with "Excel" since the program started (the windows' regime when none
// was), numbers as numbers with the windows' decimals, and a chart of the Problem 1 regimes.
// The file is written whole or not at all; the status line says what was saved, a message box
// why nothing was.

#include <QObject>
#include <QString>

class AuditDocument;
class QAction;
class Windows;

class ReportFile : public QObject {
    Q_OBJECT
public:
    ReportFile(Windows& windows, AuditDocument& document);

    QAction* saveAction = nullptr;

    // Asks for a file name (an .xlsx suffix is added when it has none) and saves.
    bool save();
    bool saveTo(const QString& path);

private:
    Windows& windows_;
    AuditDocument& document_;
};
