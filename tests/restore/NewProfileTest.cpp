// A backup restored into a new profile: on a fresh bottle where Outlook was
// installed and never started there is no profile to restore into. The
// registry is read back as text, as Wine would load it.
#include "Bottle.h"
#include "RestoreFixture.h"
#include "registry/RegistryBinary.h"

#include <sstream>

namespace fs = std::filesystem;
using namespace trelmig;

namespace {

const std::string kOutlook16 = R"([Software\\Microsoft\\Office\\16.0\\Outlook])";

// The value lines of a key block in a registry file ("" when the key has no
// block).
std::string blockOf(const fs::path& file, const std::string& keyLine) {
    std::istringstream in(readWholeFile(file));
    std::string line, block;
    bool inside = false;
    while (std::getline(in, line)) {
        if (line.starts_with("["))
            inside = line.starts_with(keyLine + " ");
        else if (inside && !line.empty() && !line.starts_with("#time="))
            block += line + "\n";
    }
    return block;
}

class NewProfile : public ::testing::Test {
protected:
    SamplePrefixCopy source{kSamplePrefix2016};
    RecordingPrompter prompter;
    SilentProgress progress;
    FixedPassword passwords;
    std::string archive = (source.work.path() / "backup.kvx").string();

    void SetUp() override {
        prompter.answer = MessageAnswer::Cancel;
        Environment from(WinePrefix(source.root), prompter);
        from.Discover();
        ZipArchive writer(from.ansi);
        BackupDriver backup(from, writer, prompter, progress);
        BackupChoices c;
        c.profile = "Outlook";
        c.items = items({0, 1, 2, 3, 5, 6, 7});
        c.targetFile = archive;
        ASSERT_TRUE(backup.RunBackup(c).written);
        prompter.messages.clear();
    }

    RestoreRunResult restoreInto(const fs::path& prefix, const std::string& profile,
                                 ItemSelection boxes) {
        Environment env(WinePrefix(prefix), prompter);
        env.Discover();
        ZipArchive zip(env.ansi);
        const InspectedArchive inspected =
            InspectBackupFile(env, zip, prompter, passwords, archive);
        EXPECT_TRUE(inspected.accepted);
        RestoreDriver driver(env, zip, prompter, progress);
        RestoreChoices c{profile, boxes};
        c.createProfile = true;
        return driver.RunRestore(inspected, c);
    }
};

} // namespace

TEST_F(NewProfile, AFreshBottleGetsTheProfileAsItsDefault) {
    bottle::Bottle fresh(false);
    {
        Environment env(WinePrefix(fresh.root), prompter);
        env.Discover();
        ASSERT_TRUE(env.session().profiles.empty());
        ASSERT_EQ(env.session().outlookVersion, "16.0");
    }
    const RestoreRunResult r = restoreInto(fresh.root, "Outlook", items({0, 1, 2}));
    ASSERT_TRUE(r.allSucceeded) << (r.failures.empty() ? "" : r.failures.front());

    const fs::path user = fresh.root / "user.reg";
    EXPECT_EQ(blockOf(user, kOutlook16), "\"DefaultProfile\"=\"Outlook\"\n");
    // The backup's profile tree, its accounts among it, under the 2016 key.
    EXPECT_NE(blockOf(user, R"([Software\\Microsoft\\Office\\16.0\\Outlook\\Profiles\\Outlook\\)"
                            R"(9375CFF0413111d3B88A00104B2A6676\\00000001])"),
              "");
    // The data files are in the bottle's Documents (in the home folder), and
    // the profile names them there.
    EXPECT_TRUE(fs::exists(fresh.home / "Documents/Outlook Files/sam@example.com.pst"));
    Environment after(WinePrefix(fresh.root), prompter);
    after.Discover();
    ASSERT_EQ(after.session().profiles, std::vector<std::string>{"Outlook"});
    bool named = false;
    const std::string key = after.session().profilesKey + "\\Outlook";
    for (const auto& section : after.reg.EnumRegSubkeys(key))
        named = named || ReadStorePath(after.reg, key + "\\" + section) ==
                             "C:\\users\\root\\Documents\\Outlook Files\\sam@example.com.pst";
    EXPECT_TRUE(named);
}

TEST_F(NewProfile, AnotherProfileLeavesTheDefaultAsItWas) {
    bottle::Bottle used;
    ASSERT_TRUE(restoreInto(used.root, "Home", items({0})).allSucceeded);
    EXPECT_EQ(blockOf(used.root / "user.reg", kOutlook16), "\"DefaultProfile\"=\"Outlook\"\n");
    Environment after(WinePrefix(used.root), prompter);
    after.Discover();
    EXPECT_EQ(after.session().profiles, (std::vector<std::string>{"Home", "Outlook", "Work"}));
}

TEST_F(NewProfile, ADefaultNamingAProfileThatIsGoneIsReplaced) {
    SamplePrefixCopy outlook2010;
    // Outlook 2010 names its default under the Windows Messaging Subsystem.
    const fs::path user = outlook2010.root / "user.reg";
    std::string text = readWholeFile(user);
    text.replace(text.find("\"DefaultProfile\"=\"Outlook\""), 26, "\"DefaultProfile\"=\"Gone\"");
    std::ofstream(user, std::ios::binary) << text;
    ASSERT_TRUE(restoreInto(outlook2010.root, "Mail", items({0})).allSucceeded);
    EXPECT_NE(blockOf(user, R"([Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows )"
                            R"(Messaging Subsystem\\Profiles])")
                  .find("\"DefaultProfile\"=\"Mail\"\n"),
              std::string::npos);
}

TEST_F(NewProfile, AProfileThatExistsIsNotMadeAgain) {
    bottle::Bottle used;
    const std::string before = readWholeFile(used.root / "user.reg");
    const RestoreRunResult r = restoreInto(used.root, "Work", items({0}));
    EXPECT_FALSE(r.started);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_NE(prompter.messages[0].text.find("there is a profile \"Work\" already"),
              std::string::npos)
        << prompter.messages[0].text;
    EXPECT_EQ(readWholeFile(used.root / "user.reg"), before);
}

TEST_F(NewProfile, ADefaultProfileCalledErrorStaysTheDefault) {
    SamplePrefixCopy outlook2010;
    const fs::path user = outlook2010.root / "user.reg";
    std::string text = readWholeFile(user);
    text.replace(text.find("\"DefaultProfile\"=\"Outlook\""), 26, "\"DefaultProfile\"=\"Error\"");
    text += "\n[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion\\\\Windows Messaging "
            "Subsystem\\\\Profiles\\\\Error] 1710151760\n";
    std::ofstream(user, std::ios::binary) << text;
    ASSERT_TRUE(restoreInto(outlook2010.root, "Mail", items({0})).allSucceeded);
    EXPECT_NE(blockOf(user, R"([Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows )"
                            R"(Messaging Subsystem\\Profiles])")
                  .find("\"DefaultProfile\"=\"Error\"\n"),
              std::string::npos);
}
