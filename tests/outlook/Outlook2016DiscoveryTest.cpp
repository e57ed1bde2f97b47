// Outlook 2013 and later: profiles under Office's own key, per-user files
// under AppData, and a 32-bit Outlook in a 64-bit prefix, on the 2016 sample.
#include "app/Environment.h"
#include "outlook/ItemLocations.h"
#include "outlook/OutlookEnvironment.h"
#include "outlook/ProfilesKey.h"

#include "RecordingPrompter.h"
#include "SamplePrefixCopy.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace trelmig;

TEST(ProfilesKey, MovesUnderOfficeFromOutlook2013On) {
    const std::string messaging = kProfilesKey;
    EXPECT_EQ(ProfilesKeyFor(""), messaging);
    EXPECT_EQ(ProfilesKeyFor("8.0"), messaging);
    EXPECT_EQ(ProfilesKeyFor("14.0"), messaging);
    EXPECT_EQ(ProfilesKeyFor("15.0"),
              "HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\15.0\\Outlook\\Profiles");
    EXPECT_EQ(ProfilesKeyFor("16.0"),
              "HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\16.0\\Outlook\\Profiles");
    EXPECT_FALSE(IsOutlook2013OrLater("9.0"));
    EXPECT_FALSE(IsOutlook2013OrLater("Unknow Version"));
    EXPECT_TRUE(IsOutlook2013OrLater("15.0"));
}

class Outlook2016Sample : public ::testing::Test {
protected:
    SamplePrefixCopy sample{kSamplePrefix2016};
    RecordingPrompter prompter;
    std::unique_ptr<Environment> env;
    std::string outlook;

    void SetUp() override { load(); }
    void load() {
        env = std::make_unique<Environment>(WinePrefix(sample.root), prompter);
        outlook = env->Discover();
    }
    void removeKey(const std::string& path) {
        env->reg.DeleteRegTree(path);
        env->registry.save();
        load();
    }
};

TEST_F(Outlook2016Sample, FindsOutlook2016AndItsProfilesUnderItsOwnKey) {
    const Session& s = env->session();
    EXPECT_EQ(outlook, "Outlook 2016");
    EXPECT_EQ(s.outlookVersion, "16.0");
    EXPECT_EQ(s.profilesKey,
              "HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\16.0\\Outlook\\Profiles");
    EXPECT_EQ(s.profiles, (std::vector<std::string>{"Outlook", "Work"}));
    EXPECT_EQ(s.windowsVersion, "10.0");
    EXPECT_EQ(s.windowsBuild, "19045");
    EXPECT_EQ(s.computerName, "SAMPLE-LAPTOP");
    // The 32-bit program is registered in the 32-bit view of the classes.
    EXPECT_EQ(ReportedOutlookVersion(env->reg, env->files, env->system), "16.0.4266.1001");
    EXPECT_TRUE(IsOutlookWow64(env->reg));
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(Outlook2016Sample, WithoutARegisteredOutlookTheProfilesTellTheVersion) {
    removeKey("HKEY_LOCAL_MACHINE\\Software\\Classes\\Wow6432Node\\Outlook.Application");
    EXPECT_EQ(outlook, "Outlook 2016");
    EXPECT_EQ(env->session().outlookVersion, "16.0");
    EXPECT_EQ(env->session().profiles, (std::vector<std::string>{"Outlook", "Work"}));

    // Nothing registered and no profile anywhere: no profile, as before.
    removeKey("HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\16.0\\Outlook\\Profiles");
    EXPECT_TRUE(env->session().profiles.empty());
    EXPECT_EQ(env->session().outlookVersion, "");
}

TEST_F(Outlook2016Sample, ItemsLiveUnderAppDataAndAccountsInTheChosenProfile) {
    const ProfileItems items = env->ItemsOf("Work");
    const ItemStates& states = items.states;
    const ItemLocations& s = items.locations;
    EXPECT_EQ(s.accountsKey, "HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\16.0\\Outlook\\"
                             "Profiles\\Work\\9375CFF0413111d3B88A00104B2A6676");
    const std::string roaming = "C:\\users\\sam\\AppData\\Roaming\\Microsoft\\";
    // Windows 10 is not "new Windows", but Outlook 2016 keeps its files in AppData.
    EXPECT_EQ(s.signaturesFolder, roaming + "Signatures");
    EXPECT_EQ(s.stationeryFolder, roaming + "Stationery");
    EXPECT_EQ(s.rulesFolder, roaming + "Outlook");
    EXPECT_EQ(s.templatesFolder, roaming + "Templates");
    EXPECT_EQ(s.optionsKey,
              "HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\16.0\\Outlook\\Options");
    EXPECT_EQ(states[ItemAddressBook].toolTip, kNoAddressBookToolTip);
    std::string mask;
    for (const auto& state : states)
        mask += state.enabled ? '1' : '0';
    EXPECT_EQ(mask, "11110111");

    // A profile without accounts of its own cannot back them up.
    removeKey(env->session().profilesKey + "\\Work\\9375CFF0413111d3B88A00104B2A6676");
    EXPECT_FALSE(env->ItemStatesOf("Work")[ItemAccounts].enabled);
    EXPECT_TRUE(env->ItemStatesOf("Outlook")[ItemAccounts].enabled);
}

TEST_F(Outlook2016Sample, RestoredDataFilesGoWhereOutlookMakesThem) {
    Session s = env->session();
    EXPECT_EQ(DataFileFolderFor(s, env->reg, "sam@example.com.pst"),
              "C:\\users\\sam\\Documents\\Outlook Files");
    EXPECT_EQ(DataFileFolderFor(s, env->reg, "sam@imap.example.OST"),
              "C:\\users\\sam\\AppData\\Local\\Microsoft\\Outlook");
    // The Documents folder is the one the prefix names.
    env->reg.WriteRegString(
        "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
        "Personal", "D:\\Mail");
    EXPECT_EQ(DataFileFolderFor(s, env->reg, "a.pst"), "D:\\Mail\\Outlook Files");
    s.outlookVersion = "14.0";
    EXPECT_EQ(DataFileFolderFor(s, env->reg, "a.pst"),
              "C:\\users\\sam\\Local Settings\\Application Data\\Microsoft\\Outlook");
}

TEST_F(Outlook2016Sample, A32BitOutlook2010TakesTheStationeryOfItsOwnView) {
    // Both views name a shared files folder on a 64-bit machine; the 32-bit
    // program's is under Program Files (x86).
    Session outlook2010 = env->session();
    outlook2010.outlookVersion = "14.0";
    EXPECT_EQ(ComputeItemLocations(outlook2010, env->reg, env->files, "Outlook")
                  .locations.stationeryFolder,
              "C:\\Program Files (x86)\\Common Files\\Microsoft Shared\\Stationery");
    EXPECT_EQ(SharedToolsKey(env->reg),
              "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Shared Tools");
}
