// Restores between prefixes made here by hand, as a user's would be: an
// Outlook 2016 profile of a CrossOver bottle (user "crossover") restored
// into the "Work" profile of a prefix whose user is "jonas" and whose other
// profiles use Outlook's default data file paths. The restored profile is
// read back without the program's registry code, and by Wine's "reg query"
// where Wine is installed.
#include "HandMadePrefix.h"
#include "RegistryFileReader.h"
#include "RestoreFixture.h"
#include "RunShell.h"
#include "platform/RealWineserver.h"
#include "platform/ScopedEnv.h"
#include "restore/RestoreConfirmation.h"

#include <algorithm>
#include <cctype>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace trelmig;

namespace {

const std::string kProfiles = "Software\\Microsoft\\Office\\16.0\\Outlook\\Profiles";
const std::string kAccounts = "9375CFF0413111d3B88A00104B2A6676";

// A store section naming a data file, as Outlook 2016 writes one.
void store(HandMadePrefix& p, const std::string& profile, const std::string& section,
           const std::string& path, bool unicodeEntryId) {
    const std::string key = kProfiles + "\\" + profile + "\\" + section;
    p.binary(key, "00033009", {0, 0, 0, 0});
    p.binary(key, "001f3001", HandMadePrefix::wide(path.substr(path.rfind('\\') + 1)));
    p.binary(key, "001f6700", HandMadePrefix::wide(path));
    p.binary(key, "01020fff", HandMadePrefix::storeEntryId(path, unicodeEntryId));
}

// An account delivering into the store of that path.
void account(HandMadePrefix& p, const std::string& profile, const std::string& number,
             const std::string& address, const std::string& deliveryStore, bool unicode) {
    const std::string key = kProfiles + "\\" + profile + "\\" + kAccounts + "\\" + number;
    p.binary(key, "Account Name", HandMadePrefix::wide(address));
    p.text(key, "clsid", "{ED475411-B0D6-11D2-8C3B-00104B2A6676}");
    p.binary(key, "Delivery Store EntryID", HandMadePrefix::storeEntryId(deliveryStore, unicode));
    // A folder entry identifier: flags, the store's record key, a node id.
    p.binary(key, "Delivery Folder EntryID",
             {0,    0,    0,    0,    0x6c, 0x1f, 0x2a, 0x9e, 0x51, 0x33, 0x48, 0x0b,
              0x92, 0x4d, 0xe1, 0x07, 0xaa, 0x3c, 0x55, 0x21, 0x22, 0x80, 0x00, 0x00});
    p.binary(key, "POP3 Server",
             HandMadePrefix::wide("pop." + address.substr(address.find('@') + 1)));
    p.binary(kProfiles + "\\" + profile + "\\" + kAccounts, "LastChangeVer",
             {3, 0, 0, 0, 0, 0, 0, 0});
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// The host file a Windows path of the prefix names (C: only; links followed).
fs::path hostFile(const fs::path& prefix, const std::string& windowsPath) {
    std::string rest = windowsPath.substr(3);
    std::replace(rest.begin(), rest.end(), '\\', '/');
    return prefix / "drive_c" / rest;
}

bool holds(const std::vector<unsigned char>& bytes, const std::string& ascii) {
    const std::string narrow(bytes.begin(), bytes.end());
    std::string wide;
    for (char c : ascii) {
        wide += c;
        wide += '\0';
    }
    return lower(narrow).find(lower(ascii)) != std::string::npos ||
           lower(narrow).find(lower(wide)) != std::string::npos;
}

} // namespace

class ProfileDataFiles : public ::testing::Test {
protected:
    HandMadePrefix source{"crossover", false};
    HandMadePrefix target{"jonas"};
    // Wine links the user folders into the user's home.
    ScopedEnv home{"HOME", target.home.string()};
    RecordingPrompter prompter;
    SilentProgress progress;
    std::string archive = (source.work.path() / "outlook.kvx").string();

