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
    connect(cbSource, &QComboBox::activated, this, [this] { onSourceProfileChanged(); });
    connect(chkDaily, &QCheckBox::clicked, this, [this] { onDailyToggled(); });
    connect(cmdTargetFile, &QPushButton::clicked, this, [this] { onTargetFileClicked(); });
    connect(ifprotect, &QCheckBox::clicked, this, [this] { onProtectToggled(); });
    connect(Command3, &QPushButton::clicked, this, [this] { onAddTaskClicked(); });
    connect(Command1, &QPushButton::clicked, this, [this] { onOpenSchedulerClicked(); });
    connect(Command2, &QPushButton::clicked, this, [this] { onCancelClicked(); });
}

void ScheduleDialog::buildLayout() {
    auto* frame1 = named(new QGroupBox(tr("What")), "Frame1");
    auto* whatLayout = new QVBoxLayout(frame1);
    whatLayout->addWidget(named(new QLabel(tr("Profile to backup")), "SkinLabel3"));
    cbSource = named(new QComboBox, "cbSource");
    whatLayout->addWidget(cbSource);
    auto* frame6 = named(new QGroupBox(tr("Items to backup")), "Frame6");
    auto* itemsLayout = new QVBoxLayout(frame6);
    for (int i = 0; i < kItemCount; ++i) {
        backupitem[i] = new QCheckBox(ItemText(itemCatalogue()[i].caption));
        backupitem[i]->setObjectName(QString("backupitem%1").arg(i));
        itemsLayout->addWidget(backupitem[i]);
    }
    // Room the window gains goes to the frames' ends, not between a label
    // and its box.
    itemsLayout->addStretch(1);
    whatLayout->addWidget(frame6, 1);
    keepVersions = new KeepVersionsBox;
    whatLayout->addWidget(keepVersions);
    // Ctrl+A with the focus in the items, and the frame's own menu, tick
    // every item the profile has, as in the main window.
    auto* selectAll = new QAction(tr("Select all items"), frame6);
    selectAll->setObjectName(QStringLiteral("Selectallitems"));
    selectAll->setShortcut(QKeySequence::SelectAll);
    selectAll->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    frame6->addAction(selectAll);
    frame6->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(selectAll, &QAction::triggered, this, [this] {
        for (QCheckBox* box : backupitem)
            box->setChecked(box->isEnabled());
    });

    auto* frame3 = named(new QGroupBox(tr("Schedule")), "Frame3");
    auto* scheduleLayout = new QGridLayout(frame3);
    scheduleLayout->addWidget(named(new QLabel(tr("Start backup at")), "SkinLabel7"), 0, 0);
    cmbStartTime = named(new QComboBox, "cmbStartTime");
    cmbStartTime->setEditable(true);
    cmbStartTime->setInsertPolicy(QComboBox::NoInsert);
    scheduleLayout->addWidget(cmbStartTime, 0, 1);
    for (int i = 0; i < kDayCount; ++i) {
        dayBoxes[i] = named(new QCheckBox(tr(kDayCaptions[i])), kDayNames[i]);
        scheduleLayout->addWidget(dayBoxes[i], 1 + i / 2, i % 2);
    }
    chkDaily = named(new QCheckBox(tr("Run daily")), "chkDaily");
    scheduleLayout->addWidget(chkDaily, 4, 1);

    // "Where", as on the main window: a second "Schedule" frame would say
    // nothing about the backup file it holds.
    auto* frame2 = named(new QGroupBox(tr("Where")), "Frame2");
    auto* fileLayout = new QGridLayout(frame2);
    fileLayout->addWidget(named(new QLabel(tr("Choose a Backup Filename")), "SkinLabel4"), 0, 0, 1,
                          2);
    txtTargetFile = named(new QLineEdit, "txtTargetFile");
    // Only "Browse..." chooses the file: typed text would never be used.
    txtTargetFile->setReadOnly(true);
    txtTargetFile->setMinimumWidth(txtTargetFile->fontMetrics().averageCharWidth() * 32);
    fileLayout->addWidget(txtTargetFile, 1, 0);
    fileLayout->setColumnStretch(0, 1);
    cmdTargetFile = named(new QPushButton(tr("Browse...")), "cmdTargetFile");
    fileLayout->addWidget(cmdTargetFile, 1, 1);
    auto* frame5 = named(new QGroupBox(tr("Security")), "Frame5");
    auto* securityLayout = new QGridLayout(frame5);
    ifprotect = named(new QCheckBox(tr("Protect backup file with password")), "ifprotect");
    securityLayout->addWidget(ifprotect, 0, 0, 1, 2);
    securityLayout->addWidget(named(new QLabel(tr("Password:")), "SkinLabel1"), 1, 0);
    txtPassword = named(new QLineEdit, "txtPassword");
    txtPassword->setEchoMode(QLineEdit::Password);
    securityLayout->addWidget(txtPassword, 1, 1);
    securityLayout->addWidget(named(new QLabel(tr("Retype Password:")), "SkinLabel2"), 2, 0);
    txtPassword2 = named(new QLineEdit, "txtPassword2");
    txtPassword2->setEchoMode(QLineEdit::Password);
    securityLayout->addWidget(txtPassword2, 2, 1);
    fileLayout->addWidget(frame5, 2, 0, 1, 2);

    Command3 = named(new QPushButton(tr("Add Task to Scheduler")), "Command3");
    Command1 = named(new QPushButton(tr("Open Scheduler")), "Command1");
    Command2 = named(new QPushButton(tr("Cancel")), "Command2");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command3);
    buttons->addWidget(Command1);
    buttons->addStretch();
    buttons->addWidget(Command2);

    auto* right = new QVBoxLayout;
    right->addWidget(frame3);
    right->addWidget(frame2);
    right->addStretch(1);
    // The choices scroll on a screen too small for them (800x600, or 200 %),
    // so that the buttons below stay whole and on the screen.
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("schedulePage"));
    auto* columns = new QHBoxLayout(page);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->addWidget(frame1, 1);
    columns->addLayout(right, 1);
    auto* top = new QVBoxLayout(this);
    top->addWidget(Scrolling(page), 1);
    top->addLayout(buttons);
    giveMnemonics();
}

