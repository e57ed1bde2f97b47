#include "SamplePrefixCopy.h"

#include <gtest/gtest.h>

#include <fstream>

#include "RunShell.h"

namespace fs = std::filesystem;

namespace {

CommandRun verify(const std::string& args) {
    return RunShell(std::string(TRELMIG_BINARY) + " --verify " + args);
}

} // namespace

// A backup the unattended run wrote verifies sound; one changed byte makes it
// damaged with the entry named; a wrong password or a file that is no archive
// is refused.
TEST(VerifyCommand, ExitsSoundDamagedOrRefused) {
    SamplePrefixCopy sample;
    const fs::path dir = sample.work.path();
    const std::string archive = (dir / "b.kvx").string();
    const std::string prefix = " --prefix '" + sample.root.string() + "' ";
    ASSERT_EQ(RunShell(std::string(TRELMIG_BINARY) + prefix +
                       "sf=Outlook xm=10100000 ps=secret 'bf=" + archive + "'")
                  .status,
              0);
    std::ofstream(dir / "right.txt") << "secret\n";
    std::ofstream(dir / "wrong.txt") << "guess\n";

    const CommandRun sound =
        verify("'" + archive + "' --password-file '" + (dir / "right.txt").string() + "'");
    EXPECT_EQ(sound.status, 0) << sound.output;
    EXPECT_NE(sound.output.find(": sound"), std::string::npos) << sound.output;

    const CommandRun wrong =
        verify("'" + archive + "' --password-file '" + (dir / "wrong.txt").string() + "'");
    EXPECT_EQ(wrong.status, 2) << wrong.output;
    EXPECT_NE(wrong.output.find("refused"), std::string::npos) << wrong.output;

    // The largest entry, a data file, comes first in the archive.
    std::string bytes;
    {
        std::ifstream in(archive, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    ASSERT_GT(bytes.size(), 3000u);
    bytes[2000] = static_cast<char>(bytes[2000] ^ 1);
    const std::string damagedArchive = (dir / "damaged.kvx").string();
    std::ofstream(damagedArchive, std::ios::binary) << bytes;
    const CommandRun damaged =
        verify("'" + damagedArchive + "' --password-file '" + (dir / "right.txt").string() + "'");
    EXPECT_EQ(damaged.status, 1) << damaged.output;
    EXPECT_NE(damaged.output.find(": damaged: "), std::string::npos) << damaged.output;
    EXPECT_NE(damaged.output.find(".pst: "), std::string::npos) << damaged.output;

    std::ofstream(dir / "text.kvx") << "not an archive";
    const CommandRun text = verify("'" + (dir / "text.kvx").string() + "'");
    EXPECT_EQ(text.status, 2) << text.output;

    // No terminal and no password file: nobody to ask.
    const CommandRun alone =
        RunShell("setsid " + std::string(TRELMIG_BINARY) + " --verify '" + archive + "'");
    EXPECT_EQ(alone.status, 2) << alone.output;
}
