#pragma once
// The batch audit: runs one case (a measurement set of the four Problems) through the windows
// of one tower arrangement exactly as an engineer would, starting from a fresh set of windows
// in their design state:
//
//   for Problem 1 to 4:
//     each of the Problem's fields in the window's order: its text replaced by the case's
//       value as a paste does (the text-change procedure runs on the whole text), then the
//       field left (its validation runs, an empty value included);
//     CALCULATE pressed;
//     the window's "GoTo" button pressed (the counter-flow Problem 2's carries Problem 1 on
//       to Problem 3).
//
// The first message box that anything shows stops the case: its text is the case's status,
// and the remaining steps are not taken. The result holds the 58 quantities of the
// spreadsheet report, read from the windows as the report reads them; the quantities of the
// Problem that stopped and of the Problems after it are empty, those of the Problems that
// completed their CALCULATE are filled.
//
// The windows are driven offscreen through their own fields and buttons, so the numbers are
// the ones the windows show, digit for digit. Needs a QApplication and the point locale as
// the default QLocale (see BatchAudit::prepareApplication).

#include "batch/batchinput.h"
#include "engine/audit.h"
#include "reports/cellmap.h"

#include <QString>
#include <QStringList>
#include <array>

using Arrangement = engine::Arrangement;

class BatchAudit {
public:
    // The status of a case that went through all four Problems.
    static inline const QString kOk = QStringLiteral("ok");

    struct Result {
        QString status; // kOk, or the text of the message that stopped the case
        int completedProblems = 0;
        std::array<QString, report::kMapRowCount> quantities;
    };

    explicit BatchAudit(Arrangement arrangement)
        : arrangement_(arrangement) {}

    Arrangement arrangement() const { return arrangement_; }

    Result run(const BatchCase& c) const;

    // The output's header: "case", "status", then the report's row labels.
    static QStringList headerCells();
    // One output row: the case number, the status, the 58 quantities.
    static QStringList resultCells(int caseNumber, const Result& result);

    // What the windows need before the QApplication exists: the offscreen platform unless
    // another is chosen. Call before constructing it.
    static void preparePlatform();
    // What they need after: the point locale for every conversion, whatever the system's (Qt's
    // default locale and the C library's numeric locale alike).
    static void prepareLocale();

private:
    Arrangement arrangement_;
};
