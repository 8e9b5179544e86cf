#include "app/auditdocument.h"

#include "app/history.h"
#include "app/windows.h"
#include "auditfile/batchinput.h"
#include "engine/atomicfile.h"
#include "engine/audit.h"
#include "engine/fieldtable.h"
#include "engine/keys.h"
#include "engine/message.h"
#include "engine/numtext.h"
#include "ui/desktop.h"
#include "ui/mainwindow.h"
#include "ui/numericfield.h"
#include "ui/performancewindow.h"
#include "ui/resultgrid.h"
#include "ui/startwindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSessionManager>
#include <QStandardPaths>
#include <QStyle>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using auditfile::ProblemRef;

namespace {

const QString kRecentSection = QStringLiteral("Recent Files");
constexpr int kCasesShown = 10000; // the case list's cap; a longer file shows its first cases

constexpr std::array<Arrangement, 2> kArrangements = {Arrangement::CounterFlow,
                                                      Arrangement::CrossFlow};

// The Problem a window shows, or nullopt for any other window.
std::optional<ProblemRef> problemOf(const QWidget* form) {
    if (const auto* problem = qobject_cast<const ProblemWindow*>(form))
        return ProblemRef{problem->arrangement(), problem->problem()};
    return std::nullopt;
}

// The Problem window a widget belongs to, or nullptr.
const ProblemWindow* problemWindowOf(const QWidget* widget) {
    for (; widget; widget = widget->parentWidget())
        if (const auto* problem = qobject_cast<const ProblemWindow*>(widget))
            return problem;
    return nullptr;
}

// Chooses an arrangement on the start window, as a person clicks its option.
void chooseArrangement(Windows& windows, Arrangement arrangement) {
    StartWindow* start = windows.startWindow();
    (arrangement == Arrangement::CounterFlow ? start->counterFlowOption()
                                             : start->crossFlowOption())
        ->setChecked(true);
}

QString nameOf(Arrangement a) {
    return a == Arrangement::CounterFlow ? QStringLiteral("counter flow")
                                         : QStringLiteral("cross flow");
}

QLineEdit* fieldEdit(Windows& windows, Arrangement a, int column) {
    const auditfile::FieldRef f = auditfile::inputField(a, column);
    QWidget* form = windows.form(QString::fromLatin1(f.form));
    return form ? form->findChild<QLineEdit*>(QString::fromLatin1(f.control)) : nullptr;
}

// The calculations a file keeps, by their places in the audit's: every one, in their order;
// beyond the number a file may hold, only those the audit's results follow from: each
// calculated Problem's last calculation and, for each of those, the last calculation of every
// earlier Problem before it (what it read), in their order. Replayed, they give every Problem
// the results it shows.
std::vector<std::size_t> calculationsToSave(const engine::Audit& audit) {
    const std::vector<engine::Calculation>& log = audit.calculations();
    std::vector<std::size_t> kept;
    if (log.size() <= std::size_t(auditfile::kMaxCalculations)) {
        for (std::size_t i = 0; i < log.size(); ++i)
            kept.push_back(i);
        return kept;
    }
    // The last calculation of a Problem before a place in the log.
    const auto lastBefore = [&log](Arrangement a, int problem,
                                   std::size_t end) -> std::optional<std::size_t> {
        for (std::size_t i = end; i-- > 0;)
            if (log[i].arrangement == a && log[i].problem == problem)
                return i;
        return std::nullopt;
    };
    std::vector<bool> keep(log.size(), false);
    std::vector<std::size_t> pending;
    for (Arrangement a : kArrangements)
        for (int problem = 1; problem <= engine::kProblems; ++problem)
            if (audit.currency(a, problem).calculated)
                if (const auto i = lastBefore(a, problem, log.size()))
                    pending.push_back(*i);
    // Each place enters once, so the loop ends after at most as many rounds as the log is long.
    while (!pending.empty()) {
        const std::size_t i = pending.back();
        pending.pop_back();
        if (keep[i])
            continue;
        keep[i] = true;
        for (int earlier = 1; earlier < log[i].problem; ++earlier)
            if (const auto j = lastBefore(log[i].arrangement, earlier, i))
                pending.push_back(*j);
    }
    for (std::size_t i = 0; i < log.size(); ++i)
        if (keep[i])
            kept.push_back(i);
    return kept;
}

// What a file on disk is, to notice that it changed: its size, the time it was last modified
// and a hash of its content (given, or read). Empty when nothing is there; a link or a file
// that is no regular file differs from every audit.
QByteArray fingerprint(const QString& path, const QByteArray* content = nullptr) {
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return QByteArray();
    if (!S_ISREG(status.st_mode))
        return QByteArrayLiteral("not a regular file");
    QByteArray read;
    if (!content) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            read = file.read(auditfile::kMaxFileSize + 1);
        content = &read;
    }
    return QByteArray::number(qint64(status.st_size)) + ' ' +
           QByteArray::number(qint64(status.st_mtim.tv_sec)) + '.' +
           QByteArray::number(qint64(status.st_mtim.tv_nsec)) + ' ' +
           QCryptographicHash::hash(*content, QCryptographicHash::Sha256).toHex();
}

