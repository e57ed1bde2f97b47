#include "platform/WineRegistry.h"
#include "platform/WorkFolder.h"

#include "WineServerLock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using namespace trelmig;

namespace {

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::uint8_t> bytes(std::string_view s) {
    return {s.begin(), s.end()};
}

// A prefix holding copies of the registry files Wine 8.0 wrote.
struct FixturePrefix {
    WorkFolder work;
    fs::path root = work.path() / "prefix";
    FixturePrefix() {
        fs::create_directories(root);
        for (const char* f : {"user.reg", "system.reg", "userdef.reg"})
            fs::copy_file(fs::path(TRELMIG_FIXTURES_DIR) / "wine-8.0" / f, root / f);
    }
    WinePrefix prefix() const { return WinePrefix(root); }
};

const std::string kProfile =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem\\Profiles\\"
    "Outlook\\9207f3e0a3b11019908b08002b2a56c2";

} // namespace

TEST(WineRegistry, ReadsValuesOfEveryKindWithoutRegardToCase) {
    FixturePrefix fx;
    WineRegistry reg(fx.prefix());
    const std::string key = "software\\MICROSOFT\\windows nt\\currentversion\\windows messaging "
                            "subsystem\\profiles\\OUTLOOK\\9207F3E0A3B11019908B08002B2A56C2";
    ASSERT_TRUE(reg.keyExists(RootKey::CurrentUser, key));

    auto v = reg.queryValue(RootKey::CurrentUser, key, "QUOTE");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->name, "Quote");
    EXPECT_EQ(v->type, REG_SZ);
    EXPECT_EQ(v->data, bytes(std::string("he said \"hi\"\0", 13)));

    EXPECT_EQ(reg.queryValue(RootKey::CurrentUser, key, "NonAscii")->data,
              bytes(std::string("caf\xc3\xa9 \xe4\xb8\xad\xe6\x96\x87 x\0", 15)));
    EXPECT_EQ(reg.queryValue(RootKey::CurrentUser, key, "MultiSz")->type, REG_MULTI_SZ);
    EXPECT_EQ(reg.queryValue(RootKey::CurrentUser, key, "QwordVal")->data,
              (std::vector<std::uint8_t>{0xef, 0xcd, 0xab, 0x89, 0x67, 0x45, 0x23, 0x01}));
    EXPECT_EQ(reg.queryValue(RootKey::CurrentUser, key, "EmptyBinary")->data.size(), 0u);
    EXPECT_FALSE(reg.queryValue(RootKey::CurrentUser, key, "NoSuchValue"));

    // Enumeration by index in the file's order.
    EXPECT_EQ(reg.valueAt(RootKey::CurrentUser, key, 0)->name, "001e6600");
    EXPECT_FALSE(reg.valueAt(RootKey::CurrentUser, key, 1000));
    EXPECT_EQ(reg.subkeyAt(RootKey::CurrentUser, "Software\\SampleKeys\\Sort", 0), "[br");
    EXPECT_EQ(reg.subkeyAt(RootKey::CurrentUser, "Software\\SampleKeys\\Sort", 7), "~tilde");
    EXPECT_FALSE(reg.subkeyAt(RootKey::CurrentUser, "Software\\SampleKeys\\Sort", 8));

    // The machine, the default user, the merged classes.
    EXPECT_TRUE(reg.keyExists(RootKey::LocalMachine,
                              "System\\CurrentControlSet\\Control\\ComputerName\\ComputerName"));
    EXPECT_TRUE(reg.keyExists(RootKey::Users, ".Default\\Software\\Microsoft"));
    EXPECT_TRUE(reg.keyExists(RootKey::Users, "S-1-5-21-0-0-0-1000\\Software\\SampleKeys"));
    EXPECT_EQ(reg.subkeyAt(RootKey::Users, "", 0), ".Default");
    EXPECT_TRUE(reg.keyExists(RootKey::ClassesRoot, "CLSID"));
    EXPECT_FALSE(reg.keyExists(RootKey::PerformanceData, ""));
}