    void SetUp() override {
        // The bottle: one profile, two .pst files and an IMAP .ost.
        const std::string docs = source.windowsUserFolder() + "\\Documents\\Outlook Files\\";
        const std::string local =
            source.windowsUserFolder() + "\\AppData\\Local\\Microsoft\\Outlook\\";
        store(source, "Outlook", "5a0e2f7c1b3d4e8f9a6b7c8d9e0f1a2b", docs + "jonas@example.com.pst",
              true);
        store(source, "Outlook", "6b1f3a8d2c4e5f9a0b7c8d9e0f1a2b3c", docs + "Archive.pst", false);
        store(source, "Outlook", "7c2a4b9e3d5f6a0b1c8d9e0f1a2b3c4d",
              local + "jonas@imap.example.net.ost", true);
        account(source, "Outlook", "00000001", "jonas@example.com", docs + "jonas@example.com.pst",
                true);
        account(source, "Outlook", "00000002", "jonas@imap.example.net",
                local + "jonas@imap.example.net.ost", false);
        source.binary(kProfiles + "\\Outlook\\0a0d020000000000c000000000000046", "01023d15",
                      HandMadePrefix::storeEntryId(docs + "jonas@example.com.pst", true));
        source.writeRegistry();
        source.file("Documents/Outlook Files/jonas@example.com.pst", "mail of the bottle");
        source.file("Documents/Outlook Files/Archive.pst", "archive of the bottle");
        source.file("AppData/Local/Microsoft/Outlook/jonas@imap.example.net.ost", "imap cache");

        // The machine restored into: three profiles with default paths.
        const std::string tdocs = target.windowsUserFolder() + "\\Documents\\Outlook Files\\";
        store(target, "Outlook", "0f9e8d7c6b5a49382716a5b4c3d2e1f0",
              tdocs + "jonas@example.com.pst", true);
        store(target, "Outlook", "1e0d9c8b7a6f5e4d3c2b1a0f9e8d7c6b", tdocs + "Archive.pst", true);
        account(target, "Outlook", "00000001", "jonas@example.com", tdocs + "jonas@example.com.pst",
                true);
        store(target, "Work", "2d1c0b9a8f7e6d5c4b3a29180f7e6d5c",
              tdocs + "jonas@work.example.org.pst", true);
        account(target, "Work", "00000001", "jonas@work.example.org",
                tdocs + "jonas@work.example.org.pst", true);
        store(target, "Home", "3c2b1a09f8e7d6c5b4a3928170f6e5d4", tdocs + "Archive.pst", false);
        target.writeRegistry();
        target.file("Documents/Outlook Files/jonas@example.com.pst", "this machine's mail");
        target.file("Documents/Outlook Files/Archive.pst", "this machine's archive");
        target.file("Documents/Outlook Files/jonas@work.example.org.pst", "work mail");
    }

    void backUp() {
        Environment from(WinePrefix(source.root), prompter);
        from.Discover();
        ZipArchive writer(from.ansi);
        BackupDriver driver(from, writer, prompter, progress);
        BackupChoices c;
        c.profile = "Outlook";
        c.items = items({0, 1});
        c.targetFile = archive;
        ASSERT_TRUE(driver.RunBackup(c).written) << prompter.messages.back().text;
    }

    // The target's environment with the backup inspected.
    void inspect() {
        env = std::make_unique<Environment>(WinePrefix(target.root), prompter);
        env->Discover();
        ASSERT_EQ(env->session().outlookVersion, "16.0");
        zip = std::make_unique<ZipArchive>(env->ansi);
        FixedPassword none;
        inspected = InspectBackupFile(*env, *zip, prompter, none, archive);
        ASSERT_TRUE(inspected.accepted);
    }

    void backUpAndRestoreIntoWork() {
        ASSERT_NO_FATAL_FAILURE(backUp());
        ASSERT_NO_FATAL_FAILURE(inspect());
        RestoreDriver driver(*env, *zip, prompter, progress);
        ASSERT_TRUE(driver.RunRestore(inspected, {"Work", items({0, 1})}).allSucceeded)
            << prompter.messages.back().text;
        env.reset();
    }

