// The one place where Chart1's vocabulary (regions, captions, grids, axes, line series, text boxes, Argb
// colours, style codes) becomes QCustomPlot objects and their settings. Private to the chart control.
#pragma once

#include <QSharedPointer>
#include <QString>

#include <cstdint>
#include <vector>

class QCustomPlot;
class QCPAxis;
class QCPAxisRect;
class QCPGraph;
class QCPItemRect;
class QCPItemText;
class QCPTextElement;

namespace chart {

class CaptionElement;
class ChartContent;
class ChartSettings;
class EvenTicker;
class Region;

// Screen: the colours as given (red on black). Paper: every background becomes white and near-white ink
// black, red stays red; used for printing so a page costs no black toner.
enum class Look { Screen, Paper };

class PlotMapping {
public:
    explicit PlotMapping(QCustomPlot& plot);
    ~PlotMapping();
    PlotMapping(const PlotMapping&) = delete;
    PlotMapping& operator=(const PlotMapping&) = delete;

    // Brings the plot in line with the content. Plot objects are rebuilt only when elements were added or
    // removed since the last call; otherwise settings are re-applied and series values copied only when new.
    // Not const on the content: each value axis decides (and remembers) its range here. Only the first region
    // is drawn.
    void apply(ChartContent& content, Look look);

private:
    struct Axis {
        QCPAxis* axis = nullptr;
        QSharedPointer<EvenTicker> ticker;
    };
    struct Series {
        QCPGraph* graph = nullptr;
        std::uint64_t revision = ~std::uint64_t{0};
    };

    std::vector<std::uint64_t> shapeOf(const ChartContent& content) const;
    void rebuild(const ChartContent& content);
    void applyChart(const ChartSettings& settings, Look look);
    void applyRegion(Region& region, const ChartSettings& settings, Look look);
    void applyAxes(Region& region, const QString& family, Look look);
    void applySeries(Region& region, Look look);
    void applyTextBoxes(const ChartContent& content, const QString& family, Look look);

    QCustomPlot& m_plot;
    std::vector<std::uint64_t> m_shape;
    QString m_imagePath;

    // The plot objects of the current build; owned by the plot.
    QCPItemRect* m_border = nullptr;
    CaptionElement* m_caption = nullptr;
    QCPTextElement* m_footer = nullptr;
    QCPAxisRect* m_rect = nullptr;
    std::vector<Axis>
        m_valueAxes; // at least one (hidden when the region has none), for the series to hang on
    Axis m_timeAxis; // always present, hidden when the region has none
    std::vector<Series> m_series;
    std::vector<QCPItemText*> m_textBoxes;
};

} // namespace chart
