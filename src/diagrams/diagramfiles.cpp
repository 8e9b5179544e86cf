#include "diagrams/diagramfiles.h"

#include "diagrams/characteristicplot.h"
#include "diagrams/diagramexport.h"
#include "diagrams/diagramsource.h"
#include "diagrams/fillmapplot.h"
#include "diagrams/merkelplot.h"

#include <QDir>

namespace diagramfiles {

QStringList writeSvg(const DiagramSource& source, Arrangement arrangement, const QString& dir,
                     const QString& prefix, QString* error) {
    QStringList written;
    // One set of plots for every Problem: laid out once at the export size.
    MerkelPlot merkel;
    FillMapPlot maps[] = {FillMapPlot(FillMapPlot::Quantity::WaterTemp),
                          FillMapPlot(FillMapPlot::Quantity::AirEnthalpy),
                          FillMapPlot(FillMapPlot::Quantity::AirDryBulb)};
    const char* const mapKinds[] = {"water-temperature", "air-enthalpy", "air-dry-bulb"};
    CharacteristicPlot characteristic;

    for (int problem = 1; problem <= 4; ++problem) {
        const auto d = source.diagrams(arrangement, problem);
        if (!d)
            continue;
        const auto save = [&](QCustomPlot* plot, const char* kind) {
            const QString name = QStringLiteral("%1-%2-problem%3-%4.svg")
                                     .arg(prefix, arrangement == Arrangement::CounterFlow
                                                      ? QStringLiteral("counterflow")
                                                      : QStringLiteral("crossflow"))
                                     .arg(problem)
                                     .arg(QString::fromLatin1(kind));
            const QString path = QDir(dir).filePath(name);
            plot->resize(diagramexport::kReportSize);
            if (!diagramexport::save(plot, path, diagramexport::Format::Svg)) {
                if (error)
                    *error = QStringLiteral("cannot write %1").arg(QDir::toNativeSeparators(path));
                return false;
            }
            written.append(name);
            return true;
        };
        if (d->merkel) {
            merkel.setDiagram(*d->merkel);
            if (!save(&merkel, "enthalpy"))
                return written;
        }
        if (d->maps) {
            for (int k = 0; k < 3; ++k) {
                maps[k].setMaps(*d->maps);
                if (!save(&maps[k], mapKinds[k]))
                    return written;
            }
        }
        if (d->characteristic) {
            characteristic.setCharacteristic(*d->characteristic);
            if (!save(&characteristic, "characteristic"))
                return written;
        }
    }
    return written;
}

} // namespace diagramfiles
