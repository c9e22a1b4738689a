// Header-only today; kept so the library always has a translation unit.
#include "acquisition/AcquisitionMode.h"
