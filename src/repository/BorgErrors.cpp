#include "platform/TcpProbe.h"
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

// ssh's own words for a connection it could not make ("ssh: connect to host
// ... Connection refused"), which borg passes on only as a remote warning.
std::string sshReason(const std::vector<BorgLogLine>& messages) {
    constexpr std::string_view kRemote = "Remote: ";
    for (auto it = messages.rbegin(); it != messages.rend(); ++it)
        if (it->message.starts_with("Remote: ssh: "))
            return it->message.substr(kRemote.size());
    return {};
}

// borg 1.2 passes ssh's words on only when it reads them before it sees the
// connection close; else the server is asked here, on the address's host and
// port (22 when it names none).
std::string connectionReason(const std::string& url, const std::vector<BorgLogLine>& messages) {
    if (std::string ssh = sshReason(messages); !ssh.empty())
        return ssh;
    constexpr std::string_view kScheme = "ssh://";
    if (!url.starts_with(kScheme))
        return {};
    const auto at = url.find('@');
    const auto hostStart = at == std::string::npos ? kScheme.size() : at + 1;
    const auto slash = url.find('/', hostStart);
    const std::string server = url.substr(hostStart, slash - hostStart);
    const auto colon = server.rfind(':');
    const std::string host = server.substr(0, colon);
    int port = 22;
    if (colon != std::string::npos) {
        const std::string digits = server.substr(colon + 1);
        if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos ||
            digits.size() > 5)
            return {};
        port = std::stoi(digits);
    }
    if (const auto failure = TcpConnectFailure(host, port))
        return "ssh: connect to host " + host + " port " + std::to_string(port) + ": " + *failure;
    return {};
}

std::string reasonOf(const BorgCall& call, const std::vector<BorgLogLine>& messages,
                     const BorgLogLine* error) {
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
    if (msgid.starts_with("ConnectionClosed")) {
        const std::string ssh = connectionReason(url, messages);
        return "the connection to the server of " + url + " was closed (" +
               (ssh.empty() ? error->message : ssh) + ").";
    }
    // A connection cut during the run: borg's own words are a traceback.
    const bool cut = std::any_of(messages.begin(), messages.end(), [](const BorgLogLine& line) {
        return line.message.find("Broken pipe") != std::string::npos ||
               line.message.find("Connection reset by peer") != std::string::npos;
    });
    if (url.starts_with("ssh://") && cut)
        return "the connection to the server of " + url +
               " was cut during the run (Broken pipe); what was sent is left as a checkpoint "
               "or discarded, and the next run starts afresh.";
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
    std::string reason = reasonOf(call, messages, lastError(messages));
    if (reason.empty() && !messages.empty())
        reason = messages.back().message;
    if (reason.empty())
        reason = exitCode < 0 ? "borg was ended by a signal."
                              : "borg ended with status " + std::to_string(exitCode) + ".";
    return Error{call.what + ": " + reason};
}

} // namespace trelmig
