// Saving and opening audits: a chain saved and opened again shows the same windows, a hand-written
// file and a batch input case open, and every kind of bad file is reported by name and changes
// nothing.

#include "app/auditdocument.h"
#include "app/windows.h"
#include "auditprogram.h"
#include "engine/fieldtable.h"
#include "engine/numtext.h"
#include "support/guifixture.h"
#include "ui/mainwindow.h"
#include "ui/numericfield.h"
#include "ui/startwindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>
#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>

Q_DECLARE_METATYPE(Arrangement)
Q_DECLARE_METATYPE(AuditDocument::Changes)

class TestAuditDocument : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void saveThenOpenShowsTheSameWindows_data();
    void saveThenOpenShowsTheSameWindows();
    void handWrittenFileOpens_data();
    void handWrittenFileOpens();
    void badFileChangesNothing_data();
    void badFileChangesNothing();
    void titleRecentFilesAndDrop();
    void recentEntryNamesItsFolder_data();
    void recentEntryNamesItsFolder();
    void unsavedChangesBeforeAnotherFile_data();
    void unsavedChangesBeforeAnotherFile();
    void saveValidatesFieldsFirst();
    void saveOnAFullDiskKeepsTheOldFile();
    void changedOnDiskAsksBeforeSaving_data();
    void changedOnDiskAsksBeforeSaving();
    void specialFilesAreRefused_data();
    void specialFilesAreRefused();
    void batchInputCaseFillsFields();
    void openingReplacesTheWholeAudit_data();
    void openingReplacesTheWholeAudit();
    void openingAfterWorkIsOpeningInAFreshProgram_data();
    void openingAfterWorkIsOpeningInAFreshProgram();
    void cancelledOpeningChangesNothing();
    void gridOnlyAppends();
    void exitAndCloseAskFirst_data();
    void exitAndCloseAskFirst();
    void batchCaseOpensAsANewAudit();
    void batchCaseIntoTheCurrentAuditIsOneChange();
    void longAuditOpensAgain();
    void longestNumbersAreReadOnce_data();
    void longestNumbersAreReadOnce();
    void newAuditIsAFreshProgram_data();
    void newAuditIsAFreshProgram();
};

void TestAuditDocument::saveThenOpenShowsTheSameWindows_data() {
    QTest::addColumn<Arrangement>("arrangement");
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("counter flow") << Arrangement::CounterFlow << pointLocale();
    QTest::newRow("cross flow, decimal comma") << Arrangement::CrossFlow << commaLocale();
}

void TestAuditDocument::saveThenOpenShowsTheSameWindows() {
    QFETCH(Arrangement, arrangement);
    QFETCH(QLocale, locale);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("chain.ctaudit"));
    TextSnapshot saved;
    {
        Program p(locale);
        StartWindow* start = p.windows().startWindow();
        (arrangement == Arrangement::CounterFlow ? start->counterFlowOption()
                                                 : start->crossFlowOption())
            ->click();
        start->calculateButton()->click();
        // The whole chain, Problem 1 with a value of its own.
        p.type(arrangement, 0, QStringLiteral("95.5"));
        for (int problem = 1; problem <= 4; ++problem) {
            p.calculate(arrangement, problem);
            if (problem < 4)
                p.goOn(arrangement, problem);
        }
        // Problem 1 again with another inlet (a second grid row; Problems 2 to 4 keep what
        // they showed), a refused CALCULATE, then a value typed and not calculated.
        p.fixture.show(p.form(arrangement, 1));
        p.type(arrangement, 2, QStringLiteral("39.25"));
        p.calculate(arrangement, 1);
        p.field(arrangement, 5)->setText(QString());
        p.calculate(arrangement, 1);
        p.type(arrangement, 5, QStringLiteral("26"));
        p.type(arrangement, 0, QStringLiteral("97"));
        QCOMPARE(p.fixture.desktop().messageTexts(), QStringList{"All fields require data"});
        QCOMPARE(p.document.current().calculated.size(), 5);

        QVERIFY(p.document.saveTo(path));
        saved = p.everything();
        QVERIFY(p.fixture.checkNoDialogs());
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.startsWith("{\n  \"format\": \"ctaudit-audit\",\n  \"version\": 1,\n"));
    QVERIFY2(text.contains("\"p1.L\": \"97\"") && text.contains("\"p1.Tin\": \"39.25\""), text);

    Program p(locale);
    QVERIFY(p.document.open(path));
    QCOMPARE(p.fixture.desktop().messageTexts(), QStringList());
    const QString difference = snapshotDifference(saved, p.everything());
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
    QCOMPARE(p.document.isModified(), false);
    QVERIFY(p.fixture.checkNoDialogs());
}

void TestAuditDocument::handWrittenFileOpens_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("shown");
    QTest::newRow("point") << pointLocale() << "37.5";
    QTest::newRow("comma") << commaLocale() << "37,5";
}

void TestAuditDocument::handWrittenFileOpens() {
    QFETCH(QLocale, locale);
    QFETCH(QString, shown);
    QTemporaryDir dir;
    // A number, unknown keys and no calculations: the fields show the texts, nothing runs.
    const QString path = writeFile(
        dir, "hand.ctaudit",
        handWritten("37.5", ", \"arrangement\": \"cross\", \"comment\": {\"by\": [1, 2]}"));
    Program p(locale);
    QVERIFY(p.document.open(path));
    QCOMPARE(p.field(Arrangement::CounterFlow, 0)->text(), shown);
    QCOMPARE(p.field(Arrangement::CrossFlow, 3)->text(), QStringLiteral("33"));
    QVERIFY(p.windows().startWindow()->crossFlowOption()->isChecked());
    QCOMPARE(p.fixture.desktop().messages.size(), 0);
    QVERIFY(p.document.current().calculated.isEmpty());
}

