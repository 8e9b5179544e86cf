#include "ui/moistairwindow.h"

#include "engine/keys.h"
#include "engine/message.h"

#include <QFormLayout>
#include <QLineEdit>

MoistAirWindow::MoistAirWindow(QWidget* parent, engine::MoistAir* texts)
    : QWidget(parent)
    , own_(texts ? nullptr : std::make_unique<engine::MoistAir>())
    , texts_(texts ? texts : own_.get()) {
    setObjectName(engine::toQString(engine::kMoistAirWindowKey));
    setWindowTitle(QStringLiteral("Moist air"));
    auto* layout = new QFormLayout(this);
    namespace M = engine::moistair;
    const std::pair<M::Control, QString> rows[] = {
        {M::pressure, QStringLiteral("Pressure, [bar]")},
        {M::dryBulb, QStringLiteral("Dry bulb temperature, [oC]")},
        {M::second, QStringLiteral("Second property")},
        {M::wetBulb, QStringLiteral("Wet bulb temperature, [oC]")},
        {M::humidity, QStringLiteral("Absolute humidity, [-]")},
        {M::enthalpy, QStringLiteral("Enthalpy, [kJ/kg]")},
        {M::relativeHumidity, QStringLiteral("Relative humidity, [%]")},
    };
    for (const auto& [control, caption] : rows) {
        const QString name = engine::toQString(M::kNames[std::size_t(control)]);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setAccessibleName(caption);
        edit->setAccessibleDescription(objectName() + QLatin1Char('.') + name);
        layout->addRow(caption, edit);
        fields_[std::size_t(control)] = edit;
    }
    pullTexts();
}

MoistAirWindow::~MoistAirWindow() = default;

void MoistAirWindow::pushTexts() {
    for (std::size_t i = 0; i < fields_.size(); ++i)
        texts_->texts[i] = fields_[i]->text();
}

void MoistAirWindow::pullTexts() {
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (fields_[i]->text() != texts_->texts[i])
            fields_[i]->setText(texts_->texts[i]);
}

void MoistAirWindow::setInputs(double p, double t, double second) {
    texts_->setInputs(p, t, second, numtext::Converter());
    pullTexts();
}

MoistAirWindow::Status MoistAirWindow::calculate(int mode) {
    pushTexts();
    const Status status = texts_->moistair(mode, numtext::Converter());
    pullTexts();
    return status;
}
