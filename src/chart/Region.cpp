// Chart region: adding and fetching its elements; also the value axis's range and the series' data.
#include "chart/Region.h"

#include <atomic>

namespace chart {

namespace {
std::atomic<std::uint64_t> nextRevision{1};
}

Caption& Region::addCaption() {
    m_caption = std::make_unique<Caption>();
    return *m_caption;
}

Caption& Region::caption() {
    return m_caption ? *m_caption : detachedElement<Caption>("caption", 1);
}

Grid& Region::addGrid() {
    m_grid = std::make_unique<Grid>();
    return *m_grid;
}

Grid& Region::grid() {
    return m_grid ? *m_grid : detachedElement<Grid>("grid", 1);
}

ValueAxis& Region::addValueAxis() {
    return *m_valueAxes.emplace_back(std::make_unique<ValueAxis>());
}

ValueAxis& Region::valueAxis(int n) {
    return elementAt(m_valueAxes, n, "value axis");
}

TimeAxis& Region::addTimeAxis() {
    m_timeAxis = std::make_unique<TimeAxis>();
    return *m_timeAxis;
}

TimeAxis& Region::timeAxis() {
    return m_timeAxis ? *m_timeAxis : detachedElement<TimeAxis>("time axis", 1);
}

LineSeries& Region::addLineSeries() {
    return *m_series.emplace_back(std::make_unique<LineSeries>());
}

LineSeries& Region::lineSeries(int n) {
    return elementAt(m_series, n, "line series");
}

AxisRange ValueAxis::rangeFor(double largest) {
    const double halfSpan = m_autoScale.update(largest);
    m_shown = resolveRange(m_minimum, m_maximum, halfSpan);
    return m_shown;
}

void LineSeries::setData(std::span<const double> values) {
    m_data.assign(values.begin(), values.end());
    m_largest = chart::largestMagnitude(values);
    m_revision = nextRevision.fetch_add(1, std::memory_order_relaxed);
}

} // namespace chart