TEST(WineRegistry, ChangesSavedAndReadBackKeepEveryValueAndType) {
    FixturePrefix fx;
    const std::string systemBefore = readFile(fx.root / "system.reg");
    const std::vector<RegValue> values = {
        {"", REG_SZ, bytes(std::string("default\0", 8))},
        {"Text", REG_SZ, bytes(std::string("C:\\users\\sam\\Outlook.pst\0", 25))},
        {"Expand", REG_EXPAND_SZ, bytes(std::string("%USERPROFILE%\\x\0", 17))},
        {"Multi", REG_MULTI_SZ, bytes(std::string("a\0b\0\0", 5))},
        {"Binary", REG_BINARY, {0, 1, 0xff, 0x0a}},
        {"Empty", REG_BINARY, {}},
        {"Dword", REG_DWORD, {0xff, 0xff, 0xff, 0xff}},
        {"Qword", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8}},
        {"Unterminated", REG_SZ, bytes("AB")},
        {"Gr\xc3\xbc\xc3\x9f"
         "e",
         REG_SZ, bytes(std::string("\xe4\xb8\xad\0", 4))},
    };
    {
        WineRegistry reg(fx.prefix());
        ASSERT_EQ(reg.createKey(RootKey::CurrentUser, "Software\\Trelmig\\New Key=1\\Deep"),
                  ERROR_SUCCESS);
        for (const auto& v : values)
            ASSERT_EQ(reg.setValue(RootKey::CurrentUser, "Software\\Trelmig\\New Key=1", v),
                      ERROR_SUCCESS);
        ASSERT_EQ(reg.deleteValue(RootKey::CurrentUser, kProfile, "Tab"), ERROR_SUCCESS);
        EXPECT_EQ(reg.deleteKey(RootKey::CurrentUser, "Software\\Trelmig\\New Key=1"),
                  ERROR_ACCESS_DENIED); // still has a subkey
        EXPECT_EQ(reg.setValue(RootKey::CurrentUser, "Software\\Missing", values[1]),
                  ERROR_FILE_NOT_FOUND);
        reg.save();
    }
    // Only the changed file was written.
    EXPECT_EQ(readFile(fx.root / "system.reg"), systemBefore);

    WineRegistry again(fx.prefix());
    for (std::size_t i = 0; i < values.size(); ++i) {
        auto v =
            again.queryValue(RootKey::CurrentUser, "Software\\Trelmig\\New Key=1", values[i].name);
        ASSERT_TRUE(v) << values[i].name;
        EXPECT_EQ(v->type, values[i].type) << values[i].name;
        EXPECT_EQ(v->data, values[i].data) << values[i].name;
    }
    EXPECT_TRUE(again.keyExists(RootKey::CurrentUser, "Software\\Trelmig\\New Key=1\\Deep"));
    EXPECT_FALSE(again.queryValue(RootKey::CurrentUser, kProfile, "Tab"));
    EXPECT_TRUE(again.queryValue(RootKey::CurrentUser, kProfile, "Quote"));
    // What was saved is what is read back and written again.
    const std::string user = readFile(fx.root / "user.reg");
    EXPECT_EQ(formatWineRegistry(parseWineRegistry(user, "user.reg")), user);
    EXPECT_NE(user.find("\"Unterminated\"=hex(1):41,00,42,00\n"), std::string::npos);
}

TEST(WineRegistry, NewKeysAndValuesTakeWinesSortedPlaces) {
    FixturePrefix fx;
    WineRegistry reg(fx.prefix());
    reg.createKey(RootKey::CurrentUser, "Software\\SampleKeys\\Sort\\AA0");
    reg.setValue(RootKey::CurrentUser, "Software\\SampleKeys\\WithClass",
                 {"b", REG_DWORD, {1, 0, 0, 0}});
    std::vector<std::string> names;
    for (std::size_t i = 0;
         auto n = reg.subkeyAt(RootKey::CurrentUser, "Software\\SampleKeys\\Sort", i); ++i)
        names.push_back(*n);
    EXPECT_EQ(names, (std::vector<std::string>{"[br", "_under", "a", "aa", "AA0", "Ab", "B", "Zed",
                                               "~tilde"}));
    EXPECT_EQ(reg.valueAt(RootKey::CurrentUser, "Software\\SampleKeys\\WithClass", 3)->name, "b");
}

TEST(WineRegistry, SaveRefusesWhenTheFileChangedOnDisk) {
    FixturePrefix fx;
    WineRegistry reg(fx.prefix());
    reg.setValue(RootKey::CurrentUser, "Software\\HandEdited", {"x", REG_DWORD, {1, 0, 0, 0}});
    std::ofstream(fx.root / "user.reg", std::ios::app) << "\n[Software\\\\ByWine] 1\n";
    const std::string onDisk = readFile(fx.root / "user.reg");
    EXPECT_THROW(reg.save(), RegistryError);
    EXPECT_EQ(readFile(fx.root / "user.reg"), onDisk);
    for (const auto& e : fs::directory_iterator(fx.root))
        EXPECT_EQ(e.path().filename().string().find(".user.reg."), std::string::npos)
            << "temporary file left behind";
}

TEST(WineRegistry, ASaveRemovesTheNewVersionsAKilledSaveLeftBehind) {
    FixturePrefix fx;
    std::ofstream(fx.root / ".user.reg.trelmig-Ab12Cd") << "half a registry file";
    std::ofstream(fx.root / ".user.reg.trelmig-notes.txt") << "not ours";
    std::ofstream(fx.root / ".system.reg.trelmig-Zz99zz") << "another file's";
    WineRegistry reg(fx.prefix());
    reg.createKey(RootKey::CurrentUser, "Software\\Trelmig");
    reg.setValue(RootKey::CurrentUser, "Software\\Trelmig", {"x", REG_DWORD, {1, 0, 0, 0}});
    reg.save();
    ASSERT_NE(readFile(fx.root / "user.reg").find("Trelmig"), std::string::npos);
    EXPECT_FALSE(fs::exists(fx.root / ".user.reg.trelmig-Ab12Cd"));
    EXPECT_TRUE(fs::exists(fx.root / ".user.reg.trelmig-notes.txt"));
    // system.reg was not saved: its leftover waits for its own next save.
    EXPECT_TRUE(fs::exists(fx.root / ".system.reg.trelmig-Zz99zz"));
}

