#pragma once
// WindowMenu: the main window's "Window" toolbar entry. Its menu arranges the child windows
// (Tile, Cascade) and lists the open ones, the active one checked; choosing one activates it.
// Ctrl+Tab and Ctrl+Shift+Tab, the multiple-document area's own keys, walk through the same
// windows.

#include <QObject>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class QToolButton;

class WindowMenu : public QObject {
    Q_OBJECT
public:
    // Adds the entry to the toolbar before the action `before` (at the end when nullptr).
    WindowMenu(QMdiArea* area, QToolBar* toolBar, QAction* before);

    QToolButton* button() const { return button_; }
    QMenu* menu() const { return menu_; }
    QAction* tileAction() const { return tile_; }
    QAction* cascadeAction() const { return cascade_; }
    // Fills the menu: Tile, Cascade, then one checkable entry per shown child window in the
    // order they were created, numbered, the active one checked.
    void fill();
    // Tile: the shown child windows share the area as it is, in a grid of as many columns as
    // rows or one more, in the order they were created; the last row's windows share its
    // width. The main window keeps its size (QMdiArea::tileSubWindows grows it until every
    // window has its minimum size).
    void tile();

private:
    QMdiArea* area_;
    QToolButton* button_;
    QMenu* menu_;
    QAction* tile_;
    QAction* cascade_;
};
