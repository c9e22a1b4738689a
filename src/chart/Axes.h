// The axes of a chart region (Chart1's value axis and time axis), as settings the chart control draws at its
// next draw. Font sizes are points at 96 dpi; colours are Argb.
//
// Codes shared by both axes:
//   alignment   1 = left, 2 = right (value axis); 4 = top, 8 = bottom (time axis). Other values: the default
//   side. lineStyle   0 or 1 = solid, 2 = dashed, 3 = dotted, 4 = dash-dot, 5 = no line.
#pragma once

#include "chart/Argb.h"
#include "chart/AutoScale.h"
#include "chart/Element.h"

#include <QString>

#include <optional>

namespace chart {

// The vertical axis the trace is measured against (arcseconds for the tracking error).
//
// tickCount is the number of labelled tick marks from bottom to top, both ends included (11 gives ten equal
// divisions and a mark at zero on a symmetric range). Labels show decimalDigits digits after the point, then
// unit. Range: until the program sets a minimum or maximum the axis autoscales to the data shown
// (AutoScale.h); a limit once set holds on its own side until the chart is rebuilt, the other side keeps
// autoscaling.
class ValueAxis : public Element {
public:
    int alignment() const { return m_alignment; }
    void setAlignment(int code) { m_alignment = code; }
    std::optional<double> minimum() const { return m_minimum; }
    void setMinimum(double value) { m_minimum = value; }
    std::optional<double> maximum() const { return m_maximum; }
    void setMaximum(double value) { m_maximum = value; }
    int tickCount() const { return m_tickCount; }
    void setTickCount(int count) { m_tickCount = count; }
    double fontSize() const { return m_fontSize; }
    void setFontSize(double points) { m_fontSize = points; }
    Argb textColour() const { return m_textColour; }
    void setTextColour(Argb colour) { m_textColour = colour; }
    Argb lineColour() const { return m_lineColour; }
    void setLineColour(Argb colour) { m_lineColour = colour; }
    int lineStyle() const { return m_lineStyle; }
    void setLineStyle(int code) { m_lineStyle = code; }
    int decimalDigits() const { return m_decimalDigits; }
    void setDecimalDigits(int digits) { m_decimalDigits = digits; }
    const QString& unit() const { return m_unit; }
    void setUnit(const QString& unit) { m_unit = unit; }
    const QString& title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }

    // Decides the range for the next draw from the largest magnitude the axis's series show, and remembers
    // it.
    AxisRange rangeFor(double largest);
    // The range of the last draw ({-1, +1} before the first).
    AxisRange shownRange() const { return m_shown; }

private:
    int m_alignment = 1;
    std::optional<double> m_minimum;
    std::optional<double> m_maximum;
    int m_tickCount = 11;
    double m_fontSize = 8.0;
    Argb m_textColour = colours::white;
    Argb m_lineColour = colours::white;
    int m_lineStyle = 0;
    int m_decimalDigits = 1;
    QString m_unit;
    QString m_title;
    AutoScale m_autoScale;
    AxisRange m_shown{-AutoScale::floor(), AutoScale::floor()};
};

// The horizontal axis: one step per sample of the trace, from the first sample at the left edge to the last
// at the right. tickCount is the number of equal divisions (12 divisions of a 120-sample sweep are 10 samples
// each). The axis has no tick labels: the trace's samples carry no times, so textAlignment (the labels'
// alignment) has nothing to act on. axisCount 0 hides the axis line and ticks (its grid lines stay); 1 or
// more shows the axis.
class TimeAxis : public Element {
public:
    int axisCount() const { return m_axisCount; }
    void setAxisCount(int count) { m_axisCount = count; }
    int tickCount() const { return m_tickCount; }
    void setTickCount(int count) { m_tickCount = count; }
    int alignment() const { return m_alignment; }
    void setAlignment(int code) { m_alignment = code; }
    double fontSize() const { return m_fontSize; }
    void setFontSize(double points) { m_fontSize = points; }
    Argb textColour() const { return m_textColour; }
    void setTextColour(Argb colour) { m_textColour = colour; }
    int textAlignment() const { return m_textAlignment; }
    void setTextAlignment(int code) { m_textAlignment = code; }
    Argb lineColour() const { return m_lineColour; }
    void setLineColour(Argb colour) { m_lineColour = colour; }
    int lineStyle() const { return m_lineStyle; }
    void setLineStyle(int code) { m_lineStyle = code; }
    const QString& title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }

private:
    int m_axisCount = 1;
    int m_tickCount = 10;
    int m_alignment = 8;
    double m_fontSize = 8.0;
    Argb m_textColour = colours::white;
    int m_textAlignment = 0;
    Argb m_lineColour = colours::white;
    int m_lineStyle = 0;
    QString m_title;
};

} // namespace chart
