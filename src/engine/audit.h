#pragma once
// The audit engine: one object holds a whole audit, the four Problems of both tower
// arrangements and the moist-air calculator, as the texts their windows show, and does what
// the windows do with them: typing into a field, leaving it, CALCULATE, the "GoTo" button
// that leads on, the activation of a window. Plain C++ over Qt Core (for the locale's number
// texts); no widgets, no QApplication needed.
//
// Every value is a text under its control's identifier and key (keys.h), and a calculation
// reads the texts (its own, other Problems' and the moist-air calculator's) and writes texts
// in the display patterns, so the rounding of every shown value is part of every result
// downstream, exactly as in the windows. A step returns what a person would see: the message
// boxes in order, the new status line, the field to focus.
//
//     engine::Audit audit;
//     audit.type(Arrangement::CounterFlow, 1, engine::cf1::waterFlow, QStringLiteral("120"));
//     audit.leave(Arrangement::CounterFlow, 1, engine::cf1::waterFlow); // the field's check
//     engine::Step step = audit.calculate(Arrangement::CounterFlow, 1);
//     if (step.calculated)
//         qDebug() << audit.text(Arrangement::CounterFlow, 1, engine::cf1::ntu); // "##0.00"
//
// Problems are numbered 1 to 4 as the program names them. The locale of every number text is
// the default QLocale() when the step runs.

#include "core/arrangement.h"
#include "core/counterflow.h"
#include "core/crossflow.h"
#include "engine/capabilityinputs.h"
#include "engine/message.h"
#include "engine/moistair.h"

#include <QLocale>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace engine {

inline constexpr int kProblems = 4;

// What a step did that a person would see, besides the texts.
struct Step {
    bool calculated = false;       // CALCULATE wrote its results
    std::vector<Message> messages; // the message boxes, in order
    std::optional<QString> status; // the status line's new text
    std::string_view focus;        // the field that takes the focus, if any
    int beeps = 0;                 // beeps of the text-change procedure
};

// The intermediate results of a Problem's last successful CALCULATE, for diagrams: the
// counter-flow integration's nodes, or the cross-flow sweep's cells (see counterflowcore.h
// and crossflowcore.h). Problem 1 of the cross flow has no nodes, and so on: the other vector
// stays empty.
struct ProblemTrace {
    std::vector<counterflow::FillNode> nodes;
    std::vector<crossflow::FillCell> cells;
};

// The result grid of a Problem 1, the operating regimes calculated so far: one row per
// calculation, always appended, so no row the engineer calculated is ever overwritten; rows go
// only when the engineer deletes them. A grid without regimes shows one empty row.
struct ResultRows {
    static constexpr int kColumns =
        11; // G, L, Tw,in, Tw,out, Ta,db, RH, NTU, Q, eff., range, approach
    std::vector<std::array<QString, kColumns>> rows = std::vector<std::array<QString, kColumns>>(1);

    // Whether the grid holds no regime: its one row is empty.
    bool empty() const;
    // The row the next calculation writes: the empty first row, or a new one at the end.
    std::array<QString, kColumns>& append();
    // Deletes rows by index (out-of-range indices are ignored); the last deletion leaves the
    // empty row.
    void remove(std::vector<int> indices);
    bool operator==(const ResultRows&) const = default;
};

// A successful CALCULATE as the audit keeps it: the Problem and the texts its fields held.
struct Calculation {
    Arrangement arrangement = Arrangement::CounterFlow;
    int problem = 1;
    std::vector<QString> fields; // in control order
    bool operator==(const Calculation&) const = default;
};

// Whether a Problem's results still follow from the Problems before it. A Problem reads the
// results of the earlier Problems of its arrangement; when one of them was calculated again,
// or reset, after the Problem's own CALCULATE (or is itself out of date), the Problem's
// results are out of date. The numbers stay as they were calculated.
struct Currency {
    bool calculated = false; // the Problem shows the results of a CALCULATE
    int changedBy = 0;       // the earliest Problem it read that changed since; 0: none
    bool current() const { return calculated && changedBy == 0; }
    bool outOfDate() const { return calculated && changedBy != 0; }
};

