#include "ui/diagramwindow.h"

#include "diagrams/capabilityplot.h"
#include "diagrams/characteristicplot.h"
#include "diagrams/diagramsource.h"
#include "diagrams/fillmapplot.h"
#include "diagrams/merkelplot.h"
#include "diagrams/plotstyle.h"
#include "engine/keys.h"
#include "engine/message.h"
#include "ui/desktop.h"
#include "ui/enterkey.h"
#include "ui/workspace.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QString arrangementName(Arrangement arrangement) {
    return arrangement == Arrangement::CounterFlow ? QStringLiteral("counter flow")
                                                   : QStringLiteral("cross flow");
}

const char* suffixOf(diagramexport::Format format) {
    switch (format) {
    case diagramexport::Format::Png:
        return "png";
    case diagramexport::Format::Svg:
        return "svg";
    case diagramexport::Format::Pdf:
        return "pdf";
    }
    return "png";
}

} // namespace

DiagramWindow::DiagramWindow(Workspace& workspace)
    : workspace_(workspace) {
    installEnterKey();
    setObjectName(engine::toQString(engine::kDiagramWindowKey));
    setWindowTitle(QStringLiteral("Diagram"));

    lblTitle = new QLabel(QStringLiteral("Diagram"), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont bold = lblTitle->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    lblTitle->setFont(bold);

    cmdExport = new QPushButton(QStringLiteral("Export..."), this);
    cmdExport->setObjectName(QStringLiteral("cmdExport"));
    cmdExport->setToolTip(QStringLiteral("Save the shown diagram as PNG, SVG or PDF"));
    connect(cmdExport, &QPushButton::clicked, this, [this] { exportWithDialog(); });

    lblHint = new QLabel(this);
    lblHint->setObjectName(QStringLiteral("lblHint"));
    lblHint->setAlignment(Qt::AlignCenter);
    lblHint->setWordWrap(true);

    merkel = new MerkelPlot;
    waterMap = new FillMapPlot(FillMapPlot::Quantity::WaterTemp);
    enthalpyMap = new FillMapPlot(FillMapPlot::Quantity::AirEnthalpy);
    dryBulbMap = new FillMapPlot(FillMapPlot::Quantity::AirDryBulb);
    characteristic = new CharacteristicPlot;
    capabilityPlot = new CapabilityPlot;
    for (QCustomPlot* plot : std::initializer_list<QCustomPlot*>{
             merkel, waterMap, enthalpyMap, dryBulbMap, characteristic, capabilityPlot}) {
        plot->setParent(this);
        plot->hide();
        attachContextMenu(plot);
    }

    tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabs"));
    pages_ = new QStackedWidget(this);
    pages_->addWidget(lblHint);
    pages_->addWidget(tabs);

    auto* top = new QHBoxLayout;
    top->addWidget(lblTitle, 1);
    top->addWidget(cmdExport);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(pages_, 1);

    showHint(QStringLiteral("Open a Problem window and press CALCULATE: its diagrams appear "
                            "here and follow every new calculation."));
}

void DiagramWindow::setSource(const DiagramSource* source) {
    source_ = source;
    refresh();
}

void DiagramWindow::problemActivated(Arrangement arrangement, int problem) {
    const std::pair<Arrangement, int> activated{arrangement, problem};
    if (shown_ != activated) {
        shown_ = activated;
        refresh();
    }
}

void DiagramWindow::calculated(Arrangement arrangement, int problem) {
    // A calculation happens in the active Problem window, so the calculated Problem becomes
    // the shown one; the later Problems' characteristics depend on Problem 1 too.
    if (!shown_ || shown_->first != arrangement)
        shown_ = std::pair<Arrangement, int>{arrangement, problem};
    else
        shown_->second = problem;
    refresh();
}

DiagramWindow::Drawn DiagramWindow::drawnFrom() const {
    const engine::Audit& audit = workspace_.audit();
    Drawn d;
    d.calculations = audit.calculations();
    for (Arrangement arrangement : {Arrangement::CounterFlow, Arrangement::CrossFlow})
        for (int problem = 1; problem <= engine::kProblems; ++problem)
            d.outOfDate.push_back(audit.currency(arrangement, problem).outOfDate());
    for (Arrangement arrangement : {Arrangement::CounterFlow, Arrangement::CrossFlow})
        d.capabilityInputs.push_back(audit.capabilityInputs(arrangement));
    return d;
}

void DiagramWindow::pullTexts() {
    if (drawnFrom() != drawn_)
        refresh();
}

void DiagramWindow::refresh() {
    drawn_ = drawnFrom();
    if (!shown_) {
        showHint(QStringLiteral("Open a Problem window and press CALCULATE: its diagrams "
                                "appear here and follow every new calculation."));
        return;
    }
    const auto [arrangement, problem] = *shown_;
    std::optional<diagrams::ProblemDiagrams> d;
    if (source_)
        d = source_->diagrams(arrangement, problem);
    if (!d) {
        // The heading names the Problem already: its diagrams come with its CALCULATE.
        const QString name =
            QStringLiteral("Problem %1, %2").arg(problem).arg(arrangementName(arrangement));
        showHint(QStringLiteral("%1, has not been calculated yet. Press CALCULATE in its window "
                                "to see its diagrams here.")
                     .arg(name),
                 name);
        return;
    }
    showDiagrams(*d);
}

void DiagramWindow::showHint(const QString& text, const QString& title) {
    lblTitle->setText(title.isEmpty() ? QStringLiteral("Diagram") : title);
    lblHint->setText(text);
    pages_->setCurrentWidget(lblHint);
    cmdExport->setEnabled(false);
}

void DiagramWindow::showDiagrams(const diagrams::ProblemDiagrams& d) {
    lblTitle->setText(
        QStringLiteral("Problem %1, %2%3")
            .arg(d.problem)
            .arg(arrangementName(d.arrangement), plotstyle::outOfDateMark(d.outOfDate)));
    const QString current =
        tabs->currentIndex() >= 0 ? tabs->tabText(tabs->currentIndex()) : QString();
    std::vector<std::pair<QCustomPlot*, QString>> shown;
    if (d.merkel) {
        merkel->setDiagram(*d.merkel);
        shown.emplace_back(merkel, QStringLiteral("Enthalpy diagram"));
    }
    if (d.maps) {
        for (FillMapPlot* map : {waterMap, enthalpyMap, dryBulbMap}) {
            map->setMaps(*d.maps);
            shown.emplace_back(map, FillMapPlot::quantityName(map->quantity()));
        }
    }
    if (d.characteristic) {
        characteristic->setCharacteristic(*d.characteristic);
        shown.emplace_back(characteristic, QStringLiteral("Tower characteristic"));
    }
    // Problem 2, the acceptance test, with the capability of the same test point; cross flow
    // takes up to a second for it.
    if (d.problem == 2 && source_) {
        const bool slow = d.arrangement == Arrangement::CrossFlow;
        if (slow)
            workspace_.desktop().setWaitCursor(this, true);
        const std::optional<diagrams::CapabilityDiagram> capability =
            source_->capability(d.arrangement);
        if (slow)
            workspace_.desktop().setWaitCursor(this, false);
        if (capability) {
            capabilityPlot->setDiagram(*capability);
            shown.emplace_back(capabilityPlot, QStringLiteral("Capability"));
        }
    }

    // Rebuild the tabs only when the set of diagrams changes, keeping the chosen kind.
    bool same = tabs->count() == static_cast<int>(shown.size());
    for (int k = 0; same && k < tabs->count(); ++k)
        same = tabs->widget(k) == shown[static_cast<std::size_t>(k)].first;
    if (!same) {
        const QSignalBlocker block(tabs);
        while (tabs->count() > 0)
            tabs->removeTab(0);
        for (const auto& [plot, name] : shown)
            tabs->addTab(plot, name);
        for (int k = 0; k < tabs->count(); ++k)
            if (tabs->tabText(k) == current)
                tabs->setCurrentIndex(k);
    }
    for (const auto& entry : shown)
        entry.first->replot(QCustomPlot::rpQueuedReplot);
    pages_->setCurrentWidget(tabs);
    cmdExport->setEnabled(!shown.empty());
}

QCustomPlot* DiagramWindow::currentPlot() const {
    if (pages_->currentWidget() != tabs)
        return nullptr;
    return qobject_cast<QCustomPlot*>(tabs->currentWidget());
}

bool DiagramWindow::exportCurrent(const QString& fileName) {
    QCustomPlot* plot = currentPlot();
    const std::optional<diagramexport::Format> format = diagramexport::formatOf(fileName);
    QString problem;
    if (!plot)
        problem = QStringLiteral("There is no diagram to export yet.");
    else if (!format)
        problem = QStringLiteral("Choose a file name ending in .png, .svg or .pdf.");
    else if (!diagramexport::save(plot, fileName, *format))
        problem = QStringLiteral("The diagram could not be written to %1.")
                      .arg(QDir::toNativeSeparators(fileName));
    if (problem.isEmpty())
        return true;
    workspace_.desktop().message(this, QStringLiteral("Diagram"), problem, MessageIcon::Error);
    return false;
}

void DiagramWindow::exportWithDialog(std::optional<diagramexport::Format> format) {
    if (!currentPlot())
        return;
    const QString suffix =
        QString::fromLatin1(suffixOf(format.value_or(diagramexport::Format::Png)));
    QString suggested = lblTitle->text() + QLatin1Char(' ') + tabs->tabText(tabs->currentIndex());
    suggested.replace(QLatin1String(", "), QLatin1String(" "));
    suggested =
        suggested.toLower().replace(QLatin1Char(' '), QLatin1Char('-')) + QLatin1Char('.') + suffix;
    const QString filter = format ? QStringLiteral("%1 (*.%2)").arg(suffix.toUpper(), suffix)
                                  : diagramexport::fileFilter();
    QString fileName = workspace_.desktop().saveFileName(this, QStringLiteral("Export diagram"),
                                                         suggested, filter);
    if (fileName.isEmpty())
        return;
    // A name without a known suffix gets the format asked for (PNG from the button).
    // The dialog asked about the name as typed, not about the one with the extension.
    if (!diagramexport::formatOf(fileName) ||
        (format && diagramexport::formatOf(fileName) != format)) {
        fileName += QLatin1Char('.') + suffix;
        if (!mayReplaceFile(workspace_.desktop(), this, QStringLiteral("Export diagram"), fileName))
            return;
    }
    exportCurrent(fileName);
}

void DiagramWindow::attachContextMenu(QCustomPlot* plot) {
    plot->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(plot, &QWidget::customContextMenuRequested, this, [this, plot](const QPoint& pos) {
        QMenu menu(plot);
        const struct {
            const char* text;
            diagramexport::Format format;
        } entries[] = {{"Export as PNG...", diagramexport::Format::Png},
                       {"Export as SVG...", diagramexport::Format::Svg},
                       {"Export as PDF...", diagramexport::Format::Pdf}};
        for (const auto& entry : entries) {
            const diagramexport::Format format = entry.format;
            connect(menu.addAction(QString::fromLatin1(entry.text)), &QAction::triggered, this,
                    [this, format] { exportWithDialog(format); });
        }
        menu.exec(plot->mapToGlobal(pos));
    });
}
