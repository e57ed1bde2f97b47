#include "backup/BackupDriver.h"
#include "app/Environment.h"
#include "archive/ZipArchive.h"
#include "core/CancelToken.h"
#include "core/ProgressView.h"
#include "core/SettingsFile.h"

#include "RecordingPrompter.h"
#include "SamplePrefixCopy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <functional>
#include <map>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace trelmig;

namespace {

// Remembers what the progress panel showed.
struct RecordingProgress : SilentProgress {
    std::vector<std::string> statuses;
    std::vector<int> values;
    std::vector<std::string> files;
    bool panelShown = false;
    void SetStatusText(const std::string& t) override {
        statuses.push_back(t);
        if (onText)
            onText(t);
    }
    void SetItemText(const std::string& t) override {
        if (!t.empty())
            files.push_back(t);
    }
    void SetBarValue(int v) override {
        SilentProgress::SetBarValue(v);
        values.push_back(v);
    }
    void SetShown(bool v) override { panelShown = panelShown || v; }
    void SetPercentText(const std::string& t) override {
        percent = t;
        if (onText)
            onText(t);
    }
    std::string percent;
    // The bar and the percent text each time the read-back told its bytes.
    std::vector<std::pair<int, std::string>> whileVerifying;
    std::function<void(const std::string&)> onText; // status and percent texts
    // What each long part named, in the order first told, and its bytes.
    struct Bytes {
        std::vector<std::string> items;
        std::uint64_t done = 0, total = 0;
    };
    std::map<ByteWork, Bytes> bytes;
    std::vector<std::string>& compressed = bytes[ByteWork::Compressing].items;
    std::uint64_t& bytesDone = bytes[ByteWork::Compressing].done;
    std::uint64_t& bytesTotal = bytes[ByteWork::Compressing].total;
    void SetByteProgress(ByteWork work, const std::string& item, std::uint64_t done,
                         std::uint64_t total) override {
        EXPECT_TRUE(work == ByteWork::Compressing || work == ByteWork::Verifying);
        if (work == ByteWork::Verifying)
            whileVerifying.emplace_back(BarValue(), percent);
        Bytes& part = bytes[work];
        if (done != 0) { // 0 starts the next archive
            EXPECT_GE(done, part.done) << "bytes only rise";
        }
        EXPECT_LE(done, total);
        part.done = done, part.total = total;
        if (part.items.empty() || part.items.back() != item)
            part.items.push_back(item);
    }
};

ItemSelection only(std::initializer_list<int> items) {
    ItemSelection s{};
    for (int i : items)
        s[static_cast<std::size_t>(i)] = true;
    return s;
}

} // namespace

class BackupDriverTest : public ::testing::Test {
protected:
    SamplePrefixCopy sample;
    RecordingPrompter prompter;
    RecordingProgress progress;
    std::unique_ptr<Environment> env;
    std::unique_ptr<ZipArchive> zip;
    std::unique_ptr<BackupDriver> driver;
    std::string target = (sample.work.path() / "backup.kvx").string();

    void SetUp() override {
        env = std::make_unique<Environment>(WinePrefix(sample.root), prompter);
        env->Discover();
        zip = std::make_unique<ZipArchive>(env->ansi);
        driver = std::make_unique<BackupDriver>(*env, *zip, prompter, progress);
        prompter.answer = MessageAnswer::Cancel; // no disc
        // The user agrees to replace the earlier backup of the test; these
        // tests look at what the runs report, so the question is not kept.
        prompter.answerFor = [this](const RecordingPrompter::Message& m) {
            if (m.buttons != MessageButtons::OverwriteCancel)
                return prompter.answer;
            prompter.messages.pop_back();
            return MessageAnswer::Ok;
        };
    }

    BackupChoices choices(ItemSelection items, const std::string& profile = "Outlook") {
        BackupChoices c;
        c.profile = profile;
        c.items = items;
        c.targetFile = target;
        c.description = "first line\r\nsecond = line";
        return c;
    }

