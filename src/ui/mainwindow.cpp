#include "ui/mainwindow.h"

#include "engine/keys.h"
#include "engine/message.h"
#include "engine/numtext.h"
#include "ui/desktop.h"
#include "ui/workspace.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMdiArea>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

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

MainWindow::MainWindow(Desktop& desktop)
    : desktop_(desktop) {
    setObjectName(engine::toQString(engine::kMainWindowKey));
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
    layout->addWidget(statusStrip_);

    resize(designedSize());
}

void MainWindow::buildToolbar() {
    toolbarIcons_ = makeImageList();
    toolBar_ = new QToolBar(this);
    toolBar_->setObjectName(engine::toQString(engine::mainwindow::kToolBar));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toolBar_->setIconSize(QSize(16, 16));
    addToolBar(Qt::TopToolBarArea, toolBar_);

    // Each button: its caption, its key (the action's object name and data), its image, what
    // it does (its tooltip, with the shortcut) and its shortcut, which works in every child
    // window. Alt+letter keeps clear of the entry fields' own keys.
    struct Button {
        const char* caption;
        const char* key;
        int image;
        const char* does;
        QKeySequence shortcut;
    };
    const Button buttons[] = {
        {"Menu    ", "menu", 0, "Show the start window, to choose the tower arrangement",
         QKeySequence(Qt::ALT | Qt::Key_M)},
        {"Excel    ", "Excel", 1,
         "Write the four Problems into the next free column of the spreadsheet report "
         "(LibreOffice Calc)",
         QKeySequence(Qt::ALT | Qt::Key_E)},
        {"Diagram    ", "Diagram", 3, "Show the diagrams of the Problem window last active",
         QKeySequence(Qt::ALT | Qt::Key_D)},
        {"Uncertainty", "Uncertainty", 5,
         "Show the expanded measurement uncertainty of the results and the acceptance test's "
         "verdict",
         QKeySequence(Qt::ALT | Qt::Key_U)},
        {"Exit     ", "Exit", 2, "End the program, asking first when the audit has unsaved changes",
         QKeySequence(Qt::CTRL | Qt::Key_Q)},
    };
    for (const Button& b : buttons) {
        QAction* action =
            toolBar_->addAction(toolbarIcons_.at(b.image), QString::fromLatin1(b.caption));
        const QString key = QString::fromLatin1(b.key);
        action->setObjectName(key);
        action->setData(key);
        action->setShortcut(b.shortcut);
        action->setToolTip(QStringLiteral("%1 (%2)").arg(
            QString::fromLatin1(b.does), b.shortcut.toString(QKeySequence::NativeText)));
        connect(action, &QAction::triggered, this, [this, key] { buttonClicked(key); });
    }

    auto* note = new QLineEdit(QStringLiteral("Text1 tells whether spreadsheet instances are open"),
                               toolBar_);
    note->setObjectName(engine::toQString(engine::mainwindow::kSpreadsheetFlagNote));
    spreadsheetFlag_ = new QLineEdit(QStringLiteral("0"), toolBar_);
    spreadsheetFlag_->setObjectName(engine::toQString(engine::mainwindow::kSpreadsheetFlag));
    toolBar_->addWidget(note)->setVisible(false);
    toolBar_->addWidget(spreadsheetFlag_)->setVisible(false);
}

