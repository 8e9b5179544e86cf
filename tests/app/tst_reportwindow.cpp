// The toolbar's "Report" in the program's windows: its place and Ctrl+P; the title block as a
// change of the audit (undone, redone, saved and opened); a PDF of an audit calculated in the
// windows holds every text the windows show, the Uncertainty window's figures and verdict
// among them; a PDF that cannot be written says why and changes nothing; printing and the
// preview go through their dialogs' seams; a name completed with its extension after the file
// dialog is asked about before a file of that name is replaced, by every writer.

#include "app/reportfile.h"
#include "app/reportwindow.h"
#include "auditprogram.h"
#include "engine/keys.h"
#include "ui/diagramwindow.h"
#include "ui/uncertaintywindow.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolBar>

namespace {

QString pdfText(const QString& file) {
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0)
        return QString();
    return QString::fromUtf8(tool.readAllStandardOutput());
}

// Leaves a field as the engineer does: its text typed, then the focus elsewhere.
void typeInto(QLineEdit* edit, const QString& text) {
    edit->setText(text);
    Q_EMIT edit->editingFinished();
}

} // namespace

class TestReportWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        program_ = std::make_unique<Program>();
        report_ = new ReportWindow(program_->windows(), program_->document);
    }
    void cleanup() {
        QVERIFY(program_->fixture.checkNoDialogs());
        program_.reset(); // deletes the report window with the main window
    }

    void reportFollowsUncertaintyOnTheToolbar() {
        const QList<QAction*> actions = program_->main()->toolBar()->actions();
        const qsizetype at = actions.indexOf(report_->reportAction());
        QVERIFY(at > 0);
        QCOMPARE(actions[at - 1]->data().toString(), QStringLiteral("Uncertainty"));
        QCOMPARE(report_->printAction()->shortcut(), QKeySequence(QKeySequence::Print));
        QVERIFY(program_->main()->actions().contains(report_->printAction()));
        report_->reportAction()->trigger();
        QVERIFY(report_->isVisible());
        QVERIFY(report_->contents->text().contains(QStringLiteral("no calculated Problem")));
    }

    // A text of the title block is a change: the title gets its mark, undo takes it back and
    // redo brings it again, and it is saved with the audit and opened again.
    void titleBlockIsAChangeOfTheAudit() {
        report_->showWindow();
        typeInto(report_->tower, QStringLiteral("Tower 4"));
        typeInto(report_->site, QStringLiteral("North plant"));
        QCOMPARE(program_->windows().audit().reportTitle().tower, QStringLiteral("Tower 4"));
        QVERIFY(program_->document.isModified());
        program_->document.history().undo();
        QVERIFY(report_->site->text().isEmpty());
        QCOMPARE(report_->tower->text(), QStringLiteral("Tower 4"));
        program_->document.history().redo();
        QCOMPARE(report_->site->text(), QStringLiteral("North plant"));
        // A text typed and not yet left is handed over before undo, which then takes it back.
        report_->date->setText(QStringLiteral("1 May"));
        program_->document.history().undo();
        QVERIFY(report_->date->text().isEmpty());
        QCOMPARE(report_->site->text(), QStringLiteral("North plant"));
        program_->document.history().redo();
        QCOMPARE(report_->date->text(), QStringLiteral("1 May"));

        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("a.ctaudit"));
        QVERIFY(program_->document.saveTo(file));
        QVERIFY(!program_->document.isModified());
        cleanup();
        init();
        QVERIFY(program_->document.open(file));
        QCOMPARE(report_->tower->text(), QStringLiteral("Tower 4"));
        QCOMPARE(report_->site->text(), QStringLiteral("North plant"));
        QVERIFY(!program_->document.isModified());
    }

    // Problems 1 to 4 calculated in the windows and the uncertainty calculated: the PDF holds
    // every result text of every Problem window and the Uncertainty window's verdict.
    void pdfHoldsWhatTheWindowsShow() {
        const Arrangement a = Arrangement::CounterFlow;
        program_->startProblemOne(a);
        for (int problem = 1; problem <= engine::kProblems; ++problem) {
            program_->calculate(a, problem);
            QVERIFY(program_->windows().audit().currency(a, problem).current());
            if (problem < engine::kProblems)
                program_->goOn(a, problem);
        }
        UncertaintyWindow* uncertainty = program_->windows().uncertaintyWindow();
        QSignalSpy finished(uncertainty, &UncertaintyWindow::finished);
        program_->main()->buttonClicked(QStringLiteral("Uncertainty"));
        QVERIFY(finished.count() > 0 || finished.wait(30000));
        QVERIFY(uncertainty->hasFigures());
        QVERIFY(report_->options().uncertainty);

        QTemporaryDir dir;
        program_->fixture.desktop().saveFileAnswer = dir.filePath(QStringLiteral("audit"));
        QVERIFY(report_->savePdf());
        const QString file = dir.filePath(QStringLiteral("audit.pdf"));
        QCOMPARE(program_->windows().status(),
                 QStringLiteral("The report was saved as \"%1\".").arg(file));
        const QString text = pdfText(file).simplified();
        QVERIFY(!text.isEmpty());
        for (int problem = 1; problem <= engine::kProblems; ++problem) {
            const auto controls = engine::Audit::controls(a, problem);
            for (std::size_t c = 0; c < controls.size(); ++c) {
                const std::optional<QString> shown = program_->windows().controlText(
                    QString::fromLatin1(auditfile::problemForm(a, problem)),
                    engine::toQString(controls[c]));
                QVERIFY(shown);
                if (!shown->isEmpty())
                    QVERIFY2(text.contains(QLatin1Char(' ') + *shown + QLatin1Char(' ')),
                             qPrintable(*shown));
            }
        }
        QVERIFY(!uncertainty->lblVerdict->text().isEmpty());
        QVERIFY(text.contains(uncertainty->lblVerdict->text().simplified()));
        QVERIFY(text.contains(uncertainty->lblMethod->text().simplified()));

        // Another arrangement's report does not take these figures.
        program_->startProblemOne(Arrangement::CrossFlow);
        QVERIFY(!report_->options().uncertainty);
    }

    // The program ends with a title field focused and an edit not yet left: the document ends
    // before the main window deletes this window, whose field then loses the focus. Nothing
    // may reach the ended document (the sanitizer build catches it).
    void endingWithAFieldFocusedReachesNoEndedDocument() {
        program_->fixture.show(report_->parentWidget());
        report_->tower->setFocus();
        QCoreApplication::processEvents();
        report_->tower->setText(QStringLiteral("typed, not left"));
        QVERIFY(program_->fixture.checkNoDialogs());
        program_.reset();
        init();
    }

    void failedSaveSaysWhy() {
        program_->fixture.desktop().saveFileAnswer =
            QStringLiteral("/nonexistent-folder/report.pdf");
        program_->windows().setStatus(QStringLiteral("before"));
        QVERIFY(!report_->savePdf());
        const QStringList messages = program_->fixture.desktop().messageTexts();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].startsWith(QStringLiteral(
                     "The report could not be saved as \"/nonexistent-folder/report.pdf\": ")),
                 qPrintable(messages[0]));
        QCOMPARE(program_->windows().status(), QStringLiteral("before"));
        // A cancelled file dialog does nothing.
        program_->fixture.desktop().saveFileAnswer.clear();
        QVERIFY(!report_->savePdf());
        QCOMPARE(program_->fixture.desktop().messageTexts().size(), 1);
    }

    // A name typed without its extension gets it after the file dialog, which asked only about
    // the name typed: a file of the completed name is asked about, and "No" writes nothing.
    void completedNameAsksBeforeReplacing_data() {
        QTest::addColumn<QString>("writer");
        QTest::addColumn<QString>("extension");
        QTest::newRow("audit, Save As") << "audit"
                                        << ".ctaudit";
        QTest::newRow("report, Save PDF") << "report"
                                          << ".pdf";
        QTest::newRow("spreadsheet report") << "spreadsheet"
                                            << ".xlsx";
        QTest::newRow("diagram export") << "diagram"
                                        << ".png";
    }
    void completedNameAsksBeforeReplacing() {
        QFETCH(QString, writer);
        QFETCH(QString, extension);
        Program& p = *program_;
        ReportFile spreadsheet(p.windows(), p.document);
        p.fixture.show(p.form(Arrangement::CounterFlow, 1));
        p.calculate(Arrangement::CounterFlow, 1);
        p.main()->buttonClicked(QStringLiteral("Diagram"));
        QCoreApplication::processEvents();
        QTemporaryDir dir;
        const QString typed = dir.filePath(QStringLiteral("precious"));
        const QString path = writeFile(dir, QStringLiteral("precious") + extension, "precious");
        p.document.askSaveName = [&](const QString&) { return typed; };
        p.fixture.desktop().saveFileAnswer = typed;
        const auto save = [&] {
            if (writer == QLatin1String("audit"))
                return p.document.saveAs();
            if (writer == QLatin1String("report"))
                return report_->savePdf();
            if (writer == QLatin1String("spreadsheet"))
                return spreadsheet.save();
            p.windows().diagramWindow()->exportWithDialog();
            return QFileInfo(path).size() != 8;
        };
        const auto content = [&] {
            QFile file(path);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };

        p.fixture.desktop().askAnswer = 1;
        QVERIFY(!save());
        RecordingDesktop& desktop = p.fixture.desktop();
        QCOMPARE(desktop.questions.size(), 1);
        QCOMPARE(
            desktop.questions[0].text,
            QStringLiteral("\u201cprecious%1\u201d already exists. Replace it?").arg(extension));
        QCOMPARE(desktop.questions[0].answers, (QStringList{"Yes", "No"}));
        QCOMPARE(content(), QByteArray("precious"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"precious" + extension});

        p.fixture.desktop().askAnswer = 0;
        QVERIFY(save());
        QVERIFY(content() != "precious");
        QVERIFY(desktop.messages.isEmpty());
    }

    // Printing asks the print dialog (cancelled: nothing printed) and paints on the printer
    // it set up; the preview paints whenever it asks; both on the paper chosen.
    void printAndPreviewPaintThroughTheirDialogs() {
        QTemporaryDir dir;
        report_->setPaper(QPageSize::Letter);
        int asked = 0;
        report_->askPrinter = [&](QPrinter& printer) {
            ++asked;
            if (asked == 1)
                return false;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(dir.filePath(QStringLiteral("printed.pdf")));
            return true;
        };
        QVERIFY(!report_->print());
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("printed.pdf"))));
        report_->printAction()->trigger();
        QCOMPARE(asked, 2);
        QVERIFY(pdfText(dir.filePath(QStringLiteral("printed.pdf")))
                    .contains(QStringLiteral("Energy audit of a wet cooling tower")));

        int painted = 0;
        report_->showPreview = [&](QPrinter& printer, const std::function<void(QPrinter*)>& paint) {
            QCOMPARE(printer.pageLayout().pageSize().id(), QPageSize::Letter);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(dir.filePath(QStringLiteral("preview.pdf")));
            paint(&printer);
            ++painted;
        };
        QVERIFY(report_->preview());
        QCOMPARE(painted, 1);
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("preview.pdf"))));
    }

private:
    std::unique_ptr<Program> program_;
    ReportWindow* report_ = nullptr;
};

QTEST_MAIN(TestReportWindow)
#include "tst_reportwindow.moc"
