#include "gui/BackupTab.h"

#include "app/Environment.h"
#include "core/ItemMask.h"
#include "gui/BackupFileName.h"
#include "gui/BackupTargetBox.h"
#include "gui/KeepVersionsBox.h"
#include "gui/Mnemonics.h"
#include "gui/ObjectNames.h"
#include "gui/WindowMemory.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace trelmig {

namespace {

constexpr const char* kKeepWindow = "main";

std::string withCrLf(QString text) {
    return text.replace(QStringLiteral("\n"), QStringLiteral("\r\n")).toStdString();
}

} // namespace

BackupTab::BackupTab(Environment& env, QWidget* parent) : QWidget(parent), env_(env) {
    setObjectName(QStringLiteral("tabBackup"));
    auto* row = new QHBoxLayout(this);
    buildWhat();
    row->addWidget(whatBox_, 1);

    descriptionEdit_ = named(new QPlainTextEdit, "txtAttachInfo");
    descriptionEdit_->setTabChangesFocus(true);
    descriptionEdit_->setPlaceholderText(tr("A note stored with the backup"));
    QLabel* descriptionCaption = Caption(tr("Description"), descriptionEdit_);
    targetBox_ = new BackupTargetBox(descriptionCaption, descriptionEdit_);
    row->addWidget(targetBox_, 1);
    SetMnemonic(descriptionCaption, QLatin1Char('D'));
    descriptionEdit_->setAccessibleName(tr("Description"));

    const ItemsMenu itemsMenu =
        MakeItemsMenu(itemsBox_, itemBoxes_, {"selectitem", "Selectallitems", "Deselectallitems"},
                      tr("Select all items"), tr("Deselect all items"));
    selectAllAction_ = itemsMenu.selectAll;
    connect(profileBox_, &QComboBox::currentIndexChanged, this, &BackupTab::onSourceProfileChanged);
    connect(targetBox_->browseButton(), &QPushButton::clicked, this,
            &BackupTab::onTargetFileClicked);
    connect(targetBox_->repositoryBrowseButton(), &QPushButton::clicked, this,
            &BackupTab::onTargetRepositoryClicked);
}

void BackupTab::buildWhat() {
    whatBox_ = named(new QGroupBox(tr("What")), "Frame1");
    auto* what = new QVBoxLayout(whatBox_);
    profileBox_ = ProfileBox("cbSource");
    QLabel* profileCaption = Caption(tr("Profile to backup"), profileBox_);
    what->addWidget(profileCaption);
    what->addWidget(profileBox_);
    itemsBox_ = named(new QGroupBox(tr("Items to backup")), "Frame6");
    auto* items = new QVBoxLayout(itemsBox_);
    itemBoxes_ = MakeItemBoxes("backupitem", &CatalogueItem::backupToolTip);
    for (QCheckBox* box : itemBoxes_)
        items->addWidget(box);
    items->addStretch(1);
    what->addWidget(itemsBox_, 1);
    keepVersionsBox_ = new KeepVersionsBox;
    what->addWidget(keepVersionsBox_);
    SetMnemonic(profileCaption, QLatin1Char('P'));
    GiveItemMnemonics(itemBoxes_);
    profileBox_->setAccessibleName(tr("Profile to backup"));
}

void BackupTab::ShowProfiles() {
    if (env_.session().profiles.empty()) {
        for (QCheckBox* box : itemBoxes_)
            box->setEnabled(false);
        return;
    }
    {
        const QSignalBlocker quiet(profileBox_);
        for (const std::string& name : env_.session().profiles)
            profileBox_->addItem(QString::fromStdString(name));
        profileBox_->setCurrentIndex(0);
    }
    onSourceProfileChanged();
}

void BackupTab::ProfilesChanged() {
    const QString current = profileBox_->currentText();
    {
        const QSignalBlocker quiet(profileBox_);
        profileBox_->clear();
        for (const std::string& name : env_.session().profiles)
            profileBox_->addItem(QString::fromStdString(name));
        const int again = profileBox_->findText(current);
        profileBox_->setCurrentIndex(again >= 0 ? again : 0);
    }
    if (profileBox_->count() == 0) {
        for (QCheckBox* box : itemBoxes_) {
            box->setChecked(false);
            box->setEnabled(false);
        }
    } else if (profileBox_->currentText() != current) {
        onSourceProfileChanged();
    }
}

