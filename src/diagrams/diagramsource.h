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
    // The capability diagram of an arrangement from its Problems 1 and 2 as last calculated,
    // marked out of date when either is; nullopt when they have not both been calculated or
    // the source draws none. Apart from diagrams(): it evaluates the capability, which takes
    // longer than the diagrams (cross flow: up to a second).
    virtual std::optional<diagrams::CapabilityDiagram> capability(Arrangement) const {
        return std::nullopt;
    }
};
