// DoTheChart: the tracking-error chart, red on black.
#include "chart/ChartLayout.h"

#include "chart/Argb.h"
#include "chart/Chart.h"

namespace chart {

void DoTheChart(Chart& Chart1) {
    using namespace colours;

    Chart1.reset();

    ChartSettings& settings = Chart1.settings();
    settings.setBackColour(black);
    settings.setStyle(0);
    settings.setWidth(chartWidth);
    settings.setHeight(chartHeight);
    settings.setBackgroundImage(QString());
    settings.setFontName(QStringLiteral("Arial"));
    settings.setBorderStyle(0);
    settings.setBorderWidth(0);
    settings.setBorderColour(darkRed);
    settings.setBorderMargin(0);

    Region& region = Chart1.addRegion();
    region.setLeft(5);
    region.setTop(5);
    region.setWidth(-5);
    region.setHeight(-5);
    region.setFooter(QString());

    Caption& caption = region.addCaption();
    caption.setText(QStringLiteral("QEL Tracking Error (Arcseconds)"));
    caption.setBackColour(black);
    caption.setTextColour(red);
    caption.setFontSize(12);
    caption.setBold(true);

    Grid& grid = region.addGrid();
    grid.setBackColour(black);
    grid.setGradient(0);
    grid.setBicolour(0);
    grid.setLeft(0);
    grid.setTop(0);
    grid.setWidth(0);
    grid.setHeight(0);

    ValueAxis& value = region.addValueAxis();
    value.setAlignment(1);
    value.setTickCount(11);
    value.setFontSize(8);
    value.setTextColour(red);
    value.setLineColour(red);
    value.setLineStyle(0);
    value.setDecimalDigits(1);
    value.setUnit(QString());
    value.setTitle(QStringLiteral("Tracking Error"));

    TimeAxis& time = region.addTimeAxis();
    time.setAxisCount(1);
    time.setTickCount(12);
    time.setAlignment(8);
    time.setFontSize(8);
    time.setTextColour(red);
    time.setTextAlignment(0);
    time.setLineColour(red);
    time.setLineStyle(0);
    time.setTitle(QString());

    LineSeries& trace = region.addLineSeries();
    trace.setType(21);
    trace.setStyle(21);
    trace.setLineStyle(1);
    trace.setTranslucent(false);
    trace.setColour(red);
    trace.setSymbol(0);
    trace.setValueAxis(1);
    trace.setValueLabels(0);
    trace.setHatch(0);

    TextBox& rate = Chart1.addTextBox();
    rate.setText(QStringLiteral("1.0 Hz, 120 Seconds Range"));
    rate.setLeft(700);
    rate.setTop(5);
    rate.setWidth(0);
    rate.setHeight(0);
    rate.setStyle(0);
    rate.setBackColour(black);
    rate.setTextColour(red);
    rate.setBorderStyle(0);
    rate.setBorderWidth(0);
    rate.setBorderColour(red);
    rate.setBorderMargin(0);
    rate.setBold(false);
    rate.setFontSize(10);

    TextBox& statistics = Chart1.addTextBox();
    statistics.setText(QString());
    statistics.setLeft(580);
    statistics.setTop(235);
    statistics.setWidth(0);
    statistics.setHeight(0);
    statistics.setStyle(1);
    statistics.setBackColour(black);
    statistics.setTextColour(red);
    statistics.setBorderStyle(0);
    statistics.setBorderWidth(0);
    statistics.setBorderColour(red);
    statistics.setBorderMargin(0);
    statistics.setBold(true);
    statistics.setFontSize(12);

    Chart1.draw(true);
}

} // namespace chart
