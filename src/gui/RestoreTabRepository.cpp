// The restore tab's repositories: "Open Repository..." lists a repository's
// versions, and the version chosen among them is inspected as a backup file
// is, to be restored the same way. borg does its part on the window's pool
// thread; what it found is shown on the window's thread.
#include "gui/RestoreTab.h"

#include "app/Environment.h"
#include "archive/ZipArchive.h"
#include "backup/VersionKvx.h"
#include "core/PasswordPrompt.h"
#include "core/Prompter.h"
#include "gui/BackupVersionsList.h"
#include "gui/ExceptionText.h"
#include "gui/WaitCursor.h"
#include "platform/WorkFolder.h"
#include "repository/Repository.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace trelmig {

void RestoreTab::runRepositoryJob(const QString& status, const QString& detail,
                                  std::function<void()> work,
                                  std::function<void(std::exception_ptr)> finished) {
    if (runInBackground) {
        runInBackground(status, detail, std::move(work), std::move(finished));
        return;
    }
    std::exception_ptr error;
    try {
        const WaitCursor busy;
        work();
    } catch (...) {
        error = std::current_exception();
    }
    finished(error);
}

void RestoreTab::OpenRepository() {
    if (refuseWhileBusy && refuseWhileBusy())
        return;
    const QString shown = repository_ ? QString::fromStdString(repository_->url) : QString();
    const std::optional<QString> typed =
        askRepositoryAddress ? askRepositoryAddress(shown) : std::optional<QString>{};
    if (!typed)
        return;
    const Result<RepositoryAddress> address = ParseRepositoryAddress(typed->toStdString());
    if (!address) {
        prompter_.Show(tr("The repository address \"%1\" cannot be used: %2")
                           .arg(*typed, QString::fromStdString(address.error().message))
                           .toStdString(),
                       MessageIcon::Exclamation);
        return;
    }
    const std::optional<std::string> passphrase = passwords_.AskPassword();
    if (!passphrase)
        return;
    auto versions = std::make_shared<Result<std::vector<RepositoryVersion>>>();
    VersionLister list = versionLister ? versionLister() : VersionLister();
    if (!list)
        list = ListVersions;
    runRepositoryJob(
        tr("Reading the versions in the repository..."), QString::fromStdString(address->url),
        [versions, list = std::move(list), address = *address, passphrase = *passphrase] {
            *versions = list(address, passphrase);
        },
        [this, versions, address = *address,
         passphrase = *passphrase](const std::exception_ptr& error) {
            if (error)
                *versions = Fail(ExceptionText(error, "an unknown error"));
            showRepository(address, passphrase, *versions);
        });
}

void RestoreTab::showRepository(const RepositoryAddress& address, const std::string& passphrase,
                                const Result<std::vector<RepositoryVersion>>& versions) {
    if (!versions) {
        prompter_.Show(tr("The repository %1 cannot be opened: %2")
                           .arg(QString::fromStdString(address.url),
                                QString::fromStdString(versions.error().message))
                           .toStdString(),
                       MessageIcon::Critical);
        return;
    }
    // What was open before goes only now that the repository opened.
    clear();
    archive_.CloseZip();
    inspected_ = {};
    repository_ = address;
    passphrase_ = passphrase;
    sourceFileEdit_->setText(QString::fromStdString(address.url));
    sourceFileEdit_->setToolTip(sourceFileEdit_->text());
    versionsList_->ShowRepositoryVersions(*versions);
    if (versions->empty())
        prompter_.Show(tr("The repository holds no version yet.").toStdString(),
                       MessageIcon::Information);
}

void RestoreTab::openRepositoryVersion(const QString& name) {
    if ((refuseWhileBusy && refuseWhileBusy()) || !repository_)
        return;
    // The version becomes an unprotected .kvx in a work folder of its own,
    // which is then inspected and restored as any backup file is.
    auto work = std::make_shared<std::unique_ptr<WorkFolder>>(std::make_unique<WorkFolder>());
    const std::string kvx = ((*work)->path() / "version.kvx").string();
    VersionKvxOrder order{*repository_, passphrase_, name.toStdString(),
                          kvx,          {},          ((*work)->path() / "unpacked").string()};
    // The .kvx is read once, right away, and goes with the work folder.
    order.kvxMode = {.deflate = false, .flush = false};
    auto exported = std::make_shared<Result<std::string>>();
    auto exportVersion = [exported, order,
                          &ansi = env_.ansi](const RepositoryJobControls& controls) mutable {
        order.progress = controls.progress;
        order.cancel = controls.cancel;
        *exported = ExportVersionAsKvx(order, ansi);
    };
    auto finished = [this, exported, work, name, kvx](const std::exception_ptr& error,
                                                      bool cancelled) {
        if (cancelled) {
            // What was open stays; the work folder goes with the last owner.
            versionsList_->SelectRepositoryVersion(QString::fromStdString(versionName_));
            return;
        }
        if (error)
            *exported = Fail(ExceptionText(error, "an unknown error"));
        showRepositoryVersion(name, *exported, kvx, std::move(*work));
    };
    const QString status = tr("Reading the version out of the repository...");
    if (runMeasuredInBackground) {
        runMeasuredInBackground(status, name, std::move(exportVersion), std::move(finished));
        return;
    }
    runRepositoryJob(
        status, name, [exportVersion]() mutable { exportVersion({}); },
        [finished](const std::exception_ptr& error) { finished(error, false); });
}

void RestoreTab::showRepositoryVersion(const QString& name, const Result<std::string>& exported,
                                       const std::string& kvx, std::unique_ptr<WorkFolder> work) {
    Result<void> read;
    InspectedArchive result;
    if (!exported) {
        read = std::unexpected(exported.error());
    } else {
        try {
            const WaitCursor busy;
            result = InspectBackupFile(env_, archive_, prompter_, passwords_, kvx);
        } catch (const std::exception& e) {
            read = Fail(e.what());
        }
    }
    if (!read) {
        prompter_.Show(tr("The version %1 cannot be read: %2")
                           .arg(name, QString::fromStdString(read.error().message))
                           .toStdString(),
                       MessageIcon::Critical);
        versionsList_->SelectRepositoryVersion(QString::fromStdString(versionName_));
        return;
    }
    // Only what this version holds can be restored, whatever was open before;
    // a look inside the version before reads a file that goes now.
    closeLookInside();
    for (QCheckBox* box : itemBoxes_) {
        box->setChecked(false);
        box->setEnabled(false);
    }
    backupFactsText_->clear();
    backupDescriptionText_->clear();
    if (!result.accepted)
        archive_.CloseZip();
    inspected_ = result;
    versionName_ = name.toStdString();
    versionWork_ = std::move(work);
    sourceFileEdit_->setText(QString::fromStdString(repository_->url) + QStringLiteral("::") +
                             name);
    sourceFileEdit_->setToolTip(sourceFileEdit_->text());
    showInspected(result);
}

} // namespace trelmig