// The title block of the audit's report: what the engineer writes about the audit itself, free
// texts saved with the audit and undone like any edit.
struct ReportTitle {
    static constexpr qsizetype kMaxLength = 200; // characters of one text
    QString tower;                               // the tower's name or number
    QString site;                                // the plant and its place
    QString date;     // the measurement's date, as the engineer writes it
    QString engineer; // who measured and calculated
    bool empty() const {
        return tower.isEmpty() && site.isEmpty() && date.isEmpty() && engineer.isEmpty();
    }
    bool operator==(const ReportTitle&) const = default;
};

struct ChainResult;

class Audit {
public:
    // Every Problem as its window is first loaded: the fields' initial texts, empty labels,
    // the leading-on buttons disabled.
    Audit();

    // --- The Problems and their controls ------------------------------------------------------
    // The key of a Problem's window; the keys of its controls, fields first (keys.h).
    static std::string_view windowName(Arrangement arrangement, int problem);
    static std::span<const std::string_view> controls(Arrangement arrangement, int problem);
    static int fieldCount(Arrangement arrangement, int problem);
    // The Problem whose window has a key, or nullopt (the cross-flow Problem 1's key gives
    // cross flow, 1).
    static std::optional<std::pair<Arrangement, int>> problemOf(std::string_view window);

    // A control's text by its key; an empty text for an unknown control.
    const QString& text(Arrangement arrangement, int problem, std::string_view control) const;
    // The same by the control's identifier (keys.h: cf1::ntu, xf2::designHeat, ...).
    const QString& text(Arrangement arrangement, int problem, int control) const;
    // Replaces a control's text as it is, with nothing else happening (for views that keep
    // their widgets' texts in step). False for an unknown control.
    bool setText(Arrangement arrangement, int problem, std::string_view control,
                 const QString& text);
    // Whether the Problem's leading-on button ("GoTo Problem N") is enabled; Problem 4 has none.
    bool leadingOn(Arrangement arrangement, int problem) const;
    void setLeadingOn(Arrangement arrangement, int problem, bool enabled);
    // The Problem 1 result grid.
    ResultRows& resultRows(Arrangement arrangement);
    const ResultRows& resultRows(Arrangement arrangement) const;
    // The moist-air calculator shared by every Problem.
    MoistAir& moistAir() { return moistAir_; }
    const MoistAir& moistAir() const { return moistAir_; }
    // The status line as the engine's steps last wrote it.
    const QString& status() const { return status_; }
    // A Problem as its window is freshly loaded again (the window was unloaded), or the
    // moist-air calculator (resetMoistAir).
    void reset(Arrangement arrangement, int problem);
    void resetMoistAir();

    // --- The audit as one value -----------------------------------------------------------------
    // Everything a person can change: every Problem's texts, leading-on buttons, results and
    // traces, both grids, the moist-air calculator, the calculations in order and the status
    // line. Copies are cheap (the texts and traces are shared until written), so a state is
    // what undo keeps and what opening a file builds off screen before it replaces the audit
    // at once.
    class State;
    State state() const;
    void restore(const State& state);
    // Whether two states hold the same audit (the status line and the traces, which follow
    // from the rest, are not compared).
    static bool sameAudit(const State& a, const State& b);

    // The successful calculations in the order they ran, with the texts of their fields.
    const std::vector<Calculation>& calculations() const;
    // Whether the Problem's results follow from the Problems before it.
    Currency currency(Arrangement arrangement, int problem) const;
    // The texts the Problem's fields held at its last successful CALCULATE (empty before).
    const std::vector<QString>& calculatedFields(Arrangement arrangement, int problem) const;
    // Deletes rows of a Problem 1 grid (ResultRows::remove).
    void deleteRows(Arrangement arrangement, std::vector<int> rows);
    // The report's title block; each text is cut to ReportTitle::kMaxLength characters and
    // its line breaks become spaces.
    const ReportTitle& reportTitle() const { return title_; }
    void setReportTitle(const ReportTitle& title);
    // What the engineer set for an arrangement's capability and its water and fan energy
    // (capabilityinputs.h); the ambient table is cut to kMaxAmbientRows rows.
    const CapabilityInputs& capabilityInputs(Arrangement arrangement) const {
        return capability_[arrangement == Arrangement::CounterFlow ? 0 : 1];
    }
    void setCapabilityInputs(Arrangement arrangement, CapabilityInputs inputs);

