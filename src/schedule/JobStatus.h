#pragma once

#include "core/RunRecord.h"
#include "platform/CronJobLine.h"

#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace trelmig {

struct JobListing;

// The next local time after now at which a job of this record runs: its
// days of the week or of the month, every day when it names none.
std::optional<std::tm> NextRunTime(const AtInfo& info, const std::tm& now);

// The records of runs.log, oldest first; none when there is none.
std::vector<RunRecord> RecordedRuns();

// The last run of a job: a record carrying its number, else (runs started by
// hand or by an older job line) one of its profile whose archive is its file
// or a version of it.
std::optional<RunRecord> LastRunOf(const JobListing& job, const std::vector<RunRecord>& runs);

// The main window's line about the unattended runs: "Last backup: <when>,
// <result>", alarming when the last run did not succeed or no run succeeded
// within staleDays of now (ISO times compared as text, all local).
struct LastBackupSummary {
    std::string text;           // in English
    std::vector<Message> parts; // the text, part by part, for the windows to translate
    bool alarming = false;
};
LastBackupSummary SummarizeRuns(const std::vector<RunRecord>& runs, const std::tm& now,
                                int staleDays = 7);

// The items of an eight-character mask by name: "Personal Folders, Signatures".
std::string ItemNamesOfMask(const std::string& mask);

} // namespace trelmig
