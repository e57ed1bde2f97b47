// Backup and restore through the program as a user runs it, over prefixes of
// Outlook 2010, 2013 and 2016 in 32-bit and 64-bit Wine, one case per prefix
// kind and profile: the restored prefix is read here without the program's
// registry code, every file compared by SHA-256, and real Wine reads the
// restored profile where it is installed. The table of all cases is printed
// at the end of the run.
#include "BinaryPaths.h"
#include "HostFiles.h"
#include "OutlookPrefix.h"
#include "RegFileModel.h"
#include "RepositoryRoutes.h"
#include "RoundTripCases.h"
#include "RoundTripTable.h"
#include "RunShell.h"
#include "WindowsDisk.h"
#include "WineView.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>

namespace fs = std::filesystem;
using namespace roundtrip;

namespace {

constexpr const char* kGlobalSection = "0a0d020000000000c000000000000046";
// Every item but the Personal Address Book, which Outlook 2010 and later lack.
constexpr const char* kItems = "11110111";
constexpr const char* kPassword = "Grüne Wiese 7";

struct Finding {
    std::string check;
    std::string detail;
};

std::string hex(const std::vector<unsigned char>& bytes, std::size_t limit = 64) {
    std::string out;
    char buf[4];
    for (std::size_t i = 0; i < bytes.size() && i < limit; ++i) {
        std::snprintf(buf, sizeof buf, "%02x", bytes[i]);
        out += buf;
    }
    return bytes.size() > limit ? out + "..." : out;
}

std::string describe(const std::optional<RegData>& data) {
    if (!data)
        return "(missing)";
    if (data->type == kRegSz || data->type == kRegExpandSz)
        return "type " + std::to_string(data->type) + " \"" + stringOf(*data) + "\"";
    return "type " + std::to_string(data->type) + " " + hex(data->bytes);
}

std::string relativeTo(const std::string& base, const std::string& path) {
    return path.size() == base.size() ? "" : path.substr(base.size() + 1);
}

// A value past the 16 KiB a registry cell holds, which a hive keeps in
// pieces, in the profile's first account (registry text carries 32767 bytes).
void addBigValue(const fs::path& userReg, const std::string& profileKey) {
    RegFileModel model = RegFileModel::read(userReg);
    std::vector<unsigned char> blob(20000);
    for (std::size_t i = 0; i < blob.size(); ++i)
        blob[i] = static_cast<unsigned char>((i * 131 + i / 251) & 0xFF);
    model.setBinary(profileKey + "\\9375CFF0413111d3B88A00104B2A6676\\00000001", "01026641", blob);
    model.write(userReg);
}

// Each file, folder and link below a folder by its path there, a file with its
// digest. Links are not followed: Wine's lead into $HOME, which is walked apart.
std::map<std::string, std::string> entriesBelow(const fs::path& folder) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = entry.path().lexically_relative(folder).string();
        if (entry.is_symlink())
            entries[name] = "(link)";
        else
            entries[name] = entry.is_regular_file() ? sha256Of(entry.path()) : "(folder)";
    }
    return entries;
}

class RoundTrip : public ::testing::TestWithParam<RoundTripCase> {
protected:
    void SetUp() override {
        char templ[] = "/tmp/trelmig-roundtrip-XXXXXX";
        ASSERT_NE(mkdtemp(templ), nullptr);
        root_ = templ;
    }
    void TearDown() override {
        std::error_code ec;
        if (!HasFailure())
            fs::remove_all(root_, ec);
        else
            std::cout << "kept for a look: " << root_ << "\n";
    }

    // As the user of that prefix runs it: Wine linked the prefix's user
    // folders into this $HOME.
    CommandRun trelmig(const fs::path& home, const std::string& arguments,
                       const std::string& environment = "") const {
        return RunShell(environment + "HOME=" + shellQuoted(home.string()) +
                        " XDG_CONFIG_HOME=" + shellQuoted((root_ / "config").string()) +
                        " XDG_DATA_HOME=" + shellQuoted((root_ / "data").string()) +
                        " LC_ALL=C.UTF-8 " TRELMIG_BINARY " " + arguments);
    }

