#include "platform/RememberedPrefix.h"
#include "platform/WorkFolder.h"

#include "ScopedEnv.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;
using namespace trelmig;

class RememberedPrefixTest : public ::testing::Test {
protected:
    WorkFolder work;
    ScopedEnv config{"XDG_CONFIG_HOME", (work.path() / "config").string()};
    fs::path file = work.path() / "config/trelmig/window.conf";
};

TEST_F(RememberedPrefixTest, KeepsTheLastFolderAcrossRuns) {
    EXPECT_EQ(RememberedPrefixFile(), file);
    EXPECT_FALSE(LoadRememberedPrefix());
    SaveRememberedPrefix("/home/sam/.cxoffice/Office 2016");
    SaveRememberedPrefix("/home/sam/Games/outlook=2016");
    EXPECT_EQ(LoadRememberedPrefix(), fs::path("/home/sam/Games/outlook=2016"));
    std::ifstream in(file);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(all, "prefix=/home/sam/Games/outlook=2016\n");
    // Nothing is left beside the file.
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()),
              1);
}

TEST_F(RememberedPrefixTest, ANameThatIsNotOneLineIsRefusedAndTheOldOneKept) {
    SaveRememberedPrefix("/srv/wine");
    EXPECT_THROW(SaveRememberedPrefix("/srv/two\nlines"), std::runtime_error);
    EXPECT_THROW(SaveRememberedPrefix(""), std::runtime_error);
    EXPECT_EQ(LoadRememberedPrefix(), fs::path("/srv/wine"));
}

TEST_F(RememberedPrefixTest, FallsBackToTheHomeFolderAndIgnoresOtherLines) {
    ScopedEnv relative("XDG_CONFIG_HOME", std::string("not/absolute"));
    ScopedEnv home("HOME", (work.path() / "home").string());
    const fs::path homeFile = work.path() / "home/.config/trelmig/window.conf";
    EXPECT_EQ(RememberedPrefixFile(), homeFile);
    fs::create_directories(homeFile.parent_path());
    std::ofstream(homeFile) << "# a note\r\nprefix=\r\nprefix=/opt/bottle\r\n";
    EXPECT_EQ(LoadRememberedPrefix(), fs::path("/opt/bottle"));
}
