// The unattended backup of a hand-built Outlook 2016 prefix with several
// profiles, read back with Info-ZIP's unzip and a parse of the registry text
// of its own: the profile named is the profile saved, items this Outlook does
// not have are no failure, data files are taken at one moment.
#include "platform/PointInTimeCopy.h"
#include "schedule/AutoBackup.h"

#include "DataFileWriter.h"
#include "Outlook2016Prefix.h"
#include "RunShell.h"
#include "platform/ScopedEnv.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

namespace fs = std::filesystem;
using namespace trelmig;

namespace {

std::string shellQuoted(const fs::path& p) {
    return "'" + p.string() + "'";
}

std::string unzipEntry(const fs::path& archive, const std::string& entry) {
    return RunShell("unzip -p " + shellQuoted(archive) + " " + shellQuoted(entry)).output;
}

std::string infoValue(const std::string& info, const std::string& key) {
    std::istringstream lines(info);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.rfind(key + "=", 0) == 0)
            return line.substr(key.size() + 1);
    }
    return {};
}

// A registry export as the archive holds it: "\Sub" key lines, value lines
// "name"=bin:<decimal bytes>. Every key line, and the text of every binary
// value of that name read as UTF-16.
struct RegistryText {
    std::vector<std::string> keys;
    std::set<std::string> texts;
};

RegistryText parseRegistryText(const std::string& text, const std::string& valueName) {
    RegistryText parsed;
    std::istringstream lines(text);
    const std::string prefix = "\"" + valueName + "\"=bin:";
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] == '\\')
            parsed.keys.push_back(line);
        if (line.rfind(prefix, 0) != 0)
            continue;
        std::string decoded;
        std::istringstream bytes(line.substr(prefix.size()));
        std::vector<int> values;
        for (std::string b; std::getline(bytes, b, ',');)
            values.push_back(std::stoi(b));
        for (std::size_t i = 0; i + 1 < values.size() && (values[i] || values[i + 1]); i += 2)
            decoded += static_cast<char>(values[i]);
        parsed.texts.insert(decoded);
    }
    return parsed;
}

int runUnattended(const fs::path& prefix, const std::string& line, std::string& err) {
    std::ostringstream errors;
    const int code = RunAutoBackup({line}, prefix, errors);
    err = errors.str();
    return code;
}

} // namespace

TEST(UnattendedOutlook2016, TheProfileNamedIsTheProfileSaved) {
    outlook2016::Prefix prefix;
    for (const std::string profile : {"Outlook", "Work"}) {
        const fs::path target = prefix.work.path() / (profile + ".kvx");
        std::string err;
        ASSERT_EQ(runUnattended(prefix.root,
                                "sf=" + profile + "xm=11000000ps=bf=" + target.string(), err),
                  0)
            << err;
        const std::string info = unzipEntry(target, "vastrel.dat");
        EXPECT_EQ(infoValue(info, "BackupIdentity"), profile);
        EXPECT_EQ(infoValue(info, "BackupDatas"), outlook2016::dataFileOf(profile));
        EXPECT_EQ(unzipEntry(target, outlook2016::dataFileOf(profile)),
                  "!BDN data of the " + profile + " profile");

        // Its own accounts, and no other profile's.
        const RegistryText accounts =
            parseRegistryText(unzipEntry(target, infoValue(info, "BackupAccounts")), "Email");
        EXPECT_EQ(accounts.texts, (std::set<std::string>{outlook2016::accountOf(profile)}));
        ASSERT_FALSE(accounts.keys.empty());
        EXPECT_EQ(accounts.keys[0], "\\");
        // The profile's own configuration names its own data file.
        const RegistryText config =
            parseRegistryText(unzipEntry(target, infoValue(info, "BackupConfig")), "001f3001");
        EXPECT_EQ(config.texts, (std::set<std::string>{profile + " mail"}));
    }
}

