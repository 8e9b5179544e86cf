#pragma once
// What the benchmarks of whole audits share: an audit with all four Problems of an arrangement
// calculated on their design texts, as the buttons run them.

#include "engine/audit.h"

// *refused turns true when a Problem refuses its CALCULATE (a benchmark of it would time
// nothing).
inline engine::Audit calculatedAudit(Arrangement arrangement, bool* refused) {
    engine::Audit audit;
    for (int problem = 1; problem <= engine::kProblems; ++problem) {
        if (!audit.calculate(arrangement, problem).calculated)
            *refused = true;
        if (problem < engine::kProblems)
            audit.goOn(arrangement, problem);
    }
    return audit;
}
