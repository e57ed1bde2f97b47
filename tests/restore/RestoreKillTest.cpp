#include "platform/WineRegistryFormat.h"

#include "RestoreFixture.h"

#include <cstring>
#include <fcntl.h>
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

} // namespace

// A restore killed at any moment leaves every data file and every registry
// file either as it was or as the restore makes it, never a mix.
TEST_F(RestoreFixture, ARestoreKilledHalfWayLeavesOldOrNewFilesOnly) {
    const fs::path sourcePst = source.userFolder() / "AppData/Local/Microsoft/Outlook/Outlook.pst";
    growDataFile(sourcePst, 48u << 20);
    const std::string newPst = readWholeFile(sourcePst);
    backUp(items({0}));

    for (int delayMs : {1, 5, 15, 30, 50, 80, 120, 170, 230}) {
        SamplePrefixCopy fresh;
        const fs::path pst = fresh.userFolder() / "AppData/Local/Microsoft/Outlook/Outlook.pst";
        const std::string oldPst = readWholeFile(pst);
        const std::string oldUser = readWholeFile(fresh.root / "user.reg");

        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const int devnull = ::open("/dev/null", O_WRONLY);
            dup2(devnull, 1);
            dup2(devnull, 2);
            const std::string prefixArg = fresh.root.string();
            execl(TRELMIG_BINARY, TRELMIG_BINARY, "--prefix", prefixArg.c_str(), "--restore",
                  archive.c_str(), "--profile", "Outlook", "--items", "10000000",
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        usleep(static_cast<useconds_t>(delayMs) * 1000);
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);

        const std::string pstNow = readWholeFile(pst);
        EXPECT_TRUE(pstNow == oldPst || pstNow == newPst)
            << "after " << delayMs << " ms: Outlook.pst is " << pstNow.size() << " bytes";
        const std::string userNow = readWholeFile(fresh.root / "user.reg");
        if (userNow != oldUser) {
            EXPECT_NO_THROW(parseWineRegistry(userNow, "user.reg")) << "after " << delayMs << " ms";
        }
        EXPECT_EQ(readWholeFile(fresh.root / "system.reg"),
                  readWholeFile(source.root / "system.reg"));
    }
}