void TestAuditDocument::badFileChangesNothing_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("message");
    const QByteArray calc = ", \"calculated\": [{\"arrangement\": \"counter\", \"problem\": ";
    QTest::newRow("missing") << "none.ctaudit" << QByteArray() << "No such file";
    QTest::newRow("empty") << "a.ctaudit" << QByteArray("") << "line 1, column 1: ";
    QTest::newRow("JSON syntax")
        << "a.ctaudit"
        << QByteArray("{\"format\": \"ctaudit-audit\",\n \"version\": 1\n  \"x\": 1}")
        << "line 3, column 3: ";
    QTest::newRow("not UTF-8") << "a.ctaudit" << QByteArray("{\"format\": \"\xff\"}")
                               << "line 1, column 13: ";
    QTest::newRow("another kind") << "a.ctaudit" << QByteArray("[1, 2]")
                                  << "format: this is not an audit file";
    QTest::newRow("another format")
        << "a.ctaudit" << QByteArray("{\"format\": \"ctaudit-other\", \"version\": 1}")
        << "format: this is not an audit file";
    QTest::newRow("newer version")
        << "a.ctaudit" << QByteArray("{\"format\": \"ctaudit-audit\", \"version\": 2}")
        << "version: the file has format version 2";
    QTest::newRow("missing arrangement")
        << "a.ctaudit" << QByteArray("{\"format\": \"ctaudit-audit\", \"version\": 1}")
        << "counter: is missing";
    QByteArray missing = handWritten();
    missing.replace("\"p2.tdb\": \"20\", ", "");
    QTest::newRow("missing value") << "a.ctaudit" << missing << "counter.p2.tdb: is missing";
    QTest::newRow("not a number") << "a.ctaudit" << handWritten("\"1O0\"")
                                  << "counter.p1.L: is not a number";
    QTest::newRow("decimal comma")
        << "a.ctaudit" << handWritten("\"99,5\"") << "counter.p1.L: is not a number";
    QTest::newRow("refused by the field")
        << "a.ctaudit" << handWritten("\"200.01\"")
        << "counter.p1.L: \"200.01\" is refused by its field: Invalid entries, number must be "
           "less than 200 kg/s";
    QTest::newRow("negative") << "a.ctaudit" << handWritten("\"-1\"")
                              << "water mass flow rate must be positive number";
    QTest::newRow("no such problem") << "a.ctaudit" << handWritten("\"100\"", calc + "5}]")
                                     << "calculated[0].problem: is not 1, 2, 3 or 4";
    QTest::newRow("refused on replay")
        << "a.ctaudit"
        << handWritten("\"100\"", calc + "1, \"inputs\": {\"p1.L\": \"100\", \"p1.G\": \"90\", "
                                         "\"p1.Tin\": \"30\", \"p1.Tout\": \"33\", \"p1.p\": "
                                         "\"1\", \"p1.tdb\": \"25\", \"p1.rh\": \"55\"}}]")
        << "calculated[0]: Problem 1 (counter flow) cannot be calculated again: Outlet water "
           "temperature must be less then inlet water temperature";
    QTest::newRow("out of order") << "a.ctaudit" << handWritten("\"100\"", calc + "2}]")
                                  << "calculated[0]: Problem 2 (counter flow) cannot be "
                                     "calculated again: Problem 1 has not been calculated yet";
    QTest::newRow("grid cell") << "a.ctaudit"
                               << handWritten("\"100\"",
                                              ", \"grids\": {\"cross\": [[\"1\", true]]}")
                               << "grids.cross[0][1]: is not a text";
    QTest::newRow("batch input") << "a.csv" << QByteArray("p1.L,p1.X\n1,2\n")
                                 << "line 1, column 2: unknown column";
}

void TestAuditDocument::badFileChangesNothing() {
    QFETCH(QString, name);
    QFETCH(QByteArray, data);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path = data.isNull() ? dir.filePath(name) : writeFile(dir, name, data);
    Program p;
    p.fixture.show(p.form(Arrangement::CounterFlow, 1));
    p.calculate(Arrangement::CounterFlow, 1);
    QVERIFY(p.document.saveTo(dir.filePath("before.ctaudit")));
    p.type(Arrangement::CounterFlow, 0, "101");
    const TextSnapshot before = p.everything();
    p.fixture.desktop().clear();

    QVERIFY(!p.document.open(path));
    QCOMPARE(p.fixture.desktop().messages.size(), 1);
    const QString text = p.fixture.desktop().messages.front().text;
    QVERIFY2(text.startsWith(QStringLiteral("The file \"%1\" cannot be opened: ").arg(path)),
             qPrintable(text));
    QVERIFY2(text.contains(message), qPrintable(text));
    const QString difference = snapshotDifference(before, p.everything());
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
    QVERIFY(p.document.isModified());
    QVERIFY(p.fixture.checkNoDialogs());
}

