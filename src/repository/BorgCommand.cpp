#include "repository/BorgCommand.h"

#include "platform/ChildProcess.h"
#include "platform/SystemLog.h"

#include <stdexcept>

namespace trelmig {

namespace {

// Stale locks borg removed: a run on this machine that was killed left
// them; borg breaks them itself when their process is gone.
bool isStaleLockNote(const BorgLogLine& line) {
    return line.message.starts_with("Killed stale lock") ||
           line.message.starts_with("Removed stale");
}

} // namespace

BorgCall MakeBorgCall(const RepositoryAddress& address, std::vector<std::string> arguments,
                      const std::string& passphrase, std::string what) {
    BorgCall call;
    call.address = address;
    call.arguments = std::move(arguments);
    call.passphrase = passphrase;
    call.what = std::move(what);
    return call;
}

Result<BorgOutput> RunBorg(const BorgCall& call) {
    BorgOutput output;
    std::vector<BorgLogLine> messages;
    ChildProcessRequest request;
    request.argv = {"borg", "--log-json", "--lock-wait", std::to_string(kLockWaitSeconds)};
    request.argv.insert(request.argv.end(), call.arguments.begin(), call.arguments.end());
    request.workingFolder = call.workingFolder;
    request.input = call.input;
    // Our passphrase only: one in the environment would take precedence.
    if (!call.passphrase.empty())
        request.unsetEnvironment = {"BORG_PASSPHRASE", "BORG_PASSCOMMAND"};
    request.secret = call.passphrase;
    request.secretVariable = "BORG_PASSPHRASE_FD";
    request.onErrorLine = [&](std::string_view text) {
        BorgLogLine line = ParseBorgLogLine(text);
        if (line.kind == BorgLogLine::Kind::Progress) {
            if (call.progress)
                call.progress(line.progress);
            return;
        }
        if (line.kind != BorgLogLine::Kind::Message || line.level == "DEBUG")
            return;
        if (isStaleLockNote(line)) {
            SystemLog().info("borg: " + line.message);
            if (call.progress) {
                RepositoryProgress note;
                note.message = line.message;
                call.progress(note);
            }
        }
        messages.push_back(std::move(line));
    };
    if (call.cancel)
        request.stopRequested = [&] { return call.cancel->Requested(); };

    ChildProcessResult result;
    try {
        result = RunChildProcess(request);
    } catch (const std::exception& e) {
        return Fail(call.what + ": " + e.what());
    }
    if (!result.started)
        return Fail(call.what + ": BorgBackup (borg) is not installed or cannot be run (" +
                    result.startError + "); install the package borgbackup.");
    if (result.exitCode == 0 || result.exitCode == 1) {
        if (result.stopped)
            return std::unexpected(BorgFailure(call, messages, result.exitCode, true));
        output.json = std::move(result.out);
        output.warned = result.exitCode == 1;
        output.messages = std::move(messages);
        return output;
    }
    return std::unexpected(BorgFailure(call, messages, result.exitCode, result.stopped));
}

} // namespace trelmig
