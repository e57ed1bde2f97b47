#pragma once

#include "core/ItemCatalogue.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace trelmig {

class CancelToken;
class Environment;
struct InspectedArchive;
class ItemRestore;
class UndoRecorder;
class ZipArchive;
class Prompter;
class ProgressView;

struct RestoreChoices {
    std::string profile;        // cbTarget
    ItemSelection boxes{};      // restoreitem(0..7) ticked
    bool createProfile = false; // "New profile...": made before the items run
};

struct RestoreRunResult {
    bool started = false;
    bool allSucceeded = false; // every step that ran succeeded
    std::string log;
    std::vector<std::string> failures; // the reason of each step that failed
    bool cancelled = false;            // stopped by the user
};

// "Restore Now": runs the item restore operations the archive holds and the
// user ticked, in a fixed order, and reports one line per restored item.
// The bar moves with the bytes extracted. A set cancel token stops the run
// between two items or inside an extraction: the item at work then changes
// nothing (each item is restored all or nothing), the items before it stay
// restored and are reported.
class RestoreDriver {
public:
    RestoreDriver(Environment& env, ZipArchive& zip, Prompter& prompter, ProgressView& progress);
    // Restores from the archive an inspection found (open in zip).
    RestoreRunResult RunRestore(const InspectedArchive& archive, const RestoreChoices& choices,
                                const CancelToken* cancel = nullptr);
    bool Running() const { return running_; }
    // Before it replaces anything, each restore keeps what it replaces in a
    // new undo record in this folder (see RestoreUndo.h); a restore whose
    // record cannot be written is refused.
    void KeepUndoRecordsIn(std::filesystem::path folder) { undoRecords_ = std::move(folder); }

private:
    // Says why the restore cannot start, if it cannot.
    bool refused(const InspectedArchive& archive, const RestoreChoices& c);
    // Starts the undo record and makes a new profile; ready is false (and
    // the user was told) when either failed.
    std::unique_ptr<UndoRecorder> prepareTarget(const RestoreChoices& c, bool& ready);
    void runRecords(const InspectedArchive& archive, const RestoreChoices& c, ItemRestore& items,
                    const CancelToken* cancel, RestoreRunResult& result);
    void report(RestoreRunResult& result, const std::string& undoLost);

    Environment& env_;
    ZipArchive& zip_;
    Prompter& prompter_;
    ProgressView& progress_;
    bool running_ = false;
    std::optional<std::filesystem::path> undoRecords_;
};

} // namespace trelmig
