#pragma once
// frmMain: the multiple-document main window with the toolbar, the hidden spreadsheet flag
// and the status strip at the bottom.

#include <QList>
#include <QMainWindow>
#include <functional>

class Desktop;
class QIcon;
class QLabel;
class QLineEdit;
class QMdiArea;
class QToolBar;
class QFrame;

class FrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit FrmMain(Desktop& desktop);

    // Start-up: completes Label1 with the locale's decimal separator (" ." or " ,").
    void Form_Load();

    // Toolbar dispatch by key, exact and case-sensitive: "Excel", "Uncertainty", "Diagram",
    // "Exit", "menu";
    // any other key does nothing. Never reports an error.
    void tbToolBar_ButtonClick(const QString& key);

    // What the toolbar's buttons run, set by the program: "Excel" (the spreadsheet report),
    // "Uncertainty", "Diagram" and "menu" (the start window, with the status line cleared);
    // "Exit" runs unloadWindows, then closes the main window.
    std::function<void()> excelReport;
    std::function<void()> showUncertainty;
    std::function<void()> showDiagram;
    std::function<void()> showStart;
    std::function<void()> unloadWindows;

    QMdiArea* mdiArea() const { return mdi_; }

    QToolBar* tbToolBar;
    QList<QIcon> imlToolbarIcons; // 19 images, 16 x 16
    QLineEdit* Text1;             // the spreadsheet-open flag: "0", then "1"
    QLineEdit* Text2;             // a note naming the purpose of Text1
    QFrame* Picture1;             // the status strip
    QLabel* Label1;               // the decimal-separator note
    QLabel* lblstatus;            // the status line

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildToolbar();
    void buildStatusStrip();
    void Exit();

    Desktop& desktop_;
    QMdiArea* mdi_;
};
