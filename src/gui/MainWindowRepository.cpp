// Backups to a repository from the main window: its address and passphrase
// checked, a repository made (when the user agrees) where the chosen folder
// holds none, its key exported for safe keeping, then the backup itself.
#include "gui/MainWindow.h"

#include "gui/BackupTab.h"
#include "gui/BackupTargetBox.h"
#include "gui/ProgressPanel.h"
#include "gui/RepositoryBackup.h"
#include "platform/TextFile.h"
#include "repository/Repository.h"

#include <memory>
#include <utility>

namespace trelmig {

namespace {

std::string text(const QString& s) {
    return s.toStdString();
}

} // namespace

void MainWindow::RunBackup() {
    if (RefuseWhileBusy())
        return;
    if (backupTab_->targetKind() == BackupTargetKind::Repository)
        RunRepositoryBackup();
    else
        startBackup(backupTab_->Choices());
}

std::optional<RepositoryAddress> MainWindow::checkedRepository() {
    const std::string typed = backupTab_->repository();
    if (typed.empty()) {
        prompter_.Show(text(tr("Please choose the repository's folder, or type its ssh:// "
                               "address.")),
                       MessageIcon::Exclamation);
        return std::nullopt;
    }
    Result<RepositoryAddress> address = ParseRepositoryAddress(typed);
    if (!address) {
        prompter_.Show(text(tr("The repository address \"%1\" cannot be used: %2")
                                .arg(QString::fromStdString(typed),
                                     QString::fromStdString(address.error().message))),
                       MessageIcon::Exclamation);
        return std::nullopt;
    }
    if (backupTab_->passphrase() != backupTab_->retypedPassphrase()) {
        prompter_.Show(text(tr("The passphrase and its retyped copy differ. Please type the "
                               "passphrase again in both boxes.")),
                       MessageIcon::Exclamation);
        return std::nullopt;
    }
    return *address;
}

void MainWindow::RunRepositoryBackup() {
    const std::optional<RepositoryAddress> address = checkedRepository();
    if (!address)
        return;
    const std::string passphrase = backupTab_->passphrase();
    // A server's repository is made by whoever runs the server; the backup
    // says what is missing there.
    if (IsRemoteRepository(*address)) {
        startBackup(RepositoryBackupChoices(backupTab_->Choices(), *address));
        return;
    }
    auto exists = std::make_shared<Result<bool>>(false);
    runUnmeasured(
        tr("Opening the repository..."), QString::fromStdString(address->url),
        [exists, address = *address, passphrase] {
            *exists = RepositoryExists(address, passphrase);
        },
        [this, exists, address = *address, passphrase](const std::exception_ptr& error) {
            if (error) {
                showRunFailed(text(tr("The repository could not be opened: ")), error);
            } else if (!*exists) {
                prompter_.Show(text(tr("The repository could not be opened: %1")
                                        .arg(QString::fromStdString(exists->error().message))),
                               MessageIcon::Critical);
            } else if (**exists) {
                startBackup(RepositoryBackupChoices(backupTab_->Choices(), address));
            } else {
                offerNewRepository(address, passphrase);
            }
        });
}

void MainWindow::offerNewRepository(const RepositoryAddress& address,
                                    const std::string& passphrase) {
    const QString folder = QString::fromStdString(address.url);
    if (passphrase.empty()) {
        prompter_.Show(text(tr("%1 holds no repository. To make one there, type the passphrase "
                               "that will protect it in both boxes.")
                                .arg(folder)),
                       MessageIcon::Exclamation);
        return;
    }
    if (prompter_.Show(text(tr("%1 holds no repository.\n\nMake Repository: make a new "
                               "repository there, encrypted with the passphrase you typed, and "
                               "back up into it?")
                                .arg(folder)),
                       MessageIcon::Question, MessageButtons::OkCancel) != MessageAnswer::Ok)
        return;
    auto made = std::make_shared<Result<void>>();
    runUnmeasured(
        tr("Making the repository..."), folder,
        [made, address, passphrase] { *made = MakeRepository(address, passphrase); },
        [this, made, address, passphrase](const std::exception_ptr& error) {
            if (error) {
                showRunFailed(text(tr("The repository could not be made: ")), error);
                return;
            }
            if (!*made) {
                prompter_.Show(text(tr("The repository could not be made: %1")
                                        .arg(QString::fromStdString(made->error().message))),
                               MessageIcon::Critical);
                return;
            }
            offerKeyExport(address, passphrase, [this, address] {
                startBackup(RepositoryBackupChoices(backupTab_->Choices(), address));
            });
        });
}

void MainWindow::offerKeyExport(const RepositoryAddress& address, const std::string& passphrase,
                                std::function<void()> then) {
    const MessageAnswer answer = prompter_.Show(
        text(tr("The repository was made. Its passphrase alone opens it: keep the passphrase "
                "safe, since without it nobody can read the repository, you included.\n\n"
                "Export Repository Key... saves the repository's key to a file to print and "
                "keep apart, for the day the key stored in the repository is damaged. Export "
                "the key now?")),
        MessageIcon::Information, MessageButtons::OkCancel);
    if (answer != MessageAnswer::Ok) {
        then();
        return;
    }
    FileDialogRequest request;
    request.dialogName = QStringLiteral("cdRepositoryKey");
    request.title = tr("Export Repository Key");
    request.filter = tr("Text files (*.txt)");
    request.proposedName = QStringLiteral("repository-key.txt");
    request.save = true;
    const QString keyFile = chooseFile ? chooseFile(request) : QString();
    if (keyFile.isEmpty()) {
        then();
        return;
    }
    auto key = std::make_shared<Result<std::string>>();
    runUnmeasured(
        tr("Reading the repository's key..."), QString::fromStdString(address.url),
        [key, address, passphrase] { *key = ExportRepositoryKey(address, passphrase); },
        [this, key, keyFile, then = std::move(then)](const std::exception_ptr& error) {
            std::string problem;
            if (error)
                problem = text(tr("the key could not be read"));
            else if (!*key)
                problem = key->error().message;
            else
                try {
                    writeFileBytes(keyFile.toStdString(), **key);
                } catch (const std::exception& e) {
                    problem = e.what();
                }
            if (problem.empty())
                prompter_.Show(text(tr("The repository key was saved to %1.").arg(keyFile)),
                               MessageIcon::Information);
            else
                prompter_.Show(text(tr("The repository key was not exported: %1")
                                        .arg(QString::fromStdString(problem))),
                               MessageIcon::Exclamation);
            then();
        });
}

} // namespace trelmig
