#include "archive/ZipArchive.h"

#include "ZipTestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace trelmig;
using namespace ziptest;

namespace {

const AnsiCodec kAnsi(1252);

struct Recorded {
    std::vector<int> progress;
    std::vector<bool> finished;
};

ZipEvents recording(Recorded& r) {
    ZipEvents events;
    events.writeProgress = [&r](int percent) { r.progress.push_back(percent); };
    events.writeFinished = [&r](bool ok) { r.finished.push_back(ok); };
    return events;
}

// Writes files into target; true when WriteZip succeeded.
bool writeArchive(const std::string& target, const std::vector<std::string>& files,
                  const std::string& password = {}, ZipEvents events = {}) {
    ZipArchive zip(kAnsi, std::move(events));
    ZipFileList list;
    for (const auto& f : files)
        if (!list.AddFile(f))
            return false;
    return zip.WriteZip(target, list, password).has_value();
}

bool isSideFile(const std::string& name) {
    return name.find(".trelmig-") != std::string::npos;
}

std::vector<std::string> sideFiles(const ScratchFolder& folder) {
    std::vector<std::string> found;
    for (const auto& name : folder.names())
        if (isSideFile(name))
            found.push_back(name);
    return found;
}

} // namespace

TEST(ZipArchiveWrite, PasswordArchiveIsAes256ReadBySevenZip) {
    ScratchFolder dir;
    writeFile(dir.file("vastrel.dat"), "BackupComputer=HOST\r\nBackupItem=1000000000\r\n");
    writeFile(dir.file("Persönlich.pst"), mixedContent(300000, 1));
    writeFile(dir.file("empty.txt"), "");
    const std::string target = dir.file("backup.kvx");
    Recorded events;
    ASSERT_TRUE(writeArchive(
        target, {dir.file("Persönlich.pst"), dir.file("empty.txt"), dir.file("vastrel.dat")},
        "s3cret pw", recording(events)));
    EXPECT_EQ(events.finished, std::vector<bool>{true});

    auto tested = run("7z t -p's3cret pw' " + shellQuoted(target));
    EXPECT_EQ(tested.status, 0) << tested.output;
    EXPECT_NE(tested.output.find("Everything is Ok"), std::string::npos) << tested.output;

    auto listed = run("7z l -slt -p's3cret pw' " + shellQuoted(target));
    ASSERT_EQ(listed.status, 0) << listed.output;
    std::size_t methods = 0;
    for (std::size_t at = 0; (at = listed.output.find("\nMethod = ", at)) != std::string::npos;
         ++at, ++methods)
        EXPECT_EQ(listed.output.compare(at, 26, "\nMethod = AES-256 Deflate\n"), 0)
            << listed.output.substr(at, 40);
    EXPECT_EQ(methods, 3u);
    EXPECT_NE(listed.output.find("Path = Persönlich.pst"), std::string::npos) << listed.output;

    auto extracted = run("7z e -so -p's3cret pw' " + shellQuoted(target) + " Persönlich.pst");
    EXPECT_EQ(extracted.output, readFile(dir.file("Persönlich.pst")));

    auto wrong = run("7z t -pnope " + shellQuoted(target));
    EXPECT_NE(wrong.status, 0);
    EXPECT_EQ(sideFiles(dir), std::vector<std::string>{});
}

