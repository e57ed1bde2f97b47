#include "gui/ScheduleDialog.h"

#include "gui/ScreenFit.h"

#include "app/Environment.h"
#include "backup/CheckBackupChoices.h"
#include "core/ItemMask.h"
#include "gui/BackupFileName.h"
#include "gui/BackupTargetBox.h"
#include "gui/ItemTexts.h"
#include "gui/KeepVersionsBox.h"
#include "gui/Mnemonics.h"
#include "gui/ObjectNames.h"
#include "gui/ScheduledJobsDialog.h"
#include "gui/ScreenFit.h"
#include "gui/Skin.h"
#include "gui/WindowMemory.h"
#include "platform/ThisProgram.h"
#include "repository/RepositoryAddress.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace trelmig {

namespace {

constexpr std::array<const char*, kDayCount> kDayCaptions = {
    QT_TRANSLATE_NOOP("trelmig::ScheduleDialog", "Monday"),
    QT_TRANSLATE_NOOP("trelmig::ScheduleDialog", "Tuesday"),
    QT_TRANSLATE_NOOP("trelmig::ScheduleDialog", "Wednesday"),
    QT_TRANSLATE_NOOP("trelmig::ScheduleDialog", "Thursday"),
    QT_TRANSLATE_NOOP("trelmig::ScheduleDialog", "Friday"),
    QT_TRANSLATE_NOOP("trelmig::ScheduleDialog", "Saturday"),
    QT_TRANSLATE_NOOP("trelmig::ScheduleDialog", "Sunday")};
constexpr std::array<const char*, kDayCount> kDayNames = {
    "chkMonday", "chkTuesday",  "chkWednesday", "chkThursday",
    "chkFriday", "chkSaturday", "chkSunday"};

constexpr const char* kKeepWindow = "schedule";

} // namespace

ScheduleDialog::ScheduleDialog(Environment& env, Prompter& prompter, QWidget* parent)
    : QDialog(parent), env_(env), prompter_(prompter),
      scheduler_(ForWindowsUserFolder(
          ThisUsersScheduler(CommandLineProgram(), std::filesystem::absolute(env.prefix.root())),
          env)),
      runModal_([](QDialog& d) { return d.exec(); }) {
    setObjectName("Frmoption");
    setWindowTitle(tr("Task Scheduler"));
    setModal(true);
    buildLayout();
    connect(profileBox_, &QComboBox::activated, this, [this] { onSourceProfileChanged(); });
    connect(dailyBox_, &QCheckBox::clicked, this, [this] { onDailyToggled(); });
    connect(targetBox_->browseButton(), &QPushButton::clicked, this,
            [this] { onTargetFileClicked(); });
    connect(targetBox_->repositoryBrowseButton(), &QPushButton::clicked, this,
            [this] { onTargetRepositoryClicked(); });
    connect(addTaskButton_, &QPushButton::clicked, this, [this] { onAddTaskClicked(); });
    connect(openSchedulerButton_, &QPushButton::clicked, this,
            [this] { onOpenSchedulerClicked(); });
    connect(cancelButton_, &QPushButton::clicked, this, [this] { onCancelClicked(); });
}

void ScheduleDialog::buildLayout() {
    QGroupBox* whatBox = buildWhat();
    QGroupBox* scheduleBox = buildWhen();
    QGroupBox* whereBox = buildWhere();

    addTaskButton_ = named(new QPushButton(tr("Add Task to Scheduler")), "Command3");
    openSchedulerButton_ = named(new QPushButton(tr("Open Scheduler")), "Command1");
    cancelButton_ = named(new QPushButton(tr("Cancel")), "Command2");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(addTaskButton_);
    buttons->addWidget(openSchedulerButton_);
    buttons->addStretch();
    buttons->addWidget(cancelButton_);

    auto* right = new QVBoxLayout;
    right->addWidget(scheduleBox);
    right->addWidget(whereBox);
    right->addStretch(1);
    // The choices scroll on a screen too small for them (800x600, or 200 %),
    // so that the buttons below stay whole and on the screen.
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("schedulePage"));
    auto* columns = new QHBoxLayout(page);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->addWidget(whatBox, 1);
    columns->addLayout(right, 1);
    auto* top = new QVBoxLayout(this);
    top->addWidget(Scrolling(page), 1);
    top->addLayout(buttons);
    giveMnemonics();
}

