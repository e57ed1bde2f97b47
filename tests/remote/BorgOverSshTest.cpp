// borg itself against the test server, so that a failure of the program's own
// remote tests can be told apart from a server that does not work.
#include "RemoteBorgServer.h"
#include "RunShell.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A shell command running beside the test, its output in a file.
class BackgroundShell {
public:
    BackgroundShell(const std::string& command, const fs::path& output) {
        pid_ = ::fork();
        if (pid_ == 0) {
            const int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(out, 1);
            ::dup2(out, 2);
            ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }
    ~BackgroundShell() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            wait();
        }
    }
    bool running() const { return pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0; }
    int wait() {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
};

class BorgOverSshTest : public testing::Test {
protected:
    void SetUp() override {
        if (!server_.skipReason().empty())
            GTEST_SKIP() << server_.skipReason();
    }
    CommandRun borg(const std::string& arguments) const {
        return RunShell(server_.clientEnv() + "BORG_PASSPHRASE=remote-Pw borg " + arguments);
    }
    std::string borgLine(const std::string& arguments) const {
        return server_.clientEnv() + "BORG_PASSPHRASE=remote-Pw borg " + arguments;
    }
    void writeRandom(const fs::path& file, int megabytes) const {
        ASSERT_EQ(RunShell("head -c " + std::to_string(megabytes) + "M /dev/urandom > '" +
                           file.string() + "'")
                      .status,
                  0);
    }

    RemoteBorgServer server_;
};

TEST_F(BorgOverSshTest, ServesOnlyItsFolderThroughTheForcedCommand) {
    const fs::path data = server_.folder() / "mail.pst";
    writeRandom(data, 1);
    const CommandRun init = borg("init --encryption=repokey-blake2 " + server_.url("repo"));
    ASSERT_EQ(init.status, 0) << init.output << server_.log();
    const CommandRun create =
        borg("create " + server_.url("repo") + "::night-1 '" + data.string() + "'");
    ASSERT_EQ(create.status, 0) << create.output;
    const CommandRun list = borg("list --short " + server_.url("repo"));
    EXPECT_EQ(list.output, "night-1\n");
    EXPECT_TRUE(fs::exists(server_.repositoryPath("repo") / "config"));

    // The forced command keeps the key inside the served folder.
    const std::string outside = server_.url("repo");
    const std::string elsewhere =
        outside.substr(0, outside.find('/', 6)) + (server_.folder() / "elsewhere").string();
    const CommandRun refused = borg("init --encryption=repokey-blake2 " + elsewhere);
    EXPECT_NE(refused.status, 0);
    EXPECT_NE(refused.output.find("not allowed"), std::string::npos) << refused.output;
    EXPECT_FALSE(fs::exists(server_.folder() / "elsewhere"));
}

TEST_F(BorgOverSshTest, UnreachableServerNamesTheRefusedConnection) {
    // Only in its JSON log does borg 1.2 pass on ssh's own reason, and only
    // when it reads ssh's words before it sees the connection close: two runs
    // in five it does not (the program then asks the server's port itself).
    // Its text log says no more than the connection closed.
    const CommandRun list = borg("--log-json list " + server_.unreachableUrl("repo"));
    EXPECT_EQ(list.status, 2);
    EXPECT_NE(list.output.find("\"msgid\": \"ConnectionClosedWithHint\""), std::string::npos)
        << list.output;
    const auto ssh = list.output.find("Remote: ssh: connect to host 127.0.0.1 port");
    if (ssh != std::string::npos) {
        EXPECT_NE(list.output.find("Connection refused", ssh), std::string::npos) << list.output;
    }
}

TEST_F(BorgOverSshTest, ConnectionCutDuringCreateLeavesARepositoryTheNextRunWritesTo) {
    const std::string url = server_.url("repo");
    ASSERT_EQ(borg("init --encryption=repokey-blake2 " + url).status, 0);
    const fs::path big = server_.folder() / "big.pst";
    writeRandom(big, 96);
    const std::uintmax_t before = FolderBytes(server_.repositoryPath("repo") / "data");

    // Slowed down so that the cut falls inside the upload, whatever the machine.
    const fs::path output = server_.folder() / "create.log";
    BackgroundShell create(
        borgLine("create --upload-ratelimit 2048 " + url + "::cut '" + big.string() + "'"), output);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(3);
    while (create.running() && FolderBytes(server_.repositoryPath("repo") / "data") <= before &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_TRUE(create.running()) << "the upload ended before data arrived";
    EXPECT_GE(server_.cutConnections(), 1);
    EXPECT_NE(create.wait(), 0);
    const CommandRun log = RunShell("cat '" + output.string() + "'");
    EXPECT_NE(log.output.find("Broken pipe"), std::string::npos) << log.output;

    const CommandRun remoteCheck = borg("--lock-wait 30 check " + url);
    EXPECT_EQ(remoteCheck.status, 0) << remoteCheck.output;
    const CommandRun localCheck =
        borg("--lock-wait 30 check " + server_.repositoryPath("repo").string());
    EXPECT_EQ(localCheck.status, 0) << localCheck.output;
    const fs::path small = server_.folder() / "small.pst";
    writeRandom(small, 1);
    const CommandRun next = borg("create " + url + "::next '" + small.string() + "'");
    EXPECT_EQ(next.status, 0) << next.output;
    EXPECT_EQ(borg("list --short " + url).output, "next\n");
}

} // namespace
