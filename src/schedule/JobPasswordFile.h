#pragma once

#include <filesystem>
#include <string>

namespace trelmig {

// The password of a scheduled backup is kept out of the job's command line,
// where every local user could read it while the job runs: it lives in a file
// only the user can read, beside the user's other settings
// ($XDG_CONFIG_HOME/trelmig/jobs, else ~/.config/trelmig/jobs), and the job
// names that file. A job that runs once gets a "once-" file, which its run
// removes after reading it; the others keep theirs until they are removed.

std::filesystem::path JobPasswordFolder();

// Writes the password to a new file (mode 0600) in the folder (mode 0700).
// Throws std::runtime_error when it cannot be written.
std::filesystem::path StoreJobPassword(const std::string& password, bool once);

// True for a file this program made in the folder: a file named on a crontab
// line edited by hand is never removed.
bool IsJobPasswordFile(const std::filesystem::path& file);
bool IsOnceJobPasswordFile(const std::filesystem::path& file);

// Removes a file IsJobPasswordFile accepts; anything else is left alone.
void RemoveJobPasswordFile(const std::filesystem::path& file);

// The password in the file (a job's or one a user made: its first line).
// Throws std::runtime_error naming the file when it cannot be read.
std::string ReadPasswordFile(const std::filesystem::path& file);

} // namespace trelmig