// The case list of a batch input file and the arrangement.
std::optional<AuditDocument::CaseChoice> chooseCase(QWidget* parent, const QString& file,
                                                    const QList<BatchCase>& cases,
                                                    Arrangement preset) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Open a case"));
    auto* layout = new QVBoxLayout(&dialog);
    const qsizetype shown = std::min<qsizetype>(cases.size(), kCasesShown);
    QString caption = QStringLiteral("Cases of %1:").arg(QFileInfo(file).fileName());
    if (shown < cases.size())
        caption += QStringLiteral(" (the first %1 of %2)").arg(shown).arg(cases.size());
    auto* captionLabel = new QLabel(caption, &dialog);
    captionLabel->setTextFormat(Qt::PlainText); // the file's name as it is
    layout->addWidget(captionLabel);

    constexpr int kColumnsShown = 7; // Problem 1's measurements
    auto* table = new QTableWidget(static_cast<int>(shown), kColumnsShown + 1, &dialog);
    QStringList headers{QStringLiteral("Case")};
    for (int c = 0; c < kColumnsShown; ++c)
        headers.append(auditfile::inputColumn(c));
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->setVisible(false);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int r = 0; r < shown; ++r) {
        const BatchCase& c = cases[r];
        table->setItem(r, 0, new QTableWidgetItem(QString::number(c.number)));
        for (int col = 0; col < kColumnsShown; ++col)
            table->setItem(r, col + 1, new QTableWidgetItem(c.values[static_cast<size_t>(col)]));
        for (int col = 0; col <= kColumnsShown; ++col)
            table->item(r, col)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->selectRow(0);
    table->resizeColumnsToContents();
    table->setMinimumSize(560, 260);
    layout->addWidget(table);

    auto* frame = new QGroupBox(QStringLiteral("Cooling Tower Type"), &dialog);
    auto* counter = new QRadioButton(QStringLiteral("Counter Flow"), frame);
    auto* cross = new QRadioButton(QStringLiteral("Cross Flow"), frame);
    (preset == Arrangement::CounterFlow ? counter : cross)->setChecked(true);
    auto* row = new QHBoxLayout(frame);
    row->addWidget(counter);
    row->addWidget(cross);
    row->addStretch(1);
    layout->addWidget(frame);
    // By default the case opens as a new audit; into the current one only when asked for.
    auto* intoCurrent = new QCheckBox(QStringLiteral("Into the current audit"), &dialog);
    intoCurrent->setObjectName(QStringLiteral("IntoCurrent"));
    intoCurrent->setToolTip(QStringLiteral("Fill the fields of the audit on screen (Undo takes it "
                                           "back) instead of opening the case as a new audit"));
    layout->addWidget(intoCurrent);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(table, &QTableWidget::cellDoubleClicked, &dialog, &QDialog::accept);
    layout->addWidget(buttons);

    if (dialog.exec() != QDialog::Accepted || table->currentRow() < 0)
        return std::nullopt;
    return AuditDocument::CaseChoice{
        table->currentRow(), cross->isChecked() ? Arrangement::CrossFlow : Arrangement::CounterFlow,
        intoCurrent->isChecked()};
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The toolbar, the title and the recent files

AuditDocument::AuditDocument(Windows& windows)
    : windows_(windows)
    , history_(std::make_unique<History>(windows)) {
    MainWindow* main = windows_.mainWindow();
    baseTitle_ = main->windowTitle();

    askOpenName = [this] {
        const QString dir = fileName_.isEmpty() ? recentFiles().value(0) : fileName_;
        return QFileDialog::getOpenFileName(
            windows_.mainWindow(), QStringLiteral("Open"), QFileInfo(dir).path(),
            QStringLiteral("Audits and batch input (*.ctaudit *.csv);;Audits (*.ctaudit);;"
                           "Batch input (*.csv);;All files (*)"));
    };
    askSaveName = [this](const QString& suggestion) {
        return QFileDialog::getSaveFileName(windows_.mainWindow(), QStringLiteral("Save As"),
                                            suggestion, QStringLiteral("Audits (*.ctaudit)"));
    };
    askCase = [this](const QString& file, const QList<BatchCase>& cases, Arrangement preset) {
        return chooseCase(windows_.mainWindow(), file, cases, preset);
    };
    askUnsavedChanges = [this](const QString& audit) {
        QMessageBox box(
            QMessageBox::Warning, applicationTitle(),
            audit.isEmpty() ? QStringLiteral("This audit has unsaved changes.")
                            : QStringLiteral("The audit \"%1\" has unsaved changes.").arg(audit),
            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, windows_.mainWindow());
        box.setTextFormat(Qt::PlainText); // the audit's name as it is
        box.setInformativeText(question_);
        box.setDefaultButton(QMessageBox::Save);
        switch (box.exec()) {
        case QMessageBox::Save:
            return Changes::Save;
        case QMessageBox::Discard:
            return Changes::Discard;
        default:
            return Changes::Keep;
        }
    };

    QToolBar* toolbar = main->toolBar();
    toolbar->addSeparator();
    newAction =
        toolbar->addAction(style()->standardIcon(QStyle::SP_FileIcon), QStringLiteral("New"));
    openAction = toolbar->addAction(style()->standardIcon(QStyle::SP_DialogOpenButton),
                                    QStringLiteral("Open"));
    saveAction = toolbar->addAction(style()->standardIcon(QStyle::SP_DialogSaveButton),
                                    QStringLiteral("Save"));
    saveAsAction = new QAction(QStringLiteral("Save As..."), main);
    main->addAction(saveAsAction);
    // The shortcuts spelt out: some desktops have no standard one for Save As.
    const struct {
        QAction* action;
        const char* key;
        QKeySequence shortcut;
        const char* tip;
    } actions[] = {
        {newAction, "New", QKeySequence(Qt::CTRL | Qt::Key_N), "Start a new, untitled audit"},
        {openAction, "Open", QKeySequence(Qt::CTRL | Qt::Key_O),
         "Open an audit or a case of a batch input file"},
        {saveAction, "Save", QKeySequence(Qt::CTRL | Qt::Key_S), "Save the audit"},
        {saveAsAction, "SaveAs", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
         "Save the audit under a new name"},
    };
    for (const auto& a : actions) {
        a.action->setObjectName(QString::fromLatin1(a.key));
        a.action->setData(QString::fromLatin1(a.key));
        a.action->setShortcut(a.shortcut);
        a.action->setToolTip(QStringLiteral("%1 (%2)").arg(
            QLatin1String(a.tip), a.shortcut.toString(QKeySequence::NativeText)));
    }
    connect(newAction, &QAction::triggered, this, [this] { newAudit(); });
    connect(openAction, &QAction::triggered, this, [this] { open(); });
    connect(saveAction, &QAction::triggered, this, [this] { save(); });
    connect(saveAsAction, &QAction::triggered, this, [this] { saveAs(); });

    // Undo and redo beside them.
    toolbar->addSeparator();
    history_->undoAction()->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    history_->redoAction()->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
    toolbar->addAction(history_->undoAction());
    toolbar->addAction(history_->redoAction());
    connect(history_.get(), &History::changed, this, &AuditDocument::updateTitle);
    // A field that is left for another control of the main window hands its edit to the
    // engine, which records it. A message box taking the focus (the field's own check that
    // refuses the value) leaves nothing: the field is emptied and takes the focus back.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (NumericField::of(old) && problemWindowOf(old) && now &&
            now->window() == windows_.mainWindow())
            history_->commit();
    });

    // Nothing unsaved is lost when the program ends.
    main->mayClose = [this] { return mayClose(); };
    connect(qApp, &QGuiApplication::commitDataRequest, this, &AuditDocument::commitDataRequest);
    updateTitle();

    recentMenu_ = new QMenu(main);
    connect(recentMenu_, &QMenu::aboutToShow, this, &AuditDocument::fillRecentMenu);
    if (auto* button = qobject_cast<QToolButton*>(toolbar->widgetForAction(openAction))) {
        button->setMenu(recentMenu_);
        button->setPopupMode(QToolButton::MenuButtonPopup);
    }
    auto* saveMenu = new QMenu(main);
    saveMenu->addAction(saveAsAction);
    if (auto* button = qobject_cast<QToolButton*>(toolbar->widgetForAction(saveAction))) {
        button->setMenu(saveMenu);
        button->setPopupMode(QToolButton::MenuButtonPopup);
    }

    // Files dropped anywhere on the main window, its fields included, open.
    main->setAcceptDrops(true);
    qApp->installEventFilter(this);
    connect(main->mdiArea(), &QMdiArea::subWindowActivated, this,
            [this](QMdiSubWindow* sub) { onActivated(sub ? sub->widget() : nullptr); });
    connect(&windows_, &Windows::loaded, this, &AuditDocument::watch);
    if (windows_.isLoaded(engine::toQString(engine::kStartWindowKey)))
        watch(windows_.startWindow());
    for (Arrangement arrangement : kArrangements)
        for (int problem = 1; problem <= engine::kProblems; ++problem)
            if (windows_.isLoaded(
                    engine::toQString(engine::problemKeys(arrangement, problem).window)))
                watch(windows_.problemWindow(arrangement, problem));
}

