#include "app/help.h"

#include "app/programfiles.h"
#include "ui/mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeySequence>
#include <QScreen>
#include <QStyle>
#include <QToolBar>
#include <algorithm>

Help::Help(MainWindow& main)
    : main_(main) {
    action_ = main.toolBar()->addAction(main.style()->standardIcon(QStyle::SP_DialogHelpButton),
                                        QStringLiteral("Help"));
    action_->setObjectName(QStringLiteral("Help"));
    action_->setData(QStringLiteral("Help"));
    action_->setShortcut(QKeySequence::HelpContents);
    action_->setShortcutContext(Qt::ApplicationShortcut);
    action_->setToolTip(
        QStringLiteral("The manual: an audit Problem by Problem, every quantity with its unit, the "
                       "methods, the files, the batch tool; at the page of the field in use (%1)")
            .arg(action_->shortcut().toString(QKeySequence::NativeText)));
    connect(action_, &QAction::triggered, this, &Help::show);
}

Help::~Help() {
    delete window_.data();
}

void Help::show() {
    QWidget* focus = QApplication::focusWidget();
    if (window_ && focus && focus->window() == window_) {
        window_->raise();
        window_->activateWindow();
        return;
    }
    showTopic(helpTopic(focus));
}

void Help::showTopic(const HelpTopic& topic) {
    if (!window_) {
        QString folder;
        const QString index = programfiles::manualIndex();
        if (!index.isEmpty())
            folder = QFileInfo(index).absolutePath();
        QStringList looked;
        for (const QString& f : programfiles::manualFolders())
            looked << QDir::toNativeSeparators(f);
        window_ =
            new HelpWindow(folder,
                           QStringLiteral("The manual is not installed: it was looked for in %1.")
                               .arg(looked.join(QStringLiteral(" and "))),
                           &main_);
        window_->setAttribute(Qt::WA_DeleteOnClose, false);
        // Beside the main window where the screen has room, otherwise at the screen's right
        // edge: the manual and the window it explains are seen together.
        if (const QScreen* screen = main_.screen()) {
            const QRect available = screen->availableGeometry();
            const QRect beside = main_.frameGeometry();
            window_->resize(window_->size().boundedTo(available.size()));
            window_->move(
                std::max(available.left(),
                         std::min(beside.right() + 1, available.right() + 1 - window_->width())),
                std::max(available.top(), beside.top()));
        }
    }
    window_->showTopic(topic);
}
