#include "app/reportwindow.h"

#include "app/aboutbox.h"
#include "app/auditdocument.h"
#include "app/history.h"
#include "app/reportaccuracies.h"
#include "app/windows.h"
#include "engine/audit.h"
#include "engine/keys.h"
#include "engine/message.h"
#include "ui/currencytext.h"
#include "ui/desktop.h"
#include "ui/mainwindow.h"
#include "ui/uncertaintywindow.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyle>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("Report");

// The report's pages on a printer have the layout's units in points at this resolution, at
// which the diagrams look as in their own files.
constexpr int kPrinterDpi = 96;

QString arrangementWords(Arrangement a) {
    return a == Arrangement::CounterFlow ? QStringLiteral("counter-flow")
                                         : QStringLiteral("cross-flow");
}

// The Uncertainty window's figures as it shows them; a column empty in every row (the check
// against first order, beside first-order figures) is left out.
auditreport::UncertaintyTable tableOf(const UncertaintyWindow& window) {
    auditreport::UncertaintyTable t;
    t.method = window.lblMethod->text();
    const QTableWidget* table = window.tblResults;
    const auto text = [table](int r, int c) {
        const QTableWidgetItem* item = table->item(r, c);
        return item ? item->text() : QString();
    };
    std::vector<int> columns;
    for (int c = 0; c < table->columnCount(); ++c)
        for (int r = 0; r < table->rowCount(); ++r)
            if (!text(r, c).isEmpty()) {
                columns.push_back(c);
                break;
            }
    for (int c : columns) {
        const QTableWidgetItem* head = table->horizontalHeaderItem(c);
        t.header << (head ? head->text() : QString());
    }
    for (int r = 0; r < table->rowCount(); ++r) {
        QStringList cells;
        for (int c : columns)
            cells << text(r, c);
        t.rows.append(cells);
    }
    t.meaning = window.lblMeaning->text();
    t.verdict = window.lblVerdict->text();
    t.notes = window.lblNotes->text();
    return t;
}

} // namespace