AuditDocument::~AuditDocument() {
    windows_.mainWindow()->mayClose = nullptr;
    qApp->removeEventFilter(this);
}

QStyle* AuditDocument::style() const {
    return windows_.mainWindow()->style();
}

bool AuditDocument::isModified() const {
    return !history_->isClean() || windows_.hasTextsToPush() ||
           windows_.chosenArrangement() != savedArrangement_;
}

void AuditDocument::updateTitle() {
    MainWindow* main = windows_.mainWindow();
    QString name =
        fileName_.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(fileName_).fileName();
    name.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    main->setWindowTitle(name + QStringLiteral("[*] -") + baseTitle_);
    main->setWindowModified(isModified());
}

QStringList AuditDocument::recentFiles() const {
    QStringList files;
    for (int n = 1; n <= kRecentFiles; ++n) {
        const QString file = windows_.desktop().readSetting(applicationTitle(), kRecentSection,
                                                            QStringLiteral("File%1").arg(n));
        if (!file.isEmpty() && !files.contains(file))
            files.append(file);
    }
    return files;
}

void AuditDocument::rememberRecent(const QString& path, bool remember) {
    QStringList files = recentFiles();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    files.removeAll(absolute);
    if (remember)
        files.prepend(absolute);
    for (int n = 1; n <= kRecentFiles; ++n)
        windows_.desktop().writeSetting(applicationTitle(), kRecentSection,
                                        QStringLiteral("File%1").arg(n), files.value(n - 1));
}

