#include "engine/audit.h"

#include "core/vectorstate.h"
#include "engine/fieldbehaviour.h"
#include "engine/fieldtable.h"
#include "engine/keys.h"
#include "engine/run.h"

#include <algorithm>
#include <functional>

namespace engine {

namespace {

// The calculation of each Problem.
void (*const kCalculations[2][kProblems])(Run&) = {
    {calculateCounterFlow1, calculateCounterFlow2, calculateCounterFlow3, calculateCounterFlow4},
    {calculateCrossFlow1, calculateCrossFlow2, calculateCrossFlow3, calculateCrossFlow4},
};

constexpr std::size_t side(Arrangement arrangement) {
    return arrangement == Arrangement::CounterFlow ? 0 : 1;
}

// The texts of a freshly loaded window: the fields' initial texts, empty labels. Made once;
// copies share them.
const std::vector<QString>& initialTexts(Arrangement arrangement, int problem) {
    static const auto all = [] {
        std::array<std::array<std::vector<QString>, kProblems>, 2> texts;
        for (Arrangement a : {Arrangement::CounterFlow, Arrangement::CrossFlow})
            for (int p = 1; p <= kProblems; ++p) {
                std::vector<QString>& t = texts[side(a)][std::size_t(p - 1)];
                t.resize(controlKeys(a, p).size());
                for (int f = 0; f < kFieldCounts[p - 1]; ++f)
                    if (const FieldDef* field = findField(a, p, f))
                        t[std::size_t(f)] = toQString(field->initialText);
            }
        return texts;
    }();
    return all[side(arrangement)][std::size_t(problem - 1)];
}

const QString kRecommendedWaterFlow =
    QStringLiteral("Recommended water mass flow rate is 0 - 200 [kg/s] with accuracy +/- 2%");

} // namespace

Audit::Audit() {
    for (Arrangement a : {Arrangement::CounterFlow, Arrangement::CrossFlow})
        for (int p = 1; p <= kProblems; ++p)
            reset(a, p);
}

std::string_view Audit::windowName(Arrangement arrangement, int problem) {
    return windowKey(arrangement, problem);
}

std::span<const std::string_view> Audit::controls(Arrangement arrangement, int problem) {
    return controlKeys(arrangement, problem);
}

int Audit::fieldCount(Arrangement /*arrangement*/, int problem) {
    return kFieldCounts[problem - 1];
}

std::optional<std::pair<Arrangement, int>> Audit::problemOf(std::string_view window) {
    if (const auto found = problemOfWindow(window))
        return std::pair{found->arrangement, found->problem};
    return std::nullopt;
}

Audit::Problem& Audit::problem(Arrangement arrangement, int problem) {
    return problems_[side(arrangement)][std::size_t(problem - 1)];
}

const Audit::Problem& Audit::problem(Arrangement arrangement, int problem) const {
    return problems_[side(arrangement)][std::size_t(problem - 1)];
}

int Audit::controlIndex(Arrangement arrangement, int problem, std::string_view control) const {
    if (problem < 1 || problem > kProblems)
        return -1;
    const auto names = controls(arrangement, problem);
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == control)
            return int(i);
    return -1;
}

const QString& Audit::text(Arrangement arrangement, int problem, std::string_view control) const {
    static const QString none;
    const int i = controlIndex(arrangement, problem, control);
    return i < 0 ? none : this->problem(arrangement, problem).texts[std::size_t(i)];
}

const QString& Audit::text(Arrangement arrangement, int problem, int control) const {
    static const QString none;
    if (problem < 1 || problem > kProblems || control < 0 ||
        std::size_t(control) >= controlKeys(arrangement, problem).size())
        return none;
    return this->problem(arrangement, problem).texts[std::size_t(control)];
}

bool Audit::setText(Arrangement arrangement, int problem, std::string_view control,
                    const QString& text) {
    const int i = controlIndex(arrangement, problem, control);
    if (i < 0)
        return false;
    this->problem(arrangement, problem).texts[std::size_t(i)] = text;
    return true;
}

bool Audit::leadingOn(Arrangement arrangement, int problem) const {
    return this->problem(arrangement, problem).leadingOn;
}

void Audit::setLeadingOn(Arrangement arrangement, int problem, bool enabled) {
    this->problem(arrangement, problem).leadingOn = enabled && problem < kProblems;
}

ResultRows& Audit::resultRows(Arrangement arrangement) {
    return rows_[side(arrangement)];
}

const ResultRows& Audit::resultRows(Arrangement arrangement) const {
    return rows_[side(arrangement)];
}

void Audit::reset(Arrangement arrangement, int problem) {
    Problem fresh;
    fresh.texts = initialTexts(arrangement, problem);
    this->problem(arrangement, problem) = std::move(fresh);
    if (problem == 1)
        resultRows(arrangement) = {};
}

void Audit::resetMoistAir() {
    moistAir_ = {};
}

const numtext::Converter& Audit::numbers() {
    if (localePinned_ && numbers_)
        return *numbers_;
    const QLocale current;
    if (!numbers_ || current != locale_) {
        locale_ = current;
        numbers_.emplace(current);
    }
    return *numbers_;
}

