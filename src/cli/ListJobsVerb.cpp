#include "cli/Verbs.h"

#include "core/Message.h"
#include "core/RunRecord.h"
#include "platform/ThisProgram.h"
#include "schedule/JobDescription.h"
#include "schedule/JobStatus.h"
#include "schedule/TaskScheduler.h"

#include <algorithm>
#include <ctime>
#include <ostream>

namespace trelmig {

namespace {

void printJob(const JobDescription& job, std::ostream& out) {
    out << job.heading.Text() << '\n';
    for (const JobFact& fact : job.facts) {
        std::string label = MessageText(fact.label) + ":";
        label.resize(std::max<std::size_t>(label.size() + 1, 10), ' ');
        out << "  " << label << JobValueText(fact.value) << '\n';
    }
}

} // namespace

int RunListJobs(const CommandLine&, std::ostream& out, std::ostream& err) {
    try {
        const auto jobs = ListJobs(ThisUsersScheduler(CommandLineProgram(), {}));
        if (jobs.empty())
            out << MessageText(MessageId::NoTaskScheduled) << '\n';
        const auto runs = RecordedRuns();
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        for (const JobListing& job : jobs)
            printJob(DescribeJob(job, runs, local), out);
        return 0;
    } catch (const std::exception& e) {
        err << MessageText(MessageId::ProgramLine, e.what()) << '\n';
        return 1;
    }
}

} // namespace trelmig
