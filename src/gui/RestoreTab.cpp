#include "gui/RestoreTab.h"

#include "app/Environment.h"
#include "archive/ZipArchive.h"
#include "archive/ZipEntryNames.h"
#include "gui/BackupVersionsList.h"
#include "gui/LookInsideWindow.h"
#include "gui/Mnemonics.h"
#include "gui/ObjectNames.h"
#include "gui/WaitCursor.h"
#include "platform/WorkFolder.h"
#include "restore/RestoreDriver.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace trelmig {

namespace {

constexpr int kNewProfileRole = Qt::UserRole + 1;

QPlainTextEdit* infoBox(const char* name, int lines) {
    auto* box = named(new QPlainTextEdit, name);
    box->setReadOnly(true);
    box->setTabChangesFocus(true);
    box->setMinimumHeight(box->fontMetrics().lineSpacing() * lines + 12);
    return box;
}

QString withoutCr(const std::string& text) {
    return QString::fromStdString(text).remove(QLatin1Char('\r'));
}

} // namespace

RestoreTab::RestoreTab(Environment& env, ZipArchive& archive, Prompter& prompter,
                       PasswordPrompt& passwords, QWidget* parent)
    : QWidget(parent), env_(env), archive_(archive), prompter_(prompter), passwords_(passwords) {
    setObjectName(QStringLiteral("tabRestore"));
    auto* row = new QHBoxLayout(this);
    row->addWidget(buildFrom(), 1);
    row->addWidget(buildInto(), 1);
    const ItemsMenu itemsMenu = MakeItemsMenu(
        itemsBox_, itemBoxes_, {"selectitem2", "Selectallitems2", "Deselectallitems2"},
        tr("Select all items"), tr("Deselect all items"));
    selectAllAction_ = itemsMenu.selectAll;
    connect(sourceFileButton_, &QPushButton::clicked, this, [this] {
        if (!refuseWhileBusy || !refuseWhileBusy())
            ChooseSourceFile();
    });
    connect(lookInsideButton_, &QPushButton::clicked, this, [this] { LookInside(); });
    connect(repositoryButton_, &QPushButton::clicked, this, &RestoreTab::OpenRepository);
    // Queued: the inspection refills the list that is announcing the choice.
    connect(versionsList_, &BackupVersionsList::versionChosen, this, &RestoreTab::openVersion,
            Qt::QueuedConnection);
    connect(versionsList_, &BackupVersionsList::repositoryVersionChosen, this,
            &RestoreTab::openRepositoryVersion, Qt::QueuedConnection);
}

RestoreTab::~RestoreTab() = default;

QGroupBox* RestoreTab::buildFrom() {
    auto* from = named(new QGroupBox(tr("Restore from")), "Frame3");
    auto* where = new QVBoxLayout(from);
    sourceFileEdit_ = named(new QLineEdit, "txtSourceFile");
    sourceFileEdit_->setReadOnly(true);
    sourceFileButton_ = named(new QPushButton(tr("Browse...")), "cmdSourceFile");
    QLabel* fileCaption = Caption(tr("Choose a Backup File to Restore From"), sourceFileButton_);
    where->addWidget(fileCaption);
    repositoryButton_ = named(new QPushButton(tr("Open Repository...")), "cmdSourceRepository");
    repositoryButton_->setToolTip(tr("Restore from a version in a BorgBackup repository"));
    auto* source = new QHBoxLayout;
    source->addWidget(sourceFileEdit_, 1);
    source->addWidget(sourceFileButton_);
    where->addLayout(source);
    lookInsideButton_ = named(new QPushButton(tr("Look Inside...")), "cmdLookInside");
    lookInsideButton_->setEnabled(false);
    lookInsideButton_->setToolTip(
        tr("The data files of this backup, their folders and messages, without restoring"));
    source->addWidget(lookInsideButton_);
    auto* repositoryRow = new QHBoxLayout;
    repositoryRow->addStretch(1);
    repositoryRow->addWidget(repositoryButton_);
    where->addLayout(repositoryRow);
    versionsList_ = new BackupVersionsList;
    where->addWidget(versionsList_);
    backupFactsText_ = infoBox("txtPOBinfo", 5);
    backupFactsText_->setMaximumHeight(backupFactsText_->minimumHeight() + 8);
    backupDescriptionText_ = infoBox("txtFileInfo", 3);
    QLabel* factsCaption = Caption(tr("Description"), backupFactsText_);
    where->addWidget(factsCaption);
    where->addWidget(backupFactsText_);
    where->addWidget(backupDescriptionText_, 1);
    SetMnemonic(fileCaption, QLatin1Char('C'));
    SetMnemonic(factsCaption, QLatin1Char('D'));
    SetMnemonic(sourceFileButton_, QLatin1Char('w'));
    SetMnemonic(lookInsideButton_, QLatin1Char('s'));
    SetMnemonic(repositoryButton_, QLatin1Char('y'));
    // What a screen reader says for each box: its own label, not its frame's.
    sourceFileEdit_->setAccessibleName(tr("Backup file to restore from"));
    backupFactsText_->setAccessibleName(tr("Backup file information"));
    backupDescriptionText_->setAccessibleName(tr("Description of the backup file"));
    return from;
}

