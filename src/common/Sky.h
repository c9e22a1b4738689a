// The sky's apparent motion, the unit in which guide rates count: the sidereal rate of 15 arcseconds of right
// ascension per second of time (360 degrees in 24 hours, 15 degrees to an hour of RA). Used by the pulse
// lengths, the telescope drivers, the simulators and the rebuilding of an unguided error from guide pulses.
#pragma once

namespace common {

inline constexpr double kSiderealArcsecPerSecond = 15.0;
// Degrees of right ascension to one hour of it (the same 15).
inline constexpr double kDegreesPerHourOfRa = 15.0;
inline constexpr double kArcsecPerDegree = 3600.0;

} // namespace common