QString AuditDocument::recentEntryText(qsizetype index, const QString& file,
                                       const QFontMetrics& metrics) {
    const QFileInfo info(file);
    // A long folder keeps its start and its end, where the audit's own folders are.
    const QString folder = metrics.elidedText(QDir::toNativeSeparators(info.absolutePath()),
                                              Qt::ElideMiddle, metrics.averageCharWidth() * 48);
    QString name = info.fileName();
    name.replace(QLatin1Char('&'), QStringLiteral("&&"));
    QString where = folder;
    where.replace(QLatin1Char('&'), QStringLiteral("&&"));
    const QString number =
        index < 9 ? QStringLiteral("&%1").arg(index + 1) : QString::number(index + 1);
    return QStringLiteral("%1 %2 \u2014 %3").arg(number, name, where);
}

void AuditDocument::fillRecentMenu() {
    recentMenu_->clear();
    const QStringList files = recentFiles();
    if (files.isEmpty())
        recentMenu_->addAction(QStringLiteral("No recent files"))->setEnabled(false);
    for (qsizetype n = 0; n < files.size(); ++n) {
        const QString file = files[n];
        QAction* a = recentMenu_->addAction(recentEntryText(n, file, recentMenu_->fontMetrics()));
        a->setToolTip(QDir::toNativeSeparators(file));
        a->setStatusTip(QDir::toNativeSeparators(file));
        connect(a, &QAction::triggered, this, [this, file] {
            if (QFileInfo::exists(file)) {
                openInstead(file);
                return;
            }
            rememberRecent(file, false);
            fail(QStringLiteral("The file \"%1\" no longer exists; it is taken off the recent "
                                "files.")
                     .arg(QDir::toNativeSeparators(file)));
        });
    }
}

bool AuditDocument::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    // Ctrl+Z and Ctrl+Shift+Z in a field undo and redo the audit (the typed edit first), not
    // only the field's own typing.
    if (type == QEvent::ShortcutOverride && watched->isWidgetType() && NumericField::of(watched) &&
        problemWindowOf(static_cast<QWidget*>(watched))) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination());
        if (pressed == history_->undoAction()->shortcut() ||
            pressed == history_->redoAction()->shortcut())
            return true; // not accepted: the shortcut goes to the actions
    }
    if ((type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) ||
        !watched->isWidgetType() ||
        static_cast<QWidget*>(watched)->window() != windows_.mainWindow())
        return QObject::eventFilter(watched, event);
    const auto droppedFile = [](const QMimeData* mime) {
        if (!mime || !mime->hasUrls() || mime->urls().size() != 1 ||
            !mime->urls().front().isLocalFile())
            return QString();
        return mime->urls().front().toLocalFile();
    };
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (droppedFile(drag->mimeData()).isEmpty())
            return QObject::eventFilter(watched, event);
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QString file = droppedFile(drop->mimeData());
        if (file.isEmpty())
            return QObject::eventFilter(watched, event);
        drop->acceptProposedAction();
        // Opened after the drop has ended, so that its message boxes do not run inside it.
        QTimer::singleShot(0, this, [this, file] { openInstead(file); });
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

void AuditDocument::fail(const QString& text) {
    windows_.desktop().message(windows_.mainWindow(), applicationTitle(), text,
                               MessageIcon::Critical);
}

void AuditDocument::adopt(const QString& path, const QByteArray& content) {
    fileName_ = QFileInfo(path).absoluteFilePath();
    onDisk_ = fingerprint(fileName_, &content);
    savedArrangement_ = windows_.chosenArrangement();
    history_->setClean();
    updateTitle();
    rememberRecent(fileName_);
}

// ---------------------------------------------------------------------------------------------
// Recording

