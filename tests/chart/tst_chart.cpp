// Chart1 with the tracking-error layout: rebuilds, element lookup, the trace, axis limits and redraw pacing,
// checked on the content and on rendered pixels.
#include "chart/Chart.h"
#include "chart/ChartLayout.h"

#include "chart/ChartPixels.h"

#include <QElapsedTimer>
#include <QtTest>

#include <cmath>
#include <vector>

using namespace chartpixels;

namespace {

// A sweep that is +level on its first half and -level on its second half.
std::vector<double> stepTrace(std::size_t n, double level) {
    std::vector<double> values(n, level);
    for (std::size_t i = n / 2; i < n; ++i)
        values[i] = -level;
    return values;
}

// The freshly built chart, with an empty trace: what every other picture is compared with.
QImage freshChart() {
    chart::Chart Chart1;
    chart::DoTheChart(Chart1);
    return Chart1.toImage();
}

} // namespace

class ChartTest : public QObject {
    Q_OBJECT

private slots:
    void buildingTwiceGivesOneOfEach();
    void rebuildLeavesNothingOfTheEarlierBuild();
    void newDataAfterRebuildIsShown();
    void layoutTextsAndLimits();
    void missingElementIsDetached();
    void traceIsDrawnWhereTheDataAre();
    void emptyDataGivesEmptyTrace();
    void setLimitsHold_data();
    void setLimitsHold();
    void autoscaleFollowsData();
    void liveDrawsAreCoalescedAndShowTheNewest();
};

void ChartTest::buildingTwiceGivesOneOfEach() {
    chart::Chart Chart1;
    chart::DoTheChart(Chart1);
    chart::DoTheChart(Chart1);
    QCOMPARE(Chart1.regionCount(), 1);
    QCOMPARE(Chart1.region(1).lineSeriesCount(), 1);
    QCOMPARE(Chart1.region(1).valueAxisCount(), 1);
    QCOMPARE(Chart1.textBoxCount(), 2);
    QCOMPARE(Chart1.size(), QSize(chart::chartWidth, chart::chartHeight));
}

void ChartTest::rebuildLeavesNothingOfTheEarlierBuild() {
    chart::Chart Chart1;
    chart::DoTheChart(Chart1);
    const auto oldSeries = Chart1.region(1).lineSeries(1).id();
    const auto oldBox = Chart1.textBox(1).id();
    const std::vector<double> spike(121, 12.0);
    Chart1.region(1).lineSeries(1).setData(spike);
    Chart1.region(1).valueAxis(1).setMinimum(-19.2);
    Chart1.textBox(1).setText(QStringLiteral("5.0 Hz, 24 Seconds Range, 2 Seconds/Division"));
    Chart1.textBox(2).setText(QStringLiteral("TE: 1.000 ±2.000 arcsecond, 95% PI, 0.354 arcsecond RMS"));
    Chart1.draw(false);
    Chart1.flush();

    chart::DoTheChart(Chart1);
    QVERIFY(Chart1.region(1).lineSeries(1).id() != oldSeries);
    QVERIFY(Chart1.textBox(1).id() != oldBox);
    QVERIFY(Chart1.region(1).lineSeries(1).data().empty());
    QVERIFY(!Chart1.region(1).valueAxis(1).minimum().has_value());
    QCOMPARE(Chart1.textBox(1).text(), QStringLiteral("1.0 Hz, 120 Seconds Range"));
    QVERIFY(Chart1.textBox(2).text().isEmpty());

    // Nothing of the old trace, axis range or statistics box is drawn.
    QCOMPARE(Chart1.toImage(), freshChart());
    QCOMPARE(Chart1.region(1).valueAxis(1).shownRange(), (chart::AxisRange{-1.0, 1.0}));
}

void ChartTest::newDataAfterRebuildIsShown() {
    chart::Chart Chart1;
    chart::DoTheChart(Chart1);
    Chart1.region(1).lineSeries(1).setData(std::vector<double>(121, 0.5));
    Chart1.draw(false);
    Chart1.flush();
    chart::DoTheChart(Chart1);
    Chart1.region(1).lineSeries(1).setData(std::vector<double>(121, -0.5));
    Chart1.draw(false);

    const QImage image = Chart1.toImage();
    const QImage empty = freshChart();
    const QRect plot = plotArea(image);
    const QRect upper(plot.left() + 10, plot.top(), plot.width() - 20, plot.height() / 2 - 2);
    const QRect lower(plot.left() + 10, plot.center().y() + 2, plot.width() - 20, plot.height() / 2 - 10);
    QCOMPARE(changedBounds(image, empty, upper), QRect());
    QVERIFY(changedBounds(image, empty, lower).width() > lower.width() - 4);
}

