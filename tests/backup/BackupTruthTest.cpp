// Backups of a hand-built Outlook 2016 prefix that must tell the truth: data
// files taken as they were at one moment, a new archive checked and put in
// place only when it is whole, questions before replacing a file or copying
// from a running Outlook.
#include "app/Environment.h"
#include "archive/ZipArchive.h"
#include "backup/BackupDriver.h"
#include "backup/BackupRun.h"
#include "backup/SignatureLinks.h"
#include "core/CancelToken.h"
#include "core/ProgressView.h"
#include "repository/Repository.h"

#include "Outlook2016Prefix.h"
#include "RecordingPrompter.h"
#include "RunShell.h"
#include "SamplePrefixCopy.h"
#include "platform/WineServerLock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace fs = std::filesystem;
using namespace trelmig;

namespace {

ItemSelection only(std::initializer_list<int> items) {
    ItemSelection s{};
    for (int i : items)
        s[static_cast<std::size_t>(i)] = true;
    return s;
}

std::string shellQuoted(const fs::path& p) {
    return "'" + p.string() + "'";
}

// What Info-ZIP's unzip reads from an entry of the archive.
std::string unzipEntry(const fs::path& archive, const std::string& entry) {
    return RunShell("unzip -p " + shellQuoted(archive) + " " + shellQuoted(entry)).output;
}

std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.insert(e.path().filename().string());
    return names;
}

} // namespace

class BackupTruth : public ::testing::Test {
protected:
    outlook2016::Prefix prefix;
    RecordingPrompter prompter;
    std::unique_ptr<Environment> env;
    std::unique_ptr<ZipArchive> archive;
    fs::path target = prefix.work.path() / "b.kvx";

    void SetUp() override {
        env = std::make_unique<Environment>(WinePrefix(prefix.root), prompter);
        env->Discover();
        archive = std::make_unique<ZipArchive>(env->ansi);
    }
    ZipArchive& zip() { return *archive; }

    BackupRequest request(ItemSelection items, const std::string& profile = "Outlook") {
        BackupRequest r;
        r.profile = profile;
        r.items = items;
        r.targetFile = target.string();
        r.outlookDisplayName = "Outlook 2016";
        r.time = LocalTimeNow();
        return r;
    }
};

TEST_F(BackupTruth, ADataFileIsArchivedAsItWasWhenItWasTaken) {
    const fs::path pst = prefix.dataFolder() / outlook2016::dataFileOf("Outlook");
    const std::string taken = readWholeFile(pst);
    // Outlook writes the file after it was taken and before the archive is
    // written: the archive holds the state taken.
    BackupHooks hooks;
    hooks.fileAdding = [&](const std::string& name) {
        if (name == "Outlook mail.pst")
            std::ofstream(pst, std::ios::binary) << "written later by Outlook, torn";
    };
    const BackupRunResult outcome = PerformBackup(*env, zip(), request(only({0})), hooks);
    ASSERT_TRUE(outcome.written) << outcome.writeError;
    EXPECT_EQ(unzipEntry(target, "Outlook mail.pst"), taken);
    // The copies went with the run.
    EXPECT_TRUE(namesIn(env->session().programFolder).empty());
}

