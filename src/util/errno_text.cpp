#include "util/errno_text.h"

#include <cstring>

namespace Lift::Util {

std::string ErrnoText(int error) {
    char buf[256];
    // GNU strerror_r returns the text, which may or may not be in buf.
    return ::strerror_r(error, buf, sizeof buf);
}

} // namespace Lift::Util
