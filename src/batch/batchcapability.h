#pragma once
// ctaudit-batch --capability and --savings: the tower's capability, and its water and fan
// energy, as columns after the others. The figures are the summary's (report::summarize, what
// the Capability window shows), computed from the case's audit as its chain left it, with the
// case's settings (batchinput.h, or an audit file's own) and, for the capability's U, the
// accuracies of the fields' hints, as --uncertainty uses them. A refused figure is an empty
// cell, and its sentence is in the note column.
//
// With --weather, one ambient table serves every case in place of the case's own table, its
// sav.twb and Problem 4's air.

#include "auditfile/batchinput.h"
#include "engine/audit.h"

#include <QString>
#include <QStringList>
#include <vector>

struct CapabilityColumns {
    bool capability = false; // the capability.* columns
    bool savings = false;    // the water.*, fan.* and savings.note columns
    // The ambient table of every case (--weather); empty: each case's own.
    std::vector<engine::AmbientRow> weather;
    // The file a worker process reads the same table from; empty: there is none.
    QString weatherFile;

    bool any() const { return capability || savings; }
    // The options that make a worker add the same columns.
    QStringList workerArguments() const;
    // The columns' names, in order.
    QStringList headerCells() const;
    // A case's cells: audit is the case's audit as its chain left it; it takes the case's
    // settings.
    QStringList cells(engine::Audit& audit, Arrangement arrangement, const BatchCase& c) const;
};