// Into a repository a data file is read where it lies, not copied first: a
// write while borg reads it must not leave a torn version behind.
class BackupTruthIntoRepository : public BackupTruth {
protected:
    void SetUp() override {
        if (std::system("command -v borg >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "borg is not installed (package borgbackup)";
        BackupTruth::SetUp();
        for (const char* name : {"BORG_BASE_DIR", "XDG_STATE_HOME", "XDG_CACHE_HOME"})
            ::setenv(name, (prefix.work.path() / name).c_str(), 1);
        ASSERT_TRUE(MakeRepository(repository, "pw"));
    }
    BackupRequest versionRequest() {
        BackupRequest r = request(only({0}));
        r.repository = RepositoryTarget{repository, "pw", "host", "prefix", "10000000", {}};
        return r;
    }
    std::string dataFileOf(const std::string& versionName) {
        const fs::path out = prefix.work.path() / ("extracted-" + std::to_string(++extracts));
        fs::create_directories(out);
        EXPECT_TRUE(ExtractVersion(repository, "pw", versionName, out.string()));
        return readWholeFile(out / "Outlook mail.pst");
    }

    const RepositoryAddress repository{(prefix.work.path() / "repo").string()};
    const fs::path pst = prefix.dataFolder() / outlook2016::dataFileOf("Outlook");
    int extracts = 0;
};

TEST_F(BackupTruthIntoRepository, ADataFileWrittenWhileBorgReadsItIsTakenAgainFromACopy) {
    const std::string untouched = readWholeFile(pst);
    BackupRequest r = versionRequest();
    // borg saves its caches once it has read every file: Outlook writes then.
    int writes = 0;
    r.repository->progress = [&](const RepositoryProgress& p) {
        if (p.message.find("Saving") != std::string::npos && writes++ == 0)
            std::ofstream(pst, std::ios::binary | std::ios::app) << "new mail, while borg reads";
    };
    const BackupRunResult outcome = PerformBackup(*env, zip(), r);
    ASSERT_TRUE(outcome.written) << outcome.writeError;
    ASSERT_GT(writes, 0);

    // One version, holding the file as it was after the write; the torn one went.
    const auto versions = ListVersions(repository, "pw");
    ASSERT_TRUE(versions) << versions.error().message;
    ASSERT_EQ(versions->size(), 1u);
    EXPECT_EQ(versions->front().name, outcome.versionName);
    EXPECT_EQ(dataFileOf(outcome.versionName), untouched + "new mail, while borg reads");
    EXPECT_EQ(RunShell("BORG_PASSPHRASE=pw borg check " + shellQuoted(repository.url)).status, 0);
    // The live file was only linked, never written by the backup.
    EXPECT_EQ(readWholeFile(pst), untouched + "new mail, while borg reads");
}

// borg skips a file it knows by path, inode, size and time: a data file
// rewritten in place at the same size must still be read again.
TEST_F(BackupTruthIntoRepository, ADataFileRewrittenInPlaceAtItsSizeIsReadAgain) {
    BackupRequest r = versionRequest();
    const BackupRunResult first = PerformBackup(*env, zip(), r);
    ASSERT_TRUE(first.written) << first.writeError;
    std::string rewritten = readWholeFile(pst);
    rewritten.replace(0, 4, "MAIL");
    {
        std::fstream inPlace(pst, std::ios::binary | std::ios::in | std::ios::out);
        inPlace.write(rewritten.data(), 4);
    }
    r.time.tm_min = (r.time.tm_min + 1) % 60; // a version name of its own
    const BackupRunResult second = PerformBackup(*env, zip(), r);
    ASSERT_TRUE(second.written) << second.writeError;
    EXPECT_NE(dataFileOf(first.versionName), rewritten);
    EXPECT_EQ(dataFileOf(second.versionName), rewritten);
    // Both runs staged at one place, which is gone again.
    const fs::path staged = prefix.work.path() / "XDG_CACHE_HOME/trelmig/versions";
    ASSERT_TRUE(fs::exists(staged));
    for (const auto& entry : fs::directory_iterator(staged))
        EXPECT_EQ(entry.path().extension(), ".lock") << entry.path();
}

TEST_F(BackupTruth, ACancelStopsTheCopyOfADataFile) {
    fs::resize_file(prefix.dataFolder() / outlook2016::dataFileOf("Outlook"), 256u << 20);
    CancelToken cancel;
    BackupRequest r = request(only({0}));
    r.cancel = &cancel;
    BackupHooks hooks;
    hooks.stepStarting = [&](const ItemRecord& step) {
        if (step.itemKey == "BackupDatas")
            cancel.Cancel();
    };
    const BackupRunResult outcome = PerformBackup(*env, zip(), r, hooks);
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_FALSE(fs::exists(target));
    EXPECT_NE(outcome.failures[1].find("was stopped"), std::string::npos) << outcome.failures[1];
}

TEST_F(BackupTruth, TheNewArchiveIsCheckedBeforeItReplacesTheEarlierOne) {
    std::ofstream(target) << "the earlier archive";
    const auto before = namesIn(target.parent_path());
    BackupRequest r = request(only({1}));
    r.password = "pw";
    std::string checked;
    r.verifyArchive = [&](const std::string& newArchive,
                          const std::string& password) -> std::optional<std::string> {
        checked = newArchive;
        EXPECT_EQ(password, "pw");
        EXPECT_NE(newArchive, target.string());
        EXPECT_EQ(fs::path(newArchive).parent_path(), target.parent_path());
        // Complete when it is checked: a real reader accepts it.
        EXPECT_EQ(RunShell("7z t -ppw " + shellQuoted(newArchive)).status, 0);
        return "entry OBA1.tmp is damaged";
    };
    BackupRunResult outcome = PerformBackup(*env, zip(), r);
    EXPECT_FALSE(checked.empty());
    EXPECT_FALSE(outcome.written);
    EXPECT_NE(outcome.writeError.find("entry OBA1.tmp is damaged"), std::string::npos);
    EXPECT_EQ(readWholeFile(target), "the earlier archive");
    EXPECT_EQ(namesIn(target.parent_path()), before); // the new one is gone

    r.verifyArchive = [&](const std::string& newArchive, const std::string&) {
        checked = newArchive;
        return std::optional<std::string>();
    };
    // What a run killed while it wrote left beside the target goes too.
    std::ofstream(target.parent_path() / "..b.kvx.trelmig-Ab12Cd.trelmig-Ef34Gh") << "half";
    std::ofstream(target.parent_path() / "..b.kvx.trelmig-Ab12Cd.trelmig-lock");
    outcome = PerformBackup(*env, zip(), r);
    EXPECT_TRUE(outcome.written) << outcome.writeError;
    EXPECT_EQ(outcome.archivePath, target.string());
    EXPECT_FALSE(fs::exists(checked));
    EXPECT_EQ(RunShell("7z t -ppw " + shellQuoted(target)).status, 0);
    EXPECT_EQ(namesIn(target.parent_path()), before);
}

TEST_F(BackupTruth, APartialArchiveNeverReplacesAnEarlierOne) {
    EXPECT_EQ(PartialArchiveName("/b/Mail.KVX"), "/b/Mail.partial.kvx");
    EXPECT_EQ(PartialArchiveName("/b.d/mail"), "/b.d/mail.partial.kvx");

    // With nothing at the target, what could be gathered goes there.
    fs::remove(prefix.dataFolder() / outlook2016::dataFileOf("Outlook"));
    BackupRunResult outcome = PerformBackup(*env, zip(), request(only({0, 1})));
    EXPECT_TRUE(outcome.written);
    EXPECT_TRUE(outcome.Partial());
    EXPECT_FALSE(outcome.keptEarlier);
    EXPECT_EQ(outcome.archivePath, target.string());

    std::ofstream(target) << "the earlier, complete archive";
    outcome = PerformBackup(*env, zip(), request(only({0, 1})));
    EXPECT_TRUE(outcome.written);
    EXPECT_TRUE(outcome.keptEarlier);
    EXPECT_EQ(readWholeFile(target), "the earlier, complete archive");
    const fs::path partial = prefix.work.path() / "b.partial.kvx";
    EXPECT_EQ(outcome.archivePath, partial.string());
    EXPECT_EQ(RunShell("unzip -tq " + shellQuoted(partial)).status, 0);
    EXPECT_EQ(outcome.flags, "1001000000");
}

// Once a complete backup is at the target, the partial one an earlier run
// set aside beside it is stale.
TEST_F(BackupTruth, ACompleteBackupRemovesThePartialOneOfItsName) {
    const fs::path partial = prefix.work.path() / "b.partial.kvx";
    std::ofstream(target) << "earlier";
    std::ofstream(partial) << "set aside by an earlier run";
    const BackupRunResult outcome = PerformBackup(*env, zip(), request(only({1})));
    ASSERT_TRUE(outcome.written && !outcome.Partial()) << outcome.writeError;
    EXPECT_FALSE(fs::exists(partial));
}

TEST_F(BackupTruth, ItemsThisOutlookDoesNotHaveAreNotFailures) {
    std::ofstream(target) << "earlier";
    // Outlook 2016 keeps no address book; this user has no stationery and no
    // templates.
    const BackupRunResult outcome = PerformBackup(*env, zip(), request(only({0, 1, 2, 3, 4, 6})));
    EXPECT_TRUE(outcome.written) << outcome.writeError;
    EXPECT_FALSE(outcome.Partial());
    EXPECT_FALSE(outcome.keptEarlier);
    EXPECT_EQ(outcome.archivePath, target.string());
    EXPECT_EQ(outcome.flags, "1101100000");
    EXPECT_EQ(outcome.absent[6], "not used by this Outlook");
    EXPECT_NE(outcome.absent[5].find("Stationery"), std::string::npos);
    EXPECT_NE(outcome.absent[8].find("Templates"), std::string::npos);
    EXPECT_NE(outcome.log.find("\r\nBackup Personal Address Book\t\tnot used by this Outlook\t"),
              std::string::npos);
    EXPECT_EQ(outcome.log.find("Fail!"), std::string::npos);
}

// A key Outlook never wrote holds nothing to back up, as a missing folder
// does: the item is skipped before it runs, and the backup is complete.
TEST_F(BackupTruth, AMissingOptionsOrAccountsKeyIsNothingToBackUp) {
    const fs::path userReg = prefix.root / "user.reg";
    std::string text = readWholeFile(userReg);
    for (const std::string key : {"Options", "Profiles\\\\Outlook\\\\9375CFF0"})
        for (auto at = text.find(key); at != std::string::npos; at = text.find(key)) {
            const auto section = text.rfind("\n[", at);
            text.erase(section, text.find("\n[", at) - section);
        }
    std::ofstream(userReg) << text;
    env = std::make_unique<Environment>(WinePrefix(prefix.root), prompter);
    env->Discover();
    const BackupRunResult outcome = PerformBackup(*env, zip(), request(only({1, 5})));
    ASSERT_TRUE(outcome.written) << outcome.writeError;
    EXPECT_TRUE(outcome.itemsFailed.empty()) << outcome.log;
    EXPECT_EQ(outcome.itemsSkipped, (std::vector<std::size_t>{3, 7}));
}

TEST(SignatureLinks, TheFoldersAnHtmlSignatureLinksTo) {
    const std::string html =
        "<html><head><link rel=File-List href=\"Gr%FC%DFe-Dateien/filelist.xml\">\n"
        "<link rel=themeData HREF='Gr%FC%DFe-Dateien/themedata.thmx'>"
        "<a href=\"http://example.org/x/y\">site</a><a href=\"mailto:a@b\">m</a>"
        "<img width=1 src=Name_files/image001.png alt=x><img src=\"../up/x.png\">"
        "<img src=\"/abs/x.png\"><img data-src=\"other/x.png\"><img src=\"plain.png\">"
        "<v:imagedata src=\"My%20Sig_files/image002.jpg\" o:title=\"\"/>";
    EXPECT_EQ(LinkedFolders(html), (std::vector<std::string>{"Name_files", "My Sig_files",
                                                             "Gr\xFC\xDF"
                                                             "e-Dateien"}));
}

TEST_F(BackupTruth, SignaturesTakeThePicturesOfTheFoldersTheyLinkTo) {
    const fs::path sigs = prefix.signatures();
    std::ofstream(sigs / "Work.htm") << "<p><img src=\"Work-Dateien/image001.png\"></p>";
    fs::create_directories(sigs / "Work-Dateien");
    std::ofstream(sigs / "Work-Dateien/image001.png") << "PNG of Work";
    std::ofstream(sigs / "Work-Dateien/filelist.xml") << "<xml/>";
    // A folder no signature links to stays out.
    fs::create_directories(sigs / "Old stuff");
    std::ofstream(sigs / "Old stuff/image001.png") << "PNG of nothing";

    const BackupRunResult outcome = PerformBackup(*env, zip(), request(only({2})));
    ASSERT_TRUE(outcome.written) << outcome.writeError;
    EXPECT_EQ(outcome.flags, "0000100000");
    const std::string info = unzipEntry(target, "vastrel.dat");
    EXPECT_NE(info.find("BackupSignatureFolders=Work-Dateien|"), std::string::npos) << info;
    EXPECT_EQ(unzipEntry(target, "Work-Dateien|image001.png"), "PNG of Work");
    EXPECT_EQ(unzipEntry(target, "Work-Dateien|filelist.xml"), "<xml/>");
    const std::string listing = RunShell("unzip -Z1 " + shellQuoted(target)).output;
    EXPECT_EQ(listing.find("Old stuff"), std::string::npos);
    EXPECT_NE(listing.find("Work.htm"), std::string::npos);
}

// The window's backup: the questions before it starts.
class BackupDriverQuestions : public BackupTruth {
protected:
    SilentProgress progress;
    std::unique_ptr<BackupDriver> driver;

    void SetUp() override {
        BackupTruth::SetUp();
        driver = std::make_unique<BackupDriver>(*env, zip(), prompter, progress);
    }
    BackupChoices choices() {
        BackupChoices c;
        c.profile = "Outlook";
        c.items = only({1});
        c.targetFile = target.string();
        return c;
    }
};

TEST_F(BackupDriverQuestions, AnExistingFileIsReplacedOnlyWhenTheUserSaysSo) {
    std::ofstream(target) << "last week's backup";
    struct tm day {};
    day.tm_year = 2026 - 1900;
    day.tm_mon = 10;
    day.tm_mday = 3;
    day.tm_hour = 21;
    day.tm_min = 30;
    const std::time_t then = std::mktime(&day);
    const timespec times[2] = {{then, 0}, {then, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, target.c_str(), times, 0), 0);

    prompter.answer = MessageAnswer::Cancel;
    EXPECT_FALSE(driver->RunBackup(choices()).started);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text,
              "The backup file " + target.string() +
                  " of 2026-11-03 21:30:00 already exists. Do you want to overwrite it?");
    EXPECT_EQ(prompter.messages[0].buttons, MessageButtons::OverwriteCancel);
    EXPECT_EQ(readWholeFile(target), "last week's backup");

    prompter.messages.clear();
    prompter.answerFor = [](const RecordingPrompter::Message& m) {
        return m.buttons == MessageButtons::OverwriteCancel ? MessageAnswer::Ok
                                                            : MessageAnswer::Cancel;
    };
    EXPECT_TRUE(driver->RunBackup(choices()).written);
    EXPECT_EQ(RunShell("unzip -tq " + shellQuoted(target)).status, 0);
}

TEST_F(BackupDriverQuestions, OutlookOpenInThePrefixIsAskedAbout) {
    // A wineserver of the prefix, as its lock shows it.
    std::ofstream(prefix.root / "wineserver") << (prefix.work.path() / "servers").string() << "\n";
    const fs::path lock = prefix.work.path() / "servers" / serverDirName(prefix.root) / "lock";
    const auto candidates = WinePrefix(prefix.root).serverLockCandidates();
    ASSERT_NE(std::find(candidates.begin(), candidates.end(), lock), candidates.end());
    fs::create_directories(lock.parent_path());
    std::ofstream(lock).put('\0');
    auto server = std::make_unique<LockHolder>(lock);
    ASSERT_TRUE(server->locked());

    // Cancel: nothing is done.
    prompter.answer = MessageAnswer::Cancel;
    EXPECT_FALSE(driver->RunBackup(choices()).started);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].buttons, MessageButtons::RetryContinueCancel);
    EXPECT_NE(prompter.messages[0].text.find("Outlook or another Windows program is open"),
              std::string::npos);
    EXPECT_FALSE(fs::exists(target));

    // Retry while it still runs asks again; Retry once it is closed goes on.
    prompter.messages.clear();
    prompter.answerFor = [&](const RecordingPrompter::Message& m) {
        if (m.buttons != MessageButtons::RetryContinueCancel)
            return MessageAnswer::Cancel;
        if (prompter.messages.size() == 2)
            server.reset(); // the user closed Outlook
        return MessageAnswer::Retry;
    };
    EXPECT_TRUE(driver->RunBackup(choices()).written);
    EXPECT_EQ(prompter.messages[1].buttons, MessageButtons::RetryContinueCancel);
    EXPECT_EQ(prompter.messages[2].text.rfind("The Backup was Completed!", 0), 0u);

    // Continue backs up while it runs.
    fs::remove(target);
    server = std::make_unique<LockHolder>(lock);
    prompter.messages.clear();
    prompter.answerFor = [](const RecordingPrompter::Message& m) {
        return m.buttons == MessageButtons::RetryContinueCancel ? MessageAnswer::Continue
                                                                : MessageAnswer::Cancel;
    };
    EXPECT_TRUE(driver->RunBackup(choices()).written);
}