    // --- What a person does -------------------------------------------------------------------
    // A text typed or pasted into a field: the text-change procedure runs on it, and the
    // leading-on button is disabled.
    Step type(Arrangement arrangement, int problem, std::string_view field, const QString& text);
    // The same by the field's index in controls().
    Step type(Arrangement arrangement, int problem, int field, const QString& text);
    // A click into a field: it is emptied and its hint goes to the status line.
    Step click(Arrangement arrangement, int problem, std::string_view field);
    // The field is left for another control of its window: its check runs; a failure shows the
    // message, empties the field and keeps the focus there.
    Step leave(Arrangement arrangement, int problem, std::string_view field);
    Step leave(Arrangement arrangement, int problem, int field);
    // The window becomes the active one.
    Step activate(Arrangement arrangement, int problem);
    // CALCULATE. beginBusy, when given, is called where the window shows that it works (the
    // cross-flow Problems 1 and 4, after their first checks).
    Step calculate(Arrangement arrangement, int problem,
                   const std::function<void()>& beginBusy = {});
    // The leading-on button's action ("GoTo Problem N"): the texts it carries to the next
    // Problem (the counter-flow Problem 2 carries Problem 1 on to Problem 3); the caller then
    // shows and activates the next Problem. Returns whether the button is enabled: a person can
    // press only an enabled one, so a caller acting as a person stops when it is false (the
    // window's own code, called directly, copies either way, and so does this).
    bool goOn(Arrangement arrangement, int problem);

    // --- Following the calculations -----------------------------------------------------------
    // The intermediate results of the Problem's last successful CALCULATE; empty before.
    const ProblemTrace& trace(Arrangement arrangement, int problem) const;
    // Whether calculations keep their traces (on by default; a run of many cases that reads
    // no diagram turns it off and saves one extra integration or sweep per Problem).
    void setTracing(bool on) { tracing_ = on; }
    bool tracing() const { return tracing_; }
    // Successful calculations so far; and a listener called after each.
    std::uint64_t calculationCount() const { return calculations_; }
    void setCalculationListener(std::function<void(Arrangement, int problem)> listener) {
        listener_ = std::move(listener);
    }

private:
    friend class Run;
    friend ChainResult runChain(Audit&, Arrangement, std::span<const QString>);
    struct Problem {
        std::vector<QString> texts;
        bool leadingOn = false;
        std::shared_ptr<const ProblemTrace> trace; // null: none
        // The calculation's place among the audit's calculations (0: never calculated), the
        // places of the earlier Problems' calculations that it read, and its fields' texts.
        std::uint64_t stamp = 0;
        std::array<std::uint64_t, kProblems> basis{};
        std::vector<QString> calculatedFields;
    };
    Problem& problem(Arrangement arrangement, int problem);
    const Problem& problem(Arrangement arrangement, int problem) const;
    int controlIndex(Arrangement arrangement, int problem, std::string_view control) const;
    // The number texts of the default locale, looked up again only when it changes.
    const numtext::Converter& numbers();

    std::array<std::array<Problem, kProblems>, 2> problems_;
    std::array<ResultRows, 2> rows_;
    MoistAir moistAir_;
    QString status_;
    std::vector<Calculation> log_;
    std::uint64_t lastStamp_ = 0;
    ReportTitle title_;
    std::array<CapabilityInputs, 2> capability_;
    bool tracing_ = true;
    std::uint64_t calculations_ = 0;
    std::function<void(Arrangement, int)> listener_;
    QLocale locale_;
    std::optional<numtext::Converter> numbers_;
    bool localePinned_ = false; // inside runChain: the locale it started with
};

class Audit::State {
private:
    friend class Audit;
    std::array<std::array<Problem, kProblems>, 2> problems;
    std::array<ResultRows, 2> rows;
    std::array<QString, MoistAir::kCount> moistAirTexts;
    bool moistAirUsed = false;
    QString status;
    std::vector<Calculation> log;
    std::uint64_t lastStamp = 0;
    ReportTitle title;
    std::array<CapabilityInputs, 2> capability;
};

} // namespace engine
