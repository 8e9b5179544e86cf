#include "ui/uncertaintywindow.h"

#include "engine/cellmap.h"
#include "engine/keys.h"
#include "engine/message.h"
#include "engine/messages.h"
#include "engine/numtext.h"
#include "ui/desktop.h"
#include "ui/workspace.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>
#include <limits>

using namespace uncertainty;

namespace {

const QString kSection = QStringLiteral("Uncertainty");
// Settings keys and short names of the measured inputs, in the order of Input.
const char* const kKeys[kInputCount] = {"WaterFlow", "AirFlow", "WaterIn",         "WaterOut",
                                        "Pressure",  "DryBulb", "RelativeHumidity"};
const char* const kShort[kInputCount] = {"L", "G", "Tin", "Tout", "p", "tdb", "RH"};
const char* const kTableNames[kInputCount] = {"Water flow",      "Air flow", "Water IN",
                                              "Water OUT",       "Pressure", "Dry bulb IN",
                                              "Rel. humidity IN"};

QString accuracyUnit(int input, const Accuracy& a) {
    if (a.relative)
        return QStringLiteral("% of reading");
    if (input == RelativeHumidity)
        return QStringLiteral("% RH *");
    return QStringLiteral("oC");
}

// Numbers as the windows write them: the locale's decimal separator, no grouping.
QLocale numberLocale() {
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale;
}

QString shown(double v, int decimals) {
    return numberLocale().toString(roundToDecimals(v, decimals), 'f', std::max(decimals, 0));
}

// A result with its uncertainty: both to the decimals of two significant digits of U.
struct Figures {
    QString value, expanded, relative;
};
Figures figures(double value, double expanded) {
    if (!std::isfinite(value))
        return {QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-")};
    if (!std::isfinite(expanded))
        return {numberLocale().toString(value, 'g', 6), QStringLiteral("not available"),
                QStringLiteral("-")};
    if (expanded == 0)
        return {numberLocale().toString(value, 'g', 6), QStringLiteral("0"), QStringLiteral("0")};
    const int d = twoDigitDecimals(expanded);
    const double relative = expanded / std::fabs(value) * 100;
    return {shown(value, d), shown(expanded, d),
            std::isfinite(relative) ? shown(relative, twoDigitDecimals(relative))
                                    : QStringLiteral("-")};
}

QTableWidgetItem* cell(const QString& text, bool editable = false) {
    auto* item = new QTableWidgetItem(text);
    if (!editable)
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

} // namespace

struct UncertaintyWindow::Job {
    std::atomic<bool> cancel{false};
    std::atomic<int> completed{0};
    Method method = Method::FirstOrder;
    Analysis firstOrder;
    Analysis monteCarlo;
};

UncertaintyWindow::UncertaintyWindow(Workspace& workspace)
    : workspace_(workspace) {
    setObjectName(engine::toQString(engine::kUncertaintyWindowKey));
    setWindowTitle(QStringLiteral("Measurement uncertainty"));

    auto* title =
        new QLabel(QStringLiteral("MEASUREMENT UNCERTAINTY OF THE PERFORMANCE INDICATORS"));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    lblArrangement = new QLabel;
    lblArrangement->setObjectName(QStringLiteral("lblArrangement"));
    lblArrangement->setFont(bold);

    auto* accuracyFrame =
        new QGroupBox(QStringLiteral("Assumed accuracies (half-width, rectangular)"));
    tblAccuracy = new QTableWidget(kInputCount, 4);
    tblAccuracy->setObjectName(QStringLiteral("tblAccuracy"));
    tblAccuracy->setHorizontalHeaderLabels({QStringLiteral("Measured input"),
                                            QStringLiteral("Reading"), QStringLiteral("+/-"),
                                            QStringLiteral("Unit")});
    tblAccuracy->verticalHeader()->hide();
    tblAccuracy->horizontalHeader()->setStretchLastSection(true);
    cmdRestore = new QPushButton(QStringLiteral("Restore the accuracies of the hints"));
    cmdRestore->setObjectName(QStringLiteral("cmdRestore"));
    tblAccuracy->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    tblAccuracy->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tblAccuracy->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* humidityNote =
        new QLabel(QStringLiteral("* The hint's \"+/-0.05\" for the relative humidity, read as a "
                                  "fraction of saturation: +/- 5 % RH (percentage points)."));
    humidityNote->setWordWrap(true);
    auto* accuracyLayout = new QVBoxLayout(accuracyFrame);
    accuracyLayout->addWidget(tblAccuracy);
    accuracyLayout->addWidget(humidityNote);
    accuracyLayout->addWidget(cmdRestore, 0, Qt::AlignLeft);

    auto* methodFrame = new QGroupBox(QStringLiteral("Method"));
    optFirstOrder = new QRadioButton(QStringLiteral("First order (sensitivities)"));
    optFirstOrder->setObjectName(QStringLiteral("optFirstOrder"));
    optMonteCarlo = new QRadioButton(QStringLiteral("Monte Carlo (10000 draws, fixed seed)"));
    optMonteCarlo->setObjectName(QStringLiteral("optMonteCarlo"));
    optFirstOrder->setChecked(true);
    calculateButton = new QPushButton(QStringLiteral("CALCULATE"));
    calculateButton->setObjectName(engine::toQString(engine::kUncertaintyCalculateKey));
    cmdCancel = new QPushButton(QStringLiteral("Cancel"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setEnabled(false);
    progress = new QProgressBar;
    progress->setObjectName(QStringLiteral("progress"));
    progress->setVisible(false);
    auto* methodLayout = new QGridLayout(methodFrame);
    methodLayout->addWidget(optFirstOrder, 0, 0);
    methodLayout->addWidget(optMonteCarlo, 1, 0);
    methodLayout->addWidget(calculateButton, 0, 1);
    methodLayout->addWidget(cmdCancel, 1, 1);
    methodLayout->addWidget(progress, 2, 0, 1, 2);

    tblResults = new QTableWidget(0, 7);
    tblResults->setObjectName(QStringLiteral("tblResults"));
    tblResults->setHorizontalHeaderLabels(
        {QStringLiteral("P"), QStringLiteral("Result"), QStringLiteral("Value"),
         QStringLiteral("U (k = 2)"), QStringLiteral("U [%]"),
         QStringLiteral("Shares of the variance [%]"), QStringLiteral("Check")});
    tblResults->verticalHeader()->hide();
    tblResults->horizontalHeader()->setStretchLastSection(true);
    tblResults->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lblVerdict = new QLabel;
    lblVerdict->setObjectName(QStringLiteral("lblVerdict"));
    lblVerdict->setWordWrap(true);
    lblVerdict->setFont(bold);
    lblNotes = new QLabel;
    lblNotes->setObjectName(QStringLiteral("lblNotes"));
    lblNotes->setWordWrap(true);
    lblNotes->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* left = new QVBoxLayout;
    left->addWidget(accuracyFrame);
    left->addWidget(methodFrame);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(tblResults, 1);
    right->addWidget(lblVerdict);
    right->addWidget(lblNotes);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 0);
    columns->addLayout(right, 1);
    for (QTableWidget* table : {tblAccuracy, tblResults})
        table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(lblArrangement);
    layout->addLayout(columns, 1);

    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(100);
    connect(progressTimer_, &QTimer::timeout, this, [this] {
        if (job_)
            progress->setValue(job_->completed.load());
    });
    connect(tblAccuracy, &QTableWidget::cellChanged, this, &UncertaintyWindow::accuracyEdited);
    connect(cmdRestore, &QPushButton::clicked, this, &UncertaintyWindow::restoreAccuracies);
    connect(calculateButton, &QPushButton::clicked, this, &UncertaintyWindow::calculate);
    connect(cmdCancel, &QPushButton::clicked, this, &UncertaintyWindow::cancel);
    loadAccuracies();
}

UncertaintyWindow::~UncertaintyWindow() {
    if (thread_) {
        job_->cancel = true;
        thread_->wait();
        delete thread_;
    }
}

std::array<double, kChainInputCount> UncertaintyWindow::fieldValues(Workspace& workspace,
                                                                    Arrangement arrangement) {
    std::array<double, kChainInputCount> values;
    values.fill(std::numeric_limits<double>::quiet_NaN());
    int k = 0;
    for (const report::CellMapRow& row : report::kCellMap) {
        const report::ControlRef& ref =
            arrangement == Arrangement::CounterFlow ? row.counterFlow : row.crossFlow;
        if (!QLatin1String(ref.control).startsWith(QLatin1String("Text")) || k == kChainInputCount)
            continue;
        const auto text =
            workspace.controlText(QLatin1String(ref.form), QLatin1String(ref.control));
        if (const auto v = text ? numtext::readNumber(*text) : std::nullopt)
            values[k] = *v;
        ++k;
    }
    return values;
}

Accuracies UncertaintyWindow::accuracies() const {
    Accuracies a = hintAccuracies();
    for (int i = 0; i < kInputCount; ++i)
        if (const QTableWidgetItem* item = tblAccuracy->item(i, 2))
            a[i].value = numtext::readNumber(item->text()).value_or(a[i].value);
    return a;
}

void UncertaintyWindow::setAccuracies(const Accuracies& accuracies) {
    filling_ = true;
    for (int i = 0; i < kInputCount; ++i) {
        tblAccuracy->setItem(i, 0,
                             cell(QStringLiteral("%1 %2 [%3]")
                                      .arg(QLatin1String(kTableNames[i]), QLatin1String(kShort[i]),
                                           QLatin1String(inputInfo(i).unit))));
        if (!tblAccuracy->item(i, 1))
            tblAccuracy->setItem(i, 1, cell(QString()));
        tblAccuracy->setItem(i, 2, cell(numberLocale().toString(accuracies[i].value), true));
        tblAccuracy->setItem(i, 3, cell(accuracyUnit(i, accuracies[i])));
    }
    tblAccuracy->resizeColumnsToContents();
    filling_ = false;
}

void UncertaintyWindow::loadAccuracies() {
    Accuracies a = hintAccuracies();
    for (int i = 0; i < kInputCount; ++i) {
        const QString kept = workspace_.desktop().readSetting(applicationTitle(), kSection,
                                                              QString::fromLatin1(kKeys[i]));
        bool ok = false;
        const double v = kept.toDouble(&ok); // stored with the decimal point
        if (ok && std::isfinite(v) && v >= 0)
            a[i].value = v;
    }
    setAccuracies(a);
}

void UncertaintyWindow::saveAccuracies() const {
    const Accuracies a = accuracies();
    for (int i = 0; i < kInputCount; ++i)
        workspace_.desktop().writeSetting(applicationTitle(), kSection,
                                          QString::fromLatin1(kKeys[i]),
                                          QString::number(a[i].value, 'g', 15));
}

void UncertaintyWindow::restoreAccuracies() {
    setAccuracies(hintAccuracies());
    saveAccuracies();
}

void UncertaintyWindow::accuracyEdited(int row, int column) {
    if (filling_ || column != 2)
        return;
    QTableWidgetItem* item = tblAccuracy->item(row, column);
    const auto v = numtext::readNumber(item->text());
    if (!v || !std::isfinite(*v) || *v < 0) {
        workspace_.desktop().message(this, engine::toQString(engine::messages::kErrorTitle),
                                     QStringLiteral("Invalid entries, an accuracy must be a "
                                                    "number of zero or more"),
                                     MessageIcon::Critical);
        loadAccuracies(); // back to the accuracies last kept
        return;
    }
    saveAccuracies();
}

void UncertaintyWindow::follow() {
    arrangement_ = workspace_.chosenArrangement();
    lblArrangement->setText(arrangement_ == Arrangement::CounterFlow
                                ? QStringLiteral("COUNTER FLOW")
                                : QStringLiteral("CROSS FLOW"));
    calculate();
}

bool UncertaintyWindow::isRunning() const {
    return thread_ != nullptr;
}

void UncertaintyWindow::setRunning(bool running) {
    calculateButton->setEnabled(!running);
    cmdCancel->setEnabled(running);
    cmdRestore->setEnabled(!running);
    tblAccuracy->setEnabled(!running);
    progress->setVisible(running && job_ && job_->method == Method::MonteCarlo);
    if (running)
        progressTimer_->start();
    else
        progressTimer_->stop();
}

void UncertaintyWindow::calculate() {
    if (thread_)
        return;
    if (lblArrangement->text().isEmpty())
        lblArrangement->setText(QStringLiteral("COUNTER FLOW"));
    const auto values = fieldValues(workspace_, arrangement_);
    const Case c = caseFromInputs(values);
    for (int i = 0; i < kInputCount; ++i)
        tblAccuracy->item(i, 1)->setText(
            std::isfinite(values[i]) ? numberLocale().toString(values[i]) : QString());
    if (c.problems < 1) {
        workspace_.desktop().message(this, engine::toQString(engine::messages::kMissingDataTitle),
                                     QStringLiteral("All fields of Problem 1 require data"),
                                     MessageIcon::Warning);
        Q_EMIT finished();
        return;
    }
    if (arrangement_ != shownArrangement_) { // figures of the other arrangement go
        tblResults->setRowCount(0);
        lblVerdict->clear();
        lblNotes->clear();
    }
    job_ = std::make_shared<Job>();
    job_->method = optMonteCarlo->isChecked() ? Method::MonteCarlo : Method::FirstOrder;
    progress->setRange(0, monteCarloDraws);
    progress->setValue(0);
    const Arrangement arrangement = arrangement_;
    const Accuracies acc = accuracies();
    const int draws = monteCarloDraws;
    std::shared_ptr<Job> job = job_;
    thread_ = QThread::create([job, arrangement, c, acc, draws] {
        job->firstOrder = firstOrder(arrangement, c, acc);
        if (job->method != Method::MonteCarlo)
            return;
        MonteCarloOptions options;
        options.draws = draws;
        options.threads = std::max(1, QThread::idealThreadCount());
        options.completed = &job->completed;
        options.cancel = &job->cancel;
        job->monteCarlo = monteCarlo(arrangement, c, acc, options);
    });
    connect(thread_, &QThread::finished, this, &UncertaintyWindow::showJob);
    setRunning(true);
    thread_->start();
}

void UncertaintyWindow::cancel() {
    if (job_)
        job_->cancel = true;
}

void UncertaintyWindow::showJob() {
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    const std::shared_ptr<Job> job = job_;
    setRunning(false);
    if (job->cancel) {
        lblNotes->setText(
            QStringLiteral("Monte Carlo cancelled after %1 of %2 draws%3.")
                .arg(job->completed.load())
                .arg(monteCarloDraws)
                .arg(tblResults->rowCount() > 0
                         ? QStringLiteral(
                               "; the figures shown are those of the previous calculation")
                         : QString()));
    } else {
        shownArrangement_ = arrangement_;
        if (job->method == Method::MonteCarlo)
            showAnalysis(job->monteCarlo, &job->firstOrder);
        else
            showAnalysis(job->firstOrder, nullptr);
    }
    Q_EMIT finished();
}

void UncertaintyWindow::showAnalysis(const Analysis& shownAnalysis, const Analysis* firstOrderRun) {
    QStringList notes;
    QStringList disagreeing;
    tblResults->setRowCount(0);
    const int problems = std::max(shownAnalysis.nominal.problemsDone, 1);
    for (int r = 0; r < kResultCount; ++r) {
        const ResultInfo& info = resultInfo(r);
        if (info.problem > problems && info.problem > 1)
            continue;
        const ResultUncertainty& u = shownAnalysis.results[r];
        const Figures f = figures(u.value, u.expanded);
        QString shares;
        QString check;
        if (firstOrderRun) {
            const double fo = firstOrderRun->results[r].expanded;
            check = QStringLiteral("first order U %1").arg(figures(u.value, fo).expanded);
            if (methodsDisagree(fo, u.expanded)) {
                check += QStringLiteral(": differs by more than 10 %");
                disagreeing << QString::fromLatin1(info.label);
            }
            if (u.failedDraws > 0)
                check += QStringLiteral("; %1 draws failed").arg(u.failedDraws);
        }
        const Analysis& withShares = firstOrderRun ? *firstOrderRun : shownAnalysis;
        for (const Contribution& c : withShares.results[r].top)
            if (c.input >= 0 && std::isfinite(withShares.results[r].expanded) && c.share >= 0.5)
                shares += QStringLiteral("%1%2 %3").arg(
                    shares.isEmpty() ? QString() : QStringLiteral(", "),
                    QString::fromLatin1(kShort[c.input]), shown(c.share, 0));
        const int row = tblResults->rowCount();
        tblResults->insertRow(row);
        const QStringList texts = {QString::number(info.problem),
                                   QStringLiteral("%1 [%2]").arg(QString::fromLatin1(info.label),
                                                                 QString::fromLatin1(info.unit)),
                                   f.value,
                                   f.expanded,
                                   f.relative,
                                   shares,
                                   check};
        for (int col = 0; col < texts.size(); ++col)
            tblResults->setItem(row, col, cell(texts[col]));
    }
    tblResults->resizeColumnsToContents();

    const ResultUncertainty& dev = shownAnalysis.results[DesignDeviation];
    if (std::isfinite(dev.value) && std::isfinite(dev.expanded)) {
        const Figures f = figures(dev.value, dev.expanded);
        const QString figure =
            QStringLiteral("(Qa - Qd) / Qd = %1 % +/- %2 %").arg(f.value, f.expanded);
        switch (verdict(dev.value, dev.expanded)) {
        case Verdict::AboveDesign:
            lblVerdict->setText(QStringLiteral("Acceptance test: %1, beyond the measurement "
                                               "uncertainty: the tower performs above its design.")
                                    .arg(figure));
            break;
        case Verdict::BelowDesign:
            lblVerdict->setText(QStringLiteral("Acceptance test: %1, beyond the measurement "
                                               "uncertainty: the tower performs below its design.")
                                    .arg(figure));
            break;
        case Verdict::CannotTell:
            lblVerdict->setText(
                QStringLiteral("Acceptance test: %1, within the measurement "
                               "uncertainty: the test cannot tell whether the tower "
                               "meets its design.")
                    .arg(figure));
            break;
        }
    } else
        lblVerdict->setText(QStringLiteral("Acceptance test: no verdict (the deviation from design "
                                           "or its uncertainty is not available)."));

    if (!disagreeing.isEmpty())
        notes << QStringLiteral("First order and Monte Carlo differ by more than 10 % for: %1. The "
                                "model is not linear enough there; the Monte Carlo figure is the "
                                "sounder one.")
                     .arg(disagreeing.join(QStringLiteral(", ")));
    for (const std::string& failure : shownAnalysis.failures)
        notes << QStringLiteral("Failed: %1").arg(QString::fromStdString(failure));
    if (shownAnalysis.method == Method::MonteCarlo)
        notes << QStringLiteral("Monte Carlo: %1 draws.").arg(shownAnalysis.draws);
    lblNotes->setText(notes.join(QLatin1Char('\n')));
}
