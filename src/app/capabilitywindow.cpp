#include "app/capabilitywindow.h"

#include "app/auditdocument.h"
#include "app/history.h"
#include "app/windows.h"
#include "auditfile/weatherfile.h"
#include "core/capability.h"
#include "diagrams/capabilityplot.h"
#include "diagrams/diagramdata.h"
#include "diagrams/fanhoursplot.h"
#include "engine/audit.h"
#include "engine/keys.h"
#include "engine/messages.h"
#include "engine/numtext.h"
#include "ui/desktop.h"
#include "ui/diagramwindow.h"
#include "ui/mainwindow.h"
#include "ui/uncertaintywindow.h"

#include <QAction>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>
#include <cmath>

namespace {

const QString kTitle = QStringLiteral("Capability");
// The largest weather file read, bytes: an hourly year with many columns is well below it.
constexpr qint64 kMaxWeatherFileSize = 16 * 1024 * 1024;
// The wet bulb and hours a new ambient row starts with, degC and h.
constexpr double kNewRowWetBulb = 20;
constexpr double kNewRowStep = 1;

enum AmbientColumn { WetBulb, DryBulb, Humidity, Hours, AmbientColumns };

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// "money" in a unit as the locale's currency symbol, or its code; a locale without either (the
// C locale) keeps the word.
QString unitText(QString unit) {
    QString symbol = QLocale().currencySymbol();
    if (symbol.isEmpty())
        symbol = QLocale().currencySymbol(QLocale::CurrencyIsoCode);
    return symbol.isEmpty() ? unit : unit.replace(QLatin1String("money"), symbol);
}

// A number as a field shows it: up to 15 significant digits, the locale's separator; empty
// for none.
// A unit after a number: nothing for a pure number.
QString unitAfter(std::string_view unit) {
    return unit == "-" ? QString() : QLatin1Char(' ') + unitText(toQString(unit));
}

QString numberText(double value) {
    return std::isfinite(value) ? numtext::generalText(value) : QString();
}

QTableWidgetItem* cell(const QString& text, Qt::Alignment alignment = Qt::AlignLeft) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    return item;
}

QLabel* wrappingLabel(const char* name) {
    auto* label = new QLabel;
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QTableWidget* figureTable(const char* name) {
    auto* table = new QTableWidget(0, 4);
    table->setObjectName(QString::fromLatin1(name));
    table->setHorizontalHeaderLabels({QStringLiteral("Figure"), QStringLiteral("Value"),
                                      QStringLiteral("Unit"), QStringLiteral("Method")});
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setWordWrap(true);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QHeaderView* header = table->horizontalHeader();
    header->setSectionResizeMode(0, QHeaderView::Interactive);
    header->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    header->setStretchLastSection(true);
    return table;
}

// The figures of a list into a table, under a heading row when `heading` is set.
void appendFigures(QTableWidget* table, const QList<report::SummaryFigure>& figures,
                   const QString& heading = QString()) {
    if (!heading.isEmpty()) {
        const int row = table->rowCount();
        table->insertRow(row);
        QTableWidgetItem* item = cell(heading);
        QFont bold = item->font();
        bold.setBold(true);
        item->setFont(bold);
        table->setItem(row, 0, item);
        table->setSpan(row, 0, 1, table->columnCount());
    }
    for (const report::SummaryFigure& f : figures) {
        const int row = table->rowCount();
        table->insertRow(row);
        // A figure is finite or absent; the check keeps a stray value from showing as "nan".
        const QString value = f.value && std::isfinite(*f.value) ? f.text() : QString();
        table->setItem(row, 0, cell(f.name));
        table->setItem(row, 1, cell(value, Qt::AlignRight));
        table->setItem(row, 2, cell(unitText(f.unit)));
        QTableWidgetItem* method = cell(f.method);
        method->setToolTip(f.method);
        table->setItem(row, 3, method);
        if (!f.column.isEmpty())
            table->item(row, 0)->setToolTip(
                QStringLiteral("%1 (batch column %2)").arg(f.name, f.column));
    }
}

void fitFigureTable(QTableWidget* table) {
    table->resizeColumnToContents(1);
    table->resizeColumnToContents(2);
    const int width = table->viewport()->width();
    const int rest = width - table->columnWidth(1) - table->columnWidth(2);
    table->setColumnWidth(0, std::max(120, rest * 11 / 20));
    table->resizeRowsToContents();
}

} // namespace

