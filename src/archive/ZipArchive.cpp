#include "archive/ZipArchive.h"

#include "archive/ZipCentralDirectory.h"
#include "archive/ZipEntryDecoder.h"
#include "archive/ZipEntryNames.h"
#include "archive/ZipEntryReader.h"
#include "archive/ZipWriteBehind.h"
#include "archive/ZipWriter.h"
#include "core/WorkerPool.h"
#include "platform/SideFile.h"
#include "platform/Utf.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <system_error>
#include <unistd.h>
#include <zip.h>

namespace trelmig {

namespace {

struct ArchiveEntry {
    ZipStoredEntry stored;
    ZipEntryName name;
};

std::string zipErrorText(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

// Entries from this size on are written behind their decoding.
constexpr std::uint64_t kWriteBehindFrom = 4 << 20;

// True when libzip's list of entries is ours: the same names, sizes, CRCs,
// methods and encryption, in the same order.
bool libzipReadsTheSame(zip_t* za, const std::vector<ZipCentralDirectory::Record>& records) {
    if (zip_get_num_entries(za, 0) != static_cast<zip_int64_t>(records.size()))
        return false;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const ZipCentralDirectory::Record& r = records[i];
        zip_stat_t st;
        const char* raw = zip_get_name(za, i, ZIP_FL_ENC_RAW);
        if (!raw || zip_stat_index(za, i, 0, &st) != 0)
            return false;
        const bool sameName = raw == r.name || raw == r.storedName;
        if (!sameName || st.size != r.size || st.comp_size != r.compressedSize || st.crc != r.crc ||
            st.comp_method != r.method || st.encryption_method != r.encryption)
            return false;
    }
    return true;
}

std::string fileNameOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

struct ZipArchive::Impl {
    Impl(const AnsiCodec& ansi, ZipEvents events) : ansi(ansi), events(std::move(events)) {}
    ~Impl() { closeReader(); }

    bool fail(std::string why) {
        lastError = std::move(why);
        return false;
    }
    void closeReader() {
        if (reader)
            zip_discard(reader);
        reader = nullptr;
        if (fd >= 0)
            ::close(fd);
        fd = -1;
        entries.clear();
        exactNames.clear();
        foldedNames.clear();
    }
    // Indexes the entries by name; false (lastError set) when a name cannot
    // be restored as a file name or two entries share a name: unzip and 7-Zip
    // restore the last of those, a lookup by name the first.
    bool indexEntries();
    const ArchiveEntry* find(const std::string& bareName) const;
    const char* readPassword() const {
        return decryptPassword.empty() ? nullptr : decryptPassword.c_str();
    }
    // Reads the entry through to sink with every check; false with why set.
    // Safe from several threads at once.
    bool readEntry(const ArchiveEntry& entry, const ZipEntryReader::Sink& sink, std::string& why);
    // Extracts the entries to their targets, several at once; see
    // ExtractEntriesTo. writeFiles false: every entry is read through with
    // every check and nothing is written (targets unused).
    bool extractAll(const std::vector<std::pair<const ArchiveEntry*, std::string>>& jobs,
                    bool writeFiles = true);

    AnsiCodec ansi;
    ZipEvents events;
    std::string lastError;

