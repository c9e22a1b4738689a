// Chart1's codes and colours as Qt pens, brushes, fonts and shapes; see PlotStyles.h.
#include "chart/PlotStyles.h"

#include "chart/Region.h"

#include <algorithm>
#include <cmath>

namespace chart {

QColor background(Argb colour, Look look) {
    return look == Look::Paper ? QColor(Qt::white) : QColor::fromRgba(colour);
}

QColor ink(Argb colour, Look look) {
    const QColor c = QColor::fromRgba(colour);
    return look == Look::Paper && c.lightness() > 200 ? QColor(Qt::black) : c;
}

// Font sizes are points at 96 dpi turned into chart pixels, so text keeps its size relative to the chart on
// any device the chart is scaled onto (a printer at 1200 dpi, a PDF page, an image).
QFont chartFont(const QString& family, double points, bool bold) {
    QFont font(family);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * 96.0 / 72.0))));
    font.setBold(bold);
    return font;
}

Qt::PenStyle lineStyle(int code) {
    switch (code) {
    case 2:
        return Qt::DashLine;
    case 3:
        return Qt::DotLine;
    case 4:
        return Qt::DashDotLine;
    case 5:
        return Qt::NoPen;
    default:
        return Qt::SolidLine;
    }
}

QPen borderPen(const Border& border, Look look) {
    const Qt::PenStyle style = border.style == 1   ? Qt::DashLine
                               : border.style == 2 ? Qt::DotLine
                                                   : Qt::SolidLine;
    return QPen(ink(border.colour, look), border.width > 0 ? border.width : 1, style);
}

// Grid lines: the axis colour, dimmed, so a red axis gives dark red lines on black (the zero line a little
// stronger than the grid, both well below the trace).
QColor gridColour(Argb lineColour, Look look, int alpha) {
    QColor c = ink(lineColour, look);
    c.setAlpha(alpha);
    return c;
}

Qt::BrushStyle hatchStyle(int code) {
    switch (code) {
    case 1:
        return Qt::HorPattern;
    case 2:
        return Qt::VerPattern;
    case 3:
        return Qt::FDiagPattern;
    case 4:
        return Qt::BDiagPattern;
    case 5:
        return Qt::CrossPattern;
    case 6:
        return Qt::DiagCrossPattern;
    default:
        return Qt::NoBrush;
    }
}

QCPScatterStyle::ScatterShape symbolShape(int code) {
    switch (code) {
    case 1:
        return QCPScatterStyle::ssDisc;
    case 2:
        return QCPScatterStyle::ssCircle;
    case 3:
        return QCPScatterStyle::ssSquare;
    case 4:
        return QCPScatterStyle::ssDiamond;
    case 5:
        return QCPScatterStyle::ssCross;
    case 6:
        return QCPScatterStyle::ssPlus;
    default:
        return QCPScatterStyle::ssNone;
    }
}

// Copies the values into the graph; reuses the points when the count is unchanged (the usual live update).
void setGraphValues(QCPGraph& graph, const std::vector<double>& values) {
    const QSharedPointer<QCPGraphDataContainer> container = graph.data();
    if (container->size() == static_cast<int>(values.size())) {
        auto point = container->begin();
        for (const double v : values)
            (point++)->value = v;
        return;
    }
    QVector<QCPGraphData> points(static_cast<qsizetype>(values.size()));
    for (std::size_t i = 0; i < values.size(); ++i)
        points[static_cast<qsizetype>(i)] = QCPGraphData(static_cast<double>(i), values[i]);
    container->set(points, true);
}

// The region's rectangle in chart pixels: negative sizes are distances kept from the right or bottom edge.
QRect regionRect(const Region& region, QSize chart) {
    const int width = region.width() > 0 ? region.width() : chart.width() - region.left() + region.width();
    const int height =
        region.height() > 0 ? region.height() : chart.height() - region.top() + region.height();
    return {region.left(), region.top(), std::max(1, width), std::max(1, height)};
}

} // namespace chart
