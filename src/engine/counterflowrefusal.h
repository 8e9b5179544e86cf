#pragma once
// The message with which a counter-flow window refuses a calculation that the numeric core
// could not complete.

#include "core/counterflow.h"

#include <QString>

namespace counterflow {

QString refusalText(Status status);

} // namespace counterflow
