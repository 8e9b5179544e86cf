#include "ui/towerschematic.h"

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

// The drawing is made on a canvas of kCanvas units; its labels are written at the font's own
// size, those of the sides in the margins beside the canvas.
constexpr double kCanvasWidth = 240;
constexpr double kCanvasHeight = 250;

// Text at canvas point `at`, at its own size whatever the drawing's scale.
void label(QPainter& p, QPointF at, const QString& text, Qt::Alignment align = Qt::AlignLeft) {
    const QPointF device = p.transform().map(at);
    p.save();
    p.resetTransform();
    p.setPen(kText);
    const double w = p.fontMetrics().horizontalAdvance(text) + 4;
    const double left = align & Qt::AlignRight     ? device.x() - w
                        : align & Qt::AlignHCenter ? device.x() - w / 2
                                                   : device.x();
    p.drawText(QRectF(left, device.y() - 8, w, 16), int(align | Qt::AlignVCenter), text);
    p.restore();
}

// A label in the margin to the right of the canvas at height y, with a leader line from
// `target` on the drawing.
void callout(QPainter& p, QPointF target, double y, const QString& text) {
    p.setPen(QPen(kText, 0.6));
    p.drawLine(target, QPointF(kCanvasWidth, y));
    label(p, {kCanvasWidth + 2, y}, text);
}

// A label in the margin to the left of the canvas at height y.
void leftLabel(QPainter& p, double y, const QString& text) {
    label(p, {-2, y}, text, Qt::AlignRight);
}

// A label in the margin to the right of the canvas at height y.
void rightLabel(QPainter& p, double y, const QString& text) {
    label(p, {kCanvasWidth + 2, y}, text);
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
    QFont f = font();
    f.setPointSizeF(std::max(7.0, f.pointSizeF() - 1));
    p.setFont(f);
    // Margins for the side labels, the canvas scaled into the rest keeping its aspect ratio.
    const QFontMetrics metrics(f);
    const double leftMargin = metrics.horizontalAdvance(QStringLiteral("Water in")) + 8;
    const double rightMargin = metrics.horizontalAdvance(QStringLiteral("Sprinkler pipe")) + 8;
    const double room = std::max(10.0, width() - leftMargin - rightMargin);
    const double scale = std::min(room / kCanvasWidth, height() / kCanvasHeight);
    p.translate(leftMargin + (room - kCanvasWidth * scale) / 2,
                (height() - kCanvasHeight * scale) / 2);
    p.scale(scale, scale);

    if (arrangement_ == Arrangement::CounterFlow) {
        // Casing with fan stack.
        p.setPen(QPen(kCasing, 2));
        p.drawRect(QRectF(60, 55, 120, 150));
        p.drawLine(QPointF(95, 55), QPointF(100, 35));
        p.drawLine(QPointF(145, 55), QPointF(140, 35));
        fan(p, {120, 45}, 36);
        callout(p, {138, 45}, 36, QStringLiteral("Fan"));
        arrow(p, {120, 30}, {120, 4}, kAir);
        label(p, {126, 10}, QStringLiteral("Air out"));
        // Eliminator and sprinkler pipe.
        hatch(p, QRectF(62, 62, 116, 10), false);
        callout(p, {176, 67}, 62, QStringLiteral("Eliminator"));
        p.setPen(QPen(kWater, 3));
        p.drawLine(QPointF(30, 84), QPointF(176, 84));
        for (double x = 70; x < 176; x += 14)
            p.drawLine(QPointF(x, 84), QPointF(x, 89));
        callout(p, {176, 84}, 86, QStringLiteral("Sprinkler pipe"));
        arrow(p, {0, 84}, {30, 84}, kWater);
        leftLabel(p, 84, QStringLiteral("Water in"));
        // Fill.
        hatch(p, QRectF(62, 96, 116, 60), true);
        callout(p, {170, 126}, 126, QStringLiteral("Plastic filling"));
        // Air in at both sides below the fill.
        arrow(p, {14, 172}, {58, 172}, kAir);
        arrow(p, {226, 172}, {182, 172}, kAir);
        leftLabel(p, 172, QStringLiteral("Air in"));
        // Basin and water out.
        p.setPen(QPen(kCasing, 2));
        p.setBrush(kWater.lighter(170));
        p.drawRect(QRectF(52, 190, 136, 22));
        p.setBrush(Qt::NoBrush);
        label(p, {120, 228}, QStringLiteral("Collecting basin"), Qt::AlignHCenter);
        arrow(p, {188, 204}, {238, 204}, kWater);
        rightLabel(p, 204, QStringLiteral("Water out"));
    } else {
        // Casing: a central plenum between two fill packs, the fan above the plenum.
        p.setPen(QPen(kCasing, 2));
        p.drawRect(QRectF(30, 60, 180, 130));
        p.drawLine(QPointF(95, 60), QPointF(100, 38));
        p.drawLine(QPointF(145, 60), QPointF(140, 38));
        fan(p, {120, 48}, 36);
        callout(p, {138, 48}, 36, QStringLiteral("Fan"));
        arrow(p, {120, 33}, {120, 4}, kAir);
        label(p, {126, 10}, QStringLiteral("Air out"));
        // Sprinkler pipes (hot-water distribution) over each fill pack.
        p.setPen(QPen(kWater, 3));
        p.drawLine(QPointF(34, 72), QPointF(86, 72));
        p.drawLine(QPointF(154, 72), QPointF(206, 72));
        callout(p, {204, 72}, 66, QStringLiteral("Sprinkler pipe"));
        arrow(p, {0, 72}, {32, 72}, kWater);
        leftLabel(p, 72, QStringLiteral("Water in"));
        // Fill packs with the eliminators on their inner faces.
        hatch(p, QRectF(34, 80, 52, 90), false);
        hatch(p, QRectF(154, 80, 52, 90), false);
        hatch(p, QRectF(88, 80, 8, 90), true);
        hatch(p, QRectF(144, 80, 8, 90), true);
        callout(p, {148, 92}, 96, QStringLiteral("Eliminator"));
        callout(p, {196, 130}, 128, QStringLiteral("Plastic filling"));
        // Air enters through the louvred sides, across the falling water.
        arrow(p, {0, 160}, {30, 160}, kAir);
        arrow(p, {240, 160}, {210, 160}, kAir);
        leftLabel(p, 160, QStringLiteral("Air in"));
        // Basin and water out.
        p.setPen(QPen(kCasing, 2));
        p.setBrush(kWater.lighter(170));
        p.drawRect(QRectF(30, 192, 180, 20));
        p.setBrush(Qt::NoBrush);
        label(p, {120, 228}, QStringLiteral("Collecting basin"), Qt::AlignHCenter);
        arrow(p, {210, 204}, {240, 204}, kWater);
        rightLabel(p, 204, QStringLiteral("Water out"));
    }
}
