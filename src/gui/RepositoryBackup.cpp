#include "gui/RepositoryBackup.h"

#include "core/ItemMask.h"
#include "repository/Repository.h"

namespace trelmig {

BackupChoices RepositoryBackupChoices(BackupChoices choices, const RepositoryAddress& address) {
    RepositoryTarget target;
    target.address = address;
    target.passphrase = choices.password;
    target.items = ItemMask(choices.items).Text();
    choices.repository = std::move(target);
    // Nothing of a .kvx: no file, and no archive password.
    choices.targetFile.clear();
    choices.protect = false;
    choices.password.clear();
    choices.password2.clear();
    return choices;
}

std::function<void(BackupRunResult&)>
PruneAfterVersion(const BackupChoices& choices, const KeepPolicy& keep,
                  std::shared_ptr<std::vector<std::string>> problems) {
    return [target = *choices.repository, keep, problems](BackupRunResult& result) {
        if (!result.written || result.versionName.empty())
            return;
        const std::optional<std::string> source = SourceOfVersionName(result.versionName);
        if (!source)
            return;
        const Result<PruneOutcome> pruned =
            PruneVersions(target.address, target.passphrase, *source, keep);
        if (!pruned)
            problems->push_back(pruned.error().message);
    };
}

} // namespace trelmig