void MainWindow::buildStatusStrip() {
    statusStrip_ = new QFrame(this);
    statusStrip_->setObjectName(engine::toQString(engine::mainwindow::kStatusStrip));
    statusStrip_->setFixedHeight(pixels(765));
    statusStrip_->setAutoFillBackground(true);
    QPalette strip = statusStrip_->palette();
    strip.setColor(QPalette::Window, kStripBlue);
    strip.setColor(QPalette::WindowText, kStripGreen);
    statusStrip_->setPalette(strip);

    QFont verdana(QStringLiteral("Verdana"));
    separatorNote_ = new QLabel(QStringLiteral("Note: As decimal separator use"), statusStrip_);
    separatorNote_->setObjectName(engine::toQString(engine::mainwindow::kSeparatorNote));
    separatorNote_->setFont(verdana);
    separatorNote_->setGeometry(pixels(120), pixels(120), pixels(3015), pixels(255));

    status_ = new QLabel(statusStrip_);
    status_->setObjectName(engine::toQString(engine::mainwindow::kStatusLine));
    status_->setAccessibleName(QStringLiteral("Status"));
    // It shows file names and typed texts as they are, never as formatted text.
    status_->setTextFormat(Qt::PlainText);
    status_->setFont(verdana);
    status_->setAutoFillBackground(true);
    status_->setGeometry(0, pixels(360), pixels(15075), pixels(345));
    statusStrip_->installEventFilter(this);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // The status line spans the strip's whole width.
    if (watched == statusStrip_ && event->type() == QEvent::Resize)
        status_->resize(statusStrip_->width(), status_->height());
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::load() {
    const QString onePointFive = QLocale().toString(1.5);
    const bool point = onePointFive.indexOf(QLatin1Char('.')) == 1;
    separatorNote_->setText(separatorNote_->text() +
                            (point ? QStringLiteral(" .") : QStringLiteral(" ,")));
}

QRect MainWindow::placement(const QRect& available, const QSize& designed,
                            const std::optional<QRect>& saved) {
    // A saved size within a frame's border and title of the designed one is the size the
    // window was given, not one the engineer chose.
    constexpr int kFrame = 64;
    const bool chosen = saved && saved->isValid() &&
                        (std::abs(saved->width() - designed.width()) > kFrame ||
                         std::abs(saved->height() - designed.height()) > kFrame);
    if (chosen) {
        // A placement that still shows at least half of itself on the screen, no larger than
        // the screen and no smaller than the design.
        const QRect placed(saved->topLeft(),
                           saved->size().boundedTo(available.size()).expandedTo(designed));
        const QRect shown = placed.intersected(available);
        if (2LL * shown.width() * shown.height() >= 1LL * placed.width() * placed.height())
            return placed;
    }
    QRect centred(QPoint(), (available.size() * 0.9).expandedTo(designed));
    centred.moveCenter(available.center());
    // A screen smaller than the design shows the window's top left corner.
    centred.moveTopLeft(QPoint(std::max(centred.left(), available.left()),
                               std::max(centred.top(), available.top())));
    return centred;
}

std::optional<QRect> MainWindow::savedPlacement() const {
    int values[4] = {};
    const char* const keys[] = {"MainLeft", "MainTop", "MainWidth", "MainHeight"};
    for (int i = 0; i < 4; ++i) {
        const QString text = desktop_.readSetting(applicationTitle(), QStringLiteral("Settings"),
                                                  QString::fromLatin1(keys[i]));
        bool ok = false;
        float value = QLocale().toFloat(text, &ok);
        if (!ok)
            value = QLocale::c().toFloat(text, &ok);
        // Twips of a placement on any screen of today; anything else is no placement.
        if (!ok || !(std::abs(value) < 1.0e7f))
            return std::nullopt;
        values[i] = pixels(static_cast<int>(value));
    }
    return QRect(values[0], values[1], values[2], values[3]);
}

void MainWindow::place() {
    const std::optional<QRect> saved = savedPlacement();
    QScreen* screen = saved ? QGuiApplication::screenAt(saved->center()) : nullptr;
    if (!screen)
        screen = this->screen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    // The frame's title bar and borders are outside the window's own (designed) size.
    const QSize margins = frameGeometry().size() - size();
    const QRect frame = placement(available, designedSize() + margins, saved);
    resize(frame.size() - margins);
    move(frame.topLeft());
}

void MainWindow::buttonClicked(const QString& key) {
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
        exit();
    } else if (key == QLatin1String("menu")) {
        if (showStart)
            showStart();
        status_->setText(QString());
    }
}

void MainWindow::exit() {
    if (mayClose && !mayClose())
        return;
    if (unloadWindows)
        unloadWindows();
    closing_ = true;
    close();
    closing_ = false;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!closing_ && mayClose && !mayClose()) {
        event->ignore();
        return;
    }
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