// The field table's row of a field of a Problem, by field index; nullptr for any other index.
static const FieldDef* fieldDef(Arrangement arrangement, int problem, int field) {
    if (problem < 1 || problem > kProblems || field < 0 || field >= kFieldCounts[problem - 1])
        return nullptr;
    return findField(arrangement, problem, field);
}

Step Audit::type(Arrangement arrangement, int problem, std::string_view field,
                 const QString& text) {
    return type(arrangement, problem, controlIndex(arrangement, problem, field), text);
}

Step Audit::type(Arrangement arrangement, int problem, int field, const QString& text) {
    Step step;
    if (!fieldDef(arrangement, problem, field))
        return step;
    TypedText typed = correctTyped(text, numbers());
    Problem& p = this->problem(arrangement, problem);
    p.texts[std::size_t(field)] = std::move(typed.text);
    p.leadingOn = false;
    step.beeps = typed.removed;
    return step;
}

Step Audit::click(Arrangement arrangement, int problem, std::string_view field) {
    Step step;
    const int i = controlIndex(arrangement, problem, field);
    const FieldDef* f = fieldDef(arrangement, problem, i);
    if (!f)
        return step;
    Problem& p = this->problem(arrangement, problem);
    p.texts[std::size_t(i)].clear();
    p.leadingOn = false;
    status_ = toQString(f->hint);
    step.status = status_;
    return step;
}

Step Audit::leave(Arrangement arrangement, int problem, std::string_view field) {
    return leave(arrangement, problem, controlIndex(arrangement, problem, field));
}

Step Audit::leave(Arrangement arrangement, int problem, int field) {
    Step step;
    const FieldDef* f = fieldDef(arrangement, problem, field);
    if (!f)
        return step;
    QString heatCapacity;
    if (f->limit == LimitKind::HeatCapacity)
        if (const auto source = problemOfWindow(f->heatCapacityWindow))
            heatCapacity = this->problem(source->arrangement, 1).texts[cf1::heat];
    Problem& p = this->problem(arrangement, problem);
    const std::optional<std::string_view> failure =
        fieldFailure(*f, p.texts[std::size_t(field)], heatCapacity, numbers());
    if (!failure)
        return step;
    step.messages.push_back(
        {toQString(messages::kErrorTitle), toQString(*failure), MessageIcon::Critical});
    p.texts[std::size_t(field)].clear();
    p.leadingOn = false;
    step.focus = f->control;
    return step;
}

Step Audit::activate(Arrangement arrangement, int problem) {
    Step step;
    if (problem == 1) {
        step.status = kRecommendedWaterFlow;
    } else if (arrangement == Arrangement::CounterFlow && problem == 2) {
        step.focus = controlKey(arrangement, problem, cf2::designWaterFlow);
        step.status = kRecommendedWaterFlow;
    } else if (arrangement == Arrangement::CounterFlow && problem == 3) {
        step.focus = controlKey(arrangement, problem, cf3::newWaterFlow);
        step.status = kRecommendedWaterFlow;
    }
    if (step.status)
        status_ = *step.status;
    return step;
}

Step Audit::calculate(Arrangement arrangement, int problem,
                      const std::function<void()>& beginBusy) {
    Step step;
    if (problem < 1 || problem > kProblems)
        return step;
    // Whatever ran before (Qt's string hashes, on some processors) may have left the vector
    // registers' upper halves in use, which slows every exp of the core (core/vectorstate.h).
    vectorstate::clearUpper();
    Run run(*this, arrangement, problem, step, beginBusy);
    kCalculations[side(arrangement)][problem - 1](run);
    if (step.status)
        status_ = *step.status;
    return step;
}

bool Audit::goOn(Arrangement arrangement, int problem) {
    if (problem < 1 || problem >= kProblems)
        return false;
    if (arrangement == Arrangement::CounterFlow && problem == 2) {
        // Problem 1's values travel on to Problem 3 as the texts Problem 1 shows.
        const std::vector<QString>& from = this->problem(arrangement, 1).texts;
        std::vector<QString>& to = this->problem(arrangement, 3).texts;
        static constexpr std::pair<cf3::Control, cf1::Control> kCarried[] = {
            {cf3::waterFlow1, cf1::waterFlow},
            {cf3::waterIn1, cf1::waterIn},
            {cf3::waterOut1, cf1::waterOut},
            {cf3::airFlow1, cf1::airFlow},
            {cf3::pressure1, cf1::pressure},
            {cf3::dryBulb1, cf1::dryBulb},
            {cf3::relativeHumidity1, cf1::relativeHumidity},
            {cf3::ntu1, cf1::ntu},
            {cf3::heat1, cf1::heat},
            {cf3::inletEnthalpy1, cf1::inletEnthalpy},
            {cf3::inletHumidity1, cf1::inletHumidity},
            {cf3::inletWetBulb1, cf1::inletWetBulb},
            {cf3::outlet1DryBulb, cf1::outletDryBulb},
            {cf3::outlet1WetBulb, cf1::outletWetBulb},
            {cf3::outlet1Enthalpy, cf1::outletEnthalpy},
            {cf3::outlet1RelativeHumidity, cf1::outletRelativeHumidity},
            {cf3::outlet1Humidity, cf1::outletHumidity},
        };
        for (const auto& [target, source] : kCarried)
            to[std::size_t(target)] = from[std::size_t(source)];
    }
    return leadingOn(arrangement, problem);
}