void TestAuditDocument::titleRecentFilesAndDrop() {
    QTemporaryDir dir;
    const QString first = writeFile(dir, "first.ctaudit", handWritten());
    const QString second = writeFile(dir, "second.ctaudit", handWritten("\"90\""));
    Program p;
    MainWindow* main = p.windows().mainWindow();
    QVERIFY(p.document.open(first));
    QCOMPARE(main->windowTitle(),
             QStringLiteral("first.ctaudit[*] - DIRECT CONTACT HEAT TRANSFER COOLING TOWERS"));
    QVERIFY(!main->isWindowModified());
    p.type(Arrangement::CounterFlow, 1, "91");
    QVERIFY(main->isWindowModified());
    QStringList asked;
    p.document.askUnsavedChanges = [&](const QString& audit) {
        asked.append(audit);
        return AuditDocument::Changes::Discard;
    };

    // A file dropped on the main window opens once the drop has ended, the changes discarded.
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(second)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(main, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(p.field(Arrangement::CounterFlow, 1), &drop); // a field takes no path
    QTRY_COMPARE(p.field(Arrangement::CounterFlow, 0)->text(), QStringLiteral("90"));
    QVERIFY(main->windowTitle().startsWith(QLatin1String("second.ctaudit")));
    QCOMPARE(asked, QStringList{"first.ctaudit"});
    QCOMPARE(p.document.recentFiles(), QStringList({second, first}));
    // A recent file that has gone since is taken off the list, and the engineer told so.
    QVERIFY(QFile::remove(first));
    auto* openButton =
        qobject_cast<QToolButton*>(main->toolBar()->widgetForAction(p.document.openAction));
    QVERIFY(openButton && openButton->menu());
    Q_EMIT openButton->menu()->aboutToShow();
    const QList<QAction*> recent = openButton->menu()->actions();
    QCOMPARE(recent.size(), 2);
    // Each entry names its file and the folder it is in.
    const QString folder = QDir::toNativeSeparators(QFileInfo(second).absolutePath());
    QCOMPARE(recent[0]->text(), QStringLiteral("&1 second.ctaudit \u2014 ") + folder);
    QCOMPARE(recent[0]->toolTip(), QDir::toNativeSeparators(second));
    p.fixture.desktop().messages.clear();
    recent[1]->trigger();
    QCOMPARE(p.fixture.desktop().messages.size(), 1);
    QVERIFY(p.fixture.desktop().messages.front().text.contains("no longer exists"));
    QCOMPARE(p.document.recentFiles(), QStringList{second});
    QVERIFY(main->windowTitle().startsWith(QLatin1String("second.ctaudit")));
    // "New", "Open", "Save", "Undo" and "Redo" follow the toolbar's own buttons, which keep
    // their places.
    QStringList captions;
    for (const QAction* a : main->toolBar()->actions())
        if (!a->text().isEmpty())
            captions.append(a->text().trimmed());
    QCOMPARE(captions.mid(0, 2), QStringList({"Menu", "Excel"}));
    QCOMPARE(captions.mid(captions.size() - 6),
             QStringList({"Exit", "New", "Open", "Save", "Undo", "Redo"}));
    QCOMPARE(p.document.newAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
    QCOMPARE(p.document.openAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    QCOMPARE(p.document.saveAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    QCOMPARE(p.document.saveAsAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+S")));
}

void TestAuditDocument::recentEntryNamesItsFolder_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::newRow("short") << 0 << "/audits/plant/tower.ctaudit"
                           << "&1 tower.ctaudit \u2014 /audits/plant"
                           << "/audits/plant";
    // An ampersand is text, not a mnemonic.
    QTest::newRow("ampersand") << 1 << "/audits/A&B/x&y.ctaudit"
                               << "&2 x&&y.ctaudit \u2014 "
                               << "/audits/A&&B";
    // Past nine entries there is no mnemonic digit.
    QTest::newRow("tenth") << 9 << "/a/b.ctaudit"
                           << "10 b.ctaudit \u2014 "
                           << "/a";
    // A long folder keeps its start and the audit's own folder at its end.
    const QString deep = QStringLiteral("/home/engineer/projects/2026/power-station-north/"
                                        "cooling-water/unit-3/towers/audits");
    QTest::newRow("long") << 2 << deep + "/t.ctaudit"
                          << "&3 t.ctaudit \u2014 /home/"
                          << "/audits";
}

void TestAuditDocument::recentEntryNamesItsFolder() {
    QFETCH(int, index);
    QFETCH(QString, file);
    QFETCH(QString, start);
    QFETCH(QString, end);
    const QFontMetrics metrics(QApplication::font());
    const QString text = AuditDocument::recentEntryText(index, file, metrics);
    QVERIFY2(text.startsWith(start) && text.endsWith(end), qPrintable(text));
    // Elided in the middle, not at an end, and to a bounded width.
    const QString folder = QDir::toNativeSeparators(QFileInfo(file).absolutePath());
    if (metrics.horizontalAdvance(folder) > metrics.averageCharWidth() * 48) {
        QVERIFY2(text.contains(QChar(0x2026)), qPrintable(text));
        QVERIFY(text.size() < QStringLiteral("&3 t.ctaudit \u2014 ").size() + folder.size());
    }
}

void TestAuditDocument::unsavedChangesBeforeAnotherFile_data() {
    QTest::addColumn<bool>("changed");
    QTest::addColumn<AuditDocument::Changes>("answer");
    QTest::addColumn<QString>("saveAs"); // the name given when Save asks for one
    QTest::addColumn<bool>("opened");
    QTest::addColumn<QString>("firstFileL"); // p1.L in the first file afterwards
    const auto Save = AuditDocument::Changes::Save;
    const auto Discard = AuditDocument::Changes::Discard;
    const auto Keep = AuditDocument::Changes::Keep;
    QTest::newRow("unchanged: not asked") << false << Keep << "" << true << "100";
    QTest::newRow("discarded") << true << Discard << "" << true << "100";
    QTest::newRow("kept") << true << Keep << "" << false << "100";
    QTest::newRow("saved") << true << Save << "" << true << "91";
    QTest::newRow("untitled, saved as") << true << Save << "first.ctaudit" << true << "91";
    QTest::newRow("untitled, Save As cancelled") << true << Save << "-" << false << "100";
}

void TestAuditDocument::unsavedChangesBeforeAnotherFile() {
    // Another file replaces an audit with changes only once they are saved or discarded; kept,
    // or a Save As that is cancelled, leaves every window as it was and asks for no file.
    QFETCH(bool, changed);
    QFETCH(AuditDocument::Changes, answer);
    QFETCH(QString, saveAs);
    QFETCH(bool, opened);
    QFETCH(QString, firstFileL);
    QTemporaryDir dir;
    const QString first = writeFile(dir, "first.ctaudit", handWritten());
    const QString second = writeFile(dir, "second.ctaudit", handWritten("\"90\""));
    Program p;
    if (saveAs.isEmpty()) {
        QVERIFY(p.document.open(first));
    } else {
        QVERIFY(QFile::remove(first));
        p.type(Arrangement::CounterFlow, 0, "100");
    }
    if (changed)
        p.type(Arrangement::CounterFlow, 0, "91");
    QCOMPARE(p.document.isModified(), changed);
    int asked = 0;
    int namesAsked = 0;
    p.document.askUnsavedChanges = [&](const QString&) { return ++asked, answer; };
    p.document.askSaveName = [&](const QString&) { return saveAs == "-" ? QString() : first; };
    p.document.askOpenName = [&] { return ++namesAsked, second; };
    const TextSnapshot before = p.everything();

    QCOMPARE(p.document.open(), opened);
    QCOMPARE(asked, changed ? 1 : 0);
    QCOMPARE(namesAsked, opened ? 1 : 0);
    if (opened)
        QCOMPARE(p.field(Arrangement::CounterFlow, 0)->text(), QStringLiteral("90"));
    else
        QCOMPARE(snapshotDifference(before, p.everything()), QString());
    if (QFile::exists(first)) {
        Program again;
        QVERIFY(again.document.open(first));
        QCOMPARE(again.field(Arrangement::CounterFlow, 0)->text(), firstFileL);
    }
}

void TestAuditDocument::saveValidatesFieldsFirst() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.ctaudit"));
    Program p;
    p.fixture.show(p.form(Arrangement::CounterFlow, 1));
    p.field(Arrangement::CounterFlow, 0)->setText(QStringLiteral("250")); // not left yet
    QVERIFY(!p.document.saveTo(path));
    QCOMPARE(p.fixture.desktop().messageTexts(),
             QStringList{"Invalid entries, number must be less than 200 kg/s"});
    QVERIFY(!QFile::exists(path));
    // An empty field is kept as empty; a folder that does not exist is reported.
    QVERIFY(p.document.saveTo(path));
    QVERIFY(!p.document.saveTo(dir.filePath(QStringLiteral("no/such/folder/a.ctaudit"))));
    QCOMPARE(p.fixture.desktop().messages.size(), 2);
    QCOMPARE(p.document.fileName(), path);
}

// A disk that fills up (here: a limit on the file size below the audit's size, which the
// write buffer holds until the end): the save fails with a message, the file saved before
// stays as it was, and the audit is still unsaved.
void TestAuditDocument::saveOnAFullDiskKeepsTheOldFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.ctaudit"));
    Program p;
    QVERIFY(p.document.saveTo(path));
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray before = saved.readAll();
    saved.close();
    QVERIFY(before.size() < 16 * 1024); // held by the write buffer to the end
    p.calculate(Arrangement::CounterFlow, 1);
    p.fixture.desktop().messages.clear();

    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &limit) == 0);
    rlimit small = limit;
    small.rlim_cur = rlim_t(before.size() / 2);
    QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
    const bool ok = p.document.saveTo(path);
    QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);

    QVERIFY(!ok);
    QCOMPARE(p.fixture.desktop().messages.size(), 1);
    QVERIFY2(p.fixture.desktop().messageTexts().first().startsWith(
                 QStringLiteral("The audit cannot be saved as")),
             qPrintable(p.fixture.desktop().messageTexts().first()));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"a.ctaudit"}); // no leftover
    QVERIFY(p.windows().mainWindow()->windowTitle().contains(u'*'));
}

