// The value axis's range: the autoscale rule used until the program sets a limit, and how set limits and the
// autoscale combine. Plain C++; the chart control calls it at every draw.
#pragma once

#include <optional>
#include <span>

namespace chart {

struct AxisRange {
    double lower = 0.0;
    double upper = 0.0;
    friend bool operator==(const AxisRange&, const AxisRange&) = default;
};

// The largest magnitude among the finite values (NaN and infinities are gaps, not data); 0 for no values.
double largestMagnitude(std::span<const double> values);

// Symmetric autoscale around zero with hysteresis, in the data's unit (arcseconds for the trace).
//
// The half span is always a "nice" number (1, 2, 2.5 or 5 times a power of ten) and never below floor().
// It grows at once when the data come within 10 % of the edge (growTo = nice(largest / 0.9)), so the trace
// never touches the frame, and it shrinks only when the data have fallen to 70 % of a smaller nice span or
// less (nice(largest / 0.7) < current). Between those two thresholds it stays put, so data wandering around
// one boundary do not make the axis jump from point to point.
class AutoScale {
public:
    static constexpr double floor() { return 1.0; }
    static constexpr double growAt() { return 0.9; }
    static constexpr double shrinkAt() { return 0.7; }

    // Feeds the largest magnitude now shown; returns the half span to draw with.
    double update(double largest);
    double halfSpan() const { return m_halfSpan; }

    // The smallest nice number (1, 2, 2.5, 5 x 10^k) that is >= x; floor() for x <= floor().
    static double niceAtLeast(double x);

private:
    double m_halfSpan = floor();
};

// The range the axis shows. A limit the program has set holds on its own side; the other side follows the
// autoscale half span. Non-finite limits count as not set. A set minimum at or above the free maximum pushes
// the maximum up to minimum + 2 x halfSpan (and the mirror case); both limits set but reversed are swapped,
// equal limits are widened by halfSpan either way, so the result is always a usable range with lower < upper.
AxisRange resolveRange(std::optional<double> minimum, std::optional<double> maximum, double halfSpan);

} // namespace chart