    // reading
    zip_t* reader = nullptr;
    int fd = -1; // the same file, for pread
    ZipCentralDirectory directory;
    std::mutex readerMutex; // libzip's handle serves one thread at a time
    std::vector<ArchiveEntry> entries;
    std::unordered_map<std::string, std::size_t> exactNames;     // both readings
    std::unordered_map<std::u16string, std::size_t> foldedNames; // both readings, case-folded
    std::string decryptPassword;
    bool flushEachExtraction = true;
    std::string failedEntry;                // of the last extraction or test that failed
    std::atomic<bool> wrongPassword{false}; // it failed at a password check
};

ZipArchive::ZipArchive(const AnsiCodec& ansi, ZipEvents events)
    : impl_(std::make_unique<Impl>(ansi, std::move(events))) {}

ZipArchive::~ZipArchive() = default;

void ZipArchive::SetEvents(ZipEvents events) {
    impl_->events = std::move(events);
}

std::string ZipArchive::LastError() const {
    return impl_->lastError;
}

// ---------------------------------------------------------------- writing

bool ZipArchive::WriteZip(const std::string& targetPath, const ZipFileList& files,
                          const std::string& password) {
    CloseZip();
    impl_->lastError.clear();
    auto progress = [this](int percent) {
        if (impl_->events.writeProgress)
            impl_->events.writeProgress(percent);
    };
    bool ok = false;
    try {
        ok = writeZipFile(targetPath, files.Files(), password, progress, impl_->lastError,
                          impl_->events.writeCancelled);
    } catch (const std::exception& e) {
        ok = impl_->fail(std::string("Cannot write the archive: ") + e.what());
    }
    if (impl_->events.writeFinished)
        impl_->events.writeFinished(ok);
    return ok;
}

void ZipArchive::CloseZip() {
    impl_->closeReader();
}

// ---------------------------------------------------------------- reading

std::optional<bool> ZipArchive::IsPasswordProtected(const std::string& archivePath) {
    const int fd = ::open(archivePath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    ZipCentralDirectory directory;
    const bool read = directory.read(fd);
    ::close(fd);
    if (!read)
        return std::nullopt;
    return std::any_of(
        directory.records().begin(), directory.records().end(),
        [](const ZipCentralDirectory::Record& r) { return r.encryption != ZIP_EM_NONE; });
}

bool ZipArchive::OpenZip(const std::string& archivePath) {
    CloseZip();
    const int fd = ::open(archivePath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return impl_->fail("Cannot open the archive " + archivePath + ": " +
                           zipErrorText(ZIP_ER_OPEN));
    auto refuse = [&](const std::string& why) {
        ::close(fd);
        impl_->entries.clear();
        impl_->exactNames.clear();
        impl_->foldedNames.clear();
        return impl_->fail("The archive " + archivePath + " cannot be restored: " + why);
    };
    // Our reading of the directory decides every entry; libzip, which reads
    // the entries we do not decode, must find the very same list.
    auto& directory = impl_->directory;
    if (!directory.read(fd))
        return refuse(directory.error() + ".");
    const auto& records = directory.records();
    for (std::size_t i = 0; i < records.size(); ++i) {
        const ZipCentralDirectory::Record& r = records[i];
        if (const std::string problem = entryNameProblem(r.storedName); !problem.empty())
            return refuse(problem + ".");
        ArchiveEntry entry;
        entry.stored = {i, r.size, r.compressedSize, r.method, r.encryption, r.crc};
        entry.name = decodeEntryName(r.name, r.utf8Name, impl_->ansi);
        impl_->entries.push_back(std::move(entry));
    }
    if (!impl_->indexEntries())
        return refuse(impl_->lastError);
    // libzip reads the same open file as our pread: a file renamed over the
    // path meanwhile changes neither.
    const int libzipFd = ::dup(fd);
    int code = ZIP_ER_OPEN;
    zip_t* za = libzipFd < 0 ? nullptr : zip_fdopen(libzipFd, 0, &code);
    if (!za) {
        if (libzipFd >= 0)
            ::close(libzipFd);
        return refuse(zipErrorText(code) + ".");
    }
    if (!libzipReadsTheSame(za, records)) {
        zip_discard(za);
        return refuse("zip programs would read its entries differently.");
    }
    impl_->reader = za;
    impl_->fd = fd;
    return true;
}

bool ZipArchive::Impl::indexEntries() {
    exactNames.clear();
    foldedNames.clear();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ZipEntryName& name = entries[i].name;
        if (!foldedNames.emplace(foldCase(utf8ToUtf16(name.text)), i).second)
            return fail("it holds two entries named \"" + name.text +
                        "\" (other zip programs would restore the second, so which one is meant "
                        "cannot be told).");
        exactNames.emplace(name.text, i);
    }
    // The other reading of a name is looked at only after every first reading.
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string& alternative = entries[i].name.alternative;
        if (!alternative.empty()) {
            exactNames.emplace(alternative, i);
            foldedNames.emplace(foldCase(utf8ToUtf16(alternative)), i);
        }
    }
    return true;
}

void ZipArchive::SetDecryptPassword(const std::string& password) {
    impl_->decryptPassword = password;
}

bool ZipArchive::CheckPassword() {
    if (!impl_->reader)
        return impl_->fail("No archive is open.");
    // One entry read through proves the password (the quick check alone
    // passes a wrong one once in 65,536 tries): the smallest, so that a large
    // archive opens at once. Every other entry is proved when it is extracted,
    // before it replaces anything.
    const ArchiveEntry* smallest = nullptr;
    for (const auto& entry : impl_->entries)
        if (entry.stored.encryption != ZIP_EM_NONE &&
            (!smallest || entry.stored.compressedSize < smallest->stored.compressedSize))
            smallest = &entry;
    if (!smallest)
        return true;
    std::string why;
    if (!impl_->readEntry(
            *smallest, [](const unsigned char*, std::size_t) { return true; }, why))
        return impl_->fail(why);
    return true;
}

std::vector<ZipEntryInfo> ZipArchive::Entries() const {
    std::vector<ZipEntryInfo> list;
    for (const auto& entry : impl_->entries)
        list.push_back(
            {entry.name.text, entry.stored.size, entry.stored.encryption != ZIP_EM_NONE});
    return list;
}

const ArchiveEntry* ZipArchive::Impl::find(const std::string& bareName) const {
    if (auto it = exactNames.find(bareName); it != exactNames.end())
        return &entries[it->second];
    if (auto it = foldedNames.find(foldCase(utf8ToUtf16(bareName))); it != foldedNames.end())
        return &entries[it->second];
    return nullptr;
}

std::optional<ZipEntryInfo> ZipArchive::GetEntry(const std::string& bareName) const {
    const ArchiveEntry* entry = impl_->find(bareName);
    if (!entry)
        return std::nullopt;
    return ZipEntryInfo{entry->name.text, entry->stored.size,
                        entry->stored.encryption != ZIP_EM_NONE};
}

bool ZipArchive::ExtractEntryTo(const std::string& bareName, const std::string& targetFile) {
    return ExtractEntriesTo({{bareName, targetFile}});
}

bool ZipArchive::ExtractEntriesTo(
    const std::vector<std::pair<std::string, std::string>>& entriesAndTargets) {
    if (!impl_->reader)
        return impl_->fail("No archive is open.");
    std::vector<std::pair<const ArchiveEntry*, std::string>> jobs;
    for (const auto& [bareName, targetFile] : entriesAndTargets) {
        const ArchiveEntry* entry = impl_->find(bareName);
        if (!entry)
            return impl_->fail("The archive has no entry named " + bareName + ".");
        jobs.emplace_back(entry, targetFile);
    }
    return impl_->extractAll(jobs);
}

bool ZipArchive::Impl::readEntry(const ArchiveEntry& entry, const ZipEntryReader::Sink& sink,
                                 std::string& why) {
    if (ZipEntryDecoder::handles(entry.stored)) {
        const auto offset = directory.dataOffset(fd, entry.stored.index, why);
        if (!offset) {
            why = entry.name.text + ": the archive is damaged (" + why + ").";
            return false;
        }
        ZipEntryDecoder decoder(fd, decryptPassword);
        try {
            if (decoder.decode(entry.stored, *offset, sink))
                return true;
        } catch (const std::exception& e) { // OpenSSL failing, or no memory
            why = entry.name.text + ": " + e.what();
            return false;
        }
        why = entry.name.text + ": " + decoder.error();
        if (decoder.wrongPassword())
            wrongPassword = true;
        return false;
    }
    std::lock_guard lock(readerMutex);
    ZipEntryReader libzipReader(reader, readPassword());
    if (libzipReader.read(entry.stored, sink))
        return true;
    why = entry.name.text + ": " + libzipReader.error();
    if (libzipReader.wrongPassword())
        wrongPassword = true;
    return false;
}

bool ZipArchive::Impl::extractAll(
    const std::vector<std::pair<const ArchiveEntry*, std::string>>& jobs, bool writeFiles) {
    failedEntry.clear();
    wrongPassword = false;
    struct Extraction {
        const ArchiveEntry* entry;
        const std::string* target;
        std::unique_ptr<SideFile> temp;
    };
    std::vector<Extraction> work;
    for (const auto& [entry, target] : jobs)
        work.push_back({entry, &target, nullptr});
    // The largest first, so that no core is left with a large entry at the end.
    std::stable_sort(work.begin(), work.end(), [](const Extraction& a, const Extraction& b) {
        return a.entry->stored.compressedSize > b.entry->stored.compressedSize;
    });

    std::mutex mutex;
    std::condition_variable changed;
    std::deque<const std::string*> started; // names for fileExtracting, on this thread
    std::size_t running = 0;                // tasks not yet over
    std::atomic<bool> failed = false;
    std::string firstError;
    std::atomic<std::uint64_t> unreported{0}; // bytes written, not yet told to extractProgress

    auto extractOne = [&](Extraction& job) -> std::string {
        try {
            if (!writeFiles) {
                std::string why;
                const bool read = readEntry(
                    *job.entry,
                    [&](const unsigned char*, std::size_t length) {
                        unreported += length;
                        return !failed;
                    },
                    why);
                return read ? std::string() : why;
            }
            job.temp = std::make_unique<SideFile>(
                *job.target, SideFile::sidePrefix(fileNameOf(*job.target)) + "x-");
            job.temp->create();
            // Large entries are written from a thread of their own while decoding goes on.
            std::optional<ZipWriteBehind> writeBehind;
            if (job.entry->stored.size >= kWriteBehindFrom)
                writeBehind.emplace(*job.temp);
            std::string writeError;
            std::string why;
            bool read = readEntry(
                *job.entry,
                [&](const unsigned char* data, std::size_t length) {
                    if (failed)
                        return false; // another entry failed, or the user cancelled
                    unreported += length;
                    if (writeBehind)
                        return writeBehind->write(data, length);
                    try {
                        job.temp->write(data, length);
                        return true;
                    } catch (const std::exception& e) {
                        writeError = e.what();
                        return false;
                    }
                },
                why);
            if (writeBehind && !writeBehind->finish()) {
                read = false;
                writeError = writeBehind->error();
            }
            if (read) {
                job.temp->close(); // many entries wait for their commit: no descriptor each
                return {};
            }
            return writeError.empty() ? why : writeError;
        } catch (const std::exception& e) {
            return e.what();
        }
    };
    // One task per entry; the pool's queue takes them all, so that this
    // thread is free at once to pass the events on.
    auto extractTask = [&](Extraction& job) {
        struct Ended { // whatever happens, the loop below learns the task is over
            std::mutex& mutex;
            std::condition_variable& changed;
            std::size_t& running;
            ~Ended() {
                {
                    const std::lock_guard lock(mutex);
                    --running;
                }
                changed.notify_all();
            }
        } ended{mutex, changed, running};
        {
            const std::lock_guard lock(mutex);
            if (failed)
                return;
            started.push_back(&job.entry->name.text);
        }
        changed.notify_all();
        std::string why = extractOne(job);
        const std::lock_guard lock(mutex);
        if (!why.empty() && !failed) {
            failed = true;
            firstError = why;
            failedEntry = job.entry->name.text;
        }
    };

    std::optional<WorkerPool> pool;
    try {
        pool.emplace(std::min<std::size_t>(work.size(), WorkerPool::ThreadsForThisMachine()),
                     std::max<std::size_t>(work.size(), 1));
    } catch (const std::system_error& e) {
        return fail(std::string("Cannot start the extraction: ") + e.what());
    }
    running = work.size();
    for (Extraction& job : work)
        if (!pool->Submit([&extractTask, &job] { extractTask(job); })) {
            const std::lock_guard lock(mutex);
            --running; // never queued
        }
    {
        std::unique_lock lock(mutex);
        // The events come on this thread: names as entries start, and the
        // bytes written every tenth of a second.
        const auto reportBytes = [&] {
            const std::uint64_t bytes = unreported.exchange(0);
            if (bytes == 0 || !events.extractProgress || events.extractProgress(bytes))
                return;
            lock.lock();
            if (!failed) {
                failed = true;
                firstError = "The extraction was cancelled.";
            }
            lock.unlock();
        };
        for (;;) {
            changed.wait_for(lock, std::chrono::milliseconds(100),
                             [&] { return !started.empty() || running == 0; });
            if (started.empty() && running == 0)
                break;
            const std::string* name = nullptr;
            if (!started.empty()) {
                name = started.front();
                started.pop_front();
            }
            lock.unlock();
            if (name && events.fileExtracting)
                events.fileExtracting(*name);
            reportBytes();
            lock.lock();
        }
        lock.unlock();
        reportBytes();
    }
    pool->Wait(); // the tasks throw nothing: each is over already
    if (failed)
        return fail(firstError); // the temporary files go with work
    if (!writeFiles)
        return true;
    try {
        // Every entry is complete and verified before the first target changes.
        for (auto& job : work)
            job.temp->commit(flushEachExtraction);
    } catch (const std::exception& e) {
        return fail(e.what());
    }
    return true;
}

bool ZipArchive::TestEntries() {
    if (!impl_->reader)
        return impl_->fail("No archive is open.");
    std::vector<std::pair<const ArchiveEntry*, std::string>> jobs;
    for (const auto& entry : impl_->entries)
        jobs.emplace_back(&entry, std::string());
    return impl_->extractAll(jobs, false);
}

bool ZipArchive::ReadEntry(const std::string& bareName, std::string& data, std::uint64_t maxBytes) {
    data.clear();
    if (!impl_->reader)
        return impl_->fail("No archive is open.");
    const ArchiveEntry* entry = impl_->find(bareName);
    if (!entry)
        return impl_->fail("The archive has no entry named " + bareName + ".");
    if (entry->stored.size > maxBytes)
        return impl_->fail(entry->name.text + " is larger than " + std::to_string(maxBytes) +
                           " bytes.");
    std::string why;
    if (!impl_->readEntry(
            *entry,
            [&](const unsigned char* bytes, std::size_t length) {
                data.append(reinterpret_cast<const char*>(bytes), length);
                return true;
            },
            why)) {
        data.clear();
        return impl_->fail(why);
    }
    return true;
}

std::string ZipArchive::FailedEntry() const {
    return impl_->failedEntry;
}

bool ZipArchive::FailedAtPassword() const {
    return impl_->wrongPassword;
}

void ZipArchive::SetFlushEachExtraction(bool on) {
    impl_->flushEachExtraction = on;
}

} // namespace trelmig