CapabilityWindow::CapabilityWindow(Windows& windows, AuditDocument& document)
    : windows_(windows)
    , document_(&document) {
    setObjectName(QStringLiteral("CapabilityWindow"));
    setWindowTitle(kTitle);

    auto* title = new QLabel(QStringLiteral("CAPABILITY, WATER AND FAN ENERGY"));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    lblArrangement = new QLabel;
    lblArrangement->setObjectName(QStringLiteral("lblArrangement"));
    lblArrangement->setFont(bold);
    lblBasis = wrappingLabel("lblBasis");

    // The settings of each part, one loop over the engine's table.
    auto* capabilityBox = new QGroupBox(QStringLiteral("Settings"));
    auto* waterBox = new QGroupBox(QStringLiteral("Settings"));
    QGridLayout* grids[2] = {new QGridLayout(capabilityBox), new QGridLayout(waterBox)};
    for (int s = 0; s < engine::kSettingCount; ++s) {
        const engine::SettingDef& def = engine::settingDef(engine::Setting(s));
        const bool capabilityPart = def.part == engine::SettingPart::Capability;
        QGridLayout* grid = grids[capabilityPart ? 0 : 1];
        const int row = grid->rowCount();
        const QString caption = toQString(def.caption);
        auto* edit = new QLineEdit;
        edit->setObjectName(toQString(def.key));
        edit->setAccessibleName(caption);
        edit->setAccessibleDescription(toQString(def.key));
        edit->setAlignment(Qt::AlignRight);
        edit->setMaximumWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 12);
        edit->setToolTip(hint(s));
        edit->installEventFilter(this);
        auto* label = new QLabel(caption.left(1).toUpper() + caption.mid(1) + QLatin1Char(':'));
        label->setBuddy(edit);
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1);
        grid->addWidget(new QLabel(unitText(toQString(def.unit))), row, 2);
        connect(edit, &QLineEdit::editingFinished, this, [this, s] { fieldEdited(s); });
        fields[std::size_t(s)] = edit;
    }
    for (QGridLayout* grid : grids) {
        grid->setColumnStretch(0, 1);
        grid->setVerticalSpacing(3);
    }

    // Capability.
    tblCapability = figureTable("tblCapability");
    lblWarnings = wrappingLabel("lblWarnings");
    QPalette warning = lblWarnings->palette();
    warning.setColor(QPalette::WindowText, QColor(0xa0, 0x40, 0x00));
    lblWarnings->setPalette(warning);
    lblVerdict = wrappingLabel("lblVerdict");
    lblVerdict->setFont(bold);
    lblCapabilityNotes = wrappingLabel("lblCapabilityNotes");
    capabilityPlot = new CapabilityPlot;
    capabilityPlot->setMinimumSize(260, 220);

    auto* capabilityLeft = new QWidget;
    auto* leftLayout = new QVBoxLayout(capabilityLeft);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(capabilityBox);
    leftLayout->addWidget(capabilityPlot, 1);
    auto* capabilityRight = new QWidget;
    auto* rightLayout = new QVBoxLayout(capabilityRight);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(tblCapability, 1);
    rightLayout->addWidget(lblWarnings);
    rightLayout->addWidget(lblVerdict);
    rightLayout->addWidget(lblCapabilityNotes);
    auto* capabilityPage = new QSplitter(Qt::Horizontal);
    capabilityPage->setObjectName(QStringLiteral("capabilityPart"));
    capabilityPage->addWidget(capabilityLeft);
    capabilityPage->addWidget(capabilityRight);
    capabilityPage->setStretchFactor(0, 2);
    capabilityPage->setStretchFactor(1, 3);
    capabilityPage->setChildrenCollapsible(false);

    // Water and energy.
    tblWater = figureTable("tblWater");
    lblSavingsNotes = wrappingLabel("lblSavingsNotes");
    tblAmbient = new QTableWidget(0, AmbientColumns);
    tblAmbient->setObjectName(QStringLiteral("tblAmbient"));
    tblAmbient->setAccessibleName(QStringLiteral("Ambient table"));
    tblAmbient->setHorizontalHeaderLabels({QStringLiteral("twb [oC]"), QStringLiteral("tdb [oC]"),
                                           QStringLiteral("RH [%]"), QStringLiteral("Hours")});
    const char* const headerTips[AmbientColumns] = {"wet bulb, degC", "dry bulb, degC",
                                                    "relative humidity, %", "hours per year"};
    for (int c = 0; c < AmbientColumns; ++c)
        tblAmbient->horizontalHeaderItem(c)->setToolTip(QString::fromLatin1(headerTips[c]));
    tblAmbient->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    tblAmbient->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    tblAmbient->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblAmbient->setToolTip(QStringLiteral(
        "Each row: a wet bulb, or a dry bulb with a relative humidity, and its hours per year"));
    lblAmbient = wrappingLabel("lblAmbient");
    const auto button = [this](const char* name, const QString& text, const QString& tip) {
        auto* b = new QPushButton(text);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(tip);
        return b;
    };
    cmdAddRow = button("cmdAddRow", QStringLiteral("&Add row"),
                       QStringLiteral("Add a row below the last, to be edited"));
    cmdDeleteRows = button("cmdDeleteRows", QStringLiteral("De&lete rows"),
                           QStringLiteral("Delete the selected rows"));
    cmdImport = button("cmdImport", QStringLiteral("&Import..."),
                       QStringLiteral("Read the table from a weather file (CSV: columns twb, "
                                      "tdb, rh, hours; an hourly file without hours counts one "
                                      "hour a row)"));
    cmdClear = button("cmdClear", QStringLiteral("&Clear"),
                      QStringLiteral("Empty the table: the drive then uses Problem 4's ambient "
                                     "air for all operating hours"));
    connect(cmdAddRow, &QPushButton::clicked, this, &CapabilityWindow::addAmbientRow);
    connect(cmdDeleteRows, &QPushButton::clicked, this, &CapabilityWindow::deleteAmbientRows);
    connect(cmdImport, &QPushButton::clicked, this, [this] {
        const QString path = askWeatherFile();
        if (!path.isEmpty())
            importWeather(path);
    });
    connect(cmdClear, &QPushButton::clicked, this, &CapabilityWindow::clearAmbient);
    connect(tblAmbient, &QTableWidget::cellChanged, this, &CapabilityWindow::ambientEdited);
    fanHoursPlot = new FanHoursPlot;
    fanHoursPlot->setMinimumSize(260, 200);

    auto* ambientBox = new QGroupBox(QStringLiteral("Ambient table"));
    auto* ambientLayout = new QVBoxLayout(ambientBox);
    ambientLayout->addWidget(lblAmbient);
    ambientLayout->addWidget(tblAmbient, 1);
    auto* ambientButtons = new QHBoxLayout;
    for (QPushButton* b : {cmdAddRow, cmdDeleteRows, cmdImport, cmdClear})
        ambientButtons->addWidget(b);
    ambientLayout->addLayout(ambientButtons);
    auto* waterLeft = new QWidget;
    auto* waterLeftLayout = new QVBoxLayout(waterLeft);
    waterLeftLayout->setContentsMargins(0, 0, 0, 0);
    waterLeftLayout->addWidget(waterBox);
    waterLeftLayout->addWidget(ambientBox, 1);
    auto* figuresPane = new QWidget;
    auto* figuresLayout = new QVBoxLayout(figuresPane);
    figuresLayout->setContentsMargins(0, 0, 0, 0);
    figuresLayout->addWidget(tblWater, 1);
    figuresLayout->addWidget(lblSavingsNotes);
    auto* waterRight = new QSplitter(Qt::Vertical);
    waterRight->addWidget(figuresPane);
    waterRight->addWidget(fanHoursPlot);
    waterRight->setStretchFactor(0, 1);
    waterRight->setStretchFactor(1, 1);
    waterRight->setChildrenCollapsible(false);
    auto* waterPage = new QSplitter(Qt::Horizontal);
    waterPage->setObjectName(QStringLiteral("waterAndEnergyPart"));
    waterPage->addWidget(waterLeft);
    waterPage->addWidget(waterRight);
    waterPage->setStretchFactor(0, 2);
    waterPage->setStretchFactor(1, 3);
    waterPage->setChildrenCollapsible(false);

    parts = new QTabWidget;
    parts->setObjectName(QStringLiteral("parts"));
    parts->addTab(capabilityPage, QStringLiteral("Ca&pability"));
    parts->addTab(waterPage, QStringLiteral("&Water and energy"));
    connect(parts, &QTabWidget::currentChanged, this, [this] {
        fitFigureTable(tblCapability);
        fitFigureTable(tblWater);
    });
    for (QTableWidget* table : {tblCapability, tblWater})
        table->viewport()->installEventFilter(this);

    auto* heading = new QHBoxLayout;
    heading->addWidget(title);
    heading->addSpacing(16);
    heading->addWidget(lblArrangement);
    heading->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(heading);
    layout->addWidget(lblBasis);
    layout->addWidget(parts, 1);

    // The program's file dialog; tests set their own answer.
    askWeatherFile = [this] {
        return QFileDialog::getOpenFileName(
            windows_.mainWindow(), QStringLiteral("Import a weather file"), QString(),
            QStringLiteral("Weather file (*.csv *.txt);;All files (*)"));
    };

    // A child window of the main window's area, whose close box only hides it.
    MainWindow* main = windows_.mainWindow();
    QMdiSubWindow* sub = main->mdiArea()->addSubWindow(this);
    sub->setAttribute(Qt::WA_DeleteOnClose, false);
    sub->setWindowIcon(main->windowIcon());
    sub->hide();

    // "Capability" right after "Uncertainty" on the toolbar.
    QToolBar* toolbar = main->toolBar();
    action_ = new QAction(style()->standardIcon(QStyle::SP_FileDialogInfoView), kTitle, toolbar);
    action_->setObjectName(kTitle);
    action_->setData(kTitle);
    action_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_K));
    action_->setToolTip(QStringLiteral("Show the tower's capability and its water and fan energy "
                                       "(%1)")
                            .arg(action_->shortcut().toString(QKeySequence::NativeText)));
    const QList<QAction*> actions = toolbar->actions();
    QAction* before = nullptr;
    for (qsizetype i = 0; i + 1 < actions.size(); ++i)
        if (actions[i]->data().toString() == QLatin1String("Uncertainty"))
            before = actions[i + 1];
    toolbar->insertAction(before, action_);
    connect(action_, &QAction::triggered, this, &CapabilityWindow::showWindow);

    // An edit typed and not yet handed over goes to the engine at the start of every step and
    // before undo and redo; the window follows undo, redo, opening and every step.
    connect(&windows_, &Windows::textsPushed, this, &CapabilityWindow::commitFields);
    connect(&document.history(), &History::changed, this, [this] {
        if (isVisible())
            refresh();
    });
    connect(&windows_, &Windows::textsPulled, this, [this] {
        if (isVisible())
            refresh();
    });
}