// The result tells the caller what became of each chosen item, and what was
// written: the unattended run and the windows report from it alone.
TEST_F(BackupTruth, TheResultNamesTheItemsDoneFailedAndSkippedAndTheSizes) {
    // Outlook 2016 keeps no address book; this user has no stationery and no
    // templates; the data file the profile names is gone.
    fs::remove(prefix.dataFolder() / outlook2016::dataFileOf("Outlook"));
    const BackupRunResult r = PerformBackup(*env, zip(), request(only({0, 1, 2, 3, 4, 6})));
    ASSERT_TRUE(r.written) << r.writeError;
    const auto indexOf = [](std::string_view key) {
        for (std::size_t i = 0; i < kItemRecordCount; ++i)
            if (kItemRecords[i].itemKey == key)
                return i;
        return kItemRecordCount;
    };
    EXPECT_EQ(r.itemsDone,
              (std::vector<std::size_t>{indexOf("BackupAccounts"), indexOf("BackupSignatures")}));
    EXPECT_EQ(r.itemsFailed, std::vector<std::size_t>{indexOf("BackupDatas")});
    EXPECT_FALSE(r.failures[indexOf("BackupDatas")].empty());
    EXPECT_EQ(r.itemsSkipped,
              (std::vector<std::size_t>{indexOf("BackupStationery"), indexOf("BackupPab"),
                                        indexOf("BackupTemplates")}));
    EXPECT_TRUE(r.Partial());
    EXPECT_EQ(r.archiveBytes, fs::file_size(r.archivePath));
    // The archive holds at least what was gathered, less what deflate saved:
    // more than nothing, and the gathered files were counted.
    EXPECT_GT(r.gatheredBytes, 0u);
    EXPECT_GT(r.archiveBytes, 0u);
}

// Two backups in one process: the second one's result and its archive hold
// nothing of the first's (the scratch exports of the first are gone too).
TEST_F(BackupTruth, ASecondBackupCarriesNothingOfTheFirst) {
    const BackupRunResult first = PerformBackup(*env, zip(), request(only({0, 1})));
    ASSERT_TRUE(first.written) << first.writeError;
    target = prefix.work.path() / "second.kvx";
    const BackupRunResult second = PerformBackup(*env, zip(), request(only({2})));
    ASSERT_TRUE(second.written) << second.writeError;
    EXPECT_EQ(second.flags, "0000100000");
    EXPECT_EQ(second.itemsDone.size(), 1u);
    EXPECT_TRUE(second.itemsFailed.empty());
    const std::string listing = RunShell("unzip -Z1 " + shellQuoted(target)).output;
    EXPECT_EQ(listing.find(".tmp"), std::string::npos) << listing;
    EXPECT_EQ(listing.find(".pst"), std::string::npos) << listing;
    EXPECT_TRUE(namesIn(env->session().programFolder).empty());
}