TEST(ZipArchiveWrite, PlainArchivePassesUnzipWithUtf8FlagOnlyOnNonAsciiNames) {
    ScratchFolder dir;
    writeFile(dir.file("Outlook.pst"), mixedContent(200000, 2));
    writeFile(dir.file("Ünïcode.txt"), "text");
    const std::string target = dir.file("plain.kvx");
    ASSERT_TRUE(writeArchive(target, {dir.file("Outlook.pst"), dir.file("Ünïcode.txt")}));

    auto tested = run("unzip -t " + shellQuoted(target));
    EXPECT_EQ(tested.status, 0) << tested.output;
    EXPECT_NE(tested.output.find("No errors detected"), std::string::npos) << tested.output;
    EXPECT_EQ(run("unzip -p " + shellQuoted(target) + " Outlook.pst").output,
              readFile(dir.file("Outlook.pst")));
    EXPECT_EQ(ZipArchive::IsPasswordProtected(target), std::optional<bool>(false));

    // Bit 11 of the general purpose flags: the name is UTF-8.
    auto flags = centralFlags(target);
    ASSERT_EQ(flags.size(), 2u);
    EXPECT_EQ(flags[0].first, "Outlook.pst");
    EXPECT_EQ(flags[0].second & 0x800, 0u);
    EXPECT_EQ(flags[1].first, "Ünïcode.txt");
    EXPECT_EQ(flags[1].second & 0x800, 0x800u);
}

TEST(ZipArchiveWrite, LargeFileRoundTripsWithSteadyProgress) {
    ScratchFolder dir;
    const std::string content = mixedContent(20 * 1024 * 1024 + 12345, 3);
    writeFile(dir.file("Archive.pst"), content);
    writeFile(dir.file("small.txt"), "small");
    const std::string target = dir.file("big.kvx");
    Recorded events;
    ASSERT_TRUE(writeArchive(target, {dir.file("small.txt"), dir.file("Archive.pst")}, "pw",
                             recording(events)));

    ASSERT_FALSE(events.progress.empty());
    EXPECT_EQ(events.progress.front(), 0);
    EXPECT_EQ(events.progress.back(), 100);
    EXPECT_TRUE(std::is_sorted(events.progress.begin(), events.progress.end()));
    EXPECT_GT(events.progress.size(), 10u); // many steps, not just 0 and 100

    auto tested = run("7z t -ppw " + shellQuoted(target));
    EXPECT_EQ(tested.status, 0) << tested.output;
    EXPECT_TRUE(run("7z e -so -ppw " + shellQuoted(target) + " Archive.pst").output == content);

    ZipArchive reader(kAnsi);
    ASSERT_TRUE(reader.OpenZip(target));
    reader.SetDecryptPassword("pw");
    ASSERT_TRUE(Succeeded(reader.CheckPassword()));
    auto entry = reader.GetEntry("archive.PST");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->size, content.size());
    EXPECT_TRUE(entry->encrypted);
    ASSERT_TRUE(Succeeded(reader.ExtractEntryTo("Archive.pst", dir.file("restored.pst"))));
    EXPECT_TRUE(readFile(dir.file("restored.pst")) == content);
}

TEST(ZipArchiveWrite, ReplacingKeepsTheModeOfThePreviousArchive) {
    ScratchFolder dir;
    writeFile(dir.file("a.txt"), "a");
    const std::string target = dir.file("backup.kvx");
    writeFile(target, "previous");
    ASSERT_EQ(chmod(target.c_str(), 0600), 0);
    ASSERT_TRUE(writeArchive(target, {dir.file("a.txt")}));
    struct stat st {};
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(run("unzip -p " + shellQuoted(target) + " a.txt").output, "a");
}

TEST(ZipArchiveWrite, ArchiveWithoutFilesIsValidAndEmpty) {
    ScratchFolder dir;
    const std::string target = dir.file("empty.kvx");
    ASSERT_TRUE(writeArchive(target, {}));
    ZipArchive reader(kAnsi);
    ASSERT_TRUE(Succeeded(reader.OpenZip(target)));
    EXPECT_TRUE(reader.Entries().empty());
}

