#pragma once
// One fuzzing session: the program's windows, started offscreen in a point or a decimal-comma
// locale, driven by random but reproducible actions until the time or the action budget is
// spent. The session reports on a file descriptor, one line per event, so that a supervising
// process (supervisor.h) still knows the last action when this process dies:
//
//   A <n> <what>     action n begins
//   E <n> <ms>       action n ended after ms milliseconds
//   H <n> <ms>       action n took longer than the limit
//   B <n> <what>     action n broke a rule (a bad text, a stray dialog, ...); a text that
//                    stays bad over several actions is reported by the first of them
//   D <n>            the session ended normally after n actions
//
// The actions: mouse presses on fields (any button), keystrokes and pastes of plausible,
// hostile and very long texts, editing keys, Tab and Shift+Tab, programmatic text changes,
// CALCULATE, every other button of the active window (navigation, the start window's
// arrangements, the Diagram window's Export, the Uncertainty window's methods, CALCULATE and
// Cancel), clicks on anything else of it (labels, frames, the grid, the picture), every
// toolbar action found by its key ("menu", "Excel" into a recording spreadsheet that now and
// then stops answering, "Diagram", "Uncertainty", "Open", "Save", "Save As", "Undo", "Redo",
// the Window menu) and their shortcuts, the recent files, files dropped on any part of the
// main window, "Exit" and the main window's close box (the program is then started again,
// perhaps in the other locale), the child window's title bar (close, minimise, maximise), the
// moist-air calculator, and opening audit files made from the windows' own state and then
// damaged (auditfuzz.h), each with a burst of the loader alone on more variants; batch input
// files and their cases, special files (a FIFO, a folder, /dev/zero), files beyond the size
// cap and missing files given to Open, the recent files and drops; undo, redo (and the two in
// a row), saving into a scratch folder, and opening that file again, the question about
// unsaved changes answered at random with any of its three answers. Message boxes are
// answered at once by a recording desktop; the fuzzer writes only into its scratch folder.
//
// After every action: no action took longer than the limit; every text is empty, a number in
// the locale's format or the program's own caption (textcheck.h); no real dialog appeared; the
// wait cursor is off and no "Please wait ..." label is left showing; no message box reads "nan"
// or "inf"; a completion message appears in the status line only through a CALCULATE that
// showed no message box; a CALCULATE that showed a message box left the status line and the
// window's labels and grid as they were, and one that showed none enabled the window's
// leading-on button; an audit file that does not open showed one message and changed no window,
// one that opened showed none; undo followed by redo shows every text of the Problem windows as
// before; an audit saved and opened again shows the texts it showed when saved, unchanged.

#include "rng.h"
#include "support/guifixture.h"
#include "support/recordingdesktop.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLocale>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QSaveFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

class QAbstractButton;
class QLineEdit;
class QWidget;
class AuditDocument;
class CapabilityWindow;
class TextCheck;
class Windows;
struct StallGate;

class FuzzSession : public QObject {
    Q_OBJECT
public:
    struct Options {
        quint64 seed = 1;
        quint64 session = 0;
        double seconds = 60;    // stop starting actions after this
        qint64 maxActions = -1; // stop after this many actions; negative: no limit
        int limitMs = 2000;     // an action taking longer is reported as a hang
        bool verbose = false;   // describe every action on standard error
        int reportFd = 1;
    };

    explicit FuzzSession(const Options& options);
    ~FuzzSession() override;

    // Runs the session; returns the number of actions run.
    qint64 run();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Action {
        QString what;
        std::function<void()> perform;
    };
    // A press of a window's CALCULATE seen through the button's signals.
    struct Calculation {
        QPointer<QWidget> window;
        qsizetype messagesAtPress = 0;
        QString statusAtPress;
    };

    void startProgram();
    void stopProgram();
    Action nextAction();
    void runAction(const Action& action);
    void checkAfter(const QString& statusBefore);
    void watchCalculate(QAbstractButton* button);
    void openAudit(const QByteArray& file);
    void undoRedo(int what);
    void saveAudit();
    void openSaved();
    // The texts of the loaded Problem windows, keyed by window and control.
    TextSnapshot problemTexts() const;

    // The program's other ways in (fuzzactions.cpp); an action without a perform step when
    // there is nothing to do.
    void installSeams();
    Action toolbarAction();
    Action shortcutAction();
    Action recentFileAction();
    Action windowMenuAction();
    // One enabled entry of a menu, chosen at random, named by `describe`.
    Action menuEntryAction(QMenu* menu, const std::function<QString(const QAction&)>& describe);
    Action dropAction();
    Action moistAirAction();
    Action capabilityAction();
    Action longPasteAction();
    Action closeMainWindowAction();
    void keepMonteCarloShort();
    // A file for Open, the recent files and drops: audits as they stand or damaged, batch
    // input files, special files, files beyond the caps, missing files, or none (cancelled).
    QString fileToOpen();
    // Whether the audit's file is one the fuzzer may write; *why names it when not.
    bool safeToSave(QString* why) const;
    void onCalculatePressed(QWidget* window);
    void onCalculateClicked(QWidget* window);

    QWidget* activeForm() const;
    QList<QLineEdit*> fieldsOf(QWidget* form) const;
    QList<QAbstractButton*> buttonsOf(QWidget* form) const;
    QList<QLineEdit*> allFields() const;
    void typeText(const QString& text);
    QString textFor(QLineEdit* field);

    void report(char kind, qint64 n, const QString& text = QString());
    void bad(const QString& what);

    Options options_;
    Rng rng_;
    RecordingDesktop desktop_;
    std::unique_ptr<LocaleGuard> locale_;
    std::unique_ptr<TextCheck> check_;
    std::unique_ptr<Windows> windows_;
    std::unique_ptr<AuditDocument> document_;
    QPointer<CapabilityWindow> capability_; // a child of the main window, which deletes it
    QTemporaryDir auditDir_;
    qint64 action_ = 0;
    bool working_ = false;    // the mood: along the chain of Problems, or exploring a window
    QStringList broken_;      // rules broken during the current action
    QStringList stillBroken_; // broken after the last action: reported once, not again
    Calculation pressed_;
    TextSnapshot pressedResults_; // the labels and grid of its window at the press
    int calculations_ = 0;        // successful CALCULATE clicks during the current action
    TextSnapshot saved_;          // the Problem windows' texts when the audit was last saved
    QLocale savedLocale_;         // the locale they were shown in
    bool hasSaved_ = false;
    QByteArray savedHash_;            // the file as that save wrote it
    std::shared_ptr<StallGate> gate_; // the spreadsheet seam's: stops answering when told
};
