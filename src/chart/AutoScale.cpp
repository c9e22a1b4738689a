// Autoscale rule of the value axis; see AutoScale.h.
#include "chart/AutoScale.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace chart {

double largestMagnitude(std::span<const double> values) {
    double largest = 0.0;
    for (const double v : values) {
        if (std::isfinite(v))
            largest = std::max(largest, std::abs(v));
    }
    return largest;
}

double AutoScale::niceAtLeast(double x) {
    if (!(x > floor())) // also catches NaN
        return floor();
    if (!std::isfinite(x))
        return x;
    static constexpr std::array<double, 4> steps{1.0, 2.0, 2.5, 5.0};
    double decade = std::pow(10.0, std::floor(std::log10(x)));
    // Guard the decade against log10 rounding just below an exact power of ten.
    if (decade > x)
        decade /= 10.0;
    for (int i = 0; i < 2; ++i, decade *= 10.0) {
        for (const double s : steps) {
            const double candidate = s * decade;
            if (!std::isfinite(candidate))
                return x;
            if (candidate >= x)
                return candidate;
        }
    }
    return x; // unreachable for finite x; keeps the contract if it ever is
}

double AutoScale::update(double largest) {
    if (!std::isfinite(largest))
        return m_halfSpan;
    largest = std::abs(largest);
    if (largest > growAt() * m_halfSpan) {
        m_halfSpan = niceAtLeast(largest / growAt());
    } else {
        const double smaller = niceAtLeast(largest / shrinkAt());
        if (smaller < m_halfSpan)
            m_halfSpan = smaller;
    }
    return m_halfSpan;
}

AxisRange resolveRange(std::optional<double> minimum, std::optional<double> maximum, double halfSpan) {
    if (!std::isfinite(halfSpan) || halfSpan <= 0.0)
        halfSpan = AutoScale::floor();
    if (minimum && !std::isfinite(*minimum))
        minimum.reset();
    if (maximum && !std::isfinite(*maximum))
        maximum.reset();

    if (minimum && maximum) {
        auto [lo, hi] = std::minmax(*minimum, *maximum);
        if (lo == hi)
            return {lo - halfSpan, hi + halfSpan};
        return {lo, hi};
    }
    if (minimum) {
        const double upper = halfSpan > *minimum ? halfSpan : *minimum + 2.0 * halfSpan;
        return {*minimum, upper};
    }
    if (maximum) {
        const double lower = -halfSpan < *maximum ? -halfSpan : *maximum - 2.0 * halfSpan;
        return {lower, *maximum};
    }
    return {-halfSpan, halfSpan};
}

} // namespace chart
