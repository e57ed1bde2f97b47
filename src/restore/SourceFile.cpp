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

// Whether the password is refused by the file, tried on an archive of its
// own; false also when the file cannot be opened (its inspection says why).
bool refusesPassword(const std::string& file, const std::string& password, const AnsiCodec& ansi) {
    ZipArchive probe(ansi);
    if (!probe.OpenZip(file))
        return false;
    probe.SetDecryptPassword(password);
    return !probe.CheckPassword();
}

} // namespace

InspectedArchive InspectBackupFile(Environment& env, ZipArchive& zip, Prompter& prompter,
                                   PasswordPrompt& passwords, const std::string& chosenFile,
                                   const std::optional<std::string>& passwordInUse) {
    return InspectBackupFile(env.session().infoFile, env.ansi, zip, prompter, passwords, chosenFile,
                             passwordInUse);
}

InspectedArchive InspectBackupFile(const std::string& infoFile, const AnsiCodec& ansi,
                                   ZipArchive& zip, Prompter& prompter, PasswordPrompt& passwords,
                                   const std::string& chosenFile,
                                   const std::optional<std::string>& passwordInUse) {
    InspectedArchive result;
    if (chosenFile.empty()) {
        zip.CloseZip();
        return result;
    }

    const bool isProtected = ZipArchive::IsPasswordProtected(chosenFile).value_or(false);
    std::string password;
    if (isProtected && passwordInUse && !refusesPassword(chosenFile, *passwordInUse, ansi)) {
        password = *passwordInUse;
    } else if (isProtected) {
        // A cancelled prompt stops here: the password typed for an earlier
        // file must not open this one.
        auto typed = passwords.AskPassword();
        if (!typed) {
            result.passwordCancelled = true;
            return result;
        }
        password = *typed;
        if (refusesPassword(chosenFile, password, ansi)) {
            prompter.ShowMessage({MessageId::PasswordOrFileRefused, {}}, MessageIcon::Critical);
            result.passwordRefused = true;
            return result;
        }
    }
    zip.CloseZip();
    if (const Result<void> opened = zip.OpenZip(chosenFile); !opened) {
        // Not a zip archive, or one whose entry names cannot be restored safely.
        prompter.ShowMessage({MessageId::InvalidBackupFileBecause, {opened.error().message}},
                             MessageIcon::Critical);
        return result;
    }
    if (isProtected) {
        zip.SetDecryptPassword(password);
        if (!zip.CheckPassword()) {
            prompter.ShowMessage({MessageId::PasswordOrFileRefused, {}}, MessageIcon::Critical);
            zip.CloseZip();
            result.passwordRefused = true;
            return result;
        }
    }
    result.path = chosenFile;
    result.password = password;

    std::error_code ec;
    std::filesystem::remove(infoFile, ec);
    // The information file is a few lines: one that inflates to more is not
    // read (it would take the memory of the machine).
    SettingsText info("", ansi);
    const auto infoEntry = zip.GetEntry(kInfoFileName);
    result.hasInfoFile = infoEntry.has_value();
    if (infoEntry && infoEntry->size <= kMaxSettingsFileBytes &&
        zip.ExtractEntryTo(kInfoFileName, infoFile)) {
        try {
            info = SettingsText::Read(infoFile, ansi);
        } catch (const std::exception&) {
            // unreadable or too large: nothing to show, the flags check refuses it
        }
    }
    std::filesystem::remove(infoFile, ec);
    auto value = [&](const char* key) { return info.Value(key); };
    result.facts = "Computer:" + value("BackupComputer") + "\r\nUser:" + value("BackupLogonUser") +
                   "\r\nBackup Time:" + value("BackupTime") +
                   "\r\nProfile:" + value("BackupIdentity") +
                   "\r\nOutlook Version:" + value("Outlookversion");
    result.description = decodeDescription(value("BackupInformation"));

    result.flags = value("BackupItem");
    if (result.flags.size() != kItemRecordCount) {
        prompter.ShowMessage({MessageId::InvalidBackupFileBare, {}}, MessageIcon::Critical);
        return result;
    }
    result.signaturePictures = value(kSignatureFoldersKey);
    for (std::size_t i = 0; i < kItemRecordCount; ++i) {
        if (!result.Holds(i))
            continue;
        const ItemRecord& step = kItemRecords[i];
        if (step.box >= 0)
            result.restoreEnabled[static_cast<std::size_t>(step.box)] = true;
        const std::string key(step.itemKey);
        const std::string names = value(key.c_str());
        // One item's files go to one folder: two names that differ only in
        // case would be one file on Windows, and which of them is meant
        // cannot be told.
        if (const auto problem = caseTwinProblem(splitEntryList(names))) {
            prompter.ShowMessage({MessageId::InformationFileListBad, {key, *problem}},
                                 MessageIcon::Critical);
            result.restoreEnabled = {};
            result.entries.clear();
            return result;
        }
        result.entries[key] = names;
    }
    result.accepted = true;
    return result;
}

} // namespace trelmig