QGroupBox* RestoreTab::buildInto() {
    auto* into = named(new QGroupBox(tr("Restore into")), "Frame4");
    auto* what = new QVBoxLayout(into);
    targetProfileBox_ = ProfileBox("cbTarget");
    QLabel* profileCaption = Caption(tr("Restore to profile"), targetProfileBox_);
    what->addWidget(profileCaption);
    what->addWidget(targetProfileBox_);
    itemsBox_ = named(new QGroupBox(tr("Items to restore")), "Frame7");
    auto* items = new QVBoxLayout(itemsBox_);
    itemBoxes_ = MakeItemBoxes("restoreitem", &CatalogueItem::restoreToolTip);
    for (QCheckBox* box : itemBoxes_) {
        // Enabled by the inspection of a backup file that holds the item.
        box->setEnabled(false);
        items->addWidget(box);
    }
    items->addStretch(1);
    what->addWidget(itemsBox_, 1);
    SetMnemonic(profileCaption, QLatin1Char('p'));
    GiveItemMnemonics(itemBoxes_);
    targetProfileBox_->setAccessibleName(tr("Restore to profile"));
    return into;
}

void RestoreTab::clear() {
    closeLookInside();
    lookInsideButton_->setEnabled(false);
    for (QCheckBox* box : itemBoxes_) {
        box->setChecked(false);
        box->setEnabled(false);
    }
    sourceFileEdit_->clear();
    versionsList_->Clear();
    repository_.reset();
    passphrase_.clear();
    versionName_.clear();
    versionWork_.reset();
    backupDescriptionText_->clear();
    backupFactsText_->clear();
}

void RestoreTab::ChooseSourceFile() {
    // The backup open before is closed, whatever is chosen now.
    clear();
    archive_.CloseZip();
    inspected_ = {};
    FileDialogRequest request;
    request.dialogName = QStringLiteral("cdSource");
    request.title = tr("Restore Date from a Backup file");
    request.filter = tr("Quenvar Outlook Backup File (*.kvx)");
    inspect(chooseFile ? chooseFile(request) : QString(), std::nullopt);
}

bool RestoreTab::inspect(const QString& chosen, const std::optional<std::string>& passwordInUse) {
    const WaitCursor busy;
    InspectedArchive result;
    try {
        // A refused password is asked again, up to three tries in all.
        constexpr int kPasswordTries = 3;
        for (int tries = 1; tries <= kPasswordTries; ++tries) {
            result = InspectBackupFile(env_, archive_, prompter_, passwords_, chosen.toStdString(),
                                       tries == 1 ? passwordInUse : std::nullopt);
            if (result.passwordCancelled)
                return false;
            if (!result.passwordRefused)
                break;
            // The file stays chosen while its password is asked.
            sourceFileEdit_->setText(chosen);
        }
    } catch (const std::exception& e) {
        clear();
        archive_.CloseZip();
        inspected_ = {};
        prompter_.ShowMessage({MessageId::InvalidBackupFileBecause, {e.what()}},
                              MessageIcon::Critical);
        return true;
    }
    // Only what this inspection found can be restored, whatever came before.
    clear();
    if (!result.accepted)
        archive_.CloseZip();
    inspected_ = result;
    if (result.passwordRefused) {
        sourceFileEdit_->setText(chosen);
        sourceFileEdit_->setToolTip(chosen);
        return true;
    }
    sourceFileEdit_->setText(QString::fromStdString(result.path));
    sourceFileEdit_->setToolTip(sourceFileEdit_->text());
    if (showInspected(result))
        versionsList_->ShowVersionsOf(QString::fromStdString(result.path));
    return true;
}

