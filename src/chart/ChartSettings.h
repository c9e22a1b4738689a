// The chart-wide settings of Chart1: surface colour, style, size, background image, font and outline.
#pragma once

#include "chart/Argb.h"
#include "chart/Border.h"

#include <QString>

namespace chart {

// style: 0 = flat surface framed by a thin outline in the border colour; 1 = flat surface without outline.
// width, height: the control's size in pixels (also its size on the window).
// backgroundImage: path of an image drawn scaled over the whole surface; empty = none (an unreadable file is
// treated as none).
// fontName: family used for every text of the chart; sizes are set per element. fontconfig maps "Arial" to
// Liberation Sans, which has the same metrics.
class ChartSettings {
public:
    Argb backColour() const { return m_backColour; }
    void setBackColour(Argb colour) { m_backColour = colour; }
    int style() const { return m_style; }
    void setStyle(int code) { m_style = code; }
    int width() const { return m_width; }
    void setWidth(int pixels) { m_width = pixels; }
    int height() const { return m_height; }
    void setHeight(int pixels) { m_height = pixels; }
    const QString& backgroundImage() const { return m_backgroundImage; }
    void setBackgroundImage(const QString& path) { m_backgroundImage = path; }
    const QString& fontName() const { return m_fontName; }
    void setFontName(const QString& family) { m_fontName = family; }

    // The four further settings, in their order: border style, width, colour, margin.
    const Border& border() const { return m_border; }
    void setBorderStyle(int code) { m_border.style = code; }
    void setBorderWidth(int pixels) { m_border.width = pixels; }
    void setBorderColour(Argb colour) { m_border.colour = colour; }
    void setBorderMargin(int pixels) { m_border.margin = pixels; }

private:
    Argb m_backColour = colours::black;
    int m_style = 0;
    int m_width = 320;
    int m_height = 200;
    QString m_backgroundImage;
    QString m_fontName = QStringLiteral("Tahoma");
    Border m_border;
};

} // namespace chart
