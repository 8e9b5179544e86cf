#pragma once
// The batch audit: runs one case (a measurement set of the four Problems) of one tower
// arrangement through the audit engine exactly as an engineer presses through the windows,
// starting from a fresh audit in its design state:
//
//   for Problem 1 to 4:
//     each of the Problem's fields in the window's order: the case's value pasted whole (the
//       text-change procedure runs on the whole text), then the field left (its check runs,
//       an empty value included);
//     CALCULATE;
//     the "GoTo" button (the counter-flow Problem 2's carries Problem 1 on to Problem 3).
//
// The input columns are the Problems' fields in that order. The first message box that
// anything shows stops the case: its text is the case's status, and the remaining steps are
// not taken. The result holds the 58 quantities of the spreadsheet report, read from the
// engine's texts as the report reads the windows; the quantities of the Problem that stopped
// and of the Problems after it are empty, those of the Problems that completed their
// CALCULATE are filled.
//
// The engine computes what the windows show, digit for digit. It needs no application object,
// only the point locale as the default QLocale (see BatchAudit::prepareLocale).

#include "auditfile/batchinput.h"
#include "engine/audit.h"
#include "engine/cellmap.h"

#include <QString>
#include <QStringList>
#include <array>

using Arrangement = Arrangement;

class BatchAudit {
public:
    // The status of a case that went through all four Problems.
    static inline const QString kOk = QStringLiteral("ok");

    struct Result {
        QString status; // kOk, or the text of the message that stopped the case
        int completedProblems = 0;
        std::array<QString, report::kMapRowCount> quantities;
    };

    // traced: the cases keep the intermediate results of their calculations (for diagrams).
    explicit BatchAudit(Arrangement arrangement, bool traced = false);

    Arrangement arrangement() const { return arrangement_; }

    // finished, when given, receives the case's audit as the case left it.
    Result run(const BatchCase& c, engine::Audit* finished = nullptr) const;

    // The output's header: "case", "status", then the report's row labels.
    static QStringList headerCells();
    // One output row: the case number, the status, the 58 quantities.
    static QStringList resultCells(int caseNumber, const Result& result);

    // The point locale for every conversion, whatever the system's (Qt's default locale and
    // the C library's numeric locale alike).
    static void prepareLocale();

private:
    Arrangement arrangement_;
    engine::Audit design_; // every Problem in its design state: each case starts from a copy
    // The Problem (1 to 4) whose text each report row reads; 0: none.
    std::array<int, report::kMapRowCount> problemOfRow_{};
};
