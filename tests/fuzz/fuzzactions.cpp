// The fuzzer's ways into the program beyond the Problem windows: every toolbar action found by
// its key, their shortcuts, the recent files and the Window menu, files dropped on the main
// window, the main window's close box, the moist-air calculator, long pasted texts, and the
// files that Open, the recent files and a drop are given (audits, batch input cases, special
// files, files beyond the caps).

#include "app/auditdocument.h"
#include "app/capabilitywindow.h"
#include "app/windows.h"
#include "auditfuzz.h"
#include "fuzzsession.h"
#include "fuzztexts.h"
#include "reports/excelreport.h"
#include "stallingworkbook.h"
#include "ui/mainwindow.h"
#include "ui/moistairwindow.h"
#include "ui/uncertaintywindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSaveFile>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <array>
#include <sys/stat.h>

namespace {

// The operations of the export at which the spreadsheet seam may stop answering.
const std::array<const char*, 8> kStallPoints = {"running",   "hasWorkbook", "open",     "clear",
                                                 "readRange", "block",       "hasSheet", "front"};

// How long a call into the seam may take in the fuzzer: a stall ends an action well within
// the hang limit.
constexpr int kAnswerLimitMs = 300;

} // namespace

void FuzzSession::installSeams() {
    if (!gate_)
        gate_ = std::make_shared<StallGate>();
    ExcelReport& report = windows_->report();
    report.setAnswerLimitMs(kAnswerLimitMs);
    report.setFactory([gate = gate_](const QString&, QString*) -> std::unique_ptr<Spreadsheet> {
        return std::make_unique<StallingWorkbook>(gate);
    });
    document_->askOpenName = [this] { return fileToOpen(); };
    document_->askCase = [this](const QString&, const QList<BatchCase>& cases,
                                Arrangement) -> std::optional<AuditDocument::CaseChoice> {
        if (cases.isEmpty() || rng_.chance(0.15))
            return std::nullopt;
        AuditDocument::CaseChoice choice;
        choice.index = rng_.below(int(cases.size()));
        choice.arrangement = rng_.chance(0.5) ? Arrangement::CounterFlow : Arrangement::CrossFlow;
        choice.intoCurrent = rng_.chance(0.5);
        return choice;
    };
    // Save As and a first save: a name in the scratch folder, or none (cancelled), or one in a
    // folder that does not exist.
    document_->askSaveName = [this](const QString&) {
        switch (rng_.below(6)) {
        case 0:
            return QString();
        case 1:
            return auditDir_.filePath(QStringLiteral("missing/asked.ctaudit"));
        default:
            return auditDir_.filePath(QStringLiteral("asked.ctaudit"));
        }
    };
}

// Whether the audit's file is one the fuzzer may write: a regular file of its scratch folder,
// no link, or none yet.
bool FuzzSession::safeToSave(QString* why) const {
    const QString name = document_ ? document_->fileName() : QString();
    if (name.isEmpty())
        return true;
    const QFileInfo file(name);
    const QString folder = QFileInfo(auditDir_.path()).canonicalFilePath();
    if (file.isSymLink() || (file.exists() && !file.isFile()) ||
        QFileInfo(file.absolutePath()).canonicalFilePath() != folder) {
        *why = name;
        return false;
    }
    return true;
}

QString FuzzSession::fileToOpen() {
    const auto write = [this](const QString& name, const QByteArray& data) {
        const QString path = auditDir_.filePath(name);
        QSaveFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(data) != data.size() || !out.commit())
            bad(QStringLiteral("cannot write %1").arg(path));
        return path;
    };
    switch (rng_.below(12)) {
    case 0:
        return QString(); // cancelled
    case 1:
    case 2: {
        QString damage;
        return write(QStringLiteral("open.ctaudit"),
                     auditfuzz::mutate(rng_, auditfuzz::seed(rng_, document_->current()), &damage));
    }
    case 3:
        return write(QStringLiteral("open.ctaudit"), auditfuzz::seed(rng_, document_->current()));
    case 4:
    case 5:
        return write(QStringLiteral("cases.csv"), auditfuzz::batchInput(rng_));
    case 6: {
        const QString fifo = auditDir_.filePath(QStringLiteral("fifo.ctaudit"));
        if (!QFileInfo::exists(fifo))
            ::mkfifo(QFile::encodeName(fifo).constData(), 0600);
        return fifo;
    }
    case 7: {
        const QString folder = auditDir_.filePath(QStringLiteral("folder.ctaudit"));
        QDir().mkpath(folder);
        return folder;
    }
    case 8:
        return QStringLiteral("/dev/zero"); // read only: a device is refused at once
    case 9: {
        // Beyond the 16 MiB a file may have: written once per session.
        const QString big = auditDir_.filePath(QStringLiteral("big.ctaudit"));
        if (!QFileInfo::exists(big))
            write(QStringLiteral("big.ctaudit"),
                  auditfuzz::seed(rng_, document_->current()) + QByteArray(17 << 20, ' '));
        return big;
    }
    case 10:
        return auditDir_.filePath(QStringLiteral("missing.ctaudit"));
    default:
        return auditDir_.filePath(QStringLiteral("saved.ctaudit"));
    }
}

