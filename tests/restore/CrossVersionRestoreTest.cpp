// A full backup restored into the other profile of another prefix, read back
// without the program's own registry code: the registry files are parsed here
// as text (and by Wine's "reg query" where Wine is installed), and every data
// file path the restored profile names must lead to the restored file.
#include "RegistryFileReader.h"
#include "RestoreFixture.h"
#include "RunShell.h"

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace trelmig;

namespace {

const std::string kProfiles2010 =
    R"(Software\Microsoft\Windows NT\CurrentVersion\Windows Messaging Subsystem\Profiles)";
const std::string kProfiles2016 = R"(Software\Microsoft\Office\16.0\Outlook\Profiles)";

using Keys = RegistryFileKeys;

// The UTF-16 text "C:\..." inside a value, up to its NUL.
std::string widePath(const std::vector<unsigned char>& bytes) {
    for (std::size_t i = 0; i + 5 < bytes.size(); i += 2)
        if (bytes[i + 1] == 0 && bytes[i + 2] == ':' && bytes[i + 4] == '\\') {
            std::string path;
            for (std::size_t j = i; j + 1 < bytes.size() && (bytes[j] || bytes[j + 1]); j += 2)
                path += static_cast<char>(bytes[j]);
            return path;
        }
    return {};
}

fs::path hostPath(const fs::path& prefix, const std::string& windowsPath) {
    std::string rest = windowsPath.substr(3);
    std::replace(rest.begin(), rest.end(), '\\', '/');
    return prefix / "drive_c" / rest;
}

// Debian's wine64 puts its loader beside the libraries, not on the PATH; a
// 32-bit prefix needs the 32-bit loader, which only "wine" (wine32) has.
std::optional<std::string> wineLoader(const fs::path& prefix) {
    std::ifstream user(prefix / "user.reg");
    std::string line;
    bool win32 = false;
    for (int i = 0; i < 4 && std::getline(user, line); ++i)
        win32 = win32 || line == "#arch=win32";
    const std::vector<const char*> candidates =
        win32
            ? std::vector<const char*>{"/usr/bin/wine", "/usr/lib/wine/wine"}
            : std::vector<const char*>{"/usr/lib/wine/wine64", "/usr/bin/wine64", "/usr/bin/wine"};
    for (const char* candidate : candidates)
        if (access(candidate, X_OK) == 0)
            return candidate;
    return std::nullopt;
}

struct Crossing {
    const char* name;
    fs::path source;
    fs::path target;
    std::string targetProfiles; // where the restored profile must land
    std::string otherProfiles;  // where nothing of it may appear
    std::vector<std::string> restoredFiles;
    std::string restoredFolder;
};

} // namespace

class CrossVersionRestore : public RestoreFixture, public ::testing::WithParamInterface<Crossing> {
protected:
    // Backs up every item of the source's "Outlook" and restores it into
    // the target's "Work".
    void restoreEverything() {
        const Crossing& c = GetParam();
        source.copyOf(c.source);
        target.copyOf(c.target);
        backUp(items({0, 1, 2, 3, 5, 6, 7}));
        ASSERT_TRUE(inspect(archive).accepted);
        ASSERT_TRUE(restore(items({0, 1, 2, 3, 5, 6, 7}), "Work").allSucceeded);
        env.reset(); // nothing of the program holds the files any more
    }
};