QString CapabilityWindow::hint(int setting) {
    const engine::SettingDef& def = engine::settingDef(engine::Setting(setting));
    QString text = QStringLiteral("%1: from %2 to %3%4")
                       .arg(toQString(def.caption), numtext::generalText(def.lowest),
                            numtext::generalText(def.highest), unitAfter(def.unit));
    text += std::isnan(def.defaultValue)
                ? QStringLiteral("; empty: not given")
                : QStringLiteral("; empty: the default %1").arg(numberText(def.defaultValue));
    return text;
}

void CapabilityWindow::showWindow() {
    windows_.showChild(this);
    refresh();
    fitFigureTable(tblCapability);
    fitFigureTable(tblWater);
}

void CapabilityWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh();
}

bool CapabilityWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn)
        for (int s = 0; s < engine::kSettingCount; ++s)
            if (watched == fields[std::size_t(s)])
                windows_.setStatus(hint(s));
    if (event->type() == QEvent::Resize)
        for (QTableWidget* table : {tblCapability, tblWater})
            if (watched == table->viewport())
                fitFigureTable(table);
    return QWidget::eventFilter(watched, event);
}

CapabilityWindow::Basis CapabilityWindow::currentBasis() const {
    const engine::Audit& audit = windows_.audit();
    Basis b;
    b.arrangement = arrangement_;
    b.calculations = audit.calculations();
    for (int p = 1; p <= engine::kProblems; ++p)
        b.current.push_back(audit.currency(arrangement_, p).current());
    b.dutyAirFlow = audit.text(arrangement_, 4, int(engine::cf4::airFlow));
    b.inputs = audit.capabilityInputs(arrangement_);
    for (const uncertainty::Accuracy& a : UncertaintyWindow::savedAccuracies(windows_.desktop()))
        b.accuracies.push_back(a.relative ? -a.value : a.value);
    return b;
}

