#include "common/towerschematic.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace {

const QColor kCasing(70, 80, 95);
const QColor kFill(200, 215, 230);
const QColor kWater(30, 110, 200);
const QColor kAir(200, 90, 40);
const QColor kText(30, 30, 30);

void arrow(QPainter& p, QPointF from, QPointF to, const QColor& colour) {
    p.setPen(QPen(colour, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    const double angle = std::atan2(to.y() - from.y(), to.x() - from.x());
    const double head = 7;
    QPolygonF tip;
    tip << to << to - QPointF(head * std::cos(angle - 0.45), head * std::sin(angle - 0.45))
        << to - QPointF(head * std::cos(angle + 0.45), head * std::sin(angle + 0.45));
    p.setBrush(colour);
    p.setPen(Qt::NoPen);
    p.drawPolygon(tip);
    p.setBrush(Qt::NoBrush);
}

void label(QPainter& p, QPointF at, const QString& text, Qt::Alignment align = Qt::AlignLeft) {
    p.setPen(kText);
    const QRectF box(at.x() - (align & Qt::AlignRight     ? 120
                               : align & Qt::AlignHCenter ? 60
                                                          : 0),
                     at.y() - 8, 120, 16);
    p.drawText(box, int(align | Qt::AlignVCenter), text);
}

void hatch(QPainter& p, const QRectF& r, bool horizontal) {
    p.fillRect(r, kFill);
    p.setPen(QPen(kFill.darker(130), 1));
    if (horizontal) {
        for (double y = r.top() + 4; y < r.bottom(); y += 6)
            p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
    } else {
        for (double x = r.left() + 4; x < r.right(); x += 6)
            p.drawLine(QPointF(x, r.top()), QPointF(x, r.bottom()));
    }
    p.setPen(QPen(kCasing, 1));
    p.drawRect(r);
}

void fan(QPainter& p, QPointF hub, double span) {
    p.setPen(QPen(kCasing, 2));
    p.drawLine(hub - QPointF(span / 2, 0), hub + QPointF(span / 2, 0));
    p.setBrush(kCasing);
    p.drawEllipse(hub, 3.5, 3.5);
    p.setBrush(Qt::NoBrush);
}

} // namespace

TowerSchematic::TowerSchematic(Arrangement arrangement, QWidget* parent)
    : QWidget(parent)
    , arrangement_(arrangement) {
    setObjectName(QStringLiteral("Picture"));
    setAccessibleName(arrangement == Arrangement::CounterFlow
                          ? QStringLiteral("Counter-flow cooling tower")
                          : QStringLiteral("Cross-flow cooling tower"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

QStringList TowerSchematic::labels() {
    return {QStringLiteral("Collecting basin"),
            QStringLiteral("Air in"),
            QStringLiteral("Air out"),
            QStringLiteral("Water in"),
            QStringLiteral("Water out"),
            QStringLiteral("Plastic filling"),
            QStringLiteral("Eliminator"),
            QStringLiteral("Sprinkler pipe"),
            QStringLiteral("Fan")};
}

void TowerSchematic::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    // Draw on a 260 x 250 canvas scaled to the widget, keeping the aspect ratio.
    const double scale = std::min(width() / 260.0, height() / 250.0);
    p.translate((width() - 260 * scale) / 2, (height() - 250 * scale) / 2);
    p.scale(scale, scale);
    QFont f = font();
    f.setPointSizeF(7.5);
    p.setFont(f);

    if (arrangement_ == Arrangement::CounterFlow) {
        // Casing with fan stack.
        const QRectF body(70, 55, 120, 150);
        p.setPen(QPen(kCasing, 2));
        p.drawRect(body);
        p.drawLine(QPointF(105, 55), QPointF(110, 35));
        p.drawLine(QPointF(155, 55), QPointF(150, 35));
        fan(p, {130, 45}, 36);
        label(p, {160, 40}, QStringLiteral("Fan"));
        arrow(p, {130, 30}, {130, 8}, kAir);
        label(p, {138, 12}, QStringLiteral("Air out"));
        // Eliminator and sprinkler pipe.
        hatch(p, QRectF(72, 62, 116, 10), false);
        label(p, {195, 67}, QStringLiteral("Eliminator"));
        p.setPen(QPen(kWater, 3));
        p.drawLine(QPointF(40, 84), QPointF(186, 84));
        for (double x = 80; x < 186; x += 14)
            p.drawLine(QPointF(x, 84), QPointF(x, 89));
        label(p, {195, 84}, QStringLiteral("Sprinkler pipe"));
        arrow(p, {8, 84}, {40, 84}, kWater);
        label(p, {4, 74}, QStringLiteral("Water in"));
        // Fill.
        hatch(p, QRectF(72, 96, 116, 60), true);
        label(p, {195, 126}, QStringLiteral("Plastic filling"));
        // Air in at both sides below the fill.
        arrow(p, {30, 172}, {68, 172}, kAir);
        arrow(p, {230, 172}, {192, 172}, kAir);
        label(p, {4, 162}, QStringLiteral("Air in"));
        // Basin and water out.
        p.setPen(QPen(kCasing, 2));
        p.setBrush(kWater.lighter(170));
        p.drawRect(QRectF(62, 190, 136, 22));
        p.setBrush(Qt::NoBrush);
        label(p, {130, 226}, QStringLiteral("Collecting basin"), Qt::AlignHCenter);
        arrow(p, {198, 204}, {240, 204}, kWater);
        label(p, {205, 216}, QStringLiteral("Water out"));
    } else {
        // Casing: a central plenum between two fill packs, the fan above the plenum.
        p.setPen(QPen(kCasing, 2));
        p.drawRect(QRectF(40, 60, 180, 130));
        p.drawLine(QPointF(105, 60), QPointF(110, 38));
        p.drawLine(QPointF(155, 60), QPointF(150, 38));
        fan(p, {130, 48}, 36);
        label(p, {160, 44}, QStringLiteral("Fan"));
        arrow(p, {130, 33}, {130, 8}, kAir);
        label(p, {138, 12}, QStringLiteral("Air out"));
        // Sprinkler pipes (hot-water distribution) over each fill pack.
        p.setPen(QPen(kWater, 3));
        p.drawLine(QPointF(44, 72), QPointF(96, 72));
        p.drawLine(QPointF(164, 72), QPointF(216, 72));
        label(p, {4, 52}, QStringLiteral("Sprinkler pipe"));
        arrow(p, {10, 72}, {42, 72}, kWater);
        label(p, {4, 84}, QStringLiteral("Water in"));
        // Fill packs with the eliminators on their inner faces.
        hatch(p, QRectF(44, 80, 52, 90), false);
        hatch(p, QRectF(164, 80, 52, 90), false);
        hatch(p, QRectF(98, 80, 8, 90), true);
        hatch(p, QRectF(154, 80, 8, 90), true);
        label(p, {130, 100}, QStringLiteral("Eliminator"), Qt::AlignHCenter);
        label(p, {130, 150}, QStringLiteral("Plastic filling"), Qt::AlignHCenter);
        // Air enters through the louvred sides, across the falling water.
        arrow(p, {4, 130}, {40, 130}, kAir);
        arrow(p, {256, 130}, {220, 130}, kAir);
        label(p, {4, 118}, QStringLiteral("Air in"));
        // Basin and water out.
        p.setPen(QPen(kCasing, 2));
        p.setBrush(kWater.lighter(170));
        p.drawRect(QRectF(40, 192, 180, 20));
        p.setBrush(Qt::NoBrush);
        label(p, {130, 226}, QStringLiteral("Collecting basin"), Qt::AlignHCenter);
        arrow(p, {220, 204}, {250, 204}, kWater);
        label(p, {205, 240}, QStringLiteral("Water out"));
    }
}
