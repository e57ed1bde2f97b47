// Whole runs from the window: a backup of the sample profile, and its restore
// into the second profile of another copy of the prefix.
#include "MainWindowFixture.h"

#include "gui/PasswordDialog.h"
#include "gui/ProgressPanel.h"
#include "gui/WindowMemory.h"
#include "platform/ScopedEnv.h"
#include "registry/RegistryBinary.h"
#include "restore/RestoreUndo.h"
#include "schedule/JobStatus.h"

#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <set>
#include <thread>

namespace fs = std::filesystem;
using namespace trelmig;

namespace {

// What the progress panel showed while a run worked: looked at each time the
// bar moves (the run works on another thread and hands its texts over in order).
struct PanelWatch {
    bool visible = false;
    bool busyPointer = false;
    std::set<QString> statuses;
    std::set<QString> files;
    std::vector<int> values; // of the bar, in order
    int highest = 0;

    explicit PanelWatch(ProgressPanel* panel) {
        auto* status = partOf<QLabel>(panel, "Label1");
        auto* item = partOf<QLabel>(panel, "SkinLabel9");
        QObject::connect(partOf<QProgressBar>(panel, "pbshow"), &QProgressBar::valueChanged,
                         [this, panel, status, item](int value) {
                             if (!panel->isVisible())
                                 return;
                             visible = true;
                             busyPointer = busyPointer || QApplication::overrideCursor() != nullptr;
                             statuses.insert(status->text());
                             if (!item->text().isEmpty())
                                 files.insert(item->text());
                             values.push_back(value);
                             highest = std::max(highest, value);
                         });
    }
    // Distinct values strictly between from and to.
    std::size_t stepsBetween(int from, int to) const {
        std::set<int> between;
        for (int v : values)
            if (v > from && v < to)
                between.insert(v);
        return between.size();
    }
};

// The data file paths the profile's store sections name.
std::set<std::string> storePaths(Environment& e, const std::string& profile) {
    std::set<std::string> paths;
    const std::string key = e.session().profilesKey + "\\" + profile;
    for (const auto& section : e.reg.EnumRegSubkeys(key)) {
        if (const auto path = ReadStorePath(e.reg, key + "\\" + section))
            paths.insert(*path);
    }
    return paths;
}

// Answers the password prompt: types the password, then Enter or OK.
std::function<bool(QWidget*)> typesPassword(QString password, bool pressEnter) {
    return [password, pressEnter](QWidget* modal) {
        auto* prompt = qobject_cast<PasswordDialog*>(modal);
        if (!prompt)
            return false;
        typeText(control<QLineEdit>(prompt, "txtPassword"), password);
        if (pressEnter)
            pressKey(control<QLineEdit>(prompt, "txtPassword"), Qt::Key_Return,
                     QStringLiteral("\r"));
        else
            control<QPushButton>(prompt, "cmdOK")->click();
        return true;
    };
}

} // namespace

class WindowRunTest : public MainWindowTest {
protected:
    std::string archive = (prefix.work.path() / "from window.kvx").string();

    // Backs up every available item of "Outlook", protected by "secret".
    void backUpEverything() {
        open();
        nextFile = QString::fromStdString(archive);
        child<QPushButton>("cmdTargetFile")->click();
        child<QAction>("Selectallitems")->trigger();
        clickCheckBox(child<QCheckBox>("ifprotect"));
        typeText(child<QLineEdit>("txtPassword"), QStringLiteral("secret"));
        typeText(child<QLineEdit>("txtPassword2"), QStringLiteral("secret"));
        child<QPlainTextEdit>("txtAttachInfo")
            ->setPlainText(QStringLiteral("Before the move\nsecond line"));
        child<QPushButton>("cmdApply")->click();
        finishRun();
    }
};

