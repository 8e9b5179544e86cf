#pragma once
// The windows of one run. Every window exists once, is created the first time any code
// touches it (showing it or merely reading one of its controls) and stays loaded until
// "Exit" unloads it; a child window's close box only hides it. The main window is created with the
// registry; the others are child windows of its multiple-document area.
//
// Values travel between windows as the texts their controls display. The registry owns the
// audit engine that holds those texts and calculates; the windows are its views. Before a
// step of the engine every loaded window hands it its texts (pushTexts), after the step every
// loaded window shows the engine's texts again (pullTexts).

#include "engine/audit.h"
#include "ui/workspace.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

class Desktop;
class DiagramSource;
class DiagramWindow;
class ExcelReport;
class ReportRecorder;
class WindowsReportSource;
class MainWindow;
class MoistAirWindow;
class ProblemWindow;
class StartWindow;
class UncertaintyWindow;
class WindowMenu;
class QMdiSubWindow;
class QWidget;

class Windows : public QObject, public Workspace {
    Q_OBJECT
public:
    explicit Windows(Desktop& desktop);
    ~Windows() override;

    Desktop& desktop() override { return desktop_; }
    engine::Audit& audit() override { return audit_; }

    // Every loaded Problem window's (and the moist-air calculator's) texts into the engine, and
    // back; the calculator is loaded once the engine has used it.
    void pushTexts() override;
    void pullTexts() override;
    // Whether a loaded Problem window's field shows a text the engine does not hold yet (an
    // edit typed and not yet handed over).
    bool hasTextsToPush() const;
    // Loads every Problem window whose Problem in the engine is not as a freshly loaded window
    // shows it (after the engine's state was replaced), so that every change has its view.
    void loadShown();
    // Shows the engine's audit after it was replaced as a whole (opened, undone, redone): the
    // windows its changes need are loaded, every loaded window shows its texts, and the Diagram
    // window is drawn again.
    void showAudit();

    MainWindow* mainWindow() const { return main_; }
    StartWindow* startWindow();
    // The moist-air calculator, never shown.
    MoistAirWindow* moistAirWindow();
    UncertaintyWindow* uncertaintyWindow();
    // The Diagram window: the diagrams of the Problem window that was last active.
    DiagramWindow* diagramWindow();
    // The Problem window (1 to 4) of an arrangement, created on first touch.
    ProblemWindow* problemWindow(Arrangement arrangement, int problem);

    // The window of a key (engine/keys.h), created on first touch; nullptr for an
    // unknown key.
    QWidget* form(const QString& key);
    bool isLoaded(const QString& key) const;
    // Unloads a window; unloading one that is not loaded, or the main window, does nothing.
    void unload(const QString& key);
    // Unloads every window but the main, start and Diagram windows, in the order of their
    // keys.
    void unloadAll();
    // Unloads every Problem window and the moist-air calculator, in the order of their keys.
    void unloadProblems();

    // The text of a text field or the caption of a label of a window, as displayed; loads
    // the window if needed. nullopt when the window or control does not exist.
    std::optional<QString> controlText(const QString& form, const QString& control) override;

    // The toolbar's "Window" entry.
    WindowMenu* windowMenu() const { return windowMenu_; }

    // The spreadsheet report that the toolbar's "Excel" runs.
    ExcelReport& report() { return *report_; }
    // The regimes that "Excel" exported in this run, kept in memory for the report file.
    ReportRecorder& reportRecorder() { return *recorder_; }

    // The main window's status line.
    void setStatus(const QString& text) override;
    QString status() const override;
    // The arrangement chosen on the start window (counter flow until it is loaded).
    Arrangement chosenArrangement() override;

    void showProblem(Arrangement arrangement, int problem) override;
    void showStart() override;

    // Shows a child window modeless, places it (childGeometry) and gives it the focus.
    void showChild(QWidget* form);
    // Where a child window goes in an area of the multiple-document area's size: at left 0,
    // top 0 with 14100 x 9300 twips (less height when the area is lower). The Diagram window
    // goes to the right of that place, over the rest of the area's width and its whole
    // height, when at least kDiagramBesideWidth pixels remain; otherwise where the others go.
    static QRect childGeometry(const QSize& area, bool diagram);
    static constexpr int kDiagramBesideWidth = 480;

    // Start-up: completes the decimal-separator note, shows the main window and the start
    // window.
    void start();

Q_SIGNALS:
    // A window has just been created (on its first touch).
    void loaded(QWidget* form);
    // The loaded windows have handed their texts to the engine (the start of every step), or
    // shown the engine's texts (its end).
    void textsPushed();
    void textsPulled();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A window the registry creates on first touch, by its key.
    struct Entry {
        QString key;
        std::function<QWidget*()> create;
        QPointer<QWidget> window;
    };
    Entry* entry(const QString& key);
    void unloadInKeyOrder(const std::function<bool(const QString&)>& which);
    const Entry* entry(const QString& key) const;
    // The window of a key if it is loaded, else nullptr.
    QWidget* loadedWindow(std::string_view key) const;
    // Runs an action on every loaded Problem window, counter flow first, in Problem order.
    void forEachLoadedProblem(const std::function<void(ProblemWindow&)>& action) const;
    // A new child window of the multiple-document area, hidden.
    QWidget* addChild(QWidget* window);
    QMdiSubWindow* subWindowOf(QWidget* form) const;
    void onSubWindowActivated(QMdiSubWindow* sub);

    Desktop& desktop_;
    engine::Audit audit_;
    MainWindow* main_ = nullptr;
    std::unique_ptr<WindowsReportSource> reportSource_;
    std::unique_ptr<ExcelReport> report_;
    std::unique_ptr<ReportRecorder> recorder_;
    std::vector<Entry> entries_; // every window but the main window
    QPointer<QWidget> lastActive_;
    // The Problem window that was last active.
    std::optional<std::pair<Arrangement, int>> lastProblem_;
    std::unique_ptr<DiagramSource> diagramSource_;
    WindowMenu* windowMenu_ = nullptr; // owned by the toolbar
};
