// The committed sample prefix: that it is what its generator makes, that its
// registry files have Wine's layout, and that its profiles, data files and item
// folders are there (or missing) as the sample's README promises.
#include "../../tools/SamplePrefix2016.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path kPrefix = TRELMIG_SAMPLE_PREFIX;
const fs::path kPrefix2016 = TRELMIG_SAMPLE_PREFIX_2016;
const fs::path kOutlookExe =
    kPrefix / "drive_c/Program Files/Microsoft Office/Office14/OUTLOOK.EXE";
const std::string kProfiles = "Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion\\\\"
                              "Windows Messaging Subsystem\\\\Profiles";

std::vector<unsigned char> readBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string readText(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    std::istringstream in(text);
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

std::string lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// A key block of a registry file, names and data kept as written.
struct Block {
    std::string path;
    unsigned long long unixTime = 0;
    std::string timeLine;
    std::vector<std::pair<std::string, std::string>> values; // "" names the default
};

std::vector<Block> parseBlocks(const std::vector<std::string>& lines) {
    std::vector<Block> blocks;
    for (std::size_t i = 4; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.empty())
            continue;
        if (line[0] == '[') {
            const std::size_t close = line.rfind("] ");
            Block b;
            b.path = line.substr(1, close - 1);
            b.unixTime = std::stoull(line.substr(close + 2));
            b.timeLine = i + 1 < lines.size() ? lines[i + 1] : "";
            blocks.push_back(b);
            ++i;
            continue;
        }
        std::string name;
        std::size_t pos = 0;
        if (line[0] == '"') {
            for (pos = 1; line[pos] != '"'; ++pos) {
                if (line[pos] == '\\')
                    ++pos;
                name += line[pos];
            }
            ++pos;
        }
        std::string data = line.substr(line.find('=', pos) + 1);
        while (!data.empty() && data.back() == '\\' && i + 1 < lines.size())
            data = data.substr(0, data.size() - 1) + lines[++i].substr(2);
        blocks.back().values.emplace_back(name, data);
    }
    return blocks;
}

std::vector<Block> readRegistry(const std::string& file, const fs::path& prefix = kPrefix) {
    return parseBlocks(splitLines(readText(prefix / file)));
}

const Block* findBlock(const std::vector<Block>& blocks, const std::string& path) {
    for (const Block& b : blocks)
        if (b.path == path)
            return &b;
    return nullptr;
}

std::string valueData(const Block& b, const std::string& name) {
    for (const auto& [n, d] : b.values)
        if (n == name)
            return d;
    return {};
}

// The text of a "..." value with its escapes removed (ASCII only).
std::string stringData(const std::string& data) {
    std::string out;
    for (std::size_t i = 1; i + 1 < data.size(); ++i) {
        if (data[i] == '\\')
            ++i;
        out += data[i];
    }
    return out;
}

std::vector<unsigned char> hexData(const std::string& data) {
    std::vector<unsigned char> out;
    for (std::size_t i = data.find(':') + 1; i + 1 < data.size(); i += 3)
        out.push_back(static_cast<unsigned char>(std::stoi(data.substr(i, 2), nullptr, 16)));
    return out;
}

// A drive C: path of the prefix, reached through dosdevices like Wine does.
fs::path hostPath(const std::string& windowsPath) {
    EXPECT_EQ(windowsPath.substr(0, 3), "C:\\");
    std::string rest = windowsPath.substr(3);
    std::replace(rest.begin(), rest.end(), '\\', '/');
    return kPrefix / "dosdevices/c:" / rest;
}

bool holdsFiles(const fs::path& dir) {
    if (!fs::is_directory(dir))
        return false;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.is_regular_file())
            return true;
    return false;
}

} // namespace