TEST_F(WindowRunTest, BackupFromTheWindowShowsProgressAndOffersTheDisc) {
    open();
    int discWindows = 0;
    std::string handedOver;
    window->showDiscWindow = [&](const std::string& archive) {
        ++discWindows;
        handedOver = archive;
    };
    PanelWatch seen(child<ProgressPanel>("picCon3"));
    nextFile = QString::fromStdString(archive);
    child<QPushButton>("cmdTargetFile")->click();
    child<QAction>("Selectallitems")->trigger();
    clickCheckBox(child<QCheckBox>("ifprotect"));
    typeText(child<QLineEdit>("txtPassword"), QStringLiteral("secret"));
    typeText(child<QLineEdit>("txtPassword2"), QStringLiteral("secret"));
    child<QPushButton>("cmdApply")->click();
    finishRun();

    ASSERT_TRUE(fs::is_regular_file(archive));
    ASSERT_EQ(prompter.messages.size(), 2u) << prompter.messages[0].text;
    EXPECT_EQ(prompter.messages[0].text, "The Backup was Completed!\t\t\t\r\n"
                                         "\r\nBackup Personal Folders\t\tsucceeded!\t"
                                         "\r\nBackup Accounts Settings\tsucceeded!\t"
                                         "\r\nBackup Signatures\t\tsucceeded!\t"
                                         "\r\nBackup Stationeries\t\tsucceeded!\t"
                                         "\r\nBackup Options Settings\t\tsucceeded!\t"
                                         "\r\nBackup Templates\t\tsucceeded!\t"
                                         "\r\nBackup Preferences\t\tsucceeded!\t");
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(prompter.messages[1].text, "Do you need to backup your data to CD-R/RW or DVD?");
    EXPECT_EQ(prompter.messages[1].buttons, MessageButtons::OkCancel);
    // Answered OK: the disc window gets the new archive.
    EXPECT_EQ(discWindows, 1);
    EXPECT_EQ(handedOver, archive);

    // The panel was shown with the busy pointer while the run worked ...
    EXPECT_TRUE(seen.visible);
    EXPECT_TRUE(seen.busyPointer);
    EXPECT_TRUE(seen.statuses.count(QStringLiteral("Copying Data Files (Pst Files)...")));
    ASSERT_FALSE(seen.files.empty());
    // Files are gathered, then compressed with their bytes counted.
    bool compressedDataFile = false;
    for (const QString& file : seen.files) {
        EXPECT_TRUE(file.startsWith(QStringLiteral("Adding File ")) ||
                    file.startsWith(QStringLiteral("Compressing ")) ||
                    file.startsWith(QStringLiteral("Verifying ")))
            << file.toStdString();
        compressedDataFile =
            compressedDataFile || file.startsWith(QStringLiteral("Compressing Outlook.pst: "));
    }
    EXPECT_TRUE(compressedDataFile);
    // The bar follows the bytes written, up to the end, never backwards.
    EXPECT_EQ(seen.highest, 100);
    EXPECT_GE(seen.stepsBetween(10, 100), 5u);
    EXPECT_TRUE(std::is_sorted(seen.values.begin(), seen.values.end()));
    // ... and is gone afterwards.
    EXPECT_FALSE(child<ProgressPanel>("picCon3")->isVisible());
    EXPECT_EQ(partOf<QProgressBar>(child<ProgressPanel>("picCon3"), "pbshow")->value(), 0);
    EXPECT_TRUE(partOf<QLabel>(child<ProgressPanel>("picCon3"), "SkinLabel9")->text().isEmpty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(window->Busy());
}

// While a backup works, whatever would start another run is disabled: the
// user's presses start nothing, and the one backup goes to its end.
// "Do not ask again" on the disc question is remembered for later starts;
// Options > "Offer to Write Each Backup to a Disc" asks again.
TEST_F(WindowRunTest, TheDiscQuestionCanBeToldNotToAskAgain) {
    const QString settings =
        QString::fromStdString((prefix.work.path() / "settings.conf").string());
    int discWindows = 0;
    const auto backUp = [&] {
        prompter.messages.clear();
        child<QPushButton>("cmdApply")->click();
        finishRun();
        return std::count_if(prompter.messages.begin(), prompter.messages.end(), [](const auto& m) {
            return m.text.find("CD-R/RW") != std::string::npos;
        });
    };
    open();
    window->Remember(std::make_unique<WindowMemory>(settings, prefix.root));
    window->showDiscWindow = [&](const std::string&) { ++discWindows; };
    nextFile = QString::fromStdString(archive);
    child<QPushButton>("cmdTargetFile")->click();
    child<QAction>("Selectallitems")->trigger();
    auto* offer = child<QAction>("askdisc");
    EXPECT_TRUE(offer->isChecked());
    prompter.doNotAskAgain = true;
    EXPECT_EQ(backUp(), 1);
    EXPECT_EQ(discWindows, 1); // answered Ok this time
    EXPECT_FALSE(offer->isChecked());
    EXPECT_EQ(backUp(), 0);
    EXPECT_FALSE(WindowMemory(settings, prefix.root).AskAboutDisc());

    prompter.doNotAskAgain = false;
    offer->trigger();
    EXPECT_TRUE(WindowMemory(settings, prefix.root).AskAboutDisc());
    EXPECT_EQ(backUp(), 1);
    EXPECT_EQ(discWindows, 2);
}

TEST_F(WindowRunTest, ASecondStartWhileABackupRunsDoesNothing) {
    prompter.answer = MessageAnswer::Cancel; // no disc
    backUpEverything();
    prompter.messages.clear();
    // The second backup asks before it replaces the first: while the user
    // reads the question, the run is at work and waits for the answer.
    bool pressed = false;
    std::vector<std::string> enabledDuringRun;
    prompter.answerFor = [&](const RecordingPrompter::Message& m) {
        if (m.buttons != MessageButtons::OverwriteCancel || pressed)
            return MessageAnswer::Cancel; // no disc; the backup goes on
        pressed = true;
        EXPECT_TRUE(window->Busy());
        for (QWidget* w : std::initializer_list<QWidget*>{
                 child<QPushButton>("cmdApply"), child<QPushButton>("cmdSourceFile"),
                 child<QPushButton>("cmdTargetFile"), child<QComboBox>("cbSource"),
                 child<QComboBox>("cbTarget")})
            if (w->isEnabled())
                enabledDuringRun.push_back(w->objectName().toStdString());
        for (QAction* a : {child<QAction>("backupnow"), child<QAction>("restorenow"),
                           child<QAction>("openprefix"), child<QAction>("undorestore"),
                           child<QAction>("TaskScheduler")})
            if (a->isEnabled())
                enabledDuringRun.push_back(a->objectName().toStdString());
        child<QPushButton>("cmdApply")->click();
        child<QPushButton>("cmdApply")->click();
        child<QAction>("backupnow")->trigger();
        child<QAction>("restorenow")->trigger();
        child<QPushButton>("cmdSourceFile")->click();
        child<QPushButton>("cmdTargetFile")->click();
        // Changed by code rather than the user, the profile goes back.
        child<QComboBox>("cbSource")->setCurrentIndex(1);
        // Closing offers to cancel the backup; answered Cancel, it goes on.
        window->close();
        return MessageAnswer::Ok;
    };
    child<QPushButton>("cmdApply")->click();
    finishRun();

    ASSERT_TRUE(pressed);
    EXPECT_TRUE(enabledDuringRun.empty()) << enabledDuringRun.front();
    const auto texts = messageTexts();
    ASSERT_EQ(texts.size(), 5u) << texts.back();
    EXPECT_EQ(texts[0].rfind("The backup file " + archive, 0), 0u);
    EXPECT_EQ(texts[1], "A backup or restore is running. Please wait until it has finished.");
    EXPECT_EQ(texts[2], "A backup or restore is running. Do you want to cancel it and quit?");
    // One backup, gone to its end; no second one started.
    EXPECT_EQ(texts[3].rfind("The Backup was Completed!", 0), 0u) << texts[3];
    EXPECT_EQ(texts[4], "Do you need to backup your data to CD-R/RW or DVD?");
    EXPECT_EQ(dialogs.size(), 1u); // neither file dialog opened again
    EXPECT_EQ(child<QComboBox>("cbSource")->currentText(), QStringLiteral("Outlook"));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(endProgramCalls, 0);
    // Everything is back as it was before the run.
    EXPECT_TRUE(child<QPushButton>("cmdApply")->isEnabled());
    EXPECT_TRUE(child<QPushButton>("cmdSourceFile")->isEnabled());
    EXPECT_TRUE(child<QComboBox>("cbSource")->isEnabled());
    EXPECT_TRUE(child<QAction>("restorenow")->isEnabled());
    EXPECT_TRUE(child<QAction>("TaskScheduler")->isEnabled());
}

TEST_F(WindowRunTest, BackupRestoredIntoTheSecondProfileOfAnotherPrefix) {
    prompter.answer = MessageAnswer::Cancel; // no disc
    backUpEverything();
    ASSERT_EQ(prompter.messages.size(), 2u);
    ASSERT_EQ(prompter.messages[0].text.rfind("The Backup was Completed!", 0), 0u);
    window.reset();
    env.reset();
    prompter.messages.clear();

    // A fresh copy of the sample prefix, with the real password prompt.
    SamplePrefixCopy other;
    openOn(other.root);
    ModalAnswerer typePassword(typesPassword(QStringLiteral("secret"), true));
    child<QTabWidget>("SSTab1")->setCurrentIndex(1);
    nextFile = QString::fromStdString(archive);
    child<QPushButton>("cmdSourceFile")->click();
    ASSERT_EQ(typePassword.answered(), 1);
    ASSERT_TRUE(prompter.messages.empty()) << prompter.messages[0].text;
    EXPECT_EQ(dialogs.back().title, QStringLiteral("Restore Date from a Backup file"));
    EXPECT_EQ(child<QLineEdit>("txtSourceFile")->text(), nextFile);
    const QString facts = child<QPlainTextEdit>("txtPOBinfo")->toPlainText();
    EXPECT_TRUE(facts.startsWith(QStringLiteral("Computer:SAMPLE-PC\nUser:sam\nBackup Time:")))
        << facts.toStdString();
    EXPECT_TRUE(facts.contains(QStringLiteral("\nProfile:Outlook\nOutlook Version:")));
    EXPECT_EQ(child<QPlainTextEdit>("txtFileInfo")->toPlainText(),
              QStringLiteral("Before the move\nsecond line"));
    for (int i = 0; i < kItemCount; ++i)
        EXPECT_EQ(itemBoxes(window.get(), "restoreitem")[static_cast<std::size_t>(i)]->isEnabled(),
                  i != ItemAddressBook)
            << i;

    const std::string othersOwn =
        readWholeFile(other.userFolder() / "AppData/Local/Microsoft/Outlook/Outlook.pst");
    child<QComboBox>("cbTarget")->setCurrentText(QStringLiteral("Work"));
    child<QAction>("Selectallitems2")->trigger();
    prompter.answer = MessageAnswer::Ok;
    child<QPushButton>("cmdApply")->click();
    finishRun();
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[0].buttons,
              MessageButtons::OkCancelDefaultCancel); // the confirmation
    EXPECT_EQ(prompter.messages[1].text, "The Restore was Completed!\t\t\t\r\n"
                                         "\r\nRestore Personal Folders\t\tsucceeded!\t"
                                         "\r\nRestore Accounts Settings\t\tsucceeded!\t"
                                         "\r\nRestore Signatures\t\t\tsucceeded!\t"
                                         "\r\nRestore Stationeries\t\t\tsucceeded!\t"
                                         "\r\nRestore Options Settings\t\tsucceeded!\t"
                                         "\r\nRestore Templates\t\t\tsucceeded!\t"
                                         "\r\nRestore Preferences\t\t\tsucceeded!\t");
    EXPECT_EQ(partOf<QLabel>(child<ProgressPanel>("picCon3"), "Label1")->text(),
              QStringLiteral("Operation complete!"));
    EXPECT_FALSE(child<ProgressPanel>("picCon3")->isVisible());

    // Read back as Wine would: Work now uses data files of its own, beside
    // those the prefix's "Outlook" profile still names.
    window.reset();
    env.reset();
    Environment after(WinePrefix(other.root), prompter);
    after.Discover();
    const std::string folder = "C:\\users\\sam\\AppData\\Local\\Microsoft\\Outlook\\";
    const std::set<std::string> paths = storePaths(after, "Work");
    EXPECT_TRUE(paths.count(folder + "Outlook (Work).pst")) << *paths.begin();
    EXPECT_TRUE(paths.count(folder + "Archive (Work).pst"));
    EXPECT_EQ(
        readWholeFile(other.userFolder() / "AppData/Local/Microsoft/Outlook/Outlook (Work).pst"),
        readWholeFile(prefix.userFolder() / "AppData/Local/Microsoft/Outlook/Outlook.pst"));
    EXPECT_EQ(readWholeFile(other.userFolder() / "AppData/Local/Microsoft/Outlook/Outlook.pst"),
              othersOwn);
}