void ScheduleDialog::giveMnemonics() {
    const std::pair<const char*, QChar> labels[] = {
        {"SkinLabel3", 'P'}, {"SkinLabel7", 'S'}, {"SkinLabel4", 'l'},
        {"SkinLabel1", 'a'}, {"SkinLabel2", 'y'},
    };
    QWidget* const buddies[] = {cbSource, cmbStartTime, cmdTargetFile, txtPassword, txtPassword2};
    for (std::size_t i = 0; i < std::size(labels); ++i) {
        auto* label = findChild<QLabel*>(labels[i].first);
        label->setBuddy(buddies[i]);
        SetMnemonic(label, labels[i].second);
    }
    const char kDayLetters[kDayCount] = {'M', 'T', 'W', 'h', 'F', 'u', 'n'};
    for (int i = 0; i < kDayCount; ++i)
        SetMnemonic(dayBoxes[i], kDayLetters[i]);
    SetMnemonic(chkDaily, 'd');
    SetMnemonic(cmdTargetFile, 'B');
    SetMnemonic(ifprotect, 'o');
    SetMnemonic(Command3, 'k');
    SetMnemonic(Command1, 'e');
    SetMnemonic(Command2, 'C');
}

void ScheduleDialog::setPasswordBoxes(bool enabled) {
    for (QLineEdit* box : {txtPassword, txtPassword2}) {
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
    cbSource->clear();
    for (const auto& name : env_.session().profiles)
        cbSource->addItem(QString::fromStdString(name));
    for (int i = 0; i < kItemCount; ++i) {
        backupitem[i]->setEnabled(true);
        backupitem[i]->setChecked(false);
        backupitem[i]->setToolTip(ItemText(itemCatalogue()[i].backupToolTip));
    }
    cmbStartTime->clear();
    for (int h = 0; h < 24; ++h) {
        cmbStartTime->addItem(QString("%1:00").arg(h));
        cmbStartTime->addItem(QString("%1:30").arg(h));
    }
    cmbStartTime->setCurrentText("9:00");
    for (QCheckBox* day : dayBoxes)
        day->setChecked(false);
    chkDaily->setChecked(false);
    // The main window's file, else the one this window chose last.
    if (!start.file.isEmpty())
        TargetFile = start.file.toStdString();
    txtTargetFile->setText(QString::fromStdString(TargetFile));
    ifprotect->setChecked(false);
    setPasswordBoxes(false);
    keepVersions->SetChoice(memory_ ? memory_->KeepVersions(kKeepWindow) : KeepChoice{});
    // The main window's profile (else the first) and its items, where the
    // profile has them.
    if (const int shown = cbSource->findText(start.profile); shown >= 0)
        cbSource->setCurrentIndex(shown);
    if (cbSource->count() > 0)
        onSourceProfileChanged();
    for (int i = 0; i < kItemCount; ++i)
        backupitem[i]->setChecked(backupitem[i]->isEnabled() && start.items[i]);
}

void ScheduleDialog::onSourceProfileChanged() {
    for (QCheckBox* box : backupitem) {
        box->setEnabled(true);
        box->setChecked(false);
    }
    const ItemStates states = env_.ItemStatesOf(cbSource->currentText().toStdString());
    for (int i = 0; i < kItemCount; ++i) {
        QString tip = QString::fromStdString(states[i].toolTip);
        if (i == ItemAddressBook && IsNewOutlook(env_.session()))
            tip = tr(" MS Outlook 2007 don't support Personal Address Book!");
        backupitem[i]->setToolTip(tip);
        backupitem[i]->setEnabled(states[i].enabled);
    }
}

void ScheduleDialog::onDailyToggled() {
    for (QCheckBox* day : dayBoxes)
        day->setChecked(chkDaily->isChecked());
}

void ScheduleDialog::onTargetFileClicked() {
    QFileDialog dialog(this, tr("Save Outlook Data as"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    dialog.setNameFilter(tr("Quenvar Outlook Backup File (*.kvx)"));
    // The restore tab's open dialog lists backup files by their extension.
    dialog.setDefaultSuffix("kvx");
    dialog.selectFile(TargetFile.empty()
                          ? ProposedBackupName(cbSource->currentText(), QDate::currentDate())
                          : QString::fromStdString(TargetFile));
    if (runModal_(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    txtTargetFile->setText(dialog.selectedFiles().front());
    TargetFile = txtTargetFile->text().toStdString();
}

void ScheduleDialog::onProtectToggled() {
    setPasswordBoxes(ifprotect->isChecked());
}

void ScheduleDialog::onAddTaskClicked() {
    ItemMask.clear();
    for (QCheckBox* box : backupitem)
        ItemMask += box->isChecked() ? '1' : '0';
    const std::string password = txtPassword->text().toStdString();
    if (!CheckJobChoices(ItemMask, TargetFile, ifprotect->isChecked(), password,
                         txtPassword2->text().toStdString(), prompter_))
        return;

    ProfileName = cbSource->currentText().toStdString();
    DayChecks days{};
    for (int i = 0; i < kDayCount; ++i)
        days[i] = dayBoxes[i]->isChecked();
    DayList = trelmig::DayList(days);
    JobChoices choices;
    choices.startTime = cmbStartTime->currentText().toStdString();
    choices.dayList = DayList;
    choices.profileName = ProfileName;
    choices.itemMask = ItemMask;
    choices.password = ifprotect->isChecked() ? password : std::string();
    choices.targetFile = TargetFile;
    const KeepChoice keep = keepVersions->Choice();
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