void ChartTest::layoutTextsAndLimits() {
    chart::Chart Chart1;
    chart::DoTheChart(Chart1);
    QCOMPARE(Chart1.region(1).caption().text(), QStringLiteral("QEL Tracking Error (Arcseconds)"));
    QCOMPARE(Chart1.region(1).valueAxis(1).title(), QStringLiteral("Tracking Error"));
    QVERIFY(!Chart1.region(1).valueAxis(1).minimum().has_value());
    QVERIFY(!Chart1.region(1).valueAxis(1).maximum().has_value());

    // Title, axis title and labels, and the rate caption are red on black.
    const QImage image = Chart1.toImage();
    const QRect plot = plotArea(image);
    const QRect title(plot.center().x() - 150, 5, 300, plot.top() - 5);
    QVERIFY2(count(image, title, brightRed) > 150, "title text missing");
    QVERIFY(count(image, title, nearBlack) > title.width() * title.height() / 2);
    QVERIFY2(count(image, QRect(5, plot.top(), plot.left() - 8, plot.height()), brightRed) > 100,
             "value axis title and labels missing");
    QVERIFY2(count(image, QRect(700, 5, 180, 20), brightRed) > 50, "text box 1 missing");
    const QRect inside = interior(plot);
    QVERIFY(count(image, inside, nearBlack) > inside.width() * inside.height() * 9 / 10);
    QVERIFY(nearBlack(image.pixel(3, 150)));
    // No bright red below the bottom axis: the time axis carries no labels.
    QCOMPARE(count(image, QRect(plot.left() + 10, plot.bottom() + 2, plot.width() - 20, 4), brightRed), 0);
}

void ChartTest::missingElementIsDetached() {
    chart::Chart Chart1;
    chart::DoTheChart(Chart1);
    const QImage before = Chart1.toImage();
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("region 2 does not exist"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("text box 3 does not exist"));
    Chart1.region(2).addLineSeries().setData(std::vector<double>(100, 0.5));
    Chart1.textBox(3).setText(QStringLiteral("stray"));
    Chart1.draw(true);
    QCOMPARE(Chart1.regionCount(), 1);
    QCOMPARE(Chart1.textBoxCount(), 2);
    QCOMPARE(Chart1.toImage(), before);
}

void ChartTest::traceIsDrawnWhereTheDataAre() {
    chart::Chart Chart1;
    chart::DoTheChart(Chart1);
    const std::vector<double> trace = stepTrace(1921, 0.5);
    Chart1.region(1).lineSeries(1).setData(trace);
    Chart1.draw(false);

    const QImage image = Chart1.toImage();
    const QImage empty = freshChart();
    const QRect plot = plotArea(image);
    QVERIFY(plot.width() > 700 && plot.height() > 200);
    // The trace is what differs from the empty chart (grid lines and their crossings are not trace).
    const int middle = plot.center().y();
    const QRect leftHalf(plot.left() + 10, plot.top(), plot.width() / 2 - 20, plot.height());
    const QRect rightHalf(plot.center().x() + 10, plot.top(), plot.width() / 2 - 20, plot.height());
    const QRect upperLeft = changedBounds(image, empty, leftHalf.adjusted(0, 0, 0, -leftHalf.height() / 2));
    const QRect lowerRight = changedBounds(image, empty, rightHalf.adjusted(0, rightHalf.height() / 2, 0, 0));
    QVERIFY2(upperLeft.width() > leftHalf.width() - 4, "trace missing in the first half");
    QVERIFY2(lowerRight.width() > rightHalf.width() - 4, "trace missing in the second half");
    // +0.5 on a +-1 axis sits a quarter of the way down, -0.5 three quarters.
    QVERIFY(std::abs(upperLeft.center().y() - (plot.top() + plot.height() / 4)) <= 2);
    QVERIFY(std::abs(lowerRight.center().y() - (plot.top() + 3 * plot.height() / 4)) <= 2);
    QVERIFY(upperLeft.height() <= 3 && lowerRight.height() <= 3);
    QVERIFY(brightRed(image.pixel(upperLeft.center().x(), upperLeft.top())) ||
            brightRed(image.pixel(upperLeft.center().x(), upperLeft.bottom())));
    QCOMPARE(changedBounds(image, empty, leftHalf.adjusted(0, leftHalf.height() / 2 + 2, 0, 0)), QRect());
    // The sweep spans the full width: the first point at the left edge, the last at the right edge.
    QVERIFY(
        changedBounds(image, empty, QRect(plot.left() + 1, plot.top(), 3, middle - plot.top())).isValid());
    QVERIFY(
        changedBounds(image, empty, QRect(plot.right() - 3, middle, 3, plot.bottom() - middle)).isValid());
}

void ChartTest::emptyDataGivesEmptyTrace() {
    chart::Chart Chart1;
    chart::DoTheChart(Chart1);
    Chart1.region(1).lineSeries(1).setData(stepTrace(1921, 0.5));
    Chart1.draw(true);
    Chart1.region(1).lineSeries(1).setData({});
    Chart1.draw(false);
    QVERIFY(Chart1.region(1).lineSeries(1).data().empty());
    QCOMPARE(Chart1.toImage(), freshChart());
}

