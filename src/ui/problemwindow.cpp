#include "ui/problemwindow.h"

#include "engine/fieldtable.h"
#include "engine/keys.h"
#include "engine/message.h"
#include "ui/currencytext.h"
#include "ui/desktop.h"
#include "ui/enterkey.h"
#include "ui/numericfield.h"
#include "ui/workspace.h"

#include <QAbstractButton>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>
#include <optional>

namespace {

QString fromPlan(const char* text) {
    return text ? QString::fromUtf8(text) : QString();
}

QString arrangementCaption(Arrangement arrangement) {
    return arrangement == Arrangement::CounterFlow ? QStringLiteral("COUNTER FLOW")
                                                   : QStringLiteral("CROSS FLOW");
}

QString arrangementName(Arrangement arrangement) {
    return arrangement == Arrangement::CounterFlow ? QStringLiteral("counter flow")
                                                   : QStringLiteral("cross flow");
}

QLabel* makeWrappedLabel(const QString& text, QWidget* parent, bool bold) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    return label;
}

} // namespace

namespace {

WindowPart part(WindowPart::Kind kind, Column column, const char* caption) {
    WindowPart p;
    p.kind = kind;
    p.column = column;
    p.caption = caption;
    return p;
}

} // namespace

WindowPart frame(Column column, const char* caption, std::vector<ControlRow> rows) {
    WindowPart p = part(WindowPart::Kind::Frame, column, caption);
    p.rows = std::move(rows);
    return p;
}

WindowPart heading(Column column, const char* text) {
    return part(WindowPart::Kind::Heading, column, text);
}

WindowPart note(Column column, const char* text) {
    return part(WindowPart::Kind::Note, column, text);
}

WindowPart pairTable(Column column, const char* caption, std::array<const char*, 2> titles,
                     std::array<const char*, 2> suffixes, std::vector<PairRow> rows) {
    WindowPart p = part(WindowPart::Kind::PairTable, column, caption);
    p.titles = titles;
    p.suffixes = suffixes;
    p.pairs = std::move(rows);
    return p;
}

WindowPart captionedPairTable(Column column, const char* caption, std::array<const char*, 2> titles,
                              std::vector<PairRow> rows) {
    return pairTable(column, caption, titles, {}, std::move(rows));
}

WindowPart hidden(std::vector<int> ids) {
    WindowPart p = part(WindowPart::Kind::Hidden, Column::Beneath, nullptr);
    for (int id : ids)
        p.rows.push_back({id, nullptr});
    return p;
}

ProblemWindow::ProblemWindow(Workspace& workspace, Arrangement arrangement, int problem)
    : workspace_(workspace)
    , arrangement_(arrangement)
    , problem_(problem) {
    installEnterKey();
    setObjectName(engine::toQString(engine::problemKeys(arrangement, problem).window));
    plainTitle_ = QStringLiteral("Problem %1 - %2").arg(problem).arg(arrangementName(arrangement));
    setWindowTitle(plainTitle_);
    const std::size_t count = engine::Audit::controls(arrangement, problem).size();
    fields_.assign(count, nullptr);
    results_.assign(count, nullptr);
}

QString ProblemWindow::key(int id) const {
    return engine::toQString(engine::Audit::controls(arrangement_, problem_)[std::size_t(id)]);
}

QString ProblemWindow::qualified(const QString& name) const {
    return objectName() + QLatin1Char('.') + name;
}

QLineEdit* ProblemWindow::field(int id) const {
    return id >= 0 && std::size_t(id) < fields_.size() ? fields_[std::size_t(id)] : nullptr;
}

QLabel* ProblemWindow::result(int id) const {
    return id >= 0 && std::size_t(id) < results_.size() ? results_[std::size_t(id)] : nullptr;
}

void ProblemWindow::build(const WindowPlan& plan) {
    header_ = new QWidget(this);
    auto* layout = new QVBoxLayout(header_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto* titleLabel = new QLabel(fromPlan(plan.title), header_);
    titleLabel->setObjectName(QStringLiteral("Title"));
    titleLabel->setWordWrap(true);
    QFont bold = titleLabel->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.15);
    titleLabel->setFont(bold);
    auto* arrangementLabel = new QLabel(arrangementCaption(arrangement_), header_);
    arrangementLabel->setObjectName(QStringLiteral("Arrangement"));
    QFont semi = arrangementLabel->font();
    semi.setBold(true);
    arrangementLabel->setFont(semi);
    layout->addWidget(titleLabel);
    layout->addWidget(arrangementLabel);

    for (const WindowPart& part : plan.parts)
        if (QWidget* widget = makePart(part))
            columns_[std::size_t(part.column)].append(widget);

    const std::string_view busy = engine::problemKeys(arrangement_, problem_).busy;
    if (!busy.empty()) {
        busy_ =
            new QLabel(QStringLiteral("Please wait while calculation is in progress ..."), this);
        busy_->setObjectName(engine::toQString(busy));
        QFont boldBusy = busy_->font();
        boldBusy.setBold(true);
        busy_->setFont(boldBusy);
        busy_->setVisible(false);
    }
}

