// The About box and the program's files: "About" ends the toolbar and shows a modeless box with
// the project's version, the licence, the libraries and the manual; each program file is looked
// for beside the executable, then under the install prefix the program was built for, and the
// first regular file wins; the start check names them all.

#include "app/aboutbox.h"
#include "app/programfiles.h"
#include "app/windows.h"
#include "support/guifixture.h"
#include "ui/mainwindow.h"
#include "ui/startwindow.h"

#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>
#include <memory>

class TestAboutBox : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { fixture_ = std::make_unique<GuiFixture>(); }
    void cleanup() { fixture_.reset(); }

    void aboutEndsTheToolbar();
    void boxStates_data();
    void boxStates();
    void boxIsModelessAndShownOnce();
    void lookedForBesideTheProgramThenInstalled_data();
    void lookedForBesideTheProgramThenInstalled();
    void firstRegularFileWins_data();
    void firstRegularFileWins();
    void startCheckNamesEveryFile();

private:
    std::unique_ptr<GuiFixture> fixture_;
};

void TestAboutBox::aboutEndsTheToolbar() {
    AboutBox about(fixture_->main());
    const QList<QAction*> actions = fixture_->main().toolBar()->actions();
    QVERIFY(!actions.isEmpty());
    QCOMPARE(actions.last(), about.action());
    QCOMPARE(about.action()->text(), QStringLiteral("About"));
    QVERIFY(about.action()->isEnabled());
}

void TestAboutBox::boxStates_data() {
    QTest::addColumn<QString>("fragment");
    QTest::newRow("version") << QStringLiteral("ctaudit " CTAUDIT_PROJECT_VERSION);
    QTest::newRow("licence") << QStringLiteral("Licence:</b> ") + AboutBox::licence();
    QTest::newRow("Qt at run time") << QStringLiteral("Qt ") + QString::fromLatin1(qVersion());
    QTest::newRow("plots") << QStringLiteral("QCustomPlot ");
    QTest::newRow("spreadsheet") << QStringLiteral("LibreOffice Calc");
    // The build tree's manual, beside the test programs.
    QTest::newRow("manual") << QDir(QCoreApplication::applicationDirPath())
                                   .filePath(QStringLiteral("manual/index.html"));
}

void TestAboutBox::boxStates() {
    QFETCH(QString, fragment);
    QCOMPARE(AboutBox::version(), QStringLiteral(CTAUDIT_PROJECT_VERSION));
    QVERIFY(!AboutBox::licence().isEmpty());
    QVERIFY2(AboutBox::text().contains(fragment), qPrintable(AboutBox::text()));
}

void TestAboutBox::boxIsModelessAndShownOnce() {
    AboutBox about(fixture_->main());
    QVERIFY(!about.dialog());
    about.action()->trigger(); // returns at once: nothing waits for the box
    QDialog* box = about.dialog();
    QVERIFY(box);
    QVERIFY(!box->isModal());
    QCOMPARE(box->findChild<QLabel*>(QStringLiteral("AboutText"))->text(), AboutBox::text());
    QTRY_VERIFY(!box->isVisible()); // the fixture closes every dialog that shows
    about.action()->trigger();
    QCOMPARE(about.dialog(), box);
    QVERIFY(box->isVisible());
    QCOMPARE(fixture_->unexpectedDialogs().size(), 2);
    QVERIFY(fixture_->unexpectedDialogs().front().contains(QStringLiteral("About ctaudit")));
}

void TestAboutBox::lookedForBesideTheProgramThenInstalled_data() {
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("installedUnder");
    QTest::newRow("template") << QStringLiteral("template")
                              << QStringLiteral(CTAUDIT_TEST_PREFIX "/share/ctaudit/");
    QTest::newRow("Calc module") << QStringLiteral("Calc module")
                                 << QStringLiteral(CTAUDIT_TEST_PREFIX "/lib");
    QTest::newRow("manual") << QStringLiteral("manual")
                            << QStringLiteral(CTAUDIT_TEST_PREFIX "/share/ctaudit/manual/");
}