FuzzSession::Action FuzzSession::toolbarAction() {
    QToolBar* bar = windows_->mainWindow()->toolBar();
    QList<QAction*> actions;
    for (QAction* a : bar->actions())
        if (!a->objectName().isEmpty() && a->objectName() != QLatin1String("Exit") &&
            a->objectName() != QLatin1String("About"))
            actions.append(a);
    actions.append(document_->saveAsAction);
    if (actions.isEmpty())
        return {};
    QPointer<QAction> action = rng_.pick(actions);
    const QString key = action->objectName();
    QString what = QStringLiteral("click the toolbar's \"%1\"%2")
                       .arg(key, action->isEnabled() ? QString() : QStringLiteral(" (disabled)"));
    QString stall;
    bool own = true;
    if (key == QLatin1String("Excel") && rng_.chance(0.15)) {
        stall = QString::fromLatin1(rng_.pick(kStallPoints));
        own = rng_.chance(0.5);
        what += QStringLiteral(", the spreadsheet stops answering at \"%1\"%2")
                    .arg(stall, own ? QString() : QStringLiteral(" (not the program's office)"));
    }
    return {what, [this, action, stall, own] {
                if (!action)
                    return;
                if (!stall.isEmpty()) {
                    gate_->ownOffice = own;
                    gate_->stallOn(stall);
                }
                QWidget* button = windows_->mainWindow()->toolBar()->widgetForAction(action);
                if (button && button->isVisible())
                    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier,
                                      QPoint(4, button->height() / 2));
                else
                    action->trigger(); // Save As: in the menu beside "Save"
                keepMonteCarloShort();
            }};
}

void FuzzSession::keepMonteCarloShort() {
    // A cross-flow Monte Carlo run takes minutes on two cores: a short cap keeps the session
    // moving while its progress, Cancel and results are still reached.
    if (windows_->isLoaded(QString::fromLatin1(engine::kUncertaintyWindowKey.data(),
                                               qsizetype(engine::kUncertaintyWindowKey.size())))) {
        UncertaintyWindow* u = windows_->uncertaintyWindow();
        u->monteCarloBatch = 500;
        u->monteCarloCap = 2000;
    }
}

FuzzSession::Action FuzzSession::shortcutAction() {
    struct Shortcut {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    };
    static constexpr std::array kShortcuts{
        Shortcut{Qt::Key_N, Qt::ControlModifier},
        Shortcut{Qt::Key_O, Qt::ControlModifier},
        Shortcut{Qt::Key_S, Qt::ControlModifier},
        Shortcut{Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier},
        Shortcut{Qt::Key_Z, Qt::ControlModifier},
        Shortcut{Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier},
        Shortcut{Qt::Key_Tab, Qt::ControlModifier},
        Shortcut{Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier},
        Shortcut{Qt::Key_C, Qt::ControlModifier},
    };
    const Shortcut s = rng_.pick(kShortcuts);
    return {QStringLiteral("press %1 in %2")
                .arg(QKeySequence(s.key | s.modifiers).toString(),
                     QApplication::focusWidget() ? QApplication::focusWidget()->objectName()
                                                 : QStringLiteral("(nothing)")),
            [this, s] {
                QWidget* target = QApplication::focusWidget();
                QTest::keyClick(target ? target : windows_->mainWindow(), s.key, s.modifiers);
            }};
}

FuzzSession::Action FuzzSession::recentFileAction() {
    auto* button = qobject_cast<QToolButton*>(
        windows_->mainWindow()->toolBar()->widgetForAction(document_->openAction));
    return menuEntryAction(button ? button->menu() : nullptr, [](const QAction& entry) {
        return QStringLiteral("choose the recent file %1").arg(entry.toolTip());
    });
}