// A mistyped password costs no new choice of the file: the prompt comes
// again, three times in all, and the file stays chosen.
TEST_F(WindowRunTest, AWrongPasswordIsAskedAgainThreeTimesAndKeepsTheFile) {
    prompter.answer = MessageAnswer::Cancel;
    backUpEverything();
    prompter.messages.clear();
    ModalAnswerer typePassword(typesPassword(QStringLiteral("guess"), false));
    typePassword.repeat();
    nextFile = QString::fromStdString(archive);
    child<QPushButton>("cmdSourceFile")->click();
    EXPECT_EQ(typePassword.answered(), 3);
    ASSERT_EQ(prompter.messages.size(), 3u);
    for (const auto& message : prompter.messages) {
        EXPECT_EQ(message.text, "Incorrect Password or Invalid backup file\r\n\r\nThe password "
                                "is wrong, or the backup file is damaged.");
        EXPECT_EQ(message.icon, MessageIcon::Critical);
    }
    EXPECT_EQ(child<QLineEdit>("txtSourceFile")->text(), QString::fromStdString(archive));
    EXPECT_TRUE(child<QPlainTextEdit>("txtPOBinfo")->toPlainText().isEmpty());
    for (QCheckBox* box : itemBoxes(window.get(), "restoreitem"))
        EXPECT_FALSE(box->isEnabled());
    EXPECT_FALSE(window->inspected().accepted);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(WindowRunTest, TheRightPasswordOnTheSecondTryOpensTheFile) {
    prompter.answer = MessageAnswer::Cancel;
    backUpEverything();
    prompter.messages.clear();
    int tries = 0;
    ModalAnswerer typePassword([&](QWidget* modal) {
        return typesPassword(++tries == 1 ? QStringLiteral("guess") : QStringLiteral("secret"),
                             true)(modal);
    });
    typePassword.repeat();
    nextFile = QString::fromStdString(archive);
    child<QPushButton>("cmdSourceFile")->click();
    EXPECT_EQ(typePassword.answered(), 2);
    EXPECT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(child<QLineEdit>("txtSourceFile")->text(), QString::fromStdString(archive));
    EXPECT_TRUE(itemBoxes(window.get(), "restoreitem")[0]->isEnabled());
    EXPECT_TRUE(window->inspected().accepted);
}

namespace {

// Makes the profile's main data file so large (sparse, quick to make) that a
// backup of it is still at work when the test clicks.
void makeDataFileHuge(const SamplePrefixCopy& prefix) {
    fs::resize_file(prefix.userFolder() / "AppData/Local/Microsoft/Outlook/Outlook.pst",
                    std::uintmax_t(3) << 30);
}

// Overwrites the earlier backup when asked; cancels every other question.
MessageAnswer overwriteButNoDisc(const RecordingPrompter::Message& m) {
    return m.buttons == MessageButtons::OverwriteCancel ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

} // namespace

TEST_F(WindowRunTest, CancelStopsTheBackupAndTheEarlierArchiveStays) {
    prompter.answer = MessageAnswer::Cancel; // no disc
    backUpEverything();
    ASSERT_EQ(prompter.messages.size(), 2u);
    const std::string before = readWholeFile(archive);
    const auto namesBefore = namesIn(fs::path(archive).parent_path());
    prompter.messages.clear();

    makeDataFileHuge(prefix);
    prompter.answerFor = overwriteButNoDisc;
    PanelWatch seen(child<ProgressPanel>("picCon3"));
    bool cancelShown = false;
    QObject::connect(child<ProgressPanel>("picCon3"), &ProgressPanel::panelShown, [&](bool shown) {
        if (!shown)
            return;
        QTimer::singleShot(0, [&] {
            cancelShown =
                partOf<QPushButton>(child<ProgressPanel>("picCon3"), "cmdCancel")->isVisible() &&
                partOf<QPushButton>(child<ProgressPanel>("picCon3"), "cmdCancel")->isEnabled();
            partOf<QPushButton>(child<ProgressPanel>("picCon3"), "cmdCancel")->click();
        });
    });
    child<QPushButton>("cmdApply")->click();
    finishRun();

    EXPECT_TRUE(cancelShown);
    ASSERT_EQ(prompter.messages.size(), 2u); // replacing the earlier backup was asked first
    EXPECT_EQ(prompter.messages[1].text, "The Backup was cancelled. No backup file was written; a "
                                         "file already at " +
                                             archive + " was left as it was.");
    EXPECT_EQ(prompter.messages[1].icon, MessageIcon::Information);
    EXPECT_LT(seen.highest, 100);
    EXPECT_EQ(readWholeFile(archive), before);
    EXPECT_EQ(namesIn(fs::path(archive).parent_path()), namesBefore); // nothing left beside it
    EXPECT_FALSE(child<ProgressPanel>("picCon3")->isVisible());
    EXPECT_FALSE(window->Busy());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(WindowRunTest, ClosingDuringABackupOffersToCancelItAndThenCloses) {
    open();
    makeDataFileHuge(prefix);
    nextFile = QString::fromStdString(archive);
    child<QPushButton>("cmdTargetFile")->click();
    child<QAction>("Selectallitems")->trigger();
    QObject::connect(child<ProgressPanel>("picCon3"), &ProgressPanel::panelShown, [&](bool shown) {
        if (shown)
            QTimer::singleShot(0, [&] { window->close(); });
    });
    prompter.answer = MessageAnswer::Ok;
    child<QPushButton>("cmdApply")->click();
    finishRun();
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[0].text,
              "A backup or restore is running. Do you want to cancel it and quit?");
    EXPECT_EQ(prompter.messages[1].text.rfind("The Backup was cancelled.", 0), 0u);
    EXPECT_FALSE(fs::exists(archive));
    EXPECT_EQ(endProgramCalls, 0); // not while the run still worked
    QCoreApplication::processEvents();
    EXPECT_EQ(endProgramCalls, 1);
}

TEST_F(WindowRunTest, CancelAndQuitStopsTheBackupWhileTheUserIsAsked) {
    prompter.answer = MessageAnswer::Cancel; // no disc
    backUpEverything();
    const std::string before = readWholeFile(archive);
    prompter.messages.clear();

    // The user takes a while to answer; the backup would end meanwhile.
    const std::string question =
        "A backup or restore is running. Do you want to cancel it and quit?";
    prompter.answerFor = [&](const RecordingPrompter::Message& m) {
        if (m.text != question)
            return overwriteButNoDisc(m);
        QElapsedTimer reading;
        reading.start();
        while (reading.elapsed() < 2000 && readWholeFile(archive) == before)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        return MessageAnswer::Ok;
    };
    QObject::connect(child<ProgressPanel>("picCon3"), &ProgressPanel::panelShown, [&](bool shown) {
        if (shown)
            QTimer::singleShot(0, [&] { window->close(); });
    });
    child<QPushButton>("cmdApply")->click();
    finishRun();

    const auto texts = messageTexts();
    ASSERT_EQ(texts.size(), 3u) << texts.back();
    EXPECT_EQ(texts[0].rfind("The backup file " + archive, 0), 0u);
    EXPECT_EQ(texts[1], question);
    EXPECT_EQ(texts[2].rfind("The Backup was cancelled.", 0), 0u) << texts[2];
    EXPECT_EQ(readWholeFile(archive), before);
    QCoreApplication::processEvents();
    EXPECT_EQ(endProgramCalls, 1);
}

TEST_F(WindowRunTest, CancelInThePasswordPromptStopsTheInspectionSilently) {
    prompter.answer = MessageAnswer::Cancel;
    backUpEverything();
    prompter.messages.clear();
    // The right password, typed for the first inspection.
    {
        ModalAnswerer typePassword(typesPassword(QStringLiteral("secret"), false));
        nextFile = QString::fromStdString(archive);
        child<QPushButton>("cmdSourceFile")->click();
        ASSERT_TRUE(prompter.messages.empty());
        ASSERT_TRUE(itemBoxes(window.get(), "restoreitem")[0]->isEnabled());
    }
    // Cancelled the second time: the earlier password does not open it again.
    ModalAnswerer cancel([](QWidget* modal) {
        auto* prompt = qobject_cast<PasswordDialog*>(modal);
        if (!prompt)
            return false;
        control<QPushButton>(prompt, "cmdExit")->click();
        return true;
    });
    cancel.repeat();
    child<QPushButton>("cmdSourceFile")->click();
    EXPECT_EQ(cancel.answered(), 1);
    EXPECT_TRUE(prompter.messages.empty()) << prompter.messages[0].text;
    EXPECT_TRUE(child<QLineEdit>("txtSourceFile")->text().isEmpty());
    EXPECT_TRUE(child<QPlainTextEdit>("txtPOBinfo")->toPlainText().isEmpty());
    for (QCheckBox* box : itemBoxes(window.get(), "restoreitem"))
        EXPECT_FALSE(box->isEnabled());

    // In a fresh window nothing is said either (no "wrong password").
    window.reset();
    env.reset();
    open();
    child<QPushButton>("cmdSourceFile")->click();
    EXPECT_EQ(cancel.answered(), 2);
    EXPECT_TRUE(prompter.messages.empty()) << prompter.messages[0].text;
    EXPECT_TRUE(child<QLineEdit>("txtSourceFile")->text().isEmpty());
}

TEST_F(WindowRunTest, APasswordLongerThanTwentyCharactersOpensItsBackup) {
    const QString password = QStringLiteral("correct horse battery staple 42");
    open();
    prompter.answer = MessageAnswer::Cancel;
    nextFile = QString::fromStdString(archive);
    child<QPushButton>("cmdTargetFile")->click();
    child<QAction>("Selectallitems")->trigger();
    clickCheckBox(child<QCheckBox>("ifprotect"));
    typeText(child<QLineEdit>("txtPassword"), password);
    typeText(child<QLineEdit>("txtPassword2"), password);
    child<QPushButton>("cmdApply")->click();
    finishRun();
    ASSERT_EQ(prompter.messages.at(0).text.rfind("The Backup was Completed!", 0), 0u);
    prompter.messages.clear();

    ModalAnswerer typePassword(typesPassword(password, true));
    child<QTabWidget>("SSTab1")->setCurrentIndex(1);
    child<QPushButton>("cmdSourceFile")->click();
    EXPECT_TRUE(prompter.messages.empty()) << prompter.messages[0].text;
    EXPECT_EQ(child<QLineEdit>("txtSourceFile")->text(), nextFile);
    EXPECT_TRUE(itemBoxes(window.get(), "restoreitem")[0]->isEnabled());
}

// "New profile..." offers the name of the backup's profile; the restore makes
// the profile, File > "Undo Last Restore..." takes it away again.
TEST_F(WindowRunTest, ANewProfileIsMadeByTheRestoreAndGoesWithItsUndo) {
    prompter.answer = MessageAnswer::Cancel;
    backUpEverything();
    window.reset();
    env.reset();
    prompter.messages.clear();
    SamplePrefixCopy other;
    openOn(other.root);
    window->KeepUndoRecordsIn(other.work.path() / "undo");
    QString offered;
    window->askNewProfileName = [&](const QString& proposed) {
        offered = proposed;
        return std::optional<QString>(QStringLiteral("Home"));
    };
    ModalAnswerer typePassword(typesPassword(QStringLiteral("secret"), true));
    child<QTabWidget>("SSTab1")->setCurrentIndex(1);
    nextFile = QString::fromStdString(archive);
    child<QPushButton>("cmdSourceFile")->click();
    ASSERT_EQ(typePassword.answered(), 1);
    child<QComboBox>("cbTarget")->setCurrentText(QStringLiteral("New profile..."));
    child<QAction>("Selectallitems2")->trigger();
    prompter.answer = MessageAnswer::Ok;
    child<QPushButton>("cmdApply")->click();
    finishRun();
    EXPECT_EQ(offered, QStringLiteral("Outlook"));
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[1].text.rfind("The Restore was Completed!", 0), 0u)
        << prompter.messages[1].text;
    EXPECT_EQ(env->session().profiles, (std::vector<std::string>{"Home", "Outlook", "Work"}));
    EXPECT_EQ(child<QComboBox>("cbTarget")->currentText(), QStringLiteral("Home"));
    // It can be backed up too; the backup side stays on its profile.
    EXPECT_NE(child<QComboBox>("cbSource")->findText(QStringLiteral("Home")), -1);
    EXPECT_EQ(child<QComboBox>("cbSource")->currentText(), QStringLiteral("Outlook"));

    prompter.messages.clear();
    const auto records = ListUndoRecords(other.work.path() / "undo");
    ASSERT_FALSE(records.empty());
    child<QAction>("undorestore")->trigger();
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[0].buttons, MessageButtons::OkCancel);
    // The record's time in the user's locale, not as the record stores it.
    const QDateTime recorded = QDateTime::fromString(QString::fromStdString(records.front().time),
                                                     QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    ASSERT_TRUE(recorded.isValid()) << records.front().time;
    EXPECT_NE(prompter.messages[0].text.find(
                  QLocale().toString(recorded, QLocale::ShortFormat).toStdString()),
              std::string::npos)
        << prompter.messages[0].text;
    EXPECT_NE(prompter.messages[0].text.find("the restore into profile \"Home\""),
              std::string::npos)
        << prompter.messages[0].text;
    EXPECT_EQ(prompter.messages[1].icon, MessageIcon::Information) << prompter.messages[1].text;
    EXPECT_EQ(child<QComboBox>("cbTarget")->findText(QStringLiteral("Home")), -1);
    EXPECT_EQ(child<QComboBox>("cbSource")->findText(QStringLiteral("Home")), -1);
    EXPECT_EQ(child<QComboBox>("cbTarget")->count(),
              3); // Outlook, Work, New profile...
    EXPECT_EQ(readWholeFile(other.root / "user.reg").find("Profiles\\\\Home"), std::string::npos);

    // Nothing more to undo.
    prompter.messages.clear();
    child<QAction>("undorestore")->trigger();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "There is no restore into this Wine prefix to undo.");
}

