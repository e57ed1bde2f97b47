#include "repository/BorgCommand.h"
#include "repository/RepositoryLockHolder.h"

#include <algorithm>

namespace trelmig {

namespace {

bool isError(const BorgLogLine& line) {
    return line.level == "ERROR" || line.level == "CRITICAL";
}

// borg's last words of error level: its summary of the failure.
const BorgLogLine* lastError(const std::vector<BorgLogLine>& messages) {
    const auto it = std::find_if(messages.rbegin(), messages.rend(), isError);
    return it == messages.rend() ? nullptr : &*it;
}

bool saysDiskFull(const std::vector<BorgLogLine>& messages) {
    return std::any_of(messages.begin(), messages.end(), [](const BorgLogLine& line) {
        return line.msgid.find("InsufficientFreeSpace") != std::string::npos ||
               line.message.find("No space left on device") != std::string::npos ||
               line.message.find("Errno 28") != std::string::npos ||
               line.message.find("Insufficient free space") != std::string::npos;
    });
}

std::string reasonOf(const BorgCall& call, const BorgLogLine* error) {
    const std::string& url = call.address.url;
    const std::string msgid = error ? error->msgid : std::string();
    if (msgid == "PassphraseWrong")
        return "the passphrase of the repository " + url + " is wrong; nothing was changed.";
    if (msgid == "Repository.DoesNotExist")
        return "there is no repository at " + url +
               " (none is made unasked: make one with --make-repository).";
    if (msgid == "Repository.InvalidRepository" || msgid == "Repository.InvalidRepositoryConfig")
        return url + " is not a BorgBackup repository.";
    if (msgid == "Repository.ParentPathDoesNotExist")
        return "the folder that is to hold " + url + " does not exist.";
    if (msgid == "Repository.AlreadyExists" || msgid == "Repository.PathAlreadyExists")
        return "there already is a repository or other files at " + url + ".";
    if (msgid == "LockTimeout" || msgid == "LockFailed" || msgid == "LockError") {
        const auto holder = RepositoryLockHolder(call.address);
        return "the repository " + url + " is locked by another run (" +
               holder.value_or("its holder cannot be read on a server") +
               ") that did not end within " + std::to_string(kLockWaitSeconds) +
               " seconds. Try again when it has ended; if that run is known to be dead, break the "
               "lock.";
    }
    if (msgid.starts_with("ConnectionClosed"))
        return "the connection to the server of " + url + " was closed (" + error->message + ").";
    if (msgid == "Archive.AlreadyExists")
        return "the repository " + url + " already holds that version (" + error->message + ").";
    if (msgid == "Archive.DoesNotExist")
        return "the repository " + url + " holds no such version (" + error->message + ").";
    if (msgid == "Cache.RepositoryAccessAborted" || msgid == "Cache.CacheInitAbortedError" ||
        msgid == "Cache.EncryptionMethodMismatch" || msgid == "Cache.RepositoryReplay")
        return "borg refused to use the repository " + url + " without a question asked (" +
               error->message + ").";
    if (error)
        return error->message;
    return "";
}

} // namespace

Error BorgFailure(const BorgCall& call, const std::vector<BorgLogLine>& messages, int exitCode,
                  bool cancelled) {
    if (cancelled)
        return Error{call.what + ": cancelled."};
    if (saysDiskFull(messages))
        return Error{call.what + ": the disk of the repository " + call.address.url +
                     " is full; earlier versions are left as they were."};
    std::string reason = reasonOf(call, lastError(messages));
    if (reason.empty() && !messages.empty())
        reason = messages.back().message;
    if (reason.empty())
        reason = exitCode < 0 ? "borg was ended by a signal."
                              : "borg ended with status " + std::to_string(exitCode) + ".";
    return Error{call.what + ": " + reason};
}

} // namespace trelmig
