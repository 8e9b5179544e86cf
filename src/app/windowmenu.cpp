#include "app/windowmenu.h"

#include <QAction>
#include <QActionGroup>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <cmath>

WindowMenu::WindowMenu(QMdiArea* area, QToolBar* toolBar, QAction* before)
    : QObject(toolBar)
    , area_(area) {
    menu_ = new QMenu(toolBar);
    menu_->setObjectName(QStringLiteral("WindowMenu"));
    menu_->setToolTipsVisible(true);
    tile_ = new QAction(QStringLiteral("&Tile"), this);
    tile_->setObjectName(QStringLiteral("Tile"));
    tile_->setToolTip(QStringLiteral("Arrange the open windows side by side"));
    cascade_ = new QAction(QStringLiteral("&Cascade"), this);
    cascade_->setObjectName(QStringLiteral("Cascade"));
    cascade_->setToolTip(QStringLiteral("Arrange the open windows one over the other"));
    connect(tile_, &QAction::triggered, this, &WindowMenu::tile);
    connect(cascade_, &QAction::triggered, area_, &QMdiArea::cascadeSubWindows);
    connect(menu_, &QMenu::aboutToShow, this, &WindowMenu::fill);

    button_ = new QToolButton(toolBar);
    button_->setObjectName(QStringLiteral("Window"));
    button_->setText(QStringLiteral("Window"));
    button_->setToolTip(QStringLiteral("Window: Tile, Cascade and the open windows\n"
                                       "Ctrl+Tab: next window, Ctrl+Shift+Tab: previous window"));
    button_->setIcon(toolBar->style()->standardIcon(QStyle::SP_TitleBarNormalButton));
    button_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button_->setPopupMode(QToolButton::InstantPopup);
    button_->setMenu(menu_);
    if (before)
        toolBar->insertWidget(before, button_);
    else
        toolBar->addWidget(button_);
    fill();
}

void WindowMenu::fill() {
    menu_->clear();
    menu_->addAction(tile_);
    menu_->addAction(cascade_);
    menu_->addSeparator();
    QMdiSubWindow* active = area_->activeSubWindow();
    auto* group = new QActionGroup(menu_);
    int number = 0;
    for (QMdiSubWindow* sub : area_->subWindowList(QMdiArea::CreationOrder)) {
        if (sub->isHidden())
            continue;
        ++number;
        QString title = sub->windowTitle().trimmed();
        if (title.isEmpty() && sub->widget())
            title = sub->widget()->windowTitle().trimmed();
        title.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* a =
            menu_->addAction(number < 10 ? QStringLiteral("&%1 %2").arg(number).arg(title) : title);
        a->setCheckable(true);
        a->setChecked(sub == active);
        group->addAction(a);
        connect(a, &QAction::triggered, area_, [this, sub = QPointer<QMdiSubWindow>(sub)] {
            if (!sub)
                return;
            area_->setActiveSubWindow(sub);
            if (QWidget* w = sub->widget())
                (w->focusWidget() ? w->focusWidget() : w)->setFocus();
        });
    }
    if (number == 0)
        menu_->addAction(QStringLiteral("No open windows"))->setEnabled(false);
}

void WindowMenu::tile() {
    QList<QMdiSubWindow*> shown;
    for (QMdiSubWindow* sub : area_->subWindowList(QMdiArea::CreationOrder))
        if (!sub->isHidden() && !sub->isMinimized())
            shown.append(sub);
    if (shown.isEmpty())
        return;
    const int count = int(shown.size());
    const int columns = int(std::ceil(std::sqrt(double(count))));
    const int rows = (count + columns - 1) / columns;
    const QRect area = area_->viewport()->rect();
    for (int i = 0; i < count; ++i) {
        const int row = i / columns, column = i % columns;
        const int inRow = row == rows - 1 ? count - row * columns : columns;
        const int left = area.left() + area.width() * column / inRow;
        const int right = area.left() + area.width() * (column + 1) / inRow;
        const int top = area.top() + area.height() * row / rows;
        const int bottom = area.top() + area.height() * (row + 1) / rows;
        QMdiSubWindow* sub = shown[i];
        if (sub->isMaximized() || sub->isShaded())
            sub->showNormal();
        sub->setGeometry(left, top, right - left, bottom - top);
    }
}