TEST(ZipArchiveWrite, AddFileRefusesMissingFilesAndDuplicateNames) {
    ScratchFolder dir;
    fs::create_directory(dir.path() / "other");
    writeFile(dir.file("Outlook.pst"), "1");
    writeFile(dir.file("other/OUTLOOK.PST"), "2");
    std::vector<std::string> added;
    ZipFileList list([&](const std::string& name) { added.push_back(name); });
    EXPECT_FALSE(list.AddFile(dir.file("missing.pst")));
    EXPECT_FALSE(list.AddFile(dir.path().string())); // a folder
    EXPECT_TRUE(list.AddFile(dir.file("Outlook.pst")));
    EXPECT_TRUE(list.AddFile(dir.file("Outlook.pst"))) << "the same file again is there already";
    EXPECT_NE(FailureOf(list.AddFile(dir.file("other/OUTLOOK.PST"))).find("OUTLOOK.PST"),
              std::string::npos);
    EXPECT_EQ(added, std::vector<std::string>{"Outlook.pst"});
    EXPECT_EQ(list.Files().size(), 1u);
}

// --- failures leave the previous archive as it was

class ZipArchiveFailedWrite : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile(dir.file("data.pst"), mixedContent(2 * 1024 * 1024, 4));
        writeFile(dir.file("vastrel.dat"), "info");
        ASSERT_TRUE(writeArchive(target, {dir.file("vastrel.dat")}));
        previous = readFile(target);
    }
    void expectPreviousIntact() {
        EXPECT_TRUE(readFile(target) == previous);
        EXPECT_EQ(sideFiles(dir), std::vector<std::string>{});
    }

    ScratchFolder dir;
    std::string target = dir.file("backup.kvx");
    std::string previous;
};

TEST_F(ZipArchiveFailedWrite, QueuedFileDeletedBeforeWriting) {
    Recorded events;
    ZipArchive zip(kAnsi, recording(events));
    ZipFileList list;
    ASSERT_TRUE(list.AddFile(dir.file("data.pst")));
    ASSERT_TRUE(list.AddFile(dir.file("vastrel.dat")));
    fs::remove(dir.file("data.pst"));
    const std::string why = FailureOf(zip.WriteZip(target, list, {}));
    EXPECT_EQ(events.finished, std::vector<bool>{false});
    EXPECT_NE(why.find("data.pst"), std::string::npos) << why;
    expectPreviousIntact();
}

TEST_F(ZipArchiveFailedWrite, TargetFolderRemovedBeforeWriting) {
    ScratchFolder other;
    const std::string gone = other.file("sub/backup.kvx");
    fs::create_directory(other.path() / "sub");
    Recorded events;
    ZipArchive zip(kAnsi, recording(events));
    ZipFileList list;
    ASSERT_TRUE(list.AddFile(dir.file("vastrel.dat")));
    fs::remove_all(other.path() / "sub");
    const std::string why = FailureOf(zip.WriteZip(gone, list, {}));
    EXPECT_EQ(events.finished, std::vector<bool>{false});
    EXPECT_NE(why.find("does not exist"), std::string::npos) << why;
    EXPECT_FALSE(fs::exists(other.path() / "sub"));
}