void AuditDocument::watch(QWidget* form) {
    if (auto* start = qobject_cast<StartWindow*>(form)) {
        connect(start->crossFlowOption(), &QAbstractButton::toggled, this,
                &AuditDocument::updateTitle);
        return;
    }
    auto* problem = qobject_cast<ProblemWindow*>(form);
    if (!problem || !problemOf(form))
        return;
    // A text typed and not yet handed to the engine is a change too.
    for (QLineEdit* edit : problem->fields())
        connect(edit, &QLineEdit::textChanged, this, &AuditDocument::updateTitle);
    if (auto* performance = qobject_cast<PerformanceWindow*>(form)) {
        const Arrangement arrangement = performance->arrangement();
        connect(performance->resultGrid(), &ResultGrid::deleteRequested, this,
                [this, arrangement](const QList<int>& rows) { deleteRows(arrangement, rows); });
    }
}

void AuditDocument::deleteRows(Arrangement arrangement, const QList<int>& rows) {
    history_->commit();
    windows_.audit().deleteRows(arrangement, std::vector<int>(rows.begin(), rows.end()));
    history_->setPaused(true);
    windows_.pullTexts();
    history_->setPaused(false);
    history_->record(QStringLiteral("delete grid rows"));
}

void AuditDocument::onActivated(QWidget* form) {
    if (history_->paused())
        return;
    if (const std::optional<ProblemRef> p = problemOf(form))
        lastActive_ = p;
}

auditfile::SavedAudit AuditDocument::current() const {
    windows_.pushTexts();
    const engine::Audit& audit = windows_.audit();
    auditfile::SavedAudit a;
    a.arrangement = windows_.chosenArrangement();
    for (Arrangement arrangement : kArrangements) {
        auditfile::Inputs& inputs = a.inputs(arrangement);
        for (int c = 0; c < auditfile::kInputCount; ++c)
            inputs[static_cast<size_t>(c)] = auditfile::toPointText(audit.text(
                arrangement, auditfile::problemOfColumn(c), auditfile::fieldOfColumn(c)));
        const engine::ResultRows& rows = audit.resultRows(arrangement);
        auditfile::Grid grid;
        if (!rows.empty())
            for (const auto& row : rows.rows) {
                QStringList cells;
                for (const QString& cell : row)
                    cells.append(auditfile::toPointText(cell));
                grid.append(cells);
            }
        (arrangement == Arrangement::CounterFlow ? a.counterGrid : a.crossGrid) = grid;
    }
    for (const std::size_t i : calculationsToSave(audit)) {
        const engine::Calculation& c = audit.calculations()[i];
        auditfile::Inputs inputs;
        for (int col = 0; col < auditfile::kInputCount; ++col) {
            const std::size_t field = std::size_t(auditfile::fieldOfColumn(col));
            if (auditfile::problemOfColumn(col) == c.problem && field < c.fields.size())
                inputs[static_cast<size_t>(col)] = auditfile::toPointText(c.fields[field]);
        }
        a.calculated.append(auditfile::Calculation{{c.arrangement, c.problem}, inputs});
    }
    a.active = lastActive_;
    a.report = audit.reportTitle();
    a.capability = {audit.capabilityInputs(Arrangement::CounterFlow),
                    audit.capabilityInputs(Arrangement::CrossFlow)};
    a.saved = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    a.program = auditfile::programName();
    return a;
}

// ---------------------------------------------------------------------------------------------
// Saving

bool AuditDocument::fieldsAcceptTheirValues() {
    for (Arrangement arrangement : kArrangements)
        for (int c = 0; c < auditfile::kInputCount; ++c) {
            const auditfile::FieldRef f = auditfile::inputField(arrangement, c);
            if (!windows_.isLoaded(QString::fromLatin1(f.form)))
                continue;
            QLineEdit* edit = fieldEdit(windows_, arrangement, c);
            NumericField* field = NumericField::of(edit);
            if (!field || edit->text().isEmpty() || !field->failure())
                continue;
            windows_.showChild(windows_.form(QString::fromLatin1(f.form)));
            field->validate();
            return false;
        }
    return true;
}

bool AuditDocument::save() {
    if (fileName_.isEmpty())
        return saveAs();
    // Another program (another window of this one) may have saved the file since: its work
    // is not replaced without a word.
    if (const QByteArray now = fingerprint(fileName_); !now.isEmpty() && now != onDisk_) {
        const int answer = windows_.desktop().ask(
            windows_.mainWindow(), applicationTitle(),
            QStringLiteral("\u201c%1\u201d was changed on disk since it was opened or last saved, "
                           "perhaps by another program. Saving here replaces those changes.")
                .arg(QFileInfo(fileName_).fileName()),
            {QStringLiteral("Save As..."), QStringLiteral("Replace"), QStringLiteral("Cancel")});
        if (answer == 0)
            return saveAs();
        if (answer != 1)
            return false;
    }
    return saveTo(fileName_);
}

