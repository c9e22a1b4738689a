// A line series of a chart region (Chart1's trace): one point per value, at x = its index, joined left to
// right.
#pragma once

#include "chart/Argb.h"
#include "chart/Element.h"

#include <cstdint>
#include <span>
#include <vector>

namespace chart {

// Codes:
//   type        21 = line series (the only kind this control draws; other values are drawn as 21).
//   style       21 = points joined by straight lines; 22 = steps; 0 = points only (see symbol).
//   lineStyle   0 or 1 = solid, 2 = dashed, 3 = dotted, 4 = dash-dot, 5 = no line.
//   translucent false = opaque colour; true = half-transparent.
//   symbol      0 = none, 1 = dot, 2 = circle, 3 = square, 4 = diamond, 5 = cross, 6 = plus.
//   valueAxis   which of the region's value axes (1-based) the series is measured against.
//   valueLabels kept for completeness; this control draws no value labels.
//   hatch       0 = no fill; 1 = horizontal, 2 = vertical, 3 = forward diagonal, 4 = backward diagonal,
//               5 = cross, 6 = diagonal cross lines in the series colour between the trace and zero.
class LineSeries : public Element {
public:
    int type() const { return m_type; }
    void setType(int code) { m_type = code; }
    int style() const { return m_style; }
    void setStyle(int code) { m_style = code; }
    int lineStyle() const { return m_lineStyle; }
    void setLineStyle(int code) { m_lineStyle = code; }
    bool translucent() const { return m_translucent; }
    void setTranslucent(bool translucent) { m_translucent = translucent; }
    Argb colour() const { return m_colour; }
    void setColour(Argb colour) { m_colour = colour; }
    int symbol() const { return m_symbol; }
    void setSymbol(int code) { m_symbol = code; }
    int valueAxis() const { return m_valueAxis; }
    void setValueAxis(int index) { m_valueAxis = index; }
    int valueLabels() const { return m_valueLabels; }
    void setValueLabels(int code) { m_valueLabels = code; }
    int hatch() const { return m_hatch; }
    void setHatch(int code) { m_hatch = code; }

    // Copies the values (the caller keeps its buffer); an empty span empties the trace. NaN leaves a gap.
    void setData(std::span<const double> values);
    const std::vector<double>& data() const { return m_data; }
    // Changes with every setData and is never the same for two series, so the drawing side copies the values
    // only when they are new, also across a rebuild.
    std::uint64_t dataRevision() const { return m_revision; }
    // Largest finite magnitude in the data (0 when empty), kept up to date by setData.
    double largestMagnitude() const { return m_largest; }

private:
    int m_type = 21;
    int m_style = 21;
    int m_lineStyle = 1;
    bool m_translucent = false;
    Argb m_colour = colours::white;
    int m_symbol = 0;
    int m_valueAxis = 1;
    int m_valueLabels = 0;
    int m_hatch = 0;
    std::vector<double> m_data;
    std::uint64_t m_revision = 0;
    double m_largest = 0.0;
};

} // namespace chart
