#include "schedule/JobDescription.h"

#include "core/KeepPolicy.h"
#include "schedule/JobStatus.h"
#include "schedule/TaskScheduler.h"

namespace trelmig {

namespace {

using enum MessageId;

Message text(MessageId id, std::string value = {}) {
    return {id, {std::move(value)}};
}

// A value as it is, in every language.
Message bare(std::string value) {
    return text(ReasonOnly, std::move(value));
}

std::string timeText(const char* format, const std::tm& t) {
    char text[32];
    std::strftime(text, sizeof text, format, &t);
    return text;
}

JobFact lastRunFact(const JobListing& job, const std::vector<RunRecord>& runs) {
    const auto last = LastRunOf(job, runs);
    if (!last)
        return {JobLastRun, {text(JobLastRunNone)}, {}};
    JobFact fact{
        JobLastRun, {bare(last->start), bare(", "), text(RunResultMessage(last->exitStatus))}, {}};
    // "2026-12-09T21:30:00+01:00" -> "2026-12-09 21:30:00"
    if (last->start.size() >= 19)
        fact.time = last->start.substr(0, 10) + " " + last->start.substr(11, 8);
    if (!last->Succeeded())
        fact.value.push_back(bare(": " + last->message));
    return fact;
}

} // namespace

JobDescription DescribeJob(const JobListing& job, const std::vector<RunRecord>& runs,
                           const std::tm& now) {
    JobDescription d;
    d.number = job.number;
    d.heading = {JobHeading, {std::to_string(job.number), job.where, job.time, job.days}};
    if (job.problem.empty()) {
        d.facts.push_back({JobProfile, {bare(job.profile)}, {}});
        d.facts.push_back({JobItems, {bare(ItemNamesOfMask(job.items))}, {}});
        if (job.repository.empty())
            d.facts.push_back({JobFile, {bare(job.targetFile)}, {}});
        else
            d.facts.push_back({JobRepository, {bare(job.repository)}, {}});
    } else {
        d.facts.push_back({JobProblem, {bare(job.problem)}, {}});
    }
    if (!job.winePrefix.empty())
        d.facts.push_back({JobPrefix, {bare(job.winePrefix)}, {}});
    if (!job.windowsUser.empty())
        d.facts.push_back({JobSource, {text(JobSourceWindowsUser, job.windowsUser)}, {}});
    d.facts.push_back(
        {JobVersions,
         {job.keep ? text(JobVersionsKept, KeepPolicyText(*job.keep)) : text(JobVersionsNone)},
         {}});
    if (const auto next = NextRunTime(job.info, now))
        d.facts.push_back({JobNextRun,
                           {bare(timeText("%a %Y-%m-%d %H:%M", *next))},
                           timeText("%Y-%m-%d %H:%M", *next)});
    else
        d.facts.push_back({JobNextRun, {text(JobNextRunUnknown)}, {}});
    d.facts.push_back(lastRunFact(job, runs));
    return d;
}

std::string JobValueText(const std::vector<Message>& value) {
    std::string joined;
    for (const Message& part : value)
        joined += part.Text();
    return joined;
}

} // namespace trelmig