bool AuditDocument::saveAs() {
    const QString suggestion =
        fileName_.isEmpty()
            ? QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                  .filePath(QStringLiteral("audit.ctaudit"))
            : fileName_;
    QString name = askSaveName ? askSaveName(suggestion) : QString();
    if (name.isEmpty())
        return false;
    // The dialog asked about the name as typed, not about the one with the extension.
    if (QFileInfo(name).suffix().isEmpty()) {
        name += QStringLiteral(".ctaudit");
        if (!mayReplaceFile(windows_.desktop(), windows_.mainWindow(), QStringLiteral("Save As"),
                            name))
            return false;
    }
    return saveTo(name);
}

bool AuditDocument::saveTo(const QString& path) {
    if (!fieldsAcceptTheirValues())
        return false;
    // Written beside the old file and renamed over its name only when complete
    // (engine/atomicfile.h): a FIFO, a device or a folder of that name stays what it is, and a
    // link there is replaced, never written through.
    const QByteArray text = auditfile::serialise(current());
    if (const std::optional<QString> error = AtomicFile::write(path, text)) {
        fail(QStringLiteral("The audit cannot be saved as \"%1\": %2")
                 .arg(QDir::toNativeSeparators(path), *error));
        return false;
    }
    adopt(path, text);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Opening

bool AuditDocument::mayReplace(const QString& question) {
    if (!isModified())
        return true;
    const QString audit = fileName_.isEmpty() ? QString() : QFileInfo(fileName_).fileName();
    question_ = question;
    switch (askUnsavedChanges ? askUnsavedChanges(audit) : Changes::Keep) {
    case Changes::Save:
        return save();
    case Changes::Discard:
        return true;
    case Changes::Keep:
        break;
    }
    return false;
}

bool AuditDocument::mayClose() {
    return mayReplace(QStringLiteral("Save them before the program ends?"));
}

void AuditDocument::commitDataRequest(QSessionManager& manager) {
    // The desktop is logging out: the engineer may save, discard or cancel the logout, when the
    // desktop lets the program ask.
    if (!isModified())
        return;
    if (!manager.allowsInteraction() || !mayClose())
        manager.cancel();
    manager.release();
}

bool AuditDocument::newAudit() {
    if (!mayReplace(QStringLiteral("Save them before a new audit is started?")))
        return false;
    replace(engine::Audit().state(), Arrangement::CounterFlow, std::nullopt);
    history_->reset(true);
    fileName_.clear();
    savedArrangement_ = Arrangement::CounterFlow;
    updateTitle();
    return true;
}

bool AuditDocument::open() {
    if (!mayReplace(QStringLiteral("Save them before another file is opened?")))
        return false;
    const QString name = askOpenName ? askOpenName() : QString();
    return !name.isEmpty() && open(name);
}

bool AuditDocument::openInstead(const QString& path) {
    return mayReplace(QStringLiteral("Save them before another file is opened?")) && open(path);
}

bool AuditDocument::open(const QString& path) {
    const QString shown = QDir::toNativeSeparators(path);
    const auto cannotOpen = [&](const QString& why) {
        fail(QStringLiteral("The file \"%1\" cannot be opened: %2").arg(shown, why));
        return false;
    };
    // Only a regular file is read, and that is checked on the file opened, not on its name: a
    // FIFO would wait for a writer, a device such as /dev/zero never end. Opening does not
    // wait (O_NONBLOCK), and at most the size cap and one byte more are read.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return cannotOpen(QString::fromLocal8Bit(std::strerror(errno)));
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return cannotOpen(QStringLiteral("it is not a regular file"));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return cannotOpen(file.errorString());
    }
    const QByteArray data = file.read(auditfile::kMaxFileSize + 1);
    if (data.size() > auditfile::kMaxFileSize) {
        fail(auditfile::describe(
            shown,
            {QStringLiteral("size"),
             QStringLiteral("the file is larger than %1 MiB").arg(auditfile::kMaxFileSize >> 20)}));
        return false;
    }
    if (file.error() != QFileDevice::NoError)
        return cannotOpen(file.errorString());
    const bool csv = !auditfile::looksLikeAudit(data) &&
                     QFileInfo(path).suffix().compare(QLatin1String(auditfile::kExtension),
                                                      Qt::CaseInsensitive) != 0;
    return csv ? openCsv(path, data) : openAudit(path, data);
}

bool AuditDocument::openAudit(const QString& path, const QByteArray& data) {
    const QString shown = QDir::toNativeSeparators(path);
    const auditfile::Loaded loaded = auditfile::parse(data);
    std::optional<auditfile::Error> error = loaded.error;
    if (!error)
        error = auditfile::checkFields(loaded.audit);
    std::optional<Built> built;
    if (!error) {
        windows_.desktop().setWaitCursor(windows_.mainWindow(), true);
        built = build(loaded.audit);
        windows_.desktop().setWaitCursor(windows_.mainWindow(), false);
        if (!built)
            return false; // cancelled: nothing changed
        error = built->error;
    }
    if (error) {
        fail(auditfile::describe(shown, *error));
        return false;
    }
    replace(built->state, loaded.audit.arrangement,
            loaded.audit.active.value_or(ProblemRef{loaded.audit.arrangement, 1}));
    history_->reset(true);
    adopt(path, data);
    return true;
}

