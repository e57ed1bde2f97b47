#include "RestoreFixture.h"

#include "registry/RegistryBinary.h"
#include "registry/RegistryText.h"

#include "platform/Utf.h"

#include <cstdlib>

namespace fs = std::filesystem;
using namespace trelmig;

namespace {

std::uint64_t fnv1a(const std::string& bytes) {
    std::uint64_t h = 1469598103934665603ull;
    for (unsigned char c : bytes)
        h = (h ^ c) * 1099511628211ull;
    return h;
}

// What a restore leaves behind, as text: the target profile's registry tree,
// the data file paths in it, and the files of every item folder.
std::string describe(Environment& env, const std::string& profile) {
    std::string out;
    const std::string key = env.session.strProfilesKey + "\\" + profile;
    const std::string exported = env.session.strProgramFolder + "/describe.txt";
    ExportRegTree(env.reg, key, "", exported);
    std::string text = env.ansi.toUtf8(readWholeFile(exported));
    fs::remove(exported);
    for (std::size_t pos = 0; (pos = text.find("\r\n", pos)) != std::string::npos;)
        text.erase(pos, 1);
    out += "[registry " + key + "]\n" + text;

    out += "[data file paths]\n";
    for (const auto& section : env.reg.EnumRegSubkeys(key)) {
        const std::string sk = key + "\\" + section;
        const std::string path = ReadStorePath(env.reg, sk);
        if (path != kRegError)
            out += section + " 01020fff " + path + "\n";
        // 001f6700 is the bare path in UTF-16.
        if (auto v = env.registry.queryValue(RootKey::CurrentUser, sk.substr(18), "001f6700")) {
            std::u16string text = utf16FromLeBytes(v->data);
            std::erase(text, u'\0');
            out += section + " 001f6700 " + utf16ToUtf8(text) + "\n";
        }
        for (const char* gone : {"001e6700", "1102039b", "001e023d"})
            if (env.registry.queryValue(RootKey::CurrentUser, sk.substr(18), gone))
                out += section + " " + gone + " still present\n";
    }
    const std::string p = env.session.strUserProfile;
    for (const std::string& folder :
         {p + "\\AppData\\Local\\Microsoft\\Outlook", p + "\\AppData\\Roaming\\Microsoft\\Outlook",
          p + "\\AppData\\Roaming\\Microsoft\\Signatures",
          p + "\\AppData\\Roaming\\Microsoft\\Templates",
          std::string("C:\\Program Files\\Common Files\\microsoft shared\\Stationery")}) {
        out += "[files " + folder + "]\n";
        for (const auto& name : env.files.listFiles(folder)) {
            const std::string content = env.files.readFile(folder + "\\" + name).value_or("");
            char hash[32];
            std::snprintf(hash, sizeof hash, "%016llx",
                          static_cast<unsigned long long>(fnv1a(content)));
            out += name + " " + std::to_string(content.size()) + " " + hash + "\n";
        }
    }
    return out;
}

// Makes the source look like another machine: its data files in "C:\Old
// Mail", the profile's paths saying so, and the values a restore must drop.
void moveSourceDataFiles(SamplePrefixCopy& source, RecordingPrompter& prompter) {
    Environment env(WinePrefix(source.root), prompter);
    env.Discover();
    const fs::path from = source.userFolder() / "AppData/Local/Microsoft/Outlook";
    fs::create_directories(source.driveC() / "Old Mail");
    const std::string key = env.session.strProfilesKey + "\\Outlook";
    for (const char* name : {"Outlook.pst", "Archive.pst"}) {
        fs::rename(from / name, source.driveC() / "Old Mail" / name);
        const std::string oldPath =
            "C:\\users\\sam\\AppData\\Local\\Microsoft\\Outlook\\" + std::string(name);
        const std::string newPath = "C:\\Old Mail\\" + std::string(name);
        for (const auto& section : env.reg.EnumRegSubkeys(key))
            for (const char* value : {"01020fff", "001f6700"})
                ReplaceInRegBinary(env.reg, key + "\\" + section, value, oldPath, newPath);
    }
    const std::string services = key + "\\0a0d020000000000c000000000000046";
    env.reg.WriteRegString(services, "001e023d", "C:\\Old Mail\\Outlook.pst");
    env.registry.setValue(RootKey::CurrentUser, services.substr(18),
                          {"1102039b", REG_BINARY, {1, 2, 3, 4}});
    env.registry.save();
    EXPECT_EQ(ReadRegBinaryPath(env.reg, key + "\\525b6f3465793fe3f7012e8f73a3ca52", "01020fff"),
              "C:\\Old Mail\\Outlook.pst");
}

} // namespace

