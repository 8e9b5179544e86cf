#include "support/guifixture.h"

#include "app/windows.h"
#include "ui/mainwindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

// Watches every Show event of the application: a real dialog that becomes visible is
// recorded and closed on the next pass of its own event loop.
class DialogWatchdog : public QObject {
public:
    explicit DialogWatchdog(GuiFixture& fixture)
        : fixture_(fixture) {
        qApp->installEventFilter(this);
    }
    ~DialogWatchdog() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            if (auto* dialog = qobject_cast<QDialog*>(watched)) {
                QString what = QString::fromLatin1(dialog->metaObject()->className()) +
                               QStringLiteral(" '") + dialog->windowTitle() + QLatin1Char('\'');
                if (auto* box = qobject_cast<QMessageBox*>(dialog))
                    what += QStringLiteral(": ") + box->text();
                fixture_.dialogs_.append(what);
                QTimer::singleShot(0, dialog, [dialog] { dialog->done(QDialog::Rejected); });
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    GuiFixture& fixture_;
};

GuiFixture::GuiFixture(const QLocale& locale)
    : locale_(locale) {
    QStandardPaths::setTestModeEnabled(true);
    watchdog_ = std::make_unique<DialogWatchdog>(*this);
    windows_ = std::make_unique<Windows>(desktop_);
}

GuiFixture::~GuiFixture() {
    windows_.reset();
    watchdog_.reset();
}

MainWindow& GuiFixture::main() {
    return *windows_->mainWindow();
}

void GuiFixture::start() {
    windows_->start();
    QApplication::setActiveWindow(windows_->mainWindow());
    if (!QTest::qWaitForWindowActive(windows_->mainWindow()))
        qWarning("GuiFixture: the main window did not become active");
}

void GuiFixture::show(QWidget* form) {
    windows_->showChild(form);
    QCoreApplication::processEvents();
}

bool GuiFixture::checkNoDialogs() const {
    if (dialogs_.isEmpty())
        return true;
    const QByteArray text =
        "A real dialog became visible (a test must never wait for a person):\n  " +
        dialogs_.join(QStringLiteral("\n  ")).toUtf8();
    QTest::qFail(text.constData(), __FILE__, __LINE__);
    return false;
}

TextSnapshot snapshotTexts(const QWidget* window) {
    TextSnapshot snap;
    QMap<QString, int> unnamed;
    const auto keyOf = [&](const QObject* o) {
        if (!o->objectName().isEmpty())
            return o->objectName();
        const QString cls = QString::fromLatin1(o->metaObject()->className());
        return cls + QLatin1Char('#') + QString::number(unnamed[cls]++);
    };
    for (const QWidget* w : window->findChildren<const QWidget*>()) {
        if (auto* edit = qobject_cast<const QLineEdit*>(w)) {
            // The line edits inside a grid's cell editor or a spin box are not the window's.
            if (qobject_cast<const QAbstractItemView*>(edit->parentWidget()))
                continue;
            snap.insert(keyOf(edit), edit->text());
        } else if (auto* label = qobject_cast<const QLabel*>(w)) {
            snap.insert(keyOf(label), label->text());
        } else if (auto* button = qobject_cast<const QAbstractButton*>(w)) {
            if (qobject_cast<const QHeaderView*>(button->parentWidget()) ||
                qobject_cast<const QAbstractItemView*>(button->parentWidget()))
                continue; // the grid's corner button
            const QString key = keyOf(button);
            snap.insert(key, button->text());
            snap.insert(key + QStringLiteral(".enabled"),
                        button->isEnabled() ? QStringLiteral("true") : QStringLiteral("false"));
            if (button->isCheckable())
                snap.insert(key + QStringLiteral(".checked"),
                            button->isChecked() ? QStringLiteral("true") : QStringLiteral("false"));
        } else if (auto* grid = qobject_cast<const QTableWidget*>(w)) {
            const QString key = keyOf(grid);
            snap.insert(key + QStringLiteral(".rows"), QString::number(grid->rowCount()));
            snap.insert(key + QStringLiteral(".columns"), QString::number(grid->columnCount()));
            for (int c = 0; c < grid->columnCount(); ++c) {
                const QTableWidgetItem* h = grid->horizontalHeaderItem(c);
                snap.insert(key + QStringLiteral(".header[%1]").arg(c), h ? h->text() : QString());
            }
            for (int r = 0; r < grid->rowCount(); ++r)
                for (int c = 0; c < grid->columnCount(); ++c) {
                    const QTableWidgetItem* item = grid->item(r, c);
                    snap.insert(key + QStringLiteral("[%1,%2]").arg(r).arg(c),
                                item ? item->text() : QString());
                }
        }
    }
    return snap;
}

QString snapshotDifference(const TextSnapshot& before, const TextSnapshot& after) {
    QStringList lines;
    QStringList keys = before.keys() + after.keys();
    keys.removeDuplicates();
    keys.sort();
    for (const QString& key : keys) {
        const bool inBefore = before.contains(key);
        const bool inAfter = after.contains(key);
        if (inBefore && inAfter && before.value(key) == after.value(key))
            continue;
        lines.append(QStringLiteral("%1: %2 -> %3")
                         .arg(key,
                              inBefore ? QLatin1Char('\'') + before.value(key) + QLatin1Char('\'')
                                       : QStringLiteral("(absent)"),
                              inAfter ? QLatin1Char('\'') + after.value(key) + QLatin1Char('\'')
                                      : QStringLiteral("(absent)")));
    }
    return lines.join(QLatin1Char('\n'));
}
