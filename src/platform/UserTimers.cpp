#include "platform/UserTimers.h"

#include "platform/HostProgram.h"
#include "platform/TimerUnits.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace trelmig {

namespace {

std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Written beside and renamed, so that a manager reloading meanwhile never
// reads half a unit.
void writeUnit(const fs::path& file, const std::string& text) {
    const fs::path scratch = file.string() + ".new";
    {
        std::ofstream out(scratch, std::ios::binary | std::ios::trunc);
        out << text;
        out.flush();
        if (!out)
            throw CrontabError("cannot write " + scratch.string());
    }
    std::error_code ec;
    fs::rename(scratch, file, ec);
    if (ec)
        throw CrontabError("cannot write " + file.string() + ": " + ec.message());
}

std::string firstLine(const std::string& text) {
    std::string line = text.substr(0, text.find('\n'));
    while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    return line;
}

} // namespace

fs::path UserTimers::DefaultUnitFolder() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/')
        return fs::path(config) / "systemd" / "user";
    const char* home = std::getenv("HOME");
    return fs::path(home && *home ? home : "/") / ".config" / "systemd" / "user";
}

fs::path UserTimers::UnitFolder() const {
    return program_.unitFolder.empty() ? DefaultUnitFolder() : program_.unitFolder;
}

std::string UserTimers::systemctl(const std::vector<std::string>& args,
                                  const std::string& what) const {
    std::vector<std::string> argv{program_.systemctl, "--user"};
    argv.insert(argv.end(), args.begin(), args.end());
    HostProgramResult r;
    try {
        r = RunHostProgram(argv);
    } catch (const std::runtime_error& e) {
        throw CrontabError(e.what());
    }
    if (r.exitCode != 0) {
        std::string message = firstLine(r.err.empty() ? r.out : r.err);
        if (message.empty())
            message = r.exitCode < 0 ? "killed" : "exit status " + std::to_string(r.exitCode);
        throw CrontabError(what + ": " + message);
    }
    return r.out;
}

bool UserTimers::ManagerAnswers() const {
    try {
        systemctl({"show", "--property=Version"}, "no user manager");
        return true;
    } catch (const CrontabError&) {
        return false;
    }
}

void UserTimers::AddJob(const AtInfo& info, int number, const fs::path& winePrefix,
                        const fs::path& passwordFile, const JobArguments& arguments) const {
    const std::string timer = TimerUnitText(info, number, winePrefix, passwordFile, arguments);
    const std::string service = ServiceUnitText(info, number, winePrefix, passwordFile, arguments);
    const fs::path folder = UnitFolder();
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec)
        throw CrontabError("cannot make the folder " + folder.string() + ": " + ec.message());
    if (fs::exists(folder / TimerUnitName(number)))
        throw CrontabError("the task " + std::to_string(number) + " exists already");
    try {
        writeUnit(folder / ServiceUnitName(number), service);
        writeUnit(folder / TimerUnitName(number), timer);
        systemctl({"daemon-reload"}, "the user manager did not read the new units");
        systemctl({"enable", "--now", TimerUnitName(number)},
                  "the timer " + TimerUnitName(number) + " did not start");
        // is-active prints the state and exits non-zero for any but "active".
        std::string state = "unknown";
        try {
            state = firstLine(
                RunHostProgram({program_.systemctl, "--user", "is-active", TimerUnitName(number)})
                    .out);
        } catch (const std::runtime_error&) {
        }
        if (state != "active")
            throw CrontabError("the timer " + TimerUnitName(number) + " is " + state +
                               " after it was started");
    } catch (...) {
        RemoveJob(number);
        throw;
    }
}

std::vector<CronJob> UserTimers::Jobs() const {
    std::vector<CronJob> jobs;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(UnitFolder(), ec)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with("trelmig-backup-") || !name.ends_with(".timer"))
            continue;
        if (auto job = JobOfTimerUnit(readFile(entry.path())))
            jobs.push_back(std::move(*job));
    }
    std::ranges::sort(jobs, {}, &CronJob::number);
    return jobs;
}

std::optional<CronJob> UserTimers::RemoveJob(int number) const {
    const fs::path timer = UnitFolder() / TimerUnitName(number);
    const fs::path service = UnitFolder() / ServiceUnitName(number);
    std::error_code ec;
    if (!fs::exists(timer, ec) && !fs::exists(service, ec))
        return std::nullopt;
    std::optional<CronJob> job = JobOfTimerUnit(readFile(timer));
    if (!job)
        job = CronJob{number, {}, {}, {}, false, {}};
    // A manager that does not know the timer (any more) has nothing to stop.
    try {
        systemctl({"disable", "--now", TimerUnitName(number)},
                  "the timer " + TimerUnitName(number) + " could not be stopped");
    } catch (const CrontabError&) {
        if (ManagerAnswers() && fs::exists(timer, ec))
            throw;
    }
    fs::remove(timer, ec);
    if (ec)
        throw CrontabError("cannot remove " + timer.string() + ": " + ec.message());
    fs::remove(service, ec);
    if (ManagerAnswers())
        systemctl({"daemon-reload"}, "the user manager did not forget the removed units");
    return job;
}

} // namespace trelmig
