// The manual's window and where F1 leads: every entry field of the Problem windows has its
// place on the quantities page (in the row of its batch column and unit, so that the page and
// the key table cannot drift apart), the contents list every page and section, the search
// finds across pages and marks the places, back and forward retrace the pages, and a missing
// manual says so.

#include "app/windows.h"
#include "auditfile/batchinput.h"
#include "engine/audit.h"
#include "engine/keys.h"
#include "engine/message.h"
#include "support/guifixture.h"
#include "ui/helpwindow.h"
#include "ui/mainwindow.h"
#include "ui/problemwindow.h"
#include "ui/startwindow.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>
#include <QTreeWidget>
#include <memory>

namespace {

const QString kManual = QStringLiteral(CTAUDIT_MANUAL_DIR);

QString manualPage(const QString& name) {
    QFile file(kManual + u'/' + name);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The units of the key table as the manual writes them.
QString manualUnit(std::string_view unit) {
    return unit == "degC" ? QStringLiteral("&deg;C") : engine::toQString(unit);
}

} // namespace

class TestHelpWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyFieldHasItsPlace();
    void contentsListEveryPageAndSection();
    void searchFindsAcrossPages_data();
    void searchFindsAcrossPages();
    void backAndForward();
    void missingManual();
    void topicOfTheFocus_data();
    void topicOfTheFocus();
};

void TestHelpWindow::everyFieldHasItsPlace() {
    const QString html = manualPage(QStringLiteral("quantities.html"));
    QVERIFY(!html.isEmpty());
    // The table rows of the page, each with the anchors it holds.
    static const QRegularExpression rowPattern(QStringLiteral("<tr>(.*?)</tr>"),
                                               QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression idPattern(QStringLiteral("id=\"(Form[0-9]+\\.[A-Za-z0-9]+)\""));
    QMap<QString, QString> rowOf;
    for (auto rows = rowPattern.globalMatch(html); rows.hasNext();) {
        const QString row = rows.next().captured(1);
        for (auto ids = idPattern.globalMatch(row); ids.hasNext();) {
            const QString id = ids.next().captured(1);
            QVERIFY2(!rowOf.contains(id), qPrintable(id + QStringLiteral(" twice")));
            rowOf.insert(id, row);
        }
    }
    const QStringList anchors = fieldAnchors();
    QCOMPARE(anchors.size(), 2 * kInputColumnCount);
    int i = 0;
    for (Arrangement a : {Arrangement::CounterFlow, Arrangement::CrossFlow})
        for (int p = 1; p <= engine::kProblems; ++p)
            for (int f = 0; f < engine::kFieldCounts[p - 1]; ++f, ++i) {
                const QString& anchor = anchors[i];
                const engine::ControlKey& key = engine::controlTable(a, p)[std::size_t(f)];
                QCOMPARE(anchor, engine::toQString(engine::windowKey(a, p)) + u'.' +
                                     engine::toQString(key.key));
                QVERIFY2(rowOf.contains(anchor), qPrintable(anchor + QStringLiteral(" missing")));
                const QString row = rowOf.value(anchor);
                const QString column =
                    QStringLiteral("<code>%1</code>")
                        .arg(QLatin1String(kInputColumns[std::size_t(i % kInputColumnCount)]));
                QVERIFY2(row.contains(column), qPrintable(anchor + u' ' + row));
                QVERIFY2(row.contains(QStringLiteral("<td>%1</td>").arg(manualUnit(key.unit))),
                         qPrintable(anchor + u' ' + row));
            }
    // No anchor of a field that is not there.
    for (const QString& id : rowOf.keys())
        QVERIFY2(anchors.contains(id), qPrintable(id));
}

void TestHelpWindow::contentsListEveryPageAndSection() {
    HelpWindow help(kManual, QString());
    QCOMPARE(help.pages(),
             (QStringList{"index.html", "audit.html", "capability.html", "quantities.html",
                          "methods.html", "files.html", "batch.html"}));
    QCOMPARE(help.pageTitle(QStringLiteral("quantities.html")),
             QStringLiteral("Inputs and results"));
    QCOMPARE(help.source().fileName(), QStringLiteral("index.html"));
    QTreeWidget* contents = help.contents();
    QCOMPARE(contents->topLevelItemCount(), help.pages().size());
    for (int p = 0; p < contents->topLevelItemCount(); ++p) {
        QTreeWidgetItem* item = contents->topLevelItem(p);
        QCOMPARE(item->text(0), help.pageTitle(help.pages()[p]));
        QVERIFY2(item->childCount() > 0, qPrintable(item->text(0)));
        // Every section has its anchor, and choosing it shows the page there.
        for (int s = 0; s < item->childCount(); ++s) {
            QTreeWidgetItem* section = item->child(s);
            QVERIFY2(!section->data(0, Qt::UserRole + 1).toString().isEmpty(),
                     qPrintable(section->text(0)));
            Q_EMIT contents->itemActivated(section, 0);
            QCOMPARE(help.source().fileName(), help.pages()[p]);
            QCOMPARE(help.source().fragment(), section->data(0, Qt::UserRole + 1).toString());
        }
    }
    QCOMPARE(help.windowTitle(), QStringLiteral("The batch tool - ctaudit manual"));
}

void TestHelpWindow::searchFindsAcrossPages_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("pages"); // those with a place, in the contents' order
    QTest::newRow("a phrase") << "L/G exponent" << QStringList{"quantities.html"};
    QTest::newRow("any case") << "MERKEL"
                              << QStringList{"audit.html", "capability.html", "methods.html",
                                             "batch.html"};
    QTest::newRow("over several pages")
        << "wet bulb"
        << QStringList{"capability.html", "quantities.html", "methods.html", "batch.html"};
    QTest::newRow("program") << "ctaudit" << QStringList{"index.html", "files.html", "batch.html"};
    QTest::newRow("nowhere") << "zyzzyva" << QStringList{};
    QTest::newRow("blank") << "   " << QStringList{};
}

