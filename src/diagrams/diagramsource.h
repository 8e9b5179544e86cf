#pragma once
// Where the Diagram window gets its data: the diagrams of a Problem after its last successful
// CALCULATE, taken from the calculation's intermediate results and the texts the Problem shows.

#include "diagrams/diagramdata.h"

#include <optional>

class DiagramSource {
public:
    virtual ~DiagramSource() = default;
    // The diagrams of Problem `problem` (1 to 4) of an arrangement; nullopt before the Problem's
    // first successful CALCULATE.
    virtual std::optional<diagrams::ProblemDiagrams> diagrams(Arrangement arrangement,
                                                              int problem) const = 0;
};
