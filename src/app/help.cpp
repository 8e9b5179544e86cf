#include "app/help.h"

#include "app/programfiles.h"
#include "ui/mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeySequence>
#include <QStyle>
#include <QToolBar>

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
    }
    window_->showTopic(topic);
}