bool RestoreTab::showInspected(const InspectedArchive& result) {
    if (result.path.empty())
        return false;
    backupFactsText_->setPlainText(withoutCr(result.facts));
    // "Profile:<name>" among the facts: the name a new profile is offered.
    const auto profileLine = result.facts.find("\r\nProfile:");
    backupProfile_ =
        profileLine == std::string::npos
            ? std::string()
            : result.facts.substr(profileLine + 10,
                                  result.facts.find("\r\n", profileLine + 10) - profileLine - 10);
    backupDescriptionText_->setPlainText(withoutCr(result.description));
    for (std::size_t i = 0; i < itemBoxes_.size(); ++i)
        itemBoxes_[i]->setEnabled(result.restoreEnabled[i]);
    lookInsideButton_->setEnabled(result.accepted && !dataFiles().empty());
    return true;
}

void RestoreTab::openVersion(const QString& path) {
    if (refuseWhileBusy && refuseWhileBusy())
        return;
    // A version of the backup open now: its password is tried first, and a
    // cancelled prompt keeps the one open.
    if (!inspect(path, inspected_.password)) {
        sourceFileEdit_->setText(QString::fromStdString(inspected_.path));
        versionsList_->ShowVersionsOf(QString::fromStdString(inspected_.path));
    }
}

void RestoreTab::FillTargets() {
    const QString current = targetProfileBox_->currentText();
    targetProfileBox_->clear();
    for (const std::string& name : env_.session().profiles)
        targetProfileBox_->addItem(QString::fromStdString(name));
    // A new profile goes under the profiles key of a known Outlook only.
    if (!env_.session().outlookVersion.empty()) {
        targetProfileBox_->addItem(tr("New profile..."));
        targetProfileBox_->setItemData(targetProfileBox_->count() - 1, true, kNewProfileRole);
    }
    const int again = targetProfileBox_->findText(current);
    targetProfileBox_->setCurrentIndex(again >= 0 && !current.isEmpty() ? again : 0);
}

void RestoreTab::SelectTarget(const std::string& profile) {
    targetProfileBox_->setCurrentText(QString::fromStdString(profile));
}

std::optional<RestoreChoices> RestoreTab::Choices() {
    RestoreChoices c;
    if (!chooseTarget(c.profile, c.createProfile))
        return std::nullopt;
    c.boxes = Checked(itemBoxes_);
    return c;
}

bool RestoreTab::chooseTarget(std::string& profile, bool& create) {
    create = targetProfileBox_->currentData(kNewProfileRole).toBool();
    profile = targetProfileBox_->currentText().toStdString();
    if (!create)
        return true;
    // Offered: the name of the profile the backup was made of.
    const QString proposed = QString::fromStdString(backupProfile_);
    const std::optional<QString> name =
        askNewProfileName ? askNewProfileName(proposed) : std::optional<QString>{};
    if (!name)
        return false;
    profile = name->trimmed().toStdString();
    const auto& profiles = env_.session().profiles;
    if (profile.empty() || std::find(profiles.begin(), profiles.end(), profile) != profiles.end()) {
        const QString text = profile.empty()
                                 ? tr("Please enter the name of the new profile.")
                                 : tr("There is a profile \"%1\" already: choose it in the list, "
                                      "or enter another name.")
                                       .arg(QString::fromStdString(profile));
        prompter_.Show(text.toStdString(), MessageIcon::Exclamation);
        return false;
    }
    return true;
}

std::vector<QWidget*> RestoreTab::heldDuringRun() const {
    return {sourceFileButton_, repositoryButton_, versionsList_, targetProfileBox_};
}

} // namespace trelmig
