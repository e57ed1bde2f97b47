#pragma once

#include "cli/CommandLine.h"

#include <optional>
#include <string>

namespace trelmig {

// A --prefix that names no folder refuses a run that works on the prefix
// before anything is read or written: the reason, or nullopt when the command
// line may go on.
std::optional<std::string> MissingPrefixRefusal(const CommandLine& cmd);

} // namespace trelmig