void CapabilityWindow::refresh() {
    arrangement_ = windows_.chosenArrangement();
    lblArrangement->setText(arrangement_ == Arrangement::CounterFlow
                                ? QStringLiteral("COUNTER FLOW")
                                : QStringLiteral("CROSS FLOW"));
    showFields();
    showAmbient();
    const Basis now = currentBasis();
    if (computedFrom_ && *computedFrom_ == now && summary_)
        return;
    recalculate();
    computedFrom_ = now;
    showSummary();
}

void CapabilityWindow::recalculate() {
    // Counter flow takes milliseconds; cross flow up to a second, more with a long table.
    const bool slow = arrangement_ == Arrangement::CrossFlow ||
                      windows_.audit().capabilityInputs(arrangement_).ambient.size() > 100;
    if (slow)
        windows_.desktop().setWaitCursor(windows_.mainWindow(), true);
    summary_ = report::summarize(windows_.audit(), arrangement_,
                                 UncertaintyWindow::savedAccuracies(windows_.desktop()));
    if (slow)
        windows_.desktop().setWaitCursor(windows_.mainWindow(), false);
}

void CapabilityWindow::showFields() {
    const engine::CapabilityInputs& in = windows_.audit().capabilityInputs(arrangement_);
    for (int s = 0; s < engine::kSettingCount; ++s) {
        QLineEdit* edit = fields[std::size_t(s)];
        const QString text = numberText(in.values[std::size_t(s)]);
        // A field being typed in keeps its text; it goes over when it is left.
        if (!edit->isModified() && edit->text() != text)
            edit->setText(text);
    }
}

