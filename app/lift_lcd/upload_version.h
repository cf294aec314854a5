#pragma once
// Which controller code version an upload from the command line runs under, and its ENCODE
// value, read from the program settings file "ZEBPRV620BX7.INI" of the working directory the
// way the editor reads it at start (first listed version) or when a version is selected.
//
// Only what the upload needs is read; a missing file or key gives the editor's defaults, so
// ENCODE is 1 unless the version's section says otherwise.

#include <optional>
#include <string>

namespace Lift::Cli {

struct UploadVersion {
    std::string name; // may be empty (no version listed)
    int encode = 1;
};

// version: the name given on the command line, or nothing for the file's first version.
// Returns nothing, with error set, when the file exists but cannot be read or ENCODE is not
// an integer.
std::optional<UploadVersion> ReadUploadVersion(const std::string& workdir,
                                               const std::optional<std::string>& version,
                                               std::string& error);

} // namespace Lift::Cli
