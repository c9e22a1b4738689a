// Text form of the reading decode, used on lastSampleText by the PID controller.
#include "acquisition/TrackingError.h"

#include "common/ListNumber.h"

namespace acquisition {

double DecodeTrackingError(std::string_view text) {
    return (127.0 - common::numberAtStart(text)) * 0.125;
}

} // namespace acquisition
