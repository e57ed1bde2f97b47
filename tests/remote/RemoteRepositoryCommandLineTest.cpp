// The program's command line against a repository on a server that only lets
// its key run "borg serve --append-only", as hosted borg services do.
#include "RemoteBorgServer.h"
#include "RunShell.h"
#include "SamplePrefixCopy.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class RemoteRepositoryCommandLineTest : public testing::Test {
protected:
    void SetUp() override {
        if (!server_.skipReason().empty())
            GTEST_SKIP() << server_.skipReason();
        std::ofstream(passwordFile_) << "remote-Pw\n";
    }
    // The program with the test server's client side in its environment.
    std::string program(const std::string& arguments) const {
        return server_.clientEnv() + "XDG_STATE_HOME='" + (sample_.work.path() / "state").string() +
               "' " + TRELMIG_BINARY + " --prefix '" + sample_.root.string() + "' " + arguments;
    }
    CommandRun run(const std::string& arguments) const { return RunShell(program(arguments)); }
    std::string withPassword() const { return " --password-file '" + passwordFile_.string() + "'"; }
    CommandRun backUp(const std::string& url, const std::string& more = "") const {
        return run("sf=Outlook xm=10000000 ps=remote-Pw bf= --repository " + url + more);
    }
    CommandRun listVersions(const std::string& url) const {
        return run("--list-versions --repository " + url + withPassword());
    }
    CommandRun restoreLatest(const std::string& url) const {
        return run("--restore --repository " + url +
                   " --version-name latest --profile Outlook --items 10000000" + withPassword());
    }
    fs::path dataFile() const {
        return sample_.userFolder() / "AppData/Local/Microsoft/Outlook/Outlook.pst";
    }
    CommandRun borg(const std::string& arguments) const {
        return RunShell(server_.clientEnv() + "BORG_PASSPHRASE=remote-Pw borg " + arguments);
    }
    void makeRepository(const std::string& url) const {
        const CommandRun made = run("--make-repository " + url + withPassword());
        ASSERT_EQ(made.status, 0) << made.output;
    }

    RemoteBorgServer server_;
    SamplePrefixCopy sample_;
    fs::path passwordFile_ = sample_.work.path() / "password.txt";
};

TEST_F(RemoteRepositoryCommandLineTest, BacksUpListsAndRestoresThroughTheServer) {
    const std::string url = server_.url("repo");
    makeRepository(url);
    const std::string original = readWholeFile(dataFile());
    const CommandRun backup = backUp(url);
    ASSERT_EQ(backup.status, 0) << backup.output;
    const CommandRun list = listVersions(url);
    ASSERT_EQ(list.status, 0) << list.output;
    EXPECT_NE(list.output.find("Outlook"), std::string::npos) << list.output;

    std::ofstream(dataFile(), std::ios::trunc) << "changed since";
    const CommandRun restore = restoreLatest(url);
    ASSERT_EQ(restore.status, 0) << restore.output;
    EXPECT_EQ(readWholeFile(dataFile()), original);
}

// Each verb names why it could not reach the server, and the server's address;
// nothing is left that stops the next run.
TEST_F(RemoteRepositoryCommandLineTest, UnreachableServerIsNamedByEveryVerb) {
    const std::string closed = server_.unreachableUrl("repo");
    for (const CommandRun& failed : {backUp(closed), listVersions(closed), restoreLatest(closed)}) {
        EXPECT_NE(failed.status, 0) << failed.output;
        EXPECT_NE(failed.output.find("Connection refused"), std::string::npos) << failed.output;
        EXPECT_NE(failed.output.find("127.0.0.1"), std::string::npos) << failed.output;
    }
    const std::string url = server_.url("repo");
    makeRepository(url);
    const CommandRun next = backUp(url);
    EXPECT_EQ(next.status, 0) << next.output;
}

TEST_F(RemoteRepositoryCommandLineTest, ConnectionCutDuringABackupFailsItAndTheNextRunWorks) {
    const std::string url = server_.url("repo");
    makeRepository(url);
    // Large enough that the upload is still going when data first reaches the server.
    ASSERT_EQ(RunShell("head -c 128M /dev/urandom > '" + dataFile().string() + "'").status, 0);
    const fs::path data = server_.repositoryPath("repo") / "data";
    const std::uintmax_t before = FolderBytes(data);

    const fs::path output = sample_.work.path() / "cut.log";
    const pid_t backup = ::fork();
    if (backup == 0) {
        const int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(out, 1);
        ::dup2(out, 2);
        const std::string line =
            program("sf=Outlook xm=10000000 ps=remote-Pw bf= --repository " + url);
        ::execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(3);
    int status = 0;
    bool ended = false;
    while (!(ended = ::waitpid(backup, &status, WNOHANG) == backup) &&
           FolderBytes(data) <= before && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_FALSE(ended) << "the backup ended before data arrived: " << readWholeFile(output);
    EXPECT_GE(server_.cutConnections(), 1);
    ::waitpid(backup, &status, 0);
    const std::string said = readWholeFile(output);
    EXPECT_EQ(WEXITSTATUS(status), 1) << said;
    EXPECT_NE(said.find("connection"), std::string::npos) << said;

    const CommandRun check =
        borg("--lock-wait 30 check " + server_.repositoryPath("repo").string());
    EXPECT_EQ(check.status, 0) << check.output;
    const CommandRun next = backUp(url);
    EXPECT_EQ(next.status, 0) << next.output;
    const CommandRun list = borg("list --short " + url);
    EXPECT_EQ(std::count(list.output.begin(), list.output.end(), '\n'), 1) << list.output;
}

// The server's key may only append: pruning hides the older version, compacting
// frees nothing, and the run says so without failing. The two versions are of
// one day: the policy keeps the newest of it alone, as it does with .kvx files.
TEST_F(RemoteRepositoryCommandLineTest, KeepingVersionsOnAnAppendOnlyServerHidesAndSaysSo) {
    const std::string url = server_.url("repo");
    makeRepository(url);
    ASSERT_EQ(backUp(url).status, 0);
    std::ofstream(dataFile(), std::ios::app) << "a night's new mail";
    const std::uintmax_t before = FolderBytes(server_.repositoryPath("repo") / "data");
    const CommandRun kept = backUp(url, " --keep-last 1 --keep-daily 1");
    EXPECT_EQ(kept.status, 0) << kept.output;
    EXPECT_NE(kept.output.find("append-only"), std::string::npos) << kept.output;
    const CommandRun list = borg("list --short " + url);
    EXPECT_EQ(std::count(list.output.begin(), list.output.end(), '\n'), 1)
        << list.output << kept.output;
    EXPECT_GE(FolderBytes(server_.repositoryPath("repo") / "data"), before);
    // What is left is the newer version: it holds the new mail.
    const CommandRun restore = restoreLatest(url);
    ASSERT_EQ(restore.status, 0) << restore.output;
    EXPECT_TRUE(readWholeFile(dataFile()).ends_with("a night's new mail"));
}

} // namespace
