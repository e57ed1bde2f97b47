#include "mailstore/BackupDataFile.h"

#include "mailstore/EntryBfioHandle.h"
#include "mailstore/PffMailStore.h"

#include <atomic>
#include <system_error>
#include <unistd.h>

namespace trelmig {

namespace {

// A store read from an extracted copy, which goes with it.
class ExtractedMailStore : public MailStore {
public:
    ExtractedMailStore(std::unique_ptr<MailStore> store, std::filesystem::path copy)
        : store_(std::move(store)), copy_(std::move(copy)) {}
    ~ExtractedMailStore() override {
        store_.reset(); // libpff closes the copy before it is removed
        std::error_code ignored;
        std::filesystem::remove(copy_, ignored);
    }
    ExtractedMailStore(const ExtractedMailStore&) = delete;
    ExtractedMailStore& operator=(const ExtractedMailStore&) = delete;

    const std::vector<MailFolder>& folders() const override { return store_->folders(); }
    const std::string& notice() const override { return store_->notice(); }
    Result<void> ForEachMessage(std::uint32_t folderId, const SummarySink& sink,
                                const CancelToken* cancel) override {
        return store_->ForEachMessage(folderId, sink, cancel);
    }
    Result<void> Search(std::optional<std::uint32_t> folderId, std::string_view text,
                        const SummarySink& sink, const CancelToken* cancel) override {
        return store_->Search(folderId, text, sink, cancel);
    }
    Result<MessageSummary> Summary(const MessageRef& message) override {
        return store_->Summary(message);
    }
    Result<MessageText> Text(const MessageRef& message) override { return store_->Text(message); }
    Result<void> WriteEml(const MessageRef& message, std::ostream& out) override {
        return store_->WriteEml(message, out);
    }

private:
    std::unique_ptr<MailStore> store_;
    std::filesystem::path copy_;
};

// A name in the work folder that nothing has yet: the extraction writes only
// new files.
std::filesystem::path copyPathFor(const std::filesystem::path& workFolder,
                                  const std::string& entryName) {
    static std::atomic<unsigned> made{0};
    for (;;) {
        std::filesystem::path path = workFolder / ("look-inside-" + std::to_string(::getpid()) +
                                                   "-" + std::to_string(made++) + "-" + entryName);
        std::error_code ec;
        if (!std::filesystem::exists(std::filesystem::symlink_status(path, ec)))
            return path;
    }
}

Result<std::unique_ptr<MailStore>> openExtracted(ZipArchive& zip, const BackupDataFile& file,
                                                 const std::filesystem::path& workFolder) {
    const std::filesystem::path copy = copyPathFor(workFolder, file.entryName);
    if (Result<void> extracted = zip.ExtractEntryTo(file.entryName, copy.string()); !extracted)
        return std::unexpected(extracted.error());
    zip.CloseZip();
    auto store = OpenPffFile(copy.string(), file.displayName);
    if (!store) {
        std::error_code ignored;
        std::filesystem::remove(copy, ignored);
        return std::unexpected(store.error());
    }
    return std::make_unique<ExtractedMailStore>(std::move(*store), copy);
}

} // namespace

Result<std::unique_ptr<MailStore>> OpenBackupDataFile(const std::string& archivePath,
                                                      const BackupDataFile& file,
                                                      const std::string& password,
                                                      const std::filesystem::path& workFolder,
                                                      const AnsiCodec& ansi) {
    ZipArchive zip(ansi);
    if (Result<void> opened = zip.OpenZip(archivePath); !opened)
        return std::unexpected(opened.error());
    zip.SetDecryptPassword(password);
    const auto entry = zip.GetEntry(file.entryName);
    if (!entry)
        return Fail("The archive has no entry named " + file.entryName + ".");
    if (!entry->randomAccess)
        return openExtracted(zip, file, workFolder);
    auto reader = zip.OpenRandomAccess(file.entryName);
    if (!reader)
        return std::unexpected(reader.error());
    zip.CloseZip();
    const auto source =
        EntryBfioSource::Over(std::shared_ptr<ZipEntryRandomReader>(std::move(*reader)));
    libbfio_handle_t* handle = NewEntryBfioHandle(source);
    if (!handle)
        return Fail(file.entryName + ": out of memory.");
    auto store = OpenPffStore(handle, file.displayName);
    // A read that failed says why better than libpff's words about it.
    if (!store && !source->lastError().empty())
        return Fail(file.entryName + ": " + source->lastError());
    return store;
}

} // namespace trelmig