TEST(WineRegistry, RevertDropsUnsavedChanges) {
    FixturePrefix fx;
    WineRegistry reg(fx.prefix());
    reg.deleteValue(RootKey::CurrentUser, kProfile, "Quote");
    reg.createKey(RootKey::LocalMachine, "Software\\Trelmig");
    reg.revert();
    EXPECT_TRUE(reg.queryValue(RootKey::CurrentUser, kProfile, "Quote"));
    EXPECT_FALSE(reg.keyExists(RootKey::LocalMachine, "Software\\Trelmig"));
    EXPECT_FALSE(reg.hasUnsavedChanges());
}

TEST(WineRegistry, MalformedFileIsAnErrorNamingFileAndLine) {
    FixturePrefix fx;
    std::ofstream(fx.root / "userdef.reg", std::ios::app) << "\n[Broken] 1\nnot a value\n";
    try {
        WineRegistry reg(fx.prefix());
        FAIL() << "loaded a malformed file";
    } catch (const RegistryError& e) {
        EXPECT_NE(std::string(e.what()).find("userdef.reg:"), std::string::npos) << e.what();
    }
}

TEST(WineRegistry, LinksLeadingInACircleEndTheLookup) {
    // user.reg's links: Loop to itself, A to B and B back to A.
    auto link = [](const std::string& key, const std::string& target) {
        std::string hex;
        for (char c : "\\Registry\\User\\S-1-5-21-0-0-0-1000\\Software\\" + target) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "%s%02x,00", hex.empty() ? "" : ",",
                          static_cast<unsigned char>(c));
            hex += buf;
        }
        return "\n[Software\\\\" + key + "] 1\n#link\n\"SymbolicLinkValue\"=hex(6):" + hex + "\n";
    };
    FixturePrefix fx;
    std::ofstream(fx.root / "user.reg", std::ios::app)
        << link("Loop", "Loop") << link("A", "B") << link("B", "A") << link("Good", "SampleKeys");
    WineRegistry reg(fx.prefix());
    for (const char* key : {"Software\\Loop", "Software\\Loop\\x", "Software\\A", "Software\\B"}) {
        EXPECT_FALSE(reg.keyExists(RootKey::CurrentUser, key)) << key;
        EXPECT_FALSE(reg.queryValue(RootKey::CurrentUser, key, "v")) << key;
        EXPECT_NE(reg.createKey(RootKey::CurrentUser, std::string(key) + "\\New"), ERROR_SUCCESS);
    }
    EXPECT_TRUE(reg.keyExists(RootKey::CurrentUser, "Software\\Good\\Sort"));
}

TEST(WineRegistry, KeysDeeperThanWindowsAllowsAreNotCreated) {
    WineRegistry reg;
    std::string path = "Software";
    for (std::size_t depth = 1; depth < kMaxKeyDepth; ++depth)
        path += "\\k";
    EXPECT_EQ(reg.createKey(RootKey::CurrentUser, path), ERROR_SUCCESS);
    EXPECT_EQ(reg.createKey(RootKey::CurrentUser, path + "\\deeper"), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(reg.keyExists(RootKey::CurrentUser, path + "\\deeper"));
}

TEST(WineRegistry, SaveIsRefusedWhileWineRunsForThePrefix) {
    FixturePrefix fx;
    const fs::path serverDir =
        fs::path("/tmp") / (".wine-" + std::to_string(getuid())) / serverDirName(fx.root);
    fs::create_directories(serverDir);
    std::ofstream(serverDir / "lock").put('\0');
    const std::string userBefore = readFile(fx.root / "user.reg");

    WineRegistry reg(fx.prefix());
    reg.setValue(RootKey::CurrentUser, "Software\\HandEdited", {"x", REG_DWORD, {1, 0, 0, 0}});
    {
        LockHolder wineserver(serverDir / "lock");
        ASSERT_TRUE(wineserver.locked());
        try {
            reg.save();
            ADD_FAILURE() << "saved while Wine runs";
        } catch (const RegistryError& e) {
            EXPECT_NE(std::string(e.what()).find("close Outlook and Wine first"), std::string::npos)
                << e.what();
        }
        EXPECT_EQ(readFile(fx.root / "user.reg"), userBefore);
    }
    // Once Wine has gone the same changes are saved.
    reg.save();
    EXPECT_NE(readFile(fx.root / "user.reg"), userBefore);
    fs::remove_all(serverDir);
}