void CapabilityWindow::showAmbient() {
    const std::vector<engine::AmbientRow>& rows =
        windows_.audit().capabilityInputs(arrangement_).ambient;
    if (!ambientShown_ || rows != shownAmbient_) {
        filling_ = true;
        tblAmbient->setRowCount(int(rows.size()));
        for (int r = 0; r < int(rows.size()); ++r) {
            const engine::AmbientRow& row = rows[std::size_t(r)];
            const double values[AmbientColumns] = {row.wetBulb, row.dryBulb, row.relativeHumidity,
                                                   row.hours};
            for (int c = 0; c < AmbientColumns; ++c) {
                auto* item = new QTableWidgetItem(numberText(values[c]));
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                tblAmbient->setItem(r, c, item);
            }
        }
        filling_ = false;
        shownAmbient_ = rows;
        ambientShown_ = true;
    }
    double hours = 0;
    for (const engine::AmbientRow& row : rows)
        hours += row.hours;
    lblAmbient->setText(
        rows.empty()
            ? QStringLiteral("Empty: the drive runs at Problem 4's ambient air for all operating "
                             "hours.")
            : QStringLiteral("%1 %2, %3 h a year.")
                  .arg(rows.size())
                  .arg(rows.size() == 1 ? QStringLiteral("row") : QStringLiteral("rows"))
                  .arg(numberText(hours)));
    cmdAddRow->setEnabled(rows.size() < std::size_t(engine::kMaxAmbientRows));
    cmdClear->setEnabled(!rows.empty());
    cmdDeleteRows->setEnabled(!rows.empty());
}

