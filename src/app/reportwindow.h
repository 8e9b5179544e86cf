#pragma once
// ReportWindow: the toolbar's "Report" and the window it opens, where the engineer fills the
// report's title block and makes the report of the arrangement chosen on the start window:
// "Preview..." shows its pages (QPrintPreviewDialog, from which it prints too), "Print..."
// prints through the system's print dialog, "Save PDF..." writes it as a PDF file. Ctrl+P
// prints from anywhere in the main window.
//
// The title block (tower, site, date, engineer) belongs to the audit: a text is handed to the
// engine when its field is left or the report is made, and becomes a change that undo takes
// back and that is saved with the audit. The fields show the engine's texts again after undo,
// redo and opening a file. The paper is A4 or Letter, preset from the locale.
//
// The report's uncertainty table is the Uncertainty window's, as it shows it, when the window
// shows figures of the same arrangement (they belong to the audit as it is: the window clears
// them on every change); otherwise the report says that the uncertainty was not calculated.

#include "reports/auditreport.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

class AuditDocument;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;
class Windows;

class ReportWindow : public QWidget {
    Q_OBJECT
public:
    // Adds "Report" to the main window's toolbar, after "Uncertainty", and Ctrl+P to the main
    // window. The window is a child of the main window's area, hidden until "Report".
    ReportWindow(Windows& windows, AuditDocument& document);

    QAction* reportAction() const { return reportAction_; }
    QAction* printAction() const { return printAction_; }

    // The toolbar's "Report": shows the window with the engine's title block.
    void showWindow();
    // The report as it would be made now: the title block handed to the engine first.
    auditreport::Options options();
    QPageSize::PageSizeId paper() const;
    void setPaper(QPageSize::PageSizeId paper);

    // The three ways out. Each reports a failure in a message box and its success on the
    // status line; false when cancelled or failed.
    bool preview();
    bool print();
    bool savePdf();
    bool savePdfTo(const QString& path);

    // What would wait for a person; the program shows Qt's dialogs, tests answer themselves.
    // The print dialog on a printer: false cancels.
    std::function<bool(QPrinter& printer)> askPrinter;
    // The preview of a printer's pages, painted by `paint` whenever it asks.
    std::function<void(QPrinter& printer, const std::function<void(QPrinter*)>& paint)> showPreview;

    QLineEdit* tower;
    QLineEdit* site;
    QLineEdit* date;
    QLineEdit* engineer;
    QComboBox* paperBox;
    QLabel* contents; // what the report will hold
    QPushButton* previewButton;
    QPushButton* printButton;
    QPushButton* pdfButton;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The fields' texts into the engine, as one change when they differ.
    void commitTitle();
    // The engine's title block and what the report will hold, shown again.
    void pullTitle();
    void describeContents();
    // Paints the report on a printer; false (with a message) when nothing could be painted.
    bool paintOn(QPrinter& printer, const auditreport::Options& options);
    // Hands over the edits not yet handed over, sets the printer's page and resolution, and
    // gives the report's options; nothing when the audit has ended.
    std::optional<auditreport::Options> prepare(QPrinter& printer);
    QString suggestedPdfName() const;

    Windows& windows_;
    // The document ends before the main window that deletes this window: a field that loses
    // the focus then has no audit to hand its text to.
    QPointer<AuditDocument> document_;
    QAction* reportAction_;
    QAction* printAction_;
};
