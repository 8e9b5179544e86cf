#pragma once
// Audit files as batch cases: `ctaudit-batch --arrangement counter a.ctaudit b.ctaudit ...`
// runs each file's inputs of the arrangement as one case, numbered in the order of the files,
// so that its output row is the one the same values give in a CSV line. A value its field
// refuses is a result, as in a CSV line; a damaged file stops the tool. Each case carries the
// file's own capability and energy settings of the arrangement, its ambient table included.

#include "auditfile/batchinput.h"
#include "batch/batchaudit.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

struct AuditCases {
    BatchInput input;             // the cases
    std::optional<QString> error; // "file: where: what"; set: no case is run
};

// The cases of the named audit files, or nullopt when the names are one input of another kind
// (a CSV file, or "-" for standard input).
std::optional<AuditCases> readAuditCases(const QStringList& names, Arrangement arrangement);
