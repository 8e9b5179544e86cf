#pragma once
// The fuzzer's audit files: seeds taken from the windows as they stand, and damaged variants of
// them (truncated, bit-flipped, bytes overwritten, values swapped for hostile ones or for other
// JSON types, huge numbers and texts beyond a field's 32,767 characters, slices repeated, deep
// nesting, random bytes), and batch input files, all drawn from the session's one generator.

#include "auditfile/auditfile.h"
#include "rng.h"

#include <QByteArray>
#include <QString>

namespace auditfuzz {

// The audit as a file, keeping only its last few calculations: a long replay would only take
// time.
QByteArray seed(Rng& rng, auditfile::SavedAudit current);

// A damaged variant of file; what: a short description of the damage.
QByteArray mutate(Rng& rng, const QByteArray& file, QString* what);

// A batch input CSV of one to four cases: values an engineer would enter, now and then a
// hostile or very long cell, a short or long row, or the file cut short.
QByteArray batchInput(Rng& rng);

} // namespace auditfuzz
