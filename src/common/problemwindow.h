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
#include <optional>

class Desktop;
class QGridLayout;
class QGroupBox;
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

    // True when a text field of the window is empty.
    bool anyFieldEmpty() const;

    void message(const QString& title, const QString& text, MessageIcon icon);
    // Refuses a calculation that cannot give a finite, meaningful result.
    void refuse(const QString& reason);
    // Shows another window of the chain at 0, 0 with 14100 x 9300 twips and focuses it.
    void goTo(QWidget* window);
    void setStatus(const QString& text);

    // Computes an air state with the moist-air calculator Form11: writes p, t and the second
    // property as texts, runs Moistair(mode) (3: rh, 2: enthalpy, 1: wet bulb). On failure
    // refuses the calculation with a message naming `what` ("inlet air") and returns false.
    bool computeAir(int mode, double p, double t, double second, const QString& what);

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

    Windows& windows_;
    QList<QLineEdit*> fields_;
};
