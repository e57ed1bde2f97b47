#include "restore/SourceFile.h"

#include "app/Environment.h"
#include "archive/ZipArchive.h"
#include "archive/ZipEntryNames.h"
#include "core/PasswordPrompt.h"
#include "core/SettingsFile.h"
#include "platform/Text.h"

#include <filesystem>

namespace trelmig {

namespace {

std::string decodeDescription(const std::string& text) {
    return ReplaceAll(text, "QX$ZRM", "\r\n");
}

} // namespace

InspectionResult InspectBackupFile(Environment& env, ZipArchive& zip, Prompter& prompter,
                                   PasswordPrompt& passwords, const std::string& chosenFile) {
    return InspectBackupFile(env.session, env.ansi, zip, prompter, passwords, chosenFile);
}

InspectionResult InspectBackupFile(Session& s, const AnsiCodec& ansi, ZipArchive& zip,
                                   Prompter& prompter, PasswordPrompt& passwords,
                                   const std::string& chosenFile) {
    InspectionResult result;
    zip.CloseZip();
    if (chosenFile.empty())
        return result;

    const bool isProtected = ZipArchive::IsPasswordProtected(chosenFile).value_or(false);
    // A cancelled prompt stops here: the password typed for an earlier file
    // must not open this one.
    if (isProtected) {
        auto typed = passwords.AskPassword();
        if (!typed)
            return result;
        s.strRestorePassword = *typed;
    }
    if (const Result<void> opened = zip.OpenZip(chosenFile); !opened) {
        // Not a zip archive, or one whose entry names cannot be restored safely.
        prompter.Show("Invalid backup file\r\n\r\n" + opened.error().message,
                      MessageIcon::Critical);
        s.bNoSourceFile = true;
        return result;
    }
    if (isProtected) {
        zip.SetDecryptPassword(s.strRestorePassword);
        if (!zip.CheckPassword()) {
            prompter.Show("Incorect Password or Invalid backup file\r\n\r\nThe password is "
                          "wrong, or the backup file is damaged.",
                          MessageIcon::Critical);
            zip.CloseZip();
            result.passwordRefused = true;
            return result;
        }
    }
    result.sourceFile = chosenFile;

    std::error_code ec;
    std::filesystem::remove(s.strInfoFile, ec);
    // The information file is a few lines: one that inflates to more is not
    // read (it would take the memory of the machine).
    SettingsText info("", ansi);
    const auto infoEntry = zip.GetEntry(kInfoFileName);
    if (infoEntry && infoEntry->size <= kMaxSettingsFileBytes &&
        zip.ExtractEntryTo(kInfoFileName, s.strInfoFile)) {
        try {
            info = SettingsText::Read(s.strInfoFile, ansi);
        } catch (const std::exception&) {
            // unreadable or too large: nothing to show, the flags check refuses it
        }
    }
    std::filesystem::remove(s.strInfoFile, ec);
    auto value = [&](const char* key) { return info.Value(key); };
    result.facts = "Computer:" + value("BackupComputer") + "\r\nUser:" + value("BackupLogonUser") +
                   "\r\nBackup Time:" + value("BackupTime") +
                   "\r\nProfile:" + value("BackupIdentity") +
                   "\r\nOutlook Version:" + value("Outlookversion");
    result.description = decodeDescription(value("BackupInformation"));

    s.strBackupItems = value("BackupItem");
    if (s.strBackupItems.size() != kBackupStepCount) {
        prompter.Show("Invalid backup file", MessageIcon::Critical);
        s.bNoSourceFile = true;
        return result;
    }
    for (std::size_t i = 0; i < backupSteps().size(); ++i) {
        if (s.strBackupItems[i] != '1')
            continue;
        const BackupStep& step = backupSteps()[i];
        if (step.restoreItem >= 0)
            result.restoreEnabled[static_cast<std::size_t>(step.restoreItem)] = true;
        const std::string key(step.itemKey);
        const std::string names = value(key.c_str());
        // One item's files go to one folder: two names that differ only in
        // case would be one file on Windows, and which of them is meant
        // cannot be told.
        if (const std::string problem = caseTwinProblem(splitEntryList(names)); !problem.empty()) {
            prompter.Show("Invalid backup file\r\n\r\nThe information file names, under " + key +
                              ", " + problem + ".",
                          MessageIcon::Critical);
            s.bNoSourceFile = true;
            result.restoreEnabled = {};
            return result;
        }
        s.strRestoreEntries[key] = names;
    }
    s.bNoSourceFile = false;
    result.accepted = true;
    return result;
}

} // namespace trelmig
