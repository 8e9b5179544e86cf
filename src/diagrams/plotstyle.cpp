#include "diagrams/plotstyle.h"

#include "diagrams/plotlibrary.h"

#include <QFontMetrics>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace plotstyle {

namespace {

constexpr const char* kTitleName = "title";

// A plot's title: its text broken into lines at blanks to the plot's width when it is drawn,
// so that a narrow plot shows all of it, centred, instead of the middle of one long line. The
// element asks for no width of its own and for the height of its lines at the plot's width.
class TitleElement : public QCPTextElement {
public:
    TitleElement(QCustomPlot* plot, const QFont& font)
        : QCPTextElement(plot, QString(), font) {}

    // The lines as last drawn.
    QString shown() const { return shown_; }

protected:
    void draw(QCPPainter* painter) override {
        shown_ = fitToWidth(mText, QFontMetrics(mainFont()), mRect.width());
        painter->setFont(mainFont());
        painter->setPen(QPen(mainTextColor()));
        painter->drawText(mRect, Qt::AlignCenter, shown_, &mTextBoundingRect);
    }

    QSize minimumOuterSizeHint() const override {
        return {mMargins.left() + mMargins.right(), height()};
    }

    QSize maximumOuterSizeHint() const override { return {QWIDGETSIZE_MAX, height()}; }

private:
    // The outer height of the lines at the width the plot gives its title row.
    int height() const {
        const int width = mParentPlot->viewport().width() - mMargins.left() - mMargins.right();
        const QFontMetrics metrics(mFont);
        const QString lines = fitToWidth(mText, metrics, width);
        return metrics.boundingRect(0, 0, 0, 0, Qt::TextDontClip, lines).height() + mMargins.top() +
               mMargins.bottom();
    }

    QString shown_;
};

// A logarithmic ticker that also labels both ends of the range: a range within one decade
// would otherwise show one number or none. An end closer than a tenth of a decade to a decade
// tick is left to that tick.
class EndLabelledLogTicker : public QCPAxisTickerLog {
public:
    void generate(const QCPRange& range, const QLocale& locale, QChar formatChar, int precision,
                  QVector<double>& ticks, QVector<double>* subTicks,
                  QVector<QString>* tickLabels) override {
        QCPAxisTickerLog::generate(range, locale, formatChar, precision, ticks, subTicks,
                                   tickLabels);
        if (!(range.lower > 0) || !(range.upper > range.lower))
            return;
        for (double end : {range.lower, range.upper}) {
            const bool nearTick = std::ranges::any_of(
                ticks, [&](double t) { return t > 0 && std::fabs(std::log10(t / end)) < 0.1; });
            if (nearTick)
                continue;
            const auto at = std::ranges::upper_bound(ticks, end) - ticks.begin();
            ticks.insert(at, end);
            if (tickLabels)
                tickLabels->insert(at, getTickLabel(end, locale, formatChar, precision));
        }
    }
};

TitleElement* titleElement(const QCustomPlot* plot) {
    if (plot->plotLayout()->rowCount() < 2)
        return nullptr;
    auto* element = dynamic_cast<TitleElement*>(plot->plotLayout()->element(0, 0));
    return element && element->objectName() == QLatin1String(kTitleName) ? element : nullptr;
}

} // namespace

QString fitToWidth(const QString& text, const QFontMetrics& metrics, int width) {
    if (width <= 0)
        return text;
    QStringList out;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        QString current;
        for (const QString& word : line.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QString longer = current.isEmpty() ? word : current + QLatin1Char(' ') + word;
            if (metrics.horizontalAdvance(longer) <= width) {
                current = longer;
                continue;
            }
            if (!current.isEmpty())
                out << current;
            current = metrics.horizontalAdvance(word) <= width
                          ? word
                          : metrics.elidedText(word, Qt::ElideRight, width);
        }
        out << current;
    }
    return out.join(QLatin1Char('\n'));
}

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
    auto* title = new TitleElement(plot, bold);
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

QString shownTitle(const QCustomPlot* plot) {
    const TitleElement* element = titleElement(plot);
    return element ? element->shown() : QString();
}

void setLogarithmic(QCPAxis* axis) {
    axis->setScaleType(QCPAxis::stLogarithmic);
    auto ticker = QSharedPointer<EndLabelledLogTicker>::create();
    ticker->setSubTickCount(8);
    axis->setTicker(ticker);
    axis->setNumberFormat(QStringLiteral("gb"));
    axis->setNumberPrecision(3);
}

double roundOutward(double value, bool up) {
    if (!(value > 0) || !std::isfinite(value))
        return value;
    const double scale = std::pow(10.0, std::floor(std::log10(value)));
    return (up ? std::ceil(value / scale - 1e-9) : std::floor(value / scale + 1e-9)) * scale;
}

QString outOfDateMark(bool outOfDate) {
    return outOfDate ? QStringLiteral(" (out of date)") : QString();
}

QColor outOfDateColour() {
    return QColor(0x99, 0x99, 0x99);
}

} // namespace plotstyle
