#pragma once
// The diagrams of an audit: each Problem's trace (the integration's nodes or the sweep's
// cells of its last successful CALCULATE) and the texts its window shows (NTU, heat
// capacity, flows, pressure), read as the Problem windows read each other's texts.

#include "diagrams/diagramsource.h"

namespace engine {
class Audit;
}

class AuditDiagramSource final : public DiagramSource {
public:
    explicit AuditDiagramSource(const engine::Audit& audit)
        : audit_(audit) {}

    std::optional<diagrams::ProblemDiagrams> diagrams(Arrangement arrangement,
                                                      int problem) const override;

    std::optional<diagrams::CapabilityDiagram> capability(Arrangement arrangement) const override;

    // The tower characteristic as Problem `problem` (2 to 4) shows it; nullopt when Problem 1
    // has no positive NTU to draw it through.
    std::optional<diagrams::Characteristic> characteristic(Arrangement arrangement,
                                                           int problem) const;

private:
    const engine::Audit& audit_;
};
