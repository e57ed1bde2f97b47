// A damaged data file is an error that names it, never a crash.
#include "PstSamples.h"
#include "mailstore/PffMailStore.h"

#include <fstream>
#include <sstream>

using namespace trelmig;
namespace fs = std::filesystem;

namespace {

// Opens the file and reads all of it; the first error's message, or empty.
std::string FirstError(const fs::path& file, const std::string& name) {
    auto store = OpenPffFile(file, name);
    if (!store)
        return store.error().message;
    for (const MailFolder& folder : (*store)->folders()) {
        std::vector<MessageRef> refs;
        const auto listed = (*store)->ForEachMessage(folder.id, [&](const MessageSummary& m) {
            refs.push_back(m.ref);
            return true;
        });
        if (!listed)
            return listed.error().message;
        for (const MessageRef& ref : refs) {
            std::ostringstream eml;
            if (auto written = (*store)->WriteEml(ref, eml); !written)
                return written.error().message;
        }
    }
    if (auto searched = (*store)->Search(std::nullopt, "enron", [](auto&) { return true; });
        !searched)
        return searched.error().message;
    return {};
}

class DamagedFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        SKIP_WITHOUT_PST_SAMPLE("enron.pst");
        std::ifstream in(PstSample("enron.pst"), std::ios::binary);
        bytes_.assign(std::istreambuf_iterator<char>(in), {});
    }
    fs::path Write(const std::string& name, const std::string& bytes) {
        const fs::path path = scratch_.path() / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    std::string bytes_;
    ScratchFolder scratch_;
};

TEST_F(DamagedFileTest, TruncatedFileIsAnErrorNamingIt) {
    const auto path = Write("cut.pst", bytes_.substr(0, bytes_.size() / 3));
    const std::string error = FirstError(path, "Cut Outlook.pst");
    EXPECT_NE(error.find("Cut Outlook.pst"), std::string::npos) << error;
}

TEST_F(DamagedFileTest, OverwrittenBytesAreAnErrorNamingIt) {
    std::string damaged = bytes_;
    for (std::size_t at = damaged.size() / 8; at < damaged.size(); at += 4093)
        for (std::size_t i = at; i < std::min(damaged.size(), at + 512); ++i)
            damaged[i] = char(~damaged[i]);
    const auto path = Write("flipped.pst", damaged);
    const std::string error = FirstError(path, "Flipped Outlook.pst");
    EXPECT_NE(error.find("Flipped Outlook.pst"), std::string::npos) << error;
}

TEST_F(DamagedFileTest, NoDataFileAtAllIsAnErrorNamingIt) {
    const auto path = Write("text.pst", "not a data file\n");
    const std::string error = FirstError(path, "Text.pst");
    EXPECT_NE(error.find("Text.pst"), std::string::npos) << error;
}

} // namespace