    void add(const std::string& check, const std::string& detail) {
        findings_.push_back({check, detail});
    }

    void compareFiles(const std::string& item, const fs::path& sourcePrefix,
                      const std::string& sourceFolder, const fs::path& targetPrefix,
                      const std::string& targetFolder) {
        const auto from = hostPathOf(sourcePrefix, sourceFolder);
        ASSERT_TRUE(from) << "the fixture lacks " << sourceFolder;
        const auto names = filesIn(*from);
        ASSERT_FALSE(names.empty()) << "the fixture has no files in " << sourceFolder;
        const auto to = hostPathOf(targetPrefix, targetFolder);
        for (const auto& name : names) {
            const auto file = to ? hostPathOf(targetPrefix, targetFolder + "\\" + name)
                                 : std::optional<fs::path>{};
            if (!file)
                add("file:" + item + ":" + name, "not restored into " + targetFolder);
            else if (sha256Of(*file) != sha256Of(*from / name))
                add("file:" + item + ":" + name, "restored with other contents: " + file->string());
        }
    }

    // Keys and values of the source subtree against the restored one;
    // paths moved as the data files moved; values in skip must be gone.
    void compareTree(const std::string& label, const RegFileModel& source,
                     const std::string& sourceKey, const RegFileModel& target,
                     const std::string& targetKey, const std::map<std::string, std::string>& paths,
                     const std::vector<std::pair<std::string, std::string>>& gone = {}) {
        const auto isGone = [&](const std::string& rel, const std::string& name) {
            return std::any_of(gone.begin(), gone.end(), [&](const auto& g) {
                return lower(g.first) == lower(rel) && lower(g.second) == lower(name);
            });
        };
        for (const RegKey* key : source.subtree(sourceKey)) {
            const std::string rel = relativeTo(sourceKey, key->path);
            const std::string targetPath = rel.empty() ? targetKey : targetKey + "\\" + rel;
            const RegKey* restored = target.find(targetPath);
            if (!restored) {
                add(label + ":missing-key:" + rel, "not in the restored registry: " + targetPath);
                continue;
            }
            for (const auto& [lowered, named] : key->values) {
                const auto& [name, data] = named;
                const auto now = target.value(targetPath, name);
                if (isGone(rel, name)) {
                    if (now)
                        add(label + ":left:" + rel + "\\" + name,
                            "should be deleted, is " + describe(now));
                    continue;
                }
                RegData expected = data;
                if (data.type == kRegBinary)
                    expected.bytes = moved(data.bytes, paths);
                if (!now || !(*now == expected)) {
                    const bool holdsPath = !embeddedPaths(data.bytes).empty();
                    add(label + (holdsPath ? ":path-value:" : ":value:") + rel + "\\" + name,
                        "expected " + describe(expected) + ", restored " + describe(now));
                }
            }
            for (const auto& [lowered, named] : restored->values)
                if (!key->values.count(lowered))
                    add(label + ":extra-value:" + rel + "\\" + named.first,
                        "not in the source: " + describe(named.second));
        }
        for (const RegKey* key : target.subtree(targetKey)) {
            const std::string rel = relativeTo(targetKey, key->path);
            if (!source.find(rel.empty() ? sourceKey : sourceKey + "\\" + rel))
                add(label + ":extra-key:" + rel, "not in the source: " + key->path);
        }
    }

