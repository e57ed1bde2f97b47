// The restore tab's "Look Inside..." window on the backup open now, and the
// data file it recovers beside the live one.
#include "gui/RestoreTab.h"

#include "app/Environment.h"
#include "archive/ZipArchive.h"
#include "archive/ZipEntryNames.h"
#include "gui/LookInsideWindow.h"
#include "mailstore/BackupDataFile.h"
#include "restore/RecoverDataFile.h"

#include <QDate>

#include <algorithm>
#include <cctype>

namespace trelmig {

namespace {

bool isDataFileName(const std::string& name) {
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower.ends_with(".pst") || lower.ends_with(".ost");
}

std::chrono::year_month_day today() {
    const QDate date = QDate::currentDate();
    return std::chrono::year_month_day{std::chrono::year{date.year()},
                                       std::chrono::month{static_cast<unsigned>(date.month())},
                                       std::chrono::day{static_cast<unsigned>(date.day())}};
}

} // namespace

std::vector<std::string> RestoreTab::dataFiles() const {
    std::vector<std::string> files;
    const auto list = inspected_.entries.find("BackupDatas");
    if (list == inspected_.entries.end())
        return files;
    // The archive's own spelling of each name, which the opening looks for.
    for (const std::string& name : splitEntryList(list->second))
        if (const auto entry = archive_.GetEntry(name); entry && isDataFileName(entry->name))
            files.push_back(entry->name);
    return files;
}

LookInsideWindow* RestoreTab::lookInsideWindow() const {
    return lookInside_.data();
}

void RestoreTab::closeLookInside() {
    delete lookInside_.data();
}

void RestoreTab::LookInside() {
    if (!inspected_.accepted)
        return;
    if (lookInside_ && lookInside_->backupPath() == QString::fromStdString(inspected_.path)) {
        lookInside_->show();
        lookInside_->raise();
        lookInside_->activateWindow();
        return;
    }
    closeLookInside();
    OpenMailStore open = openDataFile;
    if (!open) {
        const auto entries = inspected_.entries.find("BackupDatas");
        std::vector<BackupDataFile> files =
            BackupDataFiles(archive_, entries == inspected_.entries.end() ? "" : entries->second);
        // The worker opens each data file on its own thread, with what the
        // backup was opened with now: another backup opened later does not
        // change what this window reads.
        open = [files = std::move(files), path = inspected_.path, password = inspected_.password,
                work = env_.work.path(),
                ansi = env_.ansi](const std::string& dataFile,
                                  const CancelToken&) -> Result<std::unique_ptr<MailStore>> {
            for (const BackupDataFile& file : files)
                if (file.entryName == dataFile)
                    return OpenBackupDataFile(path, file, password, work, ansi);
            return Fail("the backup holds no data file " + dataFile);
        };
    }
    LookInsideSource source{QString::fromStdString(inspected_.path), dataFiles(), std::move(open)};
    auto* window = new LookInsideWindow(std::move(source), prompter_, this);
    lookInside_ = window;
    window->chooseFile = [this](const FileDialogRequest& request) {
        return chooseFile ? chooseFile(request) : QString();
    };
    window->prepareRecovery =
        [this, path = inspected_.path, password = inspected_.password](
            const std::string& dataFile) -> Result<LookInsideWindow::RecoveryJob> {
        if (env_.files.readOnly())
            return Fail("the Windows user folder open now is only read, never written");
        if (env_.session().outlookVersion.empty() || env_.session().userProfile.empty())
            return Fail("no Outlook is known in the open prefix, so there is no data file folder");
        std::string folder;
        try {
            folder = RecoveryFolder(env_, dataFile);
        } catch (const std::exception& e) {
            return Fail(e.what());
        }
        // Runs on a pool thread with an archive of its own: the tab's stays
        // free for the restore.
        return [&files = env_.files, &ansi = env_.ansi, folder, dataFile, path, password,
                day = today()]() -> Result<std::string> {
            ZipArchive zip(ansi);
            if (auto opened = zip.OpenZip(path); !opened)
                return std::unexpected(opened.error());
            if (!password.empty())
                zip.SetDecryptPassword(password);
            return RecoverDataFile(files, zip, folder, dataFile, day);
        };
    };
    window->show();
}

} // namespace trelmig
