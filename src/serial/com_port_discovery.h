#pragma once
// Finding this machine's serial ports and giving each a COM number.
//
// Found are the built-in UARTs with hardware behind them (/dev/ttyS<k>, k < 16, whose
// /sys/class/tty entry has a device and a known UART type; the kernel lists placeholders
// for absent ones) and the USB and ACM adapters. An adapter is named by its link in
// /dev/serial/by-id where it has one (maker, model and serial number: stable across
// re-plugging, whatever ttyUSB number the kernel gives it) and by its kernel name otherwise.
//
// Numbers stay 1..16. A built-in UART ttyS<k> is COM k+1. An adapter gets the first number
// that is free (no built-in UART found there, not remembered for another adapter, not
// overridden by the program or the environment) and keeps it from then on: the numbers are
// remembered per adapter in a per-user file. When every number is remembered, a new adapter
// takes the lowest number of an adapter that is not plugged in.
//
// Every device path is taken under a root folder ("/" normally), so tests can build a fake
// device tree. Use from one thread at a time; the memory file is read, changed and written
// under an advisory lock on its folder, so the editor and the command line agree.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace Lift::Serial {

inline constexpr unsigned kHighestComPort = 16;

struct FoundPort {
    enum class Kind { BuiltIn, Adapter };
    Kind kind = Kind::BuiltIn;
    std::string name;       // what the number is remembered by: by-id name, else kernel name
    std::string kernelName; // "ttyS0", "ttyUSB0", "ttyACM1"
    std::string devicePath; // what to open (the by-id link for an adapter that has one)
    std::string label;      // as the user knows it: the by-id name, else "/dev/" + kernel name
    unsigned number = 0;    // 1..16; 0 while unnumbered or when no number could be had
};

// Adapter name -> COM number.
using ComPortMemory = std::map<std::string, unsigned>;

// The ports under `root`, unnumbered except built-in UARTs: built-ins by number, then
// adapters by name. Folders that do not exist simply hold no port.
std::vector<FoundPort> ScanSerialPorts(const std::string& root);

// Numbers every adapter of `ports` as described above and records new numbers in `memory`.
// `overridden`: numbers the program or the environment points elsewhere. True when
// `memory` changed.
bool AssignComPortNumbers(std::vector<FoundPort>& ports, ComPortMemory& memory,
                          const std::set<unsigned>& overridden);

// The memory file: "NUMBER NAME" lines, blank lines and "#" comments. Any other line, a
// number outside 1..16 or a name given twice makes the whole file unreadable: nothing, with
// a reason naming the line.
std::optional<ComPortMemory> ParseComPortMemory(std::string_view text, std::string& error);
std::string FormatComPortMemory(const ComPortMemory& memory);

struct PortDiscoveryPlaces {
    std::string root = "/";
    std::string memoryFile; // empty: numbers hold for this run only
};

// root: $LIFT_LCD_DEVICE_ROOT, else "/". Memory: $XDG_CONFIG_HOME/lift-lcd/com-ports, else
// ~/.config/lift-lcd/com-ports.
PortDiscoveryPlaces DefaultPortDiscoveryPlaces();

struct PortDiscovery {
    std::vector<FoundPort> ports; // found now, numbered
    ComPortMemory memory;         // every remembered number, adapters not plugged in included
    std::string problem;          // why the memory file could not be read or written; empty if fine
};

// Scans, numbers and remembers (an unreadable memory file is reported and left as it is),
// then puts the numbered ports into the port table, where the program's own settings and the
// environment still win.
PortDiscovery DiscoverComPorts(const PortDiscoveryPlaces& places);

} // namespace Lift::Serial
