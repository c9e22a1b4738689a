// A free text box of Chart1: a line of text placed at a pixel position of the chart surface, above everything
// else.
#pragma once

#include "chart/Argb.h"
#include "chart/Border.h"
#include "chart/Element.h"

#include <QString>

namespace chart {

// left, top: the box's top-left corner in chart pixels; a box that would run off the chart is moved left (or
// up) just enough to stay whole on it, so a long caption near the right edge stays readable. width, height:
// the box's size; 0 = fitted to the text. An empty text hides the box. style: 0 = text on its background; 1 =
// the same, framed by an outline (the border settings). fontSize in points at 96 dpi.
class TextBox : public Element {
public:
    const QString& text() const { return m_text; }
    void setText(const QString& text) { m_text = text; }
    int left() const { return m_left; }
    void setLeft(int pixels) { m_left = pixels; }
    int top() const { return m_top; }
    void setTop(int pixels) { m_top = pixels; }
    int width() const { return m_width; }
    void setWidth(int pixels) { m_width = pixels; }
    int height() const { return m_height; }
    void setHeight(int pixels) { m_height = pixels; }
    int style() const { return m_style; }
    void setStyle(int code) { m_style = code; }
    Argb backColour() const { return m_backColour; }
    void setBackColour(Argb colour) { m_backColour = colour; }
    Argb textColour() const { return m_textColour; }
    void setTextColour(Argb colour) { m_textColour = colour; }
    bool bold() const { return m_bold; }
    void setBold(bool bold) { m_bold = bold; }
    double fontSize() const { return m_fontSize; }
    void setFontSize(double points) { m_fontSize = points; }

    // The four further settings, in their order: border style, width, colour, margin.
    const Border& border() const { return m_border; }
    void setBorderStyle(int code) { m_border.style = code; }
    void setBorderWidth(int pixels) { m_border.width = pixels; }
    void setBorderColour(Argb colour) { m_border.colour = colour; }
    void setBorderMargin(int pixels) { m_border.margin = pixels; }

private:
    QString m_text;
    int m_left = 0;
    int m_top = 0;
    int m_width = 0;
    int m_height = 0;
    int m_style = 0;
    Argb m_backColour = colours::black;
    Argb m_textColour = colours::white;
    bool m_bold = false;
    double m_fontSize = 8.0;
    Border m_border;
};

} // namespace chart
