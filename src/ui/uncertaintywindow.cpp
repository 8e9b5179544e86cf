#include "ui/uncertaintywindow.h"

#include "engine/audit.h"
#include "engine/cellmap.h"
#include "engine/keys.h"
#include "engine/message.h"
#include "engine/messages.h"
#include "engine/numtext.h"
#include "ui/currencytext.h"
#include "ui/desktop.h"
#include "ui/enterkey.h"
#include "ui/workspace.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
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

// One unit in the last digit a number text shows: "47.50" 0.01, "2147" 1, "1E-07" 1E-07.
double lastDigitUnit(const QString& text) {
    const qsizetype e = text.indexOf(QLatin1Char('E'), 0, Qt::CaseInsensitive);
    const QString mantissa = e < 0 ? text : text.left(e);
    const int exponent = e < 0 ? 0 : text.mid(e + 1).toInt();
    const QString point = QLocale().decimalPoint();
    const qsizetype at = mantissa.indexOf(point);
    const auto decimals = at < 0 ? 0 : int(mantissa.size() - at - point.size());
    return std::pow(10.0, exponent - decimals);
}

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
    Basis basis; // what the run calculates from
    Method method = Method::FirstOrder;
    Analysis firstOrder;
    Analysis monteCarlo;
};

UncertaintyWindow::UncertaintyWindow(Workspace& workspace)
    : workspace_(workspace) {
    installEnterKey();
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
    optMonteCarlo =
        new QRadioButton(QStringLiteral("Monte Carlo (to two significant digits, fixed seed)"));
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

    lblMethod = new QLabel;
    lblMethod->setObjectName(QStringLiteral("lblMethod"));
    lblMethod->setWordWrap(true);
    // Room for two lines, so that the table's stretch never squeezes it.
    lblMethod->setMinimumHeight(2 * lblMethod->fontMetrics().lineSpacing() + 4);
    tblResults = new QTableWidget(0, 7);
    tblResults->setObjectName(QStringLiteral("tblResults"));
    tblResults->setHorizontalHeaderLabels(resultsHeader());
    tblResults->horizontalHeaderItem(5)->setToolTip(
        QStringLiteral("The inputs' shares of the variance (first order), per cent"));
    tblResults->horizontalHeaderItem(6)->setToolTip(
        QStringLiteral("Monte Carlo: the first-order U beside it, and the draws that failed"));
    tblResults->verticalHeader()->hide();
    tblResults->horizontalHeader()->setStretchLastSection(true);
    // The columns are fitted to the width left beside the vertical scroll bar, which therefore
    // never comes and goes with the rows' heights.
    tblResults->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tblResults->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    tblResults->setWordWrap(true);
    tblResults->setTextElideMode(Qt::ElideNone);
    tblResults->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblResults->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblResults->viewport()->installEventFilter(this);
    auto* copy = new QAction(QStringLiteral("Copy"), tblResults);
    copy->setObjectName(QStringLiteral("actCopyResults"));
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    connect(copy, &QAction::triggered, this, &UncertaintyWindow::copyResults);
    tblResults->addAction(copy);
    tblResults->setContextMenuPolicy(Qt::ActionsContextMenu);
    lblMeaning = new QLabel(
        QStringLiteral("U: the expanded uncertainty, coverage factor k = 2 (about 95 %), from the "
                       "instruments' accuracies only. U [%]: U in per cent of the value; for "
                       "(Qa - Qd) / Qd, itself a percentage, U in percentage points (pp)."));
    lblMeaning->setObjectName(QStringLiteral("lblMeaning"));
    lblMeaning->setWordWrap(true);
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
    right->addWidget(lblMethod);
    right->addWidget(tblResults, 1);
    right->addWidget(lblMeaning);
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

std::array<double, kChainInputCount>
UncertaintyWindow::calculatedValues(const engine::Audit& audit, Arrangement arrangement,
                                    std::vector<int>* used, std::vector<int>* leftOut) {
    // The model's chain runs from Problem 1 on: it takes the current Problems up to the first
    // that is not current.
    int taken = 0;
    while (taken < engine::kProblems && audit.currency(arrangement, taken + 1).current())
        ++taken;
    if (used) {
        used->clear();
        for (int problem = 1; problem <= taken; ++problem)
            used->push_back(problem);
    }
    if (leftOut) {
        leftOut->clear();
        for (int problem = taken + 1; problem <= engine::kProblems; ++problem)
            if (audit.currency(arrangement, problem).calculated)
                leftOut->push_back(problem);
    }
    std::array<double, kChainInputCount> values;
    values.fill(std::numeric_limits<double>::quiet_NaN());
    int k = 0;
    for (const report::CellMapRow& row : report::kCellMap) {
        const report::ControlRef& ref =
            arrangement == Arrangement::CounterFlow ? row.counterFlow : row.crossFlow;
        if (!QLatin1String(ref.control).startsWith(QLatin1String("Text")) || k == kChainInputCount)
            continue;
        const auto where = engine::Audit::problemOf(ref.form);
        if (where && where->second <= taken) {
            const auto controls = engine::Audit::controls(where->first, where->second);
            const auto at = std::ranges::find(controls, std::string_view(ref.control));
            const std::vector<QString>& texts = audit.calculatedFields(where->first, where->second);
            const auto index = std::size_t(at - controls.begin());
            if (index < texts.size())
                values[std::size_t(k)] =
                    numtext::readNumber(texts[index]).value_or(values[std::size_t(k)]);
        }
        ++k;
    }
    return values;
}

bool UncertaintyWindow::Basis::sameAs(const Basis& other) const {
    if (arrangement != other.arrangement || used != other.used || leftOut != other.leftOut ||
        results != other.results)
        return false;
    for (std::size_t k = 0; k < values.size(); ++k)
        if (values[k] != other.values[k] && !(std::isnan(values[k]) && std::isnan(other.values[k])))
            return false;
    for (int i = 0; i < kInputCount; ++i)
        if (accuracies[i].value != other.accuracies[i].value ||
            accuracies[i].relative != other.accuracies[i].relative)
            return false;
    return true;
}

UncertaintyWindow::Basis UncertaintyWindow::currentBasis() const {
    Basis b;
    b.arrangement = arrangement_;
    b.values = calculatedValues(workspace_.audit(), arrangement_, &b.used, &b.leftOut);
    b.accuracies = accuracies();
    const engine::Audit& audit = workspace_.audit();
    for (const report::CellMapRow& row : report::kCellMap) {
        const report::ControlRef& ref =
            arrangement_ == Arrangement::CounterFlow ? row.counterFlow : row.crossFlow;
        const auto where = engine::Audit::problemOf(ref.form);
        if (where && std::ranges::find(b.used, where->second) != b.used.end() &&
            !QLatin1String(ref.control).startsWith(QLatin1String("Text")))
            b.results.push_back(audit.text(where->first, where->second, ref.control));
    }
    return b;
}

void UncertaintyWindow::showReadings(const Basis& basis) {
    for (int i = 0; i < kInputCount; ++i)
        if (QTableWidgetItem* item = tblAccuracy->item(i, 1))
            item->setText(std::isfinite(basis.values[std::size_t(i)])
                              ? numberLocale().toString(basis.values[std::size_t(i)])
                              : QString());
}

void UncertaintyWindow::pullTexts() {
    const Basis now = currentBasis();
    showReadings(now);
    if (isRunning() || !outcome_ || outcome_->basis.sameAs(now))
        return;
    const Basis& was = outcome_->basis;
    QString what;
    if (was.arrangement != now.arrangement)
        what = QStringLiteral("the arrangement is another one");
    else if (!std::ranges::equal(was.accuracies, now.accuracies,
                                 [](const Accuracy& a, const Accuracy& b) {
                                     return a.value == b.value && a.relative == b.relative;
                                 }))
        what = QStringLiteral("the accuracies have changed");
    else
        what = QStringLiteral("the Problems' calculations have changed");
    outcome_.reset();
    clearFigures(QStringLiteral("No figures: %1 since the last calculation here. Press CALCULATE "
                                "for figures that belong to the audit as it is.")
                     .arg(what));
}

void UncertaintyWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    pullTexts();
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

Accuracies UncertaintyWindow::savedAccuracies(Desktop& desktop) {
    Accuracies a = hintAccuracies();
    for (int i = 0; i < kInputCount; ++i) {
        const QString kept =
            desktop.readSetting(applicationTitle(), kSection, QString::fromLatin1(kKeys[i]));
        bool ok = false;
        const double v = kept.toDouble(&ok); // stored with the decimal point
        if (ok && std::isfinite(v) && v >= 0)
            a[i].value = v;
    }
    return a;
}

void UncertaintyWindow::loadAccuracies() {
    setAccuracies(savedAccuracies(workspace_.desktop()));
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
    pullTexts();
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
        pullTexts();
        return;
    }
    saveAccuracies();
    pullTexts();
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

bool UncertaintyWindow::hasFigures() const {
    return outcome_ && !thread_ && tblResults->rowCount() > 0;
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
    const Basis basis = currentBasis();
    showReadings(basis);
    const Case c = caseFromInputs(basis.values);
    if (c.problems < 1) {
        workspace_.desktop().message(
            this, engine::toQString(engine::messages::kMissingDataTitle),
            QStringLiteral("Problem 1 of the %1 has not been calculated: press CALCULATE in its "
                           "window first. The uncertainty is stated for calculated results.")
                .arg(basis.arrangement == Arrangement::CounterFlow ? QStringLiteral("counter flow")
                                                                   : QStringLiteral("cross flow")),
            MessageIcon::Warning);
        pullTexts();
        Q_EMIT finished();
        return;
    }
    job_ = std::make_shared<Job>();
    job_->basis = basis;
    job_->method = optMonteCarlo->isChecked() ? Method::MonteCarlo : Method::FirstOrder;
    // The bar runs up to the cap; a run that becomes stable ends earlier.
    progress->setRange(0, monteCarloCap);
    progress->setFormat(QStringLiteral("%v draws"));
    progress->setValue(0);
    // While it runs, only the progress shows.
    clearFigures(job_->method == Method::MonteCarlo
                     ? QStringLiteral("Calculating: Monte Carlo, batches of %1 draws until the "
                                      "figures are stable ...")
                           .arg(monteCarloBatch)
                     : QStringLiteral("Calculating: first order ..."));
    const Arrangement arrangement = arrangement_;
    const Accuracies acc = basis.accuracies;
    const int batch = monteCarloBatch;
    const int cap = monteCarloCap;
    std::shared_ptr<Job> job = job_;
    thread_ = QThread::create([job, arrangement, c, acc, batch, cap] {
        job->firstOrder = firstOrder(arrangement, c, acc);
        if (job->method != Method::MonteCarlo)
            return;
        MonteCarloOptions options;
        options.draws = batch;
        // The window states U alone (about the measured chain's value), so U is what must
        // hold to its two digits.
        options.judged = uncertainty::UncertaintyFigure;
        options.adaptive = true;
        options.maxDraws = cap;
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
    const Basis now = currentBasis();
    if (job->cancel && job->method == Method::MonteCarlo) {
        // The previous figures come back while they still belong to the audit.
        const bool previous = outcome_ && outcome_->basis.sameAs(now);
        if (previous)
            showOutcome(*outcome_);
        else {
            outcome_.reset();
            clearFigures(QStringLiteral("No figures."));
        }
        const QString note = QStringLiteral("Monte Carlo cancelled after %1 draws%2.")
                                 .arg(job->completed.load())
                                 .arg(previous ? QStringLiteral("; the figures shown are those of "
                                                                "the previous calculation")
                                               : QString());
        lblNotes->setText(lblNotes->text().isEmpty() ? note
                                                     : note + QLatin1Char('\n') + lblNotes->text());
    } else if (!job->basis.sameAs(now)) {
        outcome_.reset();
        clearFigures(QStringLiteral("No figures: the audit or the accuracies changed while the "
                                    "calculation ran. Press CALCULATE again."));
    } else {
        Outcome outcome;
        outcome.basis = job->basis;
        if (job->method == Method::MonteCarlo) {
            outcome.analysis = job->monteCarlo;
            outcome.firstOrder = job->firstOrder;
        } else
            outcome.analysis = job->firstOrder;
        outcome_ = std::move(outcome);
        showOutcome(*outcome_);
    }
    Q_EMIT finished();
}

void UncertaintyWindow::clearFigures(const QString& reason) {
    tblResults->setRowCount(0);
    lblVerdict->clear();
    lblNotes->clear();
    lblMethod->setText(reason);
}

void UncertaintyWindow::showOutcome(const Outcome& outcome) {
    const Analysis& a = outcome.analysis;
    const QString method = a.method == Method::MonteCarlo
                               ? QStringLiteral("Monte Carlo, %1 draws").arg(a.draws)
                               : QStringLiteral("first order (sensitivities)");
    QString text = QStringLiteral("Figures: %1, from %2 as last calculated.")
                       .arg(method, currencytext::problemList(outcome.basis.used));
    if (!outcome.basis.leftOut.empty()) {
        std::vector<int> outOfDate, after;
        for (int problem : outcome.basis.leftOut)
            (workspace_.audit().currency(outcome.basis.arrangement, problem).outOfDate() ? outOfDate
                                                                                         : after)
                .push_back(problem);
        if (!outOfDate.empty())
            text += QStringLiteral(" %1 %2 out of date, left out.")
                        .arg(currencytext::problemList(outOfDate),
                             outOfDate.size() == 1 ? QStringLiteral("is") : QStringLiteral("are"));
        if (!after.empty())
            text +=
                QStringLiteral(" %1 %2 left out: the Problems before %3 not all current.")
                    .arg(currencytext::problemList(after),
                         after.size() == 1 ? QStringLiteral("is") : QStringLiteral("are"),
                         after.size() == 1 ? QStringLiteral("it are") : QStringLiteral("them are"));
    }
    lblMethod->setText(text);
    // The figures belong to the audit as it is (pullTexts), so its texts are theirs.
    showAnalysis(a, outcome.firstOrder ? &*outcome.firstOrder : nullptr,
                 windowResults(workspace_.audit(), outcome.basis.arrangement));
}

QStringList UncertaintyWindow::resultsHeader() {
    return {QStringLiteral("P"),         QStringLiteral("Result"), QStringLiteral("Value"),
            QStringLiteral("U (k = 2)"), QStringLiteral("U [%]"),  QStringLiteral("Shares [%]"),
            QStringLiteral("Check")};
}

UncertaintyWindow::WindowResults UncertaintyWindow::windowResults(const engine::Audit& audit,
                                                                  Arrangement arrangement) {
    std::vector<int> used;
    calculatedValues(audit, arrangement, &used);
    WindowResults out;
    for (int r = 0; r < kResultCount; ++r)
        for (const report::CellMapRow& row : report::kCellMap) {
            if (QLatin1String(row.quantity) != QLatin1String(resultInfo(r).column))
                continue;
            const report::ControlRef& ref =
                arrangement == Arrangement::CounterFlow ? row.counterFlow : row.crossFlow;
            const auto where = engine::Audit::problemOf(ref.form);
            if (where && std::ranges::find(used, where->second) != used.end())
                out[std::size_t(r)] = audit.text(where->first, where->second, ref.control);
            break;
        }
    return out;
}

UncertaintyWindow::Texts UncertaintyWindow::texts(const Analysis& shownAnalysis,
                                                  const Analysis* firstOrderRun,
                                                  const WindowResults* windows) {
    Texts out;
    QStringList disagreeing;
    QStringList unlikeWindows; // model values beyond the last digit of the window's text
    const int problems = std::max(shownAnalysis.nominal.problemsDone, 1);
    for (int r = 0; r < kResultCount; ++r) {
        const ResultInfo& info = resultInfo(r);
        if (info.problem > problems && info.problem > 1)
            continue;
        const ResultUncertainty& u = shownAnalysis.results[r];
        Figures f = figures(u.value, u.expanded);
        if (const QString window = windows ? (*windows)[std::size_t(r)] : QString();
            !window.isEmpty()) {
            f.value = window;
            const auto number = numtext::readNumber(window);
            if (number && std::isfinite(u.value) &&
                std::fabs(u.value - *number) > lastDigitUnit(window) * (1 + 1e-9))
                unlikeWindows << QString::fromLatin1(info.label);
        }
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
        out.rows.append({QString::number(info.problem),
                         QStringLiteral("%1 [%2]").arg(QString::fromLatin1(info.label),
                                                       QString::fromLatin1(info.unit)),
                         f.value, f.expanded,
                         // The deviation is a percentage itself: its U is in percentage
                         // points, not a per cent of the deviation.
                         r == DesignDeviation && std::isfinite(u.expanded)
                             ? QStringLiteral("%1 pp").arg(f.expanded)
                             : f.relative,
                         shares, check});
    }

    const ResultUncertainty& dev = shownAnalysis.results[DesignDeviation];
    if (std::isfinite(dev.value) && std::isfinite(dev.expanded)) {
        Figures f = figures(dev.value, dev.expanded);
        // The deviation the acceptance test's window shows, when there is one.
        double deviation = dev.value;
        const QString window = windows ? (*windows)[DesignDeviation] : QString();
        if (const auto number = numtext::readNumber(window)) {
            f.value = window;
            deviation = *number;
        }
        const QString figure =
            QStringLiteral("(Qa - Qd) / Qd = %1 % +/- %2 %").arg(f.value, f.expanded);
        switch (verdict(deviation, dev.expanded)) {
        case Verdict::AboveDesign:
            out.verdict = QStringLiteral("Acceptance test: %1, beyond the measurement "
                                         "uncertainty: the tower performs above its design.")
                              .arg(figure);
            break;
        case Verdict::BelowDesign:
            out.verdict = QStringLiteral("Acceptance test: %1, beyond the measurement "
                                         "uncertainty: the tower performs below its design.")
                              .arg(figure);
            break;
        case Verdict::CannotTell:
            out.verdict = QStringLiteral("Acceptance test: %1, within the measurement "
                                         "uncertainty: the test cannot tell whether the tower "
                                         "meets its design.")
                              .arg(figure);
            break;
        }
    } else
        out.verdict = QStringLiteral("Acceptance test: no verdict (the deviation from design "
                                     "or its uncertainty is not available).");

    if (!disagreeing.isEmpty())
        out.notes << QStringLiteral("First order and Monte Carlo differ by more than 10 % for: "
                                    "%1. The model is not linear enough there; the Monte Carlo "
                                    "figure is the sounder one.")
                         .arg(disagreeing.join(QStringLiteral(", ")));
    if (!unlikeWindows.isEmpty())
        out.notes << QStringLiteral("Values as the Problem windows show them. The model, which "
                                    "carries unrounded values from Problem to Problem, differs "
                                    "from them by more than their last digit for: %1. U is the "
                                    "model's.")
                         .arg(unlikeWindows.join(QStringLiteral(", ")));
    for (const std::string& failure : shownAnalysis.failures)
        out.notes << QStringLiteral("Failed: %1").arg(QString::fromStdString(failure));
    if (shownAnalysis.method == Method::MonteCarlo)
        out.notes << (shownAnalysis.stable
                          ? QStringLiteral("Monte Carlo: %1 draws in %2 batches, U stable to two "
                                           "significant digits.")
                          : QStringLiteral("Monte Carlo: %1 draws in %2 batches, stopped at the "
                                           "cap before U was stable to two significant digits."))
                         .arg(shownAnalysis.draws)
                         .arg(shownAnalysis.batches);
    return out;
}

void UncertaintyWindow::showAnalysis(const Analysis& shownAnalysis, const Analysis* firstOrderRun,
                                     const WindowResults& windows) {
    const Texts t = texts(shownAnalysis, firstOrderRun, &windows);
    tblResults->setRowCount(0);
    for (const QStringList& cells : t.rows) {
        const int row = tblResults->rowCount();
        tblResults->insertRow(row);
        for (int col = 0; col < cells.size(); ++col)
            tblResults->setItem(row, col, cell(cells[col]));
    }
    fitResultColumns();
    lblVerdict->setText(t.verdict);
    lblNotes->setText(t.notes.join(QLatin1Char('\n')));
}

void UncertaintyWindow::fitResultColumns() {
    QHeaderView* header = tblResults->horizontalHeader();
    // The last column fills what is left once the others fit.
    header->setStretchLastSection(false);
    tblResults->resizeColumnsToContents();
    const int available = tblResults->viewport()->width();
    int total = 0;
    for (int col = 0; col < tblResults->columnCount(); ++col)
        total += header->sectionSize(col);
    // The wrapping columns give up what is missing in proportion to their widths, each no
    // narrower than its longest word; what one cannot give, the others give in the next pass.
    const int wrapping[] = {1, 5, 6};
    const QFontMetrics metrics = tblResults->fontMetrics();
    std::array<int, 3> narrowest{};
    for (std::size_t k = 0; k < narrowest.size(); ++k) {
        const int col = wrapping[k];
        int longestWord = metrics.horizontalAdvance(tblResults->horizontalHeaderItem(col)->text());
        for (int row = 0; row < tblResults->rowCount(); ++row)
            if (const QTableWidgetItem* item = tblResults->item(row, col))
                for (const QString& word : item->text().split(QLatin1Char(' ')))
                    longestWord = std::max(longestWord, metrics.horizontalAdvance(word));
        narrowest[k] = longestWord + 12;
    }
    int excess = total - available;
    for (int pass = 0; pass < 4 && excess > 0; ++pass) {
        int room = 0;
        for (std::size_t k = 0; k < narrowest.size(); ++k)
            room += std::max(0, header->sectionSize(wrapping[k]) - narrowest[k]);
        if (room == 0)
            break;
        int given = 0;
        for (std::size_t k = 0; k < narrowest.size(); ++k) {
            const int width = header->sectionSize(wrapping[k]);
            const int spare = std::max(0, width - narrowest[k]);
            const int share = std::min(spare, int(std::ceil(double(excess) * spare / room)));
            header->resizeSection(wrapping[k], width - share);
            given += share;
        }
        excess -= given;
    }
    header->setStretchLastSection(true);
    tblResults->resizeRowsToContents();
}

bool UncertaintyWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tblResults->viewport() && event->type() == QEvent::Resize &&
        tblResults->rowCount() > 0)
        fitResultColumns();
    return QWidget::eventFilter(watched, event);
}

QString UncertaintyWindow::resultsText() const {
    QList<int> rows;
    for (const QModelIndex& index : tblResults->selectionModel()->selectedRows())
        rows << index.row();
    if (rows.isEmpty())
        for (int row = 0; row < tblResults->rowCount(); ++row)
            rows << row;
    std::sort(rows.begin(), rows.end());
    QStringList lines;
    QStringList header;
    for (int col = 0; col < tblResults->columnCount(); ++col)
        header << tblResults->horizontalHeaderItem(col)->text();
    lines << header.join(QLatin1Char('\t'));
    for (int row : rows) {
        QStringList cells;
        for (int col = 0; col < tblResults->columnCount(); ++col) {
            const QTableWidgetItem* item = tblResults->item(row, col);
            // A tab or a line break inside a cell would split it in a spreadsheet.
            QString text = item ? item->text() : QString();
            text.replace(QLatin1Char('\t'), QLatin1Char(' '))
                .replace(QLatin1Char('\n'), QLatin1Char(' '));
            cells << text;
        }
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

void UncertaintyWindow::copyResults() const {
    if (tblResults->rowCount() == 0)
        return;
    QApplication::clipboard()->setText(resultsText());
}
