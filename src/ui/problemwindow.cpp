#include "ui/problemwindow.h"

#include "engine/fieldtable.h"
#include "ui/desktop.h"
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
#include <functional>
#include <optional>

ProblemWindow::ProblemWindow(Workspace& workspace, const char* name, const QString& title)
    : workspace_(workspace) {
    if (const auto problem = engine::Audit::problemOf(name)) {
        arrangement_ = problem->first;
        problem_ = problem->second;
    }
    setObjectName(QString::fromLatin1(name));
    setWindowTitle(title);
}

QString ProblemWindow::qualified(const char* name) const {
    return objectName() + QLatin1Char('.') + QString::fromLatin1(name);
}

QWidget* ProblemWindow::makeHeader(const QString& title, const QString& arrangement) {
    auto* header = new QWidget(this);
    auto* layout = new QVBoxLayout(header);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto* titleLabel = new QLabel(title, header);
    titleLabel->setObjectName(QStringLiteral("Title"));
    titleLabel->setWordWrap(true);
    QFont bold = titleLabel->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.15);
    titleLabel->setFont(bold);
    auto* arrangementLabel = new QLabel(arrangement, header);
    arrangementLabel->setObjectName(QStringLiteral("Arrangement"));
    QFont semi = arrangementLabel->font();
    semi.setBold(true);
    arrangementLabel->setFont(semi);
    layout->addWidget(titleLabel);
    layout->addWidget(arrangementLabel);
    return header;
}

QGroupBox* ProblemWindow::makeFrame(const QString& caption) {
    auto* frame = new QGroupBox(caption, this);
    auto* grid = new QGridLayout(frame);
    grid->setColumnStretch(0, 1);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(3);
    return frame;
}

QLabel* ProblemWindow::makeCaption(const QString& text) {
    auto* caption = new QLabel(text, this);
    caption->setWordWrap(false);
    return caption;
}

QGroupBox* ProblemWindow::makeTable(const QString& caption, const QStringList& columnTitles) {
    QGroupBox* frame = makeFrame(caption);
    auto* grid = static_cast<QGridLayout*>(frame->layout());
    for (int col = 0; col < columnTitles.size(); ++col) {
        if (columnTitles[col].isEmpty())
            continue;
        auto* title = new QLabel(columnTitles[col], frame);
        title->setAlignment(Qt::AlignCenter);
        grid->addWidget(title, 0, col + 1);
    }
    return frame;
}

void ProblemWindow::addTableRow(QGroupBox* table, const QString& caption,
                                const QList<QWidget*>& cells) {
    auto* grid = static_cast<QGridLayout*>(table->layout());
    const int row = grid->rowCount();
    grid->addWidget(new QLabel(caption, table), row, 0);
    for (int col = 0; col < cells.size(); ++col) {
        cells[col]->setParent(table);
        grid->addWidget(cells[col], row, col + 1);
    }
}

QLineEdit* ProblemWindow::addField(QGroupBox* frame, const char* name, const QString& caption) {
    auto* edit = new QLineEdit(frame);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setAccessibleName(caption.trimmed());
    edit->setAccessibleDescription(qualified(name));
    edit->setAlignment(Qt::AlignRight);
    edit->setFixedWidth(90);
    auto* grid = static_cast<QGridLayout*>(frame->layout());
    const int row = grid->rowCount();
    auto* captionLabel = new QLabel(caption, frame);
    captionLabel->setBuddy(edit);
    grid->addWidget(captionLabel, row, 0);
    grid->addWidget(edit, row, 1);
    fields_.append(edit);

    // The numeric entry field behaviour, from the field table.
    const QString window = objectName();
    FieldContext context{workspace_.desktop(),
                         this,
                         [this](const QString& text) { workspace_.setStatus(text); },
                         nullptr,
                         nullptr,
                         caption.trimmed()};
    if (const FieldDef* def = findField(window.toStdString(), name)) {
        if (!def->heatCapacityWindow.empty()) {
            const QString source = QString::fromUtf8(def->heatCapacityWindow.data(),
                                                     qsizetype(def->heatCapacityWindow.size()));
            context.heatCapacityText = [this, source] {
                return workspace_.controlText(source, QStringLiteral("lbl10")).value_or(QString());
            };
        }
        attachField(edit, *def, std::move(context));
    }
    return edit;
}

QLabel* ProblemWindow::makeResult(const char* name, const QString& caption) {
    auto* label = new QLabel(this);
    label->setObjectName(QString::fromLatin1(name));
    label->setAccessibleName(caption.trimmed());
    label->setAccessibleDescription(qualified(name));
    label->setFrameShape(QFrame::StyledPanel);
    label->setFrameShadow(QFrame::Sunken);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setMinimumWidth(80);
    label->setAutoFillBackground(true);
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::AlternateBase));
    label->setPalette(pal);
    return label;
}

QLabel* ProblemWindow::addResult(QGroupBox* frame, const char* name, const QString& caption) {
    QLabel* label = makeResult(name, caption);
    label->setParent(frame);
    auto* grid = static_cast<QGridLayout*>(frame->layout());
    const int row = grid->rowCount();
    grid->addWidget(new QLabel(caption, frame), row, 0);
    grid->addWidget(label, row, 1);
    return label;
}

QPushButton* ProblemWindow::makeButton(const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(QString::fromLatin1(name));
    button->setAccessibleDescription(qualified(name));
    // The button that an edit of any field disables ("GoTo Problem N").
    if (leadingOnButtonOf(objectName().toStdString()) == name) {
        for (QLineEdit* field : fields_)
            if (NumericField* numeric = NumericField::of(field))
                numeric->setLeadingOn(button);
    }
    return button;
}

