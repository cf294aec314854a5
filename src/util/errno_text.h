#pragma once
// The system's text for an errno value, safe to call from any thread (strerror is not).

#include <string>

namespace Lift::Util {

std::string ErrnoText(int error);

} // namespace Lift::Util
