// The message table: every template takes its values where it says, and a
// value is never read as a placeholder itself.
#include "core/Message.h"

#include <gtest/gtest.h>

#include <set>

using namespace trelmig;

namespace {

// The numbers of the placeholders a template holds.
std::set<int> placeholdersOf(std::string_view text) {
    std::set<int> numbers;
    for (std::size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == '%' && text[i + 1] >= '1' && text[i + 1] <= '9')
            numbers.insert(text[i + 1] - '0');
    return numbers;
}

} // namespace

TEST(MessageTable, EveryTemplateHasItsPlaceholdersFilled) {
    for (int i = 0; i <= static_cast<int>(kLastMessageId); ++i) {
        const auto id = static_cast<MessageId>(i);
        const std::string_view text = MessageTemplate(id);
        ASSERT_FALSE(text.empty()) << i;
        const std::set<int> numbers = placeholdersOf(text);
        // Numbered from %1 without a gap, as the translations number them.
        if (!numbers.empty()) {
            EXPECT_EQ(*numbers.begin(), 1) << text;
            EXPECT_EQ(*numbers.rbegin(), static_cast<int>(numbers.size())) << text;
        }
        std::vector<std::string> values;
        for (std::size_t n = 1; n <= numbers.size(); ++n)
            values.push_back("<value " + std::to_string(n) + ">");
        const std::string filled = Message{id, values}.Text();
        EXPECT_TRUE(placeholdersOf(filled).empty()) << filled;
        for (const std::string& value : values)
            EXPECT_NE(filled.find(value), std::string::npos) << value << " in " << filled;
    }
}

TEST(MessageTable, ValuesAreTakenAsTheyAre) {
    // A file name may hold "%2" or "%": it is not filled in again.
    EXPECT_EQ(MessageText(MessageId::RunWriteFailed, "100%1 Outlook", "C:\\%2.kvx", "disk full"),
              "backup of profile \"100%1 Outlook\" to C:\\%2.kvx failed: disk full");
    EXPECT_EQ(FillPlaceholders("Write File %1%", {"42"}), "Write File 42%");
    EXPECT_EQ(FillPlaceholders("%1 of %2, 50%", {"a"}), "a of %2, 50%");
    EXPECT_EQ(FillPlaceholders("%0 %a %", {"x"}), "%0 %a %");
}

// The steps of the items take their texts from the records, between the
// messages around them.
TEST(MessageTable, EachItemStepShowsItsRecordsStatus) {
    for (const ItemRecord& record : kItemRecords)
        EXPECT_EQ(MessageTemplate(StepMessage(record)), record.status) << record.itemKey;
    EXPECT_EQ(MessageText(StepMessage(kItemRecords[1])), "Copying Data Files (Pst Files)...");
    EXPECT_TRUE(MessageTemplate(MessageId::NoDisplay).starts_with("there is no display"));
    EXPECT_EQ(MessageText(MessageId::OperationComplete), "Operation complete!");
}
