#include "engine/chain.h"

namespace engine {

ChainResult runChain(Audit& audit, Arrangement arrangement, std::span<const QString> values) {
    // One chain, one locale: the default one when it starts (looked up once, not per step).
    audit.numbers();
    struct Pin {
        bool& pinned;
        ~Pin() { pinned = false; }
    } pin{audit.localePinned_};
    pin.pinned = true;
    ChainResult result;
    std::size_t next = 0;
    const auto stopped = [&](const Step& step) {
        if (step.messages.empty())
            return false;
        result.stop = step.messages.front();
        return true;
    };
    for (int problem = 1; problem <= kProblems; ++problem) {
        for (int f = 0; f < Audit::fieldCount(arrangement, problem); ++f) {
            audit.type(arrangement, problem, f, next < values.size() ? values[next] : QString());
            ++next;
            if (stopped(audit.leave(arrangement, problem, f)))
                return result;
        }
        if (stopped(audit.calculate(arrangement, problem)))
            return result;
        ++result.completed;
        if (problem == kProblems)
            break;
        if (!audit.goOn(arrangement, problem)) {
            result.stop = Message{QStringLiteral("Error"),
                                  QStringLiteral("Problem %1 cannot go on.").arg(problem),
                                  MessageIcon::Error};
            return result;
        }
        if (stopped(audit.activate(arrangement, problem + 1)))
            return result;
    }
    return result;
}

} // namespace engine
