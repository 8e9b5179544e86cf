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
#include <QString>
#include <memory>
#include <optional>

class Desktop;
class DiagramSource;
class DiagramWindow;
class ExcelReport;
class WindowsReportSource;
class FrmMain;
class Form1;
class Form2;
class Form3;
class Form5;
class Form10;
class Form4;
class Form6;
class Form8;
class Form9;
class Form11;
class UncertaintyWindow;
class QMdiSubWindow;
class QWidget;
class ProblemWindow;

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

    FrmMain* frmMain() const { return main_; }
    Form1* form1();
    Form5* form5();
    Form2* form2();
    Form10* form10();
    Form3* form3();
    Form8* form8();
    Form6* form6();
    Form9* form9();
    Form4* form4();
    Form11* form11();
    UncertaintyWindow* uncertainty(); // "Uncertainty"
    // The Diagram window: the diagrams of the Problem window that was last active.
    DiagramWindow* diagramWindow();

    // The Problem window (1 to 4) of an arrangement, created on first touch.
    ProblemWindow* problemWindow(Arrangement arrangement, int problem);
    // The window of that name ("Form5"), created on first touch; nullptr for an unknown name.
    QWidget* form(const QString& name);
    bool isLoaded(const QString& name) const;
    // Unloads a window; unloading one that is not loaded does nothing.
    void unload(const QString& name);

    // The text of a text field or the caption of a label of a window, as displayed; loads
    // the window if needed. nullopt when the window or control does not exist.
    std::optional<QString> controlText(const QString& form, const QString& control) override;

    // The spreadsheet report that the toolbar's "Excel" runs.
    ExcelReport& report() { return *report_; }

    // The main window's status line.
    void setStatus(const QString& text) override;
    QString status() const;
    // The arrangement chosen on the start window (counter flow until it is loaded).
    Arrangement chosenArrangement() override;

    void showProblem(Arrangement arrangement, int problem) override;
    void showStart() override;

    // Shows a child window modeless, places it at left 0, top 0 with 14100 x 9300 twips (less
    // height when the area between the toolbar and the status strip is lower) and gives it the
    // focus.
    void showChild(QWidget* form);

    // Start-up: completes the decimal-separator note, shows the main window and the start
    // window.
    void start();

Q_SIGNALS:
    // A window has just been created (on its first touch).
    void loaded(QWidget* form);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    template <class W> W* ensure(QPointer<W>& slot);
    QMdiSubWindow* subWindowOf(QWidget* form) const;
    void onSubWindowActivated(QMdiSubWindow* sub);

    Desktop& desktop_;
    engine::Audit audit_;
    FrmMain* main_ = nullptr;
    std::unique_ptr<WindowsReportSource> reportSource_;
    std::unique_ptr<ExcelReport> report_;
    QPointer<Form1> form1_;
    QPointer<Form5> form5_;
    QPointer<Form2> form2_;
    QPointer<Form10> form10_;
    QPointer<Form3> form3_;
    QPointer<Form8> form8_;
    QPointer<Form6> form6_;
    QPointer<Form9> form9_;
    QPointer<Form4> form4_;
    QPointer<Form11> form11_;
    QPointer<UncertaintyWindow> uncertainty_;
    QPointer<DiagramWindow> diagram_;
    QPointer<QWidget> lastActive_;
    // The Problem window that was last active.
    std::optional<std::pair<Arrangement, int>> lastProblem_;
    std::unique_ptr<DiagramSource> diagramSource_;
};
