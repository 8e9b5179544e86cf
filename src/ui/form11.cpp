#include "ui/form11.h"

#include <QFormLayout>
#include <QLineEdit>

namespace {

QLineEdit* makeField(QWidget* parent, QFormLayout* layout, const char* name,
                     const QString& caption) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setAccessibleName(caption);
    edit->setAccessibleDescription(QStringLiteral("Form11.") + QString::fromLatin1(name));
    layout->addRow(caption, edit);
    return edit;
}

} // namespace

Form11::Form11(QWidget* parent, engine::MoistAir* texts)
    : QWidget(parent)
    , own_(texts ? nullptr : std::make_unique<engine::MoistAir>())
    , texts_(texts ? texts : own_.get()) {
    setObjectName(QStringLiteral("Form11"));
    setWindowTitle(QStringLiteral("Moist air"));
    auto* layout = new QFormLayout(this);
    Text2 = makeField(this, layout, "Text2", QStringLiteral("Pressure, [bar]"));
    Text3 = makeField(this, layout, "Text3", QStringLiteral("Dry bulb temperature, [oC]"));
    Text4 = makeField(this, layout, "Text4", QStringLiteral("Second property"));
    Text9 = makeField(this, layout, "Text9", QStringLiteral("Wet bulb temperature, [oC]"));
    Text11 = makeField(this, layout, "Text11", QStringLiteral("Absolute humidity, [-]"));
    Text13 = makeField(this, layout, "Text13", QStringLiteral("Enthalpy, [kJ/kg]"));
    Text15 = makeField(this, layout, "Text15", QStringLiteral("Relative humidity, [%]"));
    using M = engine::MoistAir;
    fields_[M::Text2] = Text2;
    fields_[M::Text3] = Text3;
    fields_[M::Text4] = Text4;
    fields_[M::Text9] = Text9;
    fields_[M::Text11] = Text11;
    fields_[M::Text13] = Text13;
    fields_[M::Text15] = Text15;
    pullTexts();
}

Form11::~Form11() = default;

void Form11::pushTexts() {
    for (std::size_t i = 0; i < fields_.size(); ++i)
        texts_->texts[i] = fields_[i]->text();
}

void Form11::pullTexts() {
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (fields_[i]->text() != texts_->texts[i])
            fields_[i]->setText(texts_->texts[i]);
}

void Form11::setInputs(double p, double t, double second) {
    texts_->setInputs(p, t, second, numtext::Converter());
    pullTexts();
}

Form11::Status Form11::Moistair(int mode) {
    pushTexts();
    const Status status = texts_->moistair(mode, numtext::Converter());
    pullTexts();
    return status;
}
