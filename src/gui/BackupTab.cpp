#include "gui/BackupTab.h"

#include "app/Environment.h"
#include "gui/BackupFileName.h"
#include "gui/BackupTargetBox.h"
#include "gui/ItemTexts.h"
#include "gui/KeepVersionsBox.h"
#include "gui/Mnemonics.h"
#include "gui/ObjectNames.h"
#include "gui/WindowMemory.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDate>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
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

    targetBox_ = new BackupTargetBox;
    descriptionEdit_ = named(new QPlainTextEdit, "txtAttachInfo");
    descriptionEdit_->setTabChangesFocus(true);
    descriptionEdit_->setPlaceholderText(tr("A note stored with the backup"));
    QLabel* descriptionCaption = Caption(tr("Description"), descriptionEdit_);
    targetBox_->column()->insertWidget(0, descriptionCaption);
    targetBox_->column()->insertWidget(1, descriptionEdit_, 1);
    row->addWidget(targetBox_, 1);
    SetMnemonic(descriptionCaption, QLatin1Char('D'));
    descriptionEdit_->setAccessibleName(tr("Description"));

    buildItemsMenu();
    connect(profileBox_, &QComboBox::currentIndexChanged, this, &BackupTab::onSourceProfileChanged);
    connect(targetBox_->browseButton(), &QPushButton::clicked, this,
            &BackupTab::onTargetFileClicked);
    itemsBox_->installEventFilter(this);
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
    itemBoxes_ = MakeItemBoxes("backupitem");
    for (std::size_t i = 0; i < itemBoxes_.size(); ++i) {
        itemBoxes_[i]->setToolTip(ItemText(itemCatalogue()[i].backupToolTip));
        items->addWidget(itemBoxes_[i]);
    }
    items->addStretch(1);
    what->addWidget(itemsBox_, 1);
    keepVersionsBox_ = new KeepVersionsBox;
    what->addWidget(keepVersionsBox_);
    SetMnemonic(profileCaption, QLatin1Char('P'));
    GiveItemMnemonics(itemBoxes_);
    profileBox_->setAccessibleName(tr("Profile to backup"));
}

void BackupTab::buildItemsMenu() {
    // The items' pop-up menu; it has no place in the menu bar.
    itemsMenu_ = named(new QMenu(this), "selectitem");
    selectAllAction_ = itemsMenu_->addAction(tr("Select all items"));
    selectAllAction_->setObjectName(QStringLiteral("Selectallitems"));
    deselectAllAction_ = itemsMenu_->addAction(tr("Deselect all items"));
    deselectAllAction_->setObjectName(QStringLiteral("Deselectallitems"));
    SetMnemonic(selectAllAction_, QLatin1Char('S'));
    SetMnemonic(deselectAllAction_, QLatin1Char('D'));
    connect(selectAllAction_, &QAction::triggered, this, [this] { SelectAvailable(itemBoxes_); });
    connect(deselectAllAction_, &QAction::triggered, this, [this] { ClearAll(itemBoxes_); });
}

bool BackupTab::eventFilter(QObject* watched, QEvent* event) {
    if (watched != itemsBox_)
        return QWidget::eventFilter(watched, event);
    // The menu key or Shift+F10 on the items (or a box among them) opens
    // their pop-up menu, as the right mouse button does.
    if (event->type() == QEvent::ContextMenu) {
        auto* asked = static_cast<QContextMenuEvent*>(event);
        if (asked->reason() == QContextMenuEvent::Keyboard) {
            QWidget* focus = QApplication::focusWidget();
            itemsMenu_->popup(focus && itemsBox_->isAncestorOf(focus)
                                  ? focus->mapToGlobal(QPoint(0, focus->height()))
                                  : asked->globalPos());
            return true;
        }
    }
    if (event->type() == QEvent::MouseButtonPress) {
        auto* press = static_cast<QMouseEvent*>(event);
        if (press->button() == Qt::RightButton)
            itemsMenu_->popup(press->globalPosition().toPoint());
    }
    return QWidget::eventFilter(watched, event);
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
    const QString mask = memory->Items();
    for (int i = 0; i < kItemCount && i < mask.size(); ++i) {
        QCheckBox* box = itemBoxes_[static_cast<std::size_t>(i)];
        box->setChecked(box->isEnabled() && mask.at(i) == QLatin1Char('1'));
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
    return {targetBox_->browseButton(), profileBox_};
}

} // namespace trelmig
