// File names made of subjects, mboxrd quoting, and exports that never write
// over a file.
#include "PstSamples.h"
#include "mailstore/MailExport.h"
#include "mailstore/Mboxrd.h"
#include "mailstore/PffMailStore.h"
#include "mailstore/SafeFileName.h"

#include <algorithm>
#include <fstream>

using namespace trelmig;
namespace fs = std::filesystem;

namespace {

TEST(SafeFileNameTest, TakesWhatNoFileSystemRefuses) {
    const std::string emoji = "\xF0\x9F\x98\x80"; // U+1F600, four bytes
    std::string manyEmoji;
    for (int i = 0; i < 100; ++i)
        manyEmoji += emoji;
    const struct {
        std::string subject;
        std::size_t maxBytes;
        std::string name;
    } cases[] = {
        {"Re: budget/plan \\ Q3", 200, "Re_ budget_plan _ Q3"},
        {"../../etc/passwd", 200, "_.._etc_passwd"},
        {"..hidden", 200, "hidden"},
        {"a\x01"
         "b\tc\x7f",
         200, "a_b_c_"},
        {"what? <yes> \"no\" a|b*", 200, "what_ _yes_ _no_ a_b_"},
        {"CON", 200, "_CON"},
        {"lpt1.txt", 200, "_lpt1.txt"},
        {"trailing. . ", 200, "trailing"},
        {"", 200, "(no subject)"},
        {"...", 200, "(no subject)"},
        {"Привет, мир", 200, "Привет, мир"},
        {"会议纪要", 200, "会议纪要"},
        {"\xD0\x9F\xD1\x80\xD0\xB8", 3, "\xD0\x9F"}, // cut before the half of "р"
        {"会议纪要", 7, "会议"},                     // 3 bytes each
        {manyEmoji, 201, manyEmoji.substr(0, 200)},  // fifty whole emoji
    };
    for (const auto& c : cases)
        EXPECT_EQ(SafeFileName(c.subject, c.maxBytes), c.name) << c.subject;
}

TEST(MboxrdTest, QuotesEveryFromLineOnceMore) {
    const struct {
        std::string message;
        std::string quoted;
    } cases[] = {
        {"From x\r\n", ">From x\n\n"},
        {">From x\n", ">>From x\n\n"},
        {">>>From x", ">>>>From x\n\n"},
        {"Fromage\r\nfrom x\r\n From x\r\n", "Fromage\nfrom x\n From x\n\n"},
        {"a\r\n\r\nFrom: header-like\r\n", "a\n\nFrom: header-like\n\n"},
        {"body\nFrom the start\n", "body\n>From the start\n\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MboxrdBody(c.message), c.quoted) << c.message;
    EXPECT_EQ(MboxFromLine("Ann Smith <ann@example.org>", 998606991),
              "From ann@example.org Thu Aug 23 22:49:51 2001\n");
    EXPECT_EQ(MboxFromLine("Lokay", std::nullopt), "From Lokay Thu Jan  1 00:00:00 1970\n");
    EXPECT_EQ(MboxFromLine("Lokay, Michelle", 0), "From MAILER-DAEMON Thu Jan  1 00:00:00 1970\n");
}

class ExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        SKIP_WITHOUT_PST_SAMPLE("enron.pst");
        auto opened = OpenPffFile(PstSample("enron.pst"), "enron.pst");
        ASSERT_TRUE(opened) << opened.error().message;
        store_ = std::move(*opened);
        const auto folder =
            std::ranges::find(store_->folders(), std::string(kPersonal), &MailFolder::path);
        ASSERT_NE(folder, store_->folders().end());
        for (std::uint32_t i = 0; i < folder->messageCount; ++i)
            messages_.push_back({folder->id, i});
    }

    static constexpr const char* kPersonal =
        "Top of Personal Folders/lokay-m/MLOKAY (Non-Privileged)/Personal";
    std::unique_ptr<MailStore> store_;
    std::vector<MessageRef> messages_;
    ScratchFolder scratch_;
};

TEST_F(ExportTest, EmlNeverWritesOverAFile) {
    const auto subject = store_->Summary(messages_[0])->subject;
    const fs::path taken = scratch_.path() / (SafeFileName(subject) + ".eml");
    std::ofstream(taken) << "mine";
    const auto first = ExportEml(*store_, std::span(messages_).first(1), scratch_.path());
    const auto second = ExportEml(*store_, std::span(messages_).first(1), scratch_.path());
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->front(), scratch_.path() / (SafeFileName(subject) + " (2).eml"));
    EXPECT_EQ(second->front(), scratch_.path() / (SafeFileName(subject) + " (3).eml"));
    std::ifstream kept(taken);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "mine");
}

TEST_F(ExportTest, MboxHoldsEveryMessageAsPythonsMailboxReadsIt) {
    SKIP_WITHOUT_PROGRAM("python3");
    const fs::path target = scratch_.path() / "Personal.mbox";
    std::ofstream(target) << "mine";
    const auto written = ExportMbox(*store_, messages_, target);
    ASSERT_TRUE(written) << written.error().message;
    ASSERT_EQ(written->size(), 1u);
    EXPECT_EQ(written->front(), scratch_.path() / "Personal (2).mbox");
    const CommandRun run = RunShell("python3 -c 'import mailbox, sys; "
                                    "print(len(mailbox.mbox(sys.argv[1])))' " +
                                    Quoted(written->front()));
    EXPECT_EQ(run.output, std::to_string(messages_.size()) + "\n");
}

TEST_F(ExportTest, AFailedExportLeavesNoFile) {
    const fs::path missing = scratch_.path() / "no such folder";
    EXPECT_FALSE(ExportEml(*store_, messages_, missing));
    const MessageRef nowhere{9999, 0};
    EXPECT_FALSE(ExportMbox(*store_, std::span(&nowhere, 1), scratch_.path() / "x.mbox"));
    EXPECT_TRUE(fs::is_empty(scratch_.path()));
}

} // namespace
