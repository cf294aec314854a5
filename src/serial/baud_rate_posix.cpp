// Kept apart: <asm/termbits.h> (termios2, any baud rate) cannot share a file with <termios.h>.
#include "serial/port_io.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace Lift::Serial {

bool SetPortBaudRate(int fd, std::uint32_t baud) {
    termios2 tio{};
    if (::ioctl(fd, TCGETS2, &tio) != 0)
        return false;
    tio.c_cflag &= ~static_cast<tcflag_t>(CBAUD);
    tio.c_cflag |= BOTHER;
    tio.c_cflag &= ~static_cast<tcflag_t>(CBAUD << IBSHIFT); // input speed = output speed
    tio.c_ispeed = baud;
    tio.c_ospeed = baud;
    return ::ioctl(fd, TCSETS2, &tio) == 0;
}

} // namespace Lift::Serial
