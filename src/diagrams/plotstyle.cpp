#include "diagrams/plotstyle.h"

#include "diagrams/plotlibrary.h"

namespace plotstyle {

namespace {

constexpr const char* kTitleName = "title";

QCPTextElement* titleElement(const QCustomPlot* plot) {
    if (plot->plotLayout()->rowCount() < 2)
        return nullptr;
    auto* element = qobject_cast<QCPTextElement*>(plot->plotLayout()->element(0, 0));
    return element && element->objectName() == QLatin1String(kTitleName) ? element : nullptr;
}

} // namespace

QCPColorGradient viridis() {
    // The viridis map sampled at ninths; linear interpolation between them stays within a few
    // units of the full table.
    static const char* const stops[] = {"#440154", "#482878", "#3e4989", "#31688e", "#26828e",
                                        "#1f9e89", "#35b779", "#6ece58", "#fde725"};
    QCPColorGradient gradient;
    gradient.clearColorStops();
    const int n = static_cast<int>(std::size(stops));
    for (int k = 0; k < n; ++k)
        gradient.setColorStopAt(double(k) / (n - 1), QColor(QLatin1String(stops[k])));
    gradient.setColorInterpolation(QCPColorGradient::ciRGB);
    gradient.setLevelCount(256);
    return gradient;
}

void prepare(QCustomPlot* plot) {
    plot->setBackground(Qt::white);
    plot->setAntialiasedElements(QCP::aeAll);
    plot->setNoAntialiasingOnDrag(true);
    plot->plotLayout()->insertRow(0);
    QFont bold = plot->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.1);
    auto* title = new QCPTextElement(plot, QString(), bold);
    title->setObjectName(QLatin1String(kTitleName));
    plot->plotLayout()->addElement(0, 0, title);
}

void showLegend(QCustomPlot* plot) {
    plot->legend->setVisible(true);
    plot->legend->setBrush(QColor(255, 255, 255, 220));
    // SVG viewers set the text in fonts of their own: a wide gap keeps each entry's line clear
    // of its text however they set it.
    plot->legend->setIconTextPadding(14);
}

void setTitle(QCustomPlot* plot, const QString& text) {
    if (QCPTextElement* element = titleElement(plot))
        element->setText(text);
}

QString title(const QCustomPlot* plot) {
    const QCPTextElement* element = titleElement(plot);
    return element ? element->text() : QString();
}

QString outOfDateMark(bool outOfDate) {
    return outOfDate ? QStringLiteral(" (out of date)") : QString();
}

QColor outOfDateColour() {
    return QColor(0x99, 0x99, 0x99);
}

} // namespace plotstyle
