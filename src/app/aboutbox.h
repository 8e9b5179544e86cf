#pragma once
// AboutBox: the toolbar's "About" and the box it shows: the program's version (the project's,
// the one the package and ctaudit-batch --version carry), its licence, the libraries it uses
// with their versions and licences, and where its manual is. The box is shown modeless: it
// waits for nobody.

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QString>

class MainWindow;
class QAction;

class AboutBox : public QObject {
    Q_OBJECT
public:
    // Adds "About" at the end of the main window's toolbar.
    explicit AboutBox(MainWindow& main);

    // The program's version, "1.0".
    static QString version();
    // The program's licence, one line.
    static QString licence();
    // The box's text (rich text): the program and its version, the licence, one line per
    // library, the manual.
    static QString text();

    QAction* action() const { return action_; }
    // The box, made on its first showing; nullptr before.
    QDialog* dialog() const { return dialog_; }
    // Shows the box, or brings it to the front.
    void show();

private:
    MainWindow& main_;
    QAction* action_;
    QPointer<QDialog> dialog_;
};
