// Chart1 with the tracking-error layout: rebuilds, the trace on rendered pixels, axis limits and redraw
// pacing.
#include "chart/Chart.h"
#include "chart/ChartLayout.h"

#include "chart/ChartPixels.h"

#include <QtTest>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace chartpixels;

namespace {

// A sweep that is +level on its first half and -level on its second half.
std::vector<double> stepTrace(double level) {
    std::vector<double> values(1921, level);
    std::fill(values.begin() + 960, values.end(), -level);
    return values;
}

QImage freshChart() {
    chart::Chart Chart1;
    chart::DoTheChart(Chart1);
    return Chart1.toImage();
}

void setTrace(chart::Chart& Chart1, const std::vector<double>& values) {
    Chart1.region(1).lineSeries(1).setData(values);
    Chart1.draw(false);
    QTRY_VERIFY(!Chart1.drawPending()); // drawn at the next screen refresh
}

// The trace in one quarter of the plotting area: where the picture differs from the freshly built chart,
// clear of the axes, the zero line and the middle column where a step trace jumps.
struct Quarter {
    QRect area, trace;
    bool crossed() const { return trace.width() > area.width() - 4; }
};

Quarter traceIn(const QImage& image, bool upper, bool left) {
    static const QImage empty = freshChart();
    const QRect plot = plotArea(image);
    const QRect area(left ? plot.left() + 1 : plot.center().x() + 10,
                     upper ? plot.top() : plot.center().y() + 2, plot.width() / 2 - 10,
                     plot.height() / 2 - 2);
    return {area, bounds(image, area, &empty)};
}

} // namespace

class ChartTest : public QObject {
    Q_OBJECT

private slots:
    void rebuildGivesNewElementsAndNothingOld() {
        chart::Chart Chart1;
        chart::DoTheChart(Chart1);
        const auto oldSeries = Chart1.region(1).lineSeries(1).id();
        const auto oldBox = Chart1.textBox(1).id();
        Chart1.region(1).valueAxis(1).setMinimum(-19.2);
        Chart1.textBox(1).setText(QStringLiteral("5.0 Hz, 24 Seconds Range, 2 Seconds/Division"));
        Chart1.textBox(2).setText(QStringLiteral("TE: 1.000 ±2.000 arcsecond, 95% PI, 0.354 arcsecond RMS"));
        setTrace(Chart1, std::vector<double>(121, 0.5));

        chart::DoTheChart(Chart1);
        // Elements that do not exist are detached stand-ins: a warning, nothing drawn, nothing added.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("region 2 does not exist"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("text box 3 does not exist"));
        Chart1.region(2).addLineSeries().setData(std::vector<double>(100, 0.5));
        Chart1.textBox(3).setText(QStringLiteral("stray"));
        QVERIFY(Chart1.regionCount() == 1 && Chart1.region(1).lineSeriesCount() == 1 &&
                Chart1.textBoxCount() == 2);
        QVERIFY(Chart1.region(1).lineSeries(1).id() != oldSeries && Chart1.textBox(1).id() != oldBox);
        // Nothing of the old trace, axis limit or texts is drawn.
        Chart1.draw(true);
        QCOMPARE(Chart1.toImage(), freshChart());

        // What is set through the numbers after the rebuild is what is drawn.
        setTrace(Chart1, std::vector<double>(121, -0.5));
        const QImage image = Chart1.toImage();
        QCOMPARE(traceIn(image, true, true).trace, QRect());
        QVERIFY(traceIn(image, false, true).crossed() && traceIn(image, false, false).crossed());
    }

    void traceIsDrawnWhereTheDataAre() {
        chart::Chart Chart1;
        chart::DoTheChart(Chart1);
        setTrace(Chart1, stepTrace(0.5));
        const QImage image = Chart1.toImage();
        const QRect plot = plotArea(image);
        QVERIFY(plot.width() > 700 && plot.height() > 200);

        // +0.5 on a +-1 axis runs a quarter of the way down across the first half, -0.5 three quarters down
        // across the second; a thin bright red line, nothing elsewhere.
        const Quarter first = traceIn(image, true, true), second = traceIn(image, false, false);
        QVERIFY2(first.crossed() && second.crossed(), "trace does not span the sweep");
        QVERIFY(std::abs(first.trace.center().y() - (plot.top() + plot.height() / 4)) <= 2);
        QVERIFY(std::abs(second.trace.center().y() - (plot.top() + 3 * plot.height() / 4)) <= 2);
        QVERIFY(first.trace.height() <= 3 && second.trace.height() <= 3);
        QVERIFY(count(image, first.trace, brightRed) > first.area.width() - 4);
        QCOMPARE(traceIn(image, false, true).trace, QRect());

        // An empty array empties the trace.
        setTrace(Chart1, {});
        QVERIFY(Chart1.region(1).lineSeries(1).data().empty());
        QCOMPARE(Chart1.toImage(), freshChart());
    }

    void setLimitsHoldAgainstTheAutoscale() {
        // A calm trace with a spike: to 12 (autoscale +-20), to 8 (+-20 held), then none (+-1); the set
        // minimum holds throughout. Each way of combining set limits with the autoscale: test_autoscale.
        chart::Chart Chart1;
        chart::DoTheChart(Chart1);
        chart::ValueAxis& axis = Chart1.region(1).valueAxis(1);
        axis.setMinimum(-19.2);
        const std::pair<double, chart::AxisRange> steps[] = {
            {12.0, {-19.2, 20.0}}, {8.0, {-19.2, 20.0}}, {0.25, {-19.2, 1.0}}};
        for (const auto& [spike, range] : steps) {
            std::vector<double> trace(480, 0.25);
            trace[200] = spike;
            setTrace(Chart1, trace);
            QVERIFY2(axis.shownRange() == range, qPrintable(QStringLiteral("spike %1").arg(spike)));
        }
    }

    void liveDrawsAreCoalescedAndShowTheNewest() {
        chart::Chart Chart1;
        chart::DoTheChart(Chart1);
        Chart1.show();
        QVERIFY(QTest::qWaitForWindowExposed(&Chart1));
        setTrace(Chart1, stepTrace(0.5)); // what the bursts replace

        // Two bursts of updates as fast as they come, far more than the screen can show: none drawn inside a
        // burst, exactly one after it, and that one shows the burst's last buffer (-0.5 then +0.5, then the
        // other way round).
        for (const bool risingLast : {true, false}) {
            QTRY_VERIFY(!Chart1.drawPending());
            const int before = Chart1.drawCount();
            for (int i = 0; i < 1000; ++i) {
                const bool rising = (i % 2 == 1) == risingLast;
                Chart1.region(1).lineSeries(1).setData(stepTrace(rising ? 0.5 : -0.5));
                Chart1.draw(false);
            }
            QCOMPARE(Chart1.drawCount(), before);
            QTRY_VERIFY(!Chart1.drawPending());
            QCOMPARE(Chart1.drawCount(), before + 1);
            const QImage image = Chart1.toImage();
            QCOMPARE(traceIn(image, true, !risingLast).trace, QRect());
            QVERIFY(traceIn(image, true, risingLast).crossed());
        }
    }
};

QTEST_MAIN(ChartTest)
#include "tst_chart.moc"
