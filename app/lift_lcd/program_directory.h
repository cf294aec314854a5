#pragma once
// Where the front ends find the program folder (the one holding "DefaultImage2") and how
// they turn command-line paths into absolute ones.

#include <optional>
#include <string>

namespace Lift::Cli {

// `path` made absolute against `base` when relative; no link is resolved and nothing needs
// to exist.
std::string AbsoluteAgainst(const std::string& path, const std::string& base);

// The program folder with exactly one trailing "/": `option` made absolute against `base`
// when given; otherwise the running executable's folder when it holds "DefaultImage2", else
// the installed data folder.
std::string ProgramDirectory(const std::optional<std::string>& option, const std::string& base);

} // namespace Lift::Cli
