#pragma once
// ProblemWindow: what the eight Problem windows share. Each window builds its frames, fields,
// result labels and buttons with these helpers, reads texts back as numbers, reports
// refusals, and navigates through the window registry.
//
// On CALCULATE a window checks its fields, reads its inputs and the other windows' texts,
// computes everything (through the moist-air calculator and the numeric core), and only when
// every result is finite and meaningful writes its formatted texts. A calculation that cannot
// give such a result is refused with a message and leaves the window as it was.

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <cstddef>
#include <initializer_list>
#include <optional>
#include <span>

class Desktop;
class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class Windows;
enum class MessageIcon;

class ProblemWindow : public QWidget {
    Q_OBJECT
public:
    ProblemWindow(Windows& windows, const char* name, const QString& title);

    // Runs every time the window becomes the active child window.
    virtual void Form_Activate() {}

    Windows& windows() const { return windows_; }

    // The window's text fields in control order.
    const QList<QLineEdit*>& fields() const { return fields_; }

protected:
    // The bold title with the arrangement caption beneath it.
    QWidget* makeHeader(const QString& title, const QString& arrangement);
    // A frame (group box) with a caption column and a value column.
    QGroupBox* makeFrame(const QString& caption);
    // A row of a frame: caption and numeric entry field, with the behaviour, initial text and
    // limits of its row of the field table.
    QLineEdit* addField(QGroupBox* frame, const char* name, const QString& caption);
    // A row of a frame: caption and result label.
    QLabel* addResult(QGroupBox* frame, const char* name, const QString& caption);
    // A result label placed by the window itself; caption is its accessible name.
    QLabel* makeResult(const char* name, const QString& caption);
    QLabel* makeCaption(const QString& text);
    // A frame laid out as a small table: a caption column, then one column per title (an
    // empty title leaves its column untitled, for a second caption column).
    QGroupBox* makeTable(const QString& caption, const QStringList& columnTitles);
    // A row of a table: its caption, then the cells (result labels or captions) in column
    // order.
    void addTableRow(QGroupBox* table, const QString& caption, const QList<QWidget*>& cells);
    QPushButton* makeButton(const char* name, const QString& caption);
    // "Please wait while calculation is in progress ...", bold and hidden until Busy shows it.
    QLabel* makeBusyLabel(const char* name);
    // Two columns of widgets side by side, each closed by a stretch.
    QHBoxLayout* makeColumns(std::initializer_list<QWidget*> left,
                             std::initializer_list<QWidget*> right);
    // The row of buttons at the bottom: `left`, then the busy label (if any) between stretches,
    // then `calculate` and `right` at the right end.
    QHBoxLayout* makeButtonRow(QPushButton* left, QLabel* busy, QPushButton* calculate,
                               QPushButton* right);

    // A row of an air table: its caption, then two result labels (inlet and outlet, or
    // outlet before and after) with their names.
    struct AirRow {
        const char* caption;
        QLabel*& first;
        const char* firstName;
        QLabel*& second;
        const char* secondName;
    };
    // A table of two columns of result labels. Each label's accessible name is its row caption,
    // trimmed, followed by its column's suffix.
    QGroupBox* makeAirTable(const QString& caption, const QStringList& columnTitles,
                            const QString& firstSuffix, const QString& secondSuffix,
                            std::initializer_list<AirRow> rows);
    // A row of an inlet and outlet air table: each label with its own name and caption.
    struct InOutRow {
        QLabel*& in;
        const char* inName;
        const char* inCaption;
        QLabel*& out;
        const char* outName;
        const char* outCaption;
    };
    // A table with the inlet label under the first title and the outlet caption and label under
    // the third; each row is captioned by its inlet caption.
    QGroupBox* makeInOutTable(const QString& caption, const QStringList& columnTitles,
                              std::initializer_list<InOutRow> rows);