std::optional<AuditDocument::Built> AuditDocument::build(const auditfile::SavedAudit& a) {
    // A fresh audit, as a new run of the program starts with, in which the calculations run
    // again as the windows' buttons run them: a Problem other than the one of the calculation
    // before is reached by the start window's CALCULATE (Problem 1) or by the previous
    // Problem's leading-on button, whose window's code carries its texts on whether the button
    // is enabled or not; then each of the Problem's fields takes its text and is left, and
    // CALCULATE runs. The first message box of a step stops it.
    engine::Audit audit;
    Built built;
    std::optional<ProblemRef> at; // the Problem the last step left active
    std::unique_ptr<QProgressDialog> progress;
    QElapsedTimer clock;
    clock.start();
    const int total =
        static_cast<int>(std::min<qsizetype>(a.calculated.size(), auditfile::kMaxCalculations));
    // Only each Problem's last calculation keeps what the diagrams draw: the others skip the
    // extra integration or sweep.
    std::array<std::array<int, engine::kProblems>, 2> last{};
    for (int i = 0; i < total; ++i) {
        const ProblemRef& p = a.calculated[i].problem;
        last[p.arrangement == Arrangement::CounterFlow ? 0 : 1][std::size_t(p.problem - 1)] = i;
    }
    for (int i = 0; i < total; ++i) {
        const auditfile::Calculation& c = a.calculated[i];
        const ProblemRef& p = c.problem;
        const Arrangement arrangement = p.arrangement;
        if (!at || at->arrangement != arrangement || at->problem != p.problem) {
            if (p.problem > 1)
                audit.goOn(arrangement, p.problem - 1);
            audit.activate(arrangement, p.problem);
            at = p;
        }
        const auto stop = [&](const engine::Step& step) {
            if (step.messages.empty())
                return false;
            built.error =
                auditfile::Error{QStringLiteral("calculated[%1]").arg(i),
                                 QStringLiteral("Problem %1 (%2) cannot be calculated again: %3")
                                     .arg(p.problem)
                                     .arg(nameOf(arrangement), step.messages.front().text)};
            return true;
        };
        const auditfile::Inputs& inputs = a.inputsOf(c);
        for (int col = 0; col < auditfile::kInputCount; ++col) {
            if (auditfile::problemOfColumn(col) != p.problem)
                continue;
            const int field = auditfile::fieldOfColumn(col);
            const QString text = auditfile::toLocaleText(inputs[static_cast<size_t>(col)]);
            if (audit.text(arrangement, p.problem, field) != text)
                audit.type(arrangement, p.problem, field, text);
            if (stop(audit.leave(arrangement, p.problem, field)))
                return built;
        }
        const std::size_t side = arrangement == Arrangement::CounterFlow ? 0 : 1;
        audit.setTracing(last[side][std::size_t(p.problem - 1)] == i);
        if (stop(audit.calculate(arrangement, p.problem)))
            return built;

        // A long replay shows its progress and may be cancelled.
        if (replayProgress) {
            if (!replayProgress(i + 1, total))
                return std::nullopt;
        } else if (progress || (clock.elapsed() > 500 && i + 1 < total)) {
            if (!progress) {
                progress = std::make_unique<QProgressDialog>(
                    QStringLiteral("Calculating the audit's Problems again ..."),
                    QStringLiteral("Cancel"), 0, total, windows_.mainWindow());
                progress->setWindowTitle(applicationTitle());
                progress->setWindowModality(Qt::WindowModal);
                progress->setMinimumDuration(0);
            }
            progress->setValue(i + 1);
            if (progress->wasCanceled())
                return std::nullopt;
        }
    }

    // The fields' saved texts, pasted where they differ, and the grids' saved rows.
    for (Arrangement arrangement : kArrangements) {
        const auditfile::Inputs& inputs = a.inputs(arrangement);
        for (int col = 0; col < auditfile::kInputCount; ++col) {
            const int problem = auditfile::problemOfColumn(col);
            const int field = auditfile::fieldOfColumn(col);
            const QString text = auditfile::toLocaleText(inputs[static_cast<size_t>(col)]);
            if (audit.text(arrangement, problem, field) != text)
                audit.type(arrangement, problem, field, text);
        }
        const std::optional<auditfile::Grid>& grid =
            arrangement == Arrangement::CounterFlow ? a.counterGrid : a.crossGrid;
        if (!grid || grid->isEmpty())
            continue;
        engine::ResultRows& rows = audit.resultRows(arrangement);
        rows.rows.assign(static_cast<std::size_t>(grid->size()), {});
        for (qsizetype r = 0; r < grid->size(); ++r) {
            const QStringList& cells = (*grid)[r];
            for (qsizetype c = 0; c < cells.size() && c < engine::ResultRows::kColumns; ++c)
                rows.rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] =
                    auditfile::toLocaleText(cells[c]);
        }
    }
    audit.setReportTitle(a.report);
    audit.setCapabilityInputs(Arrangement::CounterFlow, a.capability[0]);
    audit.setCapabilityInputs(Arrangement::CrossFlow, a.capability[1]);
    built.state = audit.state();
    return built;
}

