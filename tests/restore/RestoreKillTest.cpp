#include "platform/WineRegistryFormat.h"

#include "RestoreFixture.h"

#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <random>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace trelmig;

namespace {

// A data file large enough that a restore takes a while.
void growDataFile(const fs::path& file, std::size_t bytes) {
    std::mt19937_64 random(42);
    std::string data(bytes, '\0');
    for (std::size_t i = 0; i + 8 <= data.size(); i += 8) {
        const std::uint64_t v = random();
        std::memcpy(&data[i], &v, 8);
    }
    std::ofstream(file, std::ios::binary) << data;
}

// Runs the restore of the data files and signatures into the prefix; kills it
// after delayUs microseconds when that is not negative. Returns the wait status.
int runRestore(const fs::path& prefix, const std::string& archive, int delayUs) {
    const pid_t child = fork();
    if (child == 0) {
        const int devnull = ::open("/dev/null", O_WRONLY);
        dup2(devnull, 1);
        dup2(devnull, 2);
        const std::string prefixArg = prefix.string();
        // Its undo records go beside the prefix, not into the user's home.
        setenv("XDG_STATE_HOME", (prefix.parent_path() / "state").c_str(), 1);
        execl(TRELMIG_BINARY, TRELMIG_BINARY, "--prefix", prefixArg.c_str(), "--restore",
              archive.c_str(), "--profile", "Outlook", "--items", "10100000",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    if (delayUs >= 0) {
        usleep(static_cast<useconds_t>(delayUs));
        kill(child, SIGKILL);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return status;
}

// Files below a folder whose names show they were left by a run.
std::vector<std::string> strayFiles(const fs::path& root) {
    std::vector<std::string> stray;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.path().filename().string().find(".trelmig") != std::string::npos)
            stray.push_back(e.path().string());
    return stray;
}

} // namespace

// A restore killed at any moment leaves every data file and every registry
// file either as it was or as the restore makes it, never a mix; the next
// restore completes and leaves no file of the killed one behind.
TEST_F(RestoreFixture, ARestoreKilledAtRandomMomentsLosesNothing) {
    const fs::path sourcePst = source.userFolder() / "AppData/Local/Microsoft/Outlook/Outlook.pst";
    growDataFile(sourcePst, 48u << 20);
    const std::string newPst = readWholeFile(sourcePst);
    std::ofstream(source.userFolder() / "AppData/Roaming/Microsoft/Signatures/Personal.htm")
        << "new signature";
    backUp(items({0, 2}));

    // The moments are spread over the time one whole restore takes here.
    long long took = 0;
    for (int timing = 0; timing < 2; ++timing) {
        SamplePrefixCopy copy;
        const auto started = std::chrono::steady_clock::now();
        ASSERT_EQ(runRestore(copy.root, archive, -1), 0);
        const auto us = std::chrono::duration_cast<std::chrono::microseconds>(
                            std::chrono::steady_clock::now() - started)
                            .count();
        took = timing == 0 ? us : std::min<long long>(took, us);
    }
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> moment(0, static_cast<int>(took));
    constexpr int kRuns = 20;
    int sound = 0;
    int killedMidway = 0; // the others had finished before the signal
    for (int run = 0; run < kRuns; ++run) {
        const int delayUs = moment(random);
        SamplePrefixCopy fresh;
        const fs::path pst = fresh.userFolder() / "AppData/Local/Microsoft/Outlook/Outlook.pst";
        const fs::path signature =
            fresh.userFolder() / "AppData/Roaming/Microsoft/Signatures/Personal.htm";
        const std::string oldPst = readWholeFile(pst);
        const std::string oldSignature = readWholeFile(signature);
        const std::string oldUser = readWholeFile(fresh.root / "user.reg");

        const int killedStatus = runRestore(fresh.root, archive, delayUs);
        killedMidway += WIFSIGNALED(killedStatus) ? 1 : 0;
        const std::string pstNow = readWholeFile(pst);
        const std::string signatureNow = readWholeFile(signature);
        const std::string userNow = readWholeFile(fresh.root / "user.reg");
        bool ok = true;
        ok &= pstNow == oldPst || pstNow == newPst;
        ok &= signatureNow == oldSignature || signatureNow == "new signature";
        if (userNow != oldUser) {
            try {
                parseWineRegistry(userNow, "user.reg");
            } catch (const std::exception&) {
                ok = false;
            }
        }
        ok &= readWholeFile(fresh.root / "system.reg") == readWholeFile(source.root / "system.reg");

        // The next restore completes and cleans up after the killed one.
        const int status = runRestore(fresh.root, archive, -1);
        ok &= WIFEXITED(status) && WEXITSTATUS(status) == 0;
        ok &= readWholeFile(pst) == newPst && readWholeFile(signature) == "new signature";
        const auto stray = strayFiles(fresh.root);
        ok &= stray.empty();
        EXPECT_TRUE(ok) << "run " << run << ", killed after " << delayUs << " us: Outlook.pst "
                        << pstNow.size() << " bytes, exit status " << status << ", " << stray.size()
                        << " stray files" << (stray.empty() ? "" : ": ")
                        << (stray.empty() ? "" : stray.front());
        sound += ok ? 1 : 0;
    }
    EXPECT_GE(killedMidway, kRuns / 4) << "the restore ended before most kills";
    std::cout << sound << "/" << kRuns << " runs (" << killedMidway
              << " killed before the restore ended) killed at random moments: old or new files "
                 "only, the next restore "
                 "complete and no stray file\n";
}
