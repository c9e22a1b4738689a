// Sweep bookkeeping and the running statistics of charted readings.
#include "acquisition/Sweep.h"

#include <algorithm>
#include <cmath>

namespace acquisition {

bool Sweep::isDisplaySize(double samples) {
    return samples == 120 || samples == 240 || samples == 480 || samples == 960 || samples == 1920;
}

bool Sweep::chooseDisplaySize(double samples) {
    const bool valid = isDisplaySize(samples);
    if (valid) {
        m_state.displaySamples = static_cast<int>(samples);
        m_state.displayBuffer.assign(static_cast<std::size_t>(m_state.displaySamples) + 1, 0.0);
    }
    clearTrace();
    resetStatistics();
    return valid;
}

void Sweep::clearTrace() {
    std::fill(m_state.displayBuffer.begin(), m_state.displayBuffer.end(), 0.0);
}

void Sweep::resetStatistics() {
    m_state.sampleCount = 0;
    m_state.teSum = 0.0;
    m_state.teMean = 0.0;
    m_state.teSquareSum = 0.0;
    m_state.teStdDev = 0.0;
}

SweepStep Sweep::chart(double te, ChartRate rate) {
    if (m_state.displayBuffer.empty())
        return SweepStep::NoBuffer;
    // A full sweep is closed by the next charted reading, which is dropped: the new sweep starts clean.
    if (m_state.sampleCount > m_state.displaySamples) {
        resetStatistics();
        return SweepStep::SweepClosed;
    }
    m_state.displayBuffer[static_cast<std::size_t>(m_state.sampleCount)] = te;
    if (rate == ChartRate::Fast)
        updateFastRate(te);
    else
        updateSlowRate();
    m_state.sampleCount += 1;
    return SweepStep::Stored;
}

void Sweep::updateSlowRate() {
    // Recomputed from the buffer each time: the last 15 stored readings, the current one last. Until a
    // sweep holds 16 readings the figures keep their values.
    if (m_state.sampleCount < kSlowWindow)
        return;
    const auto first = m_state.displayBuffer.begin() + (m_state.sampleCount - (kSlowWindow - 1));
    const auto last = m_state.displayBuffer.begin() + m_state.sampleCount + 1;
    double sum = 0.0;
    for (auto it = first; it != last; ++it)
        sum += *it;
    const double mean = sum / kSlowWindow;
    double squares = 0.0;
    for (auto it = first; it != last; ++it)
        squares += (*it - mean) * (*it - mean);
    m_state.teSum = sum;
    m_state.teMean = mean;
    m_state.teSquareSum = squares;
    m_state.teStdDev = std::sqrt(squares / kSlowWindow);
}

void Sweep::updateFastRate(double te) {
    // Accumulated over the sweep against the mean as it stands after this reading.
    const double count = m_state.sampleCount + 1;
    m_state.teSum += te;
    m_state.teMean = m_state.teSum / count;
    m_state.teSquareSum += (te - m_state.teMean) * (te - m_state.teMean);
    m_state.teStdDev = std::sqrt(m_state.teSquareSum / count);
}

} // namespace acquisition
