#include "app/aboutbox.h"

#include "app/programfiles.h"
#include "diagrams/plotlibrary.h"
#include "engine/message.h"
#include "ui/mainwindow.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QStyle>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QString escaped(const QString& text) {
    return text.toHtmlEscaped();
}

} // namespace

AboutBox::AboutBox(MainWindow& main)
    : main_(main) {
    QToolBar* toolbar = main.toolBar();
    toolbar->addSeparator();
    action_ = toolbar->addAction(main.style()->standardIcon(QStyle::SP_MessageBoxInformation),
                                 QStringLiteral("About"));
    action_->setObjectName(QStringLiteral("About"));
    action_->setData(QStringLiteral("About"));
    action_->setToolTip(QStringLiteral("The program's version, licence and libraries"));
    connect(action_, &QAction::triggered, this, &AboutBox::show);
}

QString AboutBox::version() {
    return QStringLiteral(CTAUDIT_VERSION);
}

QString AboutBox::licence() {
    return QStringLiteral(CTAUDIT_LICENSE);
}

QString AboutBox::text() {
    QString module;
    for (const ProgramFile& file : programfiles::all())
        if (file.what == QLatin1String("Calc module"))
            module = file.found();
    const QString manual = programfiles::manualIndex();
    QString html;
    html += QStringLiteral("<h3>ctaudit %1</h3>").arg(escaped(version()));
    html += QStringLiteral("<p>%1: energy audit of wet (direct-contact) cooling towers.</p>")
                .arg(escaped(applicationTitle()));
    html += QStringLiteral("<p><b>Licence:</b> %1</p>").arg(escaped(licence()));
    html += QStringLiteral("<p><b>Libraries:</b></p><ul>");
    html += QStringLiteral("<li>Qt %1 (built with %2), LGPL-3.0: the windows, texts and "
                           "files</li>")
                .arg(escaped(QString::fromLatin1(qVersion())), QStringLiteral(QT_VERSION_STR));
    html += QStringLiteral("<li>QCustomPlot %1, GPL-3.0-or-later: the diagrams</li>")
                .arg(QStringLiteral(QCUSTOMPLOT_VERSION_STR));
    html += QStringLiteral("<li>LibreOffice Calc through its UNO interface, MPL-2.0: the "
                           "spreadsheet export (%1)</li>")
                .arg(module.isEmpty() ? QStringLiteral("its module is not installed")
                                      : QStringLiteral("module %1").arg(escaped(module)));
    html += QStringLiteral("</ul>");
    html += manual.isEmpty() ? QStringLiteral("<p><b>Manual:</b> not installed</p>")
                             : QStringLiteral("<p><b>Manual:</b> <a href=\"%1\">%2</a></p>")
                                   .arg(QUrl::fromLocalFile(manual).toString(QUrl::FullyEncoded),
                                        escaped(manual));
    return html;
}

void AboutBox::show() {
    if (!dialog_) {
        dialog_ = new QDialog(&main_);
        dialog_->setObjectName(QStringLiteral("AboutBox"));
        dialog_->setWindowTitle(QStringLiteral("About ctaudit"));
        auto* layout = new QVBoxLayout(dialog_);
        auto* label = new QLabel(text(), dialog_);
        label->setObjectName(QStringLiteral("AboutText"));
        label->setTextFormat(Qt::RichText);
        label->setWordWrap(true);
        label->setOpenExternalLinks(true);
        label->setTextInteractionFlags(Qt::TextBrowserInteraction);
        layout->addWidget(label);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog_);
        connect(buttons, &QDialogButtonBox::rejected, dialog_.data(), &QDialog::close);
        layout->addWidget(buttons);
        dialog_->setMinimumWidth(480);
    }
    dialog_->show();
    dialog_->raise();
    dialog_->activateWindow();
}