QWidget* ProblemWindow::makePart(const WindowPart& part) {
    switch (part.kind) {
    case WindowPart::Kind::Frame: {
        QGroupBox* box = makeFrame(fromPlan(part.caption));
        for (const ControlRow& row : part.rows) {
            if (row.id < engine::Audit::fieldCount(arrangement_, problem_))
                addField(box, row.id, fromPlan(row.caption));
            else
                addResult(box, row.id, fromPlan(row.caption));
        }
        return box;
    }
    case WindowPart::Kind::Heading:
        return makeWrappedLabel(fromPlan(part.caption), this, true);
    case WindowPart::Kind::Note:
        return makeWrappedLabel(fromPlan(part.caption), this, false);
    case WindowPart::Kind::PairTable:
        return makePairTable(part);
    case WindowPart::Kind::Hidden:
        for (const ControlRow& row : part.rows) {
            auto* label = new QLabel(this);
            label->setObjectName(key(row.id));
            label->setVisible(false);
            results_[std::size_t(row.id)] = label;
        }
        return nullptr;
    }
    return nullptr;
}

QGroupBox* ProblemWindow::makeFrame(const QString& caption) {
    auto* box = new QGroupBox(caption, this);
    auto* grid = new QGridLayout(box);
    grid->setColumnStretch(0, 1);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(3);
    return box;
}

QGroupBox* ProblemWindow::makePairTable(const WindowPart& part) {
    QGroupBox* table = makeFrame(fromPlan(part.caption));
    auto* grid = static_cast<QGridLayout*>(table->layout());
    // A table with captioned cells has the second label's caption between the two columns.
    const bool captioned = !part.suffixes[0];
    const int secondColumn = captioned ? 3 : 2;
    for (const auto& [title, column] :
         {std::pair{part.titles[0], 1}, std::pair{part.titles[1], secondColumn}}) {
        auto* label = new QLabel(fromPlan(title), table);
        label->setAlignment(Qt::AlignCenter);
        grid->addWidget(label, 0, column);
    }
    for (const PairRow& row : part.pairs) {
        const QString caption = fromPlan(row.caption);
        const int line = grid->rowCount();
        grid->addWidget(new QLabel(caption, table), line, 0);
        if (captioned) {
            const QString secondCaption = fromPlan(row.secondCaption);
            grid->addWidget(makeResult(row.first, caption), line, 1);
            grid->addWidget(new QLabel(secondCaption, table), line, 2);
            grid->addWidget(makeResult(row.second, secondCaption), line, 3);
        } else {
            grid->addWidget(makeResult(row.first, caption.trimmed() + fromPlan(part.suffixes[0])),
                            line, 1);
            grid->addWidget(makeResult(row.second, caption.trimmed() + fromPlan(part.suffixes[1])),
                            line, 2);
        }
    }
    return table;
}

QLineEdit* ProblemWindow::addField(QGroupBox* box, int id, const QString& caption) {
    const QString name = key(id);
    auto* edit = new QLineEdit(box);
    edit->setObjectName(name);
    edit->setAccessibleName(caption.trimmed());
    edit->setAccessibleDescription(qualified(name));
    edit->setAlignment(Qt::AlignRight);
    edit->setFixedWidth(90);
    auto* grid = static_cast<QGridLayout*>(box->layout());
    const int row = grid->rowCount();
    auto* captionLabel = new QLabel(caption, box);
    captionLabel->setBuddy(edit);
    grid->addWidget(captionLabel, row, 0);
    grid->addWidget(edit, row, 1);
    fields_[std::size_t(id)] = edit;
    fieldList_.append(edit);

    // The numeric entry field behaviour, from the field table.
    FieldContext context{workspace_.desktop(),
                         this,
                         [this](const QString& text) { workspace_.setStatus(text); },
                         nullptr,
                         nullptr,
                         caption.trimmed()};
    if (const FieldDef* def = findField(objectName().toStdString(), name.toStdString())) {
        if (!def->heatCapacityWindow.empty()) {
            // The heat capacity that a field is checked against is the one Problem 1 shows.
            const QString source = engine::toQString(def->heatCapacityWindow);
            const auto sourceProblem = engine::Audit::problemOf(def->heatCapacityWindow);
            const QString heat = sourceProblem ? engine::toQString(engine::Audit::controls(
                                                     sourceProblem->first, 1)[engine::cf1::heat])
                                               : QString();
            context.heatCapacityText = [this, source, heat] {
                return workspace_.controlText(source, heat).value_or(QString());
            };
        }
        attachField(edit, *def, std::move(context));
    }
    return edit;
}

