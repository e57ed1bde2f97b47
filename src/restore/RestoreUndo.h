#pragma once

#include "core/Message.h"
#include "restore/RestoreJournal.h"

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace trelmig {

class Environment;
class Prompter;

// How many undo records are kept: older ones are removed as a new one is kept.
inline constexpr std::size_t kUndoRecordsKept = 5;

// What one restore replaced, kept so that it can be put back. A record is a
// folder under the undo records folder (see UndoRecordsFolder()):
//   undo.txt  the prefix, the profile, the time and one line per change;
//   keys/N.reg  a registry key's subtree (or one value) as it was, in Wine's
//               own registry file form, so nothing of it is lost;
//   files/N   a file as it was: a hard link to the old file where the record
//             lives on the prefix's file system (the restore renames new files
//             over old ones and never writes into them), else a clone or copy.
// Keys, values and files that did not exist are recorded as absent, and the
// folders the restore made as made: the undo removes them.
class UndoRecorder : public RestoreJournal {
public:
    // Starts a record in recordsFolder (created when missing) for a restore
    // into profile; throws std::runtime_error when it cannot be written.
    UndoRecorder(const std::filesystem::path& recordsFolder, Environment& env,
                 const std::string& profile);
    // Removes a record that was not finished.
    ~UndoRecorder() override;
    UndoRecorder(const UndoRecorder&) = delete;
    UndoRecorder& operator=(const UndoRecorder&) = delete;

    void beforeFileChange(const std::filesystem::path& file) override;
    void beforeFolderCreated(const std::string& windowsFolder) override;
    void beforeKeyChange(const std::string& keyPath) override;
    void beforeValueChange(const std::string& keyPath, const std::string& valueName) override;
    void beforeCommit() override { committed_ = true; }

    // Nothing was changed: no change was told, or none was made.
    bool empty() const { return changes_ == 0 || !committed_; }
    // Keeps the record (an empty one is dropped, so that an undo never meets
    // a restore that changed nothing) and removes all but the newest
    // kUndoRecordsKept. Throws std::runtime_error.
    void finish();

private:
    void line(const std::vector<std::string>& fields);
    bool keyCovered(const std::string& keyPath) const;
    std::string nextName(const char* folder);

    std::filesystem::path recordsFolder_;
    std::filesystem::path folder_; // while being written: ".new-<name>"
    std::string name_;
    Environment& env_;
    std::ofstream manifest_;
    std::set<std::string> keys_;   // recorded keys, case-folded
    std::set<std::string> values_; // key + '\n' + value name, case-folded
    std::set<std::filesystem::path> files_;
    std::size_t changes_ = 0;
    std::size_t stored_ = 0;
    bool committed_ = false;
    bool finished_ = false;
};

struct UndoRecord {
    std::filesystem::path folder;
    std::string prefix;
    std::string profile;
    std::string time; // local time, "YYYY-MM-DD HH:MM:SS"
    // "the restore into profile "Work" of /home/sam/.wine on 2026-12-09 06:50:01"
    std::string label() const;
};

// The records kept, newest first; unreadable ones are left out.
std::vector<UndoRecord> ListUndoRecords(const std::filesystem::path& recordsFolder);

struct UndoOutcome {
    bool done = false;
    std::vector<Message> said; // what was put back, or why nothing was
    std::string message;       // the same in English

    void Say(std::vector<Message> parts);
};

// Puts back everything the record holds, all or nothing: the old files are
// placed beside their places first and the registry changed in memory, then
// the files are renamed into place and the registry saved; a failure on the
// way renames the files back and changes nothing. Refuses while Wine runs for
// the prefix. The record is removed once it was put back.
UndoOutcome UndoRestore(const UndoRecord& record, Prompter& prompter);

} // namespace trelmig
