#pragma once
// Writing the diagrams of an arrangement's calculated Problems as SVG files, for the batch
// audit: each Problem's enthalpy diagram (counter flow) or maps of the fill (cross flow) and,
// for Problems 2 to 4, its tower characteristic.

#include "core/arrangement.h"

#include <QString>
#include <QStringList>

class DiagramSource;

namespace diagramfiles {

// Writes into folder `dir` (which must exist) the SVG files of every Problem of the
// arrangement that the source has diagrams for, named
//     <prefix>-<counterflow|crossflow>-problem<N>-<kind>.svg
// with kind "enthalpy", "water-temperature", "air-enthalpy", "air-dry-bulb" or
// "characteristic". Returns the names written; on a file that cannot be written, *error names
// it and the writing stops.
QStringList writeSvg(const DiagramSource& source, Arrangement arrangement, const QString& dir,
                     const QString& prefix, QString* error);

} // namespace diagramfiles
