// The line layer's Host defaults: the system's clock and regional settings,
// which a window keeps and a test or benchmark replaces.

#include "form_state.h"

#include "platform.h"

namespace conversion {

std::time_t Host::Now() { return platform::Now(); }

RegionalDates Host::Regional() { return platform::ReadRegionalDates(); }

}  // namespace conversion
