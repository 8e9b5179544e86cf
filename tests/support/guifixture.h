#pragma once
// The GUI test fixture: one run of the program's windows with nothing that waits for a person.
//
//   - a RecordingDesktop answers every message box at once and keeps the settings in memory;
//   - QStandardPaths is in test mode, so nothing touches the user's own files;
//   - the default locale is pinned for the fixture's lifetime (a point locale unless a test
//     asks for another) and restored afterwards;
//   - a watchdog notices any real QDialog or QMessageBox that becomes visible, closes it so
//     the test cannot hang, and records it: a test calls checkNoDialogs() (typically in
//     cleanup()) to fail when one appeared.
//
// Create one per test function (in init()), delete it in cleanup().

#include "support/localeguard.h"
#include "support/recordingdesktop.h"

#include <QLocale>
#include <QMap>
#include <QString>
#include <QStringList>
#include <memory>

class MainWindow;
class QObject;
class QWidget;
class Windows;

class GuiFixture {
public:
    explicit GuiFixture(const QLocale& locale = pointLocale());
    ~GuiFixture();
    GuiFixture(const GuiFixture&) = delete;
    GuiFixture& operator=(const GuiFixture&) = delete;

    RecordingDesktop& desktop() { return desktop_; }
    Windows& windows() { return *windows_; }
    MainWindow& main();

    // The program's start-up: completes the separator note, shows the main window and the
    // start window, and waits until the main window is the active window.
    void start();
    // Shows a child window as the navigation buttons do and lets the activation happen.
    void show(QWidget* form);

    // The real dialogs that became visible so far ("QMessageBox 'title': text").
    const QStringList& unexpectedDialogs() const { return dialogs_; }
    // Fails the running test function when a real dialog appeared. Returns false then.
    bool checkNoDialogs() const;

private:
    friend class DialogWatchdog;
    LocaleGuard locale_;
    RecordingDesktop desktop_;
    std::unique_ptr<Windows> windows_;
    std::unique_ptr<QObject> watchdog_;
    QStringList dialogs_;
};

// Every text a window shows, keyed by control: line edit and label texts, button captions
// with their enabled state, the grid's size, headers and cells. Unnamed controls are keyed
// by class and position, so a caption that changes shows up too.
using TextSnapshot = QMap<QString, QString>;
TextSnapshot snapshotTexts(const QWidget* window);

// "key: 'before' -> 'after'" for every difference, one per line; empty when equal.
QString snapshotDifference(const TextSnapshot& before, const TextSnapshot& after);