QLabel* ProblemWindow::makeResult(int id, const QString& caption) {
    const QString name = key(id);
    auto* label = new QLabel(this);
    label->setObjectName(name);
    label->setAccessibleName(caption.trimmed());
    label->setAccessibleDescription(qualified(name));
    // The quantity and its unit, as the key table names them.
    const engine::ControlKey& what = engine::controlTable(arrangement_, problem_)[std::size_t(id)];
    QString quantity = engine::toQString(what.quantity);
    if (!quantity.isEmpty())
        quantity[0] = quantity[0].toUpper();
    label->setToolTip(QStringLiteral("%1 [%2]").arg(quantity, engine::toQString(what.unit)));
    label->setFrameShape(QFrame::StyledPanel);
    label->setFrameShadow(QFrame::Sunken);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setMinimumWidth(80);
    label->setAutoFillBackground(true);
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::AlternateBase));
    label->setPalette(pal);
    results_[std::size_t(id)] = label;
    return label;
}

QLabel* ProblemWindow::addResult(QGroupBox* box, int id, const QString& caption) {
    QLabel* label = makeResult(id, caption);
    label->setParent(box);
    auto* grid = static_cast<QGridLayout*>(box->layout());
    const int row = grid->rowCount();
    grid->addWidget(new QLabel(caption, box), row, 0);
    grid->addWidget(label, row, 1);
    return label;
}

QPushButton* ProblemWindow::makeButton(std::string_view name, const QString& caption) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(engine::toQString(name));
    button->setAccessibleDescription(qualified(engine::toQString(name)));
    return button;
}

void ProblemWindow::makeButtons() {
    const engine::ProblemKeys& keys = engine::problemKeys(arrangement_, problem_);
    const bool last = problem_ == engine::kProblems;
    struct Button {
        std::string_view key;
        QString caption;
        QPushButton** slot;
    };
    std::array<Button, 3> buttons{{
        {keys.calculate, QStringLiteral("CALCULATE"), &calculate_},
        {keys.back, QStringLiteral("BACK"), &back_},
        {keys.goOn,
         last ? QStringLiteral("GoTo MENU") : QStringLiteral("GoTo Problem %1").arg(problem_ + 1),
         &goOn_},
    }};
    // Created in the order of their keys, as the tab order has them.
    std::ranges::sort(buttons, {}, &Button::key);
    for (const Button& b : buttons)
        *b.slot = makeButton(b.key, b.caption);

    if (!last) {
        // The leading-on button: an edit of any field disables it, a calculation enables it.
        leadingOn_ = goOn_;
        goOn_->setEnabled(false);
        for (QLineEdit* edit : fieldList_)
            if (NumericField* numeric = NumericField::of(edit))
                numeric->setLeadingOn(goOn_);
    }
    connect(calculate_, &QPushButton::clicked, this, &ProblemWindow::calculate);
    connect(back_, &QPushButton::clicked, this, &ProblemWindow::goBack);
    connect(goOn_, &QPushButton::clicked, this, &ProblemWindow::goOn);

    for (qsizetype i = 1; i < fieldList_.size(); ++i)
        setTabOrder(fieldList_[i - 1], fieldList_[i]);
    if (!fieldList_.isEmpty())
        setTabOrder(fieldList_.last(), calculate_);
}

QHBoxLayout* ProblemWindow::makeButtonRow() {
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back_);
    buttons->addStretch(1);
    if (busy_) {
        buttons->addWidget(busy_);
        buttons->addStretch(1);
    }
    buttons->addWidget(calculate_);
    buttons->addWidget(goOn_);
    return buttons;
}

void ProblemWindow::layOut() {
    auto* columns = new QHBoxLayout;
    for (Column side : {Column::Left, Column::Right}) {
        auto* layout = new QVBoxLayout;
        for (QWidget* widget : column(side))
            layout->addWidget(widget);
        layout->addStretch(1);
        columns->addLayout(layout, 1);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(4);
    layout->addWidget(header_);
    layout->addLayout(columns);
    for (QWidget* widget : column(Column::Beneath))
        layout->addWidget(widget);
    layout->addStretch(1);
    layout->addLayout(makeButtonRow());
}

engine::Audit& ProblemWindow::audit() const {
    return workspace_.audit();
}

void ProblemWindow::pushTexts() {
    engine::Audit& engine = audit();
    const auto names = engine::Audit::controls(arrangement_, problem_);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (fields_[i])
            engine.setText(arrangement_, problem_, names[i], fields_[i]->text());
        else if (results_[i])
            engine.setText(arrangement_, problem_, names[i], results_[i]->text());
    }
    engine.setLeadingOn(arrangement_, problem_, leadingOn_ && leadingOn_->isEnabled());
}

