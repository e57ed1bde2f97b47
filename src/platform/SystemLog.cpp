#include "platform/SystemLog.h"

#include <syslog.h>

namespace trelmig {

SystemLog::SystemLog() {
    openlog("trelmig", LOG_PID, LOG_USER);
}

SystemLog::~SystemLog() {
    closelog();
}

void SystemLog::info(const std::string& line) {
    syslog(LOG_INFO, "%s", line.c_str());
}

void SystemLog::error(const std::string& line) {
    syslog(LOG_ERR, "%s", line.c_str());
}

} // namespace trelmig