QGroupBox* ScheduleDialog::buildWhat() {
    auto* whatBox = named(new QGroupBox(tr("What")), "Frame1");
    auto* whatLayout = new QVBoxLayout(whatBox);
    whatLayout->addWidget(named(new QLabel(tr("Profile to backup")), "SkinLabel3"));
    profileBox_ = named(new QComboBox, "cbSource");
    whatLayout->addWidget(profileBox_);
    auto* itemsBox = named(new QGroupBox(tr("Items to backup")), "Frame6");
    auto* itemsLayout = new QVBoxLayout(itemsBox);
    for (int i = 0; i < kItemCount; ++i) {
        itemBoxes_[i] = new QCheckBox(ItemText(itemCatalogue()[i].caption));
        itemBoxes_[i]->setObjectName(QString("backupitem%1").arg(i));
        itemsLayout->addWidget(itemBoxes_[i]);
    }
    // Room the window gains goes to the frames' ends, not between a label
    // and its box.
    itemsLayout->addStretch(1);
    whatLayout->addWidget(itemsBox, 1);
    keepVersionsBox_ = new KeepVersionsBox;
    whatLayout->addWidget(keepVersionsBox_);
    // Ctrl+A with the focus in the items, and the frame's own menu, tick
    // every item the profile has, as in the main window.
    auto* selectAll = new QAction(tr("Select all items"), itemsBox);
    selectAll->setObjectName(QStringLiteral("Selectallitems"));
    selectAll->setShortcut(QKeySequence::SelectAll);
    selectAll->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    itemsBox->addAction(selectAll);
    itemsBox->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(selectAll, &QAction::triggered, this, [this] {
        for (QCheckBox* box : itemBoxes_)
            box->setChecked(box->isEnabled());
    });
    return whatBox;
}

QGroupBox* ScheduleDialog::buildWhen() {
    auto* scheduleBox = named(new QGroupBox(tr("Schedule")), "Frame3");
    auto* scheduleLayout = new QGridLayout(scheduleBox);
    scheduleLayout->addWidget(named(new QLabel(tr("Start backup at")), "SkinLabel7"), 0, 0);
    startTimeBox_ = named(new QComboBox, "cmbStartTime");
    startTimeBox_->setEditable(true);
    startTimeBox_->setInsertPolicy(QComboBox::NoInsert);
    scheduleLayout->addWidget(startTimeBox_, 0, 1);
    for (int i = 0; i < kDayCount; ++i) {
        dayBoxes_[i] = named(new QCheckBox(tr(kDayCaptions[i])), kDayNames[i]);
        scheduleLayout->addWidget(dayBoxes_[i], 1 + i / 2, i % 2);
    }
    dailyBox_ = named(new QCheckBox(tr("Run daily")), "chkDaily");
    scheduleLayout->addWidget(dailyBox_, 4, 1);
    return scheduleBox;
}

QGroupBox* ScheduleDialog::buildWhere() {
    // The main window's box under this window's own caption, names and
    // letters, which its users and the skin know.
    BackupTargetLook look;
    look.fileCaption = QT_TRANSLATE_NOOP("trelmig::BackupTargetBox", "Choose a Backup Filename");
    look.fileCaptionName = "SkinLabel4";
    look.passwordCaptionName = "SkinLabel1";
    look.retypeCaptionName = "SkinLabel2";
    look.fileCaptionLetter = u'l';
    look.browseLetter = u'B';
    look.protectLetter = u'o';
    look.fileLineChars = 32;
    look.fileToolTip = false;
    look.accessibleNames = false;
    targetBox_ = new BackupTargetBox(look);
    return targetBox_;
}