void ProblemWindow::pullTexts() {
    const engine::Audit& engine = audit();
    const auto names = engine::Audit::controls(arrangement_, problem_);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const QString& text = engine.text(arrangement_, problem_, names[i]);
        if (fields_[i] && fields_[i]->text() != text)
            fields_[i]->setText(text);
        else if (results_[i] && results_[i]->text() != text)
            results_[i]->setText(text);
    }
    if (leadingOn_)
        leadingOn_->setEnabled(engine.leadingOn(arrangement_, problem_));
    const bool outOfDate = engine.currency(arrangement_, problem_).outOfDate();
    const QString title = outOfDate ? plainTitle_ + currencytext::titleSuffix() : plainTitle_;
    if (windowTitle() != title)
        setWindowTitle(title);
    if (currencyStatus_.isEmpty())
        return;
    if (workspace_.status() != currencyStatus_) { // another text has taken its place
        currencyStatus_.clear();
        return;
    }
    const QString now = arrangementCurrency_
                            ? currencytext::arrangementSentence(engine, arrangement_)
                            : currencytext::problemSentence(engine, arrangement_, problem_);
    if (now != currencySentence_)
        showCurrency(now, now, arrangementCurrency_);
}

void ProblemWindow::showCurrency(const QString& status, const QString& sentence, bool arrangement) {
    workspace_.setStatus(status);
    currencyStatus_ = sentence.isEmpty() ? QString() : status;
    currencySentence_ = sentence;
    arrangementCurrency_ = arrangement;
}

void ProblemWindow::showStep(const engine::Step& step) {
    for (const engine::Message& m : step.messages) {
        if (shownBusy_)
            shownBusy_->setVisible(false);
        workspace_.desktop().message(this, m.title, m.text, m.icon);
    }
    for (int i = 0; i < step.beeps; ++i)
        workspace_.desktop().beep();
    workspace_.pullTexts();
    if (!step.focus.empty()) {
        if (auto* edit = findChild<QLineEdit*>(engine::toQString(step.focus)))
            edit->setFocus();
    }
    if (step.status)
        workspace_.setStatus(*step.status);
}

void ProblemWindow::activate() {
    workspace_.pushTexts();
    showStep(audit().activate(arrangement_, problem_));
    // An out-of-date Problem says so in place of the activation's hint.
    const QString outOfDate = currencytext::problemSentence(audit(), arrangement_, problem_);
    if (!outOfDate.isEmpty())
        showCurrency(outOfDate, outOfDate, false);
}

void ProblemWindow::calculate() {
    workspace_.pushTexts();
    std::optional<Busy> busy;
    std::function<void()> beginBusy;
    if (busy_)
        beginBusy = [&] { busy.emplace(*this, busy_); };
    const engine::Step step = audit().calculate(arrangement_, problem_, beginBusy);
    showStep(step);
    if (!step.calculated)
        return;
    // The calculation may leave later Problems (or this one, built on an out-of-date one) out
    // of date: the status line names them after the calculation's own text.
    const QString outOfDate = currencytext::arrangementSentence(audit(), arrangement_);
    if (!outOfDate.isEmpty()) {
        const QString done = step.status.value_or(QString());
        showCurrency(done.isEmpty() ? outOfDate : done + QStringLiteral(" - ") + outOfDate,
                     outOfDate, true);
    }
}

void ProblemWindow::goBack() {
    if (problem_ == 1)
        workspace_.showStart();
    else
        workspace_.showProblem(arrangement_, problem_ - 1);
}

void ProblemWindow::goOn() {
    if (problem_ == engine::kProblems) {
        workspace_.showStart();
        return;
    }
    workspace_.pushTexts();
    audit().goOn(arrangement_, problem_);
    workspace_.pullTexts();
    workspace_.showProblem(arrangement_, problem_ + 1);
}

ProblemWindow::Busy::Busy(ProblemWindow& window, QLabel* label)
    : window_(window)
    , label_(label) {
    window_.workspace().desktop().setWaitCursor(&window_, true);
    if (label_) {
        label_->setVisible(true);
        label_->repaint();
        window_.shownBusy_ = label_;
    }
    window_.repaint();
}

ProblemWindow::Busy::~Busy() {
    if (label_)
        label_->setVisible(false);
    window_.shownBusy_ = nullptr;
    window_.workspace().desktop().setWaitCursor(&window_, false);
}
