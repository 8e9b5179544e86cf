// The Problems as their windows drive them, without a window: refusals that show one message
// and change nothing else, and the cases a chain of typed fields cannot reach (a result text
// changed by hand, the moist-air calculator, a Problem calculated again, Problem 1's rows).
// Fields are typed and CALCULATE is pressed without leaving them, as a click on the button
// does.

#include "engine/audit.h"
#include "engine/crossflowrefusal.h"

#include <QSet>
#include <QTest>

using engine::Audit;

namespace {

constexpr Arrangement kCounter = Arrangement::CounterFlow;
constexpr Arrangement kCross = Arrangement::CrossFlow;

std::string key(const QString& text) {
    return text.toStdString();
}

// A control's index among its Problem's controls (fields first), or the count when unknown.
int indexOf(Arrangement a, int p, const QString& control) {
    const auto controls = Audit::controls(a, p);
    return int(std::find(controls.begin(), controls.end(), key(control)) - controls.begin());
}

QString& moistAirText(Audit& audit, const QString& control) {
    const auto& names = engine::MoistAir::kNames;
    return audit.moistAir()
        .texts[std::size_t(std::find(names.begin(), names.end(), key(control)) - names.begin())];
}

// Runs steps separated by spaces: "cN" CALCULATE of Problem N, which must succeed; "gN" its
// leading-on button and the next Problem's activation; "toN" the chain of both up to Problem N;
// "N:key=text" a text typed into a field or written into a label; "m:key=text" a text of the
// moist-air calculator.
void run(Audit& audit, Arrangement a, const QString& steps) {
    const auto calculate = [&](int p) {
        const engine::Step step = audit.calculate(a, p);
        if (!step.messages.empty())
            QFAIL(qPrintable(step.messages.front().text));
    };
    const auto goOn = [&](int p) {
        QVERIFY(audit.goOn(a, p));
        audit.activate(a, p + 1);
    };
    for (const QString& s : steps.split(u' ', Qt::SkipEmptyParts)) {
        const QString control = s.section(u'=', 0, 0).section(u':', 1);
        const QString text = s.section(u'=', 1);
        if (s.startsWith(u"to")) {
            for (int p = 1; p < s.mid(2).toInt(); ++p) {
                calculate(p);
                goOn(p);
            }
        } else if (s[0] == u'c') {
            calculate(s.mid(1).toInt());
        } else if (s[0] == u'g') {
            goOn(s.mid(1).toInt());
        } else if (s[0] == u'm') {
            moistAirText(audit, control) = text;
        } else {
            const int p = s.section(u':', 0, 0).toInt();
            const int index = indexOf(a, p, control);
            QVERIFY2(index < int(Audit::controls(a, p).size()), qPrintable(s));
            if (index < Audit::fieldCount(a, p))
                audit.type(a, p, key(control), text);
            else
                audit.setText(a, p, key(control), text);
        }
        if (QTest::currentTestFailed())
            return;
    }
}

QStringList textsOf(const Audit& audit, Arrangement a, int p) {
    QStringList texts;
    for (std::string_view control : Audit::controls(a, p))
        texts.append(audit.text(a, p, control));
    return texts;
}

// A refusal's box: "Error" with the error icon, "Missing Data" with the warning icon, or the
// program's title with none.
enum class Box { Error, Missing, Plain };

} // namespace

Q_DECLARE_METATYPE(Box)