FuzzSession::Action
FuzzSession::menuEntryAction(QMenu* menu, const std::function<QString(const QAction&)>& describe) {
    if (!menu)
        return {};
    Q_EMIT menu->aboutToShow();
    QList<QAction*> entries;
    for (QAction* a : menu->actions())
        if (a->isEnabled() && !a->isSeparator())
            entries.append(a);
    if (entries.isEmpty())
        return {};
    QPointer<QAction> entry = rng_.pick(entries);
    return {describe(*entry), [entry] {
                if (entry)
                    entry->trigger();
            }};
}

FuzzSession::Action FuzzSession::windowMenuAction() {
    return menuEntryAction(
        windows_->mainWindow()->findChild<QMenu*>(QStringLiteral("WindowMenu")),
        [](const QAction& entry) {
            return QStringLiteral("choose \"%1\" in the Window menu").arg(entry.text());
        });
}

FuzzSession::Action FuzzSession::dropAction() {
    QList<QWidget*> targets{windows_->mainWindow()};
    for (QWidget* w : windows_->mainWindow()->findChildren<QWidget*>())
        if (w->isVisible())
            targets.append(w);
    QPointer<QWidget> target = rng_.pick(targets);
    QList<QUrl> urls;
    const int kind = rng_.below(10);
    QString what;
    if (kind == 0) {
        urls = {QUrl(QStringLiteral("https://example.org/audit.ctaudit"))};
        what = QStringLiteral("a web address");
    } else if (kind == 1) {
        urls = {QUrl::fromLocalFile(fileToOpen()), QUrl::fromLocalFile(fileToOpen())};
        what = QStringLiteral("two files");
    } else {
        const QString file = fileToOpen();
        urls = {QUrl::fromLocalFile(file)};
        what = QFileInfo(file).fileName();
    }
    return {QStringLiteral("drop %1 on %2").arg(what, target ? target->objectName() : QString()),
            [target, urls] {
                if (!target)
                    return;
                QMimeData mime;
                mime.setUrls(urls);
                const QPoint at = target->rect().center();
                QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
                QCoreApplication::sendEvent(target, &enter);
                if (!target)
                    return;
                QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
                QCoreApplication::sendEvent(target, &drop);
            }};
}

FuzzSession::Action FuzzSession::moistAirAction() {
    // The calculator takes numbers from the program, never typed texts: plausible states, and
    // now and then one beyond any physical range.
    const int mode = 1 + rng_.below(3);
    const std::array<double, 9> extremes = {0,     -0.0,  1e-300, -1e300, 1e300,
                                            1e308, -1e-9, 1e6,    -273.15};
    const bool extreme = rng_.chance(0.2);
    double p = rng_.uniform(0.6, 1.2), t = rng_.uniform(-10, 50);
    double second = mode == 3   ? rng_.uniform(0, 100)
                    : mode == 2 ? rng_.uniform(0, 200)
                                : t - rng_.uniform(0, 15);
    if (extreme) {
        switch (rng_.below(3)) {
        case 0:
            p = rng_.pick(extremes);
            break;
        case 1:
            t = rng_.pick(extremes);
            break;
        default:
            second = rng_.pick(extremes);
            break;
        }
    }
    return {QStringLiteral("the moist-air calculator: p %1, t %2, second %3, mode %4")
                .arg(p)
                .arg(t)
                .arg(second)
                .arg(mode),
            [this, mode, p, t, second] {
                MoistAirWindow* calculator = windows_->moistAirWindow();
                calculator->setInputs(p, t, second);
                calculator->pushTexts();
                calculator->calculate(mode);
            }};
}

