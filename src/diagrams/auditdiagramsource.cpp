#include "diagrams/auditdiagramsource.h"

#include "common/ntuscaling.h"
#include "common/numtext.h"
#include "engine/audit.h"

namespace {

using engine::Arrangement;

// Where each Problem window shows what a diagram names: its NTU, its heat capacity and the
// water and air flows the NTU belongs to (for Problem 2 the name-plate flows).
struct ProblemControls {
    const char* ntu;
    const char* heat;
    const char* waterFlow;
    const char* airFlow;
};
constexpr ProblemControls kCounterFlow[4] = {
    {"lbl2", "lbl10", "Text1", "Text8"},
    {"l2", "l4", "Text13", "Text15"},
    {"l21", "l22", "Text18", "Text19"},
    {"l28", "Text1", "l21", "l22"},
};
constexpr ProblemControls kCrossFlow[4] = {
    {"lbl2", "lbl10", "Text1", "Text8"},
    {"l2", "l10", "Text16", "Text17"},
    {"l21", "l22", "Text18", "Text19"},
    {"l28", "Text7", "l21", "l22"},
};
// Problem 1's pressure, which every Problem of the arrangement works at.
constexpr const char* kPressure = "Text5";

Arrangement arrangementOf(bool counterFlow) {
    return counterFlow ? Arrangement::CounterFlow : Arrangement::CrossFlow;
}

const ProblemControls& controlsOf(bool counterFlow, int problem) {
    return (counterFlow ? kCounterFlow : kCrossFlow)[problem - 1];
}

bool traced(const engine::Audit& audit, bool counterFlow, int problem) {
    const engine::ProblemTrace& trace = audit.trace(arrangementOf(counterFlow), problem);
    return counterFlow ? !trace.nodes.empty() : !trace.cells.empty();
}

std::optional<double> number(const engine::Audit& audit, bool counterFlow, int problem,
                             const char* control) {
    return numtext::readNumber(audit.text(arrangementOf(counterFlow), problem, control));
}

} // namespace

std::optional<diagrams::Characteristic> AuditDiagramSource::characteristic(bool counterFlow,
                                                                           int problem) const {
    if (!traced(audit_, counterFlow, 1))
        return std::nullopt;
    const ProblemControls& one = controlsOf(counterFlow, 1);
    const auto ntu1 = number(audit_, counterFlow, 1, one.ntu);
    const auto l1 = number(audit_, counterFlow, 1, one.waterFlow);
    const auto g1 = number(audit_, counterFlow, 1, one.airFlow);
    if (!ntu1 || !l1 || !g1 || !(*ntu1 > 0))
        return std::nullopt;
    const auto reference = diagrams::characteristicPoint(1, *ntu1, *l1, *g1);
    if (!reference)
        return std::nullopt;

    diagrams::Characteristic c;
    c.counterFlow = counterFlow;
    c.exponent = ntuscaling::kFlowExponent;
    c.reference = *reference;
    c.shownProblem = problem;
    for (int k = 2; k <= 4; ++k) {
        if (!traced(audit_, counterFlow, k))
            continue;
        const ProblemControls& controls = controlsOf(counterFlow, k);
        const auto l = number(audit_, counterFlow, k, controls.waterFlow);
        const auto g = number(audit_, counterFlow, k, controls.airFlow);
        // Problem 2 holds the tower's NTU at the measured flows; its point is the tower at the
        // name-plate flows. Problems 3 and 4 show the NTU at their own flows.
        const auto ntu = k == 2 && l && g
                             ? std::optional<double>(ntuscaling::scaledNtu(*ntu1, *l1, *g1, *l, *g))
                             : number(audit_, counterFlow, k, controls.ntu);
        if (!l || !g || !ntu)
            continue;
        if (const auto point = diagrams::characteristicPoint(k, *ntu, *l, *g);
            point && point->ntuPerFlow > 0)
            c.points.push_back(*point);
    }
    return c;
}

std::optional<diagrams::ProblemDiagrams> AuditDiagramSource::diagrams(bool counterFlow,
                                                                      int problem) const {
    if (problem < 1 || problem > 4 || !traced(audit_, counterFlow, problem))
        return std::nullopt;
    const Arrangement arrangement = arrangementOf(counterFlow);
    const engine::ProblemTrace& trace = audit_.trace(arrangement, problem);
    const ProblemControls& controls = controlsOf(counterFlow, problem);
    const std::string ntuText = audit_.text(arrangement, problem, controls.ntu).toStdString();
    const std::string heatText = audit_.text(arrangement, problem, controls.heat).toStdString();

    diagrams::ProblemDiagrams d;
    d.counterFlow = counterFlow;
    d.problem = problem;
    if (counterFlow) {
        diagrams::MerkelDiagram m;
        m.problem = problem;
        m.ntuText = ntuText;
        m.heatText = heatText;
        m.pressure = number(audit_, counterFlow, 1, kPressure).value_or(1.0);
        m.operatingLine.reserve(trace.nodes.size());
        for (const counterflow::FillNode& node : trace.nodes)
            m.operatingLine.push_back({node.waterTemp, node.airEnthalpy});
        d.merkel = std::move(m);
    } else {
        diagrams::FillMaps maps;
        maps.problem = problem;
        maps.ntuText = ntuText;
        maps.heatText = heatText;
        maps.size = crossflow::kCells;
        maps.cells.reserve(trace.cells.size());
        for (const crossflow::FillCell& cell : trace.cells)
            maps.cells.push_back({cell.waterTemp, cell.airEnthalpy, cell.airDryBulb});
        d.maps = std::move(maps);
    }
    if (problem >= 2)
        d.characteristic = characteristic(counterFlow, problem);
    return d;
}
