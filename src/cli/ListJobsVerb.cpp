#include "cli/Verbs.h"

#include "core/Message.h"
#include "core/RunRecord.h"
#include "schedule/JobStatus.h"
#include "schedule/TaskScheduler.h"

#include <ctime>
#include <ostream>

namespace trelmig {

namespace {

std::string whenText(const std::tm& t) {
    char text[32];
    std::strftime(text, sizeof text, "%a %Y-%m-%d %H:%M", &t);
    return text;
}

void printJob(const JobListing& job, const std::vector<RunRecord>& runs, const std::tm& now,
              std::ostream& out) {
    out << "Task " << job.number << " (" << job.where << "): " << job.time << ", " << job.days
        << '\n';
    if (job.problem.empty()) {
        out << "  profile:  " << job.profile << '\n'
            << "  items:    " << ItemNamesOfMask(job.items) << '\n'
            << "  file:     " << job.targetFile << '\n';
    } else {
        out << "  problem:  " << job.problem << '\n';
    }
    if (!job.winePrefix.empty())
        out << "  prefix:   " << job.winePrefix << '\n';
    if (!job.windowsUser.empty())
        out << "  source:   Windows user folder " << job.windowsUser << '\n';
    out << "  versions: "
        << (job.keep ? "kept (" + KeepPolicyText(*job.keep) + ")" : "none, the file is replaced")
        << '\n';
    const auto next = NextRunTime(job.info, now);
    out << "  next run: " << (next ? whenText(*next) : "unknown") << '\n';
    if (const auto last = LastRunOf(job, runs))
        out << "  last run: " << last->start << ", " << RunResultText(last->exitStatus)
            << (last->Succeeded() ? "" : ": " + last->message) << '\n';
    else
        out << "  last run: none yet\n";
}

} // namespace

int RunListJobs(const CommandLine&, std::ostream& out, std::ostream& err) {
    try {
        const auto jobs = ListJobs(ThisUsersScheduler(CurrentProgram(), {}));
        if (jobs.empty())
            out << MessageText(MessageId::NoTaskScheduled) << '\n';
        const auto runs = RecordedRuns();
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        for (const JobListing& job : jobs)
            printJob(job, runs, local, out);
        return 0;
    } catch (const std::exception& e) {
        err << MessageText(MessageId::ProgramLine, e.what()) << '\n';
        return 1;
    }
}

} // namespace trelmig
