#pragma once

#include "core/Message.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace trelmig {

// What one unattended run left: one JSON object on one line of runs.log.
struct RunRecord {
    std::optional<int> job; // the scheduled task that started it
    std::string prefix;
    std::string profile;
    std::string start; // ISO 8601 local time with its offset
    std::string end;
    int exitStatus = 0; // as the process exited: 0 written, 1 failed, 2 refused, 3 partial
    std::string archive;
    std::uint64_t bytes = 0;
    std::vector<std::string> done; // items by name
    std::vector<std::string> failed;
    std::vector<std::string> notUsed; // chosen, but the profile has nothing of them
    std::string message;

    bool Succeeded() const { return exitStatus == 0; }
    bool operator==(const RunRecord&) const = default;
};

// "Succeeded", "Partly failed", "Failed", "Refused" for an exit status.
MessageId RunResultMessage(int exitStatus);
std::string RunResultText(int exitStatus);

std::string RunRecordJson(const RunRecord& record); // one line, no line break
// nullopt for a line that is not such an object (a line cut short by a crash).
std::optional<RunRecord> ParseRunRecord(const std::string& line);

} // namespace trelmig
