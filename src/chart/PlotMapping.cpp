// Chart1's content turned into QCustomPlot objects; see PlotMapping.h.
#include "chart/PlotMapping.h"

#include "chart/ChartContent.h"
#include "chart/PlotItems.h"
#include "chart/PlotStyles.h"

#include <qcustomplot.h>

#include <algorithm>
#include <cmath>

namespace chart {

namespace {
constexpr int separator = 0;
}

PlotMapping::PlotMapping(QCustomPlot& plot)
    : m_plot(plot) {}

PlotMapping::~PlotMapping() = default;

std::vector<std::uint64_t> PlotMapping::shapeOf(const ChartContent& content) const {
    std::vector<std::uint64_t> shape;
    if (!content.regions().empty()) {
        const Region& region = *content.regions().front();
        shape.push_back(region.id());
        shape.push_back(region.findCaption() ? region.findCaption()->id() : 0);
        shape.push_back(region.footer().isEmpty() ? 0 : 1);
        for (const auto& axis : region.valueAxes()) {
            shape.push_back(axis->id());
            shape.push_back(static_cast<std::uint64_t>(axis->alignment() == 2));
        }
        shape.push_back(separator);
        if (const TimeAxis* axis = region.findTimeAxis()) {
            shape.push_back(axis->id());
            shape.push_back(static_cast<std::uint64_t>(axis->alignment() == 4));
        }
        shape.push_back(separator);
        for (const auto& series : region.lineSeriesList())
            shape.push_back(series->id());
    }
    shape.push_back(separator);
    for (const auto& box : content.textBoxes())
        shape.push_back(box->id());
    return shape;
}

void PlotMapping::rebuild(const ChartContent& content) {
    m_plot.clearItems();
    m_plot.clearGraphs();
    m_plot.plotLayout()->clear();
    m_caption = nullptr;
    m_footer = nullptr;
    m_rect = nullptr;
    m_valueAxes.clear();
    m_timeAxis = {};
    m_series.clear();
    m_textBoxes.clear();

    if (!content.regions().empty()) {
        Region& region = *content.regions().front();
        QCPLayoutGrid* layout = m_plot.plotLayout();
        layout->setRowSpacing(2);
        int row = 0;
        if (region.findCaption()) {
            m_caption = new CaptionElement(&m_plot);
            layout->addElement(row++, 0, m_caption);
        }
        m_rect = new QCPAxisRect(&m_plot, false);
        m_rect->setLayer(QStringLiteral("background")); // its fill must stay under the grid lines
        layout->addElement(row++, 0, m_rect);
        if (!region.footer().isEmpty()) {
            m_footer = new QCPTextElement(&m_plot);
            layout->addElement(row++, 0, m_footer);
        }

        auto makeAxis = [this](QCPAxis::AxisType side) {
            Axis made{m_rect->addAxis(side), QSharedPointer<EvenTicker>::create()};
            made.axis->setTicker(made.ticker);
            made.axis->setLayer(QStringLiteral("axes"));
            made.axis->grid()->setLayer(QStringLiteral("grid"));
            made.axis->grid()->setVisible(true); // new axes come with their grid hidden
            return made;
        };
        for (int i = 1; i <= region.valueAxisCount(); ++i)
            m_valueAxes.push_back(
                makeAxis(region.valueAxis(i).alignment() == 2 ? QCPAxis::atRight : QCPAxis::atLeft));
        if (m_valueAxes.empty()) {
            m_valueAxes.push_back(makeAxis(QCPAxis::atLeft));
            m_valueAxes.back().axis->setVisible(false);
        }
        const TimeAxis* time = region.findTimeAxis();
        m_timeAxis = makeAxis(time && time->alignment() == 4 ? QCPAxis::atTop : QCPAxis::atBottom);
        m_timeAxis.axis->setTickLabels(false);
        if (!time)
            m_timeAxis.axis->setVisible(false);

        for (int i = 1; i <= region.lineSeriesCount(); ++i)
            m_series.push_back({m_plot.addGraph(m_timeAxis.axis, m_valueAxes.front().axis)});
    }

    // Text boxes and the outline sit above everything else and are placed in chart pixels.
    for (std::size_t i = 0; i < content.textBoxes().size(); ++i) {
        auto* item = new QCPItemText(&m_plot);
        item->setLayer(QStringLiteral("legend"));
        item->setClipToAxisRect(false);
        item->position->setType(QCPItemPosition::ptAbsolute);
        item->setPositionAlignment(Qt::AlignLeft | Qt::AlignTop);
        item->setTextAlignment(Qt::AlignLeft | Qt::AlignTop);
        m_textBoxes.push_back(item);
    }
    m_border = new QCPItemRect(&m_plot);
    m_border->setLayer(QStringLiteral("legend"));
    m_border->setClipToAxisRect(false);
    m_border->setAntialiased(false);
    m_border->setBrush(Qt::NoBrush);
    m_border->topLeft->setType(QCPItemPosition::ptAbsolute);
    m_border->bottomRight->setType(QCPItemPosition::ptAbsolute);

    m_shape = shapeOf(content);
}

void PlotMapping::apply(ChartContent& content, Look look) {
    const ChartSettings& settings = content.settings();
    const QRect viewport(0, 0, std::max(1, settings.width()), std::max(1, settings.height()));
    if (m_plot.viewport() != viewport)
        m_plot.setViewport(viewport); // also set while the widget is hidden and has had no resize event yet
    if (!m_border || shapeOf(content) != m_shape)
        rebuild(content);

    applyChart(settings, look);
    if (m_rect)
        applyRegion(*content.regions().front(), settings, look);
    applyTextBoxes(content, settings.fontName(), look);
}

void PlotMapping::applyChart(const ChartSettings& settings, Look look) {
    m_plot.setBackground(QBrush(background(settings.backColour(), look)));
    // Setting the image makes the plot rescale it, so only on a change (paper goes without it).
    const QString imagePath = look == Look::Screen ? settings.backgroundImage() : QString();
    if (imagePath != m_imagePath) {
        m_imagePath = imagePath;
        m_plot.setBackground(m_imagePath.isEmpty() ? QPixmap() : QPixmap(m_imagePath), true,
                             Qt::IgnoreAspectRatio);
    }

    const Border& border = settings.border();
    m_border->setVisible(settings.style() == 0);
    m_border->setPen(borderPen(border, look));
    const double inset = std::max(0, border.margin) + m_border->pen().widthF() / 2.0;
    m_border->topLeft->setCoords(inset, inset);
    m_border->bottomRight->setCoords(settings.width() - inset, settings.height() - inset);
}

void PlotMapping::applyRegion(Region& region, const ChartSettings& settings, Look look) {
    const QRect rect = regionRect(region, {settings.width(), settings.height()});
    QCPLayoutGrid* layout = m_plot.plotLayout();
    layout->setAutoMargins(QCP::msNone);
    layout->setMargins(QMargins(rect.left(), rect.top(), std::max(0, settings.width() - rect.right() - 1),
                                std::max(0, settings.height() - rect.bottom() - 1)));

    const QString& family = settings.fontName();
    Argb footerColour = colours::white;
    if (m_caption) {
        const Caption& caption = region.caption();
        m_caption->setText(caption.text());
        m_caption->setFont(chartFont(family, caption.fontSize(), caption.bold()));
        m_caption->setTextColor(ink(caption.textColour(), look));
        m_caption->setBackground(QBrush(background(caption.backColour(), look)));
        footerColour = caption.textColour();
    }
    if (m_footer) {
        m_footer->setText(region.footer());
        m_footer->setFont(chartFont(family, 8.0));
        m_footer->setTextColor(ink(footerColour, look));
    }

    // Plotting area. Grid offsets and sizes are taken from the area's cell (the region less caption and
    // footer).
    const Grid* grid = region.findGrid();
    const Argb gridBack = grid ? grid->backColour() : settings.backColour();
    const Argb accent = region.valueAxisCount() > 0 ? region.valueAxis(1).lineColour() : colours::white;
    QBrush fill(background(gridBack, look));
    if (grid && grid->gradient() != 0 && look == Look::Screen) {
        const QColor bottom = background(gridBack, look);
        const QColor top = ink(accent, look);
        QLinearGradient shade(0.0, 1.0, 0.0, 0.0);
        shade.setCoordinateMode(QGradient::ObjectMode);
        shade.setColorAt(0.0, bottom);
        shade.setColorAt(1.0,
                         QColor((3 * bottom.red() + top.red()) / 4, (3 * bottom.green() + top.green()) / 4,
                                (3 * bottom.blue() + top.blue()) / 4));
        fill = QBrush(shade);
    }
    m_rect->setBackground(fill);

    QCP::MarginSides autoSides = QCP::msAll;
    QMargins margins = m_rect->margins();
    if (grid) {
        auto textHeight = [](QCPLayoutElement* e) {
            return e ? e->minimumOuterSizeHint().height() + 2 : 0;
        };
        const int cellHeight = rect.height() - textHeight(m_caption) - textHeight(m_footer);
        if (grid->left() > 0) {
            autoSides &= ~QCP::msLeft;
            margins.setLeft(grid->left());
            if (grid->width() > 0) {
                autoSides &= ~QCP::msRight;
                margins.setRight(std::max(0, rect.width() - grid->left() - grid->width()));
            }
        }
        if (grid->top() > 0) {
            autoSides &= ~QCP::msTop;
            margins.setTop(grid->top());
            if (grid->height() > 0) {
                autoSides &= ~QCP::msBottom;
                margins.setBottom(std::max(0, cellHeight - grid->top() - grid->height()));
            }
        }
    }
    m_rect->setAutoMargins(autoSides);
    if (autoSides != QCP::msAll)
        m_rect->setMargins(margins);

    applyAxes(region, family, look);
    applySeries(region, look);
}

void PlotMapping::applyAxes(Region& region, const QString& family, Look look) {
    const Grid* grid = region.findGrid();
    const bool halfLines = grid && grid->bicolour() != 0;

    for (int i = 1; i <= region.valueAxisCount(); ++i) {
        ValueAxis& model = region.valueAxis(i);
        const Axis& made = m_valueAxes[static_cast<std::size_t>(i - 1)];
        QCPAxis& axis = *made.axis;
        made.ticker->setDivisions(std::max(1, model.tickCount() - 1)); // tick marks include both ends
        made.ticker->setDecimalDigits(model.decimalDigits());
        made.ticker->setUnit(model.unit());
        made.ticker->setSubTicks(halfLines ? 1 : 0);
        const QPen line(ink(model.lineColour(), look), 1, lineStyle(model.lineStyle()));
        axis.setBasePen(line);
        axis.setTickPen(line);
        axis.setSubTickPen(line);
        axis.setTickLabelFont(chartFont(family, model.fontSize()));
        axis.setTickLabelColor(ink(model.textColour(), look));
        axis.setLabel(model.title());
        axis.setLabelFont(chartFont(family, model.fontSize()));
        axis.setLabelColor(ink(model.textColour(), look));
        axis.grid()->setPen(QPen(gridColour(model.lineColour(), look, 100), 1, Qt::DotLine));
        axis.grid()->setZeroLinePen(QPen(gridColour(model.lineColour(), look, 115), 1, Qt::SolidLine));
        axis.grid()->setSubGridPen(QPen(gridColour(model.lineColour(), look, 55), 1, Qt::DotLine));
        axis.grid()->setSubGridVisible(halfLines);

        double largest = 0.0;
        for (int s = 1; s <= region.lineSeriesCount(); ++s) {
            const LineSeries& series = region.lineSeries(s);
            const int bound = series.valueAxis() >= 1 && series.valueAxis() <= region.valueAxisCount()
                                  ? series.valueAxis()
                                  : 1;
            if (bound == i)
                largest = std::max(largest, series.largestMagnitude());
        }
        const AxisRange range = model.rangeFor(largest);
        axis.setRange(range.lower, range.upper);
    }

    QCPAxis& axis = *m_timeAxis.axis;
    std::size_t samples = 0;
    for (int s = 1; s <= region.lineSeriesCount(); ++s)
        samples = std::max(samples, region.lineSeries(s).data().size());
    // One step per sample: the first sample sits on the left edge, the last on the right edge.
    axis.setRange(0.0, samples > 1 ? static_cast<double>(samples - 1) : 1.0);
    if (const TimeAxis* time = region.findTimeAxis()) {
        m_timeAxis.ticker->setDivisions(std::max(1, time->tickCount()));
        m_timeAxis.ticker->setSubTicks(halfLines ? 1 : 0);
        const QPen line(ink(time->lineColour(), look), 1, lineStyle(time->lineStyle()));
        axis.setVisible(time->axisCount() > 0);
        axis.setBasePen(line);
        axis.setTickPen(line);
        axis.setSubTickPen(line);
        axis.setLabel(time->title());
        axis.setLabelFont(chartFont(family, time->fontSize()));
        axis.setLabelColor(ink(time->textColour(), look));
        axis.grid()->setPen(QPen(gridColour(time->lineColour(), look, 100), 1, Qt::DotLine));
        axis.grid()->setZeroLinePen(Qt::NoPen);
        axis.grid()->setSubGridPen(QPen(gridColour(time->lineColour(), look, 55), 1, Qt::DotLine));
        axis.grid()->setSubGridVisible(halfLines);
    }
}

void PlotMapping::applySeries(Region& region, Look look) {
    for (int i = 1; i <= region.lineSeriesCount(); ++i) {
        const LineSeries& model = region.lineSeries(i);
        Series& made = m_series[static_cast<std::size_t>(i - 1)];
        QCPGraph& graph = *made.graph;
        const int bound = model.valueAxis() >= 1 && model.valueAxis() <= static_cast<int>(m_valueAxes.size())
                              ? model.valueAxis()
                              : 1;
        graph.setValueAxis(m_valueAxes[static_cast<std::size_t>(bound - 1)].axis);

        QColor colour = ink(model.colour(), look);
        if (model.translucent())
            colour.setAlpha(128);
        graph.setLineStyle(model.style() == 22  ? QCPGraph::lsStepLeft
                           : model.style() == 0 ? QCPGraph::lsNone
                                                : QCPGraph::lsLine);
        graph.setPen(QPen(colour, 1, lineStyle(model.lineStyle())));
        graph.setScatterStyle(QCPScatterStyle(symbolShape(model.symbol()), colour, 5));
        graph.setBrush(QBrush(colour, hatchStyle(model.hatch())));

        if (made.revision != model.dataRevision()) {
            setGraphValues(graph, model.data());
            made.revision = model.dataRevision();
        }
    }
}

void PlotMapping::applyTextBoxes(const ChartContent& content, const QString& family, Look look) {
    const QSize chartSize(content.settings().width(), content.settings().height());
    for (std::size_t i = 0; i < m_textBoxes.size(); ++i) {
        const TextBox& model = *content.textBoxes()[i];
        QCPItemText& item = *m_textBoxes[i];
        const QFont font = chartFont(family, model.fontSize(), model.bold());
        item.setVisible(!model.text().isEmpty()); // an empty box would show as a bare frame
        item.setText(model.text());
        item.setFont(font);
        item.setColor(ink(model.textColour(), look));
        item.setBrush(QBrush(background(model.backColour(), look)));
        item.setPen(model.style() == 1 ? borderPen(model.border(), look) : QPen(Qt::NoPen));

        // Padding grows a box to its set width and height; 0 fits it to the text.
        const QRect text =
            QFontMetrics(font).boundingRect(0, 0, 0, 0, Qt::TextDontClip | Qt::AlignLeft, model.text());
        const int margin = model.border().margin > 0 ? model.border().margin : 3;
        QMargins padding(margin, margin, margin, margin);
        if (model.width() > 0)
            padding.setRight(std::max(0, model.width() - margin - text.width()));
        if (model.height() > 0)
            padding.setBottom(std::max(0, model.height() - margin - text.height()));
        item.setPadding(padding);

        // A box that would run off the chart moves left (or up) just enough to stay whole on it.
        const int boxWidth = text.width() + padding.left() + padding.right();
        const int boxHeight = text.height() + padding.top() + padding.bottom();
        const int room = 3; // keeps the chart's outline clear
        const int left = std::max(0, std::min(model.left(), chartSize.width() - room - boxWidth));
        const int top = std::max(0, std::min(model.top(), chartSize.height() - room - boxHeight));
        item.position->setCoords(left, top);
    }
}

} // namespace chart
