#pragma once
// MainWindow: the multiple-document main window with the toolbar, the hidden spreadsheet flag
// and the status strip at the bottom.

#include "ui/workspace.h"

#include <QList>
#include <QMainWindow>
#include <QRect>
#include <functional>
#include <optional>

class Desktop;
class QIcon;
class QLabel;
class QLineEdit;
class QMdiArea;
class QToolBar;
class QFrame;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(Desktop& desktop);

    // Start-up: completes the separator note with the locale's decimal separator (" ." or
    // " ,").
    void load();

    // Places the shown main window on its screen: where the engineer left it (the placement
    // closeEvent saved) when it was resized and still lies on a screen, otherwise over 90 % of the
    // screen's available area, centred. It opens no smaller than the designed size, as it
    // did before on any screen.
    void place();
    // The frame geometry place() gives the window on a screen with this available area, for
    // a saved frame geometry or none.
    static QRect placement(const QRect& available, const QSize& designed,
                           const std::optional<QRect>& saved);
    // The main window's designed size.
    static QSize designedSize() { return {pixels(15090), pixels(10485)}; }

    // Toolbar dispatch by key, exact and case-sensitive: "Excel", "Uncertainty", "Diagram",
    // "Exit", "menu"; any other key does nothing. Never reports an error.
    void buttonClicked(const QString& key);

    // What the toolbar's buttons run, set by the program: "Excel" (the spreadsheet report),
    // "Uncertainty", "Diagram" and "menu" (the start window, with the status line cleared);
    // "Exit" runs unloadWindows, then closes the main window.
    std::function<void()> excelReport;
    std::function<void()> showUncertainty;
    std::function<void()> showDiagram;
    std::function<void()> showStart;
    std::function<void()> unloadWindows;
    // Asked before "Exit" or the close box ends the program: false keeps it running (the
    // engineer cancelled, or saving the audit failed). Unset: the program ends.
    std::function<bool()> mayClose;

    QMdiArea* mdiArea() const { return mdi_; }
    QToolBar* toolBar() const { return toolBar_; }
    // The toolbar's image list: 19 images, 16 x 16.
    const QList<QIcon>& toolbarIcons() const { return toolbarIcons_; }
    // The hidden spreadsheet-open flag: "0", then "1".
    QLineEdit* spreadsheetFlag() const { return spreadsheetFlag_; }
    // The status strip, its decimal-separator note and its status line.
    QFrame* statusStrip() const { return statusStrip_; }
    QLabel* separatorNote() const { return separatorNote_; }
    QLabel* statusLabel() const { return status_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildToolbar();
    void buildStatusStrip();
    void exit();
    std::optional<QRect> savedPlacement() const;
    bool closing_ = false; // "Exit" has asked and closes the window

    Desktop& desktop_;
    QMdiArea* mdi_;
    QToolBar* toolBar_ = nullptr;
    QList<QIcon> toolbarIcons_;
    QLineEdit* spreadsheetFlag_ = nullptr;
    QFrame* statusStrip_ = nullptr;
    QLabel* separatorNote_ = nullptr;
    QLabel* status_ = nullptr;
};
