// SeriesPlot over QCustomPlot: one graph per series, a filled pair of graphs per band, QCPItemText labels.
#include "chart/SeriesPlot.h"

#include <qcustomplot.h>

#include <QPicture>
#include <QVBoxLayout>

#include <cmath>
#include <limits>

namespace chart {

struct SeriesPlot::Impl {
    QCustomPlot* plot = nullptr;
    QCPTextElement* title = nullptr;
    bool logarithmicX = false;

    QCPGraph* graph(const std::vector<double>& x, const std::vector<double>& y, const QString& name) {
        QCPGraph* g = plot->addGraph();
        const int n = static_cast<int>(std::min(x.size(), y.size()));
        QVector<double> keys(n), values(n);
        for (int i = 0; i < n; ++i) {
            keys[i] = x[static_cast<std::size_t>(i)];
            values[i] = y[static_cast<std::size_t>(i)];
        }
        g->setData(keys, values); // sorts by key: the spectrum comes in falling period
        g->setName(name);
        if (name.isEmpty())
            g->removeFromLegend();
        else
            plot->legend->setVisible(true);
        return g;
    }
};

SeriesPlot::SeriesPlot(QWidget* parent)
    : QWidget(parent)
    , d(std::make_unique<Impl>()) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    d->plot = new QCustomPlot(this);
    layout->addWidget(d->plot);
    d->plot->plotLayout()->insertRow(0);
    d->title = new QCPTextElement(d->plot, QString(), QFont(QStringLiteral("DejaVu Sans"), 10, QFont::Bold));
    d->plot->plotLayout()->addElement(0, 0, d->title);
    d->plot->legend->setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
    d->plot->axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignRight);
    // A redraw asks for a paint as any widget does. QCustomPlot's default paints at once, and with it
    // everything else the window had waiting (a table filled in the same turn): one task of both costs.
    d->plot->setPlottingHint(QCP::phImmediateRefresh, false);
    setMinimumSize(240, 160);
}

SeriesPlot::~SeriesPlot() = default;

void SeriesPlot::clear() {
    d->plot->clearGraphs();
    d->plot->clearItems();
    d->plot->legend->setVisible(false);
    d->title->setText(QString());
}

void SeriesPlot::setTitle(const QString& title) {
    d->title->setText(title);
}

void SeriesPlot::setAxisTitles(const QString& x, const QString& y) {
    d->plot->xAxis->setLabel(x);
    d->plot->yAxis->setLabel(y);
}

void SeriesPlot::setLogarithmicX(bool logarithmic) {
    d->logarithmicX = logarithmic;
    d->plot->xAxis->setScaleType(logarithmic ? QCPAxis::stLogarithmic : QCPAxis::stLinear);
    if (logarithmic)
        d->plot->xAxis->setTicker(QSharedPointer<QCPAxisTickerLog>(new QCPAxisTickerLog));
    else
        d->plot->xAxis->setTicker(QSharedPointer<QCPAxisTicker>(new QCPAxisTicker));
}

void SeriesPlot::setLegendColumns(int columns) {
    d->plot->legend->setWrap(std::max(columns, 1));
    d->plot->legend->setFillOrder(QCPLayoutGrid::foColumnsFirst,
                                  true); // also moves the entries already there
}

void SeriesPlot::setColours(const QColor& background, const QColor& foreground, const QColor& grid) {
    QCustomPlot* p = d->plot;
    p->setBackground(background);
    p->axisRect()->setBackground(background);
    for (QCPAxis* axis : p->axisRect()->axes()) {
        axis->setBasePen(QPen(foreground));
        axis->setTickPen(QPen(foreground));
        axis->setSubTickPen(QPen(foreground));
        axis->setTickLabelColor(foreground);
        axis->setLabelColor(foreground);
        axis->grid()->setPen(QPen(grid, 0, Qt::DotLine));
        axis->grid()->setZeroLinePen(QPen(grid, 0, Qt::SolidLine));
    }
    d->title->setTextColor(foreground);
    QColor legend = background;
    legend.setAlpha(210); // curves stay visible under the legend
    p->legend->setBrush(legend);
    p->legend->setBorderPen(QPen(foreground));
    p->legend->setTextColor(foreground);
    p->replot(QCustomPlot::rpQueuedReplot);
}

void SeriesPlot::addCurve(const std::vector<double>& x, const std::vector<double>& y, const QColor& color,
                          double width, const QString& name) {
    QCPGraph* g = d->graph(x, y, name);
    g->setPen(QPen(color, width));
}

void SeriesPlot::addScatter(const std::vector<double>& x, const std::vector<double>& y, const QColor& color,
                            double size, const QString& name) {
    QCPGraph* g = d->graph(x, y, name);
    g->setLineStyle(QCPGraph::lsNone);
    g->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, color, color, size));
}

void SeriesPlot::addBand(const std::vector<double>& x, const std::vector<double>& lower,
                         const std::vector<double>& upper, const QColor& color, const QString& name) {
    QCPGraph* low = d->graph(x, lower, QString());
    low->setPen(Qt::NoPen);
    QCPGraph* high = d->graph(x, upper, name);
    high->setPen(Qt::NoPen);
    high->setBrush(color);
    high->setChannelFillGraph(low);
}

void SeriesPlot::addLabel(double x, double y, const QString& text, const QColor& color) {
    auto* label = new QCPItemText(d->plot);
    label->position->setCoords(x, y);
    label->setPositionAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    label->setText(text);
    label->setColor(color);
    label->setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
    label->setClipToAxisRect(false);
}

void SeriesPlot::rescale() {
    d->plot->rescaleAxes(true);
    const QCPRange y = d->plot->yAxis->range();
    const double margin = std::max(0.08 * y.size(), 0.1);
    d->plot->yAxis->setRange(y.lower - margin, y.upper + margin * 2.5); // room for labels on top
    d->plot->replot(QCustomPlot::rpQueuedReplot);
}

void SeriesPlot::setXRange(double lo, double hi) {
    d->plot->xAxis->setRange(lo, hi);
    d->plot->replot(QCustomPlot::rpQueuedReplot);
}

void SeriesPlot::render(QPainter& painter, const QRectF& target, int width, int height) {
    // Recorded into a picture first (vector), then scaled: drawPicture already scales by the device's
    // resolution over the picture's, which the scale below takes back out.
    QPicture picture;
    {
        QCPPainter recorder(&picture);
        recorder.setMode(QCPPainter::pmVectorized);
        recorder.setMode(QCPPainter::pmNonCosmetic);
        d->plot->toPainter(&recorder, width, height);
    }
    const double deviceDpi = painter.device() ? painter.device()->logicalDpiX() : 96.0;
    const double dpiScale = deviceDpi / picture.logicalDpiX();
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / width / dpiScale, target.height() / height / dpiScale);
    painter.drawPicture(0, 0, picture);
    painter.restore();
}

bool SeriesPlot::savePng(const QString& path, int width, int height) {
    return d->plot->savePng(path, width, height);
}

bool SeriesPlot::savePdf(const QString& path, int width, int height) {
    return d->plot->savePdf(path, width, height);
}

} // namespace chart