// Sample prefix -> backup of "Outlook" -> restore into "Work" of a fresh copy:
// the result is compared with a committed description of what it must be.
TEST_F(RestoreFixture, EverythingRestoredIntoAnotherProfileMatchesTheExpectedFixture) {
    moveSourceDataFiles(source, prompter);
    backUp(items({0, 1, 2, 3, 5, 6, 7}), "secret");
    passwords.password = "secret";
    // The target's own data files are older versions of the same names.
    std::ofstream(target.userFolder() / "AppData/Local/Microsoft/Outlook/Outlook.pst") << "old";
    ASSERT_TRUE(inspect(archive).accepted);
    const RestoreRunResult r = restore(items({0, 1, 2, 3, 5, 6, 7}));
    EXPECT_TRUE(r.allSucceeded) << prompter.messages.back().text;
    EXPECT_EQ(prompter.messages.back().text, "The Restore was Completed!\t\t\t\r\n"
                                             "\r\nRestore Personal Folders\t\tsucceeded!\t"
                                             "\r\nRestore Accounts Settings\t\tsucceeded!\t"
                                             "\r\nRestore Signatures\t\t\tsucceeded!\t"
                                             "\r\nRestore Stationeries\t\t\tsucceeded!\t"
                                             "\r\nRestore Options Settings\t\tsucceeded!\t"
                                             "\r\nRestore Templates\t\t\tsucceeded!\t"
                                             "\r\nRestore Preferences\t\t\tsucceeded!\t");

    // Read back from the files, as Wine would.
    Environment after(WinePrefix(target.root), prompter);
    after.Discover();
    const std::string actual = describe(after, "Work");
    const fs::path expectedFile =
        fs::path(TRELMIG_FIXTURES_DIR) / "restore" / "sample-outlook-into-work.txt";
    if (std::getenv("TRELMIG_UPDATE_EXPECTED")) {
        fs::create_directories(expectedFile.parent_path());
        std::ofstream(expectedFile, std::ios::binary) << actual;
    }
    EXPECT_EQ(actual, readWholeFile(expectedFile));
}

TEST_F(RestoreFixture, OnlyAccountsRunsTheProfileAndAccountsSteps) {
    backUp(items({0, 1}));
    ASSERT_TRUE(inspect(archive).accepted);
    const RestoreRunResult r = restore(items({1}));
    EXPECT_EQ(r.log, "\r\nRestore Accounts Settings\t\tsucceeded!\t");
    EXPECT_EQ(prompter.messages.back().text,
              "The Restore was Completed!\t\t\t\r\n\r\nRestore Accounts Settings\t\tsucceeded!\t");
}

TEST_F(RestoreFixture, WithNoLoggedStepTheMessageEndsAfterTheLineBreak) {
    backUp(items({1})); // holds the profile and the accounts
    ASSERT_TRUE(inspect(archive).accepted);
    // Box 4 is not held, but it makes the profile step run; nothing is logged.
    env->session.strBackupItems = "1000000000";
    restore(items({4}));
    EXPECT_EQ(prompter.messages.back().text, "The Restore was Completed!\t\t\t\r\n");
}

TEST_F(RestoreFixture, RestoreNeedsAnInspectedFileAndATickedBox) {
    openTarget();
    EXPECT_FALSE(restore(items({0})).started);
    EXPECT_EQ(prompter.messages.back().text, "Invalid backup file.");
    backUp(items({6}));
    ASSERT_TRUE(inspect(archive).accepted);
    EXPECT_FALSE(restore(items({})).started);
    EXPECT_EQ(prompter.messages.back().text, "Please select at least one item.");
}
