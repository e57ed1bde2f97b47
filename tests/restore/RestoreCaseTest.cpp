#include "RestoreFixture.h"

#include "platform/Text.h"
#include "platform/Utf.h"
#include "registry/RegistryBinary.h"
#include "registry/RegistryText.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

// Restore round trips as data: every folder of tests/data/restore holds one
// case. Its case.txt says what to back up and restore ("key=value" lines,
// "#" comments):
//   source=2016, target=2016       the prefix backed up from or restored into
//                                  is the Outlook 2016 sample (else 2010's)
//   setup=move-source-data-files   the source's data files live in C:\Old Mail
//   setup=old-target-data-file     the target has an older Outlook.pst
//   backup=0,1,2                   the boxes of the backup (profile "Outlook")
//   password=TEXT                  the backup's password (none when absent)
//   restore=0,1                    the boxes of the restore
//   profile=NAME                   the profile restored into
// Its expected.txt is the completion message followed by what the restore
// left: the profile's registry tree, its data file paths and the files of
// every item folder. TRELMIG_UPDATE_EXPECTED=1 rewrites expected.txt.

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
    const std::string key = env.session().profilesKey + "\\" + profile;
    const std::string exported = env.session().programFolder + "/describe.txt";
    ExportRegTree(env.reg, key, "", exported);
    std::string text = env.ansi.toUtf8(readWholeFile(exported));
    fs::remove(exported);
    for (std::size_t pos = 0; (pos = text.find("\r\n", pos)) != std::string::npos;)
        text.erase(pos, 1);
    out += "[registry " + key + "]\n" + text;

    out += "[data file paths]\n";
    for (const auto& section : env.reg.EnumRegSubkeys(key)) {
        const std::string sk = key + "\\" + section;
        if (const auto path = ReadStorePath(env.reg, sk))
            out += section + " 01020fff " + *path + "\n";
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
    const std::string p = env.session().userProfile;
    for (const std::string& folder :
         {p + "\\AppData\\Local\\Microsoft\\Outlook", p + "\\AppData\\Roaming\\Microsoft\\Outlook",
          p + "\\AppData\\Roaming\\Microsoft\\Signatures",
          p + "\\AppData\\Roaming\\Microsoft\\Templates",
          std::string("C:\\Program Files\\Common Files\\microsoft shared\\Stationery"),
          p + "\\Documents\\Outlook Files", p + "\\AppData\\Roaming\\Microsoft\\Stationery"}) {
        // The folders of Outlook 2013 and later only where they are.
        if (folder.starts_with(p + "\\Documents") ||
            folder.ends_with("Roaming\\Microsoft\\Stationery"))
            if (!env.files.folderExists(folder))
                continue;
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
    const std::string key = env.session().profilesKey + "\\Outlook";
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

const fs::path kCases = fs::path(TRELMIG_FIXTURES_DIR) / "restore";

struct RestoreCase {
    fs::path source = kSamplePrefix2010;
    fs::path target = kSamplePrefix2010;
    std::vector<std::string> setup;
    ItemSelection backup{};
    ItemSelection restore{};
    std::string password;
    std::string profile = "Work";
};

ItemSelection boxesOf(const std::string& list) {
    ItemSelection boxes{};
    std::stringstream in(list);
    for (std::string n; std::getline(in, n, ',');)
        boxes.at(static_cast<std::size_t>(std::stoi(n))) = true;
    return boxes;
}

RestoreCase readCase(const std::string& name) {
    RestoreCase c;
    std::ifstream in(kCases / name / "case.txt");
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        const auto eq = line.find('=');
        const std::string key = line.substr(0, eq);
        const std::string value = eq == std::string::npos ? "" : line.substr(eq + 1);
        if (key == "source" || key == "target")
            (key == "source" ? c.source : c.target) =
                value == "2016" ? kSamplePrefix2016 : kSamplePrefix2010;
        else if (key == "setup")
            c.setup.push_back(value);
        else if (key == "backup")
            c.backup = boxesOf(value);
        else if (key == "restore")
            c.restore = boxesOf(value);
        else if (key == "password")
            c.password = value;
        else if (key == "profile")
            c.profile = value;
        else
            ADD_FAILURE() << name << ": unknown key " << key;
    }
    return c;
}

std::vector<std::string> caseNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kCases))
        if (fs::exists(entry.path() / "case.txt"))
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

class RestoreCaseTest : public RestoreFixture, public ::testing::WithParamInterface<std::string> {};

TEST_P(RestoreCaseTest, LeavesWhatItsExpectedFileSays) {
    const RestoreCase c = readCase(GetParam());
    source.copyOf(c.source);
    target.copyOf(c.target);
    for (const std::string& step : c.setup) {
        if (step == "move-source-data-files")
            moveSourceDataFiles(source, prompter);
        else if (step == "old-target-data-file")
            std::ofstream(target.userFolder() / "AppData/Local/Microsoft/Outlook/Outlook.pst")
                << "old";
        else
            FAIL() << "unknown setup " << step;
    }
    backUp(c.backup, c.password);
    passwords.password = c.password;
    ASSERT_TRUE(inspect(archive).accepted);
    restore(c.restore, c.profile);
    ASSERT_FALSE(prompter.messages.empty());

    // Read back from the files, as Wine would.
    Environment after(WinePrefix(target.root), prompter);
    after.Discover();
    const std::string actual = "[message]\n" +
                               ReplaceAll(prompter.messages.back().text, "\r\n", "\n") + "\n" +
                               describe(after, c.profile);
    const fs::path expectedFile = kCases / GetParam() / "expected.txt";
    if (std::getenv("TRELMIG_UPDATE_EXPECTED"))
        std::ofstream(expectedFile, std::ios::binary) << actual;
    EXPECT_EQ(actual, readWholeFile(expectedFile));
}

INSTANTIATE_TEST_SUITE_P(Cases, RestoreCaseTest, ::testing::ValuesIn(caseNames()),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });
