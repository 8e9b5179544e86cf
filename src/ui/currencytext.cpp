#include "ui/currencytext.h"

#include "engine/audit.h"

#include <QStringList>
#include <map>

namespace currencytext {

namespace {

// What an out-of-date Problem builds on: the earlier results of the Problem that was calculated
// again since, or results that Problem no longer holds.
QString basis(const engine::Audit& audit, Arrangement arrangement, int changedBy) {
    return audit.currency(arrangement, changedBy).calculated
               ? QStringLiteral("Problem %1's earlier results").arg(changedBy)
               : QStringLiteral("results Problem %1 no longer holds").arg(changedBy);
}

} // namespace

QString titleSuffix() {
    return QStringLiteral(" (out of date)");
}

QString problemList(const std::vector<int>& problems) {
    if (problems.empty())
        return QString();
    if (problems.size() == 1)
        return QStringLiteral("Problem %1").arg(problems.front());
    QStringList numbers;
    for (std::size_t k = 0; k + 1 < problems.size(); ++k)
        numbers << QString::number(problems[k]);
    return QStringLiteral("Problems %1 and %2")
        .arg(numbers.join(QStringLiteral(", ")))
        .arg(problems.back());
}

std::vector<int> outOfDateProblems(const engine::Audit& audit, Arrangement arrangement) {
    std::vector<int> problems;
    for (int problem = 1; problem <= engine::kProblems; ++problem)
        if (audit.currency(arrangement, problem).outOfDate())
            problems.push_back(problem);
    return problems;
}

QString problemSentence(const engine::Audit& audit, Arrangement arrangement, int problem) {
    const engine::Currency currency = audit.currency(arrangement, problem);
    if (!currency.outOfDate())
        return QString();
    // What must be calculated again, in order: every Problem from the changed one up to this
    // one that does not show current results.
    std::vector<int> again;
    for (int k = currency.changedBy; k <= problem; ++k)
        if (!audit.currency(arrangement, k).current())
            again.push_back(k);
    return QStringLiteral("Problem %1 is out of date (it builds on %2): CALCULATE %3 again%4.")
        .arg(problem)
        .arg(basis(audit, arrangement, currency.changedBy), problemList(again),
             again.size() > 1 ? QStringLiteral(", in this order") : QString());
}

QString arrangementSentence(const engine::Audit& audit, Arrangement arrangement) {
    // The out-of-date Problems by the Problem whose change they do not follow.
    std::map<int, std::vector<int>> byCause;
    for (int problem : outOfDateProblems(audit, arrangement))
        byCause[audit.currency(arrangement, problem).changedBy].push_back(problem);
    if (byCause.size() == 1 && byCause.begin()->second.size() == 1)
        return problemSentence(audit, arrangement, byCause.begin()->second.front());
    QStringList sentences;
    for (const auto& [changedBy, problems] : byCause) {
        const bool one = problems.size() == 1;
        sentences << QStringLiteral("%1 %2 out of date (%3 on %4): CALCULATE %5 again%6.")
                         .arg(problemList(problems),
                              one ? QStringLiteral("is") : QStringLiteral("are"),
                              one ? QStringLiteral("it builds") : QStringLiteral("they build"),
                              basis(audit, arrangement, changedBy),
                              one ? QStringLiteral("it") : QStringLiteral("them"),
                              one ? QString() : QStringLiteral(", in order"));
    }
    return sentences.join(QLatin1Char(' '));
}

} // namespace currencytext
