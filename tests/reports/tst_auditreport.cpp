// The audit report as a PDF: its text, extracted by poppler's pdftotext, holds every text the
// windows show (the inputs, every result with its quantity and unit, the grid's regimes, the
// title block, the uncertainty table and verdict), in both decimal separators; out-of-date
// Problems are marked and Problems never calculated are left out; the capability stands after
// Problem 2 as its summary states it; the paper follows the locale; and a write that fails
// leaves no half file.

#include "engine/audit.h"
#include "engine/cellmap.h"
#include "engine/chain.h"
#include "engine/keys.h"
#include "reports/auditreport.h"
#include "reports/capabilitysummary.h"
#include "support/localeguard.h"
#include "uncertainty/chainmodel.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

Q_DECLARE_METATYPE(Arrangement)

namespace {

// Runs a whole chain of an arrangement with the fields' design texts.
void runDesignChain(engine::Audit& audit, Arrangement a) {
    QStringList texts;
    const engine::Audit fresh;
    for (int p = 1; p <= engine::kProblems; ++p)
        for (int f = 0; f < engine::Audit::fieldCount(a, p); ++f)
            texts.append(fresh.text(a, p, f));
    const engine::ChainResult result =
        engine::runChain(audit, a, std::span<const QString>(texts.data(), texts.size()));
    QCOMPARE(result.completed, engine::kProblems);
}

// The text of a PDF file, laid out as on the page (one table row a line).
QString pdfText(const QString& file) {
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0)
        return QString();
    return QString::fromUtf8(tool.readAllStandardOutput());
}

QString pdfInfo(const QString& file) {
    QProcess tool;
    tool.start(QStringLiteral("pdfinfo"), {file});
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0)
        return QString();
    return QString::fromUtf8(tool.readAllStandardOutput());
}

// Page 1 of a PDF file as pdftotext gives it with these options.
QString pageOne(const QString& file, QStringList options) {
    QProcess tool;
    options << QStringLiteral("-f") << QStringLiteral("1") << QStringLiteral("-l")
            << QStringLiteral("1") << file << QStringLiteral("-");
    tool.start(QStringLiteral("pdftotext"), options);
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0)
        return QString();
    return QString::fromUtf8(tool.readAllStandardOutput());
}

QString withoutBlanks(QString text) {
    return text.remove(QRegularExpression(QStringLiteral("\\s")));
}

// Whether some line holds the texts in this order, apart by blanks only.
bool hasLine(const QString& text, const QStringList& parts) {
    QStringList quoted;
    for (const QString& part : parts)
        quoted << QRegularExpression::escape(part);
    const QRegularExpression line(QStringLiteral("(^|\\s)") + quoted.join(QStringLiteral("\\s+")) +
                                      QStringLiteral("(\\s|$)"),
                                  QRegularExpression::MultilineOption);
    return line.match(text).hasMatch();
}

QString sentenceCase(QString text) {
    text[0] = text[0].toUpper();
    return text;
}

auditreport::Options optionsFor(Arrangement a) {
    auditreport::Options options;
    options.arrangement = a;
    options.program = QStringLiteral("ctaudit 9.9");
    return options;
}

} // namespace

