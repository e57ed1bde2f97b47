// A Windows disk read through its hives and folders: built with the hive
// fixture tool (hivex writing over a base hive of our own), read by the
// program's hive registry and file root, and never written.
#include "platform/WindowsSource.h"
#include "platform/WinFiles.h"
#include "platform/WindowsPartitionFinder.h"
#include "platform/WindowsRegistry.h"
#include "tools/HiveWriter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;
using namespace trelmig;
using hivefixture::HiveKey;

namespace {

std::vector<unsigned char> wide(const std::u16string& text) {
    std::vector<unsigned char> out;
    for (char16_t c : text) {
        out.push_back(static_cast<unsigned char>(c));
        out.push_back(static_cast<unsigned char>(c >> 8));
    }
    out.push_back(0);
    out.push_back(0);
    return out;
}

std::string bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string text(const std::optional<RegValue>& v) {
    if (!v)
        return "(none)";
    std::string s(v->data.begin(), v->data.end());
    return s.substr(0, s.find('\0'));
}

class WindowsDisk : public ::testing::Test {
protected:
    void SetUp() override {
        char templ[] = "/tmp/trelmig-windows-XXXXXX";
        ASSERT_NE(mkdtemp(templ), nullptr);
        root_ = templ;
        user_ = root_ / "Users" / "Sam";
        fs::create_directories(user_ / "AppData" / "Roaming" / "Microsoft" / "Signatures");
        std::ofstream(user_ / "AppData" / "Roaming" / "Microsoft" / "Signatures" / "Grüße.htm")
            << "<p>Sam</p>";

        HiveKey ntuser;
        HiveKey& profile =
            ntuser.at("Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging "
                      "Subsystem\\Profiles\\Büro\\9375CFF0413111d3B88A00104B2A6676\\00000002");
        profile.values.push_back({"Account Name", 3, wide(u"Büro Müller")});
        profile.values.push_back({"Größe", 1, wide(u"groß")});
        big_.resize(40000);
        for (std::size_t i = 0; i < big_.size(); ++i)
            big_[i] = static_cast<unsigned char>(i * 7 + i / 256);
        profile.values.push_back({"01026641", 3, big_});
        ntuser.at("Software\\Microsoft\\Office\\14.0\\Outlook\\Options\\Mail")
            .values.push_back({"EditorPreference", 4, {0x00, 0x00, 0x02, 0x00}});
        hivefixture::WriteHive(user_ / "NTUSER.DAT", ntuser);

        const fs::path config = root_ / "WINDOWS" / "system32" / "config";
        fs::create_directories(config);
        HiveKey software;
        software.at("Microsoft\\Windows NT\\CurrentVersion")
            .values.push_back({"CurrentVersion", 1, wide(u"6.1")});
        hivefixture::WriteHive(config / "SOFTWARE", software);
        HiveKey system;
        system.at("Select").values.push_back({"Current", 4, {2, 0, 0, 0}});
        system.at("ControlSet001\\Control\\ComputerName\\ComputerName")
            .values.push_back({"ComputerName", 1, wide(u"OLD-PC")});
        system.at("ControlSet002\\Control\\ComputerName\\ComputerName")
            .values.push_back({"ComputerName", 1, wide(u"SAMS-LAPTOP")});
        hivefixture::WriteHive(config / "system", system);
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path root_;
    fs::path user_;
    std::vector<unsigned char> big_;
};

TEST_F(WindowsDisk, HivesReadAsTheRegistryOfThatMachine) {
    const WindowsSource source = WindowsSource::Open(user_, std::nullopt);
    ASSERT_EQ(source.systemDrive, root_); // found above the user folder
    ASSERT_TRUE(source.softwareHive && source.systemHive);
    const std::string ntuserBefore = bytesOf(source.userHive);
    WindowsRegistry reg({source.userHive, source.softwareHive, source.systemHive, "Sam"});

    const std::string section = "software\\microsoft\\WINDOWS NT\\CurrentVersion\\Windows "
                                "Messaging Subsystem\\Profiles\\büro\\"
                                "9375cff0413111d3b88a00104b2a6676\\00000002";
    const auto account = reg.queryValue(RootKey::CurrentUser, section, "account name");
    ASSERT_TRUE(account);
    EXPECT_EQ(account->data, wide(u"Büro Müller")); // binary stays as stored
    EXPECT_EQ(text(reg.queryValue(RootKey::CurrentUser, section, "Größe")), "groß");
    const auto big = reg.queryValue(RootKey::CurrentUser, section, "01026641");
    ASSERT_TRUE(big);
    EXPECT_EQ(big->data, big_);
    EXPECT_EQ(reg.subkeyAt(RootKey::CurrentUser,
                           "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging "
                           "Subsystem\\Profiles",
                           0),
              "Büro");
    EXPECT_FALSE(reg.subkeyAt(RootKey::CurrentUser, section, 0));

    // HKLM from the machine's hives, CurrentControlSet the one Select names.
    EXPECT_EQ(text(reg.queryValue(RootKey::LocalMachine,
                                  "System\\CurrentControlSet\\Control\\ComputerName\\ComputerName",
                                  "ComputerName")),
              "SAMS-LAPTOP");
    EXPECT_EQ(
        text(reg.queryValue(RootKey::LocalMachine,
                            "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "CurrentVersion")),
        "6.1");
    // hivexget, a reader beside ours, reads the same text.
    const std::string command =
        "hivexget '" + source.userHive.string() + "' '\\" + section + "' 'Größe' 2>/dev/null";
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char line[64] = {};
        const bool read = std::fgets(line, sizeof line, pipe) != nullptr;
        if (pclose(pipe) == 0 && read) {
            EXPECT_EQ(std::string(line), "groß\n");
        }
    }
    // What Windows makes at logon.
    EXPECT_EQ(text(reg.queryValue(RootKey::CurrentUser, "Volatile Environment", "USERPROFILE")),
              "C:\\Users\\Sam");

    // Read-only: every change refused, the hive as it was.
    EXPECT_EQ(reg.setValue(RootKey::CurrentUser, section, RegValue{"x", REG_SZ, {'a', 0}}),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(reg.createKey(RootKey::CurrentUser, "Software\\New"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(reg.deleteKey(RootKey::CurrentUser, section), ERROR_ACCESS_DENIED);
    reg.save();
    EXPECT_EQ(bytesOf(source.userHive), ntuserBefore);
    EXPECT_TRUE(WindowsSourceWarnings(source).empty());
}

TEST_F(WindowsDisk, FilesResolveWithoutRegardToCaseAndAreNeverWritten) {
    const WindowsSource source = WindowsSource::Open(user_, std::nullopt);
    WinFiles files(WinFiles::WindowsDisk{source.systemDrive, source.userFolder, "Sam"});
    EXPECT_EQ(files.listFiles("C:\\users\\SAM\\Application Data\\Microsoft\\signatures"),
              std::vector<std::string>{"Grüße.htm"});
    EXPECT_EQ(files.hostPath("C:\\Windows\\System32\\CONFIG\\SOFTWARE"), source.softwareHive);
    EXPECT_FALSE(files.fileExists("D:\\mail.pst"));

    const std::string signature =
        "C:\\Users\\Sam\\AppData\\Roaming\\Microsoft\\Signatures\\Grüße.htm";
    EXPECT_TRUE(files.fileExists(signature));
    EXPECT_FALSE(files.hostPathForWriting(signature));
    EXPECT_FALSE(files.openForWriting(signature).is_open());
    EXPECT_FALSE(files.deleteFile(signature));
    EXPECT_FALSE(files.createFolder("C:\\Users\\Sam\\New"));
    EXPECT_TRUE(files.fileExists(signature));
    EXPECT_FALSE(fs::exists(user_ / "New"));

    // A copied user folder with no partition beside it.
    const fs::path copy = root_ / "stick" / "Umzug" / "Sam";
    fs::create_directories(copy.parent_path());
    fs::copy(user_, copy, fs::copy_options::recursive);
    const WindowsSource alone = WindowsSource::Open(copy, std::nullopt);
    EXPECT_FALSE(alone.systemDrive);
    EXPECT_THROW(WindowsSource::Open(copy, root_ / "stick"), std::runtime_error);
    EXPECT_THROW(WindowsSource::Open(root_ / "Users", std::nullopt), std::runtime_error);
}

TEST_F(WindowsDisk, DirtyHiveIsReadAsItIsWithAWarningThatSaysWhyAndHowToFixIt) {
    hivefixture::MakeDirty(user_ / "NTUSER.DAT");
    const WindowsSource source = WindowsSource::Open(user_, std::nullopt);
    EXPECT_TRUE(HiveSequenceDiffers(source.userHive));
    const std::vector<std::string> warnings = WindowsSourceWarnings(source);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("NTUSER.DAT"), std::string::npos) << warnings[0];
    EXPECT_NE(warnings[0].find("sequence numbers differ"), std::string::npos) << warnings[0];
    EXPECT_NE(warnings[0].find("NTUSER.DAT.LOG1 is newer"), std::string::npos) << warnings[0];
    EXPECT_NE(warnings[0].find("Fast Startup"), std::string::npos) << warnings[0];
    EXPECT_NE(warnings[0].find("shut it down fully"), std::string::npos) << warnings[0];

    WindowsRegistry reg({source.userHive, source.softwareHive, source.systemHive, "Sam"});
    EXPECT_TRUE(reg.keyExists(RootKey::CurrentUser, "Software\\Microsoft\\Office\\14.0\\Outlook"));
}

} // namespace

namespace {

TEST_F(WindowsDisk, MountedPartitionsShowTheUserFoldersTheyHold) {
    // The accounts every Windows has are no one's Outlook.
    fs::create_directories(root_ / "Users" / "Default");
    fs::copy_file(user_ / "NTUSER.DAT", root_ / "Users" / "Default" / "NTUSER.DAT");
    fs::create_directories(root_ / "Users" / "Public");
    const fs::path media = root_ / "media";
    fs::create_directories(media / "USB-STICK" / "Users" / "Sam");
    fs::create_directory_symlink(root_, media / "OS");

    const auto found = FindWindowsUsers({media, root_ / "no such place"});
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].userFolder, media / "OS" / "Users" / "Sam");
    EXPECT_EQ(found[0].partition, media / "OS");
    // A partition mounted at the place itself counts too.
    EXPECT_EQ(FindWindowsUsers({root_}).size(), 1u);
}

} // namespace
