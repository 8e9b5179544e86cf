#pragma once
// Run: one CALCULATE of one Problem inside the engine, and the steps the Problems share: the
// "All fields require data" check, reading texts as numbers or refusing, the two
// temperature-order checks, air states through the moist-air calculator, and writing the
// results. Every number text of a calculation is written and read here.

#include "engine/audit.h"
#include "engine/messages.h"

#include <QString>
#include <array>
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <optional>
#include <span>

namespace engine {

class Run {
public:
    Run(Audit& audit, Arrangement arrangement, int problem, Step& step,
        const std::function<void()>& beginBusy);

    // This Problem's texts, and another Problem's of the same arrangement.
    const QString& t(int control) const { return own_.texts[std::size_t(control)]; }
    const QString& of(int problem, int control) const {
        return audit_.problem(arrangement_, problem).texts[std::size_t(control)];
    }
    // Writes a label of this Problem, or of another one.
    void set(int control, QString text) { own_.texts[std::size_t(control)] = std::move(text); }
    void setOf(int problem, int control, QString text) {
        audit_.problem(arrangement_, problem).texts[std::size_t(control)] = std::move(text);
    }
    // Writes a field of this Problem: like every change of a field's text, it disables the
    // leading-on button.
    void setField(int control, QString text) {
        set(control, std::move(text));
        own_.leadingOn = false;
    }

    // The one place where numbers become texts and texts numbers.
    QString format(double value, const char* pattern) const {
        return numbers_.format(value, pattern);
    }
    QString generalText(double value) const { return numbers_.generalText(value); }
    std::optional<double> number(const QString& text) const { return numbers_.readNumber(text); }

    // True when every field holds a text; otherwise shows "All fields require data" in a box
    // with the given title and icon (by default a "Missing Data" warning).
    bool allFieldsFilled(const QString& title, MessageIcon icon);
    bool allFieldsFilled();
    // The numbers the texts show, in order; when one shows none, refuses with `refusal`.
    template <std::size_t N>
    std::optional<std::array<double, N>> numbers(const QString (&texts)[N],
                                                 const QString& refusal) {
        std::array<double, N> values{};
        if (!readNumbers(texts, values, refusal))
            return std::nullopt;
        return values;
    }
    // The numbers this Problem's fields show; "Invalid entries, please enter numbers only".
    template <std::size_t N>
    std::optional<std::array<double, N>> fieldNumbers(const int (&fields)[N]) {
        QString texts[N];
        for (std::size_t i = 0; i < N; ++i)
            texts[i] = t(fields[i]);
        return numbers(texts, toQString(messages::kNumbersOnly));
    }
    // When the outlet water is warmer than the inlet: "Outlet water temperature must be less
    // then inlet water temperature" in a box with the given title and icon, the fields
    // `cleared` emptied in their order, `focus` focused; false.
    bool checkWaterTemperatures(double waterIn, double waterOut, const QString& title,
                                MessageIcon icon, std::initializer_list<int> cleared, int focus);
    // When the wet bulb is above the dry bulb: "Ambient wet bulb temperature must be less then
    // dry bulb temperature" in an "Error" box, the same way.
    bool checkAirTemperatures(double wetBulb, double dryBulb, std::initializer_list<int> cleared,
                              int focus);

    void message(const QString& title, const QString& text, MessageIcon icon);
    // Refuses a calculation that cannot give a finite, meaningful result.
    void refuse(const QString& reason);
    // The window shows that it works.
    void busy();

    // An air state as the moist-air calculator shows it: its rounded texts read back.
    struct ShownAir {
        double wetBulb;          // degC
        double absoluteHumidity; // kg/kg
        double enthalpy;         // kJ/kg dry air
        double relativeHumidity; // %
    };
    // Writes p, t and the second property into the calculator, runs it (3: rh, 2: enthalpy,
    // 1: wet bulb) and reads the results back; refuses with a message naming `what`.
    std::optional<ShownAir> airState(int mode, double p, double t, double second,
                                     const QString& what);

    // The calculation has written its results: the status line (if any), the leading-on
    // button enabled, the count and the listener.
    void succeed(std::optional<QString> status = std::nullopt);
    // The Problem 1 result grid of this arrangement.
    ResultRows& rows() { return audit_.resultRows(arrangement_); }
    // Where the intermediate results go, or nullptr when the audit keeps none.
    counterflow::FillNode* traceNodes();
    crossflow::FillCell* traceCells();

private:
    // The message, the fields `cleared` emptied in their order, `focus` focused.
    void refuseFields(const QString& title, const QString& text, MessageIcon icon,
                      std::initializer_list<int> cleared, int focus);
    bool readNumbers(std::span<const QString> texts, std::span<double> values,
                     const QString& refusal);

    Audit& audit_;
    Arrangement arrangement_;
    int problem_;
    Audit::Problem& own_;
    Step& step_;
    const std::function<void()>& beginBusy_;
    const numtext::Converter& numbers_;
    ProblemTrace pending_; // the trace of this calculation, kept when it succeeds
};

// The calculations of the eight Problems.
void calculateCounterFlow1(Run& run);
void calculateCounterFlow2(Run& run);
void calculateCounterFlow3(Run& run);
void calculateCounterFlow4(Run& run);
void calculateCrossFlow1(Run& run);
void calculateCrossFlow2(Run& run);
void calculateCrossFlow3(Run& run);
void calculateCrossFlow4(Run& run);

} // namespace engine
