// The program's help: "Help" on the toolbar and F1 anywhere open the one manual window at the
// page of what has the focus, an entry field's quantity at its row, brought to the front again
// rather than opened twice.

#include "app/help.h"
#include "app/windows.h"
#include "support/guifixture.h"
#include "ui/mainwindow.h"
#include "ui/problemwindow.h"
#include "ui/startwindow.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QToolBar>
#include <QtTest>
#include <memory>

namespace {

// The rectangle of an anchor in the browser's viewport; empty when the page lacks it.
QRect anchorRect(QTextBrowser* browser, const QString& anchor) {
    for (QTextBlock b = browser->document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().anchorNames().contains(anchor)) {
                QTextCursor at(browser->document());
                at.setPosition(it.fragment().position());
                return browser->cursorRect(at);
            }
    return {};
}

} // namespace

class TestHelp : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        fixture_ = std::make_unique<GuiFixture>();
        help_ = std::make_unique<Help>(fixture_->main());
        fixture_->start();
    }
    void cleanup() {
        help_.reset();
        QVERIFY(fixture_->checkNoDialogs());
        fixture_.reset();
    }
    void toolbarEntry();
    void f1OpensThePageOfTheFocus();

private:
    std::unique_ptr<GuiFixture> fixture_;
    std::unique_ptr<Help> help_;
};

void TestHelp::toolbarEntry() {
    QAction* action = help_->action();
    QCOMPARE(fixture_->main().toolBar()->actions().last(), action);
    QCOMPARE(action->data().toString(), QStringLiteral("Help"));
    QCOMPARE(action->shortcut(), QKeySequence(Qt::Key_F1));
    QVERIFY(action->toolTip().endsWith(QStringLiteral("(F1)")));
    QVERIFY(!help_->window());
    action->trigger(); // the start window has the focus
    QVERIFY(help_->window() && help_->window()->isVisible());
    QCOMPARE(help_->window()->source().fileName(), QStringLiteral("audit.html"));
    QCOMPARE(help_->window()->source().fragment(), QStringLiteral("start"));
}

void TestHelp::f1OpensThePageOfTheFocus() {
    fixture_->windows().startWindow()->calculateButton()->click(); // counter-flow Problem 1
    ProblemWindow* form5 = fixture_->windows().problemWindow(Arrangement::CounterFlow, 1);
    auto* field = form5->findChild<QLineEdit*>(QStringLiteral("Text7"));
    QVERIFY(field);
    field->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(field));
    const QString text = field->text();
    QTest::keyClick(field, Qt::Key_F1);
    HelpWindow* window = help_->window();
    QVERIFY(window && window->isVisible());
    QCOMPARE(window->source().fileName(), QStringLiteral("quantities.html"));
    QCOMPARE(window->source().fragment(), QStringLiteral("Form5.Text7"));
    // The field's row is in sight, below the top of the page.
    QTRY_VERIFY(window->browser()->verticalScrollBar()->value() > 0);
    const QRect row = anchorRect(window->browser(), QStringLiteral("Form5.Text7"));
    QVERIFY(!row.isNull());
    QVERIFY(window->browser()->viewport()->rect().contains(row));
    QCOMPARE(field->text(), text);
    // Its row is marked.
    QCOMPARE(window->markedPlace(), QStringLiteral("Ambient relative humidity|%|p1.rh|0 - 100"));

    // F1 on the Problem window's CALCULATE: the same window, at the Problem's section.
    QTRY_VERIFY(QApplication::activeWindow() == window);
    fixture_->main().activateWindow();
    QTRY_VERIFY(QApplication::activeWindow() == &fixture_->main());
    form5->calculateButton()->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(form5->calculateButton()));
    QTest::keyClick(form5->calculateButton(), Qt::Key_F1);
    QCOMPARE(help_->window(), window);
    QCOMPARE(window->source().fileName(), QStringLiteral("audit.html"));
    QCOMPARE(window->source().fragment(), QStringLiteral("problem1"));
    // CALCULATE was not pressed.
    QVERIFY(!fixture_->windows().status().contains(QStringLiteral("Calculation")));

    // F1 in the help window keeps its page.
    QTRY_VERIFY(QApplication::activeWindow() == window);
    window->browser()->setFocus();
    QTest::keyClick(window->browser(), Qt::Key_F1);
    QCOMPARE(window->source().fragment(), QStringLiteral("problem1"));
    QCOMPARE(fixture_->main().findChildren<HelpWindow*>().size(), 1);
}

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
