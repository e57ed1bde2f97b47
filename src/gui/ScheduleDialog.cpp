#include "gui/ScheduleDialog.h"

#include "gui/ScreenFit.h"

#include "app/Environment.h"
#include "gui/BackupFileName.h"
#include "gui/ItemTexts.h"
#include "gui/KeepVersionsBox.h"
#include "gui/Mnemonics.h"
#include "gui/ObjectNames.h"
#include "gui/ScheduledJobsDialog.h"
#include "gui/ScreenFit.h"
#include "gui/Skin.h"
#include "gui/WindowMemory.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
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
          ThisUsersScheduler(CurrentProgram(), std::filesystem::absolute(env.prefix.root())), env)),
      runModal_([](QDialog& d) { return d.exec(); }) {
    setObjectName("Frmoption");
    setWindowTitle(tr("Task Scheduler"));
    setModal(true);
    buildLayout();
    connect(profileBox_, &QComboBox::activated, this, [this] { onSourceProfileChanged(); });
    connect(dailyBox_, &QCheckBox::clicked, this, [this] { onDailyToggled(); });
    connect(targetFileButton_, &QPushButton::clicked, this, [this] { onTargetFileClicked(); });
    connect(protectBox_, &QCheckBox::clicked, this, [this] { onProtectToggled(); });
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
    // "Where", as on the main window: a second "Schedule" frame would say
    // nothing about the backup file it holds.
    auto* whereBox = named(new QGroupBox(tr("Where")), "Frame2");
    auto* fileLayout = new QGridLayout(whereBox);
    fileLayout->addWidget(named(new QLabel(tr("Choose a Backup Filename")), "SkinLabel4"), 0, 0, 1,
                          2);
    targetFileEdit_ = named(new QLineEdit, "txtTargetFile");
    // Only "Browse..." chooses the file: typed text would never be used.
    targetFileEdit_->setReadOnly(true);
    targetFileEdit_->setMinimumWidth(targetFileEdit_->fontMetrics().averageCharWidth() * 32);
    fileLayout->addWidget(targetFileEdit_, 1, 0);
    fileLayout->setColumnStretch(0, 1);
    targetFileButton_ = named(new QPushButton(tr("Browse...")), "cmdTargetFile");
    fileLayout->addWidget(targetFileButton_, 1, 1);
    auto* securityBox = named(new QGroupBox(tr("Security")), "Frame5");
    auto* securityLayout = new QGridLayout(securityBox);
    protectBox_ = named(new QCheckBox(tr("Protect backup file with password")), "ifprotect");
    securityLayout->addWidget(protectBox_, 0, 0, 1, 2);
    securityLayout->addWidget(named(new QLabel(tr("Password:")), "SkinLabel1"), 1, 0);
    passwordEdit_ = named(new QLineEdit, "txtPassword");
    passwordEdit_->setEchoMode(QLineEdit::Password);
    securityLayout->addWidget(passwordEdit_, 1, 1);
    securityLayout->addWidget(named(new QLabel(tr("Retype Password:")), "SkinLabel2"), 2, 0);
    retypeEdit_ = named(new QLineEdit, "txtPassword2");
    retypeEdit_->setEchoMode(QLineEdit::Password);
    securityLayout->addWidget(retypeEdit_, 2, 1);
    fileLayout->addWidget(securityBox, 2, 0, 1, 2);
    return whereBox;
}

void ScheduleDialog::giveMnemonics() {
    const std::pair<const char*, QChar> labels[] = {
        {"SkinLabel3", 'P'}, {"SkinLabel7", 'S'}, {"SkinLabel4", 'l'},
        {"SkinLabel1", 'a'}, {"SkinLabel2", 'y'},
    };
    QWidget* const buddies[] = {profileBox_, startTimeBox_, targetFileButton_, passwordEdit_,
                                retypeEdit_};
    for (std::size_t i = 0; i < std::size(labels); ++i) {
        auto* label = findChild<QLabel*>(labels[i].first);
        label->setBuddy(buddies[i]);
        SetMnemonic(label, labels[i].second);
    }
    const char kDayLetters[kDayCount] = {'M', 'T', 'W', 'h', 'F', 'u', 'n'};
    for (int i = 0; i < kDayCount; ++i)
        SetMnemonic(dayBoxes_[i], kDayLetters[i]);
    SetMnemonic(dailyBox_, 'd');
    SetMnemonic(targetFileButton_, 'B');
    SetMnemonic(protectBox_, 'o');
    SetMnemonic(addTaskButton_, 'k');
    SetMnemonic(openSchedulerButton_, 'e');
    SetMnemonic(cancelButton_, 'C');
}

void ScheduleDialog::setPasswordBoxes(bool enabled) {
    for (QLineEdit* box : {passwordEdit_, retypeEdit_}) {
        box->setEnabled(enabled);
        // Scroll-bar grey when off, window background when on: the desktop's
        // colours, which the skin's sheet on this window does not merge.
        const QPalette desktop = QApplication::palette();
        QPalette p = box->palette();
        p.setColor(QPalette::All, QPalette::Base,
                   desktop.color(enabled ? QPalette::Base : QPalette::Button));
        box->setPalette(p);
        box->clear();
    }
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
        targetFile_ = start.file.toStdString();
    targetFileEdit_->setText(QString::fromStdString(targetFile_));
    protectBox_->setChecked(false);
    setPasswordBoxes(false);
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
    dialog.selectFile(targetFile_.empty()
                          ? ProposedBackupName(profileBox_->currentText(), QDate::currentDate())
                          : QString::fromStdString(targetFile_));
    if (runModal_(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    targetFileEdit_->setText(dialog.selectedFiles().front());
    targetFile_ = targetFileEdit_->text().toStdString();
}

void ScheduleDialog::onProtectToggled() {
    setPasswordBoxes(protectBox_->isChecked());
}

void ScheduleDialog::onAddTaskClicked() {
    itemMask_.clear();
    for (QCheckBox* box : itemBoxes_)
        itemMask_ += box->isChecked() ? '1' : '0';
    const std::string password = passwordEdit_->text().toStdString();
    if (!CheckJobChoices(itemMask_, targetFile_, protectBox_->isChecked(), password,
                         retypeEdit_->text().toStdString(), prompter_))
        return;

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
    choices.password = protectBox_->isChecked() ? password : std::string();
    choices.targetFile = targetFile_;
    const KeepChoice keep = keepVersionsBox_->Choice();
    choices.keep = keep.Policy();
    if (RegisterJob(choices, scheduler_, prompter_).result == RegisterResult::Registered && memory_)
        memory_->SetKeepVersions(kKeepWindow, keep);
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
