#include "DiscTestSupport.h"

#include "disc/DiscImage.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace trelmig;

namespace {

class DiscImageTest : public ::testing::Test {
protected:
    TempFolder source;
    RecordingDiscEvents events;
    DiscImage image{&events};

    std::vector<std::string> Listing(const std::string& folder) {
        events.listed.clear();
        EXPECT_TRUE(image.ListFolder(folder));
        std::vector<std::string> names;
        for (const auto& item : events.listed)
            names.push_back((item.isFolder ? "[" + item.name + "]" : item.name));
        return names;
    }
};

TEST_F(DiscImageTest, FilesGoUnderExistingFoldersWithTheirSizeAndDate) {
    const std::string file = source.Write("Archive.kvx", std::string(1234567, 'x'));
    EXPECT_TRUE(image.AddFile(file, "\\Archive.kvx"));
    EXPECT_FALSE(image.AddFile(file, "\\Missing\\Archive.kvx")) << "no parent folder";
    EXPECT_FALSE(image.AddFile(source.path.string(), "\\Folder")) << "a folder is not a file";
    const auto gone = image.AddFile(file + ".gone", "\\Gone.kvx");
    ASSERT_FALSE(gone);
    EXPECT_NE(gone.error().message.find(file + ".gone"), std::string::npos);

    EXPECT_EQ(image.FileCount(), 1);
    EXPECT_EQ(image.DataBytes(), 1234567u);
    const auto item = image.Find("\\Archive.kvx");
    ASSERT_TRUE(item);
    EXPECT_EQ(item->sourcePath, file);
    EXPECT_EQ(item->parentPath, "\\");
    EXPECT_EQ(item->size, 1234567.0);
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(item->date, st.st_mtime) << "the source's modification time";
}

TEST_F(DiscImageTest, AFolderBringsItsWholeContentAndReportsEachNewFolder) {
    source.Write("Mail/Inbox/one.msg", "1");
    source.Write("Mail/Inbox/Persönlich.pst", "22");
    source.Write("Mail/top.txt", "333");
    std::filesystem::create_directories(source.path / "Mail/Empty");
    std::filesystem::create_symlink(source.path / "Mail", source.path / "Mail/Inbox/loop");

    ASSERT_TRUE(image.AddFolder((source.path / "Mail").string(), "\\Mail"));
    EXPECT_EQ(events.log,
              (std::vector<std::string>{"added \\Mail in \\", "added \\Mail\\Empty in \\Mail",
                                        "added \\Mail\\Inbox in \\Mail"}))
        << "links to folders are not followed";
    EXPECT_EQ(image.FileCount(), 3);
    EXPECT_EQ(image.FolderCount(), 3);
    EXPECT_EQ(image.DataBytes(), 6u);
    EXPECT_EQ(Listing("\\Mail"), (std::vector<std::string>{"[Empty]", "[Inbox]", "top.txt"}))
        << "folders first";
    EXPECT_EQ(Listing("\\Mail\\Inbox"), (std::vector<std::string>{"Persönlich.pst", "one.msg"}));
    EXPECT_EQ(Listing("\\"), (std::vector<std::string>{"[Mail]"}));
}

TEST_F(DiscImageTest, AddingAFolderAgainMergesAndAsksAboutEachFileThatIsThere) {
    source.Write("Mail/a.txt", "old");
    ASSERT_TRUE(image.AddFolder((source.path / "Mail").string(), "\\Mail"));
    source.Write("Mail/a.txt", "newer");
    source.Write("Mail/b.txt", "b");
    events.log.clear();
    ASSERT_TRUE(image.AddFolder((source.path / "Mail").string(), "\\Mail"));
    EXPECT_EQ(events.log, (std::vector<std::string>{"replace \\Mail\\a.txt with " +
                                                    (source.path / "Mail/a.txt").string()}));
    EXPECT_EQ(image.FileCount(), 2);
    EXPECT_EQ(image.FolderCount(), 1);
    EXPECT_EQ(image.Find("\\Mail\\a.txt")->size, 3.0) << "the answer was no";
}

TEST_F(DiscImageTest, TheReplaceQuestionDecidesWhetherTheNewSourceWins) {
    const std::string first = source.Write("one/Archive.kvx", "first");
    const std::string second = source.Write("two/Archive.kvx", "second!");
    ASSERT_TRUE(image.AddFile(first, "\\Archive.kvx"));

    events.replaceAnswer = false;
    EXPECT_FALSE(image.AddFile(second, "\\Archive.kvx"));
    EXPECT_EQ(image.Find("\\Archive.kvx")->sourcePath, first);
    EXPECT_EQ(image.DataBytes(), 5u);

    events.replaceAnswer = true;
    EXPECT_TRUE(image.AddFile(second, "\\Archive.kvx"));
    EXPECT_EQ(image.Find("\\Archive.kvx")->sourcePath, second);
    EXPECT_EQ(image.DataBytes(), 7u);
    EXPECT_EQ(image.FileCount(), 1);
    EXPECT_EQ(events.log, (std::vector<std::string>{"replace \\Archive.kvx with " + second,
                                                    "replace \\Archive.kvx with " + second}));
}

TEST_F(DiscImageTest, RenamingAFolderRenamesEveryFolderBelowIt) {
    source.Write("Mail/Inbox/Old/x.msg", "x");
    ASSERT_TRUE(image.AddFolder((source.path / "Mail").string(), "\\Mail"));
    events.log.clear();

    EXPECT_TRUE(image.RenameFolder("\\Mail", "Post"));
    EXPECT_EQ(events.log, (std::vector<std::string>{
                              "renamed \\Mail -> \\Post", "renamed \\Mail\\Inbox -> \\Post\\Inbox",
                              "renamed \\Mail\\Inbox\\Old -> \\Post\\Inbox\\Old"}));
    EXPECT_TRUE(image.Find("\\Post\\Inbox\\Old\\x.msg"));
    EXPECT_FALSE(image.Find("\\Mail"));
}

TEST_F(DiscImageTest, RenamesAreRefusedForBadNamesTakenNamesAndTheWrongKind) {
    source.Write("Mail/a.txt", "a");
    source.Write("Mail/b.txt", "b");
    ASSERT_TRUE(image.AddFolder((source.path / "Mail").string(), "\\Mail"));
    events.log.clear();
    EXPECT_FALSE(image.RenameFile("\\Mail\\a.txt", "b.txt")) << "name taken";
    EXPECT_FALSE(image.RenameFile("\\Mail\\a.txt", "")) << "empty";
    EXPECT_FALSE(image.RenameFile("\\Mail\\a.txt", "x\\y"));
    EXPECT_FALSE(image.RenameFile("\\Mail\\a.txt", "x/y"));
    EXPECT_FALSE(image.RenameFile("\\Mail\\a.txt", ".."));
    EXPECT_FALSE(image.RenameFolder("\\Mail\\a.txt", "c.txt")) << "a file is not a folder";
    EXPECT_FALSE(image.RenameFile("\\Mail", "Post")) << "a folder is not a file";
    EXPECT_FALSE(image.RenameFolder("\\", "Root"));
    EXPECT_FALSE(image.RenameFile("\\Mail\\none.txt", "c.txt"));
    EXPECT_TRUE(events.log.empty());

    EXPECT_TRUE(image.RenameFile("\\Mail\\a.txt", "a.txt")) << "an abandoned edit changes nothing";
    EXPECT_TRUE(events.log.empty());
    EXPECT_TRUE(image.RenameFile("\\Mail\\a.txt", "c.txt"));
    EXPECT_EQ(events.log, (std::vector<std::string>{"renamed \\Mail\\a.txt -> \\Mail\\c.txt"}));
    EXPECT_EQ(image.Find("\\Mail\\c.txt")->sourcePath, (source.path / "Mail/a.txt").string());
}

TEST_F(DiscImageTest, RemovingAFolderTakesItsContentAndKeepsTheCountsRight) {
    source.Write("Mail/Inbox/one.msg", "12345");
    source.Write("Mail/top.txt", "1");
    const std::string other = source.Write("other.txt", "123");
    ASSERT_TRUE(image.AddFolder((source.path / "Mail").string(), "\\Mail"));
    ASSERT_TRUE(image.AddFile(other, "\\other.txt"));
    events.log.clear();

    EXPECT_TRUE(image.RemoveItem("\\Mail\\Inbox"));
    EXPECT_EQ(events.log, (std::vector<std::string>{"removed \\Mail\\Inbox"}));
    EXPECT_EQ(image.FileCount(), 2);
    EXPECT_EQ(image.FolderCount(), 1);
    EXPECT_EQ(image.DataBytes(), 4u);
    EXPECT_FALSE(image.RemoveItem("\\Mail\\Inbox"));
    EXPECT_FALSE(image.RemoveItem("\\")) << "the root stays";
    EXPECT_TRUE(image.RemoveItem("\\other.txt"));
    EXPECT_EQ(image.DataBytes(), 1u);

    image.Clear();
    EXPECT_EQ(events.log.back(), "cleared");
    EXPECT_EQ(image.FileCount() + image.FolderCount(), 0);
    EXPECT_TRUE(image.Entries().empty());
}

TEST_F(DiscImageTest, ChangesAreRefusedWhileAnAdditionLetsTheUserAct) {
    source.Write("Mail/a.txt", "a");
    const std::string other = source.Write("other.txt", "o");
    struct Meddler : RecordingDiscEvents {
        DiscImage* image = nullptr;
        std::vector<std::string> refusals;
        void FolderAdded(const DiscItem&) override {
            // What a click during the window's yield would do.
            for (const auto& result : {image->RemoveItem("\\Mail"),
                                       image->AddFile(other, "\\other.txt"), image->Clear()})
                refusals.push_back(result ? "done" : result.error().message);
        }
        std::string other;
    } meddler;
    meddler.image = &image;
    meddler.other = other;
    image.SetEvents(&meddler);
    ASSERT_TRUE(image.AddFolder((source.path / "Mail").string(), "\\Mail"));
    ASSERT_EQ(meddler.refusals.size(), 3u);
    for (const auto& refusal : meddler.refusals)
        EXPECT_NE(refusal.find("being added to"), std::string::npos) << refusal;
    EXPECT_EQ(image.FileCount(), 1);
    EXPECT_FALSE(image.Busy());
}

TEST_F(DiscImageTest, EntriesListEachFolderBeforeItsContent) {
    source.Write("b/inner/z.txt", "z");
    source.Write("a.txt", "a");
    ASSERT_TRUE(image.AddFolder((source.path / "b").string(), "\\b"));
    ASSERT_TRUE(image.AddFile((source.path / "a.txt").string(), "\\a.txt"));
    std::vector<std::string> paths;
    for (const auto& entry : image.Entries())
        paths.push_back(entry.imagePath);
    EXPECT_EQ(paths,
              (std::vector<std::string>{"\\a.txt", "\\b", "\\b\\inner", "\\b\\inner\\z.txt"}));
    EXPECT_EQ(JoinImagePath("\\", "x"), "\\x");
    EXPECT_EQ(JoinImagePath("", "x"), "\\x");
    EXPECT_EQ(JoinImagePath("\\b", "x"), "\\b\\x");
}

} // namespace
