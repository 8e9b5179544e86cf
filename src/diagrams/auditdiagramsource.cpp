#include "diagrams/auditdiagramsource.h"

#include "core/ntuscaling.h"
#include "engine/audit.h"
#include "engine/capabilityinputs.h"
#include "engine/keys.h"
#include "engine/numtext.h"

#include <algorithm>
#include <utility>

namespace {

using namespace engine;

// Where each Problem shows what a diagram names: its NTU, its heat capacity and the water and
// air flows the NTU belongs to (for Problem 2 the name-plate flows).
struct ProblemControls {
    int ntu;
    int heat;
    int waterFlow;
    int airFlow;
};
constexpr ProblemControls kCounterFlow[4] = {
    {cf1::ntu, cf1::heat, cf1::waterFlow, cf1::airFlow},
    {cf2::ntu, cf2::achievedHeat, cf2::designWaterFlow, cf2::designAirFlow},
    {cf3::ntu, cf3::heat, cf3::newWaterFlow, cf3::newAirFlow},
    {cf4::ntu, cf4::heat, cf4::waterFlow, cf4::airFlow},
};
constexpr ProblemControls kCrossFlow[4] = {
    {xf1::ntu, xf1::heat, xf1::waterFlow, xf1::airFlow},
    {xf2::ntu, xf2::achievedHeat, xf2::designWaterFlow, xf2::designAirFlow},
    {xf3::ntu, xf3::heat, xf3::newWaterFlow, xf3::newAirFlow},
    {xf4::ntu, xf4::heat, xf4::waterFlow, xf4::airFlow},
};

const ProblemControls& controlsOf(Arrangement arrangement, int problem) {
    return (arrangement == Arrangement::CounterFlow ? kCounterFlow : kCrossFlow)[problem - 1];
}

bool traced(const engine::Audit& audit, Arrangement arrangement, int problem) {
    const engine::ProblemTrace& trace = audit.trace(arrangement, problem);
    return arrangement == Arrangement::CounterFlow ? !trace.nodes.empty() : !trace.cells.empty();
}

std::optional<double> number(const engine::Audit& audit, Arrangement arrangement, int problem,
                             int control) {
    return numtext::readNumber(audit.text(arrangement, problem, control));
}

// A value as the Problem's last CALCULATE had it: a field's text as the calculation read it (the
// field may have been edited since), a result label's as it shows it.
std::optional<double> calculatedNumber(const engine::Audit& audit, Arrangement arrangement,
                                       int problem, int control) {
    if (control >= engine::Audit::fieldCount(arrangement, problem))
        return number(audit, arrangement, problem, control);
    const std::vector<QString>& fields = audit.calculatedFields(arrangement, problem);
    if (std::size_t(control) >= fields.size())
        return std::nullopt;
    return numtext::readNumber(fields[std::size_t(control)]);
}

// Problem 1's water and air flows as Problem 2's last CALCULATE read them: the cross-flow window
// keeps them in hidden labels; for counter flow they are the fields of the last calculation of
// Problem 1 before it.
std::optional<std::pair<double, double>> problemOneFlowsOfProblemTwo(const engine::Audit& audit,
                                                                     Arrangement arrangement) {
    std::optional<double> l, g;
    if (arrangement == Arrangement::CrossFlow) {
        l = number(audit, arrangement, 2, xf2::waterFlow1);
        g = number(audit, arrangement, 2, xf2::airFlow1);
    } else {
        const std::vector<engine::Calculation>& log = audit.calculations();
        const auto is = [arrangement](int problem) {
            return [arrangement, problem](const engine::Calculation& c) {
                return c.arrangement == arrangement && c.problem == problem;
            };
        };
        const auto two = std::find_if(log.rbegin(), log.rend(), is(2));
        const auto one = std::find_if(two, log.rend(), is(1));
        if (one == log.rend() || one->fields.size() <= std::size_t(cf1::airFlow))
            return std::nullopt;
        l = numtext::readNumber(one->fields[cf1::waterFlow]);
        g = numtext::readNumber(one->fields[cf1::airFlow]);
    }
    if (!l || !g)
        return std::nullopt;
    return std::pair(*l, *g);
}

} // namespace

