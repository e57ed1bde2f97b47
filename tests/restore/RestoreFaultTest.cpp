#include "RestoreSuite.h"

namespace fs = std::filesystem;
using namespace trelmig;

namespace {

const char* kRoamingOutlook = "AppData/Roaming/Microsoft/Outlook";

bool anyFileNamed(const fs::path& root, const std::string& name) {
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.path().filename() == name)
            return true;
    return false;
}

} // namespace

// A data file that cannot be put in place (here: it is a link out of the
// prefix) leaves the profile's registry tree and every data file as they were.
TEST_P(RestoreSuite, PersonalFoldersThatCannotBeWrittenChangeNothing) {
    const PrefixUnderTest& prefix = GetParam();
    backUp(items({0}));
    const fs::path folder = targetDataFolder();
    const fs::path elsewhere = target.work.path() / "elsewhere.pst";
    std::ofstream(elsewhere) << "not the prefix's";
    fs::remove(folder / prefix.dataFile);
    fs::create_symlink(elsewhere, folder / prefix.dataFile);
    const std::string otherBefore = readWholeFile(folder / prefix.otherDataFile);
    const std::string userBefore = readWholeFile(target.root / "user.reg");

    ASSERT_TRUE(inspect(archive).accepted);
    // Into the profile that names the file ("Work" would get files of its
    // own beside those of "Outlook").
    const RestoreRunResult r = restore(items({0}), "Outlook");
    EXPECT_FALSE(r.allSucceeded);
    EXPECT_EQ(readWholeFile(target.root / "user.reg"), userBefore);
    EXPECT_EQ(readWholeFile(folder / prefix.otherDataFile), otherBefore);
    EXPECT_EQ(readWholeFile(elsewhere), "not the prefix's");
    const std::string& message = prompter.messages.back().text;
    EXPECT_NE(message.find("Restore Personal Folders\t\tFail!\t\r\n    personal folders: refusing "
                           "to write " +
                           prefix.dataFileWindowsPath),
              std::string::npos)
        << message;
}

// Restoring into another profile writes the rules file under that profile's
// name only: the rules of the profile the backup came from stay.
TEST_P(RestoreSuite, RulesRestoredIntoAnotherProfileLeaveTheSourceProfilesRules) {
    std::ofstream(source.userFolder() / kRoamingOutlook / "Outlook.RWZ") << "rules of the backup";
    backUp(items({0}));
    const fs::path rules = target.userFolder() / kRoamingOutlook;
    std::ofstream(rules / "Outlook.RWZ") << "rules of this machine's Outlook profile";

    ASSERT_TRUE(inspect(archive).accepted);
    EXPECT_TRUE(restore(items({0}), "Work").allSucceeded) << prompter.messages.back().text;
    EXPECT_EQ(readWholeFile(rules / "Outlook.RWZ"), "rules of this machine's Outlook profile");
    EXPECT_EQ(readWholeFile(rules / "Work.RWZ"), "rules of the backup");
}

TEST_P(RestoreSuite, AProfileNameWithSeparatorsNeverBecomesAPath) {
    backUp(items({0}));
    ASSERT_TRUE(inspect(archive).accepted);
    for (const std::string profile : {"../../../../../Evil", "..", "a/../../Evil"}) {
        prompter.messages.clear();
        EXPECT_FALSE(restore(items({0}), profile).allSucceeded);
        EXPECT_NE(prompter.messages.back().text.find("cannot be part of a file name"),
                  std::string::npos)
            << prompter.messages.back().text;
    }
    EXPECT_FALSE(anyFileNamed(target.root, "Evil.RWZ"));
    EXPECT_FALSE(anyFileNamed(target.root, "...RWZ"));
}

// A folder linked out of the prefix is not written through.
TEST_P(RestoreSuite, ASignaturesFolderLinkedElsewhereIsNotOverwritten) {
    backUp(items({2}));
    const fs::path signatures = target.userFolder() / "AppData/Roaming/Microsoft/Signatures";
    const fs::path elsewhere = target.work.path() / "elsewhere";
    fs::create_directories(elsewhere);
    std::ofstream(elsewhere / "Personal.htm") << "someone else's file";
    fs::remove_all(signatures);
    fs::create_directory_symlink(elsewhere, signatures);

    ASSERT_TRUE(inspect(archive).accepted);
    EXPECT_FALSE(restore(items({2})).allSucceeded);
    EXPECT_EQ(readWholeFile(elsewhere / "Personal.htm"), "someone else's file");
    EXPECT_EQ(std::distance(fs::directory_iterator(elsewhere), fs::directory_iterator()), 1);
    EXPECT_NE(prompter.messages.back().text.find("Restore Signatures \t\t\tFail!\t\r\n    "
                                                 "signatures: refusing to write into"),
              std::string::npos)
        << prompter.messages.back().text;
}

// Extractions a killed restore left beside the data files go with the next
// restore of that folder.
TEST_P(RestoreSuite, LeftoversOfAKilledRestoreAreRemovedByTheNext) {
    backUp(items({0}));
    const fs::path folder = targetDataFolder();
    const std::string name = GetParam().dataFile;
    std::ofstream(folder / ("." + name + ".trelmig-x-Qw3rTy")) << "half a data file";
    std::ofstream(folder / (".." + name + ".trelmig-x-Qw3rTy.trelmig-x-a1b2c3")) << "half";
    ASSERT_TRUE(inspect(archive).accepted);
    EXPECT_TRUE(restore(items({0}), "Outlook").allSucceeded) << prompter.messages.back().text;
    for (const auto& e : fs::directory_iterator(folder))
        EXPECT_EQ(e.path().filename().string().find(".trelmig"), std::string::npos) << e.path();
}

// Keys Outlook makes only when it first runs (the options) or when an account
// is first set up in a profile (the accounts) are made by the restore; a
// restore that found no key used to report success having restored nothing.
TEST_P(RestoreSuite, RegistryItemsMakeTheKeysOutlookHasNotMadeYet) {
    backUp(items({ItemAccounts, ItemOptions}));
    const std::string options = "HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\" +
                                GetParam().officeVersion + "\\Outlook\\Options";
    const std::string profiles = GetParam().profilesKey;
    const std::string accounts = "\\9375CFF0413111d3B88A00104B2A6676";
    openTarget();
    env->reg.DeleteRegTree(options);
    env->reg.DeleteRegTree(profiles + "\\Work" + accounts); // no account set up there yet
    env->registry.save();
    ASSERT_FALSE(env->reg.RegKeyExists(profiles + "\\Work" + accounts));
    const auto outlookAccounts = env->reg.EnumRegSubkeys(profiles + "\\Outlook" + accounts);
    ASSERT_FALSE(outlookAccounts.empty());

    ASSERT_TRUE(inspect(archive).accepted);
    EXPECT_TRUE(restore(items({ItemAccounts, ItemOptions}), "Work").allSucceeded);
    openTarget();
    EXPECT_FALSE(env->reg.EnumRegSubkeys(options).empty());
    EXPECT_EQ(env->reg.EnumRegSubkeys(profiles + "\\Work" + accounts), outlookAccounts);
    EXPECT_EQ(env->reg.EnumRegSubkeys(profiles + "\\Outlook" + accounts), outlookAccounts);
}
