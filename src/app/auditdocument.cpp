#include "app/auditdocument.h"

#include "app/windows.h"
#include "auditfile/batchinput.h"
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
#include <QCoreApplication>
#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
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

// The desktop of a dry run: no person answers, so a message box is answered at once and only
// the first one is kept (it is what stopped the replay). The beep, the wait cursor and the
// settings store do nothing.
class ScratchDesktop final : public Desktop {
public:
    void message(QWidget*, const QString&, const QString& text, MessageIcon) override {
        if (!firstMessage_)
            firstMessage_ = text;
    }
    void beep() override {}
    void setWaitCursor(QWidget*, bool) override {}
    void writeSetting(const QString&, const QString&, const QString&, const QString&) override {}

    bool stopped() const { return firstMessage_.has_value(); }
    const std::optional<QString>& firstMessage() const { return firstMessage_; }

private:
    std::optional<QString> firstMessage_;
};

} // namespace

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

QString initialText(Arrangement a, int column) {
    const auditfile::FieldRef f = auditfile::inputField(a, column);
    const FieldDef* def = findField(f.form, f.control);
    return def ? QString::fromUtf8(def->initialText.data(),
                                   static_cast<qsizetype>(def->initialText.size()))
               : QString();
}

// Pastes a text into a field when it differs, as the text-change procedure would see it.
void setFieldText(QLineEdit* edit, const QString& text) {
    if (edit && edit->text() != text)
        edit->setText(text);
}

// What a CALCULATE may change in its window: its labels and its grid.
QStringList shownTexts(const QWidget* form) {
    QStringList texts;
    for (const QLabel* label : form->findChildren<QLabel*>())
        texts.append(label->text());
    if (const auto* grid = form->findChild<const QTableWidget*>()) {
        texts.append(QString::number(grid->rowCount()));
        for (int r = 0; r < grid->rowCount(); ++r)
            for (int c = 0; c < grid->columnCount(); ++c)
                texts.append(grid->item(r, c) ? grid->item(r, c)->text() : QString());
    }
    return texts;
}

