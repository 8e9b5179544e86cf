#pragma once
// ProblemWindow: a Problem's window, built from its plan. The two arrangements of a Problem
// build the same window: each Problem's class holds one plan per arrangement (the captions,
// the frames and the column each sits in, the control of every row) and the plan builds it.
// The controls are named by their identifiers in the Problem's list of engine/keys.h; their
// object names are the keys that list gives them ("Text1"), the window's object name and its
// buttons' names come from engine::kProblemKeys.
//
// A window is a view of its Problem in the audit engine (engine/audit.h). On CALCULATE (and
// on activation) every loaded window hands its texts to the engine, the engine runs the step,
// and the window shows the step's messages, then every window shows the engine's texts again,
// with the status line and the focus the step asks for.
//
// A window whose Problem is out of date (engine::Currency: an earlier Problem it builds on was
// calculated again since) keeps its numbers as calculated and says so: its title ends in
// " (out of date)", and its activation, and every CALCULATE that leaves Problems out of date,
// put the reason and the remedy on the status line.

#include "engine/audit.h"

#include <QList>
#include <QString>
#include <QWidget>
#include <array>
#include <vector>

class QAbstractButton;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class Workspace;

// Where a part of a window sits: in the left or right column, or beneath both at full width.
enum class Column { Left, Right, Beneath };

// A row of a frame: a control by its identifier in the Problem's list, and its caption. An
// entry field of the list becomes a line edit, any other control a result label.
struct ControlRow {
    int id;
    const char* caption;
};

// A row of a two-column table of result labels: its caption and the two labels. A table with
// captioned cells gives the second label a caption of its own (secondCaption), shown between
// the two.
struct PairRow {
    const char* caption;
    int first;
    int second;
    const char* secondCaption = nullptr;
};

// One part of a window's plan. Build them with the functions below.
struct WindowPart {
    enum class Kind { Frame, Heading, Note, PairTable, Hidden };
    Kind kind = Kind::Frame;
    Column column = Column::Left;
    const char* caption = nullptr;         // the frame's caption, or the heading's or note's text
    std::vector<ControlRow> rows;          // Frame: its rows; Hidden: the controls, never shown
    std::array<const char*, 2> titles{};   // PairTable: the two columns' titles
    std::array<const char*, 2> suffixes{}; // PairTable: what each column adds to a row caption
                                           // to make a label's accessible name; none in a table
                                           // with captioned cells
    std::vector<PairRow> pairs;            // PairTable: its rows
};

// A frame (group box) with a caption column and a value column.
WindowPart frame(Column column, const char* caption, std::vector<ControlRow> rows);
// A bold, word-wrapped heading between frames.
WindowPart heading(Column column, const char* text);
// A plain, word-wrapped explanation.
WindowPart note(Column column, const char* text);
// A frame laid out as a table of two columns of result labels; each label's accessible name
// is its row caption, trimmed, followed by its column's suffix.
WindowPart pairTable(Column column, const char* caption, std::array<const char*, 2> titles,
                     std::array<const char*, 2> suffixes, std::vector<PairRow> rows);
// A table whose every label has its own caption: the first label under the first title, the
// second's caption and the second label under the second title.
WindowPart captionedPairTable(Column column, const char* caption, std::array<const char*, 2> titles,
                              std::vector<PairRow> rows);
// Labels that carry copied values and are never shown.
WindowPart hidden(std::vector<int> ids);

// What differs between the two arrangements' windows of a Problem.
struct WindowPlan {
    const char* title; // the bold title at the top
    std::vector<WindowPart> parts;
};

class ProblemWindow : public QWidget {
    Q_OBJECT
public:
    // Runs every time the window becomes the active child window: the engine's activation.
    virtual void activate();

    Workspace& workspace() const { return workspace_; }
    Arrangement arrangement() const { return arrangement_; }
    int problem() const { return problem_; }

