#pragma once
// Parsing of option values for the link commands: whole numbers and rates, strictly (the
// whole text must be the number, in range), so a typo is a usage error, not a silent 0.

#include <optional>
#include <string>

namespace Lift::Cli {

std::optional<long long> ParseInteger(const std::string& text, long long min, long long max,
                                      int base = 10);
// A rate between 0 and 1 inclusive.
std::optional<double> ParseRate(const std::string& text);

} // namespace Lift::Cli