    // The information file of the written archive.
    std::string info(const std::string& key, const std::string& password = "") {
        ZipArchive reader(env->ansi);
        EXPECT_TRUE(reader.OpenZip(target));
        if (!password.empty())
            reader.SetDecryptPassword(password);
        const std::string extracted = (sample.work.path() / "read-vastrel.dat").string();
        std::filesystem::remove(extracted); // the archive writes over no file
        EXPECT_TRUE(reader.ExtractEntryTo("vastrel.dat", extracted));
        reader.CloseZip();
        return GetINI(key, extracted, env->ansi);
    }

    std::vector<std::string> entries() {
        ZipArchive reader(env->ansi);
        EXPECT_TRUE(reader.OpenZip(target));
        std::vector<std::string> names;
        for (const auto& e : reader.Entries())
            names.push_back(e.name);
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(BackupDriverTest, InvalidChoicesAreRefusedBeforeAnythingIsWritten) {
    auto expectRefusal = [&](BackupChoices c, const std::string& text, MessageIcon icon) {
        prompter.messages.clear();
        EXPECT_FALSE(driver->RunBackup(c).started);
        ASSERT_EQ(prompter.messages.size(), 1u);
        EXPECT_EQ(prompter.messages[0].text, text);
        EXPECT_EQ(prompter.messages[0].icon, icon);
        EXPECT_FALSE(fs::exists(target));
    };
    BackupChoices noTarget = choices(only({0}));
    noTarget.targetFile.clear();
    expectRefusal(noTarget, "Please choose a backup file name.", MessageIcon::Exclamation);
    expectRefusal(choices(only({})), "Please select at least one item.", MessageIcon::Exclamation);
    BackupChoices noPassword = choices(only({0}));
    noPassword.protect = true;
    expectRefusal(noPassword, "Please enter Password!", MessageIcon::Critical);
    BackupChoices oneBox = noPassword;
    oneBox.password = "secret";
    expectRefusal(oneBox, "Incorrect Password!", MessageIcon::Critical);
    EXPECT_FALSE(progress.panelShown);
}

TEST_F(BackupDriverTest, OnlyPersonalFoldersRunsConfigDataFilesAndRules) {
    const BackupRunResult r = driver->RunBackup(choices(only({0})));
    EXPECT_TRUE(r.started);
    EXPECT_TRUE(r.written);
    EXPECT_EQ(r.archivePath, target);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text,
              "The Backup was Completed!\t\t\t\r\n\r\nBackup Personal Folders\t\tsucceeded!\t");
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(progress.statuses,
              (std::vector<std::string>{"Copying Config...", "Copying Data Files (Pst Files)...",
                                        "Copying Rules...", "Compressing the backup file...",
                                        "Verifying the backup file..."}));
    // The long part names the user's data file and counts its bytes to the end.
    EXPECT_NE(std::find(progress.compressed.begin(), progress.compressed.end(), "Outlook.pst"),
              progress.compressed.end());
    EXPECT_EQ(progress.bytesDone, progress.bytesTotal);
    EXPECT_GT(progress.bytesTotal, 0u);
    // So does the read-back, over every byte the archive holds.
    const auto& verified = progress.bytes[ByteWork::Verifying];
    EXPECT_NE(std::find(verified.items.begin(), verified.items.end(), "Outlook.pst"),
              verified.items.end());
    EXPECT_EQ(verified.done, verified.total);
    EXPECT_EQ(verified.total, progress.bytesTotal);
    EXPECT_EQ(std::count(progress.files.begin(), progress.files.end(), "Adding File vastrel.dat"),
              0);
    // Gathering takes the bar to 5, the bytes written to 100; then it is reset.
    ASSERT_GE(progress.values.size(), 3u);
    EXPECT_TRUE(std::is_sorted(progress.values.begin(), progress.values.end() - 1));
    EXPECT_EQ(progress.values[progress.values.size() - 2], 100);
    EXPECT_EQ(progress.values.back(), 0);

    EXPECT_EQ(info("BackupItem"), "1110000000");
    EXPECT_EQ(info("BackupDatas"), "Archive.pst;Outlook.pst");
    EXPECT_EQ(info("BackupRules"), "Outlook.RWZ");
    EXPECT_EQ(info("BackupIdentity"), "Outlook");
    EXPECT_EQ(info("BackupComputer"), "SAMPLE-PC");
    EXPECT_EQ(info("BackupLogonUser"), "sam");
    EXPECT_EQ(info("Outlookversion"), "Outlook 2010");
    EXPECT_EQ(info("BackupInformation"), "first lineQX$ZRMsecond = line");
    const std::string config = info("BackupConfig");
    EXPECT_EQ(config.substr(0, 3), "OBC");
    std::vector<std::string> expected{config, "Archive.pst", "Outlook.RWZ", "Outlook.pst",
                                      "vastrel.dat"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(entries(), expected);
    // The scratch files are gone.
    for (const auto& e : fs::directory_iterator(env->session().programFolder))
        ADD_FAILURE() << "left behind: " << e.path();
}

TEST_F(BackupDriverTest, FilesTheBackupMakesItselfAreShownByWhatTheyHold) {
    const BackupRunResult r = driver->RunBackup(choices(only({1, 5})));
    ASSERT_TRUE(r.written);
    // The registry exports and the information file are in the archive under
    // their scratch names; the user sees the item each one holds.
    for (const char* shown :
         {"Profile settings", "Accounts Settings", "Options Settings", "Backup information"})
        EXPECT_NE(std::find(progress.compressed.begin(), progress.compressed.end(), shown),
                  progress.compressed.end())
            << shown;
    const auto scratch = [](const std::string& text) {
        return text.ends_with(".tmp") || text.find("vastrel.dat") != std::string::npos ||
               text.find("OBC") != std::string::npos || text.find("OBA") != std::string::npos;
    };
    for (const auto& [work, part] : progress.bytes)
        for (const std::string& item : part.items)
            EXPECT_FALSE(scratch(item)) << item;
    for (const std::string& line : progress.files)
        EXPECT_FALSE(scratch(line)) << line;
    EXPECT_EQ(info("BackupAccounts").substr(0, 3), "OBA");
}

TEST_F(BackupDriverTest, OnlyTemplatesAndTheLogOfSeveralItems) {
    driver->RunBackup(choices(only({6})));
    EXPECT_EQ(info("BackupItem"), "0000000010");
    EXPECT_NE(std::find(progress.values.begin(), progress.values.end(), 5), progress.values.end());

    prompter.messages.clear();
    driver->RunBackup(choices(only({1, 4, 2})));
    // Accounts and address book share one export of the profile.
    EXPECT_EQ(info("BackupItem"), "1001101000");
    EXPECT_EQ(prompter.messages[0].text, "The Backup was Completed!\t\t\t\r\n"
                                         "\r\nBackup Accounts Settings\tsucceeded!\t"
                                         "\r\nBackup Signatures\t\tsucceeded!\t"
                                         "\r\nBackup Personal Address Book\t\tsucceeded!\t");
    EXPECT_EQ(info("BackupSignatures"), "Personal.htm;Personal.rtf;Personal.txt");
    EXPECT_EQ(info("BackupPab"), "mailbox.pab");
}

TEST_F(BackupDriverTest, AProfileWithAMissingDataFileBacksUpTheOthers) {
    driver->RunBackup(choices(only({0}), "Work"));
    EXPECT_EQ(info("BackupDatas"), "Work.pst");
    // Work has no rules file.
    EXPECT_EQ(info("BackupItem"), "1100000000");
    EXPECT_EQ(info("BackupRules"), "");
}

TEST_F(BackupDriverTest, APasswordEncryptsTheArchive) {
    prompter.answer = MessageAnswer::Ok;
    BackupChoices c = choices(only({5, 7}));
    c.protect = true;
    c.password = c.password2 = "pa ss$\"word";
    const BackupRunResult r = driver->RunBackup(c);
    EXPECT_EQ(r.archivePath, target);
    EXPECT_EQ(ZipArchive::IsPasswordProtected(target), true);
    EXPECT_EQ(info("BackupItem", "pa ss$\"word"), "0000000101");
}

TEST_F(BackupDriverTest, AnArchiveThatCannotBeWrittenIsReportedAsAFailure) {
    BackupChoices c = choices(only({6}));
    c.targetFile = (sample.work.path() / "no-such-folder" / "b.kvx").string();
    const BackupRunResult r = driver->RunBackup(c);
    EXPECT_TRUE(r.started);
    EXPECT_FALSE(r.written);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(prompter.messages[0].text.rfind("The Backup was not Completed!", 0), 0u);
}

TEST_F(BackupDriverTest, AnExistingArchiveIsReplaced) {
    std::ofstream(target) << "old backup";
    driver->RunBackup(choices(only({6})));
    EXPECT_EQ(info("BackupItem"), "0000000010");
}

TEST_F(BackupDriverTest, AnInformationFileThatCannotBeWrittenFailsTheBackup) {
    std::ofstream(target) << "previous backup";
    // A folder, not empty, where the information file should go: no one can
    // remove it or write the file.
    std::filesystem::create_directories(env->session().infoFile + "/held");
    const BackupRunResult r = driver->RunBackup(choices(only({6})));
    EXPECT_TRUE(r.started);
    EXPECT_FALSE(r.written);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(readWholeFile(target), "previous backup");
    EXPECT_FALSE(driver->Running());
}

TEST_F(BackupDriverTest, EntryNamesSharedBetweenItems) {
    // The rules file lies in the preferences folder too: the same file, stored once.
    driver->RunBackup(choices(only({0, 7})));
    EXPECT_EQ(info("BackupItem"), "1110000001");
    EXPECT_NE(info("BackupSetting").find("Outlook.RWZ"), std::string::npos);

    // A different file of a name already taken cannot be stored: its item fails
    // instead of naming a file the archive does not hold.
    std::ofstream(sample.userFolder() / "AppData/Roaming/Microsoft/Templates/Personal.htm")
        << "not the signature";
    prompter.messages.clear();
    const std::string earlier = readWholeFile(target);
    driver->RunBackup(choices(only({2, 6})));
    // Partial: it goes beside the earlier backup, which stays, and the
    // message names both.
    EXPECT_EQ(readWholeFile(target), earlier);
    const std::string partial = (sample.work.path() / "backup.partial.kvx").string();
    EXPECT_EQ(prompter.messages[0].text.rfind("The Backup was not Completed! Some items could "
                                              "not be gathered, so the earlier backup file " +
                                                  target +
                                                  " was kept; the new backup file "
                                                  "without them is " +
                                                  partial,
                                              0),
              0u)
        << prompter.messages[0].text;
    EXPECT_EQ(prompter.messages.size(), 1u); // no disc question
    target = partial;
    EXPECT_EQ(info("BackupItem"), "0000100000");
    EXPECT_EQ(info("BackupTemplates"), "");
    EXPECT_NE(prompter.messages[0].text.find("Backup Templates\t\tFail!"), std::string::npos);
}

// A failed item says why, on a line after its verdict; so does an item the
// profile does not have, which is no failure.
TEST_F(BackupDriverTest, AFailedItemShowsItsReason) {
    fs::remove_all(sample.userFolder() / "AppData/Roaming/Microsoft/Signatures");
    env->ItemStatesOf("Outlook");
    driver->RunBackup(choices(only({2, 6})));
    EXPECT_NE(prompter.messages[0].text.find("Backup Signatures\t\tnothing to back up\t\r\n"
                                             "    folder not found: "
                                             "C:\\users\\sam\\AppData\\Roaming\\Microsoft\\"
                                             "Signatures\r\nBackup Templates\t\t"
                                             "succeeded!\t"),
              std::string::npos)
        << prompter.messages[0].text;

    // A data file the profile names but that is gone fails its item.
    fs::remove(sample.userFolder() / "AppData/Local/Microsoft/Outlook/Outlook.pst");
    fs::remove(sample.userFolder() / "AppData/Local/Microsoft/Outlook/Archive.pst");
    prompter.messages.clear();
    driver->RunBackup(choices(only({0})));
    EXPECT_NE(prompter.messages[0].text.find("Backup Personal Folders\t\tFail!\t\r\n    the "
                                             "profile Outlook names no file that exists"),
              std::string::npos)
        << prompter.messages[0].text;

    // With no earlier file to keep, a backup missing a chosen item is still
    // not called completed.
    fs::remove(target);
    prompter.messages.clear();
    driver->RunBackup(choices(only({0, 6})));
    EXPECT_EQ(prompter.messages[0].text.rfind("The Backup was not Completed!", 0), 0u)
        << prompter.messages[0].text;
}

// A work folder without room (here: a file size limit) fails the items whose
// exports cannot be written, and says so.
TEST_F(BackupDriverTest, AFullWorkFolderIsNamedAsTheReason) {
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{320, 320};
        setrlimit(RLIMIT_FSIZE, &limit);
        driver->RunBackup(choices(only({1})));
        const std::string text = prompter.messages.empty() ? "" : prompter.messages[0].text;
        (void)!write(pipeEnds[1], text.data(), text.size());
        _exit(0);
    }
    close(pipeEnds[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    close(pipeEnds[0]);
    waitpid(child, nullptr, 0);
    EXPECT_NE(text.find("Backup Accounts Settings\tFail!\t\r\n    "), std::string::npos) << text;
    EXPECT_NE(text.find("File too large"), std::string::npos) << text;
}

TEST_F(BackupDriverTest, ACancelledBackupLeavesTheEarlierArchiveAndNoScratchFiles) {
    ASSERT_TRUE(driver->RunBackup(choices(only({0, 2}))).written);
    const std::string before = readWholeFile(target);
    // Large enough to be written in many pieces.
    fs::resize_file(sample.userFolder() / "AppData/Local/Microsoft/Outlook/Outlook.pst", 64 << 20);
    CancelToken cancel;
    // Stopped between two steps, while the archive is written, and while it
    // is read back.
    for (const std::string moment : {"Copying Data Files (Pst Files)...", "Writing the file: 1%",
                                     "Verifying the backup file..."}) {
        prompter.messages.clear();
        cancel.Reset();
        progress.onText = [&](const std::string& t) {
            if (t == moment)
                cancel.Cancel();
        };
        const BackupRunResult r = driver->RunBackup(choices(only({0, 2})), &cancel);
        EXPECT_TRUE(r.cancelled) << moment;
        EXPECT_FALSE(r.written);
        ASSERT_EQ(prompter.messages.size(), 1u) << moment;
        EXPECT_EQ(prompter.messages[0].text,
                  "The Backup was cancelled. No backup file was written; a file already at " +
                      target + " was left as it was.");
        EXPECT_EQ(readWholeFile(target), before) << moment;
        for (const auto& e : fs::directory_iterator(sample.work.path()))
            EXPECT_TRUE(e.path().filename() == "backup.kvx" || e.path().filename() == "prefix")
                << "left behind: " << e.path();
        for (const auto& e : fs::directory_iterator(env->session().programFolder))
            ADD_FAILURE() << "left behind: " << e.path();
    }
}

// The read-back is part of the bar: it moves on from where the writing left
// it, and the percent text is the read-back's.
TEST_F(BackupDriverTest, TheBarFollowsTheReadBackOfTheNewArchive) {
    fs::resize_file(sample.userFolder() / "AppData/Local/Microsoft/Outlook/Outlook.pst", 32 << 20);
    ASSERT_TRUE(driver->RunBackup(choices(only({0}))).written);
    const auto& seen = progress.whileVerifying;
    ASSERT_GE(seen.size(), 2u);
    EXPECT_LT(seen.front().first, 100);
    EXPECT_LT(seen.front().first, seen.back().first);
    for (std::size_t i = 1; i < seen.size(); ++i)
        EXPECT_LE(seen[i - 1].first, seen[i].first);
    for (const auto& [bar, percent] : seen)
        EXPECT_TRUE(percent.starts_with("Verify File ")) << percent << " at " << bar;
}