void ChartTest::setLimitsHold_data() {
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    // NaN = not set by the program. Data: a spike to +12 in a calm trace, so the autoscale alone gives +-20.
    const double unset = std::nan("");
    QTest::newRow("both set") << -3.0 << 3.0 << -3.0 << 3.0;
    QTest::newRow("minimum only") << -19.2 << unset << -19.2 << 20.0;
    QTest::newRow("maximum only") << unset << 19.2 << -20.0 << 19.2;
    QTest::newRow("neither") << unset << unset << -20.0 << 20.0;
}

void ChartTest::setLimitsHold() {
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, lower);
    QFETCH(double, upper);
    chart::Chart Chart1;
    chart::DoTheChart(Chart1);
    chart::ValueAxis& axis = Chart1.region(1).valueAxis(1);
    if (!std::isnan(minimum))
        axis.setMinimum(minimum);
    if (!std::isnan(maximum))
        axis.setMaximum(maximum);
    std::vector<double> trace(480, 0.25);
    for (const double spike : {12.0, 0.5}) { // the limits also hold when the data calm down again
        trace[200] = spike;
        Chart1.region(1).lineSeries(1).setData(trace);
        Chart1.draw(false);
        Chart1.flush();
        if (spike > 1.0 || (!std::isnan(minimum) && !std::isnan(maximum)))
            QCOMPARE(axis.shownRange(), (chart::AxisRange{lower, upper}));
    }
    if (!std::isnan(minimum))
        QCOMPARE(axis.shownRange().lower, minimum);
    if (!std::isnan(maximum))
        QCOMPARE(axis.shownRange().upper, maximum);
}

void ChartTest::autoscaleFollowsData() {
    chart::Chart Chart1;
    chart::DoTheChart(Chart1);
    chart::ValueAxis& axis = Chart1.region(1).valueAxis(1);
    struct Step {
        double value;
        double halfSpan;
    };
    const Step steps[] = {{0.0, 1.0}, {0.5, 1.0}, {12.0, 20.0}, {8.0, 20.0}, {0.375, 1.0}, {-16.0, 20.0}};
    for (const Step& step : steps) {
        Chart1.region(1).lineSeries(1).setData(std::vector<double>(121, step.value));
        Chart1.draw(false);
        Chart1.flush();
        QCOMPARE(axis.shownRange(), (chart::AxisRange{-step.halfSpan, step.halfSpan}));
    }
}

void ChartTest::liveDrawsAreCoalescedAndShowTheNewest() {
    chart::Chart Chart1;
    chart::DoTheChart(Chart1);
    Chart1.show();
    QVERIFY(QTest::qWaitForWindowExposed(&Chart1));
    QTest::qWait(50);
    const int before = Chart1.drawCount();

    // 1000 updates as fast as they come: far more than the screen can show.
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 1000; ++i) {
        Chart1.region(1).lineSeries(1).setData(stepTrace(1921, i % 2 == 0 ? 0.5 : -0.5));
        Chart1.draw(false);
    }
    const qint64 spent = clock.elapsed();
    QCOMPARE(Chart1.drawCount(), before); // nothing drawn inside the burst
    QTest::qWait(60);
    const int drawn = Chart1.drawCount() - before;
    QVERIFY2(drawn >= 1 && drawn <= 2, qPrintable(QString::number(drawn)));
    QVERIFY2(spent < 500, qPrintable(QString::number(spent)));

    // The last buffer (i = 999: -0.5 then +0.5) is what is shown.
    const QImage image = Chart1.toImage();
    const QImage empty = freshChart();
    const QRect plot = plotArea(image);
    const QRect upperLeft(plot.left() + 10, plot.top(), plot.width() / 2 - 20, plot.height() / 2 - 4);
    const QRect upperRight(plot.center().x() + 10, plot.top(), plot.width() / 2 - 20, plot.height() / 2 - 4);
    QCOMPARE(changedBounds(image, empty, upperLeft), QRect());
    QVERIFY(changedBounds(image, empty, upperRight).width() > upperRight.width() - 4);

    // Updates spread over time draw at most about once per 16 ms frame.
    const int start = Chart1.drawCount();
    clock.restart();
    while (clock.elapsed() < 200) {
        Chart1.region(1).lineSeries(1).setData(stepTrace(1921, 0.5));
        Chart1.draw(false);
        QTest::qWait(1);
    }
    const int perFrame = Chart1.drawCount() - start;
    QVERIFY2(perFrame >= 2 && perFrame <= 14, qPrintable(QString::number(perFrame)));
}

QTEST_MAIN(ChartTest)
#include "tst_chart.moc"
