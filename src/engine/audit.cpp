#include "engine/audit.h"

#include "engine/controls.h"
#include "engine/fieldbehaviour.h"
#include "engine/fieldtable.h"
#include "engine/run.h"

namespace engine {

namespace {

struct ProblemDef {
    std::string_view window;
    std::span<const std::string_view> controls;
    int fields;
    void (*calculate)(Run&);
};

const ProblemDef kProblemDefs[2][kProblems] = {
    {{"Form5", cf1::kNames, cf1::lbl2, calculateCounterFlow1},
     {"Form2", cf2::kNames, cf2::l5, calculateCounterFlow2},
     {"Form10", cf3::kNames, cf3::l1, calculateCounterFlow3},
     {"Form3", cf4::kNames, cf4::l4, calculateCounterFlow4}},
    {{"Form8", xf1::kNames, xf1::lbl2, calculateCrossFlow1},
     {"Form6", xf2::kNames, xf2::l1, calculateCrossFlow2},
     {"Form9", xf3::kNames, xf3::l1, calculateCrossFlow3},
     {"Form4", xf4::kNames, xf4::Label11, calculateCrossFlow4}},
};

const ProblemDef& def(Arrangement arrangement, int problem) {
    return kProblemDefs[arrangement == Arrangement::CounterFlow ? 0 : 1][problem - 1];
}

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The texts of a freshly loaded window: the fields' initial texts, empty labels. Made once;
// copies share them.
const std::vector<QString>& initialTexts(Arrangement arrangement, int problem) {
    static const auto all = [] {
        std::array<std::array<std::vector<QString>, kProblems>, 2> texts;
        for (int a = 0; a < 2; ++a)
            for (int p = 0; p < kProblems; ++p) {
                const ProblemDef& d = kProblemDefs[a][p];
                std::vector<QString>& t = texts[std::size_t(a)][std::size_t(p)];
                t.resize(d.controls.size());
                for (int f = 0; f < d.fields; ++f)
                    if (const FieldDef* field = findField(d.window, d.controls[std::size_t(f)]))
                        t[std::size_t(f)] = toQString(field->initialText);
            }
        return texts;
    }();
    return all[arrangement == Arrangement::CounterFlow ? 0 : 1][std::size_t(problem - 1)];
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
    return def(arrangement, problem).window;
}

std::span<const std::string_view> Audit::controls(Arrangement arrangement, int problem) {
    return def(arrangement, problem).controls;
}

int Audit::fieldCount(Arrangement arrangement, int problem) {
    return def(arrangement, problem).fields;
}

std::optional<std::pair<Arrangement, int>> Audit::problemOf(std::string_view window) {
    for (Arrangement a : {Arrangement::CounterFlow, Arrangement::CrossFlow})
        for (int p = 1; p <= kProblems; ++p)
            if (def(a, p).window == window)
                return std::pair{a, p};
    return std::nullopt;
}

Audit::Problem& Audit::problem(Arrangement arrangement, int problem) {
    return problems_[arrangement == Arrangement::CounterFlow ? 0 : 1][std::size_t(problem - 1)];
}

const Audit::Problem& Audit::problem(Arrangement arrangement, int problem) const {
    return problems_[arrangement == Arrangement::CounterFlow ? 0 : 1][std::size_t(problem - 1)];
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
    return rows_[arrangement == Arrangement::CounterFlow ? 0 : 1];
}

const ResultRows& Audit::resultRows(Arrangement arrangement) const {
    return rows_[arrangement == Arrangement::CounterFlow ? 0 : 1];
}

void Audit::reset(Arrangement arrangement, int problem) {
    Problem& p = this->problem(arrangement, problem);
    p.texts = initialTexts(arrangement, problem);
    p.leadingOn = false;
    p.trace = {};
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

// The field table's row of each field of a Problem, by field index.
static const FieldDef* fieldDef(Arrangement arrangement, int problem, int field) {
    static const auto all = [] {
        std::array<std::array<std::vector<const FieldDef*>, kProblems>, 2> defs;
        for (int a = 0; a < 2; ++a)
            for (int p = 0; p < kProblems; ++p) {
                const ProblemDef& d = kProblemDefs[a][p];
                for (int f = 0; f < d.fields; ++f)
                    defs[std::size_t(a)][std::size_t(p)].push_back(
                        findField(d.window, d.controls[std::size_t(f)]));
            }
        return defs;
    }();
    const auto& defs =
        all[arrangement == Arrangement::CounterFlow ? 0 : 1][std::size_t(problem - 1)];
    return field >= 0 && std::size_t(field) < defs.size() ? defs[std::size_t(field)] : nullptr;
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
        if (const auto source = problemOf(f->heatCapacityWindow))
            heatCapacity = text(source->first, source->second, "lbl10");
    Problem& p = this->problem(arrangement, problem);
    const std::optional<std::string_view> failure =
        fieldFailure(*f, p.texts[std::size_t(field)], heatCapacity, numbers());
    if (!failure)
        return step;
    step.messages.push_back(
        {toQString(kFieldErrorTitle), toQString(*failure), MessageIcon::Critical});
    p.texts[std::size_t(field)].clear();
    p.leadingOn = false;
    step.focus = f->control;
    return step;
}

Step Audit::activate(Arrangement arrangement, int problem) {
    Step step;
    if (problem == 1) {
        ResultRows& rows = resultRows(arrangement);
        rows.nextRow = 1;
        rows.firstRow = 1;
        step.status = kRecommendedWaterFlow;
    } else if (arrangement == Arrangement::CounterFlow && problem == 2) {
        step.focus = controls(arrangement, problem)[cf2::Text13];
        step.status = kRecommendedWaterFlow;
    } else if (arrangement == Arrangement::CounterFlow && problem == 3) {
        step.focus = controls(arrangement, problem)[cf3::Text18];
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
    Run run(*this, arrangement, problem, step, beginBusy);
    def(arrangement, problem).calculate(run);
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
        const auto copy = [&](cf3::Control target, cf1::Control source) {
            to[std::size_t(target)] = from[std::size_t(source)];
        };
        copy(cf3::l1, cf1::Text1);
        copy(cf3::l3, cf1::Text3);
        copy(cf3::l4, cf1::Text4);
        copy(cf3::l8, cf1::Text8);
        copy(cf3::l5, cf1::Text5);
        copy(cf3::l6, cf1::Text6);
        copy(cf3::l7, cf1::Text7);
        copy(cf3::l2, cf1::lbl2);
        copy(cf3::l10, cf1::lbl10);
        copy(cf3::l11, cf1::lbl11);
        copy(cf3::l12, cf1::lbl12);
        copy(cf3::l9, cf1::lbl9);
        copy(cf3::l29, cf1::lbl13);
        copy(cf3::l30, cf1::lbl14);
        copy(cf3::l31, cf1::lbl15);
        copy(cf3::l32, cf1::lbl16);
        copy(cf3::l33, cf1::lbl17);
    }
    return leadingOn(arrangement, problem);
}

const ProblemTrace& Audit::trace(Arrangement arrangement, int problem) const {
    return this->problem(arrangement, problem).trace;
}

} // namespace engine
