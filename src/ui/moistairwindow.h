#pragma once
// MoistAirWindow: the moist-air calculator. Never shown; a view of the engine's moist-air
// texts (engine/moistair.h): its text fields carry the state routine's inputs and outputs,
// and keep their last texts between calls. Callers write pressure, dry bulb and a second
// property into the input fields, call calculate(mode), and read the rounded results back
// from the result fields: the rounding is part of every result downstream.

#include "engine/moistair.h"

#include <QWidget>
#include <array>
#include <memory>

class QLineEdit;

class MoistAirWindow : public QWidget {
    Q_OBJECT
public:
    using Control = engine::MoistAir::Control;
    using Status = engine::MoistAir::Status;

    // texts: the moist-air texts it shows (the audit's); its own when null.
    explicit MoistAirWindow(QWidget* parent = nullptr, engine::MoistAir* texts = nullptr);
    ~MoistAirWindow() override;

    // mode 3: the second input is the relative humidity (%); 2: the enthalpy (kJ/kg); 1: the
    // wet bulb (degC). On failure the result fields keep their texts.
    Status calculate(int mode);

    // Writes the three inputs as general number texts (the way a number is put into a text
    // field without a pattern).
    void setInputs(double p, double t, double second);

    // Hands the fields' texts to the engine's moist-air texts, and shows those.
    void pushTexts();
    void pullTexts();

    // The field of a control, by its identifier (engine::moistair::pressure ...).
    QLineEdit* field(Control control) const { return fields_[std::size_t(control)]; }

private:
    std::unique_ptr<engine::MoistAir> own_;
    engine::MoistAir* texts_;
    std::array<QLineEdit*, engine::MoistAir::kCount> fields_{};
};
