// A region of Chart1: a rectangle of the chart surface holding a caption, a plotting area (grid), value axes,
// a time axis and line series. Elements are numbered from 1 in the order they were added.
#pragma once

#include "chart/Axes.h"
#include "chart/Element.h"
#include "chart/LineSeries.h"
#include "chart/RegionParts.h"

#include <QString>

#include <memory>
#include <vector>

namespace chart {

// left, top: the region's top-left corner in chart pixels. width, height: its size; a negative value is the
// distance kept from the chart's right or bottom edge instead (-5 leaves a 5-pixel margin), 0 reaches the
// edge. footer: a line of text under the plotting area; empty = none.
//
// A region has at most one caption, grid and time axis: adding a second replaces the first. Fetching an
// element that was not added gives a detached stand-in whose settings are never drawn (Element.h).
class Region : public Element {
public:
    int left() const { return m_left; }
    void setLeft(int pixels) { m_left = pixels; }
    int top() const { return m_top; }
    void setTop(int pixels) { m_top = pixels; }
    int width() const { return m_width; }
    void setWidth(int pixels) { m_width = pixels; }
    int height() const { return m_height; }
    void setHeight(int pixels) { m_height = pixels; }
    const QString& footer() const { return m_footer; }
    void setFooter(const QString& text) { m_footer = text; }

    Caption& addCaption();
    Caption& caption();
    const Caption* findCaption() const { return m_caption.get(); }

    Grid& addGrid();
    Grid& grid();
    const Grid* findGrid() const { return m_grid.get(); }

    ValueAxis& addValueAxis();
    ValueAxis& valueAxis(int n);
    int valueAxisCount() const { return static_cast<int>(m_valueAxes.size()); }
    const std::vector<std::unique_ptr<ValueAxis>>& valueAxes() const { return m_valueAxes; }

    TimeAxis& addTimeAxis();
    TimeAxis& timeAxis();
    const TimeAxis* findTimeAxis() const { return m_timeAxis.get(); }

    LineSeries& addLineSeries();
    LineSeries& lineSeries(int n);
    int lineSeriesCount() const { return static_cast<int>(m_series.size()); }
    const std::vector<std::unique_ptr<LineSeries>>& lineSeriesList() const { return m_series; }

private:
    int m_left = 0;
    int m_top = 0;
    int m_width = 0;
    int m_height = 0;
    QString m_footer;
    std::unique_ptr<Caption> m_caption;
    std::unique_ptr<Grid> m_grid;
    std::vector<std::unique_ptr<ValueAxis>> m_valueAxes;
    std::unique_ptr<TimeAxis> m_timeAxis;
    std::vector<std::unique_ptr<LineSeries>> m_series;
};

// A 1-based lookup in a list of elements; a detached stand-in when n is out of range.
template <class T>
T& elementAt(std::vector<std::unique_ptr<T>>& list, int n, const char* what) {
    if (n >= 1 && n <= static_cast<int>(list.size()))
        return *list[static_cast<std::size_t>(n - 1)];
    return detachedElement<T>(what, n);
}

} // namespace chart