TEST(UnattendedOutlook2016, EveryItemOfAProfileWithoutAddressBookIsASuccess) {
    outlook2016::Prefix prefix;
    const fs::path target = prefix.work.path() / "nightly.kvx";
    std::string err;
    // Outlook 2016 keeps no Personal Address Book; there are no stationery,
    // templates or preferences either.
    EXPECT_EQ(runUnattended(prefix.root, "sf=Workxm=11111111ps=bf=" + target.string(), err), 0)
        << err;
    EXPECT_EQ(infoValue(unzipEntry(target, "vastrel.dat"), "BackupItem"), "1101100100");

    // An item that exists but cannot be gathered still fails the run, and the
    // archive without it is written beside the earlier one.
    const std::string earlier = RunShell("cat " + shellQuoted(target)).output;
    fs::remove(prefix.dataFolder() / outlook2016::dataFileOf("Work"));
    EXPECT_EQ(runUnattended(prefix.root, "sf=Workxm=11111111ps=bf=" + target.string(), err), 3);
    EXPECT_EQ(RunShell("cat " + shellQuoted(target)).output, earlier);
    const fs::path partial = prefix.work.path() / "nightly.partial.kvx";
    EXPECT_EQ(RunShell("unzip -tq " + shellQuoted(partial)).status, 0);
    EXPECT_NE(err.find(target.string()), std::string::npos) << err;
    EXPECT_NE(err.find(partial.string()), std::string::npos) << err;
    EXPECT_NE(err.find("Backup Personal Folders"), std::string::npos) << err;
}

namespace {

// A btrfs file system on a loop device, mounted for the test; not mounted
// where the machine lets no test mount one.
class BtrfsImage {
public:
    BtrfsImage() {
        const fs::path image = work_.path() / "btrfs.img";
        mount_ = work_.path() / "mnt";
        fs::create_directories(mount_);
        if (RunShell("command -v mkfs.btrfs").status != 0)
            return;
        if (RunShell("truncate -s 200M " + shellQuoted(image) + " && mkfs.btrfs -q " +
                     shellQuoted(image))
                .status != 0)
            return;
        mounted_ =
            RunShell("mount -o loop " + shellQuoted(image) + " " + shellQuoted(mount_)).status == 0;
    }
    ~BtrfsImage() {
        if (mounted_)
            RunShell("umount " + shellQuoted(mount_));
    }
    bool mounted() const { return mounted_; }
    const fs::path& path() const { return mount_; }

private:
    WorkFolder work_;
    fs::path mount_;
    bool mounted_ = false;
};

} // namespace

TEST(UnattendedOutlook2016, ADataFileWrittenDuringTheBackupIsClonedWhereTheFileSystemCan) {
    BtrfsImage btrfs;
    if (!btrfs.mounted())
        GTEST_SKIP() << "no btrfs image can be mounted here";
    std::string err;
    int code = -1;
    {
        // The prefix and the work folder on the same btrfs.
        ScopedEnv tmp("TMPDIR", btrfs.path().string());
        outlook2016::Prefix prefix;
        const fs::path pst = prefix.dataFolder() / outlook2016::dataFileOf("Outlook");
        writeDataFile(pst, 32u << 20);
        ASSERT_EQ(MakePointInTimeCopy(pst, prefix.work.path() / "probe"), CopyMethod::Clone);
        DataFileWriter outlook(pst);
        outlook.waitUntilWriting();
        const fs::path target = prefix.work.path() / "b.kvx";
        code = runUnattended(prefix.root, "sf=Outlookxm=10000000ps=bf=" + target.string(), err);
        outlook.stop();
        EXPECT_GT(outlook.pieces(), 0);
        EXPECT_EQ(RunShell("unzip -tq " + shellQuoted(target)).status, 0);
        EXPECT_EQ(unzipEntry(target, "Outlook mail.pst").size(), 32u << 20);
    }
    EXPECT_EQ(code, 0) << err;
}

TEST(UnattendedOutlook2016, ADataFileThatNeverHoldsStillFailsTheRun) {
    outlook2016::Prefix prefix;
    const fs::path pst = prefix.dataFolder() / outlook2016::dataFileOf("Outlook");
    writeDataFile(pst, 32u << 20);
    if (MakePointInTimeCopy(pst, prefix.work.path() / "probe") == CopyMethod::Clone)
        GTEST_SKIP() << "the work folder's file system clones files";
    fs::remove(prefix.work.path() / "probe");
    DataFileWriter outlook(pst);
    outlook.waitUntilWriting();
    const fs::path target = prefix.work.path() / "b.kvx";
    std::string err;
    const int code =
        runUnattended(prefix.root, "sf=Outlookxm=10000000ps=bf=" + target.string(), err);
    outlook.stop();
    EXPECT_EQ(code, 3) << err;
    EXPECT_NE(err.find("C:\\users\\lee\\Documents\\Outlook Files\\Outlook mail.pst changed while "
                       "it was being copied: close Outlook and back up again"),
              std::string::npos)
        << err;
}
