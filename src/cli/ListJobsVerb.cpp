#include "cli/Verbs.h"

#include "schedule/TaskScheduler.h"

#include <ostream>

namespace trelmig {

int RunListJobs(const CommandLine&, std::ostream& out, std::ostream& err) {
    try {
        const auto jobs = ListJobs(Crontab());
        if (jobs.empty())
            out << "No task is scheduled.\n";
        for (const JobListing& job : jobs) {
            out << "Task " << job.number << ": " << job.time << ", " << job.days;
            if (job.problem.empty())
                out << ", profile \"" << job.profile << "\", items " << job.items
                    << ", backup file " << job.targetFile;
            else
                out << " (" << job.problem << ")";
            if (!job.winePrefix.empty())
                out << ", Wine prefix " << job.winePrefix;
            out << '\n';
        }
        return 0;
    } catch (const std::exception& e) {
        err << "trelmig: " << e.what() << '\n';
        return 1;
    }
}

} // namespace trelmig