void CapabilityWindow::showSummary() {
    const report::CapabilitySummary& s = *summary_;
    lblBasis->setText(s.basis);
    for (QTableWidget* table : {tblCapability, tblWater})
        table->setRowCount(0);
    if (s.available) {
        appendFigures(tblCapability, s.capability);
        appendFigures(tblWater, s.water, QStringLiteral("Water"));
        appendFigures(tblWater, s.energy, QStringLiteral("Fan energy"));
    }
    fitFigureTable(tblCapability);
    fitFigureTable(tblWater);
    lblWarnings->setText(s.warnings.join(QLatin1Char('\n')));
    lblWarnings->setVisible(!s.warnings.isEmpty());
    lblVerdict->setText(s.verdict);
    lblVerdict->setVisible(!s.verdict.isEmpty());
    lblCapabilityNotes->setText(s.capabilityNotes.join(QLatin1Char('\n')));
    lblCapabilityNotes->setVisible(!s.capabilityNotes.isEmpty());
    lblSavingsNotes->setText(s.savingsNotes.join(QLatin1Char('\n')));
    lblSavingsNotes->setVisible(!s.savingsNotes.isEmpty());

    // The capability diagram: the design figures need a current Problem 2.
    const engine::CapabilityCase c = engine::capabilityCase(windows_.audit(), arrangement_);
    if (!s.available)
        capabilityPlot->clear(arrangement_, s.basis);
    else if (!c.design)
        capabilityPlot->clear(
            arrangement_, QStringLiteral("The diagram needs a current Problem 2 (the design)."));
    else
        capabilityPlot->setDiagram(
            diagrams::capabilityDiagram(s.figures, c.settings.exponent, false));
    capabilityPlot->replot(QCustomPlot::rpQueuedReplot);

    // The hours and the drive's power by wet bulb: a row given by its dry bulb and humidity has
    // its wet bulb from them at the test's pressure.
    std::vector<double> wetBulb, hours, power;
    const bool driven =
        s.drive.status == savings::Status::Ok && s.drive.rows.size() == s.ambient.size();
    for (std::size_t r = 0; r < s.ambient.size(); ++r) {
        const engine::AmbientRow& row = s.ambient[r];
        double twb = row.wetBulb;
        if (!std::isnan(row.relativeHumidity) && c.test) {
            const capability::EnteringAir air =
                capability::enteringAir(c.test->pressure, row.dryBulb, row.relativeHumidity);
            twb = air.ok ? air.wetBulb : std::nan("");
        }
        wetBulb.push_back(twb);
        hours.push_back(row.hours);
        if (driven)
            power.push_back(s.drive.rows[r].power);
    }
    const engine::CapabilityInputs& in = c.inputs;
    fanHoursPlot->setRows(wetBulb, hours, power,
                          driven && in.given(engine::Setting::FanPower)
                              ? in.value(engine::Setting::FanPower)
                              : std::nan(""));
    fanHoursPlot->replot(QCustomPlot::rpQueuedReplot);
}

