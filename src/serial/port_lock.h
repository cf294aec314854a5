#pragma once
// Lock files of other programs: the UUCP convention many serial programs follow (minicom,
// picocom and their kin). A program that uses the device /dev/ttyUSB0 writes its process id in
// ASCII, ten characters wide and ended by a line feed, into the file LCK..ttyUSB0 of the lock
// directory (/var/lock). A lock file whose process no longer runs is stale and holds nothing.
// We only read them: this program writes none. Any thread.

#include <string>
#include <string_view>
#include <sys/types.h>

namespace Lift::Serial {

// True when a lock file for the device (named after the path's last part, or after the last
// part of the device it leads to through symbolic links) names a running process other than
// this one.
bool DeviceLockedByAnother(const std::string& devicePath);

// The process id that a lock file's contents name (blanks before the digits, a line feed after
// them allowed), or 0 when they name none.
pid_t LockFileProcessId(std::string_view contents);

// The directory searched for lock files; "" restores /var/lock. For tests and unusual systems.
void SetPortLockDirectory(const std::string& directory);

} // namespace Lift::Serial
