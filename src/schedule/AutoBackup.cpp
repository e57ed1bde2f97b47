#include "schedule/AutoBackup.h"

#include "app/Environment.h"
#include "archive/ZipArchive.h"
#include "backup/BackupDriver.h"
#include "backup/BackupRequest.h"
#include "backup/BackupRun.h"
#include "core/ItemMask.h"
#include "core/Message.h"
#include "platform/CronJobLine.h"
#include "platform/SystemLog.h"
#include "repository/Repository.h"
#include "schedule/BackupRunRecord.h"
#include "schedule/BackupVersions.h"
#include "schedule/RunReport.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <ostream>
#include <set>

namespace trelmig {

std::optional<AutoBackupCommand> ParseAutoBackupCommand(const std::vector<std::string>& args,
                                                        std::string& error,
                                                        bool backupFileMayBeEmpty) {
    std::string text;
    std::set<std::size_t> joiningBlanks;
    for (const auto& a : args) {
        if (!text.empty()) {
            joiningBlanks.insert(text.size());
            text += ' ';
        }
        text += a;
    }
    std::vector<std::string> pieces;
    std::vector<std::size_t> starts;
    std::size_t start = 0;
    for (;;) {
        const auto eq = text.find('=', start);
        pieces.push_back(
            text.substr(start, eq == std::string::npos ? std::string::npos : eq - start));
        starts.push_back(start);
        if (eq == std::string::npos)
            break;
        start = eq + 1;
    }
    if (pieces.size() != 5) {
        error = MessageText(pieces.size() < 5 ? MessageId::CommandLineNeedsFourValues
                                              : MessageId::CommandLineValueHoldsEquals);
        return std::nullopt;
    }
    std::string values[4];
    for (std::size_t i = 1; i <= 4; ++i) {
        std::string v = pieces[i];
        if (i < 4) {
            if (v.size() < 2) {
                error = MessageText(MessageId::CommandLineNotInForm);
                return std::nullopt;
            }
            v.resize(v.size() - 2);
            if (!v.empty() && v.back() == ' ' && joiningBlanks.count(starts[i] + v.size() - 1))
                v.pop_back();
        }
        values[i - 1] = v;
    }
    AutoBackupCommand cmd{values[0], values[1], values[2], values[3]};
    if (cmd.profile.empty() || cmd.mask.empty() ||
        (cmd.backupFile.empty() && !backupFileMayBeEmpty)) {
        error = MessageText(MessageId::CommandLineValueEmpty);
        return std::nullopt;
    }
    const std::optional<ItemMask> mask = ItemMask::Parse(cmd.mask);
    if (!mask) {
        error = MessageText(MessageId::CommandLineItemsNotAMask);
        return std::nullopt;
    }
    // As the schedule window refuses them: a run choosing nothing would replace
    // a good archive by an empty one, and a password with a line break makes an
    // archive no prompt can open.
    if (mask->Empty()) {
        error = MessageText(MessageId::CommandLineNoItem);
        return std::nullopt;
    }
    if (cmd.password.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) {
        error = MessageText(MessageId::CommandLinePasswordBreak);
        return std::nullopt;
    }
    return cmd;
}

namespace {

int fail(SystemLog& log, std::ostream& err, int code, const std::string& line) {
    log.error(line);
    err << MessageText(MessageId::ProgramLine, line) << '\n';
    return code;
}

// Start-up questions have no one to answer them: they are logged.
class LoggingPrompter : public Prompter {
public:
    explicit LoggingPrompter(SystemLog& log) : log_(log) {}
    MessageAnswer Show(const std::string& text, MessageIcon, MessageButtons) override {
        log_.info(text);
        return MessageAnswer::Ok;
    }

private:
    SystemLog& log_;
};

} // namespace

namespace {

// Reads the password of --password-file into the command; false (with the
// reason in error) when the two cannot go together.
bool takePasswordFromFile(AutoBackupCommand& cmd, const std::optional<std::string>& fromFile,
                          std::string& error) {
    if (!fromFile)
        return true;
    if (!cmd.password.empty())
        error = MessageText(MessageId::PasswordGivenTwice);
    else if (fromFile->find('\0') != std::string::npos)
        error = MessageText(MessageId::PasswordFileHoldsNul);
    else
        cmd.password = *fromFile;
    return error.empty();
}

// The versions of the new version's source the policy does not keep go, and
// the repository is compacted. What fails here is logged: the new version
// is made all the same.
void pruneRepository(const RepositoryAddress& repository, const std::string& passphrase,
                     const std::string& versionName, const KeepPolicy& keep, SystemLog& log,
                     std::ostream& err) {
    const auto source = SourceOfVersionName(versionName);
    if (!source)
        return;
    const auto pruned = PruneVersions(repository, passphrase, *source, keep);
    if (!pruned) {
        log.error(pruned.error().message);
        err << MessageText(MessageId::WarningLine, pruned.error().message) << '\n';
        return;
    }
    if (!pruned->removed.empty()) {
        std::string names;
        for (const std::string& name : pruned->removed)
            names += (names.empty() ? "" : ", ") + name;
        log.info(MessageText(MessageId::VersionsPruned, *source, names));
    }
    if (pruned->appendOnly) {
        const std::string line = MessageText(MessageId::AppendOnlyNothingFreed, repository.url);
        log.info(line);
        err << MessageText(MessageId::WarningLine, line) << '\n';
    }
}

// The backup of one accepted command line; fills the record with what became
// of it.
int backUp(const AutoBackupCommand& cmd, const MachineSource& source,
           const std::optional<KeepPolicy>& keep,
           const std::optional<RepositoryAddress>& repository, SystemLog& log, std::ostream& err,
           RunRecord& record) {
    const auto failWith = [&](int code, const std::string& line) {
        record.message = line;
        return fail(log, err, code, line);
    };
    LoggingPrompter prompter(log);
    const std::unique_ptr<Environment> opened = OpenEnvironment(source, prompter);
    Environment& env = *opened;
    for (const std::string& warning : env.sourceWarnings) {
        log.info(warning);
        err << MessageText(MessageId::WarningLine, warning) << '\n';
    }
    record.prefix = env.prefix.root().string();
    env.Discover();
    const Session& s = env.session();
    if (s.profiles.empty())
        return failWith(1, MessageText(env.readOnlySource() ? MessageId::NoProfileInUserFolder
                                                            : MessageId::NoProfileInPrefix,
                                       record.prefix));
    if (std::find(s.profiles.begin(), s.profiles.end(), cmd.profile) == s.profiles.end())
        return failWith(1, MessageText(MessageId::NoSuchProfile, cmd.profile));

    // Versions go beside the chosen name; the chosen file itself is left alone.
    BackupRequest request = MakeBackupRequest({.profile = cmd.profile,
                                               .items = ItemMask::Lenient(cmd.mask),
                                               .chosenFile = cmd.backupFile,
                                               .password = cmd.password,
                                               .description = "Automatic Backup",
                                               .keepVersions = keep && !repository},
                                              env);
    if (repository) {
        // ps= is the repository's passphrase; borg encrypts, the entries are plain.
        request.repository = RepositoryTarget{*repository, cmd.password, {}, {}, cmd.mask, {}};
        request.password.clear();
        request.targetFile.clear();
    }

    // No one can close Outlook now: the data files are taken as they are
    // at one moment, or their item fails.
    if (env.prefix.wineserverRunning())
        log.info(MessageText(MessageId::WineOpenDuringRun, record.prefix));

    ZipArchive zip(env.ansi);
    BackupRunResult outcome = PerformBackup(env, zip, request);
    if (repository) {
        if (keep && outcome.written)
            pruneRepository(*repository, cmd.password, outcome.versionName, *keep, log, err);
        RecordBackupOutcome(record, outcome, repository->url, repository->url);
        if (record.exitStatus != 0)
            return fail(log, err, record.exitStatus, record.message);
        log.info(record.message);
        return 0;
    }
    // A partial version is set aside, a sound one prunes the older ones.
    if (keep)
        for (const std::string& problem :
             SettleNewVersion(cmd.backupFile, *keep, request.targetFile, outcome))
            log.error("versions of " + cmd.backupFile + ": " + problem);
    RecordBackupOutcome(record, outcome, request.targetFile, cmd.backupFile);
    if (record.exitStatus != 0)
        return fail(log, err, record.exitStatus, record.message);
    log.info(record.message);
    return 0;
}

std::optional<int> jobOfEnvironment() {
    const char* job = std::getenv("TRELMIG_JOB");
    return job ? ParseCronNumber(job) : std::nullopt;
}

} // namespace

int RunAutoBackup(const std::vector<std::string>& args,
                  const std::optional<std::filesystem::path>& prefix, std::ostream& err,
                  const std::optional<std::string>& passwordFromFile,
                  const std::optional<KeepPolicy>& keep) {
    return RunAutoBackup(args, MachineSource{prefix, {}, {}}, err, passwordFromFile, keep);
}

int RunAutoBackup(const std::vector<std::string>& args, const MachineSource& source,
                  std::ostream& err, const std::optional<std::string>& passwordFromFile,
                  const std::optional<KeepPolicy>& keep,
                  const std::optional<RepositoryAddress>& repository) {
    SystemLog log;
    RunRecord record;
    record.job = jobOfEnvironment();
    record.start = IsoLocalTime(LocalTimeNow());
    std::string error;
    auto cmd = ParseAutoBackupCommand(args, error, repository.has_value());
    if (cmd) {
        record.profile = cmd->profile;
        record.archive = repository ? repository->url : cmd->backupFile;
        if (repository && !cmd->backupFile.empty()) {
            error = MessageText(MessageId::RepositoryLineHasFile);
            cmd.reset();
        } else if (!takePasswordFromFile(*cmd, passwordFromFile, error)) {
            cmd.reset();
        }
    }
    if (!cmd) {
        record.message = MessageText(MessageId::RunRefused, error);
        record.exitStatus = fail(log, err, 2, record.message);
    } else {
        try {
            record.exitStatus = backUp(*cmd, source, keep, repository, log, err, record);
        } catch (const std::exception& e) {
            record.message = MessageText(MessageId::RunFailed, e.what());
            record.exitStatus = fail(log, err, 1, record.message);
        }
    }
    record.end = IsoLocalTime(LocalTimeNow());
    ReportRun(record, log, err);
    return record.exitStatus;
}

} // namespace trelmig