// The window going while a backup works (the program ends under it) stops
// the backup and waits for it: no archive, nothing shown by a run whose
// window is gone, and no wait of the one for the other.
TEST_F(WindowRunTest, AWindowDestroyedDuringABackupStopsItWithoutHanging) {
    open();
    makeDataFileHuge(prefix);
    nextFile = QString::fromStdString(archive);
    child<QPushButton>("cmdTargetFile")->click();
    child<QAction>("Selectallitems")->trigger();
    child<QPushButton>("cmdApply")->click();
    auto* bar = partOf<QProgressBar>(child<ProgressPanel>("picCon3"), "pbshow");
    while (window->Busy() && bar->value() < 2)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    ASSERT_TRUE(window->Busy());
    prompter.messages.clear();

    std::atomic<bool> gone{false};
    std::thread watchdog([&gone] {
        for (int i = 0; i < 1200 && !gone; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (!gone) {
            std::fprintf(stderr, "Destroying the window during a backup hangs\n");
            std::_Exit(1);
        }
    });
    window.reset();
    gone = true;
    watchdog.join();
    QCoreApplication::processEvents(); // calls posted by the run find no window
    EXPECT_TRUE(prompter.messages.empty()) << prompter.messages[0].text;
    EXPECT_FALSE(fs::exists(archive));
}

// A backup from the window is a run as an unattended one is: its record goes
// to the runs log and the window's line about the last backup follows it.
TEST_F(WindowRunTest, EveryBackupFromTheWindowIsLoggedAsARun) {
    ScopedEnv state{"XDG_STATE_HOME", (prefix.work.path() / "state").string()};
    prompter.answerFor = overwriteButNoDisc;
    backUpEverything();
    child<QPushButton>("cmdApply")->click();
    finishRun();

    const std::vector<RunRecord> runs = RecordedRuns();
    ASSERT_EQ(runs.size(), 2u);
    for (const RunRecord& run : runs) {
        EXPECT_EQ(run.prefix + run.profile + run.archive,
                  prefix.root.string() + "Outlook" + archive);
        EXPECT_EQ(run.exitStatus, 0) << run.message;
        EXPECT_GT(run.bytes, 0u);
        EXPECT_EQ(run.done.front(), "Backup Personal Folders");
    }
    const QString line = child<QLabel>("lblLastBackup")->text();
    EXPECT_TRUE(line.startsWith("Last backup: ") && line.contains("Succeeded"))
        << line.toStdString();
}
