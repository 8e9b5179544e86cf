#include "engine/moistair.h"

#include "core/psychro.h"

namespace engine {

void MoistAir::setInputs(double p, double t, double second, const numtext::Converter& numbers) {
    used = true;
    texts[moistair::pressure] = numbers.generalText(p);
    texts[moistair::dryBulb] = numbers.generalText(t);
    texts[moistair::second] = numbers.generalText(second);
}

MoistAir::Status MoistAir::solve(int mode, std::optional<double> p, std::optional<double> t,
                                 std::optional<double> second, const numtext::Converter& numbers,
                                 Shown& shown) {
    if (!p || !t || !second || mode < 1 || mode > 3)
        return Status::NotANumber;
    const psychro::AirResult r =
        psychro::moistAirState(static_cast<psychro::Given>(mode), *p, *t, *second);
    switch (r.status) {
    case psychro::AirStatus::Ok:
        break;
    case psychro::AirStatus::ImpossibleState:
        return Status::ImpossibleState;
    case psychro::AirStatus::NoConvergence:
        return Status::NoConvergence;
    }
    numtext::Converter::Shown out[4] = {numbers.formatShown(r.state.wetBulb, "###0.00"),
                                        numbers.formatShown(r.state.absoluteHumidity, "##0.00000"),
                                        numbers.formatShown(r.state.enthalpy, "####0.0000"),
                                        numbers.formatShown(r.state.relativeHumidity, "##0.0")};
    texts[moistair::wetBulb] = std::move(out[0].text);
    texts[moistair::humidity] = std::move(out[1].text);
    texts[moistair::enthalpy] = std::move(out[2].text);
    texts[moistair::relativeHumidity] = std::move(out[3].text);
    // A result text that did not read back (none does) leaves the state unusable.
    if (!out[0].value || !out[1].value || !out[2].value || !out[3].value)
        return Status::NotANumber;
    shown = {*out[0].value, *out[1].value, *out[2].value, *out[3].value};
    return Status::Ok;
}

MoistAir::Status MoistAir::compute(int mode, double p, double t, double second,
                                   const numtext::Converter& numbers, Shown& shown) {
    used = true;
    numtext::Converter::Shown in[3] = {numbers.generalShown(p), numbers.generalShown(t),
                                       numbers.generalShown(second)};
    texts[moistair::pressure] = std::move(in[0].text);
    texts[moistair::dryBulb] = std::move(in[1].text);
    texts[moistair::second] = std::move(in[2].text);
    return solve(mode, in[0].value, in[1].value, in[2].value, numbers, shown);
}

MoistAir::Status MoistAir::moistair(int mode, const numtext::Converter& numbers) {
    used = true;
    Shown shown{};
    return solve(mode, numbers.readNumber(texts[moistair::pressure]),
                 numbers.readNumber(texts[moistair::dryBulb]),
                 numbers.readNumber(texts[moistair::second]), numbers, shown);
}

} // namespace engine