void AuditDocument::replace(const engine::Audit::State& state, Arrangement chosen,
                            std::optional<ProblemRef> active) {
    history_->setPaused(true);
    // The Problem windows start afresh, as in a new run, and show the new audit.
    windows_.unloadProblems();
    windows_.audit().restore(state);
    windows_.showAudit();
    chooseArrangement(windows_, chosen);
    // The status line starts empty, then shows what the active window's activation writes.
    windows_.setStatus(QString());
    if (active)
        windows_.showChild(windows_.problemWindow(active->arrangement, active->problem));
    else
        windows_.showStart();
    lastActive_ = active;
    history_->setPaused(false);
}

bool AuditDocument::openCsv(const QString& path, const QByteArray& data) {
    const QString shown = QDir::toNativeSeparators(path);
    const BatchInput input = BatchInput::read(data);
    if (input.error) {
        QString where = QStringLiteral("line %1").arg(input.error->line);
        if (input.error->column > 0)
            where += QStringLiteral(", column %1").arg(input.error->column);
        fail(auditfile::describe(shown, {where, input.error->text}));
        return false;
    }
    if (input.cases.isEmpty()) {
        fail(auditfile::describe(
            shown, {QStringLiteral("cases"), QStringLiteral("the file holds no case")}));
        return false;
    }
    const Arrangement preset = windows_.chosenArrangement();
    const std::optional<CaseChoice> choice =
        askCase ? askCase(path, input.cases, preset) : std::nullopt;
    if (!choice || choice->index < 0 || choice->index >= input.cases.size())
        return false;

    // The case's values are checked as an audit's would be before any field changes: with the
    // current audit's other texts, or a new audit's.
    const BatchCase& chosen = input.cases[choice->index];
    auditfile::SavedAudit a;
    if (choice->intoCurrent) {
        a = current();
    } else {
        const engine::Audit fresh;
        for (Arrangement arrangement : kArrangements)
            for (int c = 0; c < auditfile::kInputCount; ++c)
                a.inputs(arrangement)[static_cast<size_t>(c)] = auditfile::toPointText(fresh.text(
                    arrangement, auditfile::problemOfColumn(c), auditfile::fieldOfColumn(c)));
    }
    auditfile::Inputs& inputs = a.inputs(choice->arrangement);
    std::optional<auditfile::Error> error;
    for (int c = 0; c < auditfile::kInputCount && !error; ++c) {
        const QString& text = chosen.values[static_cast<size_t>(c)];
        if (!text.isEmpty() && !numtext::readNumber(text, QLocale::c()))
            error = auditfile::Error{auditfile::inputColumn(c), QStringLiteral("is not a number")};
        inputs[static_cast<size_t>(c)] = text;
    }
    if (!error)
        error = auditfile::checkFields(a);
    if (error) {
        error->where = QStringLiteral("case %1 (line %2), %3")
                           .arg(chosen.number)
                           .arg(chosen.line)
                           .arg(error->where.section(u'.', -2));
        fail(auditfile::describe(shown, *error));
        return false;
    }

    // The values pasted into the arrangement's fields, as the text-change procedure sees them.
    const auto paste = [&](engine::Audit& audit) {
        for (int c = 0; c < auditfile::kInputCount; ++c) {
            const int problem = auditfile::problemOfColumn(c);
            const int field = auditfile::fieldOfColumn(c);
            const QString text = auditfile::toLocaleText(inputs[static_cast<size_t>(c)]);
            if (audit.text(choice->arrangement, problem, field) != text)
                audit.type(choice->arrangement, problem, field, text);
        }
    };
    const ProblemRef problemOne{choice->arrangement, 1};
    if (choice->intoCurrent) {
        // One change of the current audit, which keeps its name; undo takes it back.
        history_->commit();
        paste(windows_.audit());
        history_->setPaused(true);
        windows_.showAudit();
        history_->setPaused(false);
        history_->record(QStringLiteral("batch case"));
        chooseArrangement(windows_, choice->arrangement);
        windows_.showChild(windows_.problemWindow(choice->arrangement, 1));
        lastActive_ = problemOne;
    } else {
        // A new untitled audit that holds the case: changed from the start.
        engine::Audit fresh;
        paste(fresh);
        replace(fresh.state(), choice->arrangement, problemOne);
        history_->reset(false);
        fileName_.clear();
        onDisk_.clear();
        savedArrangement_ = Arrangement::CounterFlow;
    }
    updateTitle();
    return true;
}