class TestAuditReport : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(),
                 "pdftotext (poppler-utils) is missing: script/bootstrap installs it");
    }

    void reportHoldsTheWindowsTexts_data() {
        QTest::addColumn<Arrangement>("arrangement");
        QTest::addColumn<QLocale>("locale");
        QTest::newRow("counter flow, point") << Arrangement::CounterFlow << pointLocale();
        QTest::newRow("cross flow, point") << Arrangement::CrossFlow << pointLocale();
        QTest::newRow("counter flow, comma") << Arrangement::CounterFlow << commaLocale();
    }
    // One whole audit to PDF and back to text: every text of every Problem window stands on
    // a line with its quantity and unit, every grid cell on its regime's line.
    void reportHoldsTheWindowsTexts() {
        QFETCH(Arrangement, arrangement);
        QFETCH(QLocale, locale);
        const LocaleGuard pinned(locale);
        engine::Audit audit;
        runDesignChain(audit, arrangement);
        audit.calculate(arrangement, 1); // a second regime in the grid
        runDesignChain(audit, arrangement);
        audit.setReportTitle({QStringLiteral("Tower 3 (east)"), QStringLiteral("Riverside works"),
                              QStringLiteral("7 December 2026"), QStringLiteral("A. Engineer")});
        auditreport::Options options = optionsFor(arrangement);
        options.uncertainty = auditreport::UncertaintyTable{
            QStringLiteral("Figures: first order (sensitivities), from Problems 1 to 4."),
            {QStringLiteral("P"), QStringLiteral("Result"), QStringLiteral("Value"),
             QStringLiteral("U"), QStringLiteral("U [%]"), QStringLiteral("Largest shares"),
             QStringLiteral("Check")},
            {{QStringLiteral("2"), QStringLiteral("Qa [kW]"), QStringLiteral("2147"),
              QStringLiteral("61"), QStringLiteral("2.8"), QStringLiteral("L 60"), QString()},
             // Small numbers in a column of short ones: never broken over two lines.
             {QStringLiteral("1"), QStringLiteral("Outlet (exhaust) wet bulb temp [oC]"),
              QStringLiteral("25.25"), QStringLiteral("0.86"), QStringLiteral("3.4"),
              QStringLiteral("RH 96, G 1, L 1, Tout 12"), QStringLiteral("first order U 0.86")},
             {QStringLiteral("1"), QStringLiteral("Absolut humidity OUT [-]"),
              QStringLiteral("0.0188"), QStringLiteral("0.0014"), QStringLiteral("7.5"),
              QStringLiteral("RH 96, p 1, G 1"), QStringLiteral("first order U 0.0014")}},
            QStringLiteral("U: expanded uncertainty, k = 2."),
            QStringLiteral("Acceptance test: within the measurement uncertainty."),
            QString()};

        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("report.pdf"));
        QString error;
        QVERIFY2(auditreport::writePdf(file, audit, options, QPageSize::A4, &error),
                 qPrintable(error));
        const QString text = pdfText(file);
        QVERIFY(!text.isEmpty());

        for (const QString& t :
             {QStringLiteral("Tower 3 (east)"), QStringLiteral("Riverside works"),
              QStringLiteral("7 December 2026"), QStringLiteral("A. Engineer"),
              QStringLiteral("ctaudit 9.9"),
              QStringLiteral("Acceptance test: within the measurement "
                             "uncertainty.")})
            QVERIFY2(text.contains(t), qPrintable(t));
        QVERIFY(hasLine(text, {QStringLiteral("Qa [kW]"), QStringLiteral("2147"),
                               QStringLiteral("61"), QStringLiteral("2.8")}));
        QVERIFY(hasLine(
            text, {QStringLiteral("0.0188"), QStringLiteral("0.0014"), QStringLiteral("7.5")}));

        int checked = 0;
        for (int p = 1; p <= engine::kProblems; ++p) {
            QVERIFY(text.contains(auditreport::problemTitle(p)));
            const auto table = engine::controlTable(arrangement, p);
            for (std::size_t c = 0; c < table.size(); ++c) {
                const QString value = audit.text(arrangement, p, int(c));
                const QString quantity = engine::toQString(table[c].quantity);
                if (value.isEmpty() || quantity.contains(QLatin1String("never shown")))
                    continue;
                QVERIFY2(
                    hasLine(text,
                            {sentenceCase(quantity), auditreport::unitText(table[c].unit), value}),
                    qPrintable(QStringLiteral("Problem %1: %2 %3").arg(p).arg(quantity, value)));
                ++checked;
            }
        }
        QVERIFY(checked > 100);
        const auto& rows = audit.resultRows(arrangement).rows;
        QCOMPARE(rows.size(), std::size_t(3));
        for (const auto& row : rows)
            QVERIFY(hasLine(text, QStringList(row.begin(), row.end())));
        // The diagrams are drawn as vectors: their axes' texts are text of the PDF.
        QVERIFY(text.contains(arrangement == Arrangement::CounterFlow
                                  ? QStringLiteral("Enthalpy of air [kJ/kg]")
                                  : QStringLiteral("Cell column along the air path")));
        QVERIFY(!text.contains(QLatin1String("nan")) && !text.contains(QLatin1String("inf")));
    }

    // The uncertainty table and the verdict quote the values the Problem windows show, with
    // the model's U; a model value beyond the last digit of its window's text is noted.
    void uncertaintyQuotesTheWindows() {
        // A cross-flow tower below its name plate, whose model values differ from the texts.
        const LocaleGuard pinned(pointLocale());
        const Arrangement a = Arrangement::CrossFlow;
        const engine::Audit fresh;
        QStringList texts{"80", "75", "38.0", "31.5", "1.013", "30", "50", // measured
                          "80", "75", "38",   "31",   "22",    "30"};      // name plate
        for (int p = 3; p <= engine::kProblems; ++p)
            for (int f = 0; f < engine::Audit::fieldCount(a, p); ++f)
                texts.append(fresh.text(a, p, f));
        engine::Audit audit;
        QCOMPARE(engine::runChain(audit, a, std::span<const QString>(texts.data(), texts.size()))
                     .completed,
                 engine::kProblems);
        const auto table = auditreport::firstOrderTable(audit, a);
        QVERIFY(table);
        QCOMPARE(table->rows.size(), qsizetype(uncertainty::kResultCount));
        for (int r = 0; r < uncertainty::kResultCount; ++r) {
            const uncertainty::ResultInfo& info = uncertainty::resultInfo(r);
            const auto row = std::ranges::find_if(report::kCellMap, [&info](const auto& row) {
                return QLatin1String(row.quantity) == QLatin1String(info.column);
            });
            QCOMPARE(table->rows[r][2], audit.text(a, info.problem, row->crossFlow.control));
        }
        QVERIFY2(table->verdict.contains(QStringLiteral(" = -7.4 % +/- 5.0 %, ")),
                 qPrintable(table->verdict));
        QVERIFY2(table->notes.contains(
                     QStringLiteral("last digit for: Number of transfer units (1), Enthalpy of "
                                    "outlet air, Absolut humidity OUT, Heat capacity Qa, Number "
                                    "of transfer units (3), Water mass flow rate (4). ")),
                 qPrintable(table->notes));
    }

    // A Problem never calculated is left out; an out-of-date Problem is marked in its heading
    // and says why; without figures the report says the uncertainty was not calculated.
    void currencyShowsInTheReport() {
        const LocaleGuard pinned(pointLocale());
        const Arrangement a = Arrangement::CounterFlow;
        engine::Audit audit;
        QVERIFY(audit.calculate(a, 1).calculated);
        audit.goOn(a, 1);
        QVERIFY(audit.calculate(a, 2).calculated);
        QVERIFY(audit.calculate(a, 1).calculated); // Problem 2 is now out of date
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("report.pdf"));
        QString error;
        QVERIFY(auditreport::writePdf(file, audit, optionsFor(a), QPageSize::A4, &error));
        const QString text = pdfText(file).simplified();
        QVERIFY(text.contains(auditreport::problemTitle(1) + QStringLiteral(" Inputs")));
        QVERIFY(text.contains(auditreport::problemTitle(2) + QStringLiteral(" (out of date)")));
        QVERIFY(text.contains(QStringLiteral("Problem 2 is out of date")));
        QVERIFY(!text.contains(auditreport::problemTitle(3)));
        QVERIFY(!text.contains(auditreport::problemTitle(4)));
        QVERIFY(text.contains(QStringLiteral("was not calculated for this audit")));

        // An audit with nothing calculated still makes a report that says so.
        const engine::Audit fresh;
        QVERIFY(auditreport::writePdf(file, fresh, optionsFor(a), QPageSize::A4, &error));
        QVERIFY(pdfText(file).simplified().contains(
            QStringLiteral("No Problem of the counter-flow tower has been calculated")));
    }

    void capabilityFollowsProblem2_data() {
        QTest::addColumn<Arrangement>("arrangement");
        QTest::newRow("counter flow") << Arrangement::CounterFlow;
        QTest::newRow("cross flow") << Arrangement::CrossFlow;
    }
    // After Problem 2 the capability section gives the summary's capability and verdict;
    // without Problem 2 (or Problem 1) it says why its figures are missing.
    void capabilityFollowsProblem2() {
        QFETCH(Arrangement, arrangement);
        const LocaleGuard pinned(pointLocale());
        engine::Audit audit;
        QVERIFY(audit.calculate(arrangement, 1).calculated);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("report.pdf"));
        QVERIFY(
            auditreport::writePdf(file, audit, optionsFor(arrangement), QPageSize::A4, nullptr));
        QVERIFY(pdfText(file).simplified().contains(
            QStringLiteral("Capability From Problem 1 of the") +
            QStringLiteral(" %1, as last calculated.")
                .arg(arrangement == Arrangement::CounterFlow ? "counter flow" : "cross flow")));
        QVERIFY(pdfText(file).simplified().contains(
            QStringLiteral("The design figures need a current Problem 2.")));

        audit.goOn(arrangement, 1);
        QVERIFY(audit.calculate(arrangement, 2).calculated);
        const report::CapabilitySummary s = report::summarize(
            audit, arrangement, uncertainty::hintAccuracies(), report::CapabilityPart);
        const report::SummaryFigure* pct = s.figure(QStringLiteral("capability.pct"));
        QVERIFY(pct && pct->value && !s.verdict.isEmpty());
        QVERIFY(
            auditreport::writePdf(file, audit, optionsFor(arrangement), QPageSize::A4, nullptr));
        const QString text = pdfText(file);
        const QString flat = text.simplified();
        const qsizetype section = flat.indexOf(QStringLiteral("Capability From Problems 1 and 2"));
        QVERIFY(section > flat.indexOf(auditreport::problemTitle(2)));
        QVERIFY(flat.indexOf(s.verdict) > section);
        QVERIFY(flat.indexOf(QStringLiteral("Water and energy")) > flat.indexOf(s.verdict));
        QVERIFY(hasLine(text, {QStringLiteral("Capability"), pct->text(), QStringLiteral("%")}));

        QVERIFY(auditreport::writePdf(file, engine::Audit(), optionsFor(arrangement), QPageSize::A4,
                                      nullptr));
        QVERIFY(pdfText(file).simplified().contains(
            QStringLiteral("Capability Calculate Problem 1 of the")));
    }

    void paperFollowsTheLocale_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("points");
        QTest::newRow("United States")
            << QLocale(QLocale::English, QLocale::UnitedStates) << int(QPageSize::Letter)
            << QStringLiteral("612 x 792 pts (letter)");
        QTest::newRow("Canada, French")
            << QLocale(QLocale::French, QLocale::Canada) << int(QPageSize::Letter)
            << QStringLiteral("612 x 792 pts (letter)");
        QTest::newRow("Germany") << QLocale(QLocale::German, QLocale::Germany) << int(QPageSize::A4)
                                 << QStringLiteral("595 x 842 pts (A4)");
        QTest::newRow("United Kingdom")
            << QLocale(QLocale::English, QLocale::UnitedKingdom) << int(QPageSize::A4)
            << QStringLiteral("595 x 842 pts (A4)");
    }
    void paperFollowsTheLocale() {
        QFETCH(QLocale, locale);
        QFETCH(int, size);
        QFETCH(QString, points);
        const QPageSize::PageSizeId paper = auditreport::defaultPageSize(locale);
        QCOMPARE(int(paper), size);
        const engine::Audit audit;
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("report.pdf"));
        QVERIFY(
            auditreport::writePdf(file, audit, optionsFor(Arrangement::CrossFlow), paper, nullptr));
        QVERIFY2(pdfInfo(file).simplified().contains(QStringLiteral("Page size: ") + points),
                 qPrintable(pdfInfo(file)));
    }

    void titleTextsStayOnThePage_data() {
        QTest::addColumn<QString>("tower");
        QTest::addColumn<QString>("site");
        QTest::addColumn<QString>("shownSite"); // as the page reads
        const QString site = QStringLiteral("Riverside works");
        QTest::newRow("ordinary") << QStringLiteral("Tower 3 (east)") << site << site;
        QTest::newRow("a word wider than its column") << QString(200, u'M') << site << site;
        QTest::newRow("a long name")
            << QStringLiteral(
                   "WESTERN MAIN CONDENSER TOWER, CELL 3 OF 4, NORTH BANK, INDUCED DRAUGHT B2")
            << site << site;
        QTest::newRow("an override")
            << QStringLiteral("Tower 3 (east)") << QStringLiteral("Riverside \u202Eworks north")
            << QStringLiteral("Riverside works north");
    }
    // The title block's texts stand whole on page 1 within the margins and in the order they
    // were typed; the footer's line holds the tower, shortened with "…" when it would run
    // into the page number.
    void titleTextsStayOnThePage() {
        QFETCH(QString, tower);
        QFETCH(QString, site);
        QFETCH(QString, shownSite);
        engine::Audit audit;
        audit.setReportTitle(
            {tower, site, QStringLiteral("7 December 2026"), QStringLiteral("A. Engineer")});
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("report.pdf"));
        QVERIFY(auditreport::writePdf(file, audit, optionsFor(Arrangement::CounterFlow),
                                      QPageSize::A4, nullptr));

        const QString page = pageOne(file, {QStringLiteral("-layout")});
        const QString body = withoutBlanks(page);
        for (const QString& t :
             {QStringLiteral("Tower") + tower, QStringLiteral("Site") + shownSite})
            QVERIFY2(body.contains(withoutBlanks(t)), qPrintable(t));
        const QString lastLine = page.trimmed().split(u'\n').last();
        const QRegularExpression footer(QStringLiteral(
            "^Energy audit, counter-flow tower: (.+?) +ctaudit 9\\.9 +page 1 of \\d+$"));
        const QString shownTower = footer.match(lastLine).captured(1);
        QVERIFY2(shownTower == tower || (shownTower.endsWith(u'…') &&
                                         tower.startsWith(shownTower.chopped(1).trimmed())),
                 qPrintable(lastLine));

        // Every word within the margins (18 mm at the sides, 16 mm at the foot), the body's
        // above the footer's room, the footer's words apart on one line.
        const QString boxes = pageOne(file, {QStringLiteral("-bbox")});
        const double pageWidth = 595.276, pageHeight = 841.89, mm = 72 / 25.4;
        const double bodyFoot = pageHeight - 16 * mm - 22;
        static const QRegularExpression word(QStringLiteral(
            "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">"));
        std::vector<std::pair<double, double>> footerWords;
        int words = 0;
        for (const QRegularExpressionMatch& m : word.globalMatch(boxes)) {
            const double x0 = m.captured(1).toDouble(), y0 = m.captured(2).toDouble(),
                         x1 = m.captured(3).toDouble(), y1 = m.captured(4).toDouble();
            ++words;
            QVERIFY2(x0 >= 18 * mm - 0.5 && x1 <= pageWidth - 18 * mm + 0.5,
                     qPrintable(m.captured(0)));
            if (y0 < bodyFoot)
                QVERIFY2(y1 <= bodyFoot + 0.5, qPrintable(m.captured(0)));
            else
                footerWords.emplace_back(x0, x1);
        }
        QVERIFY(words > 20 && !footerWords.empty());
        std::ranges::sort(footerWords);
        for (std::size_t i = 1; i < footerWords.size(); ++i)
            QVERIFY(footerWords[i].first >= footerWords[i - 1].second);
    }

    // A folder that cannot be written and a disk that fills up part-way (a limit on the file
    // size) fail with the system's reason; the file that was there stays as it was and no
    // half file is left beside it.
    void failedWritesLeaveNoHalfFile() {
        engine::Audit audit;
        runDesignChain(audit, Arrangement::CounterFlow);
        const auditreport::Options options = optionsFor(Arrangement::CounterFlow);
        QString error;
        QVERIFY(!auditreport::writePdf(QStringLiteral("/nonexistent-folder/report.pdf"), audit,
                                       options, QPageSize::A4, &error));
        QVERIFY(!error.isEmpty());

        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("report.pdf"));
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &limit) == 0);
        rlimit small = limit;
        small.rlim_cur = 20000;
        QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
        error.clear();
        const bool written = auditreport::writePdf(file, audit, options, QPageSize::A4, &error);
        QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);
        QVERIFY(!written);
        QVERIFY(!error.isEmpty());
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }
};

QTEST_MAIN(TestAuditReport)
#include "tst_auditreport.moc"
