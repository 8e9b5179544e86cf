#pragma once
// Form11: the moist-air calculator. Never shown; a view of the engine's moist-air texts
// (engine/moistair.h): its text fields carry the state routine's inputs and outputs, and keep
// their last texts between calls. Callers write pressure, dry bulb and a second property into
// Text2, Text3 and Text4, call Moistair(mode), and read the rounded results back from Text9,
// Text11, Text13 and Text15: the rounding is part of every result downstream.

#include "engine/moistair.h"

#include <QWidget>
#include <array>
#include <memory>

class QLineEdit;

class Form11 : public QWidget {
    Q_OBJECT
public:
    // texts: the moist-air texts it shows (the audit's); its own when null.
    explicit Form11(QWidget* parent = nullptr, engine::MoistAir* texts = nullptr);
    ~Form11() override;

    using Status = engine::MoistAir::Status;

    // mode 3: Text4 is the relative humidity (%); 2: the enthalpy (kJ/kg); 1: the wet bulb
    // (degC). On failure the result fields keep their texts.
    Status Moistair(int mode);

    // Writes the three inputs as general number texts (the way a number is put into a text
    // field without a pattern).
    void setInputs(double p, double t, double second);

    // Hands the fields' texts to the engine's moist-air texts, and shows those.
    void pushTexts();
    void pullTexts();

    QLineEdit* Text2;  // total pressure, bar
    QLineEdit* Text3;  // dry-bulb temperature, degC
    QLineEdit* Text4;  // second input, by mode
    QLineEdit* Text9;  // wet-bulb temperature, degC, "###0.00"
    QLineEdit* Text11; // absolute humidity, kg/kg, "##0.00000"
    QLineEdit* Text13; // enthalpy, kJ/kg dry air, "####0.0000"
    QLineEdit* Text15; // relative humidity, %, "##0.0"

private:
    std::unique_ptr<engine::MoistAir> own_;
    engine::MoistAir* texts_;
    std::array<QLineEdit*, engine::MoistAir::kCount> fields_{};
};
