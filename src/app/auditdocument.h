#pragma once
// AuditDocument: the windows' inputs and calculations as one document that the engineer saves
// and opens (auditfile.h holds the file format).
//
//   Recording  Every press of a Problem window's CALCULATE that changes what the window shows
//              (its labels, its grid, its leading-on button enabled) is a calculation; the
//              document keeps them in order with the texts the window's fields held at the
//              press. Edits and calculations mark the document as changed.
//   Save       Writes the arrangement chosen on the start window, the 38 field texts, the
//              calculations, both Problem 1 grids and the last active Problem window,
//              atomically (QSaveFile). A field holding a value it would refuse is validated
//              first, as leaving it would do, and nothing is saved.
//   Open       Reads and checks the whole file, then replays its calculations on a scratch
//              set of windows: a refusal there is reported like a damaged file. Only a file
//              that passes everything touches the windows: the Problem windows start afresh,
//              the calculations run again in their order through the windows' own buttons
//              (CALCULATE, the GoTo buttons, the start window's CALCULATE), then the field texts
//              and the grids are set as saved and the last active Problem window is shown.
//              A batch input CSV opens too: the engineer picks a case and an arrangement, and
//              its 19 values fill that arrangement's fields.
//
// The toolbar gets "Open" (its menu lists the recent files) and "Save" (its menu holds
// "Save As"); the main window's title shows the file name with a mark while changed, and a
// file dropped anywhere on the main window (a field included) opens. The recent files are
// kept through the desktop's settings store.

#include "auditfile/auditfile.h"
#include "auditfile/batchinput.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QAction;
class QMenu;
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
    };
    std::function<std::optional<CaseChoice>(const QString& file, const QList<BatchCase>& cases,
                                            Arrangement preset)>
        askCase;
    // Asked before another file replaces an audit with unsaved changes; given the audit's file
    // name, empty when it has none yet.
    enum class Changes { Save, Discard, Keep };
    std::function<Changes(const QString& audit)> askUnsavedChanges;

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
    bool isModified() const { return modified_; }
    QStringList recentFiles() const;

    // What the windows hold now, as the file keeps it.
    auditfile::SavedAudit current() const;

    // Replays an audit's calculations on a set of windows through their buttons. Stops before
    // the next step once stop() is true; returns the index of the calculation that was running
    // or about to run then, or -1 when all ran.
    static int replay(Windows& windows, const auditfile::SavedAudit& audit,
                      const std::function<bool()>& stop);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watch(QWidget* form);
    void onCalculatePressed(QWidget* form);
    void onCalculateClicked(QWidget* form);
    void onActivated(QWidget* form);
    void setModified(bool modified);
    void updateTitle();
    // Puts a file first among the recent files, or takes it off the list.
    void rememberRecent(const QString& path, bool remember = true);
    // The document is now the file at path, unchanged.
    void adopt(const QString& path);
    void fillRecentMenu();
    void fail(const QString& text);
    // Whether the audit may be replaced: it has no unsaved changes, or the engineer saved or
    // discarded them.
    bool mayReplace();
    bool openAudit(const QString& path, const QByteArray& data);
    bool openCsv(const QString& path, const QByteArray& data);
    std::optional<auditfile::Error> dryRun(const auditfile::SavedAudit& audit) const;
    void apply(const auditfile::SavedAudit& audit);
    bool fieldsAcceptTheirValues();
    QStyle* style() const;

    Windows& windows_;
    QString baseTitle_;
    QString fileName_;
    bool modified_ = false;
    bool replaying_ = false;
    QList<auditfile::Calculation> calculated_;
    std::optional<auditfile::ProblemRef> lastActive_;
    QMenu* recentMenu_ = nullptr;

    // The CALCULATE being pressed: its window, the inputs at the press and what the window
    // showed then.
    struct Press {
        QPointer<QWidget> form;
        auditfile::Inputs inputs;
        QStringList shown;
        bool leadingOnEnabled = false;
    };
    Press press_;
};