void expectGeneratorOutput(const fs::path& prefix, const std::vector<sample::SampleFile>& files) {
    std::set<std::string> generated;
    for (const sample::SampleFile& f : files) {
        generated.insert(f.path);
        EXPECT_EQ(readBytes(prefix / f.path), f.data) << f.path << " differs from the generator";
    }
    for (const auto& entry : fs::recursive_directory_iterator(prefix)) {
        if (entry.is_symlink() || !entry.is_regular_file())
            continue;
        const std::string rel = fs::relative(entry.path(), prefix).generic_string();
        EXPECT_TRUE(generated.count(rel)) << rel << " is not made by the generator";
    }

    std::vector<std::string> devices;
    for (const auto& entry : fs::directory_iterator(prefix / "dosdevices"))
        devices.push_back(entry.path().filename().string());
    EXPECT_EQ(devices, std::vector<std::string>{"c:"});
    ASSERT_TRUE(fs::is_symlink(prefix / "dosdevices/c:"));
    EXPECT_EQ(fs::read_symlink(prefix / "dosdevices/c:"), fs::path("../drive_c"));
}

TEST(SamplePrefix, IsExactlyWhatTheGeneratorWrites) {
    expectGeneratorOutput(kPrefix, sample::sampleFiles());
    SCOPED_TRACE("prefix-2016");
    expectGeneratorOutput(kPrefix2016, sample::sample2016Files());
}

TEST(SampleOutlookExe, IsTheGeneratedImage) {
    EXPECT_EQ(readBytes(kOutlookExe), sample::buildSamplePe());
}

TEST(SampleOutlookExe, CarriesTheOutlook2010VersionResource) {
    const std::vector<unsigned char> f = readBytes(kOutlookExe);
    auto u16 = [&f](std::size_t at) { return std::uint32_t(f.at(at) | f.at(at + 1) << 8); };
    auto u32 = [&](std::size_t at) { return u16(at) | u16(at + 2) << 16; };

    ASSERT_EQ(u16(0), 0x5A4Du); // "MZ"
    const std::size_t pe = u32(0x3C);
    ASSERT_EQ(u32(pe), 0x00004550u); // "PE\0\0"
    EXPECT_EQ(u16(pe + 4), 0x014Cu);
    const std::size_t opt = pe + 24;
    ASSERT_EQ(u16(opt), 0x010Bu); // PE32
    const std::uint32_t rsrcRva = u32(opt + 96 + 2 * 8);
    ASSERT_NE(rsrcRva, 0u);

    const std::size_t sections = opt + u16(pe + 20);
    auto fileOffset = [&](std::uint32_t rva) -> std::size_t {
        for (std::uint32_t s = 0; s < u16(pe + 6); ++s) {
            const std::size_t h = sections + 40 * s;
            const std::uint32_t va = u32(h + 12), size = u32(h + 16), raw = u32(h + 20);
            if (rva >= va && rva < va + size)
                return raw + (rva - va);
        }
        ADD_FAILURE() << "RVA " << rva << " outside every section";
        return 0;
    };
    const std::size_t root = fileOffset(rsrcRva);
    // Follows the only entry with the wanted ID; returns its target offset.
    auto entry = [&](std::size_t dir, std::uint32_t id) -> std::uint32_t {
        const std::size_t count = u16(dir + 12) + u16(dir + 14);
        for (std::size_t i = 0; i < count; ++i)
            if (u32(dir + 16 + 8 * i) == id)
                return u32(dir + 16 + 8 * i + 4);
        ADD_FAILURE() << "no resource entry " << id;
        return 0;
    };
    const std::uint32_t byType = entry(root, 16);
    ASSERT_TRUE(byType & 0x80000000u);
    const std::uint32_t byName = entry(root + (byType & 0x7FFFFFFFu), 1);
    ASSERT_TRUE(byName & 0x80000000u);
    const std::uint32_t dataEntry = entry(root + (byName & 0x7FFFFFFFu), 1033);
    ASSERT_FALSE(dataEntry & 0x80000000u);
    const std::size_t version = fileOffset(u32(root + dataEntry));
    const std::size_t versionSize = u32(root + dataEntry + 4);
    ASSERT_LE(version + versionSize, f.size());

    EXPECT_EQ(u16(version + 2), 52u);       // wValueLength: VS_FIXEDFILEINFO
    const std::size_t fixed = version + 40; // header, "VS_VERSION_INFO", padding
    EXPECT_EQ(u32(fixed), 0xFEEF04BDu);
    EXPECT_EQ(u32(fixed + 8), 14u << 16 | 0u);
    EXPECT_EQ(u32(fixed + 12), 4760u << 16 | 1000u);

    // A string's value follows its NUL-terminated key on the next 32-bit
    // boundary of the version block.
    auto versionString = [&](const std::string& key) {
        std::string pattern;
        for (char c : key + '\0') {
            pattern += c;
            pattern += '\0';
        }
        const std::string block(f.begin() + version, f.begin() + version + versionSize);
        const std::size_t at = block.find(pattern);
        if (at == std::string::npos)
            return std::string("(no key)");
        std::string text;
        for (std::size_t i = (at + pattern.size() + 3) / 4 * 4; i + 1 < block.size() && block[i];
             i += 2)
            text += block[i];
        return text;
    };
    EXPECT_EQ(versionString("FileVersion"), "14.0.4760.1000");
    EXPECT_EQ(versionString("ProductName"), "Microsoft Outlook");
}

