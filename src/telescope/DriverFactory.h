// Makes the driver an identifier names: the backend from its scheme. Used by the connection ("create the
// driver object") in the window.
#pragma once

#include "telescope/Driver.h"

#include <memory>
#include <string>

class QNetworkAccessManager;

namespace telescope {

// A driver for id, not yet opened; nothing when id is no identifier or names a backend this program lacks,
// with the reason in problem. net must outlive the driver.
std::unique_ptr<Driver> makeDriver(const std::string& id, QNetworkAccessManager& net, std::string& problem);

} // namespace telescope
