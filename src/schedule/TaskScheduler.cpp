#include "schedule/TaskScheduler.h"

#include "core/Prompter.h"
#include "schedule/AutoBackup.h"
#include "schedule/JobPasswordFile.h"

#include <stdexcept>

namespace trelmig {

std::filesystem::path CurrentProgram() {
    return std::filesystem::read_symlink("/proc/self/exe");
}

bool CheckJobChoices(const std::string& itemMask, const std::string& targetFile, bool protect,
                     const std::string& password, const std::string& retyped, Prompter& prompter) {
    if (itemMask.find('1') == std::string::npos) {
        prompter.Show("Please select at least one item.", MessageIcon::Exclamation);
        return false;
    }
    if (targetFile.empty()) {
        prompter.Show("Invalid backup file name.", MessageIcon::Exclamation);
        return false;
    }
    if (protect && password.empty() && retyped.empty()) {
        prompter.Show("Please enter Password!", MessageIcon::Critical);
        return false;
    }
    if (protect && password != retyped) {
        prompter.Show("Incorect Password!", MessageIcon::Critical);
        return false;
    }
    return true;
}

namespace {

// The unattended run reads its values back by cutting at "=": a value holding
// one (or a line break, which no crontab line can hold) would make a job that
// never runs.
bool refuseUncarriable(const JobChoices& c, Prompter& prompter) {
    const std::pair<const char*, const std::string*> values[] = {
        {"profile name", &c.profileName},
        {"password", &c.password},
        {"backup file name", &c.targetFile}};
    for (const auto& [what, value] : values) {
        if (value->find_first_of(std::string("=\r\n\0", 4)) != std::string::npos) {
            prompter.Show(std::string("The ") + what +
                              " of a scheduled backup cannot contain \"=\" or a line break.",
                          MessageIcon::Exclamation);
            return true;
        }
    }
    return false;
}

std::string timeText(std::uint32_t jobTime) {
    const std::uint32_t minutes = jobTime / 60000;
    const std::uint32_t minute = minutes % 60;
    return std::to_string(minutes / 60) + (minute < 10 ? ":0" : ":") + std::to_string(minute);
}

std::string daysText(const AtInfo& info) {
    const bool periodic = info.Flags & JOB_RUN_PERIODICALLY;
    if (info.DaysOfWeek == 0 && info.DaysOfMonth == 0)
        return "once";
    std::string text;
    if ((info.DaysOfWeek & 0x7f) == 0x7f && info.DaysOfMonth == 0) {
        text = "every day";
    } else {
        DayChecks days{};
        for (int i = 0; i < kDayCount; ++i)
            days[i] = info.DaysOfWeek & (1u << i);
        text = DayList(days);
        std::string monthDays;
        for (int d = 0; d < 31; ++d)
            if (info.DaysOfMonth & (1u << d))
                monthDays += (monthDays.empty() ? "" : ",") + std::to_string(d + 1);
        if (!monthDays.empty())
            text += (text.empty() ? "" : ", ") + ("days " + monthDays + " of the month");
    }
    return periodic ? text : "once, next " + text;
}

} // namespace

Registration RegisterJob(const JobChoices& choices, const TaskScheduler& scheduler,
                         Prompter& prompter) {
    const auto info = BuildJobInfo(choices, scheduler.program.string());
    if (!info) {
        prompter.Show("\"" + choices.startTime +
                          "\" is not a time of day. Enter the start time as hours and "
                          "minutes, for example 9:00 or 23:30.",
                      MessageIcon::Exclamation);
        return {RegisterResult::Refused, 0};
    }
    if (refuseUncarriable(choices, prompter))
        return {RegisterResult::Refused, 0};
    std::filesystem::path passwordFile;
    try {
        // The password goes into a file of the user's; the line names the file.
        AtInfo record = *info;
        if (!choices.password.empty()) {
            JobChoices withoutPassword = choices;
            withoutPassword.password.clear();
            const auto recordWithoutPassword =
                BuildJobInfo(withoutPassword, scheduler.program.string());
            if (!recordWithoutPassword)
                throw std::runtime_error("the job cannot be written without its password");
            record = *recordWithoutPassword;
            const bool once = record.DaysOfWeek == 0 && record.DaysOfMonth == 0;
            passwordFile = StoreJobPassword(choices.password, once);
        }
        const int number = scheduler.crontab.AddJob(record, scheduler.winePrefix, passwordFile);
        prompter.Show("Task " + std::to_string(number) + " has been scheduled.", MessageIcon::None);
        return {RegisterResult::Registered, number};
    } catch (const std::exception& e) {
        if (!passwordFile.empty())
            RemoveJobPasswordFile(passwordFile);
        prompter.Show(std::string("The task could not be scheduled: ") + e.what(),
                      MessageIcon::Critical);
        return {RegisterResult::Failed, 0};
    }
}

bool UnscheduleJob(const Crontab& crontab, int number, bool keepPasswordFile) {
    const auto removed = crontab.RemoveJob(number);
    if (removed && !keepPasswordFile && !removed->passwordFile.empty())
        RemoveJobPasswordFile(removed->passwordFile);
    return removed.has_value();
}

std::vector<JobListing> ListJobs(const Crontab& crontab) {
    std::vector<JobListing> listings;
    for (const CronJob& job : crontab.Jobs()) {
        JobListing l;
        l.number = job.number;
        l.time = timeText(job.info.JobTime);
        l.days = daysText(job.info);
        l.winePrefix = job.winePrefix.string();
        const auto close = job.info.Command.find('"', 1);
        if (close == std::string::npos || close + 2 > job.info.Command.size()) {
            l.problem = "the crontab line was changed by hand and cannot be read";
        } else if (const auto cmd =
                       ParseAutoBackupCommand({job.info.Command.substr(close + 2)}, l.problem)) {
            l.profile = cmd->profile;
            l.items = cmd->mask;
            l.targetFile = cmd->backupFile;
        } else {
            l.problem = "the backup will refuse this job: " + l.problem;
        }
        listings.push_back(std::move(l));
    }
    return listings;
}

} // namespace trelmig
