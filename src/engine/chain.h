#pragma once
// A whole chain of one arrangement as an engineer runs it: Problem by Problem, each of the
// Problem's fields gets its text pasted whole (the text-change procedure runs on it) and is
// left (its check runs, an empty text included), then CALCULATE, then the leading-on button
// and the next Problem's activation. The first message box stops the chain.

#include "engine/audit.h"

#include <QString>
#include <optional>
#include <span>

namespace engine {

// The fields of all four Problems in order (7 + 6 + 2 + 4 for either arrangement).
inline constexpr int kChainFields = 19;

struct ChainResult {
    int completed = 0;           // Problems whose CALCULATE wrote its results
    std::optional<Message> stop; // the message that stopped the chain
};

// values: the texts of the kChainFields fields, Problem 1's first, each Problem's in its
// fields' order (Audit::controls). The whole chain uses the default locale it starts with.
ChainResult runChain(Audit& audit, Arrangement arrangement, std::span<const QString> values);

} // namespace engine