ReportWindow::ReportWindow(Windows& windows, AuditDocument& document)
    : windows_(windows)
    , document_(&document) {
    setObjectName(QStringLiteral("ReportWindow"));
    setWindowTitle(kTitle);

    auto* titleBox = new QGroupBox(QStringLiteral("Title block (saved with the audit)"), this);
    auto* form = new QFormLayout(titleBox);
    const auto addField = [&](const char* name, const QString& caption, const QString& hint) {
        auto* edit = new QLineEdit(titleBox);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setAccessibleName(caption);
        edit->setAccessibleDescription(QString::fromLatin1(name));
        edit->setMaxLength(int(engine::ReportTitle::kMaxLength));
        edit->setPlaceholderText(hint);
        edit->setClearButtonEnabled(true);
        form->addRow(caption + QLatin1Char(':'), edit);
        connect(edit, &QLineEdit::editingFinished, this, &ReportWindow::commitTitle);
        return edit;
    };
    tower = addField("reportTower", QStringLiteral("Tower"),
                     QStringLiteral("name or number of the tower"));
    site = addField("reportSite", QStringLiteral("Site"), QStringLiteral("plant and place"));
    date = addField("reportDate", QStringLiteral("Date"),
                    QStringLiteral("of the measurement, e.g. %1")
                        .arg(QLocale().toString(QDate::currentDate(), QLocale::ShortFormat)));
    engineer = addField("reportEngineer", QStringLiteral("Engineer"),
                        QStringLiteral("who measured and calculated"));

    auto* pageBox = new QGroupBox(QStringLiteral("Report"), this);
    auto* pageLayout = new QVBoxLayout(pageBox);
    contents = new QLabel(pageBox);
    contents->setObjectName(QStringLiteral("reportContents"));
    contents->setWordWrap(true);
    pageLayout->addWidget(contents);
    auto* paperRow = new QHBoxLayout;
    paperBox = new QComboBox(pageBox);
    paperBox->setObjectName(QStringLiteral("reportPaper"));
    paperBox->setAccessibleName(QStringLiteral("Paper"));
    paperBox->addItem(QStringLiteral("A4 (210 x 297 mm)"), int(QPageSize::A4));
    paperBox->addItem(QStringLiteral("Letter (8.5 x 11 in)"), int(QPageSize::Letter));
    setPaper(auditreport::defaultPageSize());
    auto* paperLabel = new QLabel(QStringLiteral("Paper:"), pageBox);
    paperLabel->setBuddy(paperBox);
    paperRow->addWidget(paperLabel);
    paperRow->addWidget(paperBox);
    paperRow->addStretch(1);
    pageLayout->addLayout(paperRow);

    previewButton = new QPushButton(QStringLiteral("Pre&view..."), this);
    previewButton->setObjectName(QStringLiteral("reportPreview"));
    previewButton->setToolTip(QStringLiteral("Show the report's pages; print from there"));
    printButton = new QPushButton(QStringLiteral("&Print..."), this);
    printButton->setObjectName(QStringLiteral("reportPrint"));
    printButton->setToolTip(QStringLiteral("Print the report (Ctrl+P)"));
    pdfButton = new QPushButton(QStringLiteral("Save P&DF..."), this);
    pdfButton->setObjectName(QStringLiteral("reportPdf"));
    pdfButton->setToolTip(QStringLiteral("Save the report as a PDF file"));
    connect(previewButton, &QPushButton::clicked, this, [this] { preview(); });
    connect(printButton, &QPushButton::clicked, this, [this] { print(); });
    connect(pdfButton, &QPushButton::clicked, this, [this] { savePdf(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(previewButton);
    buttons->addWidget(printButton);
    buttons->addWidget(pdfButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(titleBox);
    layout->addWidget(pageBox);
    layout->addStretch(1);
    layout->addLayout(buttons);

    // The program's dialogs; tests set their own answers.
    askPrinter = [this](QPrinter& printer) {
        QPrintDialog dialog(&printer, windows_.mainWindow());
        dialog.setWindowTitle(QStringLiteral("Print the report"));
        return dialog.exec() == QDialog::Accepted;
    };
    showPreview = [this](QPrinter& printer, const std::function<void(QPrinter*)>& paint) {
        QPrintPreviewDialog dialog(&printer, windows_.mainWindow());
        dialog.setWindowTitle(QStringLiteral("Report preview"));
        dialog.resize(windows_.mainWindow()->size() * 0.9);
        connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, paint);
        dialog.exec();
    };

    // A child window of the main window's area, whose close box only hides it.
    MainWindow* main = windows_.mainWindow();
    QMdiSubWindow* sub = main->mdiArea()->addSubWindow(this);
    sub->setAttribute(Qt::WA_DeleteOnClose, false);
    sub->setWindowIcon(main->windowIcon());
    sub->hide();

    // "Report" after "Uncertainty" on the toolbar; Ctrl+P prints from anywhere.
    QToolBar* toolbar = main->toolBar();
    reportAction_ =
        new QAction(style()->standardIcon(QStyle::SP_FileDialogDetailedView), kTitle, toolbar);
    reportAction_->setObjectName(QStringLiteral("Report"));
    reportAction_->setData(QStringLiteral("Report"));
    reportAction_->setToolTip(
        QStringLiteral("Report: the audit's report to preview, print (Ctrl+P) or save as PDF"));
    const QList<QAction*> actions = toolbar->actions();
    QAction* before = nullptr;
    for (qsizetype i = 0; i + 1 < actions.size(); ++i)
        if (actions[i]->data().toString() == QLatin1String("Uncertainty"))
            before = actions[i + 1];
    toolbar->insertAction(before, reportAction_);
    printAction_ = new QAction(QStringLiteral("Print Report..."), main);
    printAction_->setObjectName(QStringLiteral("PrintReport"));
    printAction_->setShortcut(QKeySequence::Print);
    main->addAction(printAction_);
    connect(reportAction_, &QAction::triggered, this, &ReportWindow::showWindow);
    connect(printAction_, &QAction::triggered, this, [this] { print(); });

    // A title typed and not yet handed over goes to the engine with the windows' texts, at the
    // start of every step and before undo and redo, as a field's edit does.
    connect(&windows_, &Windows::textsPushed, this, &ReportWindow::commitTitle);
    // The title block follows undo, redo and opening; the contents follow every step.
    connect(&document.history(), &History::changed, this, &ReportWindow::pullTitle);
    connect(&windows_, &Windows::textsPulled, this, [this] {
        if (isVisible())
            describeContents();
    });
    pullTitle();
}

void ReportWindow::showWindow() {
    pullTitle();
    windows_.showChild(this);
    // The Problem windows' size suits this window too; it needs less height.
    if (QMdiSubWindow* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->resize(sub->width(), std::min(sub->height(), sub->sizeHint().height() + 40));
    tower->setFocus();
}

void ReportWindow::showEvent(QShowEvent* event) {
    describeContents();
    QWidget::showEvent(event);
}

QPageSize::PageSizeId ReportWindow::paper() const {
    return QPageSize::PageSizeId(paperBox->currentData().toInt());
}

void ReportWindow::setPaper(QPageSize::PageSizeId paper) {
    const int index = paperBox->findData(int(paper));
    paperBox->setCurrentIndex(index < 0 ? 0 : index);
}

void ReportWindow::commitTitle() {
    // While the audit is replaced or a state put back, the fields show the new title soon.
    if (!document_ || document_->history().paused())
        return;
    engine::Audit& audit = windows_.audit();
    const engine::ReportTitle typed{tower->text(), site->text(), date->text(), engineer->text()};
    if (typed == audit.reportTitle())
        return;
    audit.setReportTitle(typed);
    document_->history().record(QStringLiteral("report title"));
}

void ReportWindow::pullTitle() {
    const engine::ReportTitle& title = windows_.audit().reportTitle();
    const std::pair<QLineEdit*, const QString*> fields[] = {{tower, &title.tower},
                                                            {site, &title.site},
                                                            {date, &title.date},
                                                            {engineer, &title.engineer}};
    for (const auto& [edit, text] : fields)
        if (edit->text() != *text)
            edit->setText(*text);
    if (isVisible())
        describeContents();
}

void ReportWindow::describeContents() {
    const Arrangement a = windows_.chosenArrangement();
    const engine::Audit& audit = windows_.audit();
    std::vector<int> calculated;
    for (int p = 1; p <= engine::kProblems; ++p)
        if (audit.currency(a, p).calculated)
            calculated.push_back(p);
    QString text =
        calculated.empty()
            ? QStringLiteral("The %1 tower (chosen on the start window) has no calculated "
                             "Problem yet: the report would hold its title block alone.")
                  .arg(arrangementWords(a))
            : QStringLiteral("The report holds %1 of the %2 tower (chosen on the start window), "
                             "with their diagrams.")
                  .arg(currencytext::problemList(calculated), arrangementWords(a));
    const std::vector<int> outOfDate = currencytext::outOfDateProblems(audit, a);
    if (!outOfDate.empty())
        text += QStringLiteral(" %1 %2 marked out of date.")
                    .arg(currencytext::problemList(outOfDate),
                         outOfDate.size() == 1 ? QStringLiteral("is") : QStringLiteral("are"));
    text += options().uncertainty
                ? QStringLiteral(" The uncertainty table is the Uncertainty window's.")
                : QStringLiteral(" The uncertainty is not calculated (toolbar \"Uncertainty\"): "
                                 "the report says so.");
    contents->setText(text);
}

auditreport::Options ReportWindow::options() {
    auditreport::Options o;
    o.arrangement = windows_.chosenArrangement();
    o.program = QStringLiteral("ctaudit ") + AboutBox::version();
    o.made = QDateTime::currentDateTime();
    o.accuracies = reportAccuracies(windows_);
    if (windows_.isLoaded(engine::toQString(engine::kUncertaintyWindowKey))) {
        const UncertaintyWindow* u = windows_.uncertaintyWindow();
        if (u->arrangement() == o.arrangement && u->hasFigures())
            o.uncertainty = tableOf(*u);
    }
    return o;
}

bool ReportWindow::paintOn(QPrinter& printer, const auditreport::Options& options) {
    windows_.desktop().setWaitCursor(windows_.mainWindow(), true);
    const int pages = auditreport::paint(printer, windows_.audit(), options);
    windows_.desktop().setWaitCursor(windows_.mainWindow(), false);
    if (pages == 0)
        windows_.desktop().message(windows_.mainWindow(), kTitle,
                                   QStringLiteral("The report could not be printed: the printer "
                                                  "did not accept its pages."),
                                   MessageIcon::Critical);
    return pages > 0;
}

std::optional<auditreport::Options> ReportWindow::prepare(QPrinter& printer) {
    // Edits typed and not yet handed over belong to the report.
    if (!document_)
        return std::nullopt;
    document_->history().commit();
    commitTitle();
    printer.setResolution(kPrinterDpi);
    printer.setDocName(QStringLiteral("Energy audit report"));
    auditreport::preparePage(printer, paper());
    return options();
}

bool ReportWindow::preview() {
    QPrinter printer(QPrinter::HighResolution);
    const std::optional<auditreport::Options> prepared = prepare(printer);
    if (!prepared)
        return false;
    const auditreport::Options& o = *prepared;
    bool painted = true;
    showPreview(printer, [this, &o, &painted](QPrinter* p) {
        painted = p && auditreport::paint(*p, windows_.audit(), o) > 0;
    });
    return painted;
}

bool ReportWindow::print() {
    QPrinter printer(QPrinter::HighResolution);
    const std::optional<auditreport::Options> prepared = prepare(printer);
    if (!prepared || !askPrinter(printer))
        return false;
    if (!paintOn(printer, *prepared))
        return false;
    windows_.setStatus(
        printer.outputFileName().isEmpty()
            ? QStringLiteral("The report went to the printer \"%1\".").arg(printer.printerName())
            : QStringLiteral("The report was printed to \"%1\".")
                  .arg(QDir::toNativeSeparators(printer.outputFileName())));
    return true;
}

QString ReportWindow::suggestedPdfName() const {
    const QString audit = document_ ? document_->fileName() : QString();
    if (!audit.isEmpty()) {
        const QFileInfo info(audit);
        return info.dir().filePath(info.completeBaseName() + QStringLiteral("-report.pdf"));
    }
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(documents.isEmpty() ? QDir::homePath() : documents)
        .filePath(QStringLiteral("audit-report.pdf"));
}

bool ReportWindow::savePdf() {
    if (!document_)
        return false;
    document_->history().commit();
    commitTitle();
    QString path = windows_.desktop().saveFileName(
        windows_.mainWindow(), QStringLiteral("Save the report as PDF"), suggestedPdfName(),
        QStringLiteral("PDF document (*.pdf)"));
    if (path.isEmpty())
        return false;
    // The dialog asked about the name as typed, not about the one with the extension.
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QStringLiteral(".pdf");
        if (!mayReplaceFile(windows_.desktop(), windows_.mainWindow(),
                            QStringLiteral("Save the report as PDF"), path))
            return false;
    }
    return savePdfTo(path);
}

bool ReportWindow::savePdfTo(const QString& path) {
    commitTitle();
    QString error;
    windows_.desktop().setWaitCursor(windows_.mainWindow(), true);
    const bool written = auditreport::writePdf(path, windows_.audit(), options(), paper(), &error);
    windows_.desktop().setWaitCursor(windows_.mainWindow(), false);
    const QString shown = QDir::toNativeSeparators(path);
    if (!written) {
        windows_.desktop().message(
            windows_.mainWindow(), kTitle,
            QStringLiteral("The report could not be saved as \"%1\": %2.\n\nNo file was written; "
                           "a file of that name is left as it was.")
                .arg(shown, error),
            MessageIcon::Critical);
        return false;
    }
    windows_.setStatus(QStringLiteral("The report was saved as \"%1\".").arg(shown));
    return true;
}