void ScheduleDialog::giveMnemonics() {
    const std::pair<const char*, QChar> labels[] = {{"SkinLabel3", 'P'}, {"SkinLabel7", 'S'}};
    QWidget* const buddies[] = {profileBox_, startTimeBox_};
    for (std::size_t i = 0; i < std::size(labels); ++i) {
        auto* label = findChild<QLabel*>(labels[i].first);
        label->setBuddy(buddies[i]);
        SetMnemonic(label, labels[i].second);
    }
    const char kDayLetters[kDayCount] = {'M', 'T', 'W', 'h', 'F', 'u', 'n'};
    for (int i = 0; i < kDayCount; ++i)
        SetMnemonic(dayBoxes_[i], kDayLetters[i]);
    SetMnemonic(dailyBox_, 'd');
    SetMnemonic(addTaskButton_, 'k');
    SetMnemonic(openSchedulerButton_, 'e');
    SetMnemonic(cancelButton_, 'C');
}

int ScheduleDialog::ShowModal(const ScheduleStart& start) {
    resetChoices(start);
    return runModal_(*this);
}

void ScheduleDialog::resetChoices(const ScheduleStart& start) {
    ApplySkin(this);
    if (!sized_) {
        OpenAtContentSize(this);
        sized_ = true;
    }
    profileBox_->clear();
    for (const auto& name : env_.session().profiles)
        profileBox_->addItem(QString::fromStdString(name));
    for (int i = 0; i < kItemCount; ++i) {
        itemBoxes_[i]->setEnabled(true);
        itemBoxes_[i]->setChecked(false);
        itemBoxes_[i]->setToolTip(ItemText(itemCatalogue()[i].backupToolTip));
    }
    startTimeBox_->clear();
    for (int h = 0; h < 24; ++h) {
        startTimeBox_->addItem(QString("%1:00").arg(h));
        startTimeBox_->addItem(QString("%1:30").arg(h));
    }
    startTimeBox_->setCurrentText("9:00");
    for (QCheckBox* day : dayBoxes_)
        day->setChecked(false);
    dailyBox_->setChecked(false);
    // The main window's file, else the one this window chose last.
    if (!start.file.isEmpty())
        targetBox_->SetFile(start.file);
    if (!start.repository.isEmpty())
        targetBox_->SetRepository(start.repository);
    targetBox_->SetTargetKind(start.toRepository ? BackupTargetKind::Repository
                                                 : BackupTargetKind::File);
    targetBox_->ClearProtection();
    keepVersionsBox_->SetChoice(memory_ ? memory_->KeepVersions(kKeepWindow) : KeepChoice{});
    // The main window's profile (else the first) and its items, where the
    // profile has them.
    if (const int shown = profileBox_->findText(start.profile); shown >= 0)
        profileBox_->setCurrentIndex(shown);
    if (profileBox_->count() > 0)
        onSourceProfileChanged();
    for (int i = 0; i < kItemCount; ++i)
        itemBoxes_[i]->setChecked(itemBoxes_[i]->isEnabled() && start.items[i]);
}

void ScheduleDialog::onSourceProfileChanged() {
    for (QCheckBox* box : itemBoxes_) {
        box->setEnabled(true);
        box->setChecked(false);
    }
    const ItemStates states = env_.ItemStatesOf(profileBox_->currentText().toStdString());
    for (int i = 0; i < kItemCount; ++i) {
        QString tip = QString::fromStdString(states[i].toolTip);
        if (i == ItemAddressBook && IsNewOutlook(env_.session()))
            tip = tr(" MS Outlook 2007 don't support Personal Address Book!");
        itemBoxes_[i]->setToolTip(tip);
        itemBoxes_[i]->setEnabled(states[i].enabled);
    }
}

void ScheduleDialog::onDailyToggled() {
    for (QCheckBox* day : dayBoxes_)
        day->setChecked(dailyBox_->isChecked());
}