    std::unique_ptr<Environment> env;
    std::unique_ptr<ZipArchive> zip;
    InspectedArchive inspected;
};

// The question before the restore names the profile and the files that
// will be replaced: none of another profile's.
TEST_F(ProfileDataFiles, TheConfirmationNamesTheProfileAndTheFilesReplaced) {
    ASSERT_NO_FATAL_FAILURE(backUp());
    ASSERT_NO_FATAL_FAILURE(inspect());
    const std::string intoWork =
        RestoreConfirmationText(*env, *zip, inspected, {"Work", items({0, 1})});
    EXPECT_NE(intoWork.find("\r\nProfile: Work\r\n"), std::string::npos) << intoWork;
    EXPECT_NE(intoWork.find("No data file will be replaced."), std::string::npos) << intoWork;
    // Nothing is said to be replaced that is not: the messages stay in their files.
    EXPECT_TRUE(intoWork.starts_with("The chosen items of the profile will be replaced with those "
                                     "from the selected backup file.\r\n\r\nProfile: Work"))
        << intoWork;
    const std::string accountsOnly =
        RestoreConfirmationText(*env, *zip, inspected, {"Outlook", items({1})});
    EXPECT_TRUE(accountsOnly.starts_with("The chosen items of the profile will be replaced"))
        << accountsOnly;
    EXPECT_TRUE(intoWork.ends_with("\r\n\r\nDo you want to continue?")) << intoWork;

    const std::string intoOutlook =
        RestoreConfirmationText(*env, *zip, inspected, {"Outlook", items({0, 1})});
    EXPECT_TRUE(intoOutlook.starts_with("Your current Email and News messages will be replaced"))
        << intoOutlook;
    // Archive.pst is the "Home" profile's too: it is not replaced.
    EXPECT_NE(intoOutlook.find("These files will be replaced:\r\n    C:\\users\\jonas\\Documents\\"
                               "Outlook Files\\jonas@example.com.pst\r\n\r\nDo you"),
              std::string::npos)
        << intoOutlook;
}

// The other profiles keep their files and their registry trees; the
// restored profile gets files of its own beside them.
TEST_F(ProfileDataFiles, ARestoreNeverWritesOverADataFileAnotherProfileNames) {
    const auto before = readHexValues(target.root / "user.reg");
    ASSERT_NO_FATAL_FAILURE(backUpAndRestoreIntoWork());
    const fs::path folder = target.home / "Documents/Outlook Files";
    EXPECT_EQ(readWholeFile(folder / "jonas@example.com.pst"), "this machine's mail");
    EXPECT_EQ(readWholeFile(folder / "Archive.pst"), "this machine's archive");
    EXPECT_EQ(readWholeFile(folder / "jonas@example.com (Work).pst"), "mail of the bottle");
    EXPECT_EQ(readWholeFile(folder / "Archive (Work).pst"), "archive of the bottle");
    EXPECT_EQ(readWholeFile(target.userFolder() /
                            "AppData/Local/Microsoft/Outlook/jonas@imap.example.net.ost"),
              "imap cache");

    const auto after = readHexValues(target.root / "user.reg");
    for (const std::string profile : {"Outlook", "Home"})
        for (const auto& [key, values] : before)
            if (key.starts_with(kProfiles + "\\" + profile + "\\")) {
                ASSERT_TRUE(after.contains(key)) << key;
                EXPECT_EQ(after.at(key), values) << key;
            }

    std::vector<std::string> named;
    for (const auto& [key, values] : after)
        if (key.starts_with(kProfiles + "\\Work\\") && values.contains("01020fff"))
            named.push_back(HandMadePrefix::storeEntryIdPath(values.at("01020fff")));
    std::sort(named.begin(), named.end());
    EXPECT_EQ(
        named,
        (std::vector<std::string>{
            "C:\\users\\jonas\\AppData\\Local\\Microsoft\\Outlook\\jonas@imap.example.net.ost",
            "C:\\users\\jonas\\Documents\\Outlook Files\\Archive (Work).pst",
            "C:\\users\\jonas\\Documents\\Outlook Files\\jonas@example.com (Work).pst"}));
}

// Every value of the restored profile that carries a store entry identifier
// or a data file path (the accounts' delivery stores among them) names a
// restored file, and nothing names the bottle's paths any more.
TEST_F(ProfileDataFiles, AccountsDeliverIntoTheRestoredDataFiles) {
    ASSERT_NO_FATAL_FAILURE(backUpAndRestoreIntoWork());
    const auto keys = readHexValues(target.root / "user.reg");
    std::vector<std::string> stores;
    for (const auto& [key, values] : keys)
        if (key.starts_with(kProfiles + "\\Work\\") && values.contains("01020fff"))
            stores.push_back(lower(HandMadePrefix::storeEntryIdPath(values.at("01020fff"))));
    for (const auto& [key, values] : keys) {
        if (!key.starts_with(kProfiles + "\\Work\\"))
            continue;
        for (const auto& [name, bytes] : values)
            EXPECT_FALSE(holds(bytes, "users\\crossover")) << key << " " << name;
    }
    for (const std::string number : {"00000001", "00000002"}) {
        const std::string key = kProfiles + "\\Work\\" + kAccounts + "\\" + number;
        ASSERT_TRUE(keys.contains(key) && keys.at(key).contains("Delivery Store EntryID")) << key;
        const std::string delivery =
            HandMadePrefix::storeEntryIdPath(keys.at(key).at("Delivery Store EntryID"));
        EXPECT_NE(std::find(stores.begin(), stores.end(), lower(delivery)), stores.end())
            << key << " delivers into " << delivery;
        EXPECT_TRUE(fs::is_regular_file(hostFile(target.root, delivery))) << delivery;
    }

    // Wine itself reads the restored account's delivery store.
    const char* wine = access("/usr/lib/wine/wine64", X_OK) == 0 ? "/usr/lib/wine/wine64"
                       : access("/usr/bin/wine64", X_OK) == 0    ? "/usr/bin/wine64"
                                                                 : nullptr;
    if (!wine)
        GTEST_SKIP() << "Wine is not installed";
    const std::string env = "WINEPREFIX='" + target.root.string() +
                            "' WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' timeout 300 ";
    const std::string out = RunShell(env + wine + " reg query 'HKCU\\" + kProfiles + "\\Work\\" +
                                     kAccounts + "\\00000001' /v 'Delivery Store EntryID'")
                                .output;
    if (const auto server = RealWineserver::program())
        RunShell("WINEPREFIX='" + target.root.string() + "' " + *server + " -k");
    std::string hex;
    for (char c :
         std::string("C:\\users\\jonas\\Documents\\Outlook Files\\jonas@example.com (Work).pst")) {
        char byte[8];
        std::snprintf(byte, sizeof byte, "%02X00", static_cast<unsigned char>(c));
        hex += byte;
    }
    EXPECT_NE(out.find(hex + "0000"), std::string::npos) << out;
}
