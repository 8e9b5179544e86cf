#pragma once
// AuditDocument: the audit that the engineer saves and opens (auditfile.h holds the file
// format). The audit engine owns the audit; the document writes the engine's state and
// replaces it.
//
//   Save       Writes the arrangement chosen on the start window, the 38 field texts, every
//              successful CALCULATE in its order with the texts its fields held (the engine
//              keeps them), both Problem 1 grids and the last active Problem window, atomically
//              (AtomicFile). A field holding a value it would refuse is validated first, as
//              leaving it would do, and nothing is saved.
//   Open       Reads and checks the whole file, then builds the new audit off screen on a
//              scratch engine: the calculations run again in their order as the windows' buttons
//              would run them (the leading-on buttons, typing and leaving every field,
//              CALCULATE), then the fields take their saved texts and the grids their saved
//              rows. A refusal is reported like a damaged file and changes nothing. Only then
//              the Problem windows start afresh with the new state at once, and the last active
//              Problem window comes to the front.
//              A batch input CSV opens too: the engineer picks a case and an arrangement, and
//              its 19 values fill that arrangement's fields, in a new untitled audit or, when
//              the engineer chooses so, in the current audit as one change that undo takes back.
//   Changes    Edits, calculations and deleted grid rows are the history's (history.h); the
//              audit is changed while the history is away from the state last saved or opened,
//              while a field shows a text not yet handed to the engine, or while the start
//              window's arrangement differs from the saved one. Replacing the audit, "Exit",
//              the close box and the desktop's logout ask first whether to save the changes.
//              "Save" asks first (Save As, Replace or Cancel) when the file changed on disk
//              since it was opened or last saved here: its size, time or content's hash differ.
//
// The toolbar gets "New", "Open" (its menu lists the recent files), "Save" (its menu holds "Save
// As"), "Undo" and "Redo"; the main window's title shows the file name ("Untitled" before the
// first save) with a mark while changed, and a file dropped anywhere on the main window (a field
// included) opens. The recent files are kept through the desktop's settings store.

#include "auditfile/auditfile.h"
#include "auditfile/batchinput.h"
#include "engine/audit.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class History;
class QAction;
class QFontMetrics;
class QMenu;
class QSessionManager;
class QStyle;
class QWidget;
class Windows;

class AuditDocument : public QObject {
    Q_OBJECT
public:
    static constexpr int kRecentFiles = 6;

    explicit AuditDocument(Windows& windows);
    ~AuditDocument() override;

    // The toolbar's buttons and the Save As shortcut.
    QAction* newAction = nullptr;
    QAction* openAction = nullptr;
    QAction* saveAction = nullptr;
    QAction* saveAsAction = nullptr;

    // The engineer's choices; the program asks with dialogs, tests answer themselves. An empty
    // name or nullopt cancels.
    std::function<QString()> askOpenName;
    std::function<QString(const QString& suggestion)> askSaveName;
    struct CaseChoice {
        int index = 0; // in the file's cases
        Arrangement arrangement = Arrangement::CounterFlow;
        bool intoCurrent = false; // into the current audit, not a new one
    };
    std::function<std::optional<CaseChoice>(const QString& file, const QList<BatchCase>& cases,
                                            Arrangement preset)>
        askCase;
    // Asked before another file replaces an audit with unsaved changes, and before the program
    // ends with them; given the audit's file name, empty when it has none yet.
    enum class Changes { Save, Discard, Keep };
    std::function<Changes(const QString& audit)> askUnsavedChanges;
    // Reports the progress of opening a file with many calculations: done of total ran so
    // far. False cancels the opening, which then changes nothing. The program shows a progress
    // dialog with Cancel once opening takes long.
    std::function<bool(int done, int total)> replayProgress;

    // "New": first, when the audit has unsaved changes, asks whether to save them; then an
    // untitled audit replaces it as a new run of the program starts (every Problem, the grids,
    // the report's title block and the capability settings as there, no undo history), the
    // start window in front. False when the engineer kept the audit.
    bool newAudit();
    // Opens an audit file or a batch input CSV. On any problem shows one message naming the
    // file and what is wrong, changes nothing and returns false.
    bool open(const QString& path);
    // Asks for a file and opens it.
    bool open();
    // Opens a file that the engineer picked from the recent files or dropped: first, when the
    // audit has unsaved changes, asks whether to save them.
    bool openInstead(const QString& path);
    bool save();
    bool saveAs();
    bool saveTo(const QString& path);

    QString fileName() const { return fileName_; }
    // Whether the audit has changes that are not saved.
    bool isModified() const;
    QStringList recentFiles() const;
    // Undo and redo of the audit's changes.
    History& history() const { return *history_; }

    // What the audit holds now, as the file keeps it (the windows' texts handed to the engine
    // first).
    auditfile::SavedAudit current() const;

    // Whether the program may end: the audit has no unsaved changes, or the engineer saved or
    // discarded them. Asked by "Exit", the close box and the desktop's logout.
    bool mayClose();

    // The text of the recent-files menu's entry for a file at an index from 0: its number as
    // the mnemonic (1 to 9), its name and its folder, the folder elided in the middle when long.
    static QString recentEntryText(qsizetype index, const QString& file,
                                   const QFontMetrics& metrics);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The engine's state an audit file builds, or why it cannot be built; nullopt when the
    // engineer cancelled.
    struct Built {
        engine::Audit::State state;
        std::optional<auditfile::Error> error;
    };
    void watch(QWidget* form);
    void onActivated(QWidget* form);
    void updateTitle();
    void commitDataRequest(QSessionManager& manager);
    // Deletes rows of a Problem 1 grid as one change.
    void deleteRows(Arrangement arrangement, const QList<int>& rows);
    // Puts a file first among the recent files, or takes it off the list.
    void rememberRecent(const QString& path, bool remember = true);
    // The document is now the file at path, unchanged, which holds content (read or written).
    void adopt(const QString& path, const QByteArray& content);
    void fillRecentMenu();
    void fail(const QString& text);
    // Whether the audit may be replaced or the program end: it has no unsaved changes, or the
    // engineer saved or discarded them. question: what the question adds ("Save them before
    // ...?").
    bool mayReplace(const QString& question);
    bool openAudit(const QString& path, const QByteArray& data);
    bool openCsv(const QString& path, const QByteArray& data);
    std::optional<Built> build(const auditfile::SavedAudit& audit);
    // Replaces the whole audit at once: the Problem windows start afresh and show the state,
    // the start window chooses the arrangement, the active Problem window (none: the start
    // window) comes to the front.
    void replace(const engine::Audit::State& state, Arrangement chosen,
                 std::optional<auditfile::ProblemRef> active);
    bool fieldsAcceptTheirValues();
    QStyle* style() const;

    Windows& windows_;
    std::unique_ptr<History> history_;
    QString baseTitle_;
    QString fileName_;
    QByteArray onDisk_; // the file as last opened or saved here (size, time, hash)
    Arrangement savedArrangement_ = Arrangement::CounterFlow;
    std::optional<auditfile::ProblemRef> lastActive_;
    QMenu* recentMenu_ = nullptr;
    QString question_; // what the question about unsaved changes adds
};
