#pragma once

#include <string>

namespace trelmig {

// The system log (syslog, facility user, tagged "trelmig" with the process
// id), open for the lifetime of the object.
class SystemLog {
public:
    SystemLog();
    ~SystemLog();
    SystemLog(const SystemLog&) = delete;
    SystemLog& operator=(const SystemLog&) = delete;

    void info(const std::string& line);
    void error(const std::string& line);
};

} // namespace trelmig
