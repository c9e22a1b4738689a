// A small plot of data series for the analysis window and its report: curves, scatter points, shaded bands,
// text labels and axis titles; drawn on screen, into any painter, or saved as PNG or PDF. The plotting
// library stays behind this header.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

class QPainter;

namespace chart {

// Usage: clear(); setTitle(...); setAxisTitles(...); add...(); rescale(); then it draws itself on screen, or
// render()/savePng()/savePdf(). Values are in the caller's units; NaN leaves a gap in a curve or band.
// All calls belong on the user-interface thread.
class SeriesPlot : public QWidget {
    Q_OBJECT

public:
    explicit SeriesPlot(QWidget* parent = nullptr);
    ~SeriesPlot() override;

    void clear(); // removes series, labels and the title
    void setTitle(const QString& title);
    void setAxisTitles(const QString& x, const QString& y);
    void setLogarithmicX(bool logarithmic);
    // The legend's entries in rows of `columns` (1: one above the other).
    void setLegendColumns(int columns);
    // The plot's own colours: background, axes with their text, title and legend, and the grid lines.
    void setColours(const QColor& background, const QColor& foreground, const QColor& grid);

    // x and y of equal length; `name` appears in the legend when not empty.
    void addCurve(const std::vector<double>& x, const std::vector<double>& y, const QColor& color,
                  double width = 1.5, const QString& name = {});
    void addScatter(const std::vector<double>& x, const std::vector<double>& y, const QColor& color,
                    double size = 3.0, const QString& name = {});
    // The area between `lower` and `upper`, filled with `color` (give it some transparency).
    void addBand(const std::vector<double>& x, const std::vector<double>& lower,
                 const std::vector<double>& upper, const QColor& color, const QString& name = {});
    // Text centred just above the point (x, y), in plot coordinates.
    void addLabel(double x, double y, const QString& text, const QColor& color = Qt::black);

    // Fits both axes to the data (x exactly, y with a margin), then redraws with the next turn of the event
    // loop (several calls in one turn draw once).
    void rescale();
    void setXRange(double lo, double hi);

    // Draws the plot as `width` x `height` pixels scaled into `target` (the painter's coordinates); vector
    // output on vector devices (PDF).
    void render(QPainter& painter, const QRectF& target, int width, int height);
    // False when the file could not be written.
    bool savePng(const QString& path, int width, int height);
    bool savePdf(const QString& path, int width, int height);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace chart
