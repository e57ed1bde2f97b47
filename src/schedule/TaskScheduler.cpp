#include "schedule/TaskScheduler.h"

#include "app/Environment.h"
#include "backup/CheckBackupChoices.h"
#include "core/ItemMask.h"
#include "core/Message.h"
#include "core/Prompter.h"
#include "schedule/AutoBackup.h"
#include "schedule/JobPasswordFile.h"

#include <algorithm>
#include <stdexcept>

namespace trelmig {

bool CheckJobChoices(const std::string& itemMask, const std::string& targetFile, bool protect,
                     const std::string& password, const std::string& retyped, Prompter& prompter) {
    ChoicesToCheck choices{targetFile, ItemMask::Lenient(itemMask).Boxes(), protect, password,
                           retyped};
    // A job asks for its items before its file.
    ChoicesCheck checked = CheckItemsChosen(choices.items);
    if (checked)
        checked = CheckBackupChoices(choices);
    if (checked)
        return true;
    // A job's file is typed on the command line, not chosen in a dialog.
    const MessageId refusal = checked.error() == MessageId::ChooseBackupFileName
                                  ? MessageId::InvalidBackupFileName
                                  : checked.error();
    prompter.ShowMessage({refusal, {}}, RefusalIcon(checked.error()));
    return false;
}

namespace {

// The unattended run reads its values back by cutting at "=": a value holding
// one (or a line break, which no crontab line can hold) would make a job that
// never runs.
bool refuseUncarriable(const JobChoices& c, Prompter& prompter) {
    const std::pair<MessageId, const std::string*> values[] = {
        {MessageId::JobProfileNameUncarriable, &c.profileName},
        {MessageId::JobPasswordUncarriable, &c.password},
        {MessageId::JobFileNameUncarriable, &c.targetFile}};
    for (const auto& [refusal, value] : values) {
        if (value->find_first_of(std::string("=\r\n\0", 4)) != std::string::npos) {
            prompter.ShowMessage({refusal, {}}, MessageIcon::Exclamation);
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
    const bool periodic = info.flags & kJobRunPeriodically;
    if (info.daysOfWeek == 0 && info.daysOfMonth == 0)
        return MessageText(MessageId::JobDaysOnce);
    std::string text;
    if ((info.daysOfWeek & 0x7f) == 0x7f && info.daysOfMonth == 0) {
        text = MessageText(MessageId::JobDaysEveryDay);
    } else {
        DayChecks days{};
        for (int i = 0; i < kDayCount; ++i)
            days[i] = info.daysOfWeek & (1u << i);
        text = DayList(days);
        std::string monthDays;
        for (int d = 0; d < 31; ++d)
            if (info.daysOfMonth & (1u << d))
                monthDays += (monthDays.empty() ? "" : ",") + std::to_string(d + 1);
        if (!monthDays.empty())
            text += (text.empty() ? "" : ", ") + MessageText(MessageId::JobDaysOfMonth, monthDays);
    }
    return periodic ? text : MessageText(MessageId::JobDaysOnceNext, text);
}

// The numbers of the timers and of the crontab's jobs, which a new job of
// either kind does not take: one number never names two jobs.
std::vector<int> timerNumbers(const TaskScheduler& scheduler) {
    std::vector<int> taken;
    if (scheduler.timers)
        for (const CronJob& job : scheduler.timers->Jobs())
            taken.push_back(job.number);
    return taken;
}

std::vector<int> takenNumbers(const TaskScheduler& scheduler) {
    std::vector<int> taken = timerNumbers(scheduler);
    try {
        for (const CronJob& job : scheduler.crontab.Jobs())
            taken.push_back(job.number);
    } catch (const CrontabError&) {
        // No crontab program: no crontab jobs either.
    }
    return taken;
}

// The options a job of these choices passes around its command line.
JobArguments jobArguments(const JobChoices& choices, const TaskScheduler& scheduler) {
    JobArguments arguments;
    if (scheduler.windowsUser) {
        arguments.machine = {"--windows-user", scheduler.windowsUser->string()};
        if (scheduler.windowsRoot)
            arguments.machine.insert(arguments.machine.end(),
                                     {"--windows-root", scheduler.windowsRoot->string()});
    }
    if (!choices.repository.empty())
        arguments.run = {"--repository", choices.repository};
    if (choices.keep)
        for (std::string& word : KeepArguments(*choices.keep))
            arguments.run.push_back(std::move(word));
    return arguments;
}

int addJob(const AtInfo& record, const TaskScheduler& scheduler,
           const std::filesystem::path& passwordFile, const JobArguments& arguments) {
    // A job of a Windows user folder sets no prefix: it reads no prefix.
    const std::filesystem::path prefix =
        scheduler.windowsUser ? std::filesystem::path() : scheduler.winePrefix;
    if (!scheduler.timers)
        return scheduler.crontab.AddJob(record, prefix, passwordFile, timerNumbers(scheduler),
                                        arguments);
    const int number = NextJobNumber(takenNumbers(scheduler));
    scheduler.timers->AddJob(record, number, prefix, passwordFile, arguments);
    return number;
}

} // namespace

TaskScheduler ThisUsersScheduler(const std::filesystem::path& program,
                                 const std::filesystem::path& winePrefix) {
    TaskScheduler scheduler{Crontab(), program, winePrefix};
    if (UserTimers timers; timers.ManagerAnswers())
        scheduler.timers = timers;
    return scheduler;
}

TaskScheduler ForWindowsUserFolder(TaskScheduler scheduler, const Environment& env) {
    if (env.readOnlySource()) {
        scheduler.windowsUser = std::filesystem::absolute(env.prefix.root());
        scheduler.windowsRoot = env.windowsPartition;
    }
    return scheduler;
}

Registration RegisterJob(const JobChoices& choices, const TaskScheduler& scheduler,
                         Prompter& prompter) {
    const auto info = BuildJobInfo(choices, scheduler.program.string());
    if (!info) {
        prompter.ShowMessage({MessageId::StartTimeNotATime, {choices.startTime}},
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
                throw std::runtime_error(MessageText(MessageId::JobNeedsItsPassword));
            record = *recordWithoutPassword;
            const bool once = record.daysOfWeek == 0 && record.daysOfMonth == 0;
            passwordFile = StoreJobPassword(choices.password, once);
        }
        const int number =
            addJob(record, scheduler, passwordFile, jobArguments(choices, scheduler));
        if (!scheduler.timers && !scheduler.cronDaemonRuns()) {
            prompter.ShowMessage({MessageId::TaskNotRunning, {std::to_string(number)}},
                                 MessageIcon::Exclamation);
            return {RegisterResult::NotRunning, number};
        }
        prompter.ShowMessage({MessageId::TaskScheduled, {std::to_string(number)}},
                             MessageIcon::None);
        return {RegisterResult::Registered, number};
    } catch (const std::exception& e) {
        if (!passwordFile.empty())
            RemoveJobPasswordFile(passwordFile);
        prompter.ShowMessage({MessageId::TaskNotScheduled, {e.what()}}, MessageIcon::Critical);
        return {RegisterResult::Failed, 0};
    }
}

bool UnscheduleJob(const Crontab& crontab, int number, bool keepPasswordFile) {
    const auto removed = crontab.RemoveJob(number);
    if (removed && !keepPasswordFile && !removed->passwordFile.empty())
        RemoveJobPasswordFile(removed->passwordFile);
    return removed.has_value();
}

namespace {

JobListing listingOf(const CronJob& job) {
    JobListing l;
    l.number = job.number;
    l.time = timeText(job.info.jobTime);
    l.days = daysText(job.info);
    l.winePrefix = job.winePrefix.string();
    const auto& machine = job.arguments.machine;
    for (std::size_t i = 0; i + 1 < machine.size(); i += 2)
        if (machine[i] == "--windows-user")
            l.windowsUser = machine[i + 1];
    l.keep = KeepPolicyOfArguments(job.arguments.run);
    const auto& run = job.arguments.run;
    for (std::size_t i = 0; i + 1 < run.size(); i += 2)
        if (run[i] == "--repository")
            l.repository = run[i + 1];
    const auto close = job.info.command.find('"', 1);
    if (close == std::string::npos || close + 2 > job.info.command.size()) {
        l.problem = MessageText(MessageId::JobLineChangedByHand);
    } else if (const auto cmd = ParseAutoBackupCommand({job.info.command.substr(close + 2)},
                                                       l.problem, !l.repository.empty())) {
        l.profile = cmd->profile;
        l.items = cmd->mask;
        l.targetFile = cmd->backupFile;
    } else {
        l.problem = MessageText(MessageId::JobRefusedBecause, l.problem);
    }
    l.info = job.info;
    return l;
}

} // namespace

std::vector<JobListing> ListJobs(const Crontab& crontab) {
    std::vector<JobListing> listings;
    for (const CronJob& job : crontab.Jobs())
        listings.push_back(listingOf(job));
    return listings;
}

std::vector<JobListing> ListJobs(const TaskScheduler& scheduler) {
    std::vector<JobListing> listings;
    if (scheduler.timers) {
        for (const CronJob& job : scheduler.timers->Jobs()) {
            listings.push_back(listingOf(job));
            listings.back().where = MessageText(MessageId::JobWhereTimer);
        }
        try {
            for (const CronJob& job : scheduler.crontab.Jobs())
                listings.push_back(listingOf(job));
        } catch (const CrontabError&) {
            // Without a crontab program the timers are all there is.
        }
        return listings;
    }
    return ListJobs(scheduler.crontab);
}

bool UnscheduleJob(const TaskScheduler& scheduler, int number, bool keepPasswordFile) {
    std::optional<CronJob> removed;
    if (scheduler.timers)
        removed = scheduler.timers->RemoveJob(number);
    if (!removed)
        return UnscheduleJob(scheduler.crontab, number, keepPasswordFile);
    if (!keepPasswordFile && !removed->passwordFile.empty())
        RemoveJobPasswordFile(removed->passwordFile);
    return true;
}

std::vector<int> MoveCronJobsToTimers(const TaskScheduler& scheduler) {
    if (!scheduler.timers)
        throw CrontabError(MessageText(MessageId::NoUserManagerJobsStay));
    std::vector<int> moved;
    for (const CronJob& job : scheduler.crontab.Jobs()) {
        if (job.info.command.empty())
            continue; // a line edited beyond reading stays where it is
        scheduler.timers->AddJob(job.info, job.number, job.winePrefix, job.passwordFile,
                                 job.arguments);
        scheduler.crontab.RemoveJob(job.number);
        moved.push_back(job.number);
    }
    return moved;
}

} // namespace trelmig