void expectWineLayout(const fs::path& prefix, const std::string& arch) {
    const std::map<std::string, std::string> roots = {
        {"system.reg", "REGISTRY\\\\Machine"},
        {"user.reg", "REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000"},
        {"userdef.reg", "REGISTRY\\\\User\\\\.Default"},
    };
    for (const auto& [file, root] : roots) {
        SCOPED_TRACE(file);
        const std::string text = readText(prefix / file);
        EXPECT_TRUE(std::all_of(text.begin(), text.end(), [](char c) {
            return c == '\n' || (c >= 0x20 && c < 0x7F);
        })) << "only printable ASCII and LF";
        ASSERT_EQ(text.back(), '\n');
        const std::vector<std::string> lines = splitLines(text);
        ASSERT_GE(lines.size(), 5u);
        EXPECT_EQ(lines[0], "WINE REGISTRY Version 2");
        EXPECT_EQ(lines[1], ";; All keys relative to " + root);
        EXPECT_EQ(lines[2], "");
        EXPECT_EQ(lines[3], "#arch=" + arch);
        for (std::size_t i = 4; i < lines.size(); ++i) {
            if (!lines[i].empty() && lines[i][0] == '[') {
                EXPECT_EQ(lines[i - 1], "") << "no blank line before " << lines[i];
            }
            // Wine breaks a hex line after the comma that takes it past 76 characters.
            if (!lines[i].empty() && lines[i].back() == '\\') {
                const std::size_t length = lines[i].size() - 1;
                EXPECT_TRUE(length > 76 && length - 3 <= 76)
                    << "wrapped late or early: " << lines[i];
            }
        }

        std::vector<std::string> previous;
        for (const Block& b : parseBlocks(lines)) {
            SCOPED_TRACE(b.path);
            ASSERT_EQ(b.timeLine.rfind("#time=", 0), 0u);
            const unsigned long long filetime = std::stoull(b.timeLine.substr(6), nullptr, 16);
            EXPECT_EQ((filetime - 116444736000000000ULL) / 10000000ULL, b.unixTime);

            std::vector<std::string> components;
            for (std::size_t start = 0;;) {
                const std::size_t sep = b.path.find("\\\\", start);
                components.push_back(lower(b.path.substr(start, sep - start)));
                if (sep == std::string::npos)
                    break;
                start = sep + 2;
            }
            if (!previous.empty()) {
                EXPECT_LT(previous, components) << "keys out of depth-first order";
            }
            previous = components;

            for (std::size_t v = 1; v < b.values.size(); ++v)
                EXPECT_LT(lower(b.values[v - 1].first), lower(b.values[v].first))
                    << "values out of order";
        }
    }
}

TEST(SampleRegistryFiles, FollowWineLayout) {
    expectWineLayout(kPrefix, "win32");
    SCOPED_TRACE("prefix-2016");
    expectWineLayout(kPrefix2016, "win64");
}

