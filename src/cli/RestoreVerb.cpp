#include "cli/Verbs.h"

#include "cli/BackupFileArgument.h"
#include "cli/CommandLine.h"
#include "cli/ConsolePrompter.h"
#include "core/ItemMask.h"
#include "core/Message.h"
#include "core/ProgressView.h"
#include "platform/StateFolder.h"
#include "platform/SystemLog.h"
#include "restore/RestoreDriver.h"

#include <algorithm>
#include <ostream>

namespace trelmig {

int RunRestoreCommand(const CommandLine& cmd, std::ostream& out, std::ostream& err) {
    if (cmd.repository)
        return RunRestoreVersion(cmd, out, err);
    ConsolePrompter prompter(err);
    InspectedBackupFile i = InspectBackupFileArgument(cmd, prompter);
    if (!i.result.accepted)
        return 2;
    const auto& profiles = i.env->session().profiles;
    const bool exists = std::find(profiles.begin(), profiles.end(), cmd.profile) != profiles.end();
    if (!exists && !cmd.createProfile) {
        err << MessageText(MessageId::ProgramLine,
                           MessageText(MessageId::NoProfileCreateMakesIt, cmd.profile))
            << '\n';
        return 2;
    }
    if (exists && cmd.createProfile) {
        err << MessageText(MessageId::ProgramLine,
                           MessageText(MessageId::ProfileExistsAlready, cmd.profile))
            << '\n';
        return 2;
    }
    RestoreChoices choices;
    choices.profile = cmd.profile;
    choices.createProfile = cmd.createProfile;
    // The command line refused any other mask.
    const ItemMask items = ItemMask::Lenient(cmd.items);
    for (int k = 0; k < kItemCount; ++k) {
        const bool wanted = items.Has(k);
        if (wanted && !i.result.restoreEnabled[static_cast<std::size_t>(k)]) {
            err << MessageText(MessageId::ProgramLine,
                               MessageText(MessageId::BackupFileLacksItem,
                                           itemCatalogue()[static_cast<std::size_t>(k)].caption))
                << '\n';
            return 2;
        }
        choices.boxes[static_cast<std::size_t>(k)] = wanted;
    }
    // The restore's own completion message is the log printed here.
    ConsolePrompter report(out);
    SilentProgress progress;
    RestoreDriver driver(*i.env, *i.zip, report, progress);
    if (const auto undo = UndoRecordsFolder())
        driver.KeepUndoRecordsIn(*undo);
    const RestoreRunResult r = driver.RunRestore(i.result, choices);
    if (!r.started)
        return 2;
    if (r.allSucceeded)
        return 0;
    SystemLog log;
    for (const std::string& reason : r.failures)
        log.error("restore into profile \"" + cmd.profile + "\" from " + i.result.path + ": " +
                  reason);
    return 1;
}

} // namespace trelmig
