#include "backup/CheckBackupChoices.h"

#include <gtest/gtest.h>

namespace trelmig {
namespace {

ChoicesToCheck sound() {
    ChoicesToCheck c;
    c.targetFile = "/backups/outlook.kvx";
    c.items[ItemTemplates] = true;
    return c;
}

MessageId refusalOf(const ChoicesToCheck& c) {
    const ChoicesCheck checked = CheckBackupChoices(c);
    return checked ? MessageId{} : checked.error();
}

TEST(CheckBackupChoices, RefusesTheFirstMissingChoiceInTheOrderTheUserMeetsThem) {
    EXPECT_TRUE(CheckBackupChoices(sound()));
    ChoicesToCheck nothing; // no file, no item, a password asked and not given
    nothing.protect = true;
    EXPECT_EQ(refusalOf(nothing), MessageId::ChooseBackupFileName);
    nothing.targetFile = "/b.kvx";
    EXPECT_EQ(refusalOf(nothing), MessageId::SelectAnItem);
    nothing.items[ItemAddressBook] = true;
    EXPECT_EQ(refusalOf(nothing), MessageId::EnterPassword);
    for (const auto& [typed, retyped] : {std::pair{"abc", ""}, {"", "abc"}, {"abc", "ABC"}}) {
        nothing.password = typed;
        nothing.retyped = retyped;
        EXPECT_EQ(refusalOf(nothing), MessageId::PasswordsDiffer) << typed << "/" << retyped;
    }
    nothing.retyped = nothing.password;
    EXPECT_TRUE(CheckBackupChoices(nothing));
}

TEST(CheckBackupChoices, PasswordsCountOnlyWhenTheFileIsProtected) {
    ChoicesToCheck c = sound();
    c.password = "typed";
    c.retyped = "other";
    EXPECT_TRUE(CheckBackupChoices(c));
    c.protect = true;
    EXPECT_EQ(RefusalIcon(refusalOf(c)), MessageIcon::Critical);
    EXPECT_EQ(RefusalIcon(MessageId::SelectAnItem), MessageIcon::Exclamation);
}

} // namespace
} // namespace trelmig