    // Every data file path the restored subtree holds leads to a restored
    // file equal to the source's file of that name.
    void checkEmbeddedPaths(const RegFileModel& target, const std::string& targetKey,
                            const fs::path& targetPrefix,
                            const std::map<std::string, std::string>& sourceHashes) {
        for (const RegKey* key : target.subtree(targetKey)) {
            for (const auto& [lowered, named] : key->values) {
                if (named.second.type != kRegBinary)
                    continue;
                for (const auto& path : embeddedPaths(named.second.bytes)) {
                    const std::string where = relativeTo(targetKey, key->path) + "\\" + named.first;
                    const auto host = hostPathOf(targetPrefix, path);
                    const std::string bare = path.substr(path.rfind('\\') + 1);
                    const auto hash = sourceHashes.find(bare);
                    if (!host || !fs::is_regular_file(*host))
                        add("leads-nowhere:" + where,
                            path + " names no file in the restored prefix");
                    else if (hash == sourceHashes.end() || sha256Of(*host) != hash->second)
                        add("leads-elsewhere:" + where, path + " is not the restored " + bare);
                }
            }
        }
    }

    // Every data file path and store entry ID the restored profile holds
    // names a file on the bottle's C: drive, inside the bottle or the
    // folders of its $HOME that Wine links there: none leads back to the
    // Windows disk the backup was made from.
    void checkInsideBottle(const RegFileModel& target, const std::string& targetKey,
                           const WrittenPrefix& bottle) {
        const fs::path inside[] = {fs::weakly_canonical(bottle.prefix),
                                   fs::weakly_canonical(bottle.home)};
        const auto within = [](const fs::path& file, const fs::path& folder) {
            const auto rel = file.lexically_relative(folder);
            return !rel.empty() && *rel.begin() != "..";
        };
        std::size_t seen = 0;
        for (const RegKey* key : target.subtree(targetKey))
            for (const auto& [lowered, named] : key->values) {
                if (named.second.type != kRegBinary)
                    continue;
                for (const auto& path : embeddedPaths(named.second.bytes)) {
                    ++seen;
                    const std::string where = relativeTo(targetKey, key->path) + "\\" + named.first;
                    const auto host = hostPathOf(bottle.prefix, path);
                    std::error_code ec;
                    const fs::path real = host ? fs::weakly_canonical(*host, ec) : fs::path();
                    const bool onC = std::toupper(static_cast<unsigned char>(path[0])) == 'C';
                    if (!onC || !host || ec ||
                        std::none_of(std::begin(inside), std::end(inside),
                                     [&](const fs::path& folder) { return within(real, folder); }))
                        add("outside-bottle:" + where,
                            path + " is not a file of the bottle: " + real.string());
                }
            }
        if (seen == 0)
            add("outside-bottle", "the restored profile names no data file at all");
    }

