// The local clock as the recorder reads it: one read gives the date, the time and the hundredths together.
// Every time stamp (event log, live line, record line, window clock) comes from one read of a Clock.
#pragma once

namespace common {

// Local (wall-clock) time. Hundredths are truncated, never rounded, so a stamp is never ahead of the clock.
struct LocalTime {
    int year = 2000;
    int month = 1; // 1 .. 12
    int day = 1;   // 1 .. 31
    int hour = 0;  // 0 .. 23
    int minute = 0;
    int second = 0;
    int hundredths = 0; // 0 .. 99
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime now() const = 0;
};

// The system's wall clock in the process's time zone.
class SystemClock final : public Clock {
public:
    LocalTime now() const override;
};

// A clock that shows what it was set to; for tests and replays.
class ManualClock final : public Clock {
public:
    explicit ManualClock(LocalTime t = {})
        : m_time(t) {}
    void set(LocalTime t) { m_time = t; }
    LocalTime now() const override { return m_time; }

private:
    LocalTime m_time;
};

} // namespace common