// Another program saved the audit's file since it was opened here (another window of this
// one), or put a link to a file elsewhere in its place: "Save" asks first. Cancel keeps that
// file; Save As saves under another name; Replace writes a new file in its place, never
// through the link. Once saved here, the next "Save" asks nothing.
void TestAuditDocument::changedOnDiskAsksBeforeSaving_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("answer"); // 0 Save As, 1 Replace, 2 Cancel
    QTest::newRow("saved elsewhere, Cancel") << "saved" << 2;
    QTest::newRow("saved elsewhere, Save As") << "saved" << 0;
    QTest::newRow("saved elsewhere, Replace") << "saved" << 1;
    QTest::newRow("replaced by a link, Replace") << "link" << 1;
}

void TestAuditDocument::changedOnDiskAsksBeforeSaving() {
    QFETCH(QString, change);
    QFETCH(int, answer);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.ctaudit"));
    const QString copy = dir.filePath(QStringLiteral("copy.ctaudit"));
    Program p;
    QVERIFY(p.document.saveTo(path));
    const QByteArray theirs = handWritten("\"120\"");
    const QString changed =
        change == QLatin1String("saved") ? path : dir.filePath(QStringLiteral("elsewhere.ctaudit"));
    QVERIFY(QFile::remove(path));
    writeFile(dir, QFileInfo(changed).fileName(), theirs);
    if (change == QLatin1String("link"))
        QVERIFY(QFile::link(changed, path));
    p.type(Arrangement::CounterFlow, 0, QStringLiteral("95"));
    p.document.askSaveName = [&](const QString&) { return copy; };
    RecordingDesktop& desktop = p.fixture.desktop();
    desktop.askAnswer = answer;

    QCOMPARE(p.document.save(), answer != 2);
    QCOMPARE(desktop.questions.size(), 1);
    QCOMPARE(desktop.questions[0].text,
             QStringLiteral("\u201ca.ctaudit\u201d was changed on disk since it was opened or last "
                            "saved, perhaps by another program. Saving here replaces those "
                            "changes."));
    QCOMPARE(desktop.questions[0].answers, (QStringList{"Save As...", "Replace", "Cancel"}));
    QFile file(changed);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll() == theirs, answer != 1 || change == QLatin1String("link"));
    QCOMPARE(QFileInfo(path).isSymLink(), answer != 1 && change == QLatin1String("link"));
    QCOMPARE(p.document.fileName(), answer == 0 ? copy : path);
    if (answer == 2)
        return;
    QVERIFY(p.document.save());
    QCOMPARE(desktop.questions.size(), 1);
    QVERIFY(desktop.messages.isEmpty());
}

// A file that is no regular file is refused at once with one message, whatever its name says:
// a FIFO would wait for a writer and /dev/zero never end. Nor does a save replace it.
void TestAuditDocument::specialFilesAreRefused_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("FIFO") << "fifo";
    QTest::newRow("link to /dev/zero") << "zero";
    QTest::newRow("folder") << "folder";
}

void TestAuditDocument::specialFilesAreRefused() {
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("special.ctaudit"));
    if (kind == QLatin1String("fifo"))
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    else if (kind == QLatin1String("zero"))
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
    else
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("special.ctaudit")));
    Program p;
    const TextSnapshot before = p.everything();
    QVERIFY(!p.document.open(path));
    QCOMPARE(
        p.fixture.desktop().messageTexts(),
        QStringList{QStringLiteral("The file \"%1\" cannot be opened: it is not a regular file")
                        .arg(QDir::toNativeSeparators(path))});
    QCOMPARE(snapshotDifference(before, p.everything()), QString());

    // Saving is tried on the FIFO and the folder only: a regression would replace a device.
    if (kind == QLatin1String("zero"))
        return;
    struct stat was {};
    QVERIFY(::lstat(QFile::encodeName(path).constData(), &was) == 0);
    p.fixture.desktop().messages.clear();
    QVERIFY(!p.document.saveTo(path));
    QCOMPARE(p.fixture.desktop().messageTexts(),
             QStringList{QStringLiteral("The audit cannot be saved as \"%1\": it is not a regular "
                                        "file")
                             .arg(QDir::toNativeSeparators(path))});
    struct stat is {};
    QVERIFY(::lstat(QFile::encodeName(path).constData(), &is) == 0);
    QCOMPARE(is.st_mode, was.st_mode);
    QCOMPARE(is.st_ino, was.st_ino);
}

