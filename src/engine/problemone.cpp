#include "engine/problemone.h"

#include "engine/keys.h"

namespace engine::problemone {

using namespace cf1; // the cross-flow Problem 1 has the same identifiers (keys.h)

std::optional<Measured> readMeasured(Run& run, std::initializer_list<int> cleared) {
    if (!run.allFieldsFilled())
        return std::nullopt;
    const auto values = run.fieldNumbers(
        {waterFlow, airFlow, waterIn, waterOut, pressure, dryBulb, relativeHumidity});
    if (!values)
        return std::nullopt;
    const auto [L, G, Tin, Tout, p, tdb, rh] = *values;
    if (!run.checkWaterTemperatures(Tin, Tout, toQString(messages::kErrorTitle), MessageIcon::Error,
                                    cleared, waterIn))
        return std::nullopt;
    if (!(L > 0) || !(G > 0)) {
        run.refuse(toQString(messages::kFlowsNotPositive));
        return std::nullopt;
    }
    const auto inlet = run.airState(3, p, tdb, rh, QStringLiteral("inlet air"));
    if (!inlet)
        return std::nullopt;
    return Measured{L, G, Tin, Tout, p, tdb, rh, *inlet};
}

void showResults(Run& run, const Measured& measured, const Results& found,
                 const char* waterFlowPattern, const char* ntuPattern) {
    run.setField(waterFlow, run.format(measured.L, waterFlowPattern));
    run.setField(airFlow, run.format(measured.G, "###0.00"));
    run.setField(waterIn, run.format(measured.Tin, "##0.00"));
    run.setField(waterOut, run.format(measured.Tout, "##0.00"));
    run.setField(pressure, run.format(measured.p, "#0.000"));
    run.setField(dryBulb, run.format(measured.tdb, "##0.00"));
    run.setField(relativeHumidity, run.format(measured.rh, "##0.0"));

    run.set(inletWetBulb, run.format(found.inlet.wetBulb, "###0.00"));
    run.set(inletEnthalpy, run.format(found.inlet.enthalpy, "###0.00"));
    run.set(inletHumidity, run.format(found.inlet.absoluteHumidity, "0.00000"));
    run.set(ntu, run.format(found.ntu, ntuPattern));
    run.set(heat, run.format(found.heat, "###0.00"));
    showIndicators<Control>(run, found.indicators);
    showOutletAir<Control>(run, found.outletDryBulb, found.outletEnthalpy, found.outlet, "###0.00");

    // The grid's new row.
    run.rows().append() = {run.t(airFlow),  run.t(waterFlow), run.t(waterIn),
                           run.t(waterOut), run.t(dryBulb),   run.t(relativeHumidity),
                           run.t(ntu),      run.t(heat),      run.t(coolingDegree),
                           run.t(range),    run.t(approach)};
}

QString completionStatus(const Run& run, const QString& text) {
    const std::optional<double> rhOut = run.number(run.t(outletRelativeHumidity));
    if (rhOut && *rhOut > 100)
        return text + QStringLiteral(" - note: the outlet air is supersaturated (relative "
                                     "humidity above 100 %: fog in the plume)");
    return text;
}

} // namespace engine::problemone
