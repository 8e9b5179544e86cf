#include "app/reportaccuracies.h"

#include "app/windows.h"
#include "engine/keys.h"
#include "engine/message.h"
#include "ui/desktop.h"
#include "ui/uncertaintywindow.h"

#include <cmath>

namespace {

// Where the Uncertainty window keeps its accuracies: its settings section, and a key per
// measured input in the order of uncertainty::Input.
const QString kSection = QStringLiteral("Uncertainty");
const char* const kKeys[uncertainty::kInputCount] = {
    "WaterFlow", "AirFlow", "WaterIn", "WaterOut", "Pressure", "DryBulb", "RelativeHumidity"};

} // namespace

uncertainty::Accuracies reportAccuracies(Windows& windows) {
    if (windows.isLoaded(engine::toQString(engine::kUncertaintyWindowKey)))
        return windows.uncertaintyWindow()->accuracies();
    uncertainty::Accuracies a = uncertainty::hintAccuracies();
    for (int i = 0; i < uncertainty::kInputCount; ++i) {
        const QString kept = windows.desktop().readSetting(applicationTitle(), kSection,
                                                           QString::fromLatin1(kKeys[i]));
        bool ok = false;
        const double v = kept.toDouble(&ok); // kept with the decimal point
        if (ok && std::isfinite(v) && v >= 0)
            a[std::size_t(i)].value = v;
    }
    return a;
}
