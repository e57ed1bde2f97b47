#include "archive/ZipArchive.h"

#include "archive/ZipAesDecryptor.h"
#include "archive/ZipAesKeyRing.h"
#include "archive/ZipCentralDirectory.h"
#include "archive/ZipChunkedDecoder.h"
#include "archive/ZipEntryDecoder.h"
#include "archive/ZipEntryNames.h"
#include "archive/ZipEntryRandomReader.h"
#include "archive/ZipEntryReader.h"
#include "archive/ZipExtractedFile.h"
#include "archive/ZipWriteBehind.h"
#include "archive/ZipWriter.h"
#include "core/WorkerPool.h"
#include "platform/DirectIo.h"
#include "platform/Utf.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <fcntl.h>
#include <map>
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
    // Where its chunks start, when it has a sound index: decoded on every core.
    std::optional<ZipChunkIndex> chunks;
};

// The index the entry carries, when it fits the entry; an entry without one,
// or with one that does not fit, is read in one stream.
std::optional<ZipChunkIndex> chunkIndexOf(const ZipCentralDirectory::Record& r) {
    if (r.chunkIndex.empty() || r.method != ZIP_CM_DEFLATE)
        return std::nullopt;
    std::uint64_t deflated = r.compressedSize;
    const std::size_t keySize = r.encryption == ZIP_EM_AES_128   ? 16
                                : r.encryption == ZIP_EM_AES_192 ? 24
                                : r.encryption == ZIP_EM_AES_256 ? 32
                                                                 : 0;
    if (keySize == 0 && r.encryption != ZIP_EM_NONE)
        return std::nullopt;
    if (keySize != 0) {
        const std::size_t overhead =
            ZipAesDecryptor::headerSize(keySize) + ZipAesDecryptor::kTrailerSize;
        if (deflated < overhead)
            return std::nullopt;
        deflated -= overhead;
    }
    return ZipChunkIndex::parse(r.chunkIndex, r.size, deflated);
}