FuzzSession::Action FuzzSession::capabilityAction() {
    // The Capability window's ways in: a setting typed and left, an ambient cell edited, rows
    // added, deleted or cleared, a weather file imported (written here: well formed, damaged or
    // hostile). Its figures are computed as the window shows them.
    if (!capability_)
        return {};
    const int way = rng_.below(5);
    if (way == 0) {
        const int setting = rng_.below(engine::kSettingCount);
        const QString text = fuzztexts::any(rng_, nullptr, QLocale());
        return {QStringLiteral("the Capability window: setting %1 typed \"%2\" and left")
                    .arg(setting)
                    .arg(text.left(40)),
                [this, setting, text] {
                    if (!capability_)
                        return;
                    capability_->showWindow();
                    QLineEdit* field = capability_->fields[std::size_t(setting)];
                    capability_->parts->setCurrentIndex(
                        engine::settingDef(engine::Setting(setting)).part ==
                                engine::SettingPart::Capability
                            ? 0
                            : 1);
                    field->setFocus();
                    field->setText(text);
                    QTest::keyClick(field, Qt::Key_Tab);
                }};
    }
    if (way == 1) {
        const int row = rng_.below(3), column = rng_.below(4);
        const QString text = fuzztexts::any(rng_, nullptr, QLocale());
        return {QStringLiteral("the Capability window: ambient cell %1, %2 set to \"%3\"")
                    .arg(row)
                    .arg(column)
                    .arg(text.left(40)),
                [this, row, column, text] {
                    if (!capability_)
                        return;
                    capability_->showWindow();
                    if (capability_->tblAmbient->rowCount() <= row)
                        capability_->cmdAddRow->click();
                    if (QTableWidgetItem* item = capability_->tblAmbient->item(
                            std::min(row, capability_->tblAmbient->rowCount() - 1), column))
                        item->setText(text);
                }};
    }
    if (way == 2) {
        QPushButton* const buttons[] = {capability_->cmdAddRow, capability_->cmdDeleteRows,
                                        capability_->cmdClear};
        QPointer<QPushButton> button = buttons[rng_.below(3)];
        return {QStringLiteral("the Capability window: \"%1\"").arg(button->text()),
                [this, button] {
                    if (!capability_ || !button)
                        return;
                    capability_->showWindow();
                    if (capability_->tblAmbient->rowCount() > 0)
                        capability_->tblAmbient->selectRow(
                            rng_.below(capability_->tblAmbient->rowCount()));
                    button->click();
                }};
    }
    if (way == 3) {
        // A weather file: an hourly year, a short table, or damage.
        QByteArray file;
        const int kind = rng_.below(4);
        if (kind == 3) {
            file = fuzztexts::longText(rng_, QLocale::c()).toUtf8();
        } else {
            file = kind == 0 ? "tdb,rh\n" : "twb,hours\n";
            const int rows = kind == 0 ? 8760 : 1 + rng_.below(30);
            for (int r = 0; r < rows; ++r)
                file += kind == 0 ? QByteArray::number(rng_.uniform(-20, 40), 'f', 1) + ',' +
                                        QByteArray::number(rng_.uniform(5, 100), 'f', 0) + '\n'
                                  : QByteArray::number(rng_.uniform(-10, 30), 'f', 1) + ',' +
                                        QByteArray::number(rng_.below(400)) + '\n';
            if (kind == 2 && rows > 1)
                file.insert(file.size() / 2, "x;;\"\n");
        }
        const QString path = auditDir_.filePath(QStringLiteral("weather.csv"));
        return {QStringLiteral("the Capability window: import a weather file (%1 bytes, kind %2)")
                    .arg(file.size())
                    .arg(kind),
                [this, path, file] {
                    // The window's own question answers with this file (or none) too.
                    if (!capability_)
                        return;
                    QFile out(path);
                    if (!out.open(QIODevice::WriteOnly) || out.write(file) != file.size())
                        return;
                    out.close();
                    capability_->showWindow();
                    capability_->cmdImport->click();
                }};
    }
    return {QStringLiteral("the Capability window: shown on its other part"), [this] {
                if (!capability_)
                    return;
                capability_->showWindow();
                capability_->parts->setCurrentIndex(1 - capability_->parts->currentIndex());
            }};
}

FuzzSession::Action FuzzSession::longPasteAction() {
    const QString text = fuzztexts::longText(rng_, QLocale());
    const bool byProgram = rng_.chance(0.3);
    QPointer<QWidget> target = QApplication::focusWidget();
    return {QStringLiteral("paste a long text %1 into %2%3")
                    .arg(text.left(30).toHtmlEscaped())
                    .arg(target ? target->objectName() : QStringLiteral("(nothing)"))
                    .arg(byProgram ? QStringLiteral(" by program") : QString()) +
                QStringLiteral(" (%1 characters)").arg(text.size()),
            [this, text, byProgram, target] {
                if (byProgram) {
                    if (auto* field = qobject_cast<QLineEdit*>(target.data()))
                        field->insert(text);
                    return;
                }
                QApplication::clipboard()->setText(text);
                QTest::keyClick(target ? target.data() : windows_->mainWindow(), Qt::Key_V,
                                Qt::ControlModifier);
            }};
}

FuzzSession::Action FuzzSession::closeMainWindowAction() {
    return {QStringLiteral("close the main window by its title bar"), [this] {
                QString why;
                if (!safeToSave(&why)) {
                    bad(QStringLiteral("the audit's file is %1: not saved there").arg(why));
                    return;
                }
                windows_->mainWindow()->close();
            }};
}
