#pragma once
// Help: the toolbar's "Help" and F1, anywhere in the program: the manual in its window (one
// window, brought to the front when it is open already), at the page of what has the focus
// (helpTopic: an entry field's quantity, the window's section, the contents). The manual is
// the one the program finds (programfiles::manualFolders()); without one the window says where
// it was looked for.

#include "ui/helpwindow.h"

#include <QObject>
#include <QPointer>
#include <QString>

class MainWindow;
class QAction;

class Help : public QObject {
    Q_OBJECT
public:
    // Adds "Help" at the end of the main window's toolbar, with F1 for the whole program.
    explicit Help(MainWindow& main);
    ~Help() override;

    QAction* action() const { return action_; }
    // The help window, made on its first showing; nullptr before.
    HelpWindow* window() const { return window_; }
    // Shows the manual at the page of the widget that has the focus, or brings it to the front
    // when the focus is in the help window already.
    void show();
    // Shows the manual at a topic.
    void showTopic(const HelpTopic& topic);

private:
    MainWindow& main_;
    QAction* action_;
    QPointer<HelpWindow> window_;
};