void TestAuditDocument::batchInputCaseFillsFields() {
    QTemporaryDir dir;
    QByteArray csv;
    for (int c = 0; c < auditfile::kInputCount; ++c)
        csv += (c ? "," : "") + auditfile::inputColumn(c).toLatin1();
    csv += "\n90,70,37,34,1,28,55,90,80,34,31,21,25,35,25,500,35,28,22\n"
           "88.5,70,37,34,1,28,55,90,80,34,31,21,25,35,25,500,35,28,22\n"
           "300,70,37,34,1,28,55,90,80,34,31,21,25,35,25,500,35,28,22\n";
    const QString path = writeFile(dir, "regimes.csv", csv);
    Program p(commaLocale());
    int offered = 0;
    int pick = 1;
    p.document.askCase = [&](const QString&, const QList<BatchCase>& cases, Arrangement preset) {
        offered = static_cast<int>(cases.size());
        Q_UNUSED(preset);
        return AuditDocument::CaseChoice{pick, Arrangement::CrossFlow};
    };
    QVERIFY(p.document.open(path));
    QCOMPARE(offered, 3);
    QCOMPARE(p.field(Arrangement::CrossFlow, 0)->text(), QStringLiteral("88,5"));
    QCOMPARE(p.field(Arrangement::CounterFlow, 0)->text(), QStringLiteral("100"));
    QVERIFY(p.windows().startWindow()->crossFlowOption()->isChecked());
    QVERIFY(p.document.isModified());

    // A case with a value its field refuses changes nothing.
    pick = 2;
    const TextSnapshot before = p.everything();
    QVERIFY(!p.document.open(path));
    QVERIFY2(p.fixture.desktop().messageTexts().value(0).contains(
                 "case 3 (line 4), p1.L: \"300\" is refused by its field"),
             qPrintable(p.fixture.desktop().messageTexts().value(0)));
    QVERIFY(snapshotDifference(before, p.everything()).isEmpty());
}

// An audit opened after another one holds nothing of it: the other audit's cross-flow results
// do not come back when the cross-flow Problem 1 window is shown again, whichever windows were
// on screen when the audit was replaced (the one in front and those behind it take turns as the
// active window while the Problem windows close).
void TestAuditDocument::openingReplacesTheWholeAudit_data() {
    QTest::addColumn<int>("calculatedUpTo"); // the cross-flow Problems the first audit calculated
    QTest::addColumn<bool>("crossFlowInFront"); // or the counter-flow Problem 1
    QTest::newRow("counter flow in front") << 1 << false;
    QTest::newRow("cross flow in front, Problems behind") << 3 << true;
}

void TestAuditDocument::openingReplacesTheWholeAudit() {
    QFETCH(int, calculatedUpTo);
    QFETCH(bool, crossFlowInFront);
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.ctaudit"));
    {
        Program p;
        p.startProblemOne(Arrangement::CrossFlow);
        const char* const values[] = {"90", "75", "36", "30", "1", "27", "50"};
        for (int c = 0; c < 7; ++c)
            p.type(Arrangement::CrossFlow, c, QString::fromLatin1(values[c]));
        for (int problem = 1; problem <= calculatedUpTo; ++problem) {
            p.calculate(Arrangement::CrossFlow, problem);
            if (problem < calculatedUpTo)
                p.goOn(Arrangement::CrossFlow, problem);
        }
        QCOMPARE(p.fixture.desktop().messageTexts(), QStringList());
        QCOMPARE(p.document.current().calculated.size(), calculatedUpTo);
        QVERIFY(p.document.saveTo(a));
    }
    const QString b = dir.filePath(QStringLiteral("b.ctaudit"));
    {
        // Only counter flow calculated; the cross-flow fields as a new audit has them.
        Program p;
        p.startProblemOne(Arrangement::CounterFlow);
        p.calculate(Arrangement::CounterFlow, 1);
        QVERIFY(p.document.saveTo(b));
    }
    // Menu, Cross Flow, CALCULATE after B has opened.
    const auto crossFlowAfterB = [](Program& p) {
        p.startProblemOne(Arrangement::CrossFlow);
        return p.everything();
    };
    Program fresh;
    QVERIFY(fresh.document.open(b));
    const TextSnapshot expected = crossFlowAfterB(fresh);

    Program p;
    QVERIFY(p.document.open(a));
    p.startProblemOne(Arrangement::CounterFlow);
    if (crossFlowInFront) {
        // Only Problem windows on screen, the cross-flow Problem 1 in front.
        p.windows().startWindow()->parentWidget()->close();
        for (int problem = calculatedUpTo; problem >= 1; --problem)
            p.fixture.show(p.form(Arrangement::CrossFlow, problem));
    }
    QVERIFY(p.document.open(b));
    const QString difference = snapshotDifference(expected, crossFlowAfterB(p));
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
    QVERIFY(p.fixture.checkNoDialogs());
}

// For random audits A and B: opening A, working on it in any window, then opening B gives what
// opening B gives in a fresh program: every text of every window, the grids, the title, and the
// engine's whole audit.
void TestAuditDocument::openingAfterWorkIsOpeningInAFreshProgram_data() {
    QTest::addColumn<quint32>("seed");
    for (quint32 seed : {11u, 12u, 13u, 14u})
        QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
}

void TestAuditDocument::openingAfterWorkIsOpeningInAFreshProgram() {
    QFETCH(quint32, seed);
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.ctaudit"));
    const QString b = dir.filePath(QStringLiteral("b.ctaudit"));
    for (const auto& [path, salt] : {std::pair{a, 0u}, std::pair{b, 1000u}}) {
        Program p;
        RandomWork work(p, seed + salt);
        for (int i = 0; i < 8; ++i)
            work.step();
        QVERIFY(p.document.saveTo(path));
    }

    Program fresh;
    QVERIFY(fresh.document.open(b));
    fresh.loadAll();

    Program p;
    QVERIFY(p.document.open(a));
    RandomWork work(p, seed + 2000);
    for (int i = 0; i < 8; ++i)
        work.step();
    int asked = 0;
    p.document.askUnsavedChanges = [&](const QString&) {
        return ++asked, AuditDocument::Changes::Discard;
    };
    QVERIFY(p.document.openInstead(b));
    QVERIFY(asked <= 1);
    p.loadAll();
    const QString difference = snapshotDifference(fresh.everything(), p.everything());
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
    QVERIFY(engine::Audit::sameAudit(fresh.windows().audit().state(), p.windows().audit().state()));
    QVERIFY(!p.document.isModified());
    QVERIFY(!p.document.history().stack().canUndo());
}