// The host refuses the archive's bytes part way through an entry (at most
// 512 KiB per file, as on a full disk): the write fails with the file and
// the system's reason, and nothing is thrown through libzip.
TEST_F(ZipArchiveFailedWrite, DiskFullMidWrite) {
    int toParent[2];
    ASSERT_EQ(pipe(toParent), 0);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        close(toParent[0]);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{512 * 1024, 512 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        std::string report;
        try {
            Recorded events;
            ZipArchive zip(kAnsi, recording(events));
            ZipFileList list;
            list.AddFile(dir.file("data.pst"));
            const Result<void> written = zip.WriteZip(target, list, {});
            report = written ? "written" : written.error().message;
            if (events.finished != std::vector<bool>{false})
                report += " (writeFinished was not told of the failure)";
        } catch (const std::exception& e) {
            report = std::string("thrown: ") + e.what();
        }
        (void)!write(toParent[1], report.data(), report.size());
        _exit(0);
    }
    close(toParent[1]);
    std::string report;
    char buffer[512];
    for (ssize_t n; (n = read(toParent[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, static_cast<std::size_t>(n));
    close(toParent[0]);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(report, "Cannot write the archive " + target + ": " + std::strerror(EFBIG));
    expectPreviousIntact();
}

// What the caller's progress event throws while libzip reads an entry does
// not pass through libzip: the write fails with the event's words, and the
// earlier archive stays.
TEST_F(ZipArchiveFailedWrite, AnEventThrowingMidEntryFailsTheWriteWithItsWords) {
    Recorded events;
    ZipEvents throwing = recording(events);
    throwing.writeProgress = [](int percent) {
        if (percent > 0)
            throw std::runtime_error("the progress view is gone");
    };
    ZipArchive zip(kAnsi, throwing);
    ZipFileList list;
    ASSERT_TRUE(list.AddFile(dir.file("data.pst")));
    Result<void> written;
    EXPECT_NO_THROW(written = zip.WriteZip(target, list, {}));
    EXPECT_EQ(FailureOf(written),
              "Cannot write the archive " + target + ": the progress view is gone");
    EXPECT_EQ(events.finished, std::vector<bool>{false});
    expectPreviousIntact();
}

TEST_F(ZipArchiveFailedWrite, KilledWriterLeavesPreviousArchiveAndNextRunCleansUp) {
    writeFile(dir.file("big.pst"), mixedContent(24 * 1024 * 1024, 5));
    int toParent[2];
    ASSERT_EQ(pipe(toParent), 0);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        close(toParent[0]);
        ZipEvents events;
        bool told = false;
        events.writeProgress = [&](int percent) {
            if (percent >= 30 && !told) {
                told = true;
                (void)!write(toParent[1], "x", 1);
                for (;;)
                    pause(); // wait for the SIGKILL, mid-write
            }
        };
        writeArchive(target, {dir.file("big.pst"), dir.file("vastrel.dat")}, "pw", events);
        _exit(1); // not killed: the parent sees end of pipe
    }
    close(toParent[1]);
    char c = 0;
    ASSERT_EQ(read(toParent[0], &c, 1), 1) << "the writer never passed 30 %";
    close(toParent[0]);
    kill(pid, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status));

    EXPECT_TRUE(readFile(target) == previous);
    // The killed run left its lock file and its temporary file, which holds
    // the partly written archive.
    std::uintmax_t partial = 0;
    for (const auto& name : sideFiles(dir))
        partial = std::max(partial, fs::file_size(dir.path() / name));
    EXPECT_GT(partial, 1000000u);

    ASSERT_TRUE(writeArchive(target, {dir.file("vastrel.dat")}, "pw"));
    EXPECT_EQ(sideFiles(dir), std::vector<std::string>{});
    EXPECT_EQ(run("7z t -ppw " + shellQuoted(target)).status, 0);
}

TEST_F(ZipArchiveFailedWrite, SecondWriterOfTheSameTargetIsRefused) {
    bool secondTried = false;
    bool secondResult = true;
    std::string secondError;
    std::vector<bool> secondFinished;
    ZipEvents events;
    events.writeProgress = [&](int percent) {
        if (percent < 10 || secondTried)
            return;
        secondTried = true;
        ZipEvents its;
        its.writeFinished = [&](bool ok) { secondFinished.push_back(ok); };
        ZipArchive second(kAnsi, its);
        ZipFileList list;
        list.AddFile(dir.file("vastrel.dat"));
        const Result<void> written = second.WriteZip(target, list, {});
        secondResult = written.has_value();
        secondError = FailureOf(written);
    };
    ASSERT_TRUE(writeArchive(target, {dir.file("data.pst")}, {}, events));
    ASSERT_TRUE(secondTried);
    EXPECT_FALSE(secondResult);
    EXPECT_EQ(secondFinished, std::vector<bool>{false});
    EXPECT_NE(secondError.find("Another backup is writing"), std::string::npos) << secondError;
    // The first write completed and released the target.
    EXPECT_EQ(run("unzip -p " + shellQuoted(target) + " data.pst").output.size(), 2u * 1024 * 1024);
    EXPECT_EQ(sideFiles(dir), std::vector<std::string>{});
    EXPECT_TRUE(writeArchive(target, {dir.file("vastrel.dat")}));
}