    // True when every text field of the window holds a text; otherwise shows "All fields require
    // data" in a box with the given title and icon.
    bool allFieldsFilled(const QString& title, MessageIcon icon);
    // The same with the usual box: a "Missing Data" warning.
    bool allFieldsFilled();

    // The numbers the texts show, in order. When a text shows none, refuses the calculation with
    // `refusal` and returns nullopt.
    template <std::size_t N>
    std::optional<std::array<double, N>> numbers(const QString (&texts)[N],
                                                 const QString& refusal) {
        std::array<double, N> values{};
        if (!readNumbers(texts, values, refusal))
            return std::nullopt;
        return values;
    }
    // The numbers the fields show, in order. When a field shows none, refuses the calculation
    // with "Invalid entries, please enter numbers only" and returns nullopt.
    template <std::size_t N>
    std::optional<std::array<double, N>> fieldNumbers(QLineEdit* const (&fields)[N]) {
        std::array<double, N> values{};
        if (!readFieldNumbers(fields, values))
            return std::nullopt;
        return values;
    }

    // The window's check of the water temperatures: when the outlet is warmer than the inlet,
    // shows "Outlet water temperature must be less then inlet water temperature" in a box with
    // the given title and icon, empties the fields `cleared` in their order, focuses `focus` and
    // returns false.
    bool checkWaterTemperatures(double waterIn, double waterOut, const QString& title,
                                MessageIcon icon, std::initializer_list<QLineEdit*> cleared,
                                QLineEdit* focus);
    // The window's check of the ambient air: when the wet bulb is above the dry bulb, shows
    // "Ambient wet bulb temperature must be less then dry bulb temperature" in an "Error" box,
    // empties the fields `cleared` in their order, focuses `focus` and returns false.
    bool checkAirTemperatures(double wetBulb, double dryBulb,
                              std::initializer_list<QLineEdit*> cleared, QLineEdit* focus);

    // A message box; a "Please wait ..." label is hidden first, so it never stands behind one.
    void message(const QString& title, const QString& text, MessageIcon icon);
    // Refuses a calculation that cannot give a finite, meaningful result.
    void refuse(const QString& reason);
    // Shows another window of the chain at 0, 0 with 14100 x 9300 twips and focuses it.
    void goTo(QWidget* window);
    void setStatus(const QString& text);

    // An air state as the moist-air calculator shows it: its rounded texts read back.
    struct ShownAir {
        double wetBulb;          // degC
        double absoluteHumidity; // kg/kg
        double enthalpy;         // kJ/kg dry air
        double relativeHumidity; // %
    };
    // Computes an air state with the moist-air calculator Form11: writes p, t and the second
    // property as texts, runs Moistair(mode) (3: rh, 2: enthalpy, 1: wet bulb) and reads the
    // results back. On failure refuses the calculation with a message naming `what` ("inlet
    // air") and returns nullopt.
    std::optional<ShownAir> airState(int mode, double p, double t, double second,
                                     const QString& what);

    // The number a text shows (the locale's conversion), or nullopt.
    static std::optional<double> number(const QString& text);

    // The wait cursor and a "Please wait ..." label for the duration of a long calculation:
    // both are painted before the work starts and gone afterwards, whatever happens.
    class Busy {
    public:
        Busy(ProblemWindow& window, QLabel* label);
        ~Busy();
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;

    private:
        ProblemWindow& window_;
        QLabel* label_;
    };

private:
    QString qualified(const char* name) const;
    bool readNumbers(std::span<const QString> texts, std::span<double> values,
                     const QString& refusal);
    bool readFieldNumbers(std::span<QLineEdit* const> fields, std::span<double> values);
    // Shows the box, empties the fields `cleared` in their order and focuses `focus`.
    void rejectEntries(const QString& title, const QString& text, MessageIcon icon,
                       std::initializer_list<QLineEdit*> cleared, QLineEdit* focus);

    Windows& windows_;
    QList<QLineEdit*> fields_;
    QLabel* shownBusy_ = nullptr; // the "Please wait ..." label while Busy shows it
};
