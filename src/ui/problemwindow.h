#pragma once
// ProblemWindow: what the eight Problem windows share. Each window builds its frames, fields,
// result labels and buttons with these helpers and navigates through the window registry.
//
// A window is a view of its Problem in the audit engine (engine/audit.h): its fields and
// labels carry the same names as the engine's texts. On CALCULATE (and on activation) the
// registry hands every loaded window's texts to the engine, the engine runs the step, and the
// window shows the step's messages, then every window shows the engine's texts again, with
// the status line and the focus the step asks for.

#include "engine/audit.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <initializer_list>
#include <vector>

class QAbstractButton;
class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class Workspace;

class ProblemWindow : public QWidget {
    Q_OBJECT
public:
    ProblemWindow(Workspace& workspace, const char* name, const QString& title);

    // Runs every time the window becomes the active child window: the engine's activation.
    virtual void Form_Activate();

    Workspace& workspace() const { return workspace_; }

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

    // CALCULATE through the engine; `busy`, when given, is the "Please wait ..." label shown
    // with the wait cursor while the engine works.
    void calculate(QLabel* busy = nullptr);
    // Shows a step of the engine: its messages (a "Please wait ..." label is hidden first, so
    // it never stands behind one), the engine's texts in every window, the field it focuses and
    // the status line.
    void showStep(const engine::Step& step);
    engine::Audit& audit() const;
    // Shows another Problem window of the chain (or the start window) at 0, 0 with
    // 14100 x 9300 twips and focuses it.
    void goTo(int problem);
    void goToStart();

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

public:
    // Hands the texts of the window (and its leading-on button's state) to the engine, and
    // shows the engine's texts.
    virtual void pushTexts();
    virtual void pullTexts();
    Arrangement arrangement() const { return arrangement_; }
    int problem() const { return problem_; }

private:
    QString qualified(const char* name) const;
    // The window's control for each of the engine's texts, found by name on first use.
    void bind();

    Workspace& workspace_;
    QList<QLineEdit*> fields_;
    Arrangement arrangement_ = Arrangement::CounterFlow;
    int problem_ = 1;
    bool bound_ = false;
    std::vector<QLineEdit*> boundFields_; // by the engine's control index; null for a label
    std::vector<QLabel*> boundLabels_;    // by the engine's control index; null for a field
    QAbstractButton* leadingOn_ = nullptr;
    QLabel* shownBusy_ = nullptr; // the "Please wait ..." label while Busy shows it
};
