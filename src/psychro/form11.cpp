#include "psychro/form11.h"

#include "common/numtext.h"

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

Form11::Form11(QWidget* parent)
    : QWidget(parent) {
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
}

void Form11::setInputs(double p, double t, double second) {
    Text2->setText(numtext::generalText(p));
    Text3->setText(numtext::generalText(t));
    Text4->setText(numtext::generalText(second));
}

Form11::Status Form11::Moistair(int mode) {
    const auto p = numtext::readNumber(Text2->text());
    const auto t = numtext::readNumber(Text3->text());
    const auto second = numtext::readNumber(Text4->text());
    if (!p || !t || !second || mode < 1 || mode > 3)
        return Status::NotANumber;

    const psychro::AirResult r =
        psychro::moistAirState(static_cast<psychro::Given>(mode), *p, *t, *second);
    switch (r.status) {
    case psychro::AirStatus::Ok:
        break;
    case psychro::AirStatus::ImpossibleState:
        return Status::ImpossibleState;
    case psychro::AirStatus::NoConvergence:
        return Status::NoConvergence;
    }
    Text9->setText(numtext::format(r.state.wetBulb, "###0.00"));
    Text11->setText(numtext::format(r.state.absoluteHumidity, "##0.00000"));
    Text13->setText(numtext::format(r.state.enthalpy, "####0.0000"));
    Text15->setText(numtext::format(r.state.relativeHumidity, "##0.0"));
    return Status::Ok;
}