std::string zipErrorText(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

// One entry of an extraction, and the file it is written to.
struct Extraction {
    const ArchiveEntry* entry;
    const std::string* file;
    // Removes what was written unless every entry got through.
    std::unique_ptr<ZipExtractedFile> written;
    const ZipAesKeyRing* keys = nullptr; // derived already for its decoding
};

// Entries from this size on are written behind their decoding.
constexpr std::uint64_t kWriteBehindFrom = 4 << 20;

// What the entries of one extraction share while pool threads decode them:
// the first fault, the names of entries as they start and the bytes written,
// which the extracting thread passes on to the events.
class ExtractionProgress {
public:
    explicit ExtractionProgress(std::size_t tasks) : running_(tasks) {}

    // Runs one entry's task on a pool thread; decode returns the entry's fault.
    template <typename Decode> void run(const std::string& name, Decode&& decode) {
        struct Ended { // whatever happens, passEventsOn learns the task is over
            ExtractionProgress& progress;
            ~Ended() { progress.taskEnded(); }
        } ended{*this};
        {
            const std::lock_guard lock(mutex_);
            if (failed_)
                return;
            started_.push_back(&name);
        }
        changed_.notify_all();
        std::optional<ZipEntryFault> fault = decode();
        if (fault && fault->wrongPassword)
            atPassword_ = true;
        if (fault)
            fail(std::move(*fault));
    }
    // A task that was never queued.
    void taskEnded() {
        {
            const std::lock_guard lock(mutex_);
            --running_;
        }
        changed_.notify_all();
    }
    // On the extracting thread until every task is over: names as entries
    // start, and the bytes written every tenth of a second. An
    // extractProgress event that answers false cancels the extraction.
    void passEventsOn(const ZipEvents& events) {
        const auto reportBytes = [&] {
            const std::uint64_t bytes = unreported_.exchange(0);
            if (bytes != 0 && events.extractProgress && !events.extractProgress(bytes))
                fail(ZipEntryFault{{}, "The extraction was cancelled.", false});
        };
        std::unique_lock lock(mutex_);
        for (;;) {
            changed_.wait_for(lock, std::chrono::milliseconds(100),
                              [&] { return !started_.empty() || running_ == 0; });
            if (started_.empty() && running_ == 0)
                break;
            const std::string* name = nullptr;
            if (!started_.empty()) {
                name = started_.front();
                started_.pop_front();
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
    // The first fault, marked as a password's when any entry failed at one.
    std::optional<ZipEntryFault> fault() {
        const std::lock_guard lock(mutex_);
        if (firstFault_)
            firstFault_->wrongPassword = firstFault_->wrongPassword || atPassword_;
        return firstFault_;
    }
    const std::atomic<bool>& failed() const { return failed_; }
    std::atomic<std::uint64_t>& unreported() { return unreported_; }

private:
    void fail(ZipEntryFault fault) {
        const std::lock_guard lock(mutex_);
        if (!failed_) {
            failed_ = true;
            firstFault_ = std::move(fault);
        }
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<const std::string*> started_;
    std::size_t running_; // tasks not yet over
    std::atomic<bool> failed_ = false;
    std::atomic<bool> atPassword_ = false; // an entry failed at a password check
    std::optional<ZipEntryFault> firstFault_;
    std::atomic<std::uint64_t> unreported_{0}; // bytes written, not yet told to extractProgress
};

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

} // namespace

struct ZipArchive::Impl {
    Impl(const AnsiCodec& ansi, ZipEvents events) : ansi(ansi), events(std::move(events)) {}
    ~Impl() { closeReader(); }

    void closeReader() {
        if (reader)
            zip_discard(reader);
        reader = nullptr;
        if (fd >= 0)
            ::close(fd);
        fd = -1;
        if (directFd >= 0)
            ::close(directFd);
        directFd = -1;
        entries.clear();
        exactNames.clear();
        foldedNames.clear();
    }
    // Indexes the entries by name; fails when two entries share a name:
    // unzip and 7-Zip restore the last of those, a lookup by name the first.
    Result<void> indexEntries();
    const ArchiveEntry* find(const std::string& bareName) const;
    const char* readPassword() const {
        return decryptPassword.empty() ? nullptr : decryptPassword.c_str();
    }
    // Reads the entry through to sink with every check; nullopt when it
    // passed them all. Safe from several threads at once.
    std::optional<ZipEntryFault> readEntry(const ArchiveEntry& entry,
                                           const ZipEntryReader::Sink& sink,
                                           const ZipAesKeyRing* keys = nullptr);
    // The same for an entry with a chunk index, decoded on every core (one
    // decoder each): sink is called from several threads,
    // each piece with its place. pastTheCache reads the archive from the
    // device where it can: the stronger check, for a read-back. An
    // extraction reads through the page cache instead: its read-ahead keeps
    // the device busy ahead of the decoders, where direct reads wait in turn
    // with the extracted file's writes, and the authentication's second
    // reading of every byte comes from memory.
    std::optional<ZipEntryFault> readChunked(const ArchiveEntry& entry,
                                             const ZipChunkedDecoder::PlacedSink& sink,
                                             bool pastTheCache, const ZipAesKeyRing* keys);
    // Derives the keys of the AES entries among work together, on the pool's
    // threads; those it cannot derive are left to each entry's decoding.
    void deriveKeys(const std::vector<Extraction>& work, WorkerPool& pool, ZipAesKeyRing& keys);
    // How an entry's extraction ended: a write error first, then the read's
    // fault; with neither, the file is finished (and flushed when asked).
    std::optional<ZipEntryFault> endExtraction(Extraction& job, const std::string& writeError,
                                               std::optional<ZipEntryFault> fault);
    // extractEntry for an entry with a chunk index.
    std::optional<ZipEntryFault> extractChunked(Extraction& job, bool writeFiles,
                                                const std::atomic<bool>& stop,
                                                std::atomic<std::uint64_t>& bytes);
    // Extracts the entries to their files, several at once; see
    // ExtractEntriesTo. nullopt when every entry was extracted; else the
    // first failure (its entry empty when no entry was at fault). writeFiles
    // false: every entry is read through with every check and nothing is
    // written (files unused).
    std::optional<ZipEntryFault>
    extractAll(const std::vector<std::pair<const ArchiveEntry*, std::string>>& jobs,
               bool writeFiles = true);
    // Reads one entry through with every check and, when writeFiles, writes
    // it to its file; adds the bytes read to bytes and gives up once stop is
    // set. nullopt when the entry passed every check and was written whole.
    // Safe from several threads at once.
    std::optional<ZipEntryFault> extractEntry(Extraction& job, bool writeFiles,
                                              const std::atomic<bool>& stop,
                                              std::atomic<std::uint64_t>& bytes);

    AnsiCodec ansi;
    ZipEvents events;

    // reading
    zip_t* reader = nullptr;
    int fd = -1;       // the same file, for pread
    int directFd = -1; // and for reads past the page cache, where they work
    ZipCentralDirectory directory;
    std::mutex readerMutex; // libzip's handle serves one thread at a time
    std::vector<ArchiveEntry> entries;
    std::unordered_map<std::string, std::size_t> exactNames;     // both readings
    std::unordered_map<std::u16string, std::size_t> foldedNames; // both readings, case-folded
    std::string decryptPassword;
    bool flushEachExtraction = true;
};

ZipArchive::ZipArchive(const AnsiCodec& ansi, ZipEvents events)
    : impl_(std::make_unique<Impl>(ansi, std::move(events))) {}

ZipArchive::~ZipArchive() = default;

void ZipArchive::SetEvents(ZipEvents events) {
    impl_->events = std::move(events);
}

// ---------------------------------------------------------------- writing

Result<void> ZipArchive::WriteZip(const std::string& targetPath, const ZipFileList& files,
                                  const std::string& password, ZipWriteMode mode) {
    CloseZip();
    auto progress = [this](int percent) {
        if (impl_->events.writeProgress)
            impl_->events.writeProgress(percent);
    };
    Result<void> written;
    try {
        written = writeZipFile(targetPath, files.Files(), password, progress,
                               impl_->events.writeCancelled, impl_->events.writeBytes, mode);
    } catch (const std::exception& e) {
        written = Fail(std::string("Cannot write the archive: ") + e.what());
    }
    if (impl_->events.writeFinished)
        impl_->events.writeFinished(written.has_value());
    return written;
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
    const bool read = directory.read(fd).has_value();
    ::close(fd);
    if (!read)
        return std::nullopt;
    return std::any_of(
        directory.records().begin(), directory.records().end(),
        [](const ZipCentralDirectory::Record& r) { return r.encryption != ZIP_EM_NONE; });
}

Result<void> ZipArchive::OpenZip(const std::string& archivePath) {
    CloseZip();
    const int fd = ::open(archivePath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return Fail("Cannot open the archive " + archivePath + ": " + zipErrorText(ZIP_ER_OPEN));
    auto refuse = [&](const std::string& why) {
        ::close(fd);
        impl_->entries.clear();
        impl_->exactNames.clear();
        impl_->foldedNames.clear();
        return Fail("The archive " + archivePath + " cannot be restored: " + why);
    };
    // Our reading of the directory decides every entry; libzip, which reads
    // the entries we do not decode, must find the very same list.
    auto& directory = impl_->directory;
    if (const Result<void> read = directory.read(fd); !read)
        return refuse(read.error().message + ".");
    const auto& records = directory.records();
    for (std::size_t i = 0; i < records.size(); ++i) {
        const ZipCentralDirectory::Record& r = records[i];
        if (const auto problem = entryNameProblem(r.storedName))
            return refuse(*problem + ".");
        ArchiveEntry entry;
        entry.stored = {i, r.size, r.compressedSize, r.method, r.encryption, r.crc};
        entry.name = decodeEntryName(r.name, r.utf8Name, impl_->ansi);
        entry.chunks = chunkIndexOf(r);
        impl_->entries.push_back(std::move(entry));
    }
    if (Result<void> indexed = impl_->indexEntries(); !indexed)
        return refuse(indexed.error().message);
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
    impl_->directFd = openDirect("/proc/self/fd/" + std::to_string(fd), O_RDONLY);
    return {};
}

Result<void> ZipArchive::Impl::indexEntries() {
    exactNames.clear();
    foldedNames.clear();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ZipEntryName& name = entries[i].name;
        if (!foldedNames.emplace(foldCase(utf8ToUtf16(name.text)), i).second)
            return Fail("it holds two entries named \"" + name.text +
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
    return {};
}

void ZipArchive::SetDecryptPassword(const std::string& password) {
    impl_->decryptPassword = password;
}

Result<void> ZipArchive::CheckPassword() {
    if (!impl_->reader)
        return Fail("No archive is open.");
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
        return {};
    if (const auto fault =
            impl_->readEntry(*smallest, [](const unsigned char*, std::size_t) { return true; }))
        return Fail(fault->message);
    return {};
}

namespace {

ZipEntryInfo infoOf(const ArchiveEntry& entry) {
    return {entry.name.text, entry.stored.size, entry.stored.encryption != ZIP_EM_NONE,
            ZipEntryRandomReader::handles(entry.stored, entry.chunks)};
}

} // namespace

std::vector<ZipEntryInfo> ZipArchive::Entries() const {
    std::vector<ZipEntryInfo> list;
    for (const auto& entry : impl_->entries)
        list.push_back(infoOf(entry));
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
    return infoOf(*entry);
}

Result<std::unique_ptr<ZipEntryRandomReader>>
ZipArchive::OpenRandomAccess(const std::string& bareName) {
    if (!impl_->reader)
        return Fail("No archive is open.");
    const ArchiveEntry* entry = impl_->find(bareName);
    if (!entry)
        return Fail("The archive has no entry named " + bareName + ".");
    const std::string& name = entry->name.text;
    const auto offset = impl_->directory.dataOffset(impl_->fd, entry->stored.index);
    if (!offset)
        return Fail(name + ": the archive is damaged (" + offset.error().message + ").");
    // Its own descriptor of the same open file: the reader outlives the archive's.
    const int fd = ::fcntl(impl_->fd, F_DUPFD_CLOEXEC, 0);
    if (fd < 0)
        return Fail(name + ": " + std::system_category().message(errno));
    auto reader = ZipEntryRandomReader::open(fd, entry->stored, entry->chunks, *offset,
                                             impl_->decryptPassword);
    if (!reader)
        return Fail(name + ": " + reader.error().message);
    return std::move(*reader);
}

Result<void> ZipArchive::ExtractEntryTo(const std::string& bareName, const std::string& file) {
    return ExtractEntriesTo({{bareName, file}});
}

Result<void> ZipArchive::ExtractEntriesTo(
    const std::vector<std::pair<std::string, std::string>>& entriesAndFiles) {
    if (!impl_->reader)
        return Fail("No archive is open.");
    std::vector<std::pair<const ArchiveEntry*, std::string>> jobs;
    for (const auto& [bareName, file] : entriesAndFiles) {
        const ArchiveEntry* entry = impl_->find(bareName);
        if (!entry)
            return Fail("The archive has no entry named " + bareName + ".");
        jobs.emplace_back(entry, file);
    }
    if (const auto fault = impl_->extractAll(jobs))
        return Fail(fault->message);
    return {};
}

std::optional<ZipEntryFault> ZipArchive::Impl::readEntry(const ArchiveEntry& entry,
                                                         const ZipEntryReader::Sink& sink,
                                                         const ZipAesKeyRing* keys) {
    const std::string& name = entry.name.text;
    if (ZipEntryDecoder::handles(entry.stored)) {
        const auto offset = directory.dataOffset(fd, entry.stored.index);
        if (!offset)
            return ZipEntryFault{
                name, name + ": the archive is damaged (" + offset.error().message + ").", false};
        ZipEntryDecoder decoder(fd, decryptPassword, keys);
        EntryReadResult decoded;
        try {
            decoded = decoder.decode(entry.stored, *offset, sink);
        } catch (const std::exception& e) { // OpenSSL failing, or no memory
            return ZipEntryFault{name, name + ": " + e.what(), false};
        }
        if (decoded)
            return std::nullopt;
        return ZipEntryFault{name, name + ": " + decoded.error().message,
                             decoded.error().wrongPassword};
    }
    std::lock_guard lock(readerMutex);
    ZipEntryReader libzipReader(reader, readPassword());
    const EntryReadResult read = libzipReader.read(entry.stored, sink);
    if (read)
        return std::nullopt;
    return ZipEntryFault{name, name + ": " + read.error().message, read.error().wrongPassword};
}

std::optional<ZipEntryFault>
ZipArchive::Impl::readChunked(const ArchiveEntry& entry, const ZipChunkedDecoder::PlacedSink& sink,
                              bool pastTheCache, const ZipAesKeyRing* keys) {
    const std::string& name = entry.name.text;
    const auto offset = directory.dataOffset(fd, entry.stored.index);
    if (!offset)
        return ZipEntryFault{
            name, name + ": the archive is damaged (" + offset.error().message + ").", false};
    ZipChunkedDecoder decoder(fd, pastTheCache ? directFd : -1, decryptPassword,
                              WorkerPool::ThreadsForThisMachine(), keys);
    EntryReadResult decoded;
    try {
        decoded = decoder.decode(entry.stored, *entry.chunks, *offset, sink);
    } catch (const std::exception& e) { // OpenSSL failing, or no memory
        return ZipEntryFault{name, name + ": " + e.what(), false};
    }
    if (decoded)
        return std::nullopt;
    return ZipEntryFault{name, name + ": " + decoded.error().message,
                         decoded.error().wrongPassword};
}

std::optional<ZipEntryFault> ZipArchive::Impl::extractChunked(Extraction& job, bool writeFiles,
                                                              const std::atomic<bool>& stop,
                                                              std::atomic<std::uint64_t>& bytes) {
    if (!writeFiles)
        return readChunked(
            *job.entry,
            [&](const unsigned char*, std::size_t length, std::uint64_t) {
                bytes += length;
                return !stop;
            },
            true, job.keys);
    job.written = std::make_unique<ZipExtractedFile>(*job.file);
    job.written->create();
    job.written->beginPlacedWrites();
    std::mutex writeErrorMutex;
    std::string writeError;
    std::optional<ZipEntryFault> fault = readChunked(
        *job.entry,
        [&](const unsigned char* data, std::size_t length, std::uint64_t offset) {
            if (stop)
                return false; // another entry failed, or the user cancelled
            try {
                job.written->writeAt(data, length, offset);
            } catch (const std::exception& e) {
                const std::lock_guard lock(writeErrorMutex);
                if (writeError.empty())
                    writeError = e.what();
                return false;
            }
            bytes += length;
            return true;
        },
        false, job.keys);
    return endExtraction(job, writeError, std::move(fault));
}

std::optional<ZipEntryFault> ZipArchive::Impl::endExtraction(Extraction& job,
                                                             const std::string& writeError,
                                                             std::optional<ZipEntryFault> fault) {
    if (!writeError.empty())
        return ZipEntryFault{job.entry->name.text, writeError, false};
    if (fault)
        return fault;
    job.written->finish(flushEachExtraction);
    return std::nullopt;
}

std::optional<ZipEntryFault> ZipArchive::Impl::extractEntry(Extraction& job, bool writeFiles,
                                                            const std::atomic<bool>& stop,
                                                            std::atomic<std::uint64_t>& bytes) {
    try {
        if (job.entry->chunks)
            return extractChunked(job, writeFiles, stop, bytes);
        if (!writeFiles)
            return readEntry(
                *job.entry,
                [&](const unsigned char*, std::size_t length) {
                    bytes += length;
                    return !stop;
                },
                job.keys);
        job.written = std::make_unique<ZipExtractedFile>(*job.file);
        job.written->create();
        // Large entries are written from a thread of their own while decoding goes on.
        std::optional<ZipWriteBehind> writeBehind;
        if (job.entry->stored.size >= kWriteBehindFrom)
            writeBehind.emplace(*job.written);
        std::string writeError;
        std::optional<ZipEntryFault> fault = readEntry(
            *job.entry,
            [&](const unsigned char* data, std::size_t length) {
                if (stop)
                    return false; // another entry failed, or the user cancelled
                bytes += length;
                if (writeBehind)
                    return writeBehind->write(data, length).has_value();
                try {
                    job.written->write(data, length);
                    return true;
                } catch (const std::exception& e) {
                    writeError = e.what();
                    return false;
                }
            },
            job.keys);
        if (writeBehind)
            if (const Result<void> finished = writeBehind->finish(); !finished)
                writeError = finished.error().message;
        return endExtraction(job, writeError, std::move(fault));
    } catch (const std::exception& e) {
        return ZipEntryFault{job.entry->name.text, e.what(), false};
    }
}

void ZipArchive::Impl::deriveKeys(const std::vector<Extraction>& work, WorkerPool& pool,
                                  ZipAesKeyRing& keys) {
    std::map<std::size_t, std::vector<std::vector<unsigned char>>> saltsBySize;
    for (const Extraction& job : work) {
        const ArchiveEntry& entry = *job.entry;
        const std::size_t keySize = ZipAesKeySizeOf(entry.stored.encryption);
        if (keySize == 0 || !(entry.chunks || ZipEntryDecoder::handles(entry.stored)))
            continue;
        const auto offset = directory.dataOffset(fd, entry.stored.index);
        std::vector<unsigned char> salt(keySize / 2);
        // An entry that cannot be read here fails in its own decoding.
        if (offset && readFullyAt(fd, salt.data(), salt.size(), *offset))
            saltsBySize[keySize].push_back(std::move(salt));
    }
    std::vector<std::vector<std::span<const unsigned char>>> parts;
    std::vector<std::size_t> partKeySizes;
    for (const auto& [keySize, salts] : saltsBySize) {
        if (salts.size() < 2)
            continue; // one alone is derived as fast by its decoding
        const std::size_t count = std::min<std::size_t>(pool.ThreadCount(), salts.size() / 2);
        for (std::size_t p = 0; p < count; ++p) {
            parts.emplace_back(salts.begin() + salts.size() * p / count,
                               salts.begin() + salts.size() * (p + 1) / count);
            partKeySizes.push_back(keySize);
        }
    }
    for (std::size_t p = 0; p < parts.size(); ++p)
        pool.Submit([&, p] {
            try {
                keys.derive(decryptPassword, partKeySizes[p], parts[p]);
            } catch (const std::exception&) { // OpenSSL failing: each entry derives its own
            }
        });
    pool.Wait(); // the tasks throw nothing
}

std::optional<ZipEntryFault>
ZipArchive::Impl::extractAll(const std::vector<std::pair<const ArchiveEntry*, std::string>>& jobs,
                             bool writeFiles) {
    std::vector<Extraction> work;
    work.reserve(jobs.size());
    for (const auto& [entry, target] : jobs)
        work.push_back({entry, &target, nullptr, nullptr});
    // The largest first, so that no core is left with a large entry at the end.
    std::stable_sort(work.begin(), work.end(), [](const Extraction& a, const Extraction& b) {
        return a.entry->stored.compressedSize > b.entry->stored.compressedSize;
    });

    std::optional<WorkerPool> pool;
    try {
        pool.emplace(std::min<std::size_t>(work.size(), WorkerPool::ThreadsForThisMachine()),
                     std::max<std::size_t>(work.size(), 1));
    } catch (const std::system_error& e) {
        return ZipEntryFault{{}, std::string("Cannot start the extraction: ") + e.what(), false};
    }
    ZipAesKeyRing keys;
    deriveKeys(work, *pool, keys);
    for (Extraction& job : work)
        job.keys = &keys;
    // One task per entry; the pool's queue takes them all, so that this
    // thread is free at once to pass the events on.
    ExtractionProgress progress(work.size());
    for (Extraction& job : work)
        if (!pool->Submit([&] {
                progress.run(job.entry->name.text, [&] {
                    return extractEntry(job, writeFiles, progress.failed(), progress.unreported());
                });
            }))
            progress.taskEnded(); // never queued
    progress.passEventsOn(events);
    pool->Wait(); // the tasks throw nothing: each is over already
    if (std::optional<ZipEntryFault> fault = progress.fault())
        return fault; // what was written goes with work
    // Every entry is complete and verified: the files stay, under the names asked.
    if (writeFiles)
        for (auto& job : work)
            job.written->keep();
    return std::nullopt;
}

Result<std::optional<ZipEntryFault>> ZipArchive::TestEntries() {
    if (!impl_->reader)
        return Fail("No archive is open.");
    std::vector<std::pair<const ArchiveEntry*, std::string>> jobs;
    for (const auto& entry : impl_->entries)
        jobs.emplace_back(&entry, std::string());
    std::optional<ZipEntryFault> fault = impl_->extractAll(jobs, false);
    // A failure no entry is at fault for (the work could not start) is the test's own.
    if (fault && fault->entry.empty())
        return Fail(fault->message);
    return fault;
}

Result<std::string> ZipArchive::ReadEntry(const std::string& bareName, std::uint64_t maxBytes) {
    if (!impl_->reader)
        return Fail("No archive is open.");
    const ArchiveEntry* entry = impl_->find(bareName);
    if (!entry)
        return Fail("The archive has no entry named " + bareName + ".");
    if (entry->stored.size > maxBytes)
        return Fail(entry->name.text + " is larger than " + std::to_string(maxBytes) + " bytes.");
    std::string data;
    if (const auto fault =
            impl_->readEntry(*entry, [&](const unsigned char* bytes, std::size_t length) {
                data.append(reinterpret_cast<const char*>(bytes), length);
                return true;
            }))
        return Fail(fault->message);
    return data;
}

void ZipArchive::SetFlushEachExtraction(bool on) {
    impl_->flushEachExtraction = on;
}

} // namespace trelmig
