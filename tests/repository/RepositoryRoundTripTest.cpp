// A backup of a sample prefix as a version of a repository, through the
// program as a user runs it, against the same backup through a .kvx.
#include "BorgRepositoryFixture.h"
#include "SamplePrefixCopy.h"

#include <map>

namespace fs = std::filesystem;

namespace {

const std::string kPassphrase = "s3cret words";
const std::string kItems = "11110111";

// Every file below the folder by its relative path, with its content.
std::map<std::string, std::string> treeOf(const fs::path& root) {
    std::map<std::string, std::string> tree;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file() && !entry.is_symlink())
            tree[fs::relative(entry.path(), root).string()] = readWholeFile(entry.path());
    return tree;
}

class RepositoryRoundTripTest : public BorgRepositoryFixture {
protected:
    CommandRun trelmig(const std::string& arguments) {
        return RunShell("HOME='" + work_.path().string() + "' XDG_STATE_HOME='" +
                        (work_.path() / "state").string() + "' XDG_CONFIG_HOME='" +
                        (work_.path() / "config").string() + "' " TRELMIG_BINARY " " + arguments +
                        " </dev/null");
    }
    std::string passwordFile() {
        const auto file = work_.path() / "passphrase";
        writeFile(file, kPassphrase + "\n");
        return "--password-file '" + file.string() + "'";
    }
    std::string repo() { return " --repository '" + repository_.url + "' "; }
};

} // namespace

TEST_F(RepositoryRoundTripTest, AVersionRestoresAsItsKvxDoesAndTurnsIntoOne) {
    SamplePrefixCopy viaRepository, viaKvx;
    const std::string pass = passwordFile();
    ASSERT_EQ(trelmig("--make-repository '" + repository_.url + "' " + pass).status, 0);

    // The unattended line never makes a repository of its own.
    const CommandRun none =
        trelmig("--prefix '" + viaRepository.root.string() + "' --repository '" + repository_.url +
                "-none' 'sf=Outlookxm=" + kItems + "ps=" + kPassphrase + "bf='");
    EXPECT_EQ(none.status, 1) << none.output;
    EXPECT_NE(none.output.find("there is no repository"), std::string::npos) << none.output;
    EXPECT_FALSE(fs::exists(repository_.url + "-none"));

    const CommandRun backup =
        trelmig("--prefix '" + viaRepository.root.string() + "'" + repo() + "--keep-last 2 " +
                "'sf=Outlookxm=" + kItems + "ps=" + kPassphrase + "bf='");
    ASSERT_EQ(backup.status, 0) << backup.output;
    const auto runs = readWholeFile(work_.path() / "state/trelmig/runs.log");
    EXPECT_NE(runs.find(repository_.url + "::"), std::string::npos) << runs;

    const CommandRun listed = trelmig("--list-versions" + repo() + pass);
    ASSERT_EQ(listed.status, 0) << listed.output;
    EXPECT_NE(listed.output.find("profile Outlook"), std::string::npos) << listed.output;
    EXPECT_NE(listed.output.find("added "), std::string::npos) << listed.output;

    const CommandRun fromVersion =
        trelmig("--prefix '" + viaRepository.root.string() + "' --restore" + repo() +
                "--version-name latest --profile Restored --create --items " + kItems + " " + pass);
    EXPECT_EQ(fromVersion.status, 0) << fromVersion.output;

    // The same through a backup file.
    const auto kvx = work_.path() / "outlook.kvx";
    ASSERT_EQ(trelmig("--prefix '" + viaKvx.root.string() + "' 'sf=Outlookxm=" + kItems +
                      "ps=bf=" + kvx.string() + "'")
                  .status,
              0);
    const CommandRun fromKvx =
        trelmig("--prefix '" + viaKvx.root.string() + "' --restore '" + kvx.string() +
                "' --profile Restored --create --items " + kItems);
    EXPECT_EQ(fromKvx.status, 0) << fromKvx.output;
    EXPECT_EQ(treeOf(viaRepository.driveC()), treeOf(viaKvx.driveC()));

    // A version as a .kvx that 7-Zip reads, and a .kvx as a version.
    const auto exported = work_.path() / "exported.kvx";
    const CommandRun exportRun = trelmig("--export-kvx '" + exported.string() + "'" + repo() +
                                         "--version-name latest " + pass);
    ASSERT_EQ(exportRun.status, 0) << exportRun.output;
    const CommandRun sevenZip =
        RunShell("7z t -p'" + kPassphrase + "' '" + exported.string() + "'");
    if (sevenZip.output.find("not found") == std::string::npos) {
        EXPECT_NE(sevenZip.output.find("Everything is Ok"), std::string::npos) << sevenZip.output;
    }
    const CommandRun imported = trelmig("--import-kvx '" + kvx.string() + "'" + repo() + pass);
    ASSERT_EQ(imported.status, 0) << imported.output;
    const CommandRun relisted = trelmig("--list-versions" + repo() + pass);
    EXPECT_NE(relisted.output.find("-kvx-Outlook-"), std::string::npos) << relisted.output;
    EXPECT_EQ(trelmig("--verify" + repo() + pass).status, 0);
}