void ScheduleDialog::onTargetFileClicked() {
    QFileDialog dialog(this, tr("Save Outlook Data as"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    dialog.setNameFilter(tr("Quenvar Outlook Backup File (*.kvx)"));
    // The restore tab's open dialog lists backup files by their extension.
    dialog.setDefaultSuffix("kvx");
    dialog.selectFile(targetFile().empty()
                          ? ProposedBackupName(profileBox_->currentText(), QDate::currentDate())
                          : QString::fromStdString(targetFile()));
    if (runModal_(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    targetBox_->SetFile(dialog.selectedFiles().front());
}

void ScheduleDialog::onTargetRepositoryClicked() {
    QFileDialog dialog(this, tr("Choose the Repository Folder"));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (!targetBox_->repository().empty())
        dialog.setDirectory(QString::fromStdString(targetBox_->repository()));
    if (runModal_(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    targetBox_->SetRepository(dialog.selectedFiles().front());
}

bool ScheduleDialog::checkRepositoryChoices(const std::string& itemMask) {
    // A job asks for its items before its target, as for a file.
    if (const ChoicesCheck items = CheckItemsChosen(ItemMask::Lenient(itemMask).Boxes()); !items) {
        prompter_.ShowMessage({items.error(), {}}, RefusalIcon(items.error()));
        return false;
    }
    const std::string typed = targetBox_->repository();
    const Result<RepositoryAddress> address = ParseRepositoryAddress(typed);
    if (typed.empty() || !address) {
        prompter_.Show(tr("The repository address \"%1\" cannot be used: %2")
                           .arg(QString::fromStdString(typed),
                                typed.empty() ? tr("it is empty")
                                              : QString::fromStdString(address.error().message))
                           .toStdString(),
                       MessageIcon::Exclamation);
        return false;
    }
    if (targetBox_->password() != targetBox_->retyped()) {
        prompter_.Show(tr("The passphrase and its retyped copy differ. Please type the "
                          "passphrase again in both boxes.")
                           .toStdString(),
                       MessageIcon::Exclamation);
        return false;
    }
    return true;
}

void ScheduleDialog::onAddTaskClicked() {
    ItemSelection ticked{};
    for (std::size_t i = 0; i < ticked.size(); ++i)
        ticked[i] = itemBoxes_[i]->isChecked();
    itemMask_ = ItemMask(ticked).Text();
    const std::string password = targetBox_->password();
    const bool toRepository = targetBox_->targetKind() == BackupTargetKind::Repository;
    if (toRepository ? !checkRepositoryChoices(itemMask_)
                     : !CheckJobChoices(itemMask_, targetFile(), targetBox_->protect(), password,
                                        targetBox_->retyped(), prompter_))
        return;
    repository_ = toRepository ? targetBox_->repository() : std::string();

    profileName_ = profileBox_->currentText().toStdString();
    DayChecks days{};
    for (int i = 0; i < kDayCount; ++i)
        days[i] = dayBoxes_[i]->isChecked();
    dayList_ = DayList(days);
    JobChoices choices;
    choices.startTime = startTimeBox_->currentText().toStdString();
    choices.dayList = dayList_;
    choices.profileName = profileName_;
    choices.itemMask = itemMask_;
    choices.password = targetBox_->protect() ? password : std::string();
    // A repository's job writes no file: its "bf=" stays empty.
    choices.targetFile = toRepository ? std::string() : targetFile();
    choices.repository = repository_;
    const KeepChoice keep = keepVersionsBox_->Choice();
    choices.keep = keep.Policy();
    if (RegisterJob(choices, scheduler_, prompter_).result == RegisterResult::Registered && memory_)
        memory_->SetKeepVersions(kKeepWindow, keep);
}

const std::string& ScheduleDialog::targetFile() const {
    return targetBox_->file();
}

void ScheduleDialog::SetTargetFile(const std::string& file) {
    targetBox_->SetFile(QString::fromStdString(file));
}

void ScheduleDialog::SetScheduler(TaskScheduler scheduler) {
    scheduler_ = ForWindowsUserFolder(std::move(scheduler), env_);
}

void ScheduleDialog::onOpenSchedulerClicked() {
    ScheduledJobsDialog jobs(scheduler_, prompter_, this);
    runModal_(jobs);
}

void ScheduleDialog::onCancelClicked() {
    reject();
}

} // namespace trelmig