QLabel* ProblemWindow::makeBusyLabel(const char* name) {
    auto* label =
        new QLabel(QStringLiteral("Please wait while calculation is in progress ..."), this);
    label->setObjectName(QString::fromLatin1(name));
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setVisible(false);
    return label;
}

QHBoxLayout* ProblemWindow::makeColumns(std::initializer_list<QWidget*> left,
                                        std::initializer_list<QWidget*> right) {
    auto* leftColumn = new QVBoxLayout;
    for (QWidget* widget : left)
        leftColumn->addWidget(widget);
    leftColumn->addStretch(1);
    auto* rightColumn = new QVBoxLayout;
    for (QWidget* widget : right)
        rightColumn->addWidget(widget);
    rightColumn->addStretch(1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(leftColumn, 1);
    columns->addLayout(rightColumn, 1);
    return columns;
}

QHBoxLayout* ProblemWindow::makeButtonRow(QPushButton* left, QLabel* busy, QPushButton* calculate,
                                          QPushButton* right) {
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(left);
    buttons->addStretch(1);
    if (busy) {
        buttons->addWidget(busy);
        buttons->addStretch(1);
    }
    buttons->addWidget(calculate);
    buttons->addWidget(right);
    return buttons;
}

QGroupBox* ProblemWindow::makeAirTable(const QString& caption, const QStringList& columnTitles,
                                       const QString& firstSuffix, const QString& secondSuffix,
                                       std::initializer_list<AirRow> rows) {
    QGroupBox* table = makeTable(caption, columnTitles);
    for (const AirRow& row : rows) {
        const QString rowCaption = QString::fromLatin1(row.caption);
        row.first = makeResult(row.firstName, rowCaption.trimmed() + firstSuffix);
        row.second = makeResult(row.secondName, rowCaption.trimmed() + secondSuffix);
        addTableRow(table, rowCaption, {row.first, row.second});
    }
    return table;
}

QGroupBox* ProblemWindow::makeInOutTable(const QString& caption, const QStringList& columnTitles,
                                         std::initializer_list<InOutRow> rows) {
    QGroupBox* table = makeTable(caption, columnTitles);
    for (const InOutRow& row : rows) {
        const QString inCaption = QString::fromLatin1(row.inCaption);
        const QString outCaption = QString::fromLatin1(row.outCaption);
        row.in = makeResult(row.inName, inCaption);
        row.out = makeResult(row.outName, outCaption);
        addTableRow(table, inCaption, {row.in, makeCaption(outCaption), row.out});
    }
    return table;
}

engine::Audit& ProblemWindow::audit() const {
    return workspace_.audit();
}

void ProblemWindow::goTo(int problem) {
    workspace_.showProblem(arrangement_, problem);
}

void ProblemWindow::goToStart() {
    workspace_.showStart();
}

void ProblemWindow::bind() {
    if (bound_)
        return;
    bound_ = true;
    const auto names = engine::Audit::controls(arrangement_, problem_);
    boundFields_.assign(names.size(), nullptr);
    boundLabels_.assign(names.size(), nullptr);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const QString name = QString::fromLatin1(names[i].data(), qsizetype(names[i].size()));
        if (auto* edit = findChild<QLineEdit*>(name))
            boundFields_[i] = edit;
        else
            boundLabels_[i] = findChild<QLabel*>(name);
    }
    const std::string_view button = leadingOnButtonOf(objectName().toStdString());
    if (!button.empty())
        leadingOn_ = findChild<QAbstractButton*>(
            QString::fromLatin1(button.data(), qsizetype(button.size())));
}

void ProblemWindow::pushTexts() {
    bind();
    engine::Audit& engine = audit();
    const auto names = engine::Audit::controls(arrangement_, problem_);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (boundFields_[i])
            engine.setText(arrangement_, problem_, names[i], boundFields_[i]->text());
        else if (boundLabels_[i])
            engine.setText(arrangement_, problem_, names[i], boundLabels_[i]->text());
    }
    engine.setLeadingOn(arrangement_, problem_, leadingOn_ && leadingOn_->isEnabled());
}

void ProblemWindow::pullTexts() {
    bind();
    const engine::Audit& engine = audit();
    const auto names = engine::Audit::controls(arrangement_, problem_);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const QString& text = engine.text(arrangement_, problem_, names[i]);
        if (boundFields_[i] && boundFields_[i]->text() != text)
            boundFields_[i]->setText(text);
        else if (boundLabels_[i] && boundLabels_[i]->text() != text)
            boundLabels_[i]->setText(text);
    }
    if (leadingOn_)
        leadingOn_->setEnabled(engine.leadingOn(arrangement_, problem_));
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
        const QString name = QString::fromLatin1(step.focus.data(), qsizetype(step.focus.size()));
        if (auto* field = findChild<QLineEdit*>(name))
            field->setFocus();
    }
    if (step.status)
        workspace_.setStatus(*step.status);
}

void ProblemWindow::Form_Activate() {
    workspace_.pushTexts();
    showStep(audit().activate(arrangement_, problem_));
}

void ProblemWindow::calculate(QLabel* busyLabel) {
    workspace_.pushTexts();
    std::optional<Busy> busy;
    std::function<void()> beginBusy;
    if (busyLabel)
        beginBusy = [&] { busy.emplace(*this, busyLabel); };
    const engine::Step step = audit().calculate(arrangement_, problem_, beginBusy);
    showStep(step);
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
