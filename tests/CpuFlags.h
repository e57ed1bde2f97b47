#pragma once

#include <fstream>
#include <string>

// The "flags" line of /proc/cpuinfo with a space at each end, so that
// find(" name ") finds one whole flag; empty when there is none.
inline std::string CpuFlags() {
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line))
        if (line.starts_with("flags"))
            return " " + line + " ";
    return {};
}