void CapabilityWindow::change(const engine::CapabilityInputs& inputs, const QString& what) {
    engine::Audit& audit = windows_.audit();
    if (inputs == audit.capabilityInputs(arrangement_))
        return;
    audit.setCapabilityInputs(arrangement_, inputs);
    if (document_ && !document_->history().paused())
        document_->history().record(what);
    // The Diagram window's capability follows the settings.
    if (windows_.isLoaded(engine::toQString(engine::kDiagramWindowKey)))
        windows_.diagramWindow()->pullTexts();
    refresh();
}

void CapabilityWindow::fieldEdited(int setting) {
    if (refusing_ || !document_ || document_->history().paused())
        return;
    QLineEdit* edit = fields[std::size_t(setting)];
    const engine::Setting s = engine::Setting(setting);
    const engine::SettingDef& def = engine::settingDef(s);
    engine::CapabilityInputs inputs = windows_.audit().capabilityInputs(arrangement_);
    const QString text = edit->text().trimmed();
    double value = def.defaultValue; // empty: the default, or not given
    QString refusal;
    if (!text.isEmpty()) {
        const std::optional<double> typed = numtext::readNumber(text);
        if (!typed)
            refusal = QStringLiteral("Invalid entries: the %1 must be a number.")
                          .arg(toQString(def.caption));
        else if (const std::optional<QString> why = engine::checkSetting(s, *typed))
            refusal = QStringLiteral("Invalid entries: the %1 %2%3.")
                          .arg(toQString(def.caption), *why, unitAfter(def.unit));
        else
            value = *typed;
    }
    if (!refusal.isEmpty()) {
        // The field shows its previous value again, before the message, so that the focus
        // leaving it for the message box finds nothing more to hand over.
        edit->setText(numberText(inputs.value(s)));
        edit->setModified(false);
        refusing_ = true;
        windows_.desktop().message(this, engine::toQString(engine::messages::kErrorTitle), refusal,
                                   MessageIcon::Critical);
        refusing_ = false;
        return;
    }
    edit->setModified(false);
    inputs.values[std::size_t(setting)] = value;
    edit->setText(numberText(value));
    change(inputs, QStringLiteral("capability settings"));
}

void CapabilityWindow::commitFields() {
    if (refusing_ || !document_ || document_->history().paused())
        return;
    const engine::CapabilityInputs& in = windows_.audit().capabilityInputs(arrangement_);
    for (int s = 0; s < engine::kSettingCount; ++s) {
        QLineEdit* edit = fields[std::size_t(s)];
        if (!edit->isModified())
            continue;
        // A valid value goes over as if the field were left; another is dropped without a
        // message (a step of another window is running).
        const std::optional<double> typed = numtext::readNumber(edit->text());
        if (typed && !engine::checkSetting(engine::Setting(s), *typed) &&
            *typed != in.value(engine::Setting(s)))
            fieldEdited(s);
        else
            edit->setText(numberText(in.value(engine::Setting(s))));
        edit->setModified(false);
    }
}

void CapabilityWindow::ambientEdited(int row, int column) {
    if (filling_ || !document_)
        return;
    engine::CapabilityInputs inputs = windows_.audit().capabilityInputs(arrangement_);
    if (row < 0 || std::size_t(row) >= inputs.ambient.size())
        return;
    engine::AmbientRow edited = inputs.ambient[std::size_t(row)];
    double* const slots[AmbientColumns] = {&edited.wetBulb, &edited.dryBulb,
                                           &edited.relativeHumidity, &edited.hours};
    const QTableWidgetItem* item = tblAmbient->item(row, column);
    const QString text = item ? item->text().trimmed() : QString();
    QString refusal;
    if (text.isEmpty())
        *slots[column] = column == Hours ? 0 : std::nan("");
    else if (const std::optional<double> v = numtext::readNumber(text))
        *slots[column] = *v;
    else
        refusal = QStringLiteral("it is not a number");
    if (refusal.isEmpty())
        if (const std::optional<QString> why = engine::checkAmbientRow(edited))
            refusal = *why;
    if (!refusal.isEmpty()) {
        ambientShown_ = false; // the row shows the engine's values again
        showAmbient();
        windows_.desktop().message(
            this, engine::toQString(engine::messages::kErrorTitle),
            QStringLiteral("Invalid entries in row %1 of the ambient table: %2.")
                .arg(row + 1)
                .arg(refusal),
            MessageIcon::Critical);
        return;
    }
    inputs.ambient[std::size_t(row)] = edited;
    change(inputs, QStringLiteral("ambient table"));
}

