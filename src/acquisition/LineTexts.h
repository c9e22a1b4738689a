// The per-reading texts: the live line shown in Text1, its heading in Label4, and the record line written
// to the record file. All ASCII except the month names, which come from the formatter (UTF-8).
#pragma once

#include "common/Clock.h"
#include "common/TimeStamp.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace acquisition {

// Label4's heading, spelling out the live line's columns, with and without a telescope (Check2).
inline constexpr std::string_view kHeadingWithTelescope =
    "HX:ASC: yyyy-MMM-dd HH:nn:ss.ff  TE:  XXX.XXX ASCOM RA: HH:MM:SS DEC: DEG:MM:SS";
inline constexpr std::string_view kHeadingWithoutTelescope =
    "HX:ASC: yyyy-MMM-dd HH:nn:ss.ff  TE:  XXX.XXX ASCOM None";

// The position text used for both raText and decText while no telescope is connected.
inline constexpr std::string_view kNoPosition = "None";

// Appends the live line of one reading, without line break:
// "7E:126: 2013-Jan-05 21:14:07.42  TE:    0.125 ASCOM None None"
// (hex code, the decimal code right-aligned in 3, the time stamp, the tracking error "###0.000"
// right-aligned in 8, " ASCOM ", raText, " ", decText).
void appendLiveLine(std::string& out, std::uint8_t code, const common::LocalTime& time,
                    const common::TimeStampFormatter& stamps, std::string_view raText,
                    std::string_view decText);

// Appends the record line of one reading, without line end:
// "7E:126: 2013-Jan-05 21:14:07.42  TE:    0.125 None None"
// (as the live line, but the decimal code is not padded and a single blank stands for " ASCOM ").
void appendRecordLine(std::string& out, std::uint8_t code, const common::LocalTime& time,
                      const common::TimeStampFormatter& stamps, std::string_view raText,
                      std::string_view decText);

} // namespace acquisition
