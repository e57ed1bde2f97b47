// The restore tab's repositories: "Open Repository..." lists a repository's
// versions, and the version chosen among them is inspected as a backup file
// is, to be restored the same way.
#include "gui/RestoreTab.h"

#include "app/Environment.h"
#include "archive/ZipArchive.h"
#include "backup/VersionKvx.h"
#include "core/PasswordPrompt.h"
#include "core/Prompter.h"
#include "gui/BackupVersionsList.h"
#include "gui/WaitCursor.h"
#include "platform/WorkFolder.h"
#include "repository/Repository.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace trelmig {

void RestoreTab::OpenRepository() {
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
    Result<std::vector<RepositoryVersion>> versions = std::vector<RepositoryVersion>{};
    {
        const WaitCursor busy;
        versions = ListVersions(*address, *passphrase);
    }
    if (!versions) {
        prompter_.Show(tr("The repository %1 cannot be opened: %2")
                           .arg(QString::fromStdString(address->url),
                                QString::fromStdString(versions.error().message))
                           .toStdString(),
                       MessageIcon::Critical);
        return;
    }
    // What was open before goes only now that the repository opened.
    clear();
    archive_.CloseZip();
    inspected_ = {};
    repository_ = *address;
    passphrase_ = *passphrase;
    sourceFileEdit_->setText(QString::fromStdString(address->url));
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
    auto work = std::make_unique<WorkFolder>();
    const std::string kvx = (work->path() / "version.kvx").string();
    const VersionKvxOrder order{*repository_, passphrase_, name.toStdString(),
                                kvx,          {},          (work->path() / "unpacked").string()};
    Result<std::string> exported = std::string();
    InspectedArchive result;
    try {
        const WaitCursor busy;
        exported = ExportVersionAsKvx(order, env_.ansi);
        if (exported)
            result = InspectBackupFile(env_, archive_, prompter_, passwords_, kvx);
    } catch (const std::exception& e) {
        exported = Fail(e.what());
    }
    if (!exported) {
        prompter_.Show(tr("The version %1 cannot be read: %2")
                           .arg(name, QString::fromStdString(exported.error().message))
                           .toStdString(),
                       MessageIcon::Critical);
        versionsList_->SelectRepositoryVersion(QString::fromStdString(versionName_));
        return;
    }
    // Only what this version holds can be restored, whatever was open before.
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
