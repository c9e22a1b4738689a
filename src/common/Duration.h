// How long something lasted, in the operator's words: the gap while a link to the QEL unit or the mount was
// away. Used by the messages that say a link is back.
#pragma once

#include <chrono>
#include <string>

namespace common {

// Rounded to whole seconds: "0 s", "59 s", "2 min 05 s", "1 h 00 min 07 s"; a negative span reads "0 s".
std::string durationText(std::chrono::steady_clock::duration span);

} // namespace common
