#include "archive/ZipArchive.h"

#include "archive/ZipEntryNames.h"
#include "archive/ZipEntryReader.h"
#include "archive/ZipWriter.h"
#include "platform/SideFile.h"
#include "platform/Utf.h"

#include <algorithm>
#include <exception>
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

    AnsiCodec ansi;
    ZipEvents events;
    std::string lastError;

    // reading
    zip_t* reader = nullptr;
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
    int code = 0;
    zip_t* za = zip_open(archivePath.c_str(), ZIP_RDONLY, &code);
    if (!za)
        return std::nullopt;
    bool encrypted = false;
    zip_int64_t count = zip_get_num_entries(za, 0);
    for (zip_int64_t i = 0; i < count && !encrypted; ++i) {
        zip_stat_t st;
        if (zip_stat_index(za, static_cast<zip_uint64_t>(i), 0, &st) == 0 &&
            (st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
            encrypted = true;
    }
    zip_discard(za);
    return encrypted;
}

bool ZipArchive::OpenZip(const std::string& archivePath) {
    CloseZip();
    int code = 0;
    zip_t* za = zip_open(archivePath.c_str(), ZIP_RDONLY, &code);
    if (!za)
        return impl_->fail("Cannot open the archive " + archivePath + ": " + zipErrorText(code));
    zip_int64_t count = zip_get_num_entries(za, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        auto index = static_cast<zip_uint64_t>(i);
        zip_stat_t st;
        const char* raw = zip_get_name(za, index, ZIP_FL_ENC_RAW);
        const char* strict = zip_get_name(za, index, ZIP_FL_ENC_STRICT);
        if (zip_stat_index(za, index, 0, &st) != 0 || !raw || !strict) {
            std::string why = zip_strerror(za);
            zip_discard(za);
            return impl_->fail("Cannot read the archive " + archivePath + ": " + why);
        }
        ArchiveEntry entry;
        entry.stored.index = index;
        entry.stored.size = st.size;
        entry.stored.method = st.comp_method;
        entry.stored.encryption = st.encryption_method;
        entry.stored.crc = st.crc;
        entry.name = decodeEntryName(raw, strict, impl_->ansi);
        if (const std::string problem = entryNameProblem(raw); !problem.empty()) {
            zip_discard(za);
            impl_->entries.clear();
            return impl_->fail("The archive " + archivePath + " cannot be restored: " + problem +
                               ".");
        }
        impl_->entries.push_back(std::move(entry));
    }
    if (!impl_->indexEntries()) {
        zip_discard(za);
        impl_->lastError =
            "The archive " + archivePath + " cannot be restored: " + impl_->lastError;
        impl_->entries.clear();
        return false;
    }
    impl_->reader = za;
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
    ZipEntryReader reader(impl_->reader, impl_->readPassword());
    for (const auto& entry : impl_->entries) {
        if (entry.stored.encryption == ZIP_EM_NONE)
            continue;
        if (!reader.read(entry.stored, [](const unsigned char*, std::size_t) { return true; }))
            return impl_->fail(entry.name.text + ": " + reader.error());
    }
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
    if (!impl_->reader)
        return impl_->fail("No archive is open.");
    const ArchiveEntry* entry = impl_->find(bareName);
    if (!entry)
        return impl_->fail("The archive has no entry named " + bareName + ".");
    if (impl_->events.fileExtracting)
        impl_->events.fileExtracting(entry->name.text);

    try {
        SideFile temp(targetFile, SideFile::sidePrefix(fileNameOf(targetFile)) + "x-");
        temp.create();
        ZipEntryReader reader(impl_->reader, impl_->readPassword());
        std::string failure;
        std::uint64_t written = 0;
        const bool read =
            reader.read(entry->stored, [&](const unsigned char* data, std::size_t length) {
                try {
                    temp.write(data, length);
                } catch (const std::exception& e) {
                    failure = e.what();
                    return false;
                }
                written += length;
                if (impl_->events.extractProgress && !impl_->events.extractProgress(written)) {
                    failure = entry->name.text + ": the extraction was cancelled";
                    return false;
                }
                return true;
            });
        if (!read)
            return impl_->fail(failure.empty() ? entry->name.text + ": " + reader.error()
                                               : failure);
        temp.commit(impl_->flushEachExtraction);
        return true;
    } catch (const std::exception& e) {
        return impl_->fail(e.what());
    }
}

void ZipArchive::SetFlushEachExtraction(bool on) {
    impl_->flushEachExtraction = on;
}

} // namespace trelmig
