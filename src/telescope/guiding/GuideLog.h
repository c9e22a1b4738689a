// The guide log: one line per Timer1 tick with the reading used, the controller's output, the RA pulse and
// what became of it, so that the mount's own error can be rebuilt from a guided record (qel-te-analyze
// --guide-log). Written only when the recorder is started with --guide-log FILE. Plain C++; the window stamps
// and writes the lines.
//
//   2013-Jan-05 21:14:07.42 TE 1.125 U 0.845 RA E 113 RATE 0.500 sent
//   2013-Jan-05 21:14:07.62 TE 1.000 U 0.750 RA W 100 RATE 0.500 refused 0x40B
//   2013-Jan-05 21:14:08.02 TE - U - RA - 0 RATE - skipped no-reading
#pragma once

#include "telescope/guiding/GuideController.h"
#include "telescope/guiding/GuideOutput.h"

#include <string>
#include <string_view>

namespace telescope {

// The line of a tick (without its stamp and line end): "TE 1.125 U 0.845 RA E 113 RATE 0.500 " and the
// outcome. TE and U are "-" when the controller did not run, the pulse "- 0" when none was formed, the rate
// "-" when unknown.
std::string guideLogFields(const TickDecision& decision, const std::optional<LatestReading>& reading,
                           const GuideRates& rates);

// "skipped <reason>" for a tick that sent nothing: no-reading, stale-reading, no-mount, busy,
// unpark-question, rate-unknown.
std::string skippedOutcome(TickOutcome outcome);
// "sent", "refused <number>" (ASCOM numbers in hexadecimal, the transport's in words), "skipped
// not-connected", "skipped parked", "skipped cancelled".
std::string fateOutcome(const PulseFate& fate);

} // namespace telescope
