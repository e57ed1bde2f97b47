#include "platform/TextFile.h"
#include "platform/WorkFolder.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace fs = std::filesystem;
using namespace trelmig;

TEST(TextFile, LinesLoseTheirEndings) {
    WorkFolder work;
    const fs::path file = work.path() / "lines.txt";
    writeFileBytes(file, "first\r\nsecond\n\r\n\nlast\rpart");
    EXPECT_EQ(readLines(file), (std::vector<std::string>{"first", "second", "", "", "last\rpart"}));

    writeFileBytes(file, "only\r\n");
    EXPECT_EQ(readLines(file), std::vector<std::string>{"only"});
    writeFileBytes(file, "");
    EXPECT_TRUE(readLines(file).empty());
}

TEST(TextFile, AppendedLinesEndInCrLf) {
    WorkFolder work;
    const fs::path file = work.path() / "vastrel.dat";
    appendLine(file, "ProfileName=Outlook");
    appendLine(file, "");
    appendLine(file, "Pers\xF6nlich");
    EXPECT_EQ(readFileBytes(file), "ProfileName=Outlook\r\n\r\nPers\xF6nlich\r\n");
    EXPECT_EQ(readLines(file),
              (std::vector<std::string>{"ProfileName=Outlook", "", "Pers\xF6nlich"}));
}

TEST(TextFile, BytesSurviveUnchanged) {
    WorkFolder work;
    const fs::path file = work.path() / "data.bin";
    const std::string bytes("a\0b\r\n\xFF\x80z", 8);
    writeFileBytes(file, bytes);
    EXPECT_EQ(readFileBytes(file), bytes);
    writeFileBytes(file, "short");
    EXPECT_EQ(readFileBytes(file), "short");
}

TEST(TextFile, FailuresNameTheFile) {
    WorkFolder work;
    const fs::path missing = work.path() / "missing.txt";
    const fs::path noFolder = work.path() / "no" / "such" / "file.txt";
    auto expectNamed = [](auto&& action, const fs::path& file) {
        try {
            action();
            ADD_FAILURE() << "no error for " << file;
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find(file.string()), std::string::npos) << e.what();
        }
    };
    expectNamed([&] { readLines(missing); }, missing);
    expectNamed([&] { readFileBytes(missing); }, missing);
    expectNamed([&] { appendLine(noFolder, "x"); }, noFolder);
    expectNamed([&] { writeFileBytes(noFolder, "x"); }, noFolder);
    // A folder is not a file.
    expectNamed([&] { readLines(work.path()); }, work.path());
}
