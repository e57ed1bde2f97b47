// The table of options and verbs the command line is read and run by.
#include "cli/CommandOptions.h"
#include "cli/PrefixRefusal.h"

#include <gtest/gtest.h>

#include <set>

#include "ParseArguments.h"

using namespace trelmig;

TEST(CommandOptions, EveryModeButTheWindowRunsAVerbAndNoNameIsTwice) {
    using Mode = CommandLine::Mode;
    for (int m = 0; m < static_cast<int>(Mode::Invalid); ++m) {
        const CommandOption* verb = VerbOf(static_cast<Mode>(m));
        ASSERT_NE(verb, nullptr) << m;
        EXPECT_EQ(verb->run != nullptr, static_cast<Mode>(m) != Mode::Gui) << m;
    }
    std::set<std::string_view> names;
    for (const CommandOption& option : CommandOptions()) {
        if (!option.name.empty()) {
            EXPECT_TRUE(names.insert(option.name).second) << option.name;
        }
    }
}

TEST(CommandOptions, OnlyVerbsThatWorkOnThePrefixRefuseAMissingOne) {
    EXPECT_FALSE(MissingPrefixRefusal(parse({"--prefix", "/nonexistent", "--inspect", "a.kvx"})));
    EXPECT_FALSE(MissingPrefixRefusal(parse({"--prefix", "/nonexistent", "--list-jobs"})));
    EXPECT_TRUE(MissingPrefixRefusal(parse({"--prefix", "/nonexistent", "--restore", "a.kvx",
                                            "--profile", "P", "--items", "10000000"})));
    EXPECT_TRUE(MissingPrefixRefusal(parse({"--prefix", "/nonexistent", "--schedule",
                                            "sf=Pxm=10000000ps=bf=/b.kvx", "--at", "10:00"})));
}
