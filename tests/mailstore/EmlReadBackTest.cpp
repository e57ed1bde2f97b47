// A message exported as .eml, read back by Python's email package, against
// what pffexport says of the same message.
#include "PstSamples.h"
#include "mailstore/MailExport.h"
#include "mailstore/PffMailStore.h"

#include <algorithm>
#include <ctime>
#include <fstream>
#include <sstream>
#include <vector>

using namespace trelmig;
namespace fs = std::filesystem;

namespace {

struct Case {
    std::string file;
    std::string folder; // as pffexport writes it under "x.export"
    std::uint32_t index;
    std::string pffexportItem;
};

struct Read {
    std::string subject;
    std::string sender;
    std::int64_t date = 0;
    std::vector<std::string> attachments;
    friend bool operator==(const Read&, const Read&) = default;
};

std::ostream& operator<<(std::ostream& out, const Read& read) {
    out << read.subject << " | " << read.sender << " | " << read.date << " |";
    for (const std::string& name : read.attachments)
        out << ' ' << name;
    return out;
}

constexpr const char* kReadBack = R"(
import email, email.policy, email.utils, sys
msg = email.message_from_binary_file(open(sys.argv[1], 'rb'), policy=email.policy.default)
print('subject=' + str(msg['subject']))
print('sender=' + email.utils.parseaddr(str(msg['from']))[1])
print('date=%d' % int(email.utils.parsedate_to_datetime(str(msg['date'])).timestamp()))
for part in msg.walk():
    if part.get_filename():
        print('attachment=' + part.get_filename())
)";

Read PythonReadBack(const fs::path& eml, const fs::path& scratch) {
    std::ofstream(scratch / "readback.py") << kReadBack;
    const CommandRun run =
        RunShell("python3 " + Quoted(scratch / "readback.py") + " " + Quoted(eml));
    EXPECT_EQ(run.status, 0) << run.output;
    Read read;
    std::istringstream lines(run.output);
    for (std::string line; std::getline(lines, line);) {
        const std::string key = line.substr(0, line.find('='));
        const std::string value = line.substr(line.find('=') + 1);
        if (key == "subject")
            read.subject = value;
        else if (key == "sender")
            read.sender = value;
        else if (key == "date")
            read.date = std::stoll(value);
        else if (key == "attachment")
            read.attachments.push_back(value);
    }
    std::ranges::sort(read.attachments);
    return read;
}

std::string HeaderValue(const fs::path& headers, const std::string& name) {
    std::ifstream in(headers);
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with(name + ":")) {
            const auto value = line.find_first_not_of('\t', name.size() + 1);
            return value == std::string::npos ? "" : line.substr(value);
        }
    }
    return {};
}

Read PffexportRead(const fs::path& item) {
    Read read;
    const fs::path headers = item / "OutlookHeaders.txt";
    read.subject = HeaderValue(headers, "Subject");
    read.sender = HeaderValue(headers, "Sender email address");
    std::tm utc{};
    // "Aug 23, 2001 22:49:51.000000000 UTC"
    strptime(HeaderValue(headers, "Client submit time").c_str(), "%b %d, %Y %H:%M:%S", &utc);
    read.date = timegm(&utc);
    if (fs::exists(item / "Attachments")) {
        for (const auto& entry : fs::directory_iterator(item / "Attachments")) {
            const std::string name = entry.path().filename().string(); // "1_image001.gif"
            read.attachments.push_back(name.substr(name.find('_') + 1));
        }
    }
    std::ranges::sort(read.attachments);
    return read;
}

class EmlReadBackTest : public ::testing::TestWithParam<Case> {};

TEST_P(EmlReadBackTest, PythonReadsWhatPffexportReads) {
    const Case& c = GetParam();
    SKIP_WITHOUT_PST_SAMPLE(c.file);
    SKIP_WITHOUT_PROGRAM("pffexport");
    SKIP_WITHOUT_PROGRAM("python3");
    auto store = OpenPffFile(PstSample(c.file), c.file);
    ASSERT_TRUE(store) << store.error().message;
    const auto folder = std::ranges::find((*store)->folders(), c.folder, &MailFolder::path);
    ASSERT_NE(folder, (*store)->folders().end());
    const ScratchFolder scratch;
    const MessageRef ref{folder->id, c.index};
    const auto written = ExportEml(**store, std::span(&ref, 1), scratch.path());
    ASSERT_TRUE(written) << written.error().message;
    ASSERT_EQ(written->size(), 1u);

    const CommandRun pff = RunShell("pffexport -q -f all -t " + Quoted(scratch.path() / "x") + " " +
                                    Quoted(PstSample(c.file)));
    ASSERT_EQ(pff.status, 0) << pff.output;
    const Read expected = PffexportRead(scratch.path() / "x.export" / c.folder / c.pffexportItem);
    EXPECT_FALSE(expected.attachments.empty());
    EXPECT_EQ(PythonReadBack(written->front(), scratch.path()), expected);

    // Every line of the file ends in CR LF.
    std::ifstream eml(written->front(), std::ios::binary);
    for (std::string line; std::getline(eml, line);)
        ASSERT_TRUE(line.ends_with('\r')) << line;
}

INSTANTIATE_TEST_SUITE_P(
    Messages, EmlReadBackTest,
    ::testing::Values(
        // Its transport headers kept.
        Case{"enron.pst", "Top of Personal Folders/lokay-m/MLOKAY (Non-Privileged)", 0,
             "Message00001"},
        // Headers made from its properties; an HTML body and eleven attachments.
        Case{"pstextractortestpdf@outlook.com.ost", "Root - Mailbox/IPM_SUBTREE/Inbox", 1,
             "Message00002"}),
    [](const auto& info) { return info.index == 0 ? "KeptHeaders" : "MadeHeaders"; });

} // namespace
