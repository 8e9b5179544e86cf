#include "engine/run.h"

#include "core/vectorstate.h"
#include "engine/keys.h"

namespace engine {

Run::Run(Audit& audit, Arrangement arrangement, int problem, Step& step,
         const std::function<void()>& beginBusy)
    : audit_(audit)
    , arrangement_(arrangement)
    , problem_(problem)
    , own_(audit.problem(arrangement, problem))
    , step_(step)
    , beginBusy_(beginBusy)
    , numbers_(audit.numbers()) {}

bool Run::allFieldsFilled(const QString& title, MessageIcon icon) {
    const int fields = Audit::fieldCount(arrangement_, problem_);
    for (int f = 0; f < fields; ++f) {
        if (t(f).isEmpty()) {
            message(title, toQString(messages::kAllFieldsRequireData), icon);
            return false;
        }
    }
    return true;
}

bool Run::allFieldsFilled() {
    return allFieldsFilled(toQString(messages::kMissingDataTitle), MessageIcon::Warning);
}

bool Run::readNumbers(std::span<const QString> texts, std::span<double> values,
                      const QString& refusal) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const std::optional<double> value = number(texts[i]);
        if (!value) {
            refuse(refusal);
            return false;
        }
        values[i] = *value;
    }
    return true;
}

bool Run::checkWaterTemperatures(double waterIn, double waterOut, const QString& title,
                                 MessageIcon icon, std::initializer_list<int> cleared, int focus) {
    if (!(waterOut > waterIn))
        return true;
    refuseFields(title, toQString(messages::kWaterOutNotBelowIn), icon, cleared, focus);
    return false;
}

bool Run::checkAirTemperatures(double wetBulb, double dryBulb, std::initializer_list<int> cleared,
                               int focus) {
    if (!(wetBulb > dryBulb))
        return true;
    refuseFields(toQString(messages::kErrorTitle), toQString(messages::kWetBulbNotBelowDryBulb),
                 MessageIcon::Error, cleared, focus);
    return false;
}

void Run::refuseFields(const QString& title, const QString& text, MessageIcon icon,
                       std::initializer_list<int> cleared, int focus) {
    message(title, text, icon);
    for (int field : cleared)
        setField(field, QString());
    step_.focus = controlKey(arrangement_, problem_, focus);
}

void Run::message(const QString& title, const QString& text, MessageIcon icon) {
    step_.messages.push_back({title, text, icon});
}

void Run::refuse(const QString& reason) {
    message(toQString(messages::kErrorTitle), reason, MessageIcon::Error);
}

void Run::busy() {
    if (beginBusy_) {
        beginBusy_();
        vectorstate::clearUpper(); // after the window's code, before the long search
    }
}

std::optional<Run::ShownAir> Run::airState(int mode, double p, double t, double second,
                                           const QString& what) {
    MoistAir::Shown shown{};
    switch (audit_.moistAir_.compute(mode, p, t, second, numbers_, shown)) {
    case MoistAir::Status::Ok:
        return ShownAir{shown.wetBulb, shown.absoluteHumidity, shown.enthalpy,
                        shown.relativeHumidity};
    case MoistAir::Status::NotANumber:
        refuse(QStringLiteral("The %1 cannot be calculated: one of its values is not a number.")
                   .arg(what));
        break;
    case MoistAir::Status::ImpossibleState:
        refuse(QStringLiteral("No such %1 exists: its humidity would be negative or unbounded. "
                              "Check the temperatures, the humidity and the pressure.")
                   .arg(what));
        break;
    case MoistAir::Status::NoConvergence:
        refuse(QStringLiteral("The wet bulb temperature of the %1 could not be found.").arg(what));
        break;
    }
    return std::nullopt;
}

void Run::succeed(std::optional<QString> status) {
    step_.calculated = true;
    if (status)
        step_.status = std::move(*status);
    if (problem_ < kProblems)
        own_.leadingOn = true;
    if (audit_.tracing_)
        own_.trace = std::make_shared<const ProblemTrace>(std::move(pending_));
    // Its place among the calculations, what it read of the earlier Problems, its fields.
    own_.stamp = ++audit_.lastStamp_;
    for (int earlier = 1; earlier <= kProblems; ++earlier)
        own_.basis[std::size_t(earlier - 1)] =
            earlier < problem_ ? audit_.problem(arrangement_, earlier).stamp : 0;
    const int fields = kFieldCounts[problem_ - 1];
    own_.calculatedFields.assign(own_.texts.begin(), own_.texts.begin() + fields);
    audit_.log_.push_back({arrangement_, problem_, own_.calculatedFields});
    ++audit_.calculations_;
    if (audit_.listener_)
        audit_.listener_(arrangement_, problem_);
}

counterflow::FillNode* Run::traceNodes() {
    if (!audit_.tracing_)
        return nullptr;
    pending_.nodes.resize(counterflow::kIntervals + 1);
    return pending_.nodes.data();
}

crossflow::FillCell* Run::traceCells() {
    if (!audit_.tracing_)
        return nullptr;
    pending_.cells.resize(crossflow::kCells * crossflow::kCells);
    return pending_.cells.data();
}

} // namespace engine
