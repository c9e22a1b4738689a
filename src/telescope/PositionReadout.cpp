// One position poll's outcome.
#include "telescope/PositionReadout.h"

#include "telescope/Driver.h"

namespace telescope {

PositionReadout::Update PositionReadout::pollAnswered(const Result<double>& dec, const Result<double>& ra) {
    Update update;
    Failure failure;
    if (!dec.ok())
        failure = dec.failure;
    else if (!ra.ok())
        failure = ra.failure;
    else if (auto texts = positionTexts(*ra.value, *dec.value)) {
        m_failures = 0;
        update.texts = std::move(texts);
        return update;
    } else {
        failure = {failureMalformed, "the mount reported RA " + std::to_string(*ra.value) + " h and Dec " +
                                         std::to_string(*dec.value) + " degrees, which is no position"};
    }
    ++m_failures;
    // Until the third failure the lines keep the last position: one lost answer is no reason to drop it. A
    // server that refuses or has closed the connection is gone at once.
    if (failure.number == failureUnreachable)
        update.lost = describeFailure(failure);
    else if (m_failures >= kFailuresForNone)
        update.lost = "three position reads in a row failed, the last with " + describeFailure(failure);
    if (!update.lost.empty())
        update.texts = PositionTexts{"None", "None"};
    return update;
}

} // namespace telescope
