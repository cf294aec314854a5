#pragma once
// Whole-file writes that never leave a truncated or half-written file.
//
// The bytes go to a new temporary file in the target's folder, are flushed to disk, and
// the temporary file is renamed over the target. On any failure the temporary file is
// removed and the target stays exactly as it was. An existing target keeps its permission
// bits; a new file gets the usual 0666 less the umask. A symbolic link is followed, so the
// file it names is replaced and the link stays.
//
// For tests, FileFaultInjection makes one step of the next writes fail, as a full disk or
// a failing device would. Thread-safe; the injection is process-wide.

#include <string>
#include <string_view>

namespace Lift::Util {

// Returns true when the file now holds exactly `bytes`. On failure returns false and, when
// `error` is given, stores a one-line reason naming the file and the system's error text.
bool WriteFileAtomically(const std::string& path, std::string_view bytes,
                         std::string* error = nullptr);

// Reads a whole file; false (with a reason) when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& out, std::string* error = nullptr);

enum class FileFault {
    None,
    Create,   // the temporary file cannot be created (folder not writable)
    Write,    // a write fails with an I/O error
    DiskFull, // a write stops short: no space left on the device
    Flush,    // flushing to disk fails
    Rename,   // replacing the target fails
};

// Makes every atomic write inside its lifetime fail at the given step.
class FileFaultInjection {
public:
    explicit FileFaultInjection(FileFault fault);
    ~FileFaultInjection();
    FileFaultInjection(const FileFaultInjection&) = delete;
    FileFaultInjection& operator=(const FileFaultInjection&) = delete;

private:
    FileFault m_previous;
};

} // namespace Lift::Util