void CapabilityWindow::addAmbientRow() {
    engine::CapabilityInputs inputs = windows_.audit().capabilityInputs(arrangement_);
    if (inputs.ambient.size() >= std::size_t(engine::kMaxAmbientRows))
        return;
    // A row one kelvin above the last wet bulb, with no hours yet.
    engine::AmbientRow row;
    row.wetBulb = kNewRowWetBulb;
    if (!inputs.ambient.empty()) {
        const engine::AmbientRow& last = inputs.ambient.back();
        const double before = std::isnan(last.wetBulb) ? last.dryBulb : last.wetBulb;
        if (std::isfinite(before) &&
            !engine::checkAmbientRow({before + kNewRowStep, std::nan(""), std::nan(""), 0}))
            row.wetBulb = before + kNewRowStep;
    }
    row.hours = 0;
    inputs.ambient.push_back(row);
    change(inputs, QStringLiteral("ambient row added"));
    const int last = tblAmbient->rowCount() - 1;
    tblAmbient->setCurrentCell(last, Hours);
    tblAmbient->scrollToBottom();
}

void CapabilityWindow::deleteAmbientRows() {
    engine::CapabilityInputs inputs = windows_.audit().capabilityInputs(arrangement_);
    std::vector<int> rows;
    for (const QModelIndex& index : tblAmbient->selectionModel()->selectedRows())
        rows.push_back(index.row());
    if (rows.empty() && tblAmbient->currentRow() >= 0)
        rows.push_back(tblAmbient->currentRow());
    std::ranges::sort(rows, std::greater<>());
    for (int r : rows)
        if (r >= 0 && std::size_t(r) < inputs.ambient.size())
            inputs.ambient.erase(inputs.ambient.begin() + r);
    change(inputs, QStringLiteral("ambient rows deleted"));
}

void CapabilityWindow::clearAmbient() {
    engine::CapabilityInputs inputs = windows_.audit().capabilityInputs(arrangement_);
    inputs.ambient.clear();
    change(inputs, QStringLiteral("ambient table cleared"));
}

bool CapabilityWindow::importWeather(const QString& path) {
    const QString shown = QDir::toNativeSeparators(path);
    const auto refuse = [&](const QString& why) {
        windows_.desktop().message(
            this, kTitle,
            QStringLiteral("The weather file \"%1\" cannot be read: %2.\n\nThe ambient table is "
                           "left as it was.")
                .arg(shown, why),
            MessageIcon::Critical);
        return false;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(file.errorString());
    if (file.size() > kMaxWeatherFileSize)
        return refuse(QStringLiteral("it is larger than %1 MB").arg(kMaxWeatherFileSize >> 20));
    const auditfile::Weather weather = auditfile::readWeather(file.readAll());
    if (weather.error) {
        const auditfile::WeatherError& e = *weather.error;
        return refuse(
            e.column > 0
                ? QStringLiteral("line %1, column %2: %3").arg(e.line).arg(e.column).arg(e.text)
                : QStringLiteral("line %1: %2").arg(e.line).arg(e.text));
    }
    engine::CapabilityInputs inputs = windows_.audit().capabilityInputs(arrangement_);
    inputs.ambient = weather.rows;
    change(inputs, QStringLiteral("ambient table imported"));
    double hours = 0;
    for (const engine::AmbientRow& row : weather.rows)
        hours += row.hours;
    windows_.setStatus(QStringLiteral("%1 rows (%2 h a year) read from \"%3\".")
                           .arg(weather.rows.size())
                           .arg(numberText(hours), QFileInfo(path).fileName()));
    return true;
}
