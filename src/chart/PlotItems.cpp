// Evenly divided axis ticks and the caption's background; see PlotItems.h.
#include "chart/PlotItems.h"

#include <cmath>

namespace chart {

QString EvenTicker::label(double tick) const {
    // Values that round to zero at this many digits print as zero, not "-0.0".
    if (std::abs(tick) < 0.5 * std::pow(10.0, -m_digits))
        tick = 0.0;
    return QString::number(tick, 'f', m_digits) + m_unit; // QString::number ignores the locale
}

double EvenTicker::getTickStep(const QCPRange& range) {
    return range.size() / m_divisions;
}

int EvenTicker::getSubTickCount(double) {
    return m_subTicks;
}

QString EvenTicker::getTickLabel(double tick, const QLocale&, QChar, int) {
    return label(tick);
}

QVector<double> EvenTicker::createTickVector(double, const QCPRange& range) {
    QVector<double> ticks;
    ticks.reserve(m_divisions + 1);
    // Computed from the ends, not by accumulating a step, so the last tick is exactly the upper end.
    for (int i = 0; i <= m_divisions; ++i)
        ticks.append(i == m_divisions ? range.upper : range.lower + range.size() * i / m_divisions);
    return ticks;
}

void CaptionElement::draw(QCPPainter* painter) {
    if (m_background.style() != Qt::NoBrush)
        painter->fillRect(mOuterRect, m_background);
    QCPTextElement::draw(painter);
}

} // namespace chart
