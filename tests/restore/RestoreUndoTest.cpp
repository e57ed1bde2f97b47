// A restore into the wrong profile is put back by its undo: the bottle is then
// as it was, file for file and key for key.
#include "restore/RestoreUndo.h"
#include "Bottle.h"
#include "RestoreFixture.h"
#include "platform/WineServerLock.h"

#include <fstream>

namespace fs = std::filesystem;
using namespace trelmig;

namespace {

const ItemSelection kEverything = items({0, 1, 2, 3, 5, 6, 7});

class RestoreUndo : public ::testing::Test {
protected:
    SamplePrefixCopy source{kSamplePrefix2016}; // the other machine
    bottle::Bottle target;
    RecordingPrompter prompter;
    SilentProgress progress;
    FixedPassword passwords;
    fs::path records = target.work.path() / "state" / "trelmig" / "undo";
    std::string archive = (source.work.path() / "backup.kvx").string();

    void SetUp() override {
        prompter.answer = MessageAnswer::Cancel;
        Environment from(WinePrefix(source.root), prompter);
        from.Discover();
        ZipArchive writer(from.ansi);
        BackupDriver backup(from, writer, prompter, progress);
        BackupChoices c;
        c.profile = "Outlook";
        c.items = items({0, 1, 2, 3, 4, 5, 6, 7});
        c.targetFile = archive;
        ASSERT_TRUE(backup.RunBackup(c).written);
        prompter.messages.clear();
    }

    RestoreRunResult restoreInto(const std::string& profile, ItemSelection boxes,
                                 bool create = false) {
        Environment env(WinePrefix(target.root), prompter);
        env.Discover();
        ZipArchive zip(env.ansi);
        const InspectedArchive inspected =
            InspectBackupFile(env, zip, prompter, passwords, archive);
        EXPECT_TRUE(inspected.accepted);
        RestoreDriver driver(env, zip, prompter, progress);
        driver.KeepUndoRecordsIn(records);
        RestoreChoices c{profile, boxes};
        c.createProfile = create;
        return driver.RunRestore(inspected, c);
    }
};

} // namespace

TEST_F(RestoreUndo, PutsTheBottleBackAsItWasBeforeTheRestore) {
    // This machine's own mail, which the restore replaces or adds to.
    const fs::path dataFiles = target.home / "Documents/Outlook Files";
    std::ofstream(dataFiles / "sam@example.com.pst", std::ios::binary) << "this machine's mail";
    fs::remove(dataFiles / "Archive.pst");
    const auto before = bottle::stateOf(target);
    const RestoreRunResult r = restoreInto("Work", kEverything);
    ASSERT_TRUE(r.allSucceeded) << (r.failures.empty() ? "" : r.failures.front());
    const auto restored = bottle::stateOf(target);
    const std::string changes = bottle::differences(before, restored);
    for (const char* change :
         {"changed: home/Documents/Outlook Files/sam@example.com.pst",
          "only after: home/Documents/Outlook Files/Archive.pst",
          "only after: prefix/drive_c/users/root/AppData/Roaming/Microsoft/Outlook/Work.RWZ",
          "only before: user.reg "
          "[software\\\\microsoft\\\\office\\\\16.0\\\\outlook\\\\profiles\\\\work\\\\"
          "c4d71a09e6b3452f8d0e2b7a9f1c5e63]"})
        EXPECT_NE(changes.find(change), std::string::npos) << change << "\n" << changes;

    const auto kept = ListUndoRecords(records);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].profile, "Work");
    EXPECT_EQ(kept[0].prefix, target.root.string());
    const UndoOutcome undone = UndoRestore(kept[0], prompter);
    EXPECT_TRUE(undone.done) << undone.message;
    EXPECT_EQ(bottle::stateOf(target), before)
        << bottle::differences(before, bottle::stateOf(target));
    EXPECT_TRUE(ListUndoRecords(records).empty());
}

TEST_F(RestoreUndo, ANewProfileIsRemovedWithTheDefaultItWasMade) {
    bottle::Bottle fresh(false); // Outlook installed, never started
    target.root = fresh.root;
    target.home = fresh.home;
    const auto before = bottle::stateOf(target);
    ASSERT_TRUE(restoreInto("Outlook", items({0, 2}), true).allSucceeded);
    const UndoOutcome undone = UndoRestore(ListUndoRecords(records).at(0), prompter);
    EXPECT_TRUE(undone.done) << undone.message;
    EXPECT_EQ(bottle::stateOf(target), before)
        << bottle::differences(before, bottle::stateOf(target));
}

