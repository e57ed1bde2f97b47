#pragma once

#include "core/Message.h"
#include "core/RunRecord.h"

#include <ctime>
#include <string>
#include <vector>

namespace trelmig {

struct JobListing;

// One fact of a job: what it is (JobProfile, JobNextRun, ...) and its value
// in parts, each a message; a value holding a time also keeps it stored as
// "YYYY-MM-DD HH:MM[:SS]" (local), for a face that writes times its own way.
struct JobFact {
    MessageId label;
    std::vector<Message> value;
    std::string time;
};

// A scheduled job as --list-jobs prints it and "Open Scheduler" lists it:
// "Task N (where): time, days", then its profile, items and file (or why
// the backup will refuse it), its prefix or Windows user folder, its
// versions, its next run and its last one.
struct JobDescription {
    int number = 0;
    Message heading;
    std::vector<JobFact> facts;
};

JobDescription DescribeJob(const JobListing& job, const std::vector<RunRecord>& runs,
                           const std::tm& now);

// A value's parts in English, joined.
std::string JobValueText(const std::vector<Message>& value);

} // namespace trelmig