std::optional<diagrams::Characteristic> AuditDiagramSource::characteristic(Arrangement arrangement,
                                                                           int problem) const {
    if (!traced(audit_, arrangement, 1))
        return std::nullopt;
    // Each point stands where its Problem was calculated, whether it is current or not.
    const ProblemControls& one = controlsOf(arrangement, 1);
    const auto ntu1 = number(audit_, arrangement, 1, one.ntu);
    const auto l1 = calculatedNumber(audit_, arrangement, 1, one.waterFlow);
    const auto g1 = calculatedNumber(audit_, arrangement, 1, one.airFlow);
    if (!ntu1 || !l1 || !g1 || !(*ntu1 > 0))
        return std::nullopt;
    const auto reference = diagrams::characteristicPoint(1, *ntu1, *l1, *g1);
    if (!reference)
        return std::nullopt;

    diagrams::Characteristic c;
    c.arrangement = arrangement;
    c.exponent = ntuscaling::kFlowExponent;
    c.reference = *reference;
    c.shownProblem = problem;
    for (int k = 2; k <= 4; ++k) {
        if (!traced(audit_, arrangement, k))
            continue;
        const ProblemControls& controls = controlsOf(arrangement, k);
        const auto l = calculatedNumber(audit_, arrangement, k, controls.waterFlow);
        const auto g = calculatedNumber(audit_, arrangement, k, controls.airFlow);
        auto ntu = number(audit_, arrangement, k, controls.ntu);
        // Problem 2 holds the tower's NTU at the measured flows (Problem 1's, as it read them);
        // its point is the tower at the name-plate flows. Problems 3 and 4 show the NTU at
        // their own flows.
        if (k == 2) {
            const auto measured = problemOneFlowsOfProblemTwo(audit_, arrangement);
            ntu = ntu && l && g && measured ? std::optional<double>(ntuscaling::scaledNtu(
                                                  *ntu, measured->first, measured->second, *l, *g))
                                            : std::nullopt;
        }
        if (!l || !g || !ntu)
            continue;
        auto point = diagrams::characteristicPoint(k, *ntu, *l, *g);
        if (!point || !(point->ntuPerFlow > 0))
            continue;
        point->outOfDate = audit_.currency(arrangement, k).outOfDate();
        c.points.push_back(*point);
    }
    return c;
}

std::optional<diagrams::ProblemDiagrams> AuditDiagramSource::diagrams(Arrangement arrangement,
                                                                      int problem) const {
    if (problem < 1 || problem > 4 || !traced(audit_, arrangement, problem))
        return std::nullopt;
    const engine::ProblemTrace& trace = audit_.trace(arrangement, problem);
    const ProblemControls& controls = controlsOf(arrangement, problem);
    const std::string ntuText = audit_.text(arrangement, problem, controls.ntu).toStdString();
    const std::string heatText = audit_.text(arrangement, problem, controls.heat).toStdString();

    diagrams::ProblemDiagrams d;
    d.arrangement = arrangement;
    d.problem = problem;
    d.outOfDate = audit_.currency(arrangement, problem).outOfDate();
    if (arrangement == Arrangement::CounterFlow) {
        diagrams::MerkelDiagram m;
        m.problem = problem;
        m.ntuText = ntuText;
        m.heatText = heatText;
        m.pressure = number(audit_, arrangement, 1, cf1::pressure).value_or(1.0);
        m.outOfDate = d.outOfDate;
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
        maps.outOfDate = d.outOfDate;
        maps.cells.reserve(trace.cells.size());
        for (const crossflow::FillCell& cell : trace.cells)
            maps.cells.push_back({cell.waterTemp, cell.airEnthalpy, cell.airDryBulb});
        d.maps = std::move(maps);
    }
    if (problem >= 2)
        d.characteristic = characteristic(arrangement, problem);
    return d;
}

std::optional<diagrams::CapabilityDiagram>
AuditDiagramSource::capability(Arrangement arrangement) const {
    const engine::CapabilityCase c = engine::capabilityCase(audit_, arrangement, true);
    if (!c.test || !c.design)
        return std::nullopt;
    const bool outOfDate =
        audit_.currency(arrangement, 1).outOfDate() || audit_.currency(arrangement, 2).outOfDate();
    const capability::Capability k =
        capability::evaluate(arrangement, *c.test, &*c.design, c.settings, true);
    return diagrams::capabilityDiagram(k, c.settings.exponent, outOfDate);
}