TEST(SampleProfiles, AreOutlookThenWorkWithTheirDataFiles) {
    const std::vector<Block> user = readRegistry("user.reg");
    std::vector<std::string> profiles;
    // Data files per profile: path -> stored as UTF-16 in the entry identifier.
    std::map<std::string, std::map<std::string, bool>> dataFiles;
    const std::string prefix = kProfiles + "\\\\";
    for (const Block& b : user) {
        if (b.path.rfind(prefix, 0) != 0)
            continue;
        const std::string rest = b.path.substr(prefix.size());
        const std::string profile = rest.substr(0, rest.find("\\\\"));
        if (profiles.empty() || profiles.back() != profile)
            profiles.push_back(profile);

        const std::string entryId = valueData(b, "01020fff");
        if (entryId.empty())
            continue;
        const std::vector<unsigned char> id = hexData(entryId);
        const std::vector<unsigned char> header = {0,    0,    0,    0,    0x38, 0xa1, 0xbb, 0x10,
                                                   0x05, 0xe5, 0x10, 0x1a, 0xa1, 0xbb, 0x08, 0x00,
                                                   0x2b, 0x2a, 0x56, 0xc2, 'm',  's',  'p',  's',
                                                   't',  '.',  'd',  'l',  'l',  0};
        ASSERT_GT(id.size(), header.size() + 2);
        ASSERT_TRUE(std::equal(header.begin(), header.end(), id.begin())) << b.path;
        const bool wide = id[header.size() + 1] == 0;
        std::string path;
        for (std::size_t i = header.size(); i < id.size(); i += wide ? 2 : 1)
            if (id[i] != 0)
                path += static_cast<char>(id[i]);
        EXPECT_EQ(id.back(), 0);
        EXPECT_EQ(id.size() - header.size(), wide ? 2 * path.size() + 2 : path.size() + 1);
        dataFiles[profile][path] = wide;

        // The same path as UTF-16 text and as single-byte text.
        std::string pathW, pathA;
        for (unsigned char c : hexData(valueData(b, "001f6700")))
            if (c != 0)
                pathW += static_cast<char>(c);
        for (unsigned char c : hexData(valueData(b, "001e6700")))
            if (c != 0)
                pathA += static_cast<char>(c);
        EXPECT_EQ(pathW, path);
        EXPECT_EQ(pathA, path);
    }
    EXPECT_EQ(profiles, (std::vector<std::string>{"Outlook", "Work"}));
    const Block* root = findBlock(user, kProfiles);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(valueData(*root, "DefaultProfile"), "\"Outlook\"");

    const std::string dir = "C:\\users\\sam\\AppData\\Local\\Microsoft\\Outlook\\";
    EXPECT_EQ(dataFiles["Outlook"], (std::map<std::string, bool>{{dir + "Outlook.pst", true},
                                                                 {dir + "Archive.pst", true}}));
    EXPECT_EQ(dataFiles["Work"], (std::map<std::string, bool>{{dir + "Work.pst", false},
                                                              {dir + "Old Projects.pst", false}}));
    EXPECT_TRUE(fs::is_regular_file(hostPath(dir + "Outlook.pst")));
    EXPECT_TRUE(fs::is_regular_file(hostPath(dir + "Archive.pst")));
    EXPECT_TRUE(fs::is_regular_file(hostPath(dir + "Work.pst")));
    EXPECT_FALSE(fs::exists(hostPath(dir + "Old Projects.pst")));
    for (const char* name : {"Outlook.pst", "Archive.pst", "Work.pst", "mailbox.pab"}) {
        const std::vector<unsigned char> head = readBytes(hostPath(dir + name));
        ASSERT_GE(head.size(), 4u);
        EXPECT_EQ(std::string(head.begin(), head.begin() + 4), "!BDN") << name;
    }
}