const ProblemTrace& Audit::trace(Arrangement arrangement, int problem) const {
    static const ProblemTrace none;
    const auto& trace = this->problem(arrangement, problem).trace;
    return trace ? *trace : none;
}

// ---------------------------------------------------------------------------------------------
// The audit as one value

bool ResultRows::empty() const {
    return rows.size() == 1 && std::ranges::all_of(rows.front(), &QString::isEmpty);
}

std::array<QString, ResultRows::kColumns>& ResultRows::append() {
    if (rows.empty() || !empty())
        rows.emplace_back();
    return rows.back();
}

void ResultRows::remove(std::vector<int> indices) {
    std::ranges::sort(indices, std::greater<>());
    const auto [first, last] = std::ranges::unique(indices);
    indices.erase(first, last);
    for (int i : indices)
        if (i >= 0 && std::size_t(i) < rows.size())
            rows.erase(rows.begin() + i);
    if (rows.empty())
        rows.resize(1);
}

Audit::State Audit::state() const {
    State s;
    s.problems = problems_;
    s.rows = rows_;
    s.moistAirTexts = moistAir_.texts;
    s.moistAirUsed = moistAir_.used;
    s.status = status_;
    s.log = log_;
    s.lastStamp = lastStamp_;
    s.title = title_;
    s.capability = capability_;
    return s;
}

void Audit::restore(const State& s) {
    problems_ = s.problems;
    rows_ = s.rows;
    // The calculator keeps its address: its window shows it.
    moistAir_.texts = s.moistAirTexts;
    moistAir_.used = s.moistAirUsed;
    status_ = s.status;
    log_ = s.log;
    lastStamp_ = s.lastStamp;
    title_ = s.title;
    capability_ = s.capability;
}

bool Audit::sameAudit(const State& a, const State& b) {
    for (std::size_t side = 0; side < 2; ++side)
        for (std::size_t p = 0; p < std::size_t(kProblems); ++p) {
            const Problem& x = a.problems[side][p];
            const Problem& y = b.problems[side][p];
            if (x.texts != y.texts || x.leadingOn != y.leadingOn || x.stamp != y.stamp ||
                x.basis != y.basis)
                return false;
        }
    return a.rows == b.rows && a.moistAirTexts == b.moistAirTexts && a.log == b.log &&
           a.title == b.title && a.capability == b.capability;
}

const std::vector<Calculation>& Audit::calculations() const {
    return log_;
}

Currency Audit::currency(Arrangement arrangement, int problem) const {
    Currency c;
    if (problem < 1 || problem > kProblems)
        return c;
    const Problem& own = this->problem(arrangement, problem);
    c.calculated = own.stamp != 0;
    if (!c.calculated)
        return c;
    for (int earlier = 1; earlier < problem && c.changedBy == 0; ++earlier) {
        const Problem& read = this->problem(arrangement, earlier);
        if (read.stamp != own.basis[std::size_t(earlier - 1)])
            c.changedBy = earlier;
        else if (const Currency before = currency(arrangement, earlier); before.outOfDate())
            c.changedBy = before.changedBy;
    }
    return c;
}

const std::vector<QString>& Audit::calculatedFields(Arrangement arrangement, int problem) const {
    static const std::vector<QString> none;
    if (problem < 1 || problem > kProblems)
        return none;
    return this->problem(arrangement, problem).calculatedFields;
}

void Audit::setReportTitle(const ReportTitle& title) {
    // One line each, of a length a title block holds.
    const auto line = [](QString text) {
        if (text.size() > ReportTitle::kMaxLength)
            text.truncate(text[ReportTitle::kMaxLength - 1].isHighSurrogate()
                              ? ReportTitle::kMaxLength - 1
                              : ReportTitle::kMaxLength);
        for (QChar& c : text)
            if (c == u'\n' || c == u'\r' || c == u'\t' || c == QChar::LineSeparator ||
                c == QChar::ParagraphSeparator)
                c = u' ';
        return text;
    };
    title_ = {line(title.tower), line(title.site), line(title.date), line(title.engineer)};
}

void Audit::setCapabilityInputs(Arrangement arrangement, CapabilityInputs inputs) {
    if (inputs.ambient.size() > std::size_t(kMaxAmbientRows))
        inputs.ambient.resize(std::size_t(kMaxAmbientRows));
    capability_[arrangement == Arrangement::CounterFlow ? 0 : 1] = std::move(inputs);
}

void Audit::deleteRows(Arrangement arrangement, std::vector<int> rows) {
    resultRows(arrangement).remove(std::move(rows));
}

} // namespace engine
