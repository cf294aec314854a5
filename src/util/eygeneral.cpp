#include "util/eygeneral.h"

#include "util/standalone_function.h"

namespace YVclUtil {

EYGeneral::EYGeneral(const char* format, ...) {
    va_list args;
    va_start(args, format);
    m_message = VFormat(format, args);
    va_end(args);
}

EYGeneral::EYGeneral(int code, const char* format, ...) : Code(code) {
    va_list args;
    va_start(args, format);
    m_message = VFormat(format, args);
    va_end(args);
}

} // namespace YVclUtil