TEST_F(RestoreUndo, OnlyTheLastFiveAreKeptNewestFirst) {
    // Left by a restore killed yesterday, and by one at work now.
    const fs::path killed = records / ".new-20261208T060000.000000000-abcdef";
    const fs::path working = records / ".new-20261209T060000.000000000-ghijkl";
    for (const fs::path& record : {killed, working}) {
        fs::create_directories(record / "files");
        std::ofstream(record / "undo.txt") << "prefix\t/p\n";
        std::ofstream(record / "files/1") << "an old data file";
    }
    fs::last_write_time(killed / "undo.txt",
                        fs::file_time_type::clock::now() - std::chrono::hours(25));
    for (int i = 0; i < 7; ++i)
        ASSERT_TRUE(restoreInto(i % 2 ? "Work" : "Outlook", items({2})).allSucceeded);
    const auto kept = ListUndoRecords(records);
    ASSERT_EQ(kept.size(), kUndoRecordsKept);
    EXPECT_EQ(kept.front().profile, "Outlook"); // the seventh
    EXPECT_EQ(kept.back().profile, "Outlook");  // the third
    EXPECT_GT(kept.front().folder.filename(), kept.back().folder.filename());
    EXPECT_FALSE(fs::exists(killed));
    EXPECT_TRUE(fs::exists(working));
    EXPECT_NE(kept.front().label().find("\"Outlook\" of " + target.root.string() + " on "),
              std::string::npos)
        << kept.front().label();
}

// A restore that failed before it changed anything keeps no record, so the
// undo goes on to put back the last restore that did: here the second
// signature meets a folder of its name after the first was told to the record.
TEST_F(RestoreUndo, ARestoreThatChangedNothingKeepsNoRecord) {
    ASSERT_TRUE(restoreInto("Work", items({5})).allSucceeded);
    const fs::path signature =
        target.root / "drive_c/users/root/AppData/Roaming/Microsoft/Signatures/Personal.txt";
    fs::remove(signature);
    fs::create_directory(signature);
    const auto before = bottle::stateOf(target);
    EXPECT_FALSE(restoreInto("Work", items({2})).allSucceeded);
    EXPECT_EQ(bottle::stateOf(target), before);
    EXPECT_EQ(ListUndoRecords(records).size(), 1u);
}

// An undo that cannot put back everything puts back nothing: here a file the
// restore replaced became a folder since; the files before it in the record
// were already renamed into place when it was met.
TEST_F(RestoreUndo, AnUndoThatCannotFinishChangesNothing) {
    ASSERT_TRUE(restoreInto("Work", kEverything).allSucceeded);
    const fs::path signatures =
        target.root / "drive_c/users/root/AppData/Roaming/Microsoft/Signatures";
    fs::remove(signatures / "Personal.txt");
    fs::create_directory(signatures / "Personal.txt");
    const auto restored = bottle::stateOf(target);
    const UndoOutcome undone = UndoRestore(ListUndoRecords(records).at(0), prompter);
    EXPECT_FALSE(undone.done);
    EXPECT_NE(undone.message.find("Nothing was changed."), std::string::npos) << undone.message;
    EXPECT_EQ(bottle::stateOf(target), restored)
        << bottle::differences(restored, bottle::stateOf(target));
    EXPECT_EQ(ListUndoRecords(records).size(), 1u); // still there to try again
}

TEST_F(RestoreUndo, RefusedWhileWineRuns) {
    ASSERT_TRUE(restoreInto("Work", items({2, 5})).allSucceeded);
    const auto restored = bottle::stateOf(target);
    const fs::path serverDir = fs::path("/tmp") / (".wine-" + std::to_string(getuid())) /
                               wineserver_lock::serverDirName(target.root);
    fs::create_directories(serverDir);
    std::ofstream(serverDir / "lock").put('\0');
    {
        wineserver_lock::LockHolder wineserver(serverDir / "lock");
        ASSERT_TRUE(wineserver.locked());
        const UndoOutcome undone = UndoRestore(ListUndoRecords(records).at(0), prompter);
        EXPECT_FALSE(undone.done);
        EXPECT_NE(undone.message.find("close Outlook and Wine first"), std::string::npos)
            << undone.message;
    }
    fs::remove_all(serverDir);
    EXPECT_EQ(bottle::stateOf(target), restored);
    EXPECT_TRUE(UndoRestore(ListUndoRecords(records).at(0), prompter).done);
}
