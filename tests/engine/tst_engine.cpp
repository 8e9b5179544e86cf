// The audit engine without any window or application object: whole chains against what the
// windows showed for the same typed texts, the locale's rules, refusals that change nothing,
// the fields' behaviour, and what a diagram or a view follows.

#include "engine/audit.h"
#include "engine/chain.h"
#include "engine/fieldtable.h"
#include "support/chainrows.h"

#include <QTest>
#include <map>

using engine::Audit;

namespace {

constexpr Arrangement kCounter = Arrangement::CounterFlow;
constexpr Arrangement kCross = Arrangement::CrossFlow;

// Every text of a Problem, for "nothing changed" comparisons.
QStringList textsOf(const Audit& audit, Arrangement a, int problem) {
    QStringList texts;
    for (std::string_view control : Audit::controls(a, problem))
        texts.append(audit.text(a, problem, control));
    return texts;
}

// The design state's field texts of a whole chain.
QStringList designTexts(Arrangement a) {
    const Audit audit;
    QStringList texts;
    for (int p = 1; p <= engine::kProblems; ++p)
        for (int f = 0; f < Audit::fieldCount(a, p); ++f)
            texts.append(audit.text(a, p, Audit::controls(a, p)[std::size_t(f)]));
    return texts;
}

engine::ChainResult run(Audit& audit, Arrangement a, const QStringList& values) {
    return engine::runChain(audit, a, std::span<const QString>(values.data(), values.size()));
}

} // namespace

