#pragma once
// ctaudit-batch --uncertainty: the expanded uncertainty (first order, coverage factor 2) of the
// audit's results, as columns after the report's quantities. The measurement model works on
// the case's input texts as numbers (point locale), not on the windows' rounded texts.

#include "auditfile/batchinput.h"
#include "batch/batchaudit.h"

#include <QStringList>

// "U(<quantity>)" for each result whose uncertainty the audit states, in its order.
QStringList uncertaintyHeaderCells();

// A case's U columns, two significant digits. `row` is the case's output row (case, status,
// the 58 quantities): a result the windows left empty (the case stopped before it) has an
// empty U, and so has a result whose uncertainty cannot be given (a perturbed chain failed).
QStringList uncertaintyCells(Arrangement arrangement, const BatchCase& c, const QStringList& row);
