#include "restore/RestoreDriver.h"

#include "app/Environment.h"
#include "archive/ZipArchive.h"
#include "archive/ZipEntryNames.h"
#include "core/CancelToken.h"
#include "core/CompletionLog.h"
#include "core/ProgressView.h"
#include "platform/Text.h"
#include "restore/ItemRestore.h"
#include "restore/NewProfile.h"
#include "restore/RestoreUndo.h"
#include "restore/SourceFile.h"

#include <algorithm>
#include <cstdint>
#include <memory>

namespace trelmig {

namespace {

// The bytes the archive holds for the entries an item names.
std::uint64_t entryBytes(const ZipArchive& zip, const std::string& names) {
    std::uint64_t total = 0;
    for (const std::string& name : splitEntryList(names))
        if (const auto entry = zip.GetEntry(name))
            total += entry->size;
    return total;
}

// Follows the extraction's bytes on the bar, from 0 to 100, and in bytes
// with the file that began last.
class ByteProgress {
public:
    ByteProgress(ProgressView& view, std::uint64_t total) : view_(view), total_(total) {}
    void extracting(const std::string& name) {
        item_ = name;
        view_.SetByteProgress(ByteWork::Restoring, item_, done_, total_);
    }
    void written(std::uint64_t moreBytes) {
        done_ = std::min(done_ + moreBytes, total_);
        view_.SetByteProgress(ByteWork::Restoring, item_, done_, total_);
        const int percent = total_ == 0 ? 0 : static_cast<int>(done_ * 100 / total_);
        if (percent != shown_) {
            shown_ = percent;
            view_.SetBarValue(percent);
        }
    }

private:
    ProgressView& view_;
    std::uint64_t total_;
    std::uint64_t done_ = 0;
    int shown_ = 0;
    std::string item_;
};

} // namespace

RestoreDriver::RestoreDriver(Environment& env, ZipArchive& zip, Prompter& prompter,
                             ProgressView& progress)
    : env_(env), zip_(zip), prompter_(prompter), progress_(progress) {}

bool RestoreDriver::refused(const InspectedArchive& archive, const RestoreChoices& c) {
    if (!archive.accepted) {
        // Nothing chosen yet is not a bad file: say what is missing.
        const bool nothingChosen = archive.path.empty() && !archive.passwordRefused;
        prompter_.ShowMessage(
            {nothingChosen ? MessageId::ChooseFileToRestore : MessageId::InvalidBackupFile, {}},
            nothingChosen ? MessageIcon::Exclamation : MessageIcon::Critical);
        return true;
    }
    if (std::none_of(c.boxes.begin(), c.boxes.end(), [](bool b) { return b; })) {
        prompter_.ShowMessage({MessageId::SelectAnItem, {}}, MessageIcon::Exclamation);
        return true;
    }
    // A Windows disk is a source only: nothing is ever written there.
    if (env_.readOnlySource()) {
        prompter_.ShowMessage({MessageId::RestoreIntoReadOnlySource, {env_.prefix.root().string()}},
                              MessageIcon::Critical);
        return true;
    }
    // Wine rewrites its registry files from memory: anything written now
    // would be lost, and Outlook may hold the data files open.
    if (env_.prefix.wineserverRunning()) {
        prompter_.ShowMessage({MessageId::RestoreWhileWineRuns, {}}, MessageIcon::Critical);
        return true;
    }
    return false;
}

std::unique_ptr<UndoRecorder> RestoreDriver::prepareTarget(const RestoreChoices& c, bool& ready) {
    std::unique_ptr<UndoRecorder> undo;
    ready = false;
    try {
        if (undoRecords_)
            undo = std::make_unique<UndoRecorder>(*undoRecords_, env_, c.profile);
    } catch (const std::exception& e) {
        prompter_.ShowMessage({MessageId::UndoNotKeptNothingRestored, {e.what()}},
                              MessageIcon::Critical);
        return undo;
    }
    if (c.createProfile)
        if (auto made = CreateProfile(env_, c.profile, undo.get()); !made) {
            prompter_.ShowMessage(
                {MessageId::ProfileNotMadeNothingRestored, {made.error().message}},
                MessageIcon::Critical);
            return undo;
        }
    ready = true;
    return undo;
}

namespace {

// Whether the record runs: the archive holds it and one of its boxes is ticked.
bool recordRuns(const InspectedArchive& archive, const RestoreChoices& c, std::size_t i) {
    return archive.Holds(i) && RecordRuns(kItemRecords[i], c.boxes);
}

std::uint64_t bytesToRestore(const InspectedArchive& archive, const ZipArchive& zip,
                             const RestoreChoices& c) {
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < kItemRecordCount; ++i)
        if (const auto names = archive.entries.find(std::string(kItemRecords[i].itemKey));
            recordRuns(archive, c, i) && names != archive.entries.end())
            total += entryBytes(zip, names->second);
    return total;
}

// The chosen boxes a record belongs to.
bool anyChosenBox(const ItemRecord& record, const RestoreChoices& c, const ItemSelection& boxes) {
    return std::any_of(record.boxes.begin(), record.boxes.end(), [&](int b) {
        return b >= 0 && c.boxes[static_cast<std::size_t>(b)] && boxes[static_cast<std::size_t>(b)];
    });
}

} // namespace