    void readWithWine(const fs::path& targetPrefix, const RegFileModel& target,
                      const std::string& profileKey, const std::vector<std::string>& dataFiles) {
        WineView wine(targetPrefix, root_ / "wine-view",
                      fs::path(TRELMIG_FIXTURES_DIR) / "wine-8.0" / "initial" / "system.reg");
        int status = -1;
        std::string output;
        const WineKeys keys = wine.regQuery("HKCU\\" + profileKey, status, output);
        if (status != 0 || keys.empty()) {
            add("wine-reg:query",
                "reg query exited " + std::to_string(status) + ": " + output.substr(0, 400));
            return;
        }
        // reg.exe prints through the console's code page: keys are matched by
        // their ASCII letters.
        const auto ascii = [](const std::string& text) {
            std::string out;
            for (unsigned char ch : text)
                if (ch < 0x80 && ch != '?')
                    out += static_cast<char>(ch);
            return lower(out);
        };
        std::map<std::string, const std::map<std::string, WineValue>*> byAscii;
        for (const auto& [name, values] : keys)
            byAscii[ascii(name)] = &values;
        for (const RegKey* key : target.subtree(profileKey)) {
            const auto found = byAscii.find(ascii("hkey_current_user\\" + key->path));
            if (found == byAscii.end()) {
                add("wine-reg:key:" + key->path, "Wine does not see the key");
                continue;
            }
            for (const auto& [lowered, named] : key->values) {
                const auto seen = found->second->find(lowered);
                if (seen == found->second->end()) {
                    add("wine-reg:value:" + key->path + "\\" + named.first,
                        "Wine does not see the value");
                    continue;
                }
                if (named.second.type == kRegBinary) {
                    std::string upperHex = hex(named.second.bytes, SIZE_MAX);
                    std::transform(
                        upperHex.begin(), upperHex.end(), upperHex.begin(),
                        [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
                    if (seen->second.type != "REG_BINARY" || seen->second.data != upperHex)
                        add("wine-reg:value:" + key->path + "\\" + named.first,
                            "Wine reads " + seen->second.type + " " + seen->second.data);
                }
            }
            if (found->second->size() != key->values.size())
                add("wine-reg:count:" + key->path,
                    "Wine sees " + std::to_string(found->second->size()) +
                        " values, the file holds " + std::to_string(key->values.size()));
        }
        // Wine's own cmd finds the restored data files where the profile names them.
        std::map<std::string, std::vector<std::string>> byFolder;
        for (const auto& path : dataFiles)
            byFolder[path.substr(0, path.rfind('\\'))].push_back(path.substr(path.rfind('\\') + 1));
        for (const auto& [folder, names] : byFolder) {
            const std::string listing = wine.dir(folder);
            for (const auto& name : names) {
                // Non-ASCII letters may print otherwise: the ASCII runs must be there.
                std::string run;
                bool all = true;
                for (std::size_t i = 0; i <= name.size(); ++i) {
                    if (i < name.size() && static_cast<unsigned char>(name[i]) < 0x80) {
                        run += name[i];
                        continue;
                    }
                    if (run.size() >= 3 && listing.find(run) == std::string::npos)
                        all = false;
                    run.clear();
                }
                if (!all)
                    add("wine-dir:" + name,
                        "cmd /c dir " + folder + " does not list it: " + listing.substr(0, 400));
            }
        }
    }

    // For the cases with names of other scripts: each kind of name passes
    // when no check of its kind found a difference (for one of the names in
    // match, where given).
    void addNameRows(const RoundTripCase& c) {
        if (c.source.itemNames.empty())
            return;
        const auto joined = [](const std::vector<std::string>& names) {
            std::string text;
            for (const auto& name : names)
                text += (text.empty() ? "" : ", ") + name;
            return text;
        };
        const auto row = [&](const std::string& kind, const std::vector<std::string>& shown,
                             const std::string& check, const std::vector<std::string>& match) {
            const bool failed = std::any_of(findings_.begin(), findings_.end(), [&](const auto& f) {
                return f.check.starts_with(check) &&
                       (match.empty() || std::any_of(match.begin(), match.end(), [&](auto& n) {
                            return f.check.find(n) != std::string::npos;
                        }));
            });
            addNameRow(std::to_string(c.source.codePage), kind, joined(shown),
                       failed ? "FAIL" : "pass");
        };
        const ProfileSpec& profile =
            *std::find_if(c.source.profiles.begin(), c.source.profiles.end(),
                          [&](const ProfileSpec& p) { return p.name == c.profile; });
        std::vector<std::string> stores, accounts;
        for (const auto& store : profile.stores)
            stores.push_back(store.fileName);
        for (const auto& account : profile.accounts)
            accounts.push_back(account.name);
        row("profile", {c.profile}, "profile:", {});
        row("data files", stores, "data-file:", stores);
        row("accounts", accounts, "profile:", {"9375CFF0413111d3B88A00104B2A6676"});
        if (!c.readByWine)
            return;
        std::vector<std::string> signatures, pictures, stationery, templates;
        for (const auto& name : c.source.itemNames) {
            signatures.push_back(name + ".htm");
            pictures.push_back(name + "-Dateien");
            stationery.push_back(name + " Briefpapier.htm");
            templates.push_back(name + ".oft");
        }
        row("signatures", signatures, "file:signatures:", signatures);
        row("picture folders", pictures, "file:signature-pictures:", pictures);
        if (c.source.kind.year != 2010)
            row("stationery", stationery, "file:stationery:", stationery);
        row("templates", templates, "file:templates:", templates);
        row("options text", {c.source.itemNames.back()}, "options:", {"Signatures"});
    }

    // The case's backup as a version of a repository, restored into a target
    // of its own: it must come back as the .kvx brought it back. Its checks
    // are named after the way ("local:", "ssh:").
    void throughRepository(const std::string& way, const RepositoryPlace& place,
                           const RoundTripCase& c, const std::string& from,
                           const WrittenPrefix& source, const WrittenPrefix& viaKvx,
                           const fs::path& passwordFile, int kvxRestoreStatus) {
        const std::string password = " --password-file " + shellQuoted(passwordFile.string());
        const std::string repository = " --repository " + shellQuoted(place.url);
        const CommandRun made =
            trelmig(source.home, "--make-repository " + shellQuoted(place.url) + password,
                    place.environment);
        if (made.status != 0)
            return add(way + ":make-repository", made.output);
        const CommandRun backup =
            trelmig(source.home,
                    from + repository + password + " " +
                        shellQuoted("sf=" + c.profile + "xm=" + kItems + "ps=bf="),
                    place.environment);
        if (backup.status != 0)
            return add(way + ":backup", backup.output);
        const WrittenPrefix target = writePrefix(root_, way + "-target", c.target, c.targetState);
        const CommandRun restore =
            trelmig(target.home,
                    "--prefix " + shellQuoted(target.prefix.string()) + " --restore" + repository +
                        " --version-name latest --profile " + shellQuoted(c.profile) +
                        (c.createProfile ? " --create" : "") + " --items " + kItems + password,
                    place.environment);
        if (restore.status != kvxRestoreStatus)
            add(way + ":restore", "exited " + std::to_string(restore.status) + ", the .kvx's " +
                                      std::to_string(kvxRestoreStatus) + ": " + restore.output);
        compareRestores(way, c, viaKvx, target);
    }

    // Two restores of one case into equal targets: the same Outlook keys and
    // the same files in the prefix and the user's folders.
    void compareRestores(const std::string& way, const RoundTripCase& c,
                         const WrittenPrefix& viaKvx, const WrittenPrefix& viaRepository) {
        const RegFileModel kvxUser = RegFileModel::read(viaKvx.prefix / "user.reg");
        const RegFileModel repositoryUser = RegFileModel::read(viaRepository.prefix / "user.reg");
        for (const std::string& key :
             {c.target.kind.profilesKey(),
              "Software\\Microsoft\\Office\\" + c.target.kind.version() + "\\Outlook"})
            compareTree(way + ":registry", kvxUser, key, repositoryUser, key, {});
        // Registry files are compared above; dot folders of $HOME hold the
        // runs' own state.
        const auto files = [](const WrittenPrefix& p) {
            std::map<std::string, std::string> all;
            for (const auto& [name, hash] : entriesBelow(p.prefix))
                if (name.find('/') != std::string::npos || !name.ends_with(".reg"))
                    all["prefix/" + name] = hash;
            for (const auto& [name, hash] : entriesBelow(p.home))
                if (!name.starts_with("."))
                    all["home/" + name] = hash;
            return all;
        };
        const auto kvxFiles = files(viaKvx);
        const auto repositoryFiles = files(viaRepository);
        for (const auto& [name, hash] : kvxFiles) {
            const auto other = repositoryFiles.find(name);
            if (other == repositoryFiles.end())
                add(way + ":file:" + name, "restored through the .kvx only");
            else if (other->second != hash)
                add(way + ":file:" + name, "restored with other contents than through the .kvx");
        }
        for (const auto& [name, hash] : repositoryFiles)
            if (!kvxFiles.contains(name))
                add(way + ":file:" + name, "restored through the repository only");
    }

    // "pass", or the failed checks of one way (a check prefix, empty: the
    // .kvx's own checks, which have none of the ways' prefixes).
    std::string wayOutcome(const std::string& way) const {
        const auto count = std::count_if(findings_.begin(), findings_.end(), [&](const Finding& f) {
            if (!way.empty())
                return f.check.starts_with(way + ":");
            return !f.check.starts_with("local:") && !f.check.starts_with("ssh:");
        });
        return count ? "FAIL (" + std::to_string(count) + " checks)" : "pass";
    }

    fs::path root_;
    std::vector<Finding> findings_;
};

TEST_P(RoundTrip, BackupRestoredIntoAFreshPrefixComesBackWhole) {
    const RoundTripCase& c = GetParam();
    const WrittenPrefix source = writePrefix(root_, "source", c.source, PrefixState::WithData);
    const WrittenPrefix target = writePrefix(root_, "target", c.target, c.targetState);
    const fs::path passwordFile = root_ / "password";
    std::ofstream(passwordFile) << kPassword << "\n";
    const fs::path archive = root_ / "Sicherung Büro.kvx";

    std::string from = "--prefix " + shellQuoted(source.prefix.string());
    std::optional<WrittenWindowsDisk> windows;
    std::map<std::string, std::string> windowsBefore;
    if (c.fromWindows) {
        addBigValue(source.prefix / "user.reg", c.source.kind.profilesKey() + "\\" + c.profile);
        windows = writeWindowsDisk(source, c.source, root_ / "windows-disk");
        windowsBefore = treeHashes(windows->root);
        // The partition is found above the user folder, or named.
        from = "--windows-user " + shellQuoted(windows->userFolder.string());
        if (c.source.kind.year == 2016)
            from += " --windows-root " + shellQuoted(windows->root.string());
    }
    const CommandRun backup =
        trelmig(source.home,
                from + " --password-file " + shellQuoted(passwordFile.string()) + " " +
                    shellQuoted("sf=" + c.profile + "xm=" + kItems + "ps=bf=" + archive.string()));
    ASSERT_EQ(backup.status, 0) << backup.output;
    if (windows && treeHashes(windows->root) != windowsBefore)
        add("windows-side", "the backup changed the Windows disk");
    // 7-Zip, a peer, must read the archive with the password.
    const CommandRun sevenZip =
        RunShell("7z t -p" + shellQuoted(kPassword) + " " + shellQuoted(archive.string()));
    if (sevenZip.output.find("command not found") == std::string::npos) {
        EXPECT_NE(sevenZip.output.find("Everything is Ok"), std::string::npos) << sevenZip.output;
    }

    const RegFileModel targetBefore = RegFileModel::read(target.prefix / "user.reg");
    const CommandRun restore = trelmig(
        target.home, "--prefix " + shellQuoted(target.prefix.string()) + " --restore " +
                         shellQuoted(archive.string()) + " --profile " + shellQuoted(c.profile) +
                         (c.createProfile ? " --create" : "") + " --items " + kItems +
                         " --password-file " + shellQuoted(passwordFile.string()));
    // Options that cannot be restored may be reported as a failure instead.
    const auto optionsLine = restore.output.find("Restore Options Settings");
    const bool optionsFailed =
        optionsLine != std::string::npos &&
        restore.output.substr(optionsLine, restore.output.find('\n', optionsLine) - optionsLine)
                .find("Fail!") != std::string::npos;
    EXPECT_EQ(restore.status, optionsFailed ? 1 : 0) << restore.output;

    const RegFileModel sourceUser = RegFileModel::read(source.prefix / "user.reg");
    const RegFileModel targetUser = RegFileModel::read(target.prefix / "user.reg");
    const std::string sourceProfile = c.source.kind.profilesKey() + "\\" + c.profile;
    const std::string targetProfile = c.target.kind.profilesKey() + "\\" + c.profile;

    // The data files: where the restored profile names them, equal to the source's.
    std::map<std::string, std::string> movedPaths;
    std::map<std::string, std::string> sourceHashes;
    std::vector<std::string> restoredFiles;
    for (const auto& store : source.stores) {
        if (store.profile != c.profile)
            continue;
        const std::string bare = store.hostPath.filename().string();
        sourceHashes[bare] = sha256Of(store.hostPath);
        const std::string section = targetProfile + "\\" + store.section;
        const auto pathValue = targetUser.value(section, "001f6700");
        if (!pathValue) {
            add("data-file:" + bare, "the restored profile has no path for it in " + section);
            continue;
        }
        const std::string newPath = stringOf(*pathValue);
        movedPaths[store.windowsPath] = newPath;
        restoredFiles.push_back(newPath);
        const auto host = hostPathOf(target.prefix, newPath);
        if (!host || !fs::is_regular_file(*host))
            add("data-file:" + bare, newPath + " does not exist in the restored prefix");
        else if (sha256Of(*host) != sourceHashes[bare])
            add("data-file:" + bare, newPath + " differs from the source's file");
        if (lower(newPath.substr(newPath.rfind('\\') + 1)) != lower(bare))
            add("data-file:" + bare, "restored under another name: " + newPath);
    }

    // The profile's tree: as the source's, data file paths moved, the stale
    // single-byte paths and the cached store of the global section gone.
    std::vector<std::pair<std::string, std::string>> gone = {{kGlobalSection, "1102039b"},
                                                             {kGlobalSection, "001e023d"}};
    for (const auto& store : source.stores)
        if (store.profile == c.profile)
            gone.emplace_back(store.section, "001e6700");
    compareTree("profile", sourceUser, sourceProfile, targetUser, targetProfile, movedPaths, gone);
    checkEmbeddedPaths(targetUser, targetProfile, target.prefix, sourceHashes);

    if (c.createProfile) {
        const std::string defaultKey =
            c.target.kind.year == 2010
                ? c.target.kind.profilesKey()
                : "Software\\Microsoft\\Office\\" + c.target.kind.version() + "\\Outlook";
        const auto named = targetUser.value(defaultKey, "DefaultProfile");
        if (c.target.profiles.empty()) {
            if (!named || stringOf(*named) != c.profile)
                add("default-profile",
                    "the new profile is not the bottle's default: " + describe(named));
        } else if (!named || stringOf(*named) != c.target.profiles.front().name) {
            add("default-profile", "the bottle's default profile was changed: " + describe(named));
        }
    }
    if (c.fromWindows)
        checkInsideBottle(targetUser, targetProfile, target);
    // The other profiles of the target are left as they were.
    for (const auto& other : c.target.profiles) {
        if (other.name == c.profile)
            continue;
        const std::string key = c.target.kind.profilesKey() + "\\" + other.name;
        compareTree("other-profile:" + other.name, targetBefore, key, targetUser, key, {});
    }
    if (!optionsFailed)
        compareTree(
            "options", sourceUser,
            "Software\\Microsoft\\Office\\" + c.source.kind.version() + "\\Outlook\\Options",
            targetUser,
            "Software\\Microsoft\\Office\\" + c.target.kind.version() + "\\Outlook\\Options", {});

    compareFiles("signatures", source.prefix, signaturesFolder(c.source), target.prefix,
                 signaturesFolder(c.target));
    // The picture folders of HTML signatures, by the names the disk gives them.
    if (const auto signatures = hostPathOf(source.prefix, signaturesFolder(c.source)))
        for (const auto& entry : fs::directory_iterator(*signatures))
            if (entry.is_directory()) {
                const std::string sub = entry.path().filename().string();
                compareFiles("signature-pictures:" + sub, source.prefix,
                             signaturesFolder(c.source) + "\\" + sub, target.prefix,
                             signaturesFolder(c.target) + "\\" + sub);
            }
    compareFiles("stationery", source.prefix, stationeryFolder(c.source), target.prefix,
                 stationeryFolder(c.target));
    compareFiles("templates", source.prefix, templatesFolder(c.source), target.prefix,
                 templatesFolder(c.target));
    compareFiles("preferences", source.prefix, outlookRoamingFolder(c.source), target.prefix,
                 outlookRoamingFolder(c.target));
    const auto rules =
        hostPathOf(target.prefix, outlookRoamingFolder(c.target) + "\\" + c.profile + ".rwz");
    const auto sourceRules =
        hostPathOf(source.prefix, outlookRoamingFolder(c.source) + "\\" + c.profile + ".rwz");
    if (!rules || sha256Of(*rules) != sha256Of(*sourceRules))
        add("rules:" + c.profile + ".rwz", "not restored as the source's");

    // The same backup through repositories: a folder for every case, an
    // ssh server for the cases marked so.
    const int kvxRestoreStatus = optionsFailed ? 1 : 0;
    throughRepository("local", localRepository(root_), c, from, source, target, passwordFile,
                      kvxRestoreStatus);
    std::string sshOutcome = "not run (a folder repository stands for it)";
    if (c.overSsh) {
        std::string why;
        if (const auto place = sshRepository(c.name, why)) {
            throughRepository("ssh", *place, c, from, source, target, passwordFile,
                              kvxRestoreStatus);
            sshOutcome = wayOutcome("ssh");
        } else {
            sshOutcome = "skipped: " + why;
        }
    }
    addRouteRow(c.kindTag, c.profile, wayOutcome(""), wayOutcome("local"), sshOutcome);

    std::string wineNote;
    if (const auto why = WineView::unavailable())
        wineNote = "; Wine: skipped, " + *why;
    else if (c.readByWine) {
        readWithWine(target.prefix, targetUser, targetProfile, restoredFiles);
        wineNote = "; Wine: read";
    } else
        wineNote = "; Wine: read another profile of this prefix kind";

    addNameRows(c);

    // Report: faults the program is known to have are skipped on exactly
    // their checks, every other difference fails.
    std::vector<std::string> known;
    std::vector<std::string> knownNames;
    std::vector<bool> attributed(knownFaults().size(), false);
    std::size_t failures = 0;
    for (const auto& f : findings_) {
        const auto fault =
            std::find_if(knownFaults().begin(), knownFaults().end(), [&](const auto& k) {
                return (k.caseName.empty() || k.caseName == c.name) &&
                       f.check.find(k.check) != std::string::npos;
            });
        if (fault != knownFaults().end()) {
            known.push_back(f.check + " (" + fault->reason + "): " + f.detail);
            attributed[static_cast<std::size_t>(fault - knownFaults().begin())] = true;
            const std::string name = fault->reason.substr(0, fault->reason.find(':'));
            if (std::find(knownNames.begin(), knownNames.end(), name) == knownNames.end())
                knownNames.push_back(name);
        } else {
            ADD_FAILURE() << f.check << ": " << f.detail;
            ++failures;
        }
    }
    // A fault named for this very case that no check met any more: mended.
    std::string stale;
    for (std::size_t i = 0; i < knownFaults().size(); ++i)
        if (knownFaults()[i].caseName == c.name && !attributed[i])
            stale = "; known fault no longer seen, remove its entry: " + knownFaults()[i].check;
    std::string outcome;
    if (failures) {
        outcome = "FAIL (" + std::to_string(failures) + " checks)";
    } else if (known.empty()) {
        outcome = "pass";
    } else {
        outcome = "skip, every other check passes; known fault";
        for (std::size_t i = 0; i < knownNames.size(); ++i)
            outcome += (i ? ", " : ": ") + knownNames[i];
    }
    addTableRow(c.kindTag, c.profile, outcome + stale + wineNote);
    if (failures == 0 && !known.empty()) {
        std::string message;
        for (const auto& k : known)
            message += "\n  " + k;
        GTEST_SKIP() << "known fault:" << message;
    }
}

} // namespace

namespace roundtrip {
void PrintTo(const RoundTripCase& c, std::ostream* os) {
    *os << c.kindTag << " / " << c.profile;
}
} // namespace roundtrip

namespace {

INSTANTIATE_TEST_SUITE_P(Prefixes, RoundTrip, ::testing::ValuesIn(roundTripCases()),
                         [](const auto& info) { return info.param.name; });

} // namespace
