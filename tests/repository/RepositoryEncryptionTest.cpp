// A new repository is encrypted with the mode borg hashes fastest on this
// processor, as borg itself reads its key.
#include "BorgRepositoryFixture.h"
#include "CpuFlags.h"

TEST_F(BorgRepositoryFixture, ANewRepositoryTakesTheFasterHashOfThisProcessor) {
    ASSERT_TRUE(trelmig::MakeRepository(repository_, "words"));
    const CommandRun info = RunShell("BORG_PASSPHRASE=words borg info --json " + repository_.url);
    ASSERT_EQ(info.status, 0) << info.output;
    const bool sha = CpuFlags().find(" sha_ni ") != std::string::npos;
    const std::string expected = sha ? "\"repokey\"" : "\"repokey-blake2\"";
    EXPECT_NE(info.output.find("\"mode\": " + expected), std::string::npos) << info.output;
}