void RestoreDriver::runRecords(const InspectedArchive& archive, const RestoreChoices& c,
                               ItemRestore& items, const CancelToken* cancel,
                               RestoreRunResult& result) {
    // The profile configuration names the data files: it changes the profile
    // only together with them (the personal folders and the address book
    // rewrite the paths in it).
    items.HoldProfileConfiguration(recordRuns(archive, c, 0) &&
                                   (recordRuns(archive, c, 1) || recordRuns(archive, c, 6)));
    result.allSucceeded = true;
    // The chosen items (boxes) a failed record belonged to: their later
    // records do not run, so a failed item leaves all it would have touched
    // (the rules of the personal folders among them) as it was.
    ItemSelection failedBoxes{};
    for (std::size_t i = 0; i < kItemRecordCount; ++i) {
        const ItemRecord& record = kItemRecords[i];
        const bool logged = !record.restoreLogName.empty();
        if (!recordRuns(archive, c, i))
            continue;
        // Asked only while an item is left to restore.
        if (CancelRequested(cancel)) {
            result.cancelled = true;
            break;
        }
        if (anyChosenBox(record, c, failedBoxes)) {
            if (logged)
                result.log +=
                    CompletionLine(record.restoreFailedName, record.restoreLogSeparator, false,
                                   MessageText(MessageId::NotRestoredEarlierPartFailed));
            continue;
        }
        progress_.SetStatus({StepMessage(record), {}});
        const Result<void> restored = items.Run(record, c.profile);
        const bool ok = restored.has_value();
        const std::string reason = ok ? std::string() : restored.error().message;
        // Stopped inside the item, which therefore changed nothing.
        if (!ok && CancelRequested(cancel)) {
            result.cancelled = true;
            break;
        }
        if (logged)
            result.log += CompletionLine(ok ? record.restoreLogName : record.restoreFailedName,
                                         record.restoreLogSeparator, ok, reason);
        else if (!ok)
            result.log += ReasonLine(reason);
        if (!ok) {
            for (int b : record.boxes)
                if (b >= 0 && c.boxes[static_cast<std::size_t>(b)])
                    failedBoxes[static_cast<std::size_t>(b)] = true;
            result.allSucceeded = false;
            result.failures.push_back(reason);
        }
    }
}

void RestoreDriver::report(RestoreRunResult& result, const std::string& undoLost) {
    if (result.cancelled) {
        result.allSucceeded = false;
        prompter_.ShowMessage(
            result.log.empty() ? Message{MessageId::RestoreCancelled, {undoLost}}
                               : Message{MessageId::RestoreCancelledAfter, {result.log, undoLost}},
            MessageIcon::Information);
        return;
    }
    // The reasons are in the log, each after its item's line. A chosen item
    // that failed is never reported under "Completed!".
    if (!result.allSucceeded)
        prompter_.ShowMessage({MessageId::RestoreNotCompleted, {result.log, undoLost}},
                              MessageIcon::Critical);
    else
        prompter_.ShowMessage({MessageId::RestoreCompleted, {result.log, undoLost}},
                              MessageIcon::Information);
}

RestoreRunResult RestoreDriver::RunRestore(const InspectedArchive& archive, const RestoreChoices& c,
                                           const CancelToken* cancel) {
    RestoreRunResult result;
    if (running_ || refused(archive, c))
        return result;
    bool ready = false;
    std::unique_ptr<UndoRecorder> undo = prepareTarget(c, ready);
    if (!ready)
        return result;
    running_ = true;
    result.started = true;
    progress_.SetBusy(true);
    progress_.SetBarValue(0);
    progress_.SetShown(true);

    ByteProgress bytes(progress_, bytesToRestore(archive, zip_, c));
    zip_.SetEvents({.fileExtracting = [&](const std::string& name) { bytes.extracting(name); },
                    .writeProgress = {},
                    .writeFinished = {},
                    .writeCancelled = {},
                    .extractProgress =
                        [&](std::uint64_t moreBytes) {
                            bytes.written(moreBytes);
                            return !CancelRequested(cancel);
                        },
                    .writeBytes = {}});
    ItemRestore items(env_, zip_, archive);
    items.SetJournal(undo.get());
    runRecords(archive, c, items, cancel, result);
    zip_.SetEvents({});
    std::string undoLost;
    try {
        if (undo)
            undo->finish();
    } catch (const std::exception& e) {
        undoLost = MessageText(MessageId::RestoreCannotBeUndone, e.what());
    }

    progress_.SetBusy(false);
    progress_.SetBarValue(100);
    progress_.SetStatus({MessageId::OperationComplete, {}});
    progress_.SetItemText("");
    progress_.SetShown(false);
    progress_.SetBarValue(0);
    running_ = false;
    report(result, undoLost);
    return result;
}

} // namespace trelmig
