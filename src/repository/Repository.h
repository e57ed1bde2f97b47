#pragma once

#include "core/CancelToken.h"
#include "core/Error.h"
#include "core/KeepPolicy.h"
#include "repository/RepositoryAddress.h"
#include "repository/RepositoryVersion.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace trelmig {

// The operations on a BorgBackup repository. borg does the work, run as a
// child process of this one (never through a shell) with the user's
// environment (BORG_RSH, BORG_BASE_DIR, ~/.ssh/config stay in force); the
// passphrase reaches it through a pipe (BORG_PASSPHRASE_FD), never on a
// command line or in its environment. An empty passphrase is none (a
// repository without encryption, or one that was never asked for one).
//
// Every operation waits kLockWaitSeconds for a lock another run holds, then
// refuses, naming the holder where it can be read. Nothing here makes a
// repository except MakeRepository.

// How far borg has got, from its --log-json progress lines.
struct RepositoryProgress {
    std::uint64_t originalBytes = 0; // of the files read so far
    std::uint64_t compressedBytes = 0;
    std::uint64_t deduplicatedBytes = 0; // what the version adds so far
    std::uint64_t files = 0;
    std::string path;              // the file at work, relative to the version
    std::optional<double> percent; // where borg counts in percent (extract, check)
    std::string message;           // borg's own words for a step, when it says one
    std::uint64_t totalBytes = 0;  // CreateVersion: the request's totalBytes
};

// Called on the thread that called the operation, while borg runs, for each
// progress line borg writes; it must return quickly.
using RepositoryProgressCallback = std::function<void(const RepositoryProgress&)>;

// What a prune did.
struct PruneOutcome {
    std::vector<std::string> removed; // the versions pruned
    std::vector<std::string> kept;
    std::vector<std::string> checkpointsRemoved; // left by a run that was stopped
    // The repository is append-only: the pruned versions are only hidden and
    // compacting frees nothing until its owner compacts without that mode.
    bool appendOnly = false;
    std::uint64_t freedBytes = 0; // what compacting freed
};

// What a new version is made from.
struct VersionRequest {
    std::string folder; // host folder whose contents become the version, names relative to it
    std::string computer, prefix, profile, items;
    // When it was made (local time); the version's name and date. nullopt: now.
    std::optional<VersionTime> time;
    std::uint64_t totalBytes = 0; // of the folder's files, for the progress
    // The files of the folder the version holds, in this order (the order of
    // a .kvx's entries); empty: the whole folder.
    std::vector<std::string> entries;
};

// `borg init` with EncryptionForThisMachine() (unencrypted with an empty
// passphrase); refuses a folder that holds a repository or other files.
Result<void> MakeRepository(const RepositoryAddress& address, const std::string& passphrase);

// false when nothing, or no repository, is at the address; an error for a
// repository that cannot be opened (wrong passphrase, lock, connection).
Result<bool> RepositoryExists(const RepositoryAddress& address, const std::string& passphrase);

// Every version, oldest first, with its sizes. Checkpoints of stopped runs
// are left out.
Result<std::vector<RepositoryVersion>> ListVersions(const RepositoryAddress& address,
                                                    const std::string& passphrase);

// The version a name stands for: the name itself, or kLatestVersionName for
// the newest of any source; its name and time, without sizes or comment.
Result<RepositoryVersion> FindVersion(const RepositoryAddress& address,
                                      const std::string& passphrase,
                                      const std::string& versionName);

// `borg create` of the request's folder; first removes checkpoints an
// earlier run of the same source left when it never finished (a note in the
// program's state folder tells; without one, every run looks).
Result<RepositoryVersion> CreateVersion(const RepositoryAddress& address,
                                        const std::string& passphrase,
                                        const VersionRequest& request,
                                        const RepositoryProgressCallback& progress = {},
                                        const CancelToken* cancel = nullptr);

// `borg delete` of one version.
Result<void> DeleteVersion(const RepositoryAddress& address, const std::string& passphrase,
                           const std::string& versionName);

// The files a version holds, in the order they were stored, relative to the
// folder it was made from.
Result<std::vector<std::string>> VersionEntries(const RepositoryAddress& address,
                                                const std::string& passphrase,
                                                const std::string& versionName);

// `borg extract` of a version into an existing, empty destination folder.
Result<void> ExtractVersion(const RepositoryAddress& address, const std::string& passphrase,
                            const std::string& versionName, const std::string& destination,
                            const RepositoryProgressCallback& progress = {},
                            const CancelToken* cancel = nullptr);

// Prunes the versions of one source (RepositorySourceName) by the policy,
// then compacts the repository when that removed a version or a checkpoint.
Result<PruneOutcome> PruneVersions(const RepositoryAddress& address, const std::string& passphrase,
                                   const std::string& sourceName, const KeepPolicy& policy);

// `borg check`; readData also reads every chunk back (slow).
Result<void> CheckRepository(const RepositoryAddress& address, const std::string& passphrase,
                             bool readData, const RepositoryProgressCallback& progress = {},
                             const CancelToken* cancel = nullptr);

// The repository's key as `borg key export --paper` prints it, to be kept on
// paper: without it and the passphrase a repokey repository that lost its
// key file cannot be read.
Result<std::string> ExportRepositoryKey(const RepositoryAddress& address,
                                        const std::string& passphrase);

// `borg break-lock`: for a lock a run left that is known to be dead.
Result<void> BreakLock(const RepositoryAddress& address);

// How long an operation waits for a lock another run holds.
inline constexpr int kLockWaitSeconds = 10;

// The chunker every version's files are cut with (fixed 64 KiB blocks): a
// data file that changed in place adds only its changed blocks.
inline constexpr const char* kChunkerParams = "fixed,65536";
// The compression every version's chunks are stored with.
inline constexpr const char* kCompression = "zstd,3";

// The encryption a new repository is made with: borg's repokey (HMAC-SHA256
// ids and MACs) where this processor computes SHA-256 in hardware, else
// repokey-blake2 (BLAKE2b, faster in software). borg hashes every byte of
// every file on each run, so this is most of a nightly run's time.
const char* EncryptionForThisMachine();

} // namespace trelmig
