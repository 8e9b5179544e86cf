#pragma once
// The message with which a cross-flow window refuses a calculation that the numeric core
// could not complete.

#include "core/crossflow.h"

#include <QString>

namespace crossflow {

// The message for a failed status; empty for Status::Ok.
QString refusalText(Status status);

} // namespace crossflow