TEST(SampleProfiles, OnlyOutlookNamesAnAddressBookAndHasAccounts) {
    const std::vector<Block> user = readRegistry("user.reg");
    std::map<std::string, std::vector<std::string>> addressBooks;
    for (const Block& b : user) {
        const std::string pab = valueData(b, "001e6600");
        if (pab.empty())
            continue;
        ASSERT_EQ(pab.front(), '"') << "the address book path is a text value";
        const std::string rest = b.path.substr(kProfiles.size() + 2);
        addressBooks[rest.substr(0, rest.find("\\\\"))].push_back(stringData(pab));
    }
    ASSERT_EQ(addressBooks.size(), 1u);
    ASSERT_EQ(addressBooks["Outlook"].size(), 1u);
    EXPECT_TRUE(fs::is_regular_file(hostPath(addressBooks["Outlook"][0])));

    const std::string accounts = kProfiles + "\\\\Outlook\\\\9375CFF0413111d3B88A00104B2A6676";
    EXPECT_NE(findBlock(user, accounts), nullptr);
    for (const char* account : {"00000001", "00000002"}) {
        const Block* b = findBlock(user, accounts + "\\\\" + account);
        ASSERT_NE(b, nullptr) << account;
        for (const char* name : {"Account Name", "Email", "SMTP Server", "POP3 Server"})
            EXPECT_EQ(valueData(*b, name).rfind("hex:", 0), 0u) << account << " " << name;
    }
    EXPECT_EQ(findBlock(user, kProfiles + "\\\\Work\\\\9375CFF0413111d3B88A00104B2A6676"), nullptr);
    for (const char* section : {"General", "Mail", "Calendar"})
        EXPECT_NE(
            findBlock(user, "Software\\\\Microsoft\\\\Office\\\\14.0\\\\Outlook\\\\Options\\\\" +
                                std::string(section)),
            nullptr)
            << section;
}

TEST(SampleItems, FoldersAndRegisteredOutlookAreWhereTheRegistrySays) {
    const std::vector<Block> system = readRegistry("system.reg");
    const std::vector<Block> user = readRegistry("user.reg");

    const Block* env = findBlock(user, "Volatile Environment");
    ASSERT_NE(env, nullptr);
    const std::string profileDir = stringData(valueData(*env, "USERPROFILE"));
    EXPECT_EQ(profileDir, "C:\\users\\sam");
    EXPECT_TRUE(fs::is_directory(hostPath(profileDir)));

    const std::string roaming = profileDir + "\\AppData\\Roaming\\Microsoft\\";
    EXPECT_TRUE(holdsFiles(hostPath(roaming + "Signatures")));
    EXPECT_TRUE(fs::is_directory(hostPath(roaming + "Signatures\\Personal_files")));
    EXPECT_TRUE(holdsFiles(hostPath(roaming + "Templates")));
    EXPECT_TRUE(fs::is_regular_file(hostPath(roaming + "Outlook\\Outlook.RWZ")));
    EXPECT_FALSE(fs::exists(hostPath(roaming + "Outlook\\Work.RWZ")));

    const Block* tools = findBlock(system, "Software\\\\Microsoft\\\\Shared Tools");
    ASSERT_NE(tools, nullptr);
    const std::string shared = stringData(valueData(*tools, "SharedFilesDir"));
    ASSERT_EQ(shared.back(), '\\');
    EXPECT_TRUE(holdsFiles(hostPath(shared + "Stationery")));

    // Outlook.Application -> CurVer -> CLSID -> LocalServer32 -> the program file.
    const std::string classes = "Software\\\\Classes\\\\";
    const Block* curVer = findBlock(system, classes + "Outlook.Application\\\\CurVer");
    ASSERT_NE(curVer, nullptr);
    const std::string progId = stringData(valueData(*curVer, ""));
    EXPECT_EQ(progId, "Outlook.Application.14");
    const Block* clsid = findBlock(system, classes + progId + "\\\\CLSID");
    ASSERT_NE(clsid, nullptr);
    const Block* server = findBlock(
        system, classes + "CLSID\\\\" + stringData(valueData(*clsid, "")) + "\\\\LocalServer32");
    ASSERT_NE(server, nullptr);
    const std::string command = stringData(valueData(*server, ""));
    const std::size_t exeEnd = lower(command).find(".exe") + 4;
    EXPECT_EQ(command.substr(exeEnd), " /automation");
    EXPECT_TRUE(fs::equivalent(hostPath(command.substr(0, exeEnd)), kOutlookExe));
    EXPECT_TRUE(fs::is_regular_file(kOutlookExe));
}
