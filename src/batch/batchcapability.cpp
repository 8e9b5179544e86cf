#include "batch/batchcapability.h"

#include "reports/capabilitysummary.h"
#include "uncertainty/propagation.h"

QStringList CapabilityColumns::workerArguments() const {
    QStringList arguments;
    if (capability)
        arguments << QStringLiteral("--capability");
    if (savings)
        arguments << QStringLiteral("--savings");
    if (!weatherFile.isEmpty())
        arguments << QStringLiteral("--weather=") + weatherFile;
    return arguments;
}

QStringList CapabilityColumns::headerCells() const {
    QStringList cells;
    if (capability)
        cells += report::CapabilitySummary::capabilityColumns();
    if (savings)
        cells += report::CapabilitySummary::savingsColumns();
    return cells;
}

QStringList CapabilityColumns::cells(engine::Audit& audit, Arrangement arrangement,
                                     const BatchCase& c) const {
    if (!any())
        return {};
    engine::CapabilityInputs inputs = c.settings;
    if (!weather.empty())
        inputs.ambient = weather;
    audit.setCapabilityInputs(arrangement, std::move(inputs));
    const unsigned parts =
        (capability ? report::CapabilityPart : 0u) | (savings ? report::WaterAndEnergyPart : 0u);
    const report::CapabilitySummary summary = report::summarize(
        audit, arrangement, uncertainty::hintAccuracies(), report::SummaryPart(parts));
    QStringList cells;
    if (capability)
        cells += summary.capabilityValues();
    if (savings)
        cells += summary.savingsValues();
    return cells;
}
