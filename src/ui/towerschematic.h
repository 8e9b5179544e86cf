#pragma once
// The schematic picture of a tower on the Problem 1 windows, drawn as a vector drawing so it
// stays sharp at any scale: casing, fan, eliminator, sprinkler pipe, fill, collecting basin,
// and the air and water streams with their labels.

#include "core/arrangement.h"

#include <QStringList>
#include <QWidget>

class TowerSchematic : public QWidget {
    Q_OBJECT
public:
    explicit TowerSchematic(Arrangement arrangement, QWidget* parent = nullptr);

    // The nine labels of the picture.
    static QStringList labels();

    QSize sizeHint() const override { return {330, 170}; }
    QSize minimumSizeHint() const override { return {260, 130}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Arrangement arrangement_;
};