class TestProblems : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { QLocale::setDefault(QLocale::c()); }

    void texts_data() {
        QTest::addColumn<Arrangement>("arrangement");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("expected"); // "N:key=text" or "m:key=text", by spaces
        const auto row = [](const char* name, Arrangement a, const char* steps,
                            const char* expected) {
            QTest::newRow(name) << a << QString::fromLatin1(steps) << QString::fromLatin1(expected);
        };
        // The search holds the NTU that Problem 1 shows, not its unrounded value.
        row("cf 2 at NTU 25.00", kCounter, "to2 1:lbl2=25.00 c2",
            "2:l2=25.00 2:l3=31.19 2:l4=1176.15");
        row("cf 2 at NTU 30.59", kCounter, "to2 1:lbl2=30.59 c2",
            "2:l2=30.59 2:l3=30.74 2:l4=1365.51");
        row("cf 2 at NTU 60.00", kCounter, "to2 1:lbl2=60.00 c2",
            "2:l2=60.00 2:l3=28.95 2:l4=2115.98");
        row("cf 3 reformats Problem 1's outlet air", kCounter, "to3 3:l31=76.4567 3:l33=0.0189 c3",
            "3:l31=76.46 3:l33=0.01890");
        // The pressure is Problem 1's as copied into l5, whatever the calculator last held.
        row("cf 3 pressure not the calculator's", kCounter, "to3 c3 m:Text2=0.8 c3",
            "3:l28=77.0 3:l23=32.51 3:l26=75.14");
        row("cf 3 pressure from l5", kCounter, "to3 c3 3:l5=0.900 c3", "3:l28=73.4 m:Text2=0.9");
        row("cf 4 reads Problem 3 afresh", kCounter, "to4 c4 3:Text18=150 c3 c4",
            "4:l5=150.00 4:l4=39.58 4:l21=161.55");
        row("cf 4 calculated twice", kCounter, "to4 c4 c4",
            "4:Text1=2200.00 4:l21=128.78 4:l24=31.92 4:l6=0.95 4:l23=0.955");
        // Above twice Problem 1's heat: the field would refuse it when left.
        row("cf 4 large duty", kCounter, "to4 4:Text1=6000 4:Text29=42 4:Text2=32 4:Text3=24 c4",
            "4:l21=237.61 4:l24=35.97 4:l28=81.06");
        row("xf 2 reads Problem 1 afresh", kCross, "c1 c2 1:Text1=80 c1 c2",
            "2:l1=80.00 2:l10=774.38");
    }
    void texts() {
        QFETCH(Arrangement, arrangement);
        QFETCH(QString, steps);
        QFETCH(QString, expected);
        Audit audit;
        run(audit, arrangement, steps);
        if (QTest::currentTestFailed())
            return;
        for (const QString& e : expected.split(u' ')) {
            const QString control = e.section(u'=', 0, 0).section(u':', 1);
            const QString shown =
                e[0] == u'm' ? moistAirText(audit, control)
                             : audit.text(arrangement, e.section(u':', 0, 0).toInt(), key(control));
            QCOMPARE(shown, e.section(u'=', 1));
        }
    }

    // A refused CALCULATE shows one box, writes no status line and changes no text of its
    // Problem and no button, but for the fields that a check empties.
    void refusals_data() {
        QTest::addColumn<Arrangement>("arrangement");
        QTest::addColumn<int>("problem");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<Box>("box");
        QTest::addColumn<QString>("text"); // part of the message
        QTest::addColumn<QString>("emptied");
        QTest::addColumn<QString>("focus");
        const auto row = [](const char* name, Arrangement a, int p, const char* steps, Box box,
                            const QString& text, const char* emptied = "", const char* focus = "") {
            QTest::newRow(name) << a << p << QString::fromLatin1(steps) << box << text
                                << QString::fromLatin1(emptied) << QString::fromLatin1(focus);
        };
        const auto xf = [](crossflow::Status s) { return crossflow::refusalText(s); };
        using S = crossflow::Status;
        const QString missing = QStringLiteral("All fields require data");
        const QString outletAbove =
            QStringLiteral("Outlet water temperature must be less then inlet water temperature");
        const QString wetAbove =
            QStringLiteral("Ambient wet bulb temperature must be less then dry bulb temperature");
        const QString noP1 = QStringLiteral("Problem 1 has not been calculated yet");
        const QString noP3 = QStringLiteral("Problem 3 has not been calculated yet");
        const QString positive = QStringLiteral("must be greater than zero");
        const QString noAir = QStringLiteral("No such inlet air exists: its humidity would be "
                                             "negative or unbounded.");
        const QString noTransfer = QStringLiteral("No heat transfer is possible");
        constexpr Box E = Box::Error, M = Box::Missing, P = Box::Plain;

        // Counter flow, Problem 1: missing data comes before the order of the temperatures.
        for (const char* field : {"Text1", "Text8", "Text3", "Text4", "Text5", "Text6", "Text7"})
            row(qPrintable(QStringLiteral("cf 1 %1 empty").arg(QLatin1String(field))), kCounter, 1,
                qPrintable(QStringLiteral("c1 1:Text3=38 1:Text4=40 1:%1=").arg(field)), M,
                missing);
        row("cf 1 outlet warmer", kCounter, 1, "c1 1:Text3=38 1:Text4=38.01", E, outletAbove,
            "Text3 Text4", "Text3");
        row("cf 1 no water", kCounter, 1, "c1 1:Text1=0", E, positive);
        row("cf 1 no air", kCounter, 1, "c1 1:Text8=0", E, positive);
        row("cf 1 negative water", kCounter, 1, "c1 1:Text1=-5", E, positive);
        row("cf 1 water IN at the wet bulb", kCounter, 1, "c1 1:Text3=18.6 1:Text4=18.6", E,
            "cooling degree is undefined");
        // No heat transfer: the advice follows the cause, the outlet water at or below the inlet
        // wet bulb (18.6 oC here), or an L/G that saturates the air inside the fill.
        const QString nearWetBulb = noTransfer + QStringLiteral(": somewhere in the fill the air "
                                                                "is as warm as saturated air at "
                                                                "the water temperature. The outlet "
                                                                "water temperature must lie well "
                                                                "above the inlet wet bulb");
        const QString byLG = noTransfer + QStringLiteral(": the outlet water temperature lies "
                                                         "above the inlet wet bulb temperature, "
                                                         "but the water-to-air flow ratio L/G");
        row("cf 1 outlet below the wet bulb", kCounter, 1, "c1 1:Text4=15", E, nearWetBulb);
        row("cf 1 outlet at the wet bulb", kCounter, 1, "c1 1:Text4=18.6", E, nearWetBulb);
        row("cf 1 pinch inside the fill", kCounter, 1, "c1 1:Text1=300 1:Text8=50", E, byLG);
        row("cf 1 L/G 10, outlet 11 K above", kCounter, 1, "c1 1:Text1=200 1:Text8=20 1:Text4=30",
            E, byLG);
        row("cf 1 impossible inlet air", kCounter, 1, "c1 1:Text5=0.5 1:Text6=90 1:Text7=100", E,
            noAir);
        // Problem 2.
        row("cf 2 empty field", kCounter, 2, "to2 2:Text14=", P, missing);
        row("cf 2 outlet above inlet", kCounter, 2, "to2 2:Text12=35", P, outletAbove,
            "Text11 Text12", "Text11");
        row("cf 2 wet bulb above dry bulb", kCounter, 2, "to2 2:Text14=28", E, wetAbove,
            "Text14 Text16", "Text14");
        row("cf 2 Problem 1 not calculated", kCounter, 2, "", E, noP1);
        row("cf 2 Problem 1 NTU not a number", kCounter, 2, "to2 c2 1:lbl2=abc", E, noP1);
        row("cf 2 design heat zero", kCounter, 2, "to2 c2 2:Text12=34.00", E,
            "design heat capacity Qd is zero");
        row("cf 2 Problem 1 water zero", kCounter, 2, "to2 c2 1:Text1=0", E, positive);
        row("cf 2 Problem 1 air zero", kCounter, 2, "to2 c2 1:Text8=0", E, positive);
        row("cf 2 water IN at the wet bulb", kCounter, 2,
            "to2 c2 2:Text11=27 2:Text12=25 2:Text14=27 2:Text16=27", E,
            "cooling degree is undefined");
        row("cf 2 NTU unreachable", kCounter, 2, "to2 c2 1:lbl2=-1.00", E, "did not converge");
        row("cf 2 no such inlet air", kCounter, 2, "to2 c2 1:Text5=0.010", E,
            "No such design inlet air");
        // Problem 3.
        row("cf 3 empty field", kCounter, 3, "to3 3:Text19=", M, missing);
        row("cf 3 not arrived", kCounter, 3, "c1", E, noP1);
        row("cf 3 new water zero", kCounter, 3, "to3 c3 3:l31=76.4567 3:Text18=0", E, positive);
        row("cf 3 new air zero", kCounter, 3, "to3 c3 3:l31=76.4567 3:Text19=0.0", E, positive);
        row("cf 3 Problem 1 water zero", kCounter, 3, "to3 c3 3:l31=76.4567 3:l1=0.00", E,
            positive);
        row("cf 3 water IN at the wet bulb", kCounter, 3, "to3 c3 3:l31=76.4567 3:l3=18.60", E,
            "cooling degree is undefined");
        row("cf 3 NTU unreachable", kCounter, 3, "to3 c3 3:l31=76.4567 3:l2=-1.00", E,
            "did not converge");
        row("cf 3 inlet enthalpy not a number", kCounter, 3, "to3 c3 3:l31=76.4567 1:lbl11=", E,
            noP1);
        // Problem 4.
        row("cf 4 empty field", kCounter, 4, "to4 4:Text29=", M, missing);
        row("cf 4 wet bulb above dry bulb", kCounter, 4, "to4 4:Text3=31", E, wetAbove,
            "Text2 Text3", "Text2");
        row("cf 4 Problem 3 not calculated", kCounter, 4, "to3", E, noP3);
        row("cf 4 Problem 3 NTU not a number", kCounter, 4, "to4 c4 4:Text1=2200 3:l21=x", E, noP3);
        row("cf 4 wet bulb 9, dry bulb 30", kCounter, 4, "to4 c4 4:Text2=30 4:Text3=9", E,
            "No such inlet air (4) exists");
        row("cf 4 heat zero", kCounter, 4, "to4 c4 4:Text1=0", E, "greater than zero");
        row("cf 4 water IN at the wet bulb", kCounter, 4, "to4 c4 4:Text29=22", E,
            "more than 0.1 oC above");
        row("cf 4 water IN 0.05 K above", kCounter, 4, "to4 c4 4:Text29=22.05", E,
            "more than 0.1 oC above");
        row("cf 4 Problem 3 air zero", kCounter, 4, "to4 c4 4:Text1=2200 3:Text19=0", E, positive);
        row("cf 4 no transfer units", kCounter, 4, "to4 c4 4:Text1=2200 3:l21=0.00", E,
            "did not converge");

        // Cross flow, Problem 1.
        row("xf 1 empty field", kCross, 1, "1:Text6=", M, missing);
        row("xf 1 outlet above inlet", kCross, 1, "1:Text4=38", E, outletAbove, "Text3 Text4",
            "Text3");
        row("xf 1 outlet below the wet bulb", kCross, 1, "c1 1:Text4=20", E,
            xf(S::OutletNotReached));
        row("xf 1 air too small", kCross, 1, "c1 1:Text8=10", E, xf(S::CellAboveSaturation));
        row("xf 1 no water", kCross, 1, "c1 1:Text1=0", E, xf(S::NonPositiveFlow));
        row("xf 1 no air", kCross, 1, "c1 1:Text8=0", E, xf(S::NonPositiveFlow));
        row("xf 1 water at the wet bulb", kCross, 1, "c1 1:Text6=37 1:Text7=100", E,
            xf(S::WaterNotAboveWetBulb));
        row("xf 1 water below the wet bulb", kCross, 1,
            "c1 1:Text3=30 1:Text4=29 1:Text6=40 1:Text7=90", E, xf(S::WaterNotAboveWetBulb));
        row("xf 1 impossible inlet air", kCross, 1, "c1 1:Text5=0.9 1:Text6=100 1:Text7=100", E,
            noAir);
        // Problem 2.
        row("xf 2 empty field", kCross, 2, "c1 2:Text17=", P, missing);
        row("xf 2 outlet above inlet", kCross, 2, "c1 2:Text15=35", P, outletAbove, "Text14 Text15",
            "Text14");
        row("xf 2 wet bulb above dry bulb", kCross, 2, "c1 2:Text18=26", E, wetAbove,
            "Text18 Text19", "Text18");
        row("xf 2 Problem 1 not calculated", kCross, 2, "", E, noP1);
        const QString zeroQd = QStringLiteral("The design heat capacity is zero");
        row("xf 2 equal design water", kCross, 2, "c1 c2 2:Text15=34", E, zeroQd);
        row("xf 2 no design water", kCross, 2, "c1 c2 2:Text16=0", E, zeroQd);
        row("xf 2 Problem 1 water zero", kCross, 2, "c1 c2 1:Text1=0", E, xf(S::NonPositiveFlow));
        row("xf 2 Problem 1 field emptied", kCross, 2, "c1 c2 1:Text5=", E,
            "The data of Problem 1 are incomplete");
        row("xf 2 water at the wet bulb", kCross, 2, "c1 c2 2:Text14=21 2:Text15=20", E,
            "IN equals the design wet bulb temperature");
        row("xf 2 water below the wet bulb", kCross, 2, "c1 c2 2:Text14=20 2:Text15=19", E,
            xf(S::CellAboveSaturation));
        // Problem 3.
        row("xf 3 empty field", kCross, 3, "c1 c3 3:Text19=", M, missing);
        row("xf 3 Problem 1 not calculated", kCross, 3, "", E, noP1);
        row("xf 3 new water zero", kCross, 3, "c1 c3 3:Text18=0", E, xf(S::NonPositiveFlow));
        row("xf 3 Problem 1 air zero", kCross, 3, "c1 c3 1:Text8=0", E, xf(S::NonPositiveFlow));
        row("xf 3 Problem 1 field emptied", kCross, 3, "c1 c3 1:Text6=", E,
            "The data of Problem 1 are incomplete");
        row("xf 3 water at the wet bulb", kCross, 3, "c1 c3 1:Text6=37 1:Text7=100", E,
            xf(S::WaterNotAboveWetBulb));
        // Problem 4.
        row("xf 4 empty field", kCross, 4, "c1 c2 c3 4:Text4=", M, missing);
        row("xf 4 wet bulb above dry bulb", kCross, 4, "c1 c2 c3 4:Text5=31 4:Text6=30", E,
            wetAbove, "Text5 Text6", "Text5");
        row("xf 4 Problem 3 not calculated", kCross, 4, "c1", E, noP3);
        row("xf 4 Problem 3 flow emptied", kCross, 4, "c1 c2 c3 c4 3:Text19=", E,
            "The flow rates of Problem 3 are incomplete");
        row("xf 4 Problem 3 flow zero", kCross, 4, "c1 c2 c3 c4 3:Text18=0", E,
            xf(S::NonPositiveFlow));
        row("xf 4 Problem 1 pressure emptied", kCross, 4, "c1 c2 c3 c4 1:Text5=", E,
            "The air pressure of Problem 1 is missing");
        row("xf 4 heat zero", kCross, 4, "c1 c2 c3 c4 4:Text7=0", E, xf(S::NonPositiveHeat));
        row("xf 4 water at the wet bulb", kCross, 4, "c1 c2 c3 c4 4:Text4=22", E,
            xf(S::WaterNotAboveWetBulb));
        row("xf 4 water 0.05 K above", kCross, 4, "c1 c2 c3 c4 4:Text4=22.05", E,
            xf(S::HeatNotReachable));
        row("xf 4 wet bulb 9, dry bulb 30", kCross, 4, "c1 c2 c3 c4 4:Text5=9 4:Text6=30", E,
            noAir);
    }
    void refusals() {
        QFETCH(Arrangement, arrangement);
        QFETCH(int, problem);
        QFETCH(QString, steps);
        QFETCH(Box, box);
        QFETCH(QString, text);
        QFETCH(QString, emptied);
        QFETCH(QString, focus);
        Audit audit;
        run(audit, arrangement, steps);
        if (QTest::currentTestFailed())
            return;
        QStringList before = textsOf(audit, arrangement, problem);
        const bool leadingOn = audit.leadingOn(arrangement, problem);
        const engine::Step step = audit.calculate(arrangement, problem);
        QVERIFY(!step.calculated);
        QCOMPARE(step.messages.size(), std::size_t(1));
        const engine::Message& m = step.messages[0];
        QVERIFY2(m.text.contains(text), qPrintable(m.text));
        const std::pair<QString, MessageIcon> boxes[] = {
            {QStringLiteral("Error"), MessageIcon::Error},
            {QStringLiteral("Missing Data"), MessageIcon::Warning},
            {applicationTitle(), MessageIcon::None}};
        QCOMPARE(m.title, boxes[int(box)].first);
        QCOMPARE(m.icon, boxes[int(box)].second);
        for (const QString& control : emptied.split(u' ', Qt::SkipEmptyParts))
            before[indexOf(arrangement, problem, control)].clear();
        QCOMPARE(textsOf(audit, arrangement, problem), before);
        QCOMPARE(QString::fromLatin1(step.focus.data(), qsizetype(step.focus.size())), focus);
        QVERIFY(!step.status);
        QCOMPARE(audit.leadingOn(arrangement, problem), leadingOn);
    }

    // Problem 1's grid row: the fields and the indicators as shown.
    void resultRows_data() {
        QTest::addColumn<Arrangement>("arrangement");
        QTest::addColumn<QStringList>("row");
        QTest::newRow("counter flow")
            << kCounter << QStringList{"90.00", "100.00",  "38.00", "33.00", "25.00", "55.0",
                                       "30.58", "2095.00", "0.258", "5.0",   "14.4"};
        QTest::newRow("cross flow")
            << kCross << QStringList{"70.00", "90.00",   "37.00", "34.00", "28.00", "55.0",
                                     "17.97", "1131.30", "0.189", "3.0",   "12.9"};
    }
    void resultRows() {
        QFETCH(Arrangement, arrangement);
        QFETCH(QStringList, row);
        Audit audit;
        QVERIFY(audit.calculate(arrangement, 1).calculated);
        const auto& rows = audit.resultRows(arrangement).rows;
        QCOMPARE(rows.size(), std::size_t(1));
        QCOMPARE(QStringList(rows[0].begin(), rows[0].end()), row);
    }

    // A row number of 8 bits would wrap to row 0 after 255 rows: the rows keep growing.
    void resultRowsGrowPast255() {
        Audit audit;
        for (int k = 0; k < 300; ++k) {
            audit.type(kCounter, 1, "Text1", QString::number(100 + k * 0.01, 'f', 2));
            QVERIFY(audit.calculate(kCounter, 1).calculated);
        }
        const auto& rows = audit.resultRows(kCounter).rows;
        QCOMPARE(rows.size(), std::size_t(300));
        QCOMPARE(rows[0][1], QStringLiteral("100.00"));
        QCOMPARE(rows[255][1], QStringLiteral("102.55"));
        QCOMPARE(rows[299][1], QStringLiteral("102.99"));
    }

    // Every way the cross-flow core can fail has a message of its own.
    void everyCrossFlowFailureHasItsOwnMessage() {
        using crossflow::Status;
        QSet<QString> texts;
        int failures = 0;
        for (Status s : {Status::InvalidInput, Status::NonPositiveFlow, Status::NonPositiveHeat,
                         Status::WaterNotAboveWetBulb, Status::OutletAboveInlet,
                         Status::SaturationAbovePressure, Status::CellAboveSaturation,
                         Status::CellBelowBracket, Status::NonFinite, Status::OutletNotReached,
                         Status::RefinementNoConvergence, Status::HeatNotReachable,
                         Status::FlowNoConvergence}) {
            QVERIFY2(!crossflow::refusalText(s).isEmpty(), crossflow::statusText(s));
            texts.insert(crossflow::refusalText(s));
            ++failures;
        }
        QCOMPARE(texts.size(), failures);
        QVERIFY(crossflow::refusalText(Status::Ok).isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestProblems)
#include "tst_problems.moc"
