// The versions of the chart and serial-port components this build uses, for the About box.
#pragma once

#include "about/AboutText.h"

namespace about {

ComponentVersions builtComponentVersions();

} // namespace about
