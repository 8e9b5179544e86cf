#pragma once
// The message with which a counter-flow window refuses a calculation that the numeric core
// could not complete.

#include "core/counterflow.h"

#include <QString>

namespace counterflow {

QString refusalText(Status status);

// The refusal of an integration of fill that found no driving force: the outlet water too
// close to the inlet wet bulb, or the air saturated inside the fill by too large an L/G.
QString noHeatTransferText(const Fill& fill);

} // namespace counterflow
