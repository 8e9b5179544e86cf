#include "engine/resultblocks.h"

#include "engine/keys.h"

namespace engine {

void showAir(Run& run, const AirLabels& labels, double dryBulb, double wetBulb, double enthalpy,
             const Run::ShownAir& air, const char* temperaturePattern,
             const char* enthalpyPattern) {
    run.set(labels.dryBulb, run.format(dryBulb, temperaturePattern));
    run.set(labels.wetBulb, run.format(wetBulb, temperaturePattern));
    run.set(labels.enthalpy, run.format(enthalpy, enthalpyPattern));
    run.set(labels.relativeHumidity, run.format(air.relativeHumidity, "##0.0"));
    run.set(labels.humidity, run.format(air.absoluteHumidity, "0.00000"));
}

std::optional<std::array<double, 2>> readNewFlows(Run& run) {
    if (!run.allFieldsFilled())
        return std::nullopt;
    return run.fieldNumbers({cf3::newWaterFlow, cf3::newAirFlow});
}

std::optional<Duty> readDuty(Run& run, std::initializer_list<int> cleared, int focus) {
    using namespace cf4; // the cross-flow Problem 4 has the same identifiers
    if (!run.allFieldsFilled())
        return std::nullopt;
    const auto inputs = run.fieldNumbers({heat, waterIn, dryBulb, wetBulb});
    if (!inputs)
        return std::nullopt;
    const auto [Q, T, tdb, twb] = *inputs;
    if (!run.checkAirTemperatures(twb, tdb, cleared, focus))
        return std::nullopt;
    return Duty{Q, T, tdb, twb};
}

} // namespace engine
