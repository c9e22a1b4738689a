// The title and the plotting area of a chart region (Chart1's caption and grid), as settings the chart
// control draws at its next draw. Font sizes are points at 96 dpi (12 pt = 16 chart pixels); colours are
// Argb.
#pragma once

#include "chart/Argb.h"
#include "chart/Element.h"

#include <QString>

namespace chart {

// The region's title line, above the plotting area, centred.
class Caption : public Element {
public:
    const QString& text() const { return m_text; }
    void setText(const QString& text) { m_text = text; }
    Argb backColour() const { return m_backColour; }
    void setBackColour(Argb colour) { m_backColour = colour; }
    Argb textColour() const { return m_textColour; }
    void setTextColour(Argb colour) { m_textColour = colour; }
    double fontSize() const { return m_fontSize; }
    void setFontSize(double points) { m_fontSize = points; }
    bool bold() const { return m_bold; }
    void setBold(bool bold) { m_bold = bold; }

private:
    QString m_text;
    Argb m_backColour = colours::black;
    Argb m_textColour = colours::white;
    double m_fontSize = 10.0;
    bool m_bold = false;
};

// The plotting area: where the trace runs, with the grid lines of the axes' ticks.
// gradient: 0 = plain background; any other value shades it from backColour at the bottom to a quarter of the
// way
//           towards the value axis's line colour at the top.
// bicolour: 0 = grid lines at the axes' ticks only; any other value adds fainter lines halfway between them.
// left, top: the plotting area's offset inside the region, in pixels; width, height: its size. 0 = the
// control fits it around the axes' labels and titles (the default).
class Grid : public Element {
public:
    Argb backColour() const { return m_backColour; }
    void setBackColour(Argb colour) { m_backColour = colour; }
    int gradient() const { return m_gradient; }
    void setGradient(int gradient) { m_gradient = gradient; }
    int bicolour() const { return m_bicolour; }
    void setBicolour(int bicolour) { m_bicolour = bicolour; }
    int left() const { return m_left; }
    void setLeft(int pixels) { m_left = pixels; }
    int top() const { return m_top; }
    void setTop(int pixels) { m_top = pixels; }
    int width() const { return m_width; }
    void setWidth(int pixels) { m_width = pixels; }
    int height() const { return m_height; }
    void setHeight(int pixels) { m_height = pixels; }

private:
    Argb m_backColour = colours::black;
    int m_gradient = 0;
    int m_bicolour = 0;
    int m_left = 0;
    int m_top = 0;
    int m_width = 0;
    int m_height = 0;
};

} // namespace chart
