#include "outlook/ItemLocations.h"
#include "app/Environment.h"

#include "RecordingPrompter.h"
#include "SamplePrefixCopy.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace trelmig;

namespace {

std::string enabledMask(const ItemStates& states) {
    std::string mask;
    for (const auto& s : states)
        mask += s.enabled ? '1' : '0';
    return mask;
}

} // namespace

class ProfileItemLocations : public ::testing::Test {
protected:
    SamplePrefixCopy sample;
    RecordingPrompter prompter;
    std::unique_ptr<Environment> env;

    void SetUp() override { load(); }
    void load() {
        env = std::make_unique<Environment>(WinePrefix(sample.root), prompter);
        env->Discover();
    }
    ItemStates select(const std::string& profile) { return env->ItemStatesOf(profile); }
    // The items as another Outlook or Windows would find them in this prefix.
    ProfileItems itemsWith(const Session& session, const std::string& profile) {
        return ComputeItemLocations(session, env->reg, env->files, profile);
    }
};

TEST_F(ProfileItemLocations, OutlookTwentyTenOnWindowsSeven) {
    const ProfileItems items = env->ItemsOf("Outlook");
    const ItemStates& states = items.states;
    const ItemLocations& s = items.locations;
    EXPECT_EQ(s.accountsKey,
              "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows "
              "Messaging Subsystem\\Profiles\\Outlook\\9375CFF0413111d3B88A00104B2A6676");
    EXPECT_EQ(s.signaturesFolder, "C:\\users\\sam\\AppData\\Roaming\\Microsoft\\Signatures");
    EXPECT_EQ(s.stationeryFolder, "C:\\Program Files\\Common Files\\microsoft shared\\Stationery");
    EXPECT_EQ(s.rulesFolder, "C:\\users\\sam\\AppData\\Roaming\\Microsoft\\Outlook");
    EXPECT_EQ(s.preferencesFolder, s.rulesFolder);
    EXPECT_EQ(s.templatesFolder, "C:\\users\\sam\\AppData\\Roaming\\Microsoft\\Templates");
    EXPECT_EQ(s.optionsKey,
              "HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\14.0\\Outlook\\Options");
    EXPECT_EQ(enabledMask(states), "11110111");
    EXPECT_EQ(states[ItemAddressBook].toolTip,
              "Your MS Outlook don't support Personal Address Book!");
    EXPECT_EQ(states[ItemSignatures].toolTip, "User defined signatures.");
    // Another profile's accounts are its own, never those of "Outlook".
    EXPECT_EQ(env->ItemsOf("Work").locations.accountsKey,
              "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows "
              "Messaging Subsystem\\Profiles\\Work\\9375CFF0413111d3B88A00104B2A6676");
}

TEST_F(ProfileItemLocations, OutlookTwentyThreeOnWindowsSevenMixesFolders) {
    Session outlook2003 = env->session();
    outlook2003.outlookVersion = "11.0";
    const ProfileItems items = itemsWith(outlook2003, "Outlook");
    const ItemStates& states = items.states;
    const ItemLocations& s = items.locations;
    EXPECT_EQ(s.signaturesFolder, "C:\\users\\sam\\AppData\\Roaming\\Microsoft\\Signatures");
    EXPECT_EQ(s.stationeryFolder, "C:\\users\\sam\\Application Data\\Microsoft\\Stationery");
    EXPECT_EQ(s.accountsKey, "HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\Outlook\\OMI "
                             "Account Manager\\Accounts");
    EXPECT_FALSE(states[ItemAccounts].enabled);
    // The address book named by the profile exists; Work names none.
    EXPECT_TRUE(states[ItemAddressBook].enabled);
    EXPECT_EQ(states[ItemAddressBook].toolTip, "Outlook Personal Address Book.");
    EXPECT_FALSE(itemsWith(outlook2003, "Work").states[ItemAddressBook].enabled);
}

TEST_F(ProfileItemLocations, LaterWindowsTakesTheOlderFolderNames) {
    Session windows10 = env->session();
    windows10.windowsVersion = "10.0";
    const ProfileItems items = itemsWith(windows10, "Outlook");
    const ItemStates& states = items.states;
    EXPECT_EQ(items.locations.signaturesFolder,
              "C:\\users\\sam\\Application Data\\Microsoft\\Signatures");
    // Wine has no "Application Data" junction; the files are found all the same.
    EXPECT_TRUE(states[ItemSignatures].enabled);
}

TEST_F(ProfileItemLocations, FolderItemsNeedAFileDirectlyInside) {
    const fs::path signatures = sample.userFolder() / "AppData/Roaming/Microsoft/Signatures";
    for (const auto& e : fs::directory_iterator(signatures))
        if (e.is_regular_file())
            fs::remove(e.path());
    fs::remove_all(sample.userFolder() / "AppData/Roaming/Microsoft/Templates");
    const ItemStates states = select("Outlook");
    EXPECT_FALSE(states[ItemSignatures].enabled);
    EXPECT_NE(states[ItemSignatures].reason.find("no file in"), std::string::npos);
    EXPECT_FALSE(states[ItemTemplates].enabled);
    EXPECT_NE(states[ItemTemplates].reason.find("not found"), std::string::npos);
    EXPECT_TRUE(states[ItemPersonalFolders].enabled);
    EXPECT_TRUE(states[ItemOptions].enabled);
}

TEST_F(ProfileItemLocations, MissingSharedFilesDirDisablesStationery) {
    {
        WineRegistry reg{WinePrefix(sample.root)};
        reg.deleteValue(RootKey::LocalMachine, "Software\\Microsoft\\Shared Tools",
                        "SharedFilesDir");
        reg.save();
    }
    load();
    const ProfileItems items = env->ItemsOf("Outlook");
    const ItemStates& states = items.states;
    EXPECT_EQ(items.locations.stationeryFolder, "ErrorStationery");
    EXPECT_FALSE(states[ItemStationeries].enabled);
}
