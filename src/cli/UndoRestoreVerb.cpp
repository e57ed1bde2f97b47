#include "cli/Verbs.h"

#include "cli/CommandLine.h"
#include "cli/ConsolePrompter.h"
#include "core/Message.h"
#include "platform/StateFolder.h"
#include "platform/SystemLog.h"
#include "restore/RestoreUndo.h"

#include <ostream>

namespace trelmig {

int RunUndoRestore(const CommandLine& cmd, std::ostream& out, std::ostream& err) {
    const auto folder = UndoRecordsFolder();
    const auto records = folder ? ListUndoRecords(*folder) : std::vector<UndoRecord>{};
    if (records.size() < static_cast<std::size_t>(cmd.undoNumber)) {
        const std::string kept = std::to_string(records.size());
        err << MessageText(MessageId::ProgramLine,
                           cmd.undoNumber > 1 ? MessageText(MessageId::NoRestoreToUndoThatFarBack,
                                                            std::to_string(cmd.undoNumber), kept)
                                              : MessageText(MessageId::NoRestoreToUndo, kept))
            << '\n';
        return 2;
    }
    // The record names its prefix: the undo goes there, whatever --prefix says.
    const UndoRecord& record = records[static_cast<std::size_t>(cmd.undoNumber - 1)];
    ConsolePrompter prompter(err);
    const UndoOutcome outcome = UndoRestore(record, prompter);
    if (outcome.done) {
        out << outcome.message << '\n';
        return 0;
    }
    err << MessageText(MessageId::ProgramLine, outcome.message) << '\n';
    SystemLog().error("undo of " + record.label() + ": " + outcome.message);
    return 1;
}

} // namespace trelmig
