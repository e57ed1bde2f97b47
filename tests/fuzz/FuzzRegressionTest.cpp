// The inputs the fuzz harnesses once failed on (tests/data/fuzz/TARGET) and
// their seeds (fuzz/seeds/TARGET), run through the harnesses themselves: each
// must return, whatever the parser makes of it.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

int FuzzWineRegistry(const std::uint8_t* data, std::size_t size);
int FuzzRegistryText(const std::uint8_t* data, std::size_t size);
int FuzzInfoFile(const std::uint8_t* data, std::size_t size);
int FuzzCommandLine(const std::uint8_t* data, std::size_t size);
int FuzzBinaryPath(const std::uint8_t* data, std::size_t size);
int FuzzArchive(const std::uint8_t* data, std::size_t size);
int FuzzChunkIndex(const std::uint8_t* data, std::size_t size);
int FuzzArchiveRestore(const std::uint8_t* data, std::size_t size);
int FuzzCrontabLine(const std::uint8_t* data, std::size_t size);
int FuzzPeVersion(const std::uint8_t* data, std::size_t size);
int FuzzDataFile(const std::uint8_t* data, std::size_t size);

namespace fs = std::filesystem;

namespace {

using Harness = int (*)(const std::uint8_t*, std::size_t);

const std::map<std::string, Harness> kHarnesses = {
    {"wine-registry", FuzzWineRegistry}, {"registry-text", FuzzRegistryText},
    {"info-file", FuzzInfoFile},         {"command-line", FuzzCommandLine},
    {"binary-path", FuzzBinaryPath},     {"archive", FuzzArchive},
    {"chunk-index", FuzzChunkIndex},     {"archive-restore", FuzzArchiveRestore},
    {"crontab-line", FuzzCrontabLine},   {"pe-version", FuzzPeVersion},
    {"data-file", FuzzDataFile}};

int runAll(const fs::path& root) {
    int inputs = 0;
    for (const auto& [target, harness] : kHarnesses) {
        if (!fs::is_directory(root / target))
            continue;
        for (const auto& entry : fs::directory_iterator(root / target)) {
            SCOPED_TRACE(entry.path().string());
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string bytes{std::istreambuf_iterator<char>(in), {}};
            EXPECT_EQ(harness(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()),
                      0);
            ++inputs;
        }
    }
    return inputs;
}

} // namespace

TEST(FuzzRegression, InputsThatOnceFailedAreHandled) {
    EXPECT_GT(runAll(fs::path(TRELMIG_FIXTURES_DIR) / "fuzz"), 0);
}

TEST(FuzzRegression, SeedsAreHandled) {
    EXPECT_GT(runAll(fs::path(TRELMIG_SOURCE_DIR) / "fuzz" / "seeds"), 0);
}
