#include "outlook/OutlookEnvironment.h"
#include "app/Environment.h"

#include "RecordingPrompter.h"
#include "SamplePrefixCopy.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace trelmig;

TEST(OutlookVersion, DecidedByTheMajorNumber) {
    auto name = [](const std::string& reported) {
        auto r = MatchOutlookVersion(reported);
        return r ? r->version + " " + r->displayName : std::string("none");
    };
    EXPECT_EQ(name("8.0.0.4212"), "8.0 Outlook 97");
    EXPECT_EQ(name("9.0.0.2711"), "9.0 Outlook 2000");
    EXPECT_EQ(name("10.0.2627.1"), "10.0 Outlook 2002(XP)");
    // The build part holds "9.0"; it is still Outlook 2003.
    EXPECT_EQ(name("11.0.8169.0"), "11.0 Outlook 2003");
    EXPECT_EQ(name("12.0.6423.1000"), "12.0 Outlook 2007");
    EXPECT_EQ(name("14.0.4760.1000"), "14.0 Outlook 2010");
    EXPECT_EQ(name("14.0"), "14.0 Outlook 2010");
    EXPECT_EQ(name("15.0.4420.1017"), "15.0 Outlook 2013");
    // 2016, 2019, 2021 and the subscription release share the major number.
    EXPECT_EQ(name("16.0.4266.1001"), "16.0 Outlook 2016");
    EXPECT_EQ(name("16.0.10396.20023"), "16.0 Outlook 2016");
    EXPECT_EQ(name("16.0.17928.20114"), "16.0 Outlook 2016");
    EXPECT_EQ(name("17.0.1.1"), "none");
    EXPECT_EQ(name("1.0"), "none");
    EXPECT_EQ(name(""), "none");
    EXPECT_EQ(name("Outlook"), "none");
}

class SampleDiscovery : public ::testing::Test {
protected:
    SamplePrefixCopy sample;
    RecordingPrompter prompter;

    std::string discover() {
        Environment env(WinePrefix(sample.root), prompter);
        const std::string outlook = env.Discover();
        session = env.session();
        if (!session.profiles.empty())
            locations = env.ItemsOf(session.profiles.front()).locations;
        return outlook;
    }
    void removeKey(const std::string& path) {
        WineRegistry reg{WinePrefix(sample.root)};
        std::string sub = path;
        RegistryKeys m(reg, prompter, AnsiCodec());
        m.DeleteRegTree(path);
        reg.save();
    }
    Session session;
    ItemLocations locations; // of the first profile
};

TEST_F(SampleDiscovery, FindsTheMachineTheProfilesAndTheRegisteredOutlook) {
    EXPECT_EQ(discover(), "Outlook 2010");
    EXPECT_EQ(session.outlookVersion, "14.0");
    EXPECT_EQ(session.windowsVersion, "6.1");
    EXPECT_EQ(session.windowsBuild, "7601");
    EXPECT_EQ(session.computerName, "SAMPLE-PC");
    EXPECT_EQ(session.logonUser, "sam");
    EXPECT_EQ(session.userProfile, "C:\\users\\sam");
    EXPECT_EQ(session.profiles, (std::vector<std::string>{"Outlook", "Work"}));
    EXPECT_FALSE(session.profiles.empty());
    EXPECT_TRUE(prompter.messages.empty());

    Environment env(WinePrefix(sample.root), prompter);
    EXPECT_EQ(ReportedOutlookVersion(env.reg, env.files, env.system), "14.0.4760.1000");
}

TEST_F(SampleDiscovery, FallsBackToTheRegisteredVersionNumberWithoutTheProgram) {
    fs::remove(sample.driveC() / "Program Files/Microsoft Office/Office14/OUTLOOK.EXE");
    EXPECT_EQ(discover(), "Outlook 2010");
    EXPECT_EQ(session.outlookVersion, "14.0");
}

TEST_F(SampleDiscovery, WithoutARegisteredOutlookTheVersionIsUnknown) {
    removeKey("HKEY_LOCAL_MACHINE\\Software\\Classes\\Outlook.Application");
    EXPECT_EQ(discover(), "Unknow Version");
    EXPECT_EQ(session.outlookVersion, "");
    EXPECT_EQ(locations.optionsKey,
              "HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\\\Outlook\\Options");
}

TEST_F(SampleDiscovery, BlankProfileNamesAreLeftOut) {
    {
        WineRegistry reg{WinePrefix(sample.root)};
        const std::string profiles = std::string(kProfilesKey).substr(18);
        reg.createKey(RootKey::CurrentUser, profiles + "\\   ");
        reg.createKey(RootKey::CurrentUser, profiles + "\\" + std::string("\0 \0", 3));
        reg.save();
    }
    discover();
    EXPECT_EQ(session.profiles, (std::vector<std::string>{"Outlook", "Work"}));
}

TEST_F(SampleDiscovery, NoProfilesKeyMeansNoProfiles) {
    removeKey(kProfilesKey);
    EXPECT_EQ(discover(), "");
    EXPECT_TRUE(session.profiles.empty());
    EXPECT_TRUE(session.profiles.empty());
}