TEST_P(CrossVersionRestore, DataFilePathsLeadToTheRestoredFiles) {
    const Crossing& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(restoreEverything());

    const Keys keys = readHexValues(target.root / "user.reg");
    std::map<std::string, std::string> namedFiles; // bare name -> path, from both values
    for (const auto& [key, values] : keys) {
        ASSERT_FALSE(key.starts_with(c.otherProfiles + "\\Work\\") && values.contains("01020fff"))
            << key << " holds a data file of the restored profile";
        if (!key.starts_with(c.targetProfiles + "\\Work\\"))
            continue;
        for (const char* name : {"01020fff", "001f6700"}) {
            const auto value = values.find(name);
            if (value == values.end())
                continue;
            const std::string path = widePath(value->second);
            ASSERT_FALSE(path.empty()) << key << " " << name;
            const fs::path file = hostPath(target.root, path);
            EXPECT_TRUE(fs::is_regular_file(file)) << key << " " << name << " names " << path;
            namedFiles[path.substr(path.rfind('\\') + 1)] = path;
        }
        EXPECT_FALSE(values.contains("001e6700")) << key << " keeps the old single-byte path";
    }
    std::vector<std::string> named;
    for (const auto& [name, path] : namedFiles) {
        named.push_back(name);
        EXPECT_EQ(path, c.restoredFolder + "\\" + name);
    }
    EXPECT_EQ(named, c.restoredFiles);

    // Each named file holds what the source's file of that name held (a
    // file restored beside one the target's other profile names carries the
    // profile's name: "Archive (Work).pst").
    for (const auto& [name, path] : namedFiles) {
        std::string original = name;
        if (const auto mark = original.find(" (Work)"); mark != std::string::npos)
            original.erase(mark, 7);
        std::vector<fs::path> originals;
        for (const auto& entry : fs::recursive_directory_iterator(source.driveC()))
            if (entry.is_regular_file() && entry.path().filename() == original)
                originals.push_back(entry.path());
        ASSERT_EQ(originals.size(), 1u) << name;
        EXPECT_EQ(readWholeFile(hostPath(target.root, path)), readWholeFile(originals.front()))
            << name;
    }
}

TEST_P(CrossVersionRestore, WineReadsTheRestoredPaths) {
    const Crossing& c = GetParam();
    const auto wine = wineLoader(c.target);
    if (!wine)
        GTEST_SKIP() << "Wine for this prefix's architecture is not installed";
    ASSERT_NO_FATAL_FAILURE(restoreEverything());
    const std::string env = "WINEPREFIX='" + target.root.string() +
                            "' WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' timeout 300 ";
    const std::string out =
        RunShell(env + *wine + " reg query 'HKCU\\" + c.targetProfiles + "\\Work' /s").output;
    RunShell("WINEPREFIX='" + target.root.string() + "' " +
             fs::path(*wine).replace_filename("wineserver").string() + " -k");
    for (const std::string& name : c.restoredFiles) {
        const std::string path = c.restoredFolder + "\\" + name;
        std::string hex;
        for (char ch : path) {
            char byte[8];
            std::snprintf(byte, sizeof byte, "%02X00", static_cast<unsigned char>(ch));
            hex += byte;
        }
        EXPECT_NE(out.find("001f6700    REG_BINARY    " + hex + "0000"), std::string::npos)
            << "Wine does not read " << path << " in:\n"
            << out;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Outlook, CrossVersionRestore,
    ::testing::Values(Crossing{"Outlook2016IntoItsOtherProfile",
                               kSamplePrefix2016,
                               kSamplePrefix2016,
                               kProfiles2016,
                               kProfiles2010,
                               {"Archive (Work).pst", "sam@example.com (Work).pst"},
                               R"(C:\users\sam\Documents\Outlook Files)"},
                      Crossing{"Outlook2010BackupInto2016Profile",
                               kSamplePrefix2010,
                               kSamplePrefix2016,
                               kProfiles2016,
                               kProfiles2010,
                               {"Archive (Work).pst", "Outlook.pst"},
                               R"(C:\users\sam\Documents\Outlook Files)"},
                      Crossing{"Outlook2016BackupInto2010Profile",
                               kSamplePrefix2016,
                               kSamplePrefix2010,
                               kProfiles2010,
                               kProfiles2016,
                               {"Archive (Work).pst", "sam@example.com.pst"},
                               R"(C:\users\sam\AppData\Local\Microsoft\Outlook)"}),
    [](const auto& info) { return std::string(info.param.name); });
