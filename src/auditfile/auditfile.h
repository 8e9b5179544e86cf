#pragma once
// The audit file: one audit as a UTF-8 JSON text that people can read and diff, and that the
// program, the batch tool and other tools share.
//
//   {
//     "format": "ctaudit-audit", "version": 1,          required, first
//     "program": "ctaudit 1.0", "saved": "<UTC time>",  informative
//     "arrangement": "counter" | "cross",               the arrangement last chosen
//     "report": {"tower": "...", "site": "...",        the report's title block, free
//                "date": "...", "engineer": "..."},     texts; optional, each key too
//     "capability": {"counter": {"cap.n": "0.8", ...,  the capability and energy settings
//                     "ambient": [["twb", "tdb", "rh",   of an arrangement that differ from
//                                  "hours"], ...]},      the defaults, and its ambient table;
//                    "cross": {...}},                    optional, each key too
//     "counter": { "p1.L": "100", ... },                required: the 19 inputs of each
//     "cross":   { "p1.L": "90", ... },                 arrangement, under the batch columns
//     "calculated": [ {"arrangement": "counter", "problem": 1,
//                      "inputs": {"p1.L": "100", ...}}, ... ],
//     "grids": { "counter": [[11 cells], ...], "cross": [...] },
//     "active": {"arrangement": "counter", "problem": 2}
//   }
//
// Every number is the text of a field or a grid cell, written with a decimal point whatever
// the locale; an empty text is an empty field. "calculated" lists the successful CALCULATEs in
// the order they ran, each with the texts its Problem's fields held at the time (without
// "inputs" the Problem's texts above are used). Only "format", "version" and the two input
// objects are required; unknown keys are ignored.
//
// Plain data, parsing and writing: QtCore, the number texts and the field table, no widgets.

#include "core/arrangement.h"
#include "engine/audit.h"

#include <QByteArray>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace auditfile {

inline constexpr const char* kFormat = "ctaudit-audit";
inline constexpr int kVersion = 1;
inline constexpr const char* kExtension = "ctaudit";
inline constexpr int kInputCount = 19;  // per arrangement, the batch tool's input columns
inline constexpr int kGridColumns = 11; // the Problem 1 grid
inline constexpr int kMaxCalculations = 1000;
inline constexpr int kMaxGridRows = 10000;
inline constexpr qsizetype kMaxFileSize = 16 * 1024 * 1024;

// "counter" or "cross".
QString arrangementKey(Arrangement arrangement);

// The input column names (p1.L ... p4.twb), in the windows' order.
QString inputColumn(int column);
// The Problem (1 to 4) whose window takes an input column.
int problemOfColumn(int column);

// The field of its Problem that takes an input column: its index there, the same in both
// arrangements (cf1::waterFlow for p1.L, cf2::designWaterFlow for p2.Ld, ...).
int fieldOfColumn(int column);

// The field that takes an input column in an arrangement's windows, by its keys (keys.h),
// NUL-terminated.
struct FieldRef {
    const char* form;
    const char* control;
};
FieldRef inputField(Arrangement arrangement, int column);

// The key of a Problem window of an arrangement, Problem 1 to 4.
const char* problemForm(Arrangement arrangement, int problem);

// Texts of the 19 inputs, with a decimal point, in column order.
using Inputs = std::array<QString, kInputCount>;

struct ProblemRef {
    Arrangement arrangement = Arrangement::CounterFlow;
    int problem = 1; // 1 to 4
    bool operator==(const ProblemRef&) const = default;
};

struct Calculation {
    ProblemRef problem;
    // The texts of the Problem's own columns at its CALCULATE (the other columns are unused);
    // nullopt: the audit's final texts.
    std::optional<Inputs> inputs;
};

using Grid = QList<QStringList>; // rows of kGridColumns cells, decimal point

struct SavedAudit {
    Arrangement arrangement = Arrangement::CounterFlow;
    Inputs counter;
    Inputs cross;
    QList<Calculation> calculated;
    std::optional<Grid> counterGrid; // nullopt: not in the file
    std::optional<Grid> crossGrid;
    std::optional<ProblemRef> active; // the last active Problem window
    engine::ReportTitle report;       // the report's title block; empty texts when missing
    // The capability and energy settings of each arrangement; the defaults when missing.
    std::array<engine::CapabilityInputs, 2> capability;
    QString saved;   // ISO 8601 UTC time, informative
    QString program; // "ctaudit 1.0", informative

    Inputs& inputs(Arrangement a) { return a == Arrangement::CounterFlow ? counter : cross; }
    const Inputs& inputs(Arrangement a) const {
        return a == Arrangement::CounterFlow ? counter : cross;
    }
    // The texts a calculation ran with: its own, or the final ones.
    const Inputs& inputsOf(const Calculation& c) const {
        return c.inputs ? *c.inputs : inputs(c.problem.arrangement);
    }
};

// What makes a file unusable: where (a key such as "counter.p1.L", or "line 3, column 7" for
// the JSON syntax) and what.
struct Error {
    QString where;
    QString text;
};

// "The file "NAME" cannot be opened: where: text".
QString describe(const QString& fileName, const Error& error);

struct Loaded {
    SavedAudit audit;
    std::optional<Error> error; // set: audit is not usable
};

// Reads a whole file: the JSON syntax, the format and version, every value's type, and every
// input and grid text is a number or empty, of at most kMaxValueLength characters (a grid
// cell at most numtext::kLongestPatternText). Does not apply the fields' limits.
Loaded parse(const QByteArray& data);

// The fields' own checks on every input (the final texts and each calculation's): a value its
// field would refuse. The heat capacity of Problem 4 is limited by Problem 1's result, which
// only the calculation knows; here only its negative check applies.
std::optional<Error> checkFields(const SavedAudit& audit);

// The file's text: keys in the order above, one input per line.
QByteArray serialise(const SavedAudit& audit);

// Whether data looks like a JSON object (an audit) rather than CSV: its first character that
// is not a blank (after a byte-order mark) is "{".
bool looksLikeAudit(const QByteArray& data);

// A field's text as the file keeps it: the locale's decimal separator becomes the point.
QString toPointText(const QString& shown, const QLocale& locale = QLocale());
// A file's text as a field shows it in the locale.
QString toLocaleText(const QString& point, const QLocale& locale = QLocale());

// The program and version that write files ("ctaudit 1.0").
QString programName();

} // namespace auditfile
