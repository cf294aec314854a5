#pragma once
// Where the front ends find their data: the program folder (the one holding
// "DefaultImage2"), the installed data set, and the working folder of a start from the
// desktop menu; and how they turn command-line paths into absolute ones.

#include <optional>
#include <string>

namespace Lift::Cli {

// `path` made absolute against `base` when relative; no link is resolved and nothing needs
// to exist.
std::string AbsoluteAgainst(const std::string& path, const std::string& base);

// The folder of the running program, without trailing "/".
std::string RunningProgramFolder();

// The data set installed with the programs: share/lift-lcd beside the bin folder that
// holds `programFolder`, found relative to it so a moved installation works. Nothing when
// it has no settings file (a build tree).
std::optional<std::string> InstalledDataDirectory(const std::string& programFolder);

// The program folder with exactly one trailing "/": `option` made absolute against `base`
// when given; otherwise the running program's folder when it holds "DefaultImage2", else the
// installed data set, else the running program's folder.
std::string ProgramDirectory(const std::optional<std::string>& option, const std::string& base);

// $XDG_DATA_HOME when absolute, else ~/.local/share; empty when neither is known.
std::string UserDataHome();

struct WorkingFolder {
    std::string folder;
    std::string logLine; // what the user is told about the choice; empty when nothing
};

// The working folder of a start without --workdir. `current` when it holds the settings
// file, or when there is no installed data set or no user data home: a terminal start
// behaves as it always has. Otherwise the per-user folder userDataHome/lift-lcd, copied
// from the installed data set when it does not exist yet (all or nothing; an existing
// folder is never written to). Should the copy fail, `current`, with the reason. Tools that
// write nothing pass `mayCopy` false: without the per-user folder they read the installed
// data set itself.
WorkingFolder ChooseWorkingFolder(const std::string& current,
                                  const std::optional<std::string>& installedData,
                                  const std::string& userDataHome, bool mayCopy = true);

} // namespace Lift::Cli
