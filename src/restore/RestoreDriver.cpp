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

#include <algorithm>
#include <cstdint>
#include <memory>

namespace trelmig {

namespace {

// The restore steps, in the order they run; step i stands for flag i + 1.
struct RestoreStep {
    std::array<int, 3> boxes; // any of these ticked (-1 fills)
    const char* statusText;
    const char* logLabel; // nullptr: not logged
    const char* failedLabel;
    const char* tabs;
};

const std::array<RestoreStep, kBackupStepCount>& restoreSteps() {
    static const std::array<RestoreStep, kBackupStepCount> steps = {{
        {{0, 1, 4}, "Copying Config...", nullptr, nullptr, ""},
        {{0, -1, -1},
         "Copying Data Files (Pst Files)...",
         "Restore Personal Folders",
         "Restore Personal Folders",
         "\t\t"},
        {{0, -1, -1}, "Copying Rules...", nullptr, nullptr, ""},
        {{1, -1, -1},
         "Copying Accounts...",
         "Restore Accounts Settings",
         "Restore Accounts Settings",
         "\t\t"},
        {{2, -1, -1},
         "Copying Signatures...",
         "Restore Signatures",
         "Restore Signatures ",
         "\t\t\t"},
        {{3, -1, -1},
         "Copying Stationeries...",
         "Restore Stationeries",
         "Restore Stationeries",
         "\t\t\t"},
        {{4, -1, -1},
         "Copying Address Book...",
         "Restore Personal Address Book",
         "Restore Personal Address Book",
         "\t\t"},
        {{5, -1, -1},
         "Copying Options...",
         "Restore Options Settings",
         "Restore Options Settings",
         "\t\t"},
        {{6, -1, -1}, "Copying Templates...", "Restore Templates", "Restore Templates", "\t\t\t"},
        {{7, -1, -1}, "Copying Setting...", "Restore Preferences", "Restore Preferences", "\t\t\t"},
    }};
    return steps;
}

// The bytes the archive holds for the entries an item names.
std::uint64_t entryBytes(const ZipArchive& zip, const std::string& names) {
    std::uint64_t total = 0;
    for (const std::string& name : splitEntryList(names))
        if (const auto entry = zip.GetEntry(name))
            total += entry->size;
    return total;
}

// Follows the extraction's bytes on the bar, from 0 to 100.
class ByteProgress {
public:
    ByteProgress(ProgressView& view, std::uint64_t total) : view_(view), total_(total) {}
    void written(std::uint64_t moreBytes) {
        done_ = std::min(done_ + moreBytes, total_);
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
};

} // namespace

RestoreDriver::RestoreDriver(Environment& env, ZipArchive& zip, Prompter& prompter,
                             ProgressView& progress)
    : env_(env), zip_(zip), prompter_(prompter), progress_(progress) {}

RestoreRunResult RestoreDriver::RunRestore(const RestoreChoices& c, const CancelToken* cancel) {
    RestoreRunResult result;
    Session& s = env_.session;
    if (running_)
        return result;
    if (s.bNoSourceFile) {
        prompter_.Show("Invalid backup file.", MessageIcon::Critical);
        return result;
    }
    if (std::none_of(c.boxes.begin(), c.boxes.end(), [](bool b) { return b; })) {
        prompter_.Show("Please select at least one item.", MessageIcon::Exclamation);
        return result;
    }
    // Wine rewrites its registry files from memory: anything written now
    // would be lost, and Outlook may hold the data files open.
    if (env_.prefix.wineserverRunning()) {
        prompter_.Show("Outlook or Wine is running. Please close Outlook and Wine first (for "
                       "example with \"wineserver -k\"), then restore again.\r\n\r\nNothing "
                       "was restored.",
                       MessageIcon::Critical);
        return result;
    }
    std::unique_ptr<UndoRecorder> undo;
    try {
        if (undoRecords_)
            undo = std::make_unique<UndoRecorder>(*undoRecords_, env_, c.profile);
        if (c.createProfile)
            CreateProfile(env_, c.profile, undo.get());
    } catch (const std::exception& e) {
        prompter_.Show(std::string(undo || !undoRecords_ ? "The profile cannot be made: "
                                                         : "What the restore would replace "
                                                           "cannot be kept for an undo: ") +
                           e.what() + "\r\n\r\nNothing was restored.",
                       MessageIcon::Critical);
        return result;
    }
    running_ = true;
    result.started = true;
    progress_.SetBusy(true);
    progress_.SetBarValue(0);
    progress_.SetShown(true);

    const auto runs = [&](std::size_t i) {
        const RestoreStep& step = restoreSteps()[i];
        return s.strBackupItems.size() > i && s.strBackupItems[i] == '1' &&
               std::any_of(step.boxes.begin(), step.boxes.end(),
                           [&](int b) { return b >= 0 && c.boxes[static_cast<std::size_t>(b)]; });
    };
    std::uint64_t totalBytes = 0;
    for (std::size_t i = 0; i < restoreSteps().size(); ++i)
        if (const auto names = s.strRestoreEntries.find(std::string(backupSteps()[i].itemKey));
            runs(i) && names != s.strRestoreEntries.end())
            totalBytes += entryBytes(zip_, names->second);
    ByteProgress bytes(progress_, totalBytes);

    zip_.SetEvents(
        {.fileExtracting =
             [&](const std::string& name) { progress_.SetItemText("Unzip File " + name); },
         .writeProgress = {},
         .writeFinished = {},
         .writeCancelled = {},
         .extractProgress =
             [&](std::uint64_t moreBytes) {
                 bytes.written(moreBytes);
                 return !CancelRequested(cancel);
             }});

    ItemRestore items(env_, zip_);
    items.SetJournal(undo.get());
    // The profile configuration names the data files: it changes the profile
    // only together with them (steps 2 and 7 rewrite the paths in it).
    items.HoldProfileConfiguration(runs(0) && (runs(1) || runs(6)));
    result.allSucceeded = true;
    // The chosen items (boxes) a failed step belonged to: their later steps
    // do not run, so a failed item leaves all it would have touched (the
    // rules of the personal folders among them) as it was.
    ItemSelection failedBoxes{};
    const auto itemFailed = [&](const RestoreStep& step) {
        return std::any_of(step.boxes.begin(), step.boxes.end(), [&](int b) {
            return b >= 0 && c.boxes[static_cast<std::size_t>(b)] &&
                   failedBoxes[static_cast<std::size_t>(b)];
        });
    };
    for (std::size_t i = 0; i < restoreSteps().size(); ++i) {
        const RestoreStep& step = restoreSteps()[i];
        if (!runs(i))
            continue;
        // Asked only while an item is left to restore.
        if (CancelRequested(cancel)) {
            result.cancelled = true;
            break;
        }
        if (itemFailed(step)) {
            if (step.logLabel)
                result.log += CompletionLine(step.failedLabel, step.tabs, false,
                                             "not restored, as an earlier part of it failed");
            continue;
        }
        progress_.SetStatusText(step.statusText);
        const bool ok = items.Run(backupSteps()[i], c.profile);
        // Stopped inside the item, which therefore changed nothing.
        if (!ok && CancelRequested(cancel)) {
            result.cancelled = true;
            break;
        }
        if (step.logLabel)
            result.log += CompletionLine(ok ? step.logLabel : step.failedLabel, step.tabs, ok,
                                         items.LastError());
        else if (!ok)
            result.log += ReasonLine(items.LastError());
        if (!ok) {
            for (int b : step.boxes)
                if (b >= 0 && c.boxes[static_cast<std::size_t>(b)])
                    failedBoxes[static_cast<std::size_t>(b)] = true;
            result.allSucceeded = false;
            result.failures.push_back(items.LastError());
        }
    }
    zip_.SetEvents({});
    std::string undoLost;
    try {
        if (undo)
            undo->finish();
    } catch (const std::exception& e) {
        undoLost = std::string("\r\n\r\nThis restore cannot be undone: ") + e.what();
    }

    progress_.SetBusy(false);
    progress_.SetBarValue(100);
    progress_.SetStatusText("Operation complete!");
    progress_.SetItemText("");
    progress_.SetShown(false);
    progress_.SetBarValue(0);
    running_ = false;

    if (result.cancelled) {
        result.allSucceeded = false;
        prompter_.Show(
            std::string("The Restore was cancelled. The item at work when it stopped, and those "
                        "after it, were left as they were") +
                (result.log.empty() ? "." : "; these had been restored before:" + result.log) +
                undoLost,
            MessageIcon::Information);
        return result;
    }
    // The reasons are in the log, each after its item's line. A chosen item
    // that failed is never reported under "Completed!".
    if (!result.allSucceeded)
        prompter_.Show("The Restore was not Completed!\t\t\t\r\n" + result.log + undoLost,
                       MessageIcon::Critical);
    else
        prompter_.Show("The Restore was Completed!\t\t\t\r\n" + result.log + undoLost,
                       MessageIcon::Information);
    return result;
}

} // namespace trelmig