class TestEngine : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    // Cases pressed through the windows before the engine existed (the batch audit's output
    // for them): the same first message, and every report quantity digit for digit.
    void chainsShowWhatTheWindowsShowed_data() {
        QTest::addColumn<Arrangement>("arrangement");
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QStringList>("shown");
        int row = 0;
        for (const QStringList& cells : chainRows(QStringLiteral(CTAUDIT_CHAINS_CSV))) {
            QVERIFY(cells.size() >= 21);
            const Arrangement a = cells[0] == QLatin1String("counter") ? kCounter : kCross;
            QTest::addRow("%d %s: %s", ++row, qPrintable(cells[0]), qPrintable(cells[20].left(40)))
                << a << cells.mid(1, engine::kChainFields) << cells[20] << cells.mid(21);
        }
        QVERIFY(row >= 40);
    }
    void chainsShowWhatTheWindowsShowed() {
        QFETCH(Arrangement, arrangement);
        QFETCH(QStringList, inputs);
        QFETCH(QString, status);
        QFETCH(QStringList, shown);
        Audit audit;
        const engine::ChainResult result = run(audit, arrangement, inputs);
        QCOMPARE(result.stop ? result.stop->text : QStringLiteral("ok"), status);
        for (const QString& entry : shown) {
            const qsizetype dot = entry.indexOf(u'.');
            const qsizetype equals = entry.indexOf(u'=');
            const auto problem = Audit::problemOf(entry.left(dot).toStdString());
            QVERIFY(problem && problem->first == arrangement);
            QVERIFY2(problem->second <= result.completed, qPrintable(entry));
            QCOMPARE(audit.text(arrangement, problem->second,
                                entry.mid(dot + 1, equals - dot - 1).toStdString()),
                     entry.mid(equals + 1));
        }
    }

    // In a comma locale every number text is the point locale's with a comma, whatever the
    // chain computes from the texts it reads back.
    void commaLocaleShowsTheSameDigits_data() {
        QTest::addColumn<Arrangement>("arrangement");
        QTest::newRow("counter flow") << kCounter;
        QTest::newRow("cross flow") << kCross;
    }
    void commaLocaleShowsTheSameDigits() {
        QFETCH(Arrangement, arrangement);
        Audit point;
        QCOMPARE(run(point, arrangement, designTexts(arrangement)).completed, engine::kProblems);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        Audit comma;
        QCOMPARE(run(comma, arrangement, designTexts(arrangement)).completed, engine::kProblems);
        for (int p = 1; p <= engine::kProblems; ++p)
            QCOMPARE(textsOf(comma, arrangement, p),
                     textsOf(point, arrangement, p).replaceInStrings(u"."_qs, u","_qs));
        QCOMPARE(comma.moistAir().texts[engine::moistair::wetBulb],
                 QString(point.moistAir().texts[engine::moistair::wetBulb]).replace(u'.', u','));
    }

    // A refused CALCULATE shows one error and changes no text and no button.
    void refusalChangesNothing_data() {
        QTest::addColumn<Arrangement>("arrangement");
        QTest::addColumn<int>("problem");
        // Before CALCULATE: "calc" calculates Problem 1, "problem:control=text" writes a text.
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("reason"); // part of the message
        const auto row = [](const char* name, Arrangement a, int p, const char* edit,
                            const char* reason) {
            QTest::newRow(name) << a << p << QString::fromLatin1(edit)
                                << QString::fromLatin1(reason);
        };
        row("cf 2 before Problem 1", kCounter, 2, "", "Problem 1 has not been calculated yet");
        row("cf 3 not arrived", kCounter, 3, "", "Problem 1 has not been calculated yet");
        row("cf 4 before Problem 3", kCounter, 4, "", "Problem 3 has not been calculated yet");
        row("cf 1 zero air", kCounter, 1, "1:Text8=0", "must be greater than zero");
        row("cf 2 impossible design air", kCounter, 2, "calc;2:Text14=1;2:Text16=60",
            "No such design inlet air exists");
        row("cf 3 water in at wet bulb", kCounter, 3,
            "calc;3:l1=100;3:l8=90;3:l2=3;3:l3=18;"
            "3:l9=18;3:l6=25;3:l5=1;3:l29=1;3:l30=1;3:l31=1;3:l32=1;3:l33=1",
            "must be above the wet bulb");
        row("xf 2 before Problem 1", kCross, 2, "", "Problem 1 has not been calculated yet");
        row("xf 3 before Problem 1", kCross, 3, "", "Problem 1 has not been calculated yet");
        row("xf 4 before Problem 3", kCross, 4, "", "Problem 3 has not been calculated yet");
        row("xf 1 outlet below wet bulb", kCross, 1, "1:Text4=19", "cannot be reached");
        row("xf 1 zero water", kCross, 1, "1:Text1=0", "must be greater than zero");
    }
    void refusalChangesNothing() {
        QFETCH(Arrangement, arrangement);
        QFETCH(int, problem);
        QFETCH(QString, edit);
        QFETCH(QString, reason);
        Audit audit;
        for (const QString& e : edit.split(u';', Qt::SkipEmptyParts)) {
            if (e == QLatin1String("calc")) {
                QVERIFY(audit.calculate(arrangement, 1).calculated);
                continue;
            }
            const int p = e.section(u':', 0, 0).toInt();
            const QString control = e.section(u':', 1).section(u'=', 0, 0);
            QVERIFY(audit.setText(arrangement, p, control.toStdString(), e.section(u'=', 1)));
        }
        const QStringList before = textsOf(audit, arrangement, problem);
        bool busy = false;
        const engine::Step step = audit.calculate(arrangement, problem, [&] { busy = true; });
        QVERIFY(!step.calculated);
        QCOMPARE(step.messages.size(), std::size_t(1));
        QVERIFY2(step.messages[0].text.contains(reason), qPrintable(step.messages[0].text));
        QCOMPARE(step.messages[0].title, QStringLiteral("Error"));
        QCOMPARE(textsOf(audit, arrangement, problem), before);
        QVERIFY(!audit.leadingOn(arrangement, problem));
        QVERIFY(!step.status);
        QCOMPARE(audit.trace(arrangement, problem).nodes.size(), std::size_t(0));
        QCOMPARE(audit.trace(arrangement, problem).cells.size(), std::size_t(0));
        // Only a refusal from the long search comes after the window shows that it works.
        QCOMPARE(busy, reason.contains(QLatin1String("cannot be reached")));
    }

    // What a field does with a typed or pasted text, and when it is left.
    void fieldBehaviour_data() {
        QTest::addColumn<Arrangement>("arrangement");
        QTest::addColumn<int>("problem");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text"); // after typing
        QTest::addColumn<int>("beeps");
        QTest::addColumn<QString>("message"); // on leaving; empty: none
        const auto row = [](const char* name, Arrangement a, int p, const char* field,
                            const char* typed, const char* text, int beeps, const char* message) {
            QTest::newRow(name) << a << p << QString::fromLatin1(field) << QString::fromUtf8(typed)
                                << QString::fromLatin1(text) << beeps
                                << QString::fromLatin1(message);
        };
        row("number", kCounter, 1, "Text1", "120.5", "120.5", 0, "");
        row("letters chopped", kCounter, 1, "Text1", "12a3", "12", 2, "");
        row("all letters", kCounter, 1, "Text1", "abc", "", 3,
            "Invalid entries, please enter numbers only");
        row("negative becomes 0", kCounter, 1, "Text7", "-5", "0", 0, "");
        row("comma in a point locale", kCross, 1, "Text1", "1,5", "1", 2, "");
        row("above the limit", kCross, 1, "Text8", "250", "250", 0,
            "Invalid entries, number must be less than 200 kg/s");
        row("limit passes", kCounter, 1, "Text1", "200", "200", 0, "");
        row("pressure too low", kCounter, 1, "Text5", "0.85", "0.85", 0,
            "Invalid entries, number must be greather than 0.9 bar");
        row("truncated message", kCounter, 4, "Text3", "71", "71", 0,
            "Invalid entries, number must be less");
        row("heat above twice Problem 1", kCounter, 4, "Text1", "5000", "5000", 0,
            "Invalid entries, number must be less than you entered");
        row("heat without Problem 1", kCross, 4, "Text7", "5000", "5000", 0, "");
    }
    void fieldBehaviour() {
        QFETCH(Arrangement, arrangement);
        QFETCH(int, problem);
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, text);
        QFETCH(int, beeps);
        QFETCH(QString, message);
        Audit audit;
        // The heat capacity limit comes from Problem 1 as shown (counter flow: calculated).
        if (arrangement == kCounter)
            QVERIFY(audit.calculate(kCounter, 1).calculated);
        audit.setLeadingOn(arrangement, problem, true);
        const std::string name = field.toStdString();
        const engine::Step typing = audit.type(arrangement, problem, name, typed);
        QCOMPARE(audit.text(arrangement, problem, name), text);
        QCOMPARE(typing.beeps, beeps);
        QVERIFY(!audit.leadingOn(arrangement, problem));
        const engine::Step leaving = audit.leave(arrangement, problem, name);
        if (message.isEmpty()) {
            QVERIFY(leaving.messages.empty());
            QCOMPARE(audit.text(arrangement, problem, name), text);
        } else {
            QCOMPARE(leaving.messages.size(), std::size_t(1));
            QCOMPARE(leaving.messages[0].text, message);
            QCOMPARE(leaving.messages[0].icon, MessageIcon::Critical);
            QCOMPARE(QString::fromLatin1(leaving.focus.data(), qsizetype(leaving.focus.size())),
                     field);
            QCOMPARE(audit.text(arrangement, problem, name), QString());
        }
        const engine::Step click = audit.click(arrangement, problem, name);
        QCOMPARE(audit.text(arrangement, problem, name), QString());
        const FieldDef* def = findField(Audit::windowName(arrangement, problem), name);
        QVERIFY(click.status && def);
        QCOMPARE(*click.status, QString::fromUtf8(def->hint.data(), qsizetype(def->hint.size())));
    }

    // The temperature-order checks empty their fields and focus one, with their own boxes.
    void orderChecksEmptyFields() {
        Audit audit;
        audit.setLeadingOn(kCounter, 2, true);
        audit.setText(kCounter, 2, "Text12", QStringLiteral("40"));
        const engine::Step water = audit.calculate(kCounter, 2);
        QCOMPARE(water.messages.size(), std::size_t(1));
        QCOMPARE(water.messages[0].title, applicationTitle());
        QCOMPARE(water.messages[0].icon, MessageIcon::None);
        QCOMPARE(audit.text(kCounter, 2, "Text11"), QString());
        QCOMPARE(audit.text(kCounter, 2, "Text12"), QString());
        QCOMPARE(water.focus, std::string_view("Text11"));
        QVERIFY(!audit.leadingOn(kCounter, 2));
        const engine::Step missing = audit.calculate(kCounter, 2);
        QCOMPARE(missing.messages[0].text, QStringLiteral("All fields require data"));
        QCOMPARE(missing.messages[0].title, applicationTitle());

        audit.setText(kCross, 4, "Text5", QStringLiteral("30"));
        const engine::Step air = audit.calculate(kCross, 4);
        QCOMPARE(air.messages[0].text,
                 QStringLiteral("Ambient wet bulb temperature must be less then dry bulb "
                                "temperature"));
        QCOMPARE(audit.text(kCross, 4, "Text5"), QString());
        QCOMPARE(audit.text(kCross, 4, "Text6"), QString());
        QCOMPARE(air.focus, std::string_view("Text5"));
    }

    // Problem 1's grid: a row per calculation, appended whatever was activated in between;
    // rows go only when deleted, and deleting them all leaves the empty row.
    void resultRowsOnlyGrow() {
        Audit audit;
        QVERIFY(audit.resultRows(kCounter).empty());
        QStringList flows;
        for (const char* flow : {"100", "80", "70"}) {
            audit.type(kCounter, 1, "Text1", QString::fromLatin1(flow));
            QVERIFY(audit.calculate(kCounter, 1).calculated);
            const engine::Step activation = audit.activate(kCounter, 1);
            QVERIFY(activation.status->startsWith(QLatin1String("Recommended water mass flow")));
            audit.activate(kCounter, 2);
            flows.append(audit.text(kCounter, 1, "Text1"));
        }
        const auto column = [&](int c) {
            QStringList texts;
            for (const auto& row : audit.resultRows(kCounter).rows)
                texts.append(row[std::size_t(c)]);
            return texts;
        };
        QCOMPARE(column(1), flows);
        QCOMPARE(column(1), (QStringList{"100.00", "80.00", "70.00"}));
        QVERIFY(audit.resultRows(kCross).empty());

        audit.deleteRows(kCounter, {1, 7, -1, 1});
        QCOMPARE(column(1), (QStringList{"100.00", "70.00"}));
        audit.deleteRows(kCounter, {0, 1});
        QVERIFY(audit.resultRows(kCounter).empty());
        QVERIFY(audit.calculate(kCounter, 1).calculated);
        QCOMPARE(column(1), (QStringList{"70.00"}));
    }

    // A Problem is out of date when an earlier Problem it read was calculated again after it,
    // or is out of date itself; calculating it again makes it current.
    void currencyFollowsTheEarlierProblems() {
        Audit audit;
        const auto changedBy = [&](int p) {
            const engine::Currency c = audit.currency(kCounter, p);
            return c.calculated ? c.changedBy : -1; // -1: not calculated
        };
        QCOMPARE(changedBy(1), -1);
        QVERIFY(audit.calculate(kCounter, 1).calculated);
        for (int p = 2; p <= engine::kProblems; ++p) {
            audit.goOn(kCounter, p - 1);
            QVERIFY2(audit.calculate(kCounter, p).calculated, qPrintable(QString::number(p)));
        }
        QCOMPARE((QList<int>{changedBy(1), changedBy(2), changedBy(3), changedBy(4)}),
                 (QList<int>{0, 0, 0, 0}));

        audit.type(kCounter, 1, "Text8", QStringLiteral("100"));
        QVERIFY(audit.calculate(kCounter, 1).calculated);
        QCOMPARE((QList<int>{changedBy(1), changedBy(2), changedBy(3), changedBy(4)}),
                 (QList<int>{0, 1, 1, 1}));
        QVERIFY(audit.calculate(kCounter, 2).calculated);
        // Problem 3 read Problem 2's old results too: still out of date, by Problem 1 first.
        QCOMPARE((QList<int>{changedBy(2), changedBy(3), changedBy(4)}), (QList<int>{0, 1, 1}));
        audit.goOn(kCounter, 2);
        QVERIFY(audit.calculate(kCounter, 3).calculated);
        QCOMPARE((QList<int>{changedBy(3), changedBy(4)}), (QList<int>{0, 1}));
        QVERIFY(audit.calculate(kCounter, 4).calculated);
        QCOMPARE(changedBy(4), 0);
        QVERIFY(!audit.currency(kCross, 2).calculated);

        // Every calculation is kept with the texts its fields held.
        const std::vector<engine::Calculation>& log = audit.calculations();
        QCOMPARE(log.size(), std::size_t(8));
        QCOMPARE(log[4].problem, 1);
        QCOMPARE(log[4].fields[std::size_t(engine::cf1::airFlow)], QStringLiteral("100.00"));
        QCOMPARE(audit.calculatedFields(kCounter, 1), log[4].fields);
    }

    // A state restores the whole audit, and two states tell whether the audit changed.
    void statesRestoreTheAudit() {
        Audit audit;
        const Audit::State fresh = audit.state();
        QVERIFY(audit.calculate(kCounter, 1).calculated);
        audit.goOn(kCounter, 1);
        audit.type(kCounter, 2, "Text13", QStringLiteral("120"));
        const Audit::State worked = audit.state();
        QVERIFY(!Audit::sameAudit(fresh, worked));
        const QString ntu = audit.text(kCounter, 1, "lbl2");

        audit.restore(fresh);
        QVERIFY(Audit::sameAudit(audit.state(), fresh));
        QVERIFY(audit.text(kCounter, 1, "lbl2").isEmpty());
        QVERIFY(audit.resultRows(kCounter).empty());
        QVERIFY(audit.calculations().empty());
        QVERIFY(audit.trace(kCounter, 1).nodes.empty());

        audit.restore(worked);
        QVERIFY(Audit::sameAudit(audit.state(), worked));
        QCOMPARE(audit.text(kCounter, 1, "lbl2"), ntu);
        QCOMPARE(audit.text(kCounter, 2, "Text13"), QStringLiteral("120"));
        QVERIFY(audit.leadingOn(kCounter, 1));
        QVERIFY(!audit.trace(kCounter, 1).nodes.empty());
        QVERIFY(audit.currency(kCounter, 1).current());
    }

    // The report's title block is part of the audit: a change is a change of the state, and
    // restoring a state brings its title back. Each text is one line of bounded length.
    void reportTitleIsPartOfTheState() {
        Audit audit;
        const Audit::State before = audit.state();
        audit.setReportTitle({QStringLiteral("Tower 2\nnorth"), QStringLiteral("Plant A"),
                              QStringLiteral("8 Dec 2026"), QString()});
        QCOMPARE(audit.reportTitle().tower, QStringLiteral("Tower 2 north"));
        const Audit::State titled = audit.state();
        QVERIFY(!Audit::sameAudit(before, titled));
        audit.restore(before);
        QVERIFY(audit.reportTitle().empty());
        audit.restore(titled);
        QCOMPARE(audit.reportTitle().site, QStringLiteral("Plant A"));

        // A long text is cut, never inside a surrogate pair.
        const QString clef = QString::fromUcs4(U"\U0001D11E");
        QString longText = QString(engine::ReportTitle::kMaxLength - 1, u'x') + clef;
        audit.setReportTitle({longText, longText + longText, {}, {}});
        QCOMPARE(audit.reportTitle().tower.size(), engine::ReportTitle::kMaxLength - 1);
        QCOMPARE(audit.reportTitle().site.size(), engine::ReportTitle::kMaxLength - 1);
    }

    // The traces of the last successful calculations, and who is told about them.
    void tracesFollowCalculations() {
        Audit audit;
        std::vector<std::pair<Arrangement, int>> told;
        audit.setCalculationListener([&](Arrangement a, int p) { told.emplace_back(a, p); });
        QCOMPARE(run(audit, kCounter, designTexts(kCounter)).completed, engine::kProblems);
        QCOMPARE(audit.calculationCount(), std::uint64_t(4));
        QCOMPARE(told.size(), std::size_t(4));
        QCOMPARE(told.back(), std::make_pair(kCounter, 4));
        for (int p = 1; p <= engine::kProblems; ++p) {
            const engine::ProblemTrace& t = audit.trace(kCounter, p);
            QCOMPARE(t.nodes.size(), std::size_t(counterflow::kIntervals + 1));
            QVERIFY(t.cells.empty());
            // Water warms and air gains enthalpy from the bottom up, below saturation.
            for (std::size_t i = 1; i < t.nodes.size(); ++i) {
                QVERIFY(t.nodes[i].waterTemp > t.nodes[i - 1].waterTemp);
                QVERIFY(t.nodes[i].airEnthalpy > t.nodes[i - 1].airEnthalpy);
                QVERIFY(t.nodes[i].saturatedEnthalpy > t.nodes[i].airEnthalpy);
            }
        }
        // The top of Problem 1's fill is the outlet air it shows.
        QCOMPARE(QString::number(audit.trace(kCounter, 1).nodes.back().airEnthalpy, 'f', 2),
                 audit.text(kCounter, 1, "lbl15"));

        QCOMPARE(run(audit, kCross, designTexts(kCross)).completed, engine::kProblems);
        for (int p = 1; p <= engine::kProblems; ++p) {
            const engine::ProblemTrace& t = audit.trace(kCross, p);
            QCOMPARE(t.cells.size(), std::size_t(crossflow::kCells * crossflow::kCells));
            // Water cools down each column, the air warms along each row.
            const auto cell = [&](int row, int col) {
                return t.cells[std::size_t(row * crossflow::kCells + col)];
            };
            QVERIFY(cell(crossflow::kCells - 1, 0).waterTemp < cell(0, 0).waterTemp);
            QVERIFY(cell(0, crossflow::kCells - 1).airEnthalpy > cell(0, 0).airEnthalpy);
        }
        // A refusal keeps the last trace; tracing off keeps none.
        audit.setText(kCross, 3, "Text18", QStringLiteral("0"));
        QVERIFY(!audit.calculate(kCross, 3).calculated);
        QCOMPARE(audit.trace(kCross, 3).cells.size(), std::size_t(400));
        Audit quiet;
        quiet.setTracing(false);
        QVERIFY(quiet.calculate(kCounter, 1).calculated);
        QVERIFY(quiet.trace(kCounter, 1).nodes.empty());
    }

    // "GoTo Problem 3" of the counter flow carries Problem 1's texts as they stand.
    void goOnCarriesProblem1() {
        Audit audit;
        QVERIFY(!audit.goOn(kCounter, 2)); // not calculated: the button is disabled
        QVERIFY(audit.calculate(kCounter, 1).calculated);
        audit.setText(kCounter, 1, "lbl11", QStringLiteral("53.1"));
        QVERIFY(audit.calculate(kCounter, 2).calculated);
        QVERIFY(audit.goOn(kCounter, 2));
        const std::pair<const char*, const char*> copies[] = {
            {"l1", "Text1"},  {"l3", "Text3"}, {"l8", "Text8"},  {"l2", "lbl2"},
            {"l11", "lbl11"}, {"l9", "lbl9"},  {"l29", "lbl13"}, {"l33", "lbl17"}};
        for (const auto& [to, from] : copies)
            QCOMPARE(audit.text(kCounter, 3, to), audit.text(kCounter, 1, from));
        QVERIFY(!audit.goOn(kCounter, 4));
        audit.reset(kCounter, 3);
        QCOMPARE(audit.text(kCounter, 3, "l1"), QString());
        QCOMPARE(audit.text(kCounter, 3, "Text18"), QStringLiteral("105"));
    }
};

QTEST_APPLESS_MAIN(TestEngine)
#include "tst_engine.moc"