void TestAboutBox::lookedForBesideTheProgramThenInstalled() {
    QFETCH(QString, what);
    QFETCH(QString, installedUnder);
    const QList<ProgramFile> files = programfiles::all();
    const auto it = std::find_if(files.begin(), files.end(),
                                 [&](const ProgramFile& f) { return f.what == what; });
    QVERIFY(it != files.end());
    QCOMPARE(it->candidates.size(), 2);
    const QDir bin(QCoreApplication::applicationDirPath());
    QCOMPARE(QFileInfo(it->candidates.front()).absolutePath(),
             what == QLatin1String("manual") ? bin.filePath(QStringLiteral("manual"))
                                             : bin.absolutePath());
    // The installed place is under the prefix of the install rules, which the package uses.
    QVERIFY2(it->candidates.back().startsWith(installedUnder), qPrintable(it->candidates.back()));
    // In the build tree each is found beside the program.
    QCOMPARE(it->found(), it->candidates.front());
}

void TestAboutBox::firstRegularFileWins_data() {
    QTest::addColumn<QStringList>("present"); // "file" or "folder" for each candidate, or ""
    QTest::addColumn<int>("found");           // index of the candidate found, -1 for none
    QTest::newRow("none") << QStringList{QString(), QString()} << -1;
    QTest::newRow("installed only") << QStringList{QString(), QStringLiteral("file")} << 1;
    QTest::newRow("both: beside the program")
        << QStringList{QStringLiteral("file"), QStringLiteral("file")} << 0;
    QTest::newRow("a folder of that name is skipped")
        << QStringList{QStringLiteral("folder"), QStringLiteral("file")} << 1;
    QTest::newRow("only a folder") << QStringList{QStringLiteral("folder"), QString()} << -1;
    QTest::newRow("no candidates") << QStringList{} << -1;
}

void TestAboutBox::firstRegularFileWins() {
    QFETCH(QStringList, present);
    QFETCH(int, found);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    ProgramFile file{QStringLiteral("template"), {}};
    for (int i = 0; i < present.size(); ++i) {
        const QString path = dir.filePath(QStringLiteral("%1/templete2.xls").arg(i));
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        if (present[i] == QLatin1String("file")) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
        } else if (present[i] == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(path));
        }
        file.candidates << path;
    }
    QCOMPARE(file.found(), found < 0 ? QString() : file.candidates[found]);
}

void TestAboutBox::startCheckNamesEveryFile() {
    fixture_->start();
    QString text;
    QTextStream out(&text);
    QCOMPARE(programfiles::checkStart(fixture_->windows(), out), 0);
    const QStringList lines = text.split(u'\n', Qt::SkipEmptyParts);
    const QDir bin(QCoreApplication::applicationDirPath());
    QCOMPARE(lines.value(0), QStringLiteral("ctaudit " CTAUDIT_PROJECT_VERSION));
    QCOMPARE(lines.value(1), QStringLiteral("start window: shown"));
    QCOMPARE(lines.value(2), QStringLiteral("template: ") + bin.filePath("templete2.xls"));
    QCOMPARE(lines.value(3), QStringLiteral("Calc module: ") + bin.filePath("libctaudit_calc.so"));
    QCOMPARE(lines.value(4), QStringLiteral("manual: ") + bin.filePath("manual/index.html"));
    QCOMPARE(lines.size(), 5);
    QVERIFY(fixture_->checkNoDialogs());

    // A hidden start window fails the check.
    fixture_->windows().startWindow()->hide();
    text.clear();
    QCOMPARE(programfiles::checkStart(fixture_->windows(), out), 1);
    QVERIFY(text.contains(QStringLiteral("start window: not shown")));
}

QTEST_MAIN(TestAboutBox)
#include "tst_aboutbox.moc"