bool leadingOnEnabled(const QWidget* form) {
    const std::string_view name = leadingOnButtonOf(form->objectName().toStdString());
    if (name.empty())
        return false;
    const auto* button = form->findChild<const QAbstractButton*>(
        QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    return button && button->isEnabled();
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
    layout->addWidget(new QLabel(caption, &dialog));

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

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(table, &QTableWidget::cellDoubleClicked, &dialog, &QDialog::accept);
    layout->addWidget(buttons);

    if (dialog.exec() != QDialog::Accepted || table->currentRow() < 0)
        return std::nullopt;
    return AuditDocument::CaseChoice{table->currentRow(), cross->isChecked()
                                                              ? Arrangement::CrossFlow
                                                              : Arrangement::CounterFlow};
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The toolbar, the title and the recent files

AuditDocument::AuditDocument(Windows& windows)
    : windows_(windows) {
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
        box.setInformativeText(QStringLiteral("Save them before another file is opened?"));
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
    connect(openAction, &QAction::triggered, this, [this] { open(); });
    connect(saveAction, &QAction::triggered, this, [this] { save(); });
    connect(saveAsAction, &QAction::triggered, this, [this] { saveAs(); });

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
    qApp->removeEventFilter(this);
}

QStyle* AuditDocument::style() const {
    return windows_.mainWindow()->style();
}

void AuditDocument::setModified(bool modified) {
    if (replaying_ || modified_ == modified)
        return;
    modified_ = modified;
    updateTitle();
}

void AuditDocument::updateTitle() {
    MainWindow* main = windows_.mainWindow();
    if (fileName_.isEmpty()) {
        main->setWindowModified(false);
        main->setWindowTitle(baseTitle_);
        return;
    }
    QString name = QFileInfo(fileName_).fileName();
    name.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    main->setWindowTitle(name + QStringLiteral("[*] -") + baseTitle_);
    main->setWindowModified(modified_);
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

void AuditDocument::fillRecentMenu() {
    recentMenu_->clear();
    const QStringList files = recentFiles();
    if (files.isEmpty())
        recentMenu_->addAction(QStringLiteral("No recent files"))->setEnabled(false);
    for (qsizetype n = 0; n < files.size(); ++n) {
        const QString file = files[n];
        QAction* a = recentMenu_->addAction(
            QStringLiteral("&%1 %2").arg(n + 1).arg(QFileInfo(file).fileName()));
        a->setToolTip(file);
        a->setStatusTip(file);
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

void AuditDocument::adopt(const QString& path) {
    fileName_ = QFileInfo(path).absoluteFilePath();
    modified_ = false;
    updateTitle();
    rememberRecent(fileName_);
}

// ---------------------------------------------------------------------------------------------
// Recording

void AuditDocument::watch(QWidget* form) {
    if (auto* start = qobject_cast<StartWindow*>(form)) {
        connect(start->crossFlowOption(), &QAbstractButton::toggled, this,
                [this] { setModified(true); });
        return;
    }
    auto* problem = qobject_cast<ProblemWindow*>(form);
    if (!problem || !problemOf(form))
        return;
    for (QLineEdit* edit : problem->fields())
        connect(edit, &QLineEdit::textChanged, this, [this] { setModified(true); });
    // Connected after the window's own handler, so clicked arrives when CALCULATE has run.
    if (QAbstractButton* calculate = problem->calculateButton()) {
        connect(calculate, &QAbstractButton::pressed, this,
                [this, form] { onCalculatePressed(form); });
        connect(calculate, &QAbstractButton::clicked, this,
                [this, form] { onCalculateClicked(form); });
    }
}

void AuditDocument::onCalculatePressed(QWidget* form) {
    const std::optional<ProblemRef> p = problemOf(form);
    if (replaying_ || !p)
        return;
    press_ = Press{form, {}, shownTexts(form), leadingOnEnabled(form)};
    for (int c = 0; c < auditfile::kInputCount; ++c)
        if (auditfile::problemOfColumn(c) == p->problem)
            if (QLineEdit* edit = fieldEdit(windows_, p->arrangement, c))
                press_.inputs[static_cast<size_t>(c)] = auditfile::toPointText(edit->text());
}

void AuditDocument::onCalculateClicked(QWidget* form) {
    const std::optional<ProblemRef> p = problemOf(form);
    if (replaying_ || !p || press_.form != form)
        return;
    // A refused calculation leaves the window as it was (it may only empty fields, which
    // disables the leading-on button); a successful one writes its results and enables it.
    const bool changed = shownTexts(form) != press_.shown;
    const bool enabled = !press_.leadingOnEnabled && leadingOnEnabled(form);
    const auditfile::Inputs inputs = press_.inputs;
    press_ = {};
    if (!changed && !enabled)
        return;
    calculated_.append(auditfile::Calculation{*p, inputs});
    setModified(true);
}

void AuditDocument::onActivated(QWidget* form) {
    if (replaying_)
        return;
    if (const std::optional<ProblemRef> p = problemOf(form))
        lastActive_ = p;
}

auditfile::SavedAudit AuditDocument::current() const {
    auditfile::SavedAudit a;
    a.arrangement = windows_.chosenArrangement();
    for (Arrangement arrangement : kArrangements) {
        auditfile::Inputs& inputs = a.inputs(arrangement);
        for (int c = 0; c < auditfile::kInputCount; ++c) {
            const auditfile::FieldRef f = auditfile::inputField(arrangement, c);
            const QLineEdit* edit = windows_.isLoaded(QString::fromLatin1(f.form))
                                        ? fieldEdit(windows_, arrangement, c)
                                        : nullptr;
            inputs[static_cast<size_t>(c)] =
                edit ? auditfile::toPointText(edit->text()) : initialText(arrangement, c);
        }
        const QString problem1 = engine::toQString(engine::problemKeys(arrangement, 1).window);
        auditfile::Grid grid;
        bool anyText = false;
        if (windows_.isLoaded(problem1)) {
            const ResultGrid* table =
                static_cast<PerformanceWindow*>(windows_.problemWindow(arrangement, 1))
                    ->resultGrid();
            for (int r = 0; r < table->rowCount(); ++r) {
                QStringList row;
                for (int c = 0; c < auditfile::kGridColumns; ++c) {
                    const QTableWidgetItem* item = table->item(r, c);
                    row.append(item ? auditfile::toPointText(item->text()) : QString());
                    anyText = anyText || !row.back().isEmpty();
                }
                grid.append(row);
            }
        }
        (arrangement == Arrangement::CounterFlow ? a.counterGrid : a.crossGrid) =
            anyText ? grid : auditfile::Grid{};
    }
    a.calculated = calculated_;
    a.active = lastActive_;
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
    return fileName_.isEmpty() ? saveAs() : saveTo(fileName_);
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
    if (QFileInfo(name).suffix().isEmpty())
        name += QStringLiteral(".ctaudit");
    return saveTo(name);
}

bool AuditDocument::saveTo(const QString& path) {
    if (!fieldsAcceptTheirValues())
        return false;
    // Written beside the old file and renamed over it only when complete. An audit is short
    // enough to sit in the write buffer until the commit, which does not report a last write
    // that fails (a full disk): the flush before it does, and the old file stays.
    const QByteArray text = auditfile::serialise(current());
    QSaveFile file(path);
    QString error;
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        error = file.errorString();
    else if (!file.flush())
        error = QString::fromLocal8Bit(std::strerror(errno)); // Qt's text for it may be empty
    else if (!file.commit())
        error = file.errorString();
    if (!error.isNull()) {
        fail(QStringLiteral("The audit cannot be saved as \"%1\": %2")
                 .arg(QDir::toNativeSeparators(path), error));
        return false;
    }
    adopt(path);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Opening

bool AuditDocument::mayReplace() {
    if (!modified_)
        return true;
    const QString audit = fileName_.isEmpty() ? QString() : QFileInfo(fileName_).fileName();
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

bool AuditDocument::open() {
    if (!mayReplace())
        return false;
    const QString name = askOpenName ? askOpenName() : QString();
    return !name.isEmpty() && open(name);
}

bool AuditDocument::openInstead(const QString& path) {
    return mayReplace() && open(path);
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
    if (!error) {
        windows_.desktop().setWaitCursor(windows_.mainWindow(), true);
        error = dryRun(loaded.audit);
        if (!error)
            apply(loaded.audit);
        windows_.desktop().setWaitCursor(windows_.mainWindow(), false);
    }
    if (error) {
        fail(auditfile::describe(shown, *error));
        return false;
    }
    adopt(path);
    return true;
}

std::optional<auditfile::Error> AuditDocument::dryRun(const auditfile::SavedAudit& a) const {
    std::optional<auditfile::Error> error;
    {
        ScratchDesktop desktop; // nobody answers; the first message is kept
        Windows scratch(desktop);
        const int stopped = replay(scratch, a, [&desktop] { return desktop.stopped(); });
        if (desktop.firstMessage() && stopped >= 0) {
            const ProblemRef& p = a.calculated[stopped].problem;
            error =
                auditfile::Error{QStringLiteral("calculated[%1]").arg(stopped),
                                 QStringLiteral("Problem %1 (%2) cannot be calculated again: %3")
                                     .arg(p.problem)
                                     .arg(nameOf(p.arrangement), *desktop.firstMessage())};
        }
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return error;
}

int AuditDocument::replay(Windows& windows, const auditfile::SavedAudit& a,
                          const std::function<bool()>& stop) {
    const QWidget* at = nullptr; // the window the last step left active
    for (qsizetype i = 0; i < a.calculated.size(); ++i) {
        const auditfile::Calculation& c = a.calculated[i];
        const ProblemRef& p = c.problem;
        const QWidget* form = windows.problemWindow(p.arrangement, p.problem);
        if (form != at) {
            if (p.problem == 1) {
                chooseArrangement(windows, p.arrangement);
                windows.startWindow()->openProblemOne();
            } else {
                windows.problemWindow(p.arrangement, p.problem - 1)->goOn();
            }
            at = form;
        }
        const auditfile::Inputs& inputs = a.inputsOf(c);
        for (int col = 0; col < auditfile::kInputCount && !stop(); ++col) {
            if (auditfile::problemOfColumn(col) != p.problem)
                continue;
            QLineEdit* edit = fieldEdit(windows, p.arrangement, col);
            setFieldText(edit, auditfile::toLocaleText(inputs[static_cast<size_t>(col)]));
            if (NumericField* field = NumericField::of(edit))
                field->validate();
        }
        if (stop())
            return static_cast<int>(i);
        windows.problemWindow(p.arrangement, p.problem)->calculate();
        if (stop())
            return static_cast<int>(i);
    }
    return -1;
}

void AuditDocument::apply(const auditfile::SavedAudit& a) {
    replaying_ = true;
    // The Problem windows start afresh, as in a new run.
    windows_.unloadProblems();
    replay(windows_, a, [] { return false; });

    for (Arrangement arrangement : kArrangements) {
        const auditfile::Inputs& inputs = a.inputs(arrangement);
        for (int c = 0; c < auditfile::kInputCount; ++c) {
            const QString& text = inputs[static_cast<size_t>(c)];
            const auditfile::FieldRef f = auditfile::inputField(arrangement, c);
            if (!windows_.isLoaded(QString::fromLatin1(f.form)) &&
                text == initialText(arrangement, c))
                continue;
            setFieldText(fieldEdit(windows_, arrangement, c), auditfile::toLocaleText(text));
        }
        const std::optional<auditfile::Grid>& grid =
            arrangement == Arrangement::CounterFlow ? a.counterGrid : a.crossGrid;
        if (!grid || grid->isEmpty())
            continue;
        ResultGrid* table =
            static_cast<PerformanceWindow*>(windows_.problemWindow(arrangement, 1))->resultGrid();
        // The rows live in the engine; the grid shows them.
        engine::ResultRows& rows = windows_.audit().resultRows(arrangement);
        rows.rows.resize(static_cast<std::size_t>(grid->size()));
        for (qsizetype r = 0; r < grid->size(); ++r) {
            auto& row = rows.rows[static_cast<std::size_t>(r)];
            row.fill(QString());
            const QStringList& cells = (*grid)[r];
            for (qsizetype c = 0; c < cells.size() && c < engine::ResultRows::kColumns; ++c)
                row[static_cast<std::size_t>(c)] = auditfile::toLocaleText(cells[c]);
        }
        table->showRows(rows);
    }

    chooseArrangement(windows_, a.arrangement);
    // The status line starts empty, then shows what the active window's activation writes.
    windows_.setStatus(QString());
    const ProblemRef active = a.active.value_or(ProblemRef{a.arrangement, 1});
    windows_.showChild(windows_.problemWindow(active.arrangement, active.problem));
    lastActive_ = active;
    calculated_.clear();
    for (const auditfile::Calculation& c : a.calculated)
        calculated_.append({c.problem, a.inputsOf(c)});
    replaying_ = false;
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

    // The case's values are checked as an audit's would be before any field changes.
    const BatchCase& chosen = input.cases[choice->index];
    auditfile::SavedAudit a = current();
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

    chooseArrangement(windows_, choice->arrangement);
    for (int c = 0; c < auditfile::kInputCount; ++c)
        setFieldText(fieldEdit(windows_, choice->arrangement, c),
                     auditfile::toLocaleText(inputs[static_cast<size_t>(c)]));
    windows_.showChild(windows_.problemWindow(choice->arrangement, 1));
    setModified(true);
    return true;
}
