#include "common/problemwindow.h"

#include "common/desktop.h"
#include "common/numtext.h"
#include "fields/fieldtable.h"
#include "fields/numericfield.h"
#include "psychro/form11.h"
#include "shell/windows.h"

#include <QGridLayout>
#include <QGroupBox>
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

bool ProblemWindow::anyFieldEmpty() const {
    for (const QLineEdit* field : fields_)
        if (field->text().isEmpty())
            return true;
    return false;
}

void ProblemWindow::message(const QString& title, const QString& text, MessageIcon icon) {
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

bool ProblemWindow::computeAir(int mode, double p, double t, double second, const QString& what) {
    Form11* air = windows_.form11();
    air->setInputs(p, t, second);
    switch (air->Moistair(mode)) {
    case Form11::Status::Ok:
        return true;
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
    return false;
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
    }
    window_.repaint();
}

ProblemWindow::Busy::~Busy() {
    if (label_)
        label_->setVisible(false);
    window_.windows().desktop().setWaitCursor(&window_, false);
}
