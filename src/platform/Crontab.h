#pragma once

#include "platform/CronJobLine.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace trelmig {

// The crontab of one user, read and written through the real crontab program
// ("crontab -l", "crontab -"). This is where the jobs of the job scheduler
// live: each job of this program is one line (CronJobLine); every other line
// of the table is kept byte for byte. Failures of the program throw
// CrontabError with its message.
class Crontab {
public:
    struct Program {
        std::string path = "crontab";    // looked up on PATH
        std::optional<std::string> user; // "-u USER" (root only); else the caller's table
    };

    Crontab() = default;
    explicit Crontab(Program program) : program_(std::move(program)) {}

    // The table; empty when the user has none yet.
    std::string ReadTable() const;
    void WriteTable(const std::string& table) const;

    // Adds one line for the job and returns its number (NextJobNumber of
    // those in the table, commented-out lines among them, and heldElsewhere,
    // the numbers of jobs that are no lines), so two registrations give two
    // jobs.
    int AddJob(const AtInfo& info, const std::filesystem::path& winePrefix,
               const std::filesystem::path& passwordFile = {},
               const std::vector<int>& heldElsewhere = {},
               const JobArguments& arguments = {}) const;
    // The jobs of this program, in table order.
    std::vector<CronJob> Jobs() const;
    // Removes the job's line and returns the job as it was read (only its
    // number for a line edited beyond reading); nullopt when the table has no
    // such job.
    std::optional<CronJob> RemoveJob(int number) const;

    const Program& program() const { return program_; }

private:
    // Reads the table, lets change() rewrite it (false: nothing to write),
    // and writes it back unless another writer changed it meanwhile, in which
    // case the whole step is repeated.
    bool Update(const std::function<bool(std::string&)>& change) const;

    Program program_;
};

} // namespace trelmig
