#pragma once
// The sentences that tell the engineer which Problems are out of date (engine::Currency) and
// what to do about it, for the Problem windows' titles and the status line, the Uncertainty
// window and the spreadsheet export.

#include "core/arrangement.h"

#include <QString>
#include <vector>

namespace engine {
class Audit;
}

namespace currencytext {

// What a Problem window's title gets while its Problem is out of date.
QString titleSuffix();

// Problems by number as a phrase: "Problem 3", "Problems 3 and 4", "Problems 2, 3 and 4".
// Empty for none.
QString problemList(const std::vector<int>& problems);

// The Problems of an arrangement that show results which are out of date, in order.
std::vector<int> outOfDateProblems(const engine::Audit& audit, Arrangement arrangement);

// Why a Problem is out of date and how to bring it up to date: "Problem 3 is out of date (it
// builds on Problem 1's earlier results): CALCULATE Problems 2 and 3 again, in this order."
// Empty when the Problem is not out of date.
QString problemSentence(const engine::Audit& audit, Arrangement arrangement, int problem);

// The same for every out-of-date Problem of an arrangement, one sentence per Problem that
// they build on; empty when none is out of date.
QString arrangementSentence(const engine::Audit& audit, Arrangement arrangement);

} // namespace currencytext
