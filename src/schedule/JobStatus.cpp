#include "schedule/JobStatus.h"

#include "core/ItemCatalogue.h"
#include "core/ItemMask.h"
#include "core/KeepPolicy.h"
#include "platform/RunsLog.h"
#include "schedule/TaskScheduler.h"

#include <filesystem>

namespace trelmig {

std::optional<std::tm> NextRunTime(const AtInfo& info, const std::tm& now) {
    const bool everyDay = (info.daysOfWeek & 0x7f) == 0 && info.daysOfMonth == 0;
    const int minutes = static_cast<int>(info.jobTime / 60000);
    // Within 62 days every named day of the week and of the month comes.
    for (int ahead = 0; ahead <= 62; ++ahead) {
        std::tm day = now;
        day.tm_mday += ahead;
        day.tm_hour = minutes / 60;
        day.tm_min = minutes % 60;
        day.tm_sec = 0;
        day.tm_isdst = -1;
        std::tm probe = day;
        const std::time_t when = std::mktime(&probe);
        std::tm nowCopy = now;
        if (when == -1 || when <= std::mktime(&nowCopy))
            continue;
        const int mondayFirst = (probe.tm_wday + 6) % 7;
        if (everyDay || (info.daysOfWeek & (1u << mondayFirst)) ||
            (info.daysOfMonth & (1u << (probe.tm_mday - 1))))
            return probe;
    }
    return std::nullopt;
}

std::vector<RunRecord> RecordedRuns() {
    std::vector<RunRecord> runs;
    if (const auto file = RunsLogFile())
        for (const std::string& line : RunsLogLines(*file))
            if (auto run = ParseRunRecord(line))
                runs.push_back(std::move(*run));
    return runs;
}

std::optional<RunRecord> LastRunOf(const JobListing& job, const std::vector<RunRecord>& runs) {
    const std::filesystem::path file(job.targetFile);
    const auto isItsArchive = [&](const std::string& archive) {
        const std::filesystem::path a(archive);
        return a == file || (a.parent_path() == file.parent_path() &&
                             VersionOfFileName(file.filename().string(), a.filename().string()));
    };
    for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
        if (run->job)
            if (*run->job == job.number)
                return *run;
        if (!run->job && run->profile == job.profile && !job.targetFile.empty() &&
            isItsArchive(run->archive))
            return *run;
    }
    return std::nullopt;
}

LastBackupSummary SummarizeRuns(const std::vector<RunRecord>& runs, const std::tm& now,
                                int staleDays) {
    LastBackupSummary summary;
    const auto add = [&summary](Message part) {
        summary.text += part.Text();
        summary.parts.push_back(std::move(part));
    };
    if (runs.empty()) {
        add({MessageId::LastBackupNone, {}});
        return summary;
    }
    const RunRecord& last = runs.back();
    // "2026-12-09T21:30:00+01:00" -> "2026-12-09 21:30"
    add({MessageId::LastBackupAt, {last.start.substr(0, 10) + " " + last.start.substr(11, 5)}});
    add({RunResultMessage(last.exitStatus), {}});
    summary.alarming = !last.Succeeded();
    std::tm limit = now;
    limit.tm_mday -= staleDays;
    limit.tm_isdst = -1;
    std::mktime(&limit);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &limit);
    bool recentSuccess = false;
    for (const RunRecord& run : runs)
        recentSuccess = recentSuccess || (run.Succeeded() && run.start.substr(0, 19) >= text);
    if (!recentSuccess) {
        summary.alarming = true;
        add({MessageId::LastBackupStale, {std::to_string(staleDays)}});
    }
    return summary;
}

std::string ItemNamesOfMask(const std::string& mask) {
    std::string names;
    const ItemMask ticked = ItemMask::Lenient(mask);
    for (std::size_t i = 0; i < itemCatalogue().size(); ++i)
        if (ticked.Boxes()[i]) {
            const std::string_view caption = itemCatalogue()[i].caption;
            names +=
                (names.empty() ? "" : ", ") + std::string(caption.substr(0, caption.find(" (")));
        }
    return names;
}

} // namespace trelmig
