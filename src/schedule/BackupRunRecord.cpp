#include "schedule/BackupRunRecord.h"

#include "backup/BackupRun.h"
#include "core/ItemCatalogue.h"
#include "core/Message.h"

namespace trelmig {

namespace {

std::vector<std::string> itemNames(const std::vector<std::size_t>& records) {
    std::vector<std::string> names;
    names.reserve(records.size());
    for (std::size_t i : records)
        names.emplace_back(kItemRecords[i].backupLogName);
    return names;
}

// "Backup Signatures (why), ..." for the items of those records.
std::string itemList(const std::vector<std::size_t>& records,
                     const std::array<std::string, kItemRecordCount>& reasons) {
    std::string list;
    for (std::size_t i : records)
        list += (list.empty() ? "" : ", ") + std::string(kItemRecords[i].backupLogName) + " (" +
                reasons[i] + ")";
    return list;
}

} // namespace

void RecordBackupOutcome(RunRecord& record, const BackupRunResult& outcome,
                         const std::string& targetFile, const std::string& chosenFile) {
    if (outcome.cancelled) {
        record.exitStatus = 1;
        record.message = MessageText(MessageId::BackupCancelled, targetFile);
        return;
    }
    if (!outcome.written) {
        record.exitStatus = 1;
        record.message =
            MessageText(MessageId::RunWriteFailed, record.profile, targetFile, outcome.writeError);
        return;
    }
    record.bytes = outcome.archiveBytes;
    record.done = itemNames(outcome.itemsDone);
    record.failed = itemNames(outcome.itemsFailed);
    record.notUsed = itemNames(outcome.itemsSkipped);
    record.archive = outcome.archivePath;

    const std::string absent = itemList(outcome.itemsSkipped, outcome.absent);
    std::string names;
    for (const std::string& name : record.done)
        names += (names.empty() ? "" : ", ") + name;
    record.message = MessageText(MessageId::RunWritten, record.profile, outcome.archivePath, names);
    if (!absent.empty())
        record.message += MessageText(MessageId::RunNothingToBackUpFor, absent);
    record.exitStatus = 0;
    if (outcome.Partial()) {
        record.message +=
            MessageText(MessageId::RunItemsFailed, itemList(outcome.itemsFailed, outcome.failures));
        if (outcome.keptEarlier)
            record.message +=
                MessageText(MessageId::RunEarlierKept, chosenFile, outcome.archivePath);
        record.exitStatus = 3;
    }
}

} // namespace trelmig
