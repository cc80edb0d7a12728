#pragma once

#include <string>

namespace quorvane::qt {

// Whether a display can be reached before Qt is started, which would otherwise abort. Returns
// an empty string when one can, and a one-line explanation when none can.
std::string missingDisplayReason();

} // namespace quorvane::qt
