#pragma once

#include <string>
#include <vector>

namespace trelmig {

struct HostProgramResult {
    int exitCode = -1; // -1 when killed by a signal
    std::string out;
    std::string err;
};

// Runs a program of the host (looked up on PATH) with the input on its stdin
// and collects what it writes. Messages are asked for in the C locale so that
// they can be recognised. Throws std::runtime_error when it cannot be started,
// or when it exited 0 without reading all of its input.
HostProgramResult RunHostProgram(const std::vector<std::string>& argv,
                                 const std::string& input = {});

} // namespace trelmig
