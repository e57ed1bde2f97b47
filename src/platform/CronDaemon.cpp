#include "platform/CronDaemon.h"

#include <array>
#include <fstream>
#include <string>

namespace trelmig {

bool CronDaemonRuns(const std::filesystem::path& proc) {
    constexpr std::array<const char*, 4> kDaemonNames = {"cron", "crond", "cronie", "fcron"};
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(proc, ec)) {
        const std::string pid = entry.path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::string comm;
        std::getline(std::ifstream(entry.path() / "comm"), comm);
        if (comm == "busybox") {
            // busybox runs many applets; only its crond counts.
            std::string cmdline;
            std::getline(std::ifstream(entry.path() / "cmdline"), cmdline, '\n');
            if (cmdline.find("crond") != std::string::npos)
                return true;
            continue;
        }
        for (const char* name : kDaemonNames)
            if (comm == name)
                return true;
    }
    return false;
}

} // namespace trelmig
