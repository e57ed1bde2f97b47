#pragma once

#include "platform/CronJobLine.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace trelmig {

// The jobs of this program as systemd user timers (TimerUnits.h): unit files
// in the user's unit folder, started and stopped through "systemctl --user".
// Failures throw CrontabError with systemctl's message.
class UserTimers {
public:
    struct Program {
        std::string systemctl = "systemctl"; // looked up on PATH
        std::filesystem::path unitFolder;    // empty: DefaultUnitFolder()
    };

    UserTimers() = default;
    explicit UserTimers(Program program) : program_(std::move(program)) {}

    // $XDG_CONFIG_HOME/systemd/user (an absolute one only), else
    // ~/.config/systemd/user.
    static std::filesystem::path DefaultUnitFolder();
    std::filesystem::path UnitFolder() const;

    // True when a user manager answers "systemctl --user".
    bool ManagerAnswers() const;

    // Writes the job's two units, starts its timer and checks that it is
    // active; on any failure the units are removed again and CrontabError says
    // why.
    void AddJob(const AtInfo& info, int number, const std::filesystem::path& winePrefix,
                const std::filesystem::path& passwordFile = {},
                const JobArguments& arguments = {}) const;
    // The jobs whose timer unit is in the folder, by number.
    std::vector<CronJob> Jobs() const;
    // Stops the timer and removes both units; nullopt when there is no such job.
    std::optional<CronJob> RemoveJob(int number) const;

private:
    // "systemctl --user ARGS"; throws CrontabError naming what failed.
    std::string systemctl(const std::vector<std::string>& args, const std::string& what) const;

    Program program_;
};

} // namespace trelmig
