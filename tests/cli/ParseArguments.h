#pragma once

#include "cli/CommandLine.h"

#include <vector>

// The command line of "trelmig ARGS...".
inline trelmig::CommandLine parse(std::vector<const char*> args) {
    args.insert(args.begin(), "trelmig");
    return trelmig::ParseCommandLine(static_cast<int>(args.size()), args.data());
}