void TestHelpWindow::searchFindsAcrossPages() {
    QFETCH(QString, text);
    QFETCH(QStringList, pages);
    HelpWindow help(kManual, QString());
    help.show();
    QVERIFY(QTest::qWaitForWindowActive(&help));
    help.searchField()->setText(text);
    QTest::keyClick(help.searchField(), Qt::Key_Return);
    const int found = help.results()->count();
    QStringList foundPages;
    for (int i = 0; i < found; ++i) {
        help.results()->setCurrentRow(i);
        const QString shown = help.source().fileName();
        if (!foundPages.contains(shown))
            foundPages << shown;
        // The place is selected in its page, and every occurrence there is marked.
        QCOMPARE(help.browser()->textCursor().selectedText().toLower(), text.trimmed().toLower());
        QVERIFY(help.markedCount() >= 1);
        QVERIFY(help.browser()->viewport()->rect().contains(help.browser()->cursorRect()));
        QVERIFY(help.results()->item(i)->text().startsWith(help.pageTitle(shown) + " > "));
    }
    QCOMPARE(foundPages, pages);
    if (found == 0) {
        QCOMPARE(help.markedCount(), 0);
        return;
    }
    // F3 goes on to the next place, round to the first; Shift+F3 back.
    help.results()->setCurrentRow(found - 1);
    QTest::keyClick(help.searchField(), Qt::Key_F3);
    QCOMPARE(help.results()->currentRow(), 0);
    QTest::keyClick(help.searchField(), Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(help.results()->currentRow(), found - 1);
}

void TestHelpWindow::backAndForward() {
    HelpWindow help(kManual, QString());
    QVERIFY(!help.backButton()->isEnabled());
    help.showTopic({QStringLiteral("methods.html"), QStringLiteral("scaling")});
    QCOMPARE(help.windowTitle(), QStringLiteral("Methods - ctaudit manual"));
    help.showTopic({QStringLiteral("batch.html"), QString()});
    QCOMPARE(help.windowTitle(), QStringLiteral("The batch tool - ctaudit manual"));
    QVERIFY(help.backButton()->isEnabled());
    help.backButton()->click();
    QCOMPARE(help.source().fileName(), QStringLiteral("methods.html"));
    QCOMPARE(help.source().fragment(), QStringLiteral("scaling"));
    QCOMPARE(help.windowTitle(), QStringLiteral("Methods - ctaudit manual"));
    QTest::keyClick(help.browser(), Qt::Key_Left, Qt::AltModifier);
    QCOMPARE(help.source().fileName(), QStringLiteral("index.html"));
    QVERIFY(!help.backButton()->isEnabled());
    QTest::keyClick(help.browser(), Qt::Key_Right, Qt::AltModifier);
    QCOMPARE(help.source().fileName(), QStringLiteral("methods.html"));
    QVERIFY(help.forwardButton()->isEnabled());
    // A page the manual does not have shows the contents.
    help.showTopic({QStringLiteral("nonesuch.html"), QStringLiteral("x")});
    QCOMPARE(help.source().fileName(), QStringLiteral("index.html"));
    QCOMPARE(help.source().fragment(), QString());
}

void TestHelpWindow::missingManual() {
    QTemporaryDir empty;
    HelpWindow help(empty.path(), QStringLiteral("The manual is not installed."));
    QVERIFY(help.pages().isEmpty());
    QCOMPARE(help.browser()->toPlainText(), QStringLiteral("The manual is not installed."));
    QVERIFY(!help.searchField()->isEnabled());
    help.showTopic({QStringLiteral("quantities.html"), QStringLiteral("Form5.Text1")});
    QCOMPARE(help.contents()->topLevelItemCount(), 0);
    QVERIFY(help.search(QStringLiteral("NTU")).isEmpty());
}

void TestHelpWindow::topicOfTheFocus_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("widget"); // empty: the window itself
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("anchor");
    QTest::newRow("a field") << "Form5"
                             << "Text1"
                             << "quantities.html"
                             << "Form5.Text1";
    QTest::newRow("same key, other window") << "Form3"
                                            << "Text1"
                                            << "quantities.html"
                                            << "Form3.Text1";
    QTest::newRow("cross-flow design field") << "Form6"
                                             << "Text19"
                                             << "quantities.html"
                                             << "Form6.Text19";
    QTest::newRow("a result label") << "Form8"
                                    << "lbl2"
                                    << "audit.html"
                                    << "problem1";
    QTest::newRow("CALCULATE") << "Form10"
                               << "Command1"
                               << "audit.html"
                               << "problem3";
    QTest::newRow("a Problem window") << "Form4"
                                      << ""
                                      << "audit.html"
                                      << "problem4";
    QTest::newRow("start window") << "Form1"
                                  << "Command1"
                                  << "audit.html"
                                  << "start";
    QTest::newRow("Diagram window") << "frmDiagram"
                                    << ""
                                    << "audit.html"
                                    << "diagrams";
    QTest::newRow("Uncertainty window") << "Uncertainty"
                                        << ""
                                        << "audit.html"
                                        << "uncertainty";
    QTest::newRow("main window") << "frmMain"
                                 << ""
                                 << "index.html"
                                 << "";
}

void TestHelpWindow::topicOfTheFocus() {
    QFETCH(QString, window);
    QFETCH(QString, widget);
    QFETCH(QString, page);
    QFETCH(QString, anchor);
    GuiFixture fixture;
    QWidget* form = window == QLatin1String("frmMain")
                        ? static_cast<QWidget*>(fixture.windows().mainWindow())
                        : fixture.windows().form(window);
    QVERIFY(form);
    QWidget* focus = widget.isEmpty() ? form : form->findChild<QWidget*>(widget);
    QVERIFY(focus);
    QCOMPARE(helpTopic(focus), (HelpTopic{page, anchor}));
    QCOMPARE(helpTopic(nullptr), (HelpTopic{QStringLiteral("index.html"), QString()}));
    // The place is in the manual.
    if (!anchor.isEmpty())
        QVERIFY2(manualPage(page).contains(QStringLiteral("id=\"%1\"").arg(anchor)),
                 qPrintable(anchor));
}

QTEST_MAIN(TestHelpWindow)
#include "tst_helpwindow.moc"