// A long opening that the engineer cancels leaves the audit on screen as it was.
void TestAuditDocument::cancelledOpeningChangesNothing() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("chain.ctaudit"));
    {
        Program p;
        p.startProblemOne(Arrangement::CounterFlow);
        for (int problem = 1; problem <= 4; ++problem) {
            p.calculate(Arrangement::CounterFlow, problem);
            if (problem < 4)
                p.goOn(Arrangement::CounterFlow, problem);
        }
        QVERIFY(p.document.saveTo(path));
    }
    Program p;
    p.fixture.show(p.form(Arrangement::CounterFlow, 1));
    p.type(Arrangement::CounterFlow, 0, QStringLiteral("120"));
    p.calculate(Arrangement::CounterFlow, 1);
    const TextSnapshot before = p.everything();
    QList<int> reported;
    p.document.replayProgress = [&](int done, int total) {
        reported.append(done);
        return done < total - 1;
    };
    QVERIFY(!p.document.open(path));
    QCOMPARE(reported, QList<int>({1, 2, 3}));
    QCOMPARE(snapshotDifference(before, p.everything()), QString());
    QCOMPARE(p.fixture.desktop().messages.size(), 0);
    QVERIFY(p.document.isModified());
    // Not cancelled, the same file opens.
    p.document.replayProgress = [](int, int) { return true; };
    QVERIFY(p.document.open(path));
    QVERIFY(!p.document.isModified());
}

