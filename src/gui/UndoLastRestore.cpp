#include "gui/UndoLastRestore.h"

#include "app/Environment.h"
#include "core/Prompter.h"
#include "gui/LocalTimeText.h"
#include "gui/MessageTexts.h"
#include "restore/RestoreUndo.h"

#include <QCoreApplication>

#include <exception>
#include <vector>

namespace trelmig {

bool UndoLastRestore(Environment& env, Prompter& prompter,
                     const std::optional<std::filesystem::path>& recordsFolder) {
    // Only the restores into this prefix.
    std::vector<UndoRecord> records;
    if (recordsFolder)
        records = ListUndoRecords(*recordsFolder);
    std::error_code ec;
    std::erase_if(records, [&](const UndoRecord& r) {
        return !std::filesystem::equivalent(r.prefix, env.prefix.root(), ec);
    });
    if (records.empty()) {
        prompter.Show(QCoreApplication::translate(
                          "UndoLastRestore", "There is no restore into this Wine prefix to undo.")
                          .toStdString(),
                      MessageIcon::Information);
        return false;
    }
    const UndoRecord& last = records.front();
    const QString question =
        QCoreApplication::translate(
            "UndoLastRestore",
            "Put back what the restore into profile \"%1\" of %2 on %3 replaced? The profile, its "
            "data files and the other items restored then become as they were before it; what "
            "was changed in them since is lost.")
            .arg(QString::fromStdString(last.profile), QString::fromStdString(last.prefix),
                 LocalTimeText(last.time));
    if (prompter.Show(question.toStdString(), MessageIcon::Question, MessageButtons::OkCancel) !=
        MessageAnswer::Ok)
        return false;
    const UndoOutcome outcome = UndoRestore(last, prompter);
    prompter.Show(TranslatedText(outcome.said).toStdString(),
                  outcome.done ? MessageIcon::Information : MessageIcon::Critical);
    if (!outcome.done)
        return false;
    // The registry was read before the undo: it is read again, and the
    // profiles listed as they are now.
    try {
        env.registry.reload();
    } catch (const std::exception& e) {
        prompter.Show(
            QCoreApplication::translate("UndoLastRestore", "The registry cannot be read again: %1")
                .arg(QString::fromUtf8(e.what()))
                .toStdString(),
            MessageIcon::Critical);
        return false;
    }
    env.ReloadProfiles();
    return true;
}

} // namespace trelmig
