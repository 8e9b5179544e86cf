#include "engine/problemone.h"

#include "engine/controls.h"

namespace engine::problemone {

static_assert(int(cf1::Text1) == int(xf1::Text1) && int(cf1::Text8) == int(xf1::Text8) &&
              int(cf1::Text3) == int(xf1::Text3) && int(cf1::Text4) == int(xf1::Text4) &&
              int(cf1::Text5) == int(xf1::Text5) && int(cf1::Text6) == int(xf1::Text6) &&
              int(cf1::Text7) == int(xf1::Text7));
using namespace cf1;

std::optional<Measured> readMeasured(Run& run, std::initializer_list<int> cleared) {
    if (!run.allFieldsFilled())
        return std::nullopt;
    const auto values = run.fieldNumbers({Text1, Text8, Text3, Text4, Text5, Text6, Text7});
    if (!values)
        return std::nullopt;
    const auto [L, G, Tin, Tout, p, tdb, rh] = *values;
    if (!run.checkWaterTemperatures(Tin, Tout, QStringLiteral("Error"), MessageIcon::Error, cleared,
                                    Text3))
        return std::nullopt;
    return Measured{L, G, Tin, Tout, p, tdb, rh};
}

void showResults(Run& run, const ResultLabels& shown, const Measured& measured,
                 const Results& found, const char* waterFlowPattern, const char* ntuPattern) {
    run.setField(Text1, run.format(measured.L, waterFlowPattern));
    run.setField(Text8, run.format(measured.G, "###0.00"));
    run.setField(Text3, run.format(measured.Tin, "##0.00"));
    run.setField(Text4, run.format(measured.Tout, "##0.00"));
    run.setField(Text5, run.format(measured.p, "#0.000"));
    run.setField(Text6, run.format(measured.tdb, "##0.00"));
    run.setField(Text7, run.format(measured.rh, "##0.0"));

    run.set(shown.inletWetBulb, run.format(found.inlet.wetBulb, "###0.00"));
    run.set(shown.inletEnthalpy, run.format(found.inlet.enthalpy, "###0.00"));
    run.set(shown.inletHumidity, run.format(found.inlet.absoluteHumidity, "0.00000"));
    run.set(shown.ntu, run.format(found.ntu, ntuPattern));
    run.set(shown.heat, run.format(found.heat, "###0.00"));
    run.set(shown.coolingDegree, run.format(found.coolingDegree, "0.000"));
    run.set(shown.range, run.format(found.range, "#0.0"));
    run.set(shown.approach, run.format(found.approach, "#0.0"));
    run.set(shown.outletDryBulb, run.format(found.outletDryBulb, "##0.00"));
    run.set(shown.outletWetBulb, run.format(found.outlet.wetBulb, "##0.00"));
    run.set(shown.outletEnthalpy, run.format(found.outletEnthalpy, "###0.00"));
    run.set(shown.outletRelativeHumidity, run.format(found.outlet.relativeHumidity, "##0.0"));
    run.set(shown.outletHumidity, run.format(found.outlet.absoluteHumidity, "0.00000"));

    // The grid row: a row is appended first when nextRow is past firstRow.
    ResultRows& grid = run.rows();
    if (grid.nextRow > grid.firstRow)
        grid.rows.emplace_back();
    const std::size_t row = std::size_t(grid.nextRow - 1);
    if (row >= grid.rows.size())
        grid.rows.resize(row + 1);
    grid.rows[row] = {run.t(Text8),       run.t(Text1),         run.t(Text3),
                      run.t(Text4),       run.t(Text6),         run.t(Text7),
                      run.t(shown.ntu),   run.t(shown.heat),    run.t(shown.coolingDegree),
                      run.t(shown.range), run.t(shown.approach)};
    ++grid.nextRow;
}

} // namespace engine::problemone
