#include "engine/moistair.h"

#include "psychro/psychro.h"

namespace engine {

void MoistAir::setInputs(double p, double t, double second, const numtext::Converter& numbers) {
    used = true;
    texts[Text2] = numbers.generalText(p);
    texts[Text3] = numbers.generalText(t);
    texts[Text4] = numbers.generalText(second);
}

MoistAir::Status MoistAir::moistair(int mode, const numtext::Converter& numbers) {
    used = true;
    const auto p = numbers.readNumber(texts[Text2]);
    const auto t = numbers.readNumber(texts[Text3]);
    const auto second = numbers.readNumber(texts[Text4]);
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
    texts[Text9] = numbers.format(r.state.wetBulb, "###0.00");
    texts[Text11] = numbers.format(r.state.absoluteHumidity, "##0.00000");
    texts[Text13] = numbers.format(r.state.enthalpy, "####0.0000");
    texts[Text15] = numbers.format(r.state.relativeHumidity, "##0.0");
    return Status::Ok;
}

} // namespace engine
