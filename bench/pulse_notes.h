// A driver that forwards to the real one and notes every pulse asked of it with its outcome; the INDI guided
// runs compare these notes with the pulses indiserver's -vvv log shows.
#pragma once
#include "telescope/Driver.h"

#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace benchnotes {

struct PulseNote {
    telescope::GuideDirection direction;
    int durationMs;
    bool ok = false;
    bool answered = false;
    std::string failure;
};

class PulseNotes final : public telescope::Driver {
public:
    // notes must outlive this driver: the window may release its driver before the run is judged.
    PulseNotes(telescope::Driver& inner, std::vector<PulseNote>& notes)
        : m_inner(inner)
        , m_notes(notes) {}
    PulseNotes(std::unique_ptr<telescope::Driver> owned, std::vector<PulseNote>& notes)
        : m_owned(std::move(owned))
        , m_inner(*m_owned)
        , m_notes(notes) {}

    std::string id() const override { return m_inner.id(); }
    void open(telescope::Callback<telescope::Done> d) override { m_inner.open(std::move(d)); }
    void connect(telescope::Callback<telescope::Done> d) override { m_inner.connect(std::move(d)); }
    void close(std::function<void()> closed) override { m_inner.close(std::move(closed)); }
    void connected(telescope::Callback<bool> d) override { m_inner.connected(std::move(d)); }
    void canSetGuideRates(telescope::Callback<bool> d) override { m_inner.canSetGuideRates(std::move(d)); }
    void setGuideRateRightAscension(double m, telescope::Callback<telescope::Done> d) override {
        m_inner.setGuideRateRightAscension(m, std::move(d));
    }
    void setGuideRateDeclination(double m, telescope::Callback<telescope::Done> d) override {
        m_inner.setGuideRateDeclination(m, std::move(d));
    }
    void guideRateRightAscension(telescope::Callback<double> d) override {
        m_inner.guideRateRightAscension(std::move(d));
    }
    void guideRateDeclination(telescope::Callback<double> d) override {
        m_inner.guideRateDeclination(std::move(d));
    }
    void rightAscension(telescope::Callback<double> d) override { m_inner.rightAscension(std::move(d)); }
    void declination(telescope::Callback<double> d) override { m_inner.declination(std::move(d)); }
    void atPark(telescope::Callback<bool> d) override { m_inner.atPark(std::move(d)); }
    void unpark(telescope::Callback<telescope::Done> d) override { m_inner.unpark(std::move(d)); }
    void pulseGuide(telescope::GuideDirection direction, int ms,
                    telescope::Callback<telescope::Done> d) override {
        const std::size_t index = m_notes.size();
        m_notes.push_back({direction, ms, false, false, {}});
        std::vector<PulseNote>& notes = m_notes;
        m_inner.pulseGuide(direction, ms, [&notes, index, d](const telescope::Result<telescope::Done>& r) {
            notes[index].ok = r.ok();
            notes[index].answered = true;
            if (!r.ok())
                notes[index].failure = r.failure.message;
            d(r);
        });
    }

private:
    std::unique_ptr<telescope::Driver> m_owned;
    telescope::Driver& m_inner;
    std::vector<PulseNote>& m_notes;
};

inline const char* axisOf(telescope::GuideDirection d) {
    return d == telescope::GuideDirection::West || d == telescope::GuideDirection::East ? "WE" : "NS";
}

// One line per pulse the mount took, as indiserver logs the vector: "WE 300 0" (west 300 ms), "NS 0 200"
// (south 200 ms). Refused pulses are left out (they never reached the server).
inline void writeTaken(std::ostream& out, const std::vector<PulseNote>& notes) {
    for (const PulseNote& n : notes) {
        if (!n.ok)
            continue;
        const bool first =
            n.direction == telescope::GuideDirection::West || n.direction == telescope::GuideDirection::North;
        out << axisOf(n.direction) << ' ' << (first ? n.durationMs : 0) << ' ' << (first ? 0 : n.durationMs)
            << '\n';
    }
}

} // namespace benchnotes
