#include "ui/frmmain.h"

#include "engine/numtext.h"
#include "ui/desktop.h"
#include "ui/workspace.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMdiArea>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

const QColor kStripBlue(0, 0, 64);
const QColor kStripGreen(128, 255, 128);

// The toolbar's image list: 19 small pictograms drawn in code, so they stay crisp and need no
// image files. The toolbar shows the first three.
QList<QIcon> makeImageList() {
    QList<QIcon> icons;
    for (int n = 0; n < 19; ++n) {
        QPixmap pm(16, 16);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        const QColor ink = QColor::fromHsv((n * 47) % 360, 160, 150);
        p.setPen(QPen(ink, 1.5));
        switch (n) {
        case 0: // menu: three bars
            for (int y : {4, 8, 12})
                p.drawLine(3, y, 13, y);
            break;
        case 1: // spreadsheet: a grid
            p.drawRect(QRectF(2.5, 2.5, 11, 11));
            p.drawLine(QPointF(2.5, 6.5), QPointF(13.5, 6.5));
            p.drawLine(QPointF(2.5, 10), QPointF(13.5, 10));
            p.drawLine(QPointF(7, 2.5), QPointF(7, 13.5));
            break;
        case 3: // diagram: axes with a falling curve
            p.drawLine(QPointF(2.5, 2), QPointF(2.5, 13.5));
            p.drawLine(QPointF(2.5, 13.5), QPointF(14, 13.5));
            p.drawLine(QPointF(4, 4), QPointF(7, 9));
            p.drawLine(QPointF(7, 9), QPointF(13, 11));
            break;
        case 2: // exit: a door with an arrow
            p.drawRect(QRectF(2.5, 2.5, 7, 11));
            p.drawLine(QPointF(8, 8), QPointF(14, 8));
            p.drawLine(QPointF(11.5, 5.5), QPointF(14, 8));
            p.drawLine(QPointF(11.5, 10.5), QPointF(14, 8));
            break;
        default: { // a small tower outline with a distinguishing mark
            QPolygonF tower;
            tower << QPointF(4, 14) << QPointF(5.5, 3) << QPointF(10.5, 3) << QPointF(12, 14);
            p.drawPolygon(tower);
            p.setBrush(ink);
            p.drawEllipse(QPointF(8, 3 + (n % 8) * 1.4), 1.3, 1.3);
            break;
        }
        }
        icons.append(QIcon(pm));
    }
    return icons;
}

} // namespace

FrmMain::FrmMain(Desktop& desktop)
    : desktop_(desktop) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral(" DIRECT CONTACT HEAT TRANSFER COOLING TOWERS"));

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    mdi_ = new QMdiArea(central);
    mdi_->setObjectName(QStringLiteral("mdiArea"));
    layout->addWidget(mdi_, 1);
    setCentralWidget(central);

    buildToolbar();
    buildStatusStrip();
    layout->addWidget(Picture1);

    resize(pixels(15090), pixels(10485));
}

void FrmMain::buildToolbar() {
    imlToolbarIcons = makeImageList();
    tbToolBar = new QToolBar(this);
    tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
    tbToolBar->setMovable(false);
    tbToolBar->setFloatable(false);
    tbToolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    tbToolBar->setIconSize(QSize(16, 16));
    addToolBar(Qt::TopToolBarArea, tbToolBar);

    struct Button {
        const char* caption;
        const char* key;
        int image;
    };
    const Button buttons[] = {
        {"Menu    ", "menu", 0},           {"Excel    ", "Excel", 1}, {"Diagram    ", "Diagram", 3},
        {"Uncertainty", "Uncertainty", 5}, {"Exit     ", "Exit", 2},
    };
    for (const Button& b : buttons) {
        QAction* action =
            tbToolBar->addAction(imlToolbarIcons.at(b.image), QString::fromLatin1(b.caption));
        const QString key = QString::fromLatin1(b.key);
        action->setObjectName(key);
        action->setData(key);
        action->setToolTip(key);
        connect(action, &QAction::triggered, this, [this, key] { tbToolBar_ButtonClick(key); });
    }

    Text2 = new QLineEdit(QStringLiteral("Text1 tells whether spreadsheet instances are open"),
                          tbToolBar);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text1 = new QLineEdit(QStringLiteral("0"), tbToolBar);
    Text1->setObjectName(QStringLiteral("Text1"));
    tbToolBar->addWidget(Text2)->setVisible(false);
    tbToolBar->addWidget(Text1)->setVisible(false);
}

void FrmMain::buildStatusStrip() {
    Picture1 = new QFrame(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setFixedHeight(pixels(765));
    Picture1->setAutoFillBackground(true);
    QPalette strip = Picture1->palette();
    strip.setColor(QPalette::Window, kStripBlue);
    strip.setColor(QPalette::WindowText, kStripGreen);
    Picture1->setPalette(strip);

    QFont verdana(QStringLiteral("Verdana"));
    Label1 = new QLabel(QStringLiteral("Note: As decimal separator use"), Picture1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(verdana);
    Label1->setGeometry(pixels(120), pixels(120), pixels(3015), pixels(255));

    lblstatus = new QLabel(Picture1);
    lblstatus->setObjectName(QStringLiteral("lblstatus"));
    lblstatus->setAccessibleName(QStringLiteral("Status"));
    lblstatus->setFont(verdana);
    lblstatus->setAutoFillBackground(true);
    lblstatus->setGeometry(0, pixels(360), pixels(15075), pixels(345));
    Picture1->installEventFilter(this);
}

bool FrmMain::eventFilter(QObject* watched, QEvent* event) {
    // The status line spans the strip's whole width.
    if (watched == Picture1 && event->type() == QEvent::Resize)
        lblstatus->resize(Picture1->width(), lblstatus->height());
    return QMainWindow::eventFilter(watched, event);
}

void FrmMain::Form_Load() {
    const QString onePointFive = QLocale().toString(1.5);
    const bool point = onePointFive.indexOf(QLatin1Char('.')) == 1;
    Label1->setText(Label1->text() + (point ? QStringLiteral(" .") : QStringLiteral(" ,")));
}

void FrmMain::tbToolBar_ButtonClick(const QString& key) {
    if (key == QLatin1String("Excel")) {
        if (excelReport)
            excelReport();
    } else if (key == QLatin1String("Uncertainty")) {
        if (showUncertainty)
            showUncertainty();
    } else if (key == QLatin1String("Diagram")) {
        if (showDiagram)
            showDiagram();
    } else if (key == QLatin1String("Exit")) {
        Exit();
    } else if (key == QLatin1String("menu")) {
        if (showStart)
            showStart();
        lblstatus->setText(QString());
    }
}

void FrmMain::Exit() {
    if (unloadWindows)
        unloadWindows();
    close();
}

void FrmMain::closeEvent(QCloseEvent* event) {
    if (!isMinimized()) {
        const QRect frame = frameGeometry();
        const struct {
            const char* key;
            int value;
        } placement[] = {{"MainLeft", frame.x()},
                         {"MainTop", frame.y()},
                         {"MainWidth", frame.width()},
                         {"MainHeight", frame.height()}};
        for (const auto& p : placement)
            desktop_.writeSetting(applicationTitle(), QStringLiteral("Settings"),
                                  QString::fromLatin1(p.key),
                                  numtext::singleText(static_cast<float>(twips(p.value))));
    }
    event->accept();
}
