#include "common/problemwindow.h"

#include "common/desktop.h"
#include "common/numtext.h"
#include "fields/fieldtable.h"
#include "fields/numericfield.h"
#include "psychro/form11.h"
#include "shell/windows.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ProblemWindow::ProblemWindow(Windows& windows, const char* name, const QString& title)
    : windows_(windows) {
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
    FieldContext context{windows_.desktop(),
                         this,
                         [this](const QString& text) { windows_.setStatus(text); },
                         nullptr,
                         nullptr,
                         caption.trimmed()};
    if (const FieldDef* def = findField(window.toStdString(), name)) {
        if (!def->heatCapacityWindow.empty()) {
            const QString source = QString::fromUtf8(def->heatCapacityWindow.data(),
                                                     qsizetype(def->heatCapacityWindow.size()));
            context.heatCapacityText = [this, source] {
                return windows_.controlText(source, QStringLiteral("lbl10")).value_or(QString());
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

bool ProblemWindow::allFieldsFilled(const QString& title, MessageIcon icon) {
    for (const QLineEdit* field : fields_) {
        if (field->text().isEmpty()) {
            message(title, QStringLiteral("All fields require data"), icon);
            return false;
        }
    }
    return true;
}

bool ProblemWindow::allFieldsFilled() {
    return allFieldsFilled(QStringLiteral("Missing Data"), MessageIcon::Warning);
}

bool ProblemWindow::readNumbers(std::span<const QString> texts, std::span<double> values,
                                const QString& refusal) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const std::optional<double> value = number(texts[i]);
        if (!value) {
            refuse(refusal);
            return false;
        }
        values[i] = *value;
    }
    return true;
}

bool ProblemWindow::readFieldNumbers(std::span<QLineEdit* const> fields, std::span<double> values) {
    QStringList texts;
    for (const QLineEdit* field : fields)
        texts.append(field->text());
    return readNumbers(std::span<const QString>(texts.constData(), std::size_t(texts.size())),
                       values, QStringLiteral("Invalid entries, please enter numbers only"));
}

void ProblemWindow::rejectEntries(const QString& title, const QString& text, MessageIcon icon,
                                  std::initializer_list<QLineEdit*> cleared, QLineEdit* focus) {
    message(title, text, icon);
    for (QLineEdit* field : cleared)
        field->clear();
    focus->setFocus();
}

bool ProblemWindow::checkWaterTemperatures(double waterIn, double waterOut, const QString& title,
                                           MessageIcon icon,
                                           std::initializer_list<QLineEdit*> cleared,
                                           QLineEdit* focus) {
    if (!(waterOut > waterIn))
        return true;
    rejectEntries(
        title, QStringLiteral("Outlet water temperature must be less then inlet water temperature"),
        icon, cleared, focus);
    return false;
}

bool ProblemWindow::checkAirTemperatures(double wetBulb, double dryBulb,
                                         std::initializer_list<QLineEdit*> cleared,
                                         QLineEdit* focus) {
    if (!(wetBulb > dryBulb))
        return true;
    rejectEntries(
        QStringLiteral("Error"),
        QStringLiteral("Ambient wet bulb temperature must be less then dry bulb temperature"),
        MessageIcon::Error, cleared, focus);
    return false;
}

void ProblemWindow::message(const QString& title, const QString& text, MessageIcon icon) {
    if (shownBusy_)
        shownBusy_->setVisible(false);
    windows_.desktop().message(this, title, text, icon);
}

void ProblemWindow::refuse(const QString& reason) {
    message(QStringLiteral("Error"), reason, MessageIcon::Error);
}

void ProblemWindow::goTo(QWidget* window) {
    windows_.showChild(window);
}

void ProblemWindow::setStatus(const QString& text) {
    windows_.setStatus(text);
}

std::optional<ProblemWindow::ShownAir> ProblemWindow::airState(int mode, double p, double t,
                                                               double second, const QString& what) {
    Form11* air = windows_.form11();
    air->setInputs(p, t, second);
    switch (air->Moistair(mode)) {
    case Form11::Status::Ok:
        return ShownAir{*number(air->Text9->text()), *number(air->Text11->text()),
                        *number(air->Text13->text()), *number(air->Text15->text())};
    case Form11::Status::NotANumber:
        refuse(QStringLiteral("The %1 cannot be calculated: one of its values is not a number.")
                   .arg(what));
        break;
    case Form11::Status::ImpossibleState:
        refuse(QStringLiteral("No such %1 exists: its humidity would be negative or unbounded. "
                              "Check the temperatures, the humidity and the pressure.")
                   .arg(what));
        break;
    case Form11::Status::NoConvergence:
        refuse(QStringLiteral("The wet bulb temperature of the %1 could not be found.").arg(what));
        break;
    }
    return std::nullopt;
}

std::optional<double> ProblemWindow::number(const QString& text) {
    return numtext::readNumber(text);
}

ProblemWindow::Busy::Busy(ProblemWindow& window, QLabel* label)
    : window_(window)
    , label_(label) {
    window_.windows().desktop().setWaitCursor(&window_, true);
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
    window_.windows().desktop().setWaitCursor(&window_, false);
}