// The Problem 1 grid only appends: a glance at the Diagram window between calculations
// overwrites no row, a new row is scrolled into view, rows go only when deleted (with undo).
void TestAuditDocument::gridOnlyAppends() {
    Program p;
    const Arrangement a = Arrangement::CounterFlow;
    p.fixture.show(p.form(a, 1));
    QTableWidget* grid = p.form(a, 1)->findChild<QTableWidget*>();
    const auto row = [&](int r) {
        QStringList cells;
        for (int c = 0; c < grid->columnCount(); ++c)
            cells.append(grid->item(r, c) ? grid->item(r, c)->text() : QString());
        return cells;
    };
    for (int i = 0; i < 6; ++i) {
        p.type(a, 0, QString::number(100 + i));
        p.calculate(a, 1);
    }
    QCOMPARE(grid->rowCount(), 6);
    const QStringList first = row(0);
    QCOMPARE(first.value(1), QStringLiteral("100.00"));

    p.main()->buttonClicked(QStringLiteral("Diagram"));
    QCoreApplication::processEvents();
    p.fixture.show(p.form(a, 1));
    p.type(a, 0, QStringLiteral("110"));
    p.calculate(a, 1);
    QCOMPARE(grid->rowCount(), 7);
    QCOMPARE(row(0), first);
    QCOMPARE(row(6).value(1), QStringLiteral("110.00"));
    const QRect last = grid->visualItemRect(grid->item(6, 0));
    QVERIFY(grid->viewport()->rect().contains(last.center()));

    // Rows 2 and 4 selected and deleted by the Delete key; undo brings them back.
    auto* results = static_cast<ResultGrid*>(grid);
    grid->clearSelection();
    grid->selectionModel()->select(grid->model()->index(1, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    grid->selectionModel()->select(grid->model()->index(3, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QVERIFY(results->deleteAction()->isEnabled());
    QCOMPARE(grid->contextMenuPolicy(), Qt::ActionsContextMenu);
    QVERIFY(grid->actions().contains(results->deleteAction()));
    const QStringList third = row(2);
    QTest::keyClick(grid, Qt::Key_Delete);
    QCOMPARE(grid->rowCount(), 5);
    QCOMPARE(row(0), first);
    QCOMPARE(row(1), third);
    QVERIFY(p.document.isModified());
    p.document.history().undo();
    QCOMPARE(grid->rowCount(), 7);
    QCOMPARE(row(2), third);
    p.document.history().redo();
    QCOMPARE(grid->rowCount(), 5);
    // Deleting every row leaves the one empty row; the next calculation fills it.
    grid->selectAll();
    results->deleteAction()->trigger();
    QCOMPARE(grid->rowCount(), 1);
    QCOMPARE(row(0).join(QString()), QString());
    QVERIFY(!results->deleteAction()->isEnabled());
    p.calculate(a, 1);
    QCOMPARE(grid->rowCount(), 1);
    QCOMPARE(row(0).value(1), QStringLiteral("110.00"));
}

void TestAuditDocument::exitAndCloseAskFirst_data() {
    QTest::addColumn<bool>("changed");
    QTest::addColumn<bool>("byExit"); // or the close box
    QTest::addColumn<AuditDocument::Changes>("answer");
    QTest::addColumn<bool>("saveAs"); // a name is given when Save asks for one
    QTest::addColumn<bool>("ends");
    const auto Save = AuditDocument::Changes::Save;
    const auto Discard = AuditDocument::Changes::Discard;
    const auto Keep = AuditDocument::Changes::Keep;
    QTest::newRow("unchanged, Exit: not asked") << false << true << Keep << false << true;
    QTest::newRow("unchanged, close box: not asked") << false << false << Keep << false << true;
    QTest::newRow("Exit, cancelled") << true << true << Keep << false << false;
    QTest::newRow("Exit, discarded") << true << true << Discard << false << true;
    QTest::newRow("close box, cancelled") << true << false << Keep << false << false;
    QTest::newRow("close box, discarded") << true << false << Discard << false << true;
    QTest::newRow("close box, saved") << true << false << Save << true << true;
    QTest::newRow("Exit, Save As cancelled") << true << true << Save << false << false;
}

// "Exit" and the close box ask before unsaved changes are lost; cancelled, the program runs on
// with every window as it was. An untitled audit shows the mark after its first edit.
void TestAuditDocument::exitAndCloseAskFirst() {
    QFETCH(bool, changed);
    QFETCH(bool, byExit);
    QFETCH(AuditDocument::Changes, answer);
    QFETCH(bool, saveAs);
    QFETCH(bool, ends);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("saved.ctaudit"));
    Program p;
    MainWindow* main = p.main();
    QCOMPARE(main->windowTitle(),
             QStringLiteral("Untitled[*] - DIRECT CONTACT HEAT TRANSFER COOLING TOWERS"));
    QVERIFY(!main->isWindowModified());
    if (changed) {
        p.fixture.show(p.form(Arrangement::CounterFlow, 1));
        p.calculate(Arrangement::CounterFlow, 1);
        QVERIFY(main->isWindowModified());
    }
    int asked = 0;
    p.document.askUnsavedChanges = [&](const QString& audit) {
        [&] { QCOMPARE(audit, QString()); }();
        return ++asked, answer;
    };
    p.document.askSaveName = [&](const QString&) { return saveAs ? path : QString(); };
    const TextSnapshot before = p.everything();

    if (byExit)
        p.main()->buttonClicked(QStringLiteral("Exit"));
    else
        main->close();
    QCOMPARE(asked, changed ? 1 : 0);
    QCOMPARE(main->isVisible(), !ends);
    QCOMPARE(QFile::exists(path), saveAs);
    if (!ends) {
        QCOMPARE(snapshotDifference(before, p.everything()), QString());
        QVERIFY(p.document.isModified());
    }
}

// A batch case opens as a new untitled audit: the audit on screen, its changes discarded, is
// gone, and the case is never saved under that audit's name.
void TestAuditDocument::batchCaseOpensAsANewAudit() {
    QTemporaryDir dir;
    const QString example =
        writeFile(dir, QStringLiteral("example.ctaudit"), handWritten("\"95\""));
    QByteArray csv;
    for (int c = 0; c < auditfile::kInputCount; ++c)
        csv += (c ? "," : "") + auditfile::inputColumn(c).toLatin1();
    csv += "\n90,70,37,34,1,28,55,90,80,34,31,21,25,35,25,500,35,28,22\n"
           "88.5,70,37,34,1,28,55,90,80,34,31,21,25,35,25,500,35,28,22\n";
    const QString path = writeFile(dir, QStringLiteral("regimes.csv"), csv);
    Program p;
    QVERIFY(p.document.open(example));
    p.type(Arrangement::CounterFlow, 1, QStringLiteral("91"));
    p.document.askUnsavedChanges = [](const QString&) { return AuditDocument::Changes::Discard; };
    p.document.askOpenName = [&] { return path; };
    p.document.askCase = [](const QString&, const QList<BatchCase>&, Arrangement) {
        return AuditDocument::CaseChoice{1, Arrangement::CrossFlow};
    };
    QVERIFY(p.document.open());
    QCOMPARE(p.document.fileName(), QString());
    QVERIFY(p.main()->windowTitle().startsWith(QLatin1String("Untitled[*]")));
    QVERIFY(p.main()->isWindowModified());
    QCOMPARE(p.field(Arrangement::CrossFlow, 0)->text(), QStringLiteral("88.5"));
    // The rest is a new audit's: the example's and the discarded values are gone.
    Program fresh;
    for (Arrangement a : kBoth)
        for (int c = 0; c < auditfile::kInputCount; ++c)
            if (a == Arrangement::CounterFlow)
                QCOMPARE(p.field(a, c)->text(), fresh.field(a, c)->text());
    // Save asks for a name; cancelled, the example stays as it was.
    int namesAsked = 0;
    p.document.askSaveName = [&](const QString&) { return ++namesAsked, QString(); };
    QVERIFY(!p.document.save());
    QCOMPARE(namesAsked, 1);
    QFile file(example);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), handWritten("\"95\""));
}

// Into the current audit, the case is one change of it, under its name, that undo takes back.
void TestAuditDocument::batchCaseIntoTheCurrentAuditIsOneChange() {
    QTemporaryDir dir;
    const QString example =
        writeFile(dir, QStringLiteral("example.ctaudit"), handWritten("\"95\""));
    QByteArray csv;
    for (int c = 0; c < auditfile::kInputCount; ++c)
        csv += (c ? "," : "") + auditfile::inputColumn(c).toLatin1();
    csv += "\n88.5,70,37,34,1,28,55,90,80,34,31,21,25,35,25,500,35,28,22\n";
    const QString path = writeFile(dir, QStringLiteral("regimes.csv"), csv);
    Program p;
    QVERIFY(p.document.open(example));
    p.fixture.show(p.form(Arrangement::CrossFlow, 1)); // its grid's headers written
    const TextSnapshot opened = p.problemTexts();
    p.document.askCase = [](const QString&, const QList<BatchCase>&, Arrangement) {
        return AuditDocument::CaseChoice{0, Arrangement::CrossFlow, true};
    };
    QVERIFY(p.document.open(path));
    QCOMPARE(p.document.fileName(), QFileInfo(example).absoluteFilePath());
    QCOMPARE(p.field(Arrangement::CrossFlow, 0)->text(), QStringLiteral("88.5"));
    QCOMPARE(p.field(Arrangement::CounterFlow, 0)->text(), QStringLiteral("95"));
    QVERIFY(p.main()->windowTitle().startsWith(QLatin1String("example.ctaudit")));
    QVERIFY(p.document.isModified());
    QCOMPARE(p.document.history().stack().count(), 1);
    p.document.history().undo();
    QCOMPARE(snapshotDifference(opened, p.problemTexts()), QString());
    p.windows().startWindow()->counterFlowOption()->click(); // the saved arrangement
    QVERIFY(!p.document.isModified());
    QVERIFY(!p.main()->isWindowModified());
}

// An audit with more calculations than a file holds is saved with those its results follow
// from, and opens again as it was, out-of-date Problems included.
void TestAuditDocument::longAuditOpensAgain() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.ctaudit"));
    const Arrangement a = Arrangement::CounterFlow;
    Program p;
    p.startProblemOne(a);
    for (int problem = 1; problem <= 3; ++problem) {
        p.calculate(a, problem);
        p.goOn(a, problem);
    }
    p.calculate(a, 4);
    // Problem 1 again and again (by the engine, which is quicker), then with a new value: the
    // later Problems are out of date.
    p.windows().pushTexts();
    for (int i = 0; i < auditfile::kMaxCalculations; ++i)
        QVERIFY(p.windows().audit().calculate(a, 1).calculated);
    p.windows().audit().deleteRows(a, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    p.windows().pullTexts();
    p.fixture.show(p.form(a, 1));
    p.type(a, 1, QStringLiteral("95"));
    p.calculate(a, 1);
    QVERIFY(p.windows().audit().currency(a, 4).outOfDate());
    QVERIFY(p.document.saveTo(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const auditfile::Loaded saved = auditfile::parse(file.readAll());
    QVERIFY(!saved.error);
    QCOMPARE(saved.audit.calculated.size(), 5); // Problems 1 to 4 as first run, the last 1
    p.loadAll();

    Program q;
    QVERIFY(q.document.open(path));
    q.loadAll();
    for (Program* program : {&p, &q})
        program->fixture.show(program->form(Arrangement::CrossFlow, 1)); // headers written
    QCOMPARE(snapshotDifference(p.problemTexts(), q.problemTexts()), QString());
    QCOMPARE(q.grid(a)->rowCount(), auditfile::kMaxCalculations + 2 - 10); // Problem 1's rows
    for (int problem = 1; problem <= 4; ++problem) {
        const engine::Currency before = p.windows().audit().currency(a, problem);
        const engine::Currency after = q.windows().audit().currency(a, problem);
        QCOMPARE(after.calculated, before.calculated);
        QCOMPARE(after.changedBy, before.changedBy);
        // What the diagrams draw, kept by the last calculation of each Problem.
        const engine::ProblemTrace& drawn = p.windows().audit().trace(a, problem);
        const engine::ProblemTrace& reopened = q.windows().audit().trace(a, problem);
        QVERIFY(!drawn.nodes.empty() || !drawn.cells.empty());
        QCOMPARE(reopened.nodes.size(), drawn.nodes.size());
        QCOMPARE(reopened.cells.size(), drawn.cells.size());
    }
}

// Numbers of tens of thousands of digits within every limit of the file: grid cells longer than
// any result the grid shows are refused by name, a field's longest text opens; either way each
// text is read once, the locale reading only short texts (a locale asks the system at every
// character it reads).
void TestAuditDocument::longestNumbersAreReadOnce_data() {
    QTest::addColumn<QByteArray>("rest");
    QTest::addColumn<QString>("counterP1L");
    QTest::addColumn<QString>("refusal"); // empty: the file opens
    const QString digits = QStringLiteral("0.") + QString(31990, u'7');
    QByteArray row = "[";
    for (int c = 0; c < auditfile::kGridColumns; ++c)
        row += (c ? ", \"" : "\"") + digits.toLatin1() + '"';
    row += ']';
    QTest::newRow("grid cells of 31,992 digits")
        << ", \"grids\": {\"counter\": [" + row + ", " + row + "]}" << QStringLiteral("100")
        << QStringLiteral("grids.counter[0][0]: has more than 400 characters, more than any "
                          "number of the grid");
    QTest::newRow("a field's longest text")
        << QByteArray() << QStringLiteral("95.") + QString(32764, u'0') << QString();
}

void TestAuditDocument::longestNumbersAreReadOnce() {
    QFETCH(QByteArray, rest);
    QFETCH(QString, counterP1L);
    QFETCH(QString, refusal);
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("long.ctaudit"),
                                   handWritten('"' + counterP1L.toLatin1() + '"', rest));
    Program p;
    const qsizetype before = numtext::localeCharactersRead();
    QCOMPARE(p.document.open(path), refusal.isEmpty());
    QVERIFY2(numtext::localeCharactersRead() - before < 20000,
             qPrintable(QString::number(numtext::localeCharactersRead() - before)));
    if (!refusal.isEmpty()) {
        QCOMPARE(p.fixture.desktop().messageTexts(),
                 QStringList(auditfile::describe(QDir::toNativeSeparators(path),
                                                 {refusal.section(QStringLiteral(": "), 0, 0),
                                                  refusal.section(QStringLiteral(": "), 1)})));
        return;
    }
    QCOMPARE(p.fixture.desktop().messages.size(), 0);
    QCOMPARE(p.field(Arrangement::CounterFlow, 0)->text(), counterP1L);
}

void TestAuditDocument::newAuditIsAFreshProgram_data() {
    QTest::addColumn<AuditDocument::Changes>("answer");
    QTest::addColumn<bool>("replaced");
    QTest::newRow("kept") << AuditDocument::Changes::Keep << false;
    QTest::newRow("discarded") << AuditDocument::Changes::Discard << true;
    QTest::newRow("saved") << AuditDocument::Changes::Save << true;
}

// "New" (Ctrl+N) after work on an audit with a file, once the unsaved changes are saved or
// discarded, gives what a fresh program shows: every text of every window, the title, the
// engine's whole audit (grids, title block and capability settings included) and no undo;
// kept, nothing changes.
void TestAuditDocument::newAuditIsAFreshProgram() {
    QFETCH(AuditDocument::Changes, answer);
    QFETCH(bool, replaced);
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("a.ctaudit"), handWritten());
    Program fresh;
    fresh.loadAll();
    Program p;
    QVERIFY(p.document.open(path));
    RandomWork work(p, 31);
    for (int i = 0; i < 8; ++i)
        work.step(false);
    engine::Audit& audit = p.windows().audit();
    audit.setReportTitle({QStringLiteral("Tower 3"), QStringLiteral("Riverside works"),
                          QStringLiteral("7 December 2026"), QStringLiteral("A. Engineer")});
    engine::CapabilityInputs capability = audit.capabilityInputs(Arrangement::CrossFlow);
    capability.values[std::size_t(engine::Setting::Hours)] = 4000;
    audit.setCapabilityInputs(Arrangement::CrossFlow, capability);
    p.document.history().commit();
    QVERIFY(p.document.isModified());
    int asked = 0;
    p.document.askUnsavedChanges = [&](const QString&) { return ++asked, answer; };
    p.loadAll();
    const TextSnapshot before = p.everything();

    QTest::keyClick(p.main(), Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(asked, 1);
    p.loadAll();
    if (!replaced) {
        QCOMPARE(snapshotDifference(before, p.everything()), QString());
        QCOMPARE(p.document.fileName(), QFileInfo(path).absoluteFilePath());
        return;
    }
    const QString difference = snapshotDifference(fresh.everything(), p.everything());
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
    QVERIFY(engine::Audit::sameAudit(fresh.windows().audit().state(), audit.state()));
    QCOMPARE(p.document.fileName(), QString());
    QVERIFY(!p.document.isModified());
    QVERIFY(!p.document.history().stack().canUndo());
    // The file keeps the changes only when they were saved.
    Program again;
    QVERIFY(again.document.open(path));
    QCOMPARE(again.windows().audit().reportTitle().tower.isEmpty(),
             answer != AuditDocument::Changes::Save);
}

QTEST_MAIN(TestAuditDocument)
#include "tst_auditdocument.moc"