    // The entry field, or the result label, of a control by its identifier in the Problem's
    // list (engine/keys.h: cf2::designWaterFlow); nullptr for the other kind or an unknown id.
    QLineEdit* field(int id) const;
    QLabel* result(int id) const;
    // The window's text fields in control order.
    const QList<QLineEdit*>& fields() const { return fieldList_; }

    QPushButton* calculateButton() const { return calculate_; }
    QPushButton* backButton() const { return back_; }
    // "GoTo Problem N", enabled by a successful calculation; "GoTo MENU" on Problem 4.
    QPushButton* goOnButton() const { return goOn_; }
    // "Please wait while calculation is in progress ...", or nullptr where there is none.
    QLabel* busyLabel() const { return busy_; }

    // CALCULATE through the engine, with the wait cursor and the "Please wait ..." label while
    // it works where the window has one.
    void calculate();
    // BACK: the previous Problem, or the start window from Problem 1.
    void goBack();
    // The leading-on button: the texts the engine carries on to the next Problem, then that
    // Problem's window; from Problem 4 the start window.
    void goOn();

    // Hands the texts of the window (and its leading-on button's state) to the engine, and
    // shows the engine's texts and whether the Problem is out of date. A sentence on which
    // Problems are out of date that this window put on the status line, and that is still
    // there, is replaced by the one that holds now (none: the line is cleared).
    virtual void pushTexts();
    virtual void pullTexts();

    // The window's title while its Problem is current: "Problem 3 - counter flow".
    const QString& plainTitle() const { return plainTitle_; }

protected:
    ProblemWindow(Workspace& workspace, Arrangement arrangement, int problem);

    // Builds the header and the plan's parts, and the busy label where the keys name one.
    void build(const WindowPlan& plan);
    // The buttons, in the order of their keys (their tab order), with CALCULATE after the last
    // field.
    void makeButtons();
    // The header, the two columns, the parts beneath them, and the buttons at the bottom.
    void layOut();

    // The header and the parts of each column, as build() made them.
    QWidget* header() const { return header_; }
    const QList<QWidget*>& column(Column column) const { return columns_[std::size_t(column)]; }
    // The row of buttons: BACK, then the busy label (if any) between stretches, then
    // CALCULATE and the leading-on button.
    QHBoxLayout* makeButtonRow();

    void showStep(const engine::Step& step);
    engine::Audit& audit() const;

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
    QString key(int id) const;
    QString qualified(const QString& name) const;
    QWidget* makePart(const WindowPart& part);
    QGroupBox* makeFrame(const QString& caption);
    QLineEdit* addField(QGroupBox* frame, int id, const QString& caption);
    QLabel* addResult(QGroupBox* frame, int id, const QString& caption);
    QLabel* makeResult(int id, const QString& caption);
    QGroupBox* makePairTable(const WindowPart& part);
    QPushButton* makeButton(std::string_view name, const QString& caption);

    Workspace& workspace_;
    Arrangement arrangement_;
    int problem_;
    QString plainTitle_;
    std::vector<QLineEdit*> fields_; // by identifier; null for a label
    std::vector<QLabel*> results_;   // by identifier; null for a field
    QList<QLineEdit*> fieldList_;
    QWidget* header_ = nullptr;
    std::array<QList<QWidget*>, 3> columns_;
    QPushButton* calculate_ = nullptr;
    QPushButton* back_ = nullptr;
    QPushButton* goOn_ = nullptr;
    QAbstractButton* leadingOn_ = nullptr; // the goOn button of Problems 1 to 3
    QLabel* busy_ = nullptr;
    QLabel* shownBusy_ = nullptr; // the "Please wait ..." label while Busy shows it
    // The status line this window last wrote with a sentence on which Problems are out of
    // date, that sentence, and whether it spoke of the whole arrangement (after CALCULATE) or
    // of this Problem (on activation); empty when the line holds none of this window's.
    QString currencyStatus_;
    QString currencySentence_;
    bool arrangementCurrency_ = false;
    void showCurrency(const QString& status, const QString& sentence, bool arrangement);
};
