#pragma once
// The "Diagram" window: the diagrams of the Problem window that was last active, redrawn after
// every CALCULATE of that arrangement. Counter flow shows the enthalpy-temperature diagram,
// cross flow the maps of the fill; Problems 2 to 4 add the tower characteristic, and Problem 2
// the capability by the characteristic-curve method (a tab of its own beside the
// characteristic, drawn from Problems 1 and 2 and the capability settings). The shown
// diagram exports to PNG, SVG and PDF from the "Export..." button and the plots' context menu.
// Out-of-date Problems are drawn as such (diagramdata.h).

#include "diagrams/diagramdata.h"
#include "diagrams/diagramexport.h"
#include "engine/audit.h"

#include <QWidget>
#include <optional>
#include <vector>

class CapabilityPlot;
class CharacteristicPlot;
class DiagramSource;
class FillMapPlot;
class MerkelPlot;
class QCustomPlot;
class QLabel;
class QPushButton;
class QStackedWidget;
class QTabWidget;
class Workspace;

class DiagramWindow : public QWidget {
    Q_OBJECT
public:
    explicit DiagramWindow(Workspace& workspace);

    void setSource(const DiagramSource* source);

    // The Problem window that became active: its diagrams are shown.
    void problemActivated(Arrangement arrangement, int problem);
    // A Problem of an arrangement was calculated: redraws when it is the shown arrangement.
    void calculated(Arrangement arrangement, int problem);
    // Redraws the shown Problem from the source.
    void refresh();
    // The audit may have changed (a step of the engine, an undo): redraws when the
    // calculations or which Problems are current differ from those drawn.
    void pullTexts();

    // The arrangement and Problem shown; nullopt before any Problem window was active.
    std::optional<std::pair<Arrangement, int>> shownProblem() const { return shown_; }
    // The plot on the current tab; nullptr while the window shows its hint.
    QCustomPlot* currentPlot() const;
    // Writes the current plot to a file, the format by the name's suffix (.png, .svg, .pdf);
    // false, with a message, when there is nothing to export or the file cannot be written.
    bool exportCurrent(const QString& fileName);
    // "Export...": asks for a file name (the format by its suffix, PNG when it has none).
    void exportWithDialog(std::optional<diagramexport::Format> format = std::nullopt);

    QLabel* lblTitle;
    QLabel* lblHint;
    QPushButton* cmdExport;
    QTabWidget* tabs;
    MerkelPlot* merkel;
    FillMapPlot* waterMap;
    FillMapPlot* enthalpyMap;
    FillMapPlot* dryBulbMap;
    CharacteristicPlot* characteristic;
    CapabilityPlot* capabilityPlot;

private:
    // The hint in place of the diagrams, under title ("Diagram" when empty).
    void showHint(const QString& text, const QString& title = QString());
    void showDiagrams(const diagrams::ProblemDiagrams& d);
    void attachContextMenu(QCustomPlot* plot);

    // What the drawn diagrams follow from: the calculations in order and which Problems of
    // each arrangement are out of date.
    struct Drawn {
        std::vector<engine::Calculation> calculations;
        std::vector<bool> outOfDate;
        std::vector<engine::CapabilityInputs> capabilityInputs; // of each arrangement
        bool operator==(const Drawn&) const = default;
    };
    Drawn drawnFrom() const;

    Workspace& workspace_;
    const DiagramSource* source_ = nullptr;
    Drawn drawn_;
    std::optional<std::pair<Arrangement, int>> shown_;
    QStackedWidget* pages_;
};