void BackupTab::ResetPasswordBoxes() {
    targetBox_->SetPasswordBoxesEnabled(false);
}

void BackupTab::Remember(WindowMemory* memory) {
    keepVersionsBox_->SetChoice(memory->KeepVersions(kKeepWindow));
    connect(keepVersionsBox_, &KeepVersionsBox::choiceChanged, this,
            [this, memory] { memory->SetKeepVersions(kKeepWindow, keepVersionsBox_->Choice()); });
    // Boxes beyond a shorter remembered text keep their state.
    const std::string text = memory->Items().toStdString();
    const ItemMask mask = ItemMask::Lenient(text);
    for (int i = 0; i < kItemCount && i < int(text.size()); ++i) {
        QCheckBox* box = itemBoxes_[static_cast<std::size_t>(i)];
        box->setChecked(box->isEnabled() && mask.Has(i));
    }
}

void BackupTab::onSourceProfileChanged() {
    // The locations of the profile being backed up must not change under a
    // running backup.
    if (busy && busy()) {
        const QSignalBlocker quiet(profileBox_);
        profileBox_->setCurrentIndex(profileIndex_);
        refuseWhileBusy();
        return;
    }
    profileIndex_ = profileBox_->currentIndex();
    const ItemStates states = env_.ItemStatesOf(profileBox_->currentText().toStdString());
    for (std::size_t i = 0; i < states.size(); ++i) {
        QCheckBox* box = itemBoxes_[i];
        box->setChecked(false);
        box->setEnabled(states[i].enabled);
        QString tip = QString::fromStdString(states[i].toolTip);
        if (!states[i].enabled && !states[i].reason.empty())
            tip += QStringLiteral("\n(Not available for this profile: %1)")
                       .arg(QString::fromStdString(states[i].reason));
        box->setToolTip(tip);
    }
}

void BackupTab::onTargetFileClicked() {
    // The target belongs to a running backup.
    if (refuseWhileBusy && refuseWhileBusy())
        return;
    FileDialogRequest request;
    request.dialogName = QStringLiteral("cdTarget");
    request.title = tr("Save Outlook Data as");
    request.filter = tr("Quenvar Outlook Backup File (*.kvx)");
    request.proposedName = ProposedBackupName(profileBox_->currentText(), QDate::currentDate());
    request.save = true;
    // A cancelled dialog forgets the earlier choice too.
    targetBox_->SetFile(chooseFile ? chooseFile(request) : QString());
}

void BackupTab::onTargetRepositoryClicked() {
    if (refuseWhileBusy && refuseWhileBusy())
        return;
    FileDialogRequest request;
    request.dialogName = QStringLiteral("cdTargetRepository");
    request.title = tr("Choose the Repository Folder");
    request.folder = true;
    // A cancelled dialog keeps the address typed.
    if (const QString folder = chooseFile ? chooseFile(request) : QString(); !folder.isEmpty())
        targetBox_->SetRepository(folder);
}

BackupTargetKind BackupTab::targetKind() const {
    return targetBox_->targetKind();
}

std::string BackupTab::repository() const {
    return targetBox_->repository();
}

std::string BackupTab::passphrase() const {
    return targetBox_->password();
}

std::string BackupTab::retypedPassphrase() const {
    return targetBox_->retyped();
}

BackupChoices BackupTab::Choices() const {
    BackupChoices c;
    c.profile = profileBox_->currentText().toStdString();
    c.items = Checked(itemBoxes_);
    c.description = withCrLf(descriptionEdit_->toPlainText());
    c.protect = targetBox_->protect();
    c.password = targetBox_->password();
    c.password2 = targetBox_->retyped();
    c.targetFile = targetBox_->file();
    return c;
}

std::optional<KeepPolicy> BackupTab::keepPolicy() const {
    return keepVersionsBox_->Choice().Policy();
}

QString BackupTab::profileName() const {
    return profileBox_->currentText();
}

ItemSelection BackupTab::checkedItems() const {
    return Checked(itemBoxes_);
}

const std::string& BackupTab::targetFile() const {
    return targetBox_->file();
}

std::vector<QWidget*> BackupTab::heldDuringRun() const {
    std::vector<QWidget*> held = targetBox_->heldDuringRun();
    held.push_back(profileBox_);
    return held;
}

} // namespace trelmig
