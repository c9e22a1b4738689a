// What one position poll makes of the mount's answers: new texts, or "None" and the mount given up as lost,
// after three failed polls in a row or at once when its server cannot be reached. Plain C++; the poll's Qt
// part (PositionPoll) feeds it.
#pragma once

#include "telescope/Driver.h"
#include "telescope/PositionText.h"

#include <optional>
#include <string>

namespace telescope {

class PositionReadout {
public:
    // Failed polls in a row after which the texts become "None".
    static constexpr int kFailuresForNone = 3;

    struct Update {
        std::optional<PositionTexts> texts; // set: the lines carry these from now on
        std::string lost;                   // not empty: the mount is lost, for this reason (in words)
    };

    // One poll's two reads. A value that is no position (see positionTexts) counts as a failed read.
    Update pollAnswered(const Result<double>& declination, const Result<double>& rightAscension);
    // A new connection: the count starts again.
    void reset() { m_failures = 0; }
    int failuresInARow() const { return m_failures; }

private:
    int m_failures = 0;
};

} // namespace telescope
