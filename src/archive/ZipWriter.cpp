#include "archive/ZipWriter.h"

#include "archive/ZipChunkIndex.h"
#include "archive/ZipDeflatePipeline.h"
#include "archive/ZipEntryNames.h"
#include "archive/ZipEntrySource.h"
#include "archive/ZipOutputFile.h"
#include "archive/ZipWriteTarget.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <zip.h>

namespace trelmig {

namespace {

struct ZipDiscard {
    void operator()(zip_t* za) const { zip_discard(za); }
};

// An archive without entries: only the end of central directory record.
// (libzip deletes the file instead of writing one.)
bool writeEmptyArchive(const std::string& path) {
    static const unsigned char kEnd[22] = {'P', 'K', 5, 6};
    int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    bool ok = writeFully(fd, kEnd, sizeof kEnd);
    return ::close(fd) == 0 && ok;
}

// A file to archive as it was when the write began.
struct PlannedFile {
    std::string path;
    std::uint64_t size;
    std::time_t mtime;
    mode_t mode;
};

// The files as they are now; a vanished one stops the write before
// anything is touched.
Result<std::vector<PlannedFile>> planFiles(const std::vector<ZipQueuedFile>& files) {
    std::vector<PlannedFile> planned;
    for (const auto& file : files) {
        struct stat st {};
        if (::stat(file.path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            return Fail("The file " + file.path + " no longer exists.");
        planned.push_back(
            {file.path, static_cast<std::uint64_t>(st.st_size), st.st_mtime, st.st_mode});
    }
    return planned;
}

// The chunk index of a file of more than one chunk goes into both headers:
// a field of its final length now, since libzip writes the local header
// before the data, and the index itself once the data is read, before libzip
// writes that header again with the sizes. A file that changed its length
// since it was planned keeps the placeholder, which readers pass over.
bool reserveChunkIndex(zip_t* za, zip_uint64_t entry, std::size_t chunks,
                       const ZipDeflatePipeline& pipeline, std::size_t file,
                       ZipEntrySource& source) {
    const zip_flags_t bothHeaders = ZIP_FL_LOCAL | ZIP_FL_CENTRAL;
    const std::vector<unsigned char> placeholder = ZipChunkIndex::placeholder(chunks);
    if (zip_file_extra_field_set(za, entry, ZipChunkIndex::kFieldId, ZIP_EXTRA_FIELD_NEW,
                                 placeholder.data(), static_cast<zip_uint16_t>(placeholder.size()),
                                 bothHeaders) != 0)
        return false;
    source.setWhenDataEnds(
        [za, entry, &pipeline, file, length = placeholder.size()]() -> Result<void> {
            const std::vector<unsigned char> index = pipeline.chunkIndex(file).encode();
            if (index.size() != length)
                return {};
            if (zip_file_extra_field_set(za, entry, ZipChunkIndex::kFieldId, 0, index.data(),
                                         static_cast<zip_uint16_t>(index.size()), bothHeaders) != 0)
                return Fail(std::string("the chunk index cannot be stored: ") + zip_strerror(za));
            return {};
        });
    return true;
}

// libzip writes the archive into tempPath through ZipOutputFile, its entries
// deflated (and encrypted) by the pipeline's workers. Declared first, the
// pipeline, the sources and the output file outlive the zip_t.
Result<void> writeEntries(const std::string& target, const std::string& tempPath,
                          const std::vector<ZipQueuedFile>& files,
                          const std::vector<PlannedFile>& planned, const std::string& password,
                          bool deflate, const std::function<void(std::uint64_t)>& advance,
                          const std::function<bool()>& cancelled) {
    ZipDeflatePipeline::Settings settings;
    settings.threads = WorkerPool::ThreadsForThisMachine();
    // Enough compressed chunks ahead that neither side waits for the other
    // on a busy machine; each costs about 1 MiB.
    settings.chunksAhead = std::min(4 * settings.threads + 8, 24u);
    settings.password = password;
    if (!deflate)
        settings.level = 0;
    std::vector<std::string> paths;
    paths.reserve(planned.size());
    for (const PlannedFile& file : planned)
        paths.push_back(file.path);
    ZipDeflatePipeline pipeline(paths, settings);
    std::vector<std::unique_ptr<ZipEntrySource>> sources;
    ZipOutputFile output(tempPath);

    zip_error_t openError;
    zip_error_init(&openError);
    zip_source_t* file = output.source(&openError);
    std::unique_ptr<zip_t, ZipDiscard> za(
        file ? zip_open_from_source(file, ZIP_CREATE | ZIP_TRUNCATE, &openError) : nullptr);
    if (!za) {
        if (file)
            zip_source_free(file);
        std::string why = zip_error_strerror(&openError);
        zip_error_fini(&openError);
        return Fail("Cannot create the archive " + target + ": " + why);
    }
    zip_error_fini(&openError);
    auto abandon = [&](const std::string& why) {
        return Fail("Cannot write the archive " + target + ": " + why);
    };
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::size_t chunks = ZipChunkIndex::chunkCount(
            planned[i].size, ZipChunkIndex::chunkSizeFor(planned[i].size, settings.chunkSize));
        sources.push_back(std::make_unique<ZipEntrySource>(
            pipeline, i, planned[i].size, planned[i].mtime, [&]() -> Result<void> {
                // Fails the read, and with it the write.
                if (cancelled && cancelled())
                    return Fail("the write was cancelled");
                advance(pipeline.bytesDone());
                return {};
            }));
        zip_source_t* source = sources.back()->open(za.get());
        if (!source)
            return abandon(zip_strerror(za.get()));
        zip_flags_t nameFlags = isAscii(files[i].name) ? ZIP_FL_ENC_GUESS : ZIP_FL_ENC_UTF_8;
        zip_int64_t index = zip_file_add(za.get(), files[i].name.c_str(), source, nameFlags);
        if (index < 0) {
            zip_source_free(source);
            return abandon(zip_strerror(za.get()));
        }
        auto entry = static_cast<zip_uint64_t>(index);
        zip_uint32_t attributes = (S_IFREG | (planned[i].mode & 0777)) << 16;
        if (zip_file_set_external_attributes(za.get(), entry, 0, ZIP_OPSYS_UNIX, attributes) != 0 ||
            (!password.empty() &&
             zip_file_set_encryption(za.get(), entry, ZIP_EM_AES_256, nullptr) != 0))
            return abandon(zip_strerror(za.get()));
        if (chunks > 1 && !reserveChunkIndex(za.get(), entry, chunks, pipeline, i, *sources.back()))
            return abandon(zip_strerror(za.get()));
    }
    if (zip_close(za.get()) != 0) {
        // Our sources and output file know why; libzip's words only say where.
        std::string why;
        for (const auto& source : sources)
            if (source->failure() && why.empty())
                why = source->failure()->message;
        if (why.empty())
            why = output.error();
        return abandon(why.empty() ? zip_strerror(za.get()) : why);
    }
    static_cast<void>(za.release()); // zip_close freed it
    return {};
}

} // namespace

Result<void> writeZipFile(const std::string& target, const std::vector<ZipQueuedFile>& files,
                          const std::string& password, const std::function<void(int)>& progress,
                          const std::function<bool()>& cancelled, const ZipWriteBytes& bytes,
                          ZipWriteMode mode) {
    const Result<std::vector<PlannedFile>> planned = planFiles(files);
    if (!planned)
        return std::unexpected(planned.error());
    std::uint64_t total = 0;
    for (const PlannedFile& file : *planned)
        total += file.size;

    ZipWriteTarget out(target);
    if (Result<void> begun = out.begin(); !begun)
        return begun;

    int percentShown = -1;
    std::size_t entryAtWork = 0;
    std::uint64_t entryEnd = planned->empty() ? 0 : (*planned)[0].size;
    const auto advance = [&](std::uint64_t done) {
        if (bytes && !files.empty()) {
            while (done >= entryEnd && entryAtWork + 1 < files.size())
                entryEnd += (*planned)[++entryAtWork].size;
            bytes(files[entryAtWork].shownName(), std::min(done, total), total);
        }
        int percent =
            total == 0 ? 100 : static_cast<int>(std::min<std::uint64_t>(done, total) * 100 / total);
        if (percent > percentShown) {
            percentShown = percent;
            if (progress)
                progress(percent);
        }
    };
    advance(0);

    if (files.empty()) {
        if (!writeEmptyArchive(out.tempPath()))
            return Fail("Cannot write " + out.tempPath() + ": " +
                        std::generic_category().message(errno));
    } else if (Result<void> written = writeEntries(target, out.tempPath(), files, *planned,
                                                   password, mode.deflate, advance, cancelled);
               !written) {
        return written;
    }
    // ZipWriteTarget flushes the temporary file and renames it over the target.
    if (Result<void> committed = out.commit(mode.flush); !committed)
        return committed;
    advance(total);
    return {};
}

} // namespace trelmig
