#pragma once
// The port table: which device a COM port number stands for.
//
// The component keeps the port numbers 1..16 as its interface; the device behind number n is,
// first match wins:
//   1. a path set by SetComPortDevicePath(n, path) (the window may fill it from its settings);
//   2. the environment variable LIFT_LCD_COM<n>, e.g. LIFT_LCD_COM3=/dev/ttyUSB0;
//   3. /dev/ttyS<n-1> (COM1 is /dev/ttyS0).
// Pseudo-terminals and USB adapters are used by pointing a number at them. Any thread.

#include <string>

namespace Lift::Serial {

// The device path for port number n (n >= 1).
std::string ComPortDevicePath(unsigned portNumber);

// Overrides port number n; an empty path removes the override.
void SetComPortDevicePath(unsigned portNumber, const std::string& path);

// The port's name as the user knows it: "COM" + n.
std::string ComPortName(unsigned portNumber);

} // namespace Lift::Serial
