#include "mailstore/PffMailStore.h"

#include "core/Message.h"
#include "mailstore/HtmlText.h"
#include "mailstore/PffEml.h"
#include "mailstore/PffHandles.h"
#include "mailstore/PffMessage.h"
#include "mailstore/TextMatch.h"

#include <functional>
#include <utility>

namespace trelmig {

namespace {

// MailStore's MessageText, which core/Message.h's function of that name hides.
using MessageBody = struct MessageText;

// Folders nested deeper, or more of them, are a damaged file's loop.
constexpr int kMaxFolderDepth = 64;
constexpr std::size_t kMaxFolders = 100000;

std::string FolderName(libpff_item_t* folder) {
    std::size_t size = 0;
    PffError error;
    if (libpff_folder_get_utf8_name_size(folder, &size, error.out()) != 1 || size == 0 ||
        size > 4096)
        return {};
    std::string name(size, '\0');
    if (libpff_folder_get_utf8_name(folder, reinterpret_cast<std::uint8_t*>(name.data()), size,
                                    error.out()) != 1)
        return {};
    name.resize(name.find('\0') == std::string::npos ? size : name.find('\0'));
    return name;
}

class PffMailStore final : public MailStore {
public:
    PffMailStore(BfioHandle handle, PffFile file, std::string displayName)
        : handle_(std::move(handle)), file_(std::move(file)), displayName_(std::move(displayName)) {
    }

    Result<void> ReadFolders();
    void ReadPasswordNotice();

    const std::vector<MailFolder>& folders() const override { return folders_; }
    const std::string& notice() const override { return notice_; }
    Result<void> ForEachMessage(std::uint32_t folderId, const SummarySink& sink,
                                const CancelToken* cancel) override;
    Result<void> Search(std::optional<std::uint32_t> folderId, std::string_view text,
                        const SummarySink& sink, const CancelToken* cancel) override;
    Result<MessageSummary> Summary(const MessageRef& message) override;
    Result<MessageBody> Text(const MessageRef& message) override;
    Result<void> WriteEml(const MessageRef& message, std::ostream& out) override;

private:
    Result<void> AddFolder(PffItem folder, std::string name, const std::string& parentPath,
                           int depth);
    Result<PffItem> Message(const MessageRef& ref);
    // The message and its summary, read together.
    Result<std::pair<PffItem, MessageSummary>> MessageAndSummary(const MessageRef& ref);
    Result<MessageBody> TextOf(libpff_item_t* message) const;
    std::unexpected<Error> Damaged(const std::string& reason) const {
        return Fail(MessageText(MessageId::MailStoreDamaged, displayName_, reason));
    }
    // Whether the message matches, its summary already read.
    bool Matches(libpff_item_t* message, const MessageSummary& summary, const TextMatch& match);
    // Reads the folder's messages in order, handing each with its summary to
    // visit; visit returning false, or cancel, sets stopped and ends the walk.
    using MessageVisit = std::function<bool(libpff_item_t*, const MessageSummary&)>;
    Result<void> WalkFolder(std::uint32_t folderId, const MessageVisit& visit,
                            const CancelToken* cancel, bool& stopped);

    BfioHandle handle_; // freed after file_, which reads through it
    PffFile file_;
    std::string displayName_;
    std::string notice_;
    std::vector<MailFolder> folders_;
    std::vector<PffItem> folderItems_; // by MailFolder::id
};

Result<void> PffMailStore::ReadFolders() {
    libpff_item_t* raw = nullptr;
    PffError error;
    if (libpff_file_get_root_folder(file_.get(), &raw, error.out()) != 1 || !raw)
        return Fail(MessageText(MessageId::MailStoreUnreadable, displayName_, error.text()));
    PffItem root(raw);
    std::string name = FolderName(root.get());
    if (name.empty())
        name = displayName_;
    return AddFolder(std::move(root), std::move(name), {}, 0);
}

Result<void> PffMailStore::AddFolder(PffItem folder, std::string name,
                                     const std::string& parentPath, int depth) {
    if (depth > kMaxFolderDepth || folders_.size() >= kMaxFolders)
        return Damaged("its folders nest without end");
    PffError error;
    int messages = 0;
    if (libpff_folder_get_number_of_sub_messages(folder.get(), &messages, error.out()) != 1)
        return Damaged(error.text());
    int subFolders = 0;
    if (libpff_folder_get_number_of_sub_folders(folder.get(), &subFolders, error.out()) != 1)
        return Damaged(error.text());
    MailFolder entry;
    entry.id = std::uint32_t(folders_.size());
    // The top folder's path is empty: every other path starts below it.
    entry.path = depth == 0 ? "" : parentPath.empty() ? name : parentPath + "/" + name;
    entry.name = std::move(name);
    entry.depth = depth;
    entry.messageCount = std::uint64_t(std::max(messages, 0));
    const std::string path = entry.path;
    folders_.push_back(std::move(entry));
    // The item itself stays put while the vector of owners grows below.
    libpff_item_t* const kept = folderItems_.emplace_back(std::move(folder)).get();
    for (int i = 0; i < subFolders; ++i) {
        libpff_item_t* raw = nullptr;
        if (libpff_folder_get_sub_folder(kept, i, &raw, error.out()) != 1 || !raw)
            return Damaged(error.text());
        PffItem sub(raw);
        std::string subName = FolderName(sub.get());
        if (auto added = AddFolder(std::move(sub), std::move(subName), path, depth + 1); !added)
            return added;
    }
    return {};
}

void PffMailStore::ReadPasswordNotice() {
    // Only a .pst has a password of its own; an .ost keeps all bits set there.
    std::uint8_t contentType = 0;
    PffError error;
    if (libpff_file_get_content_type(file_.get(), &contentType, error.out()) != 1 ||
        contentType != LIBPFF_FILE_CONTENT_TYPE_PST)
        return;
    libpff_item_t* raw = nullptr;
    if (libpff_file_get_message_store(file_.get(), &raw, error.out()) != 1 || !raw)
        return;
    const PffItem store(raw);
    // The password of a .pst is only a checksum the store keeps: libpff reads
    // the file without it, and so do we, saying so.
    constexpr std::uint32_t kPstPassword = 0x67ff; // PR_PST_PASSWORD
    const auto checksum = PffItemNumber(store.get(), 0, kPstPassword);
    if (checksum && *checksum != 0 && *checksum != 0xffffffff)
        notice_ = MessageText(MessageId::MailStoreOwnPassword, displayName_);
}

Result<PffItem> PffMailStore::Message(const MessageRef& ref) {
    if (ref.folderId >= folderItems_.size() || ref.index >= folders_[ref.folderId].messageCount)
        return Fail(MessageText(MessageId::MailStoreNoSuchMessage, displayName_));
    libpff_item_t* raw = nullptr;
    PffError error;
    if (libpff_folder_get_sub_message(folderItems_[ref.folderId].get(), int(ref.index), &raw,
                                      error.out()) != 1 ||
        !raw)
        return Damaged(error.text());
    return PffItem(raw);
}

Result<void> PffMailStore::WalkFolder(std::uint32_t folderId, const MessageVisit& visit,
                                      const CancelToken* cancel, bool& stopped) {
    for (std::uint32_t i = 0; i < folders_[folderId].messageCount && !stopped; ++i) {
        if (CancelRequested(cancel)) {
            stopped = true;
            break;
        }
        auto read = MessageAndSummary({folderId, i});
        if (!read)
            return std::unexpected(read.error());
        if (!visit(read->first.get(), read->second))
            stopped = true;
    }
    return {};
}

Result<void> PffMailStore::ForEachMessage(std::uint32_t folderId, const SummarySink& sink,
                                          const CancelToken* cancel) {
    if (folderId >= folders_.size())
        return Fail(MessageText(MessageId::MailStoreNoSuchMessage, displayName_));
    bool stopped = false;
    return WalkFolder(
        folderId, [&](libpff_item_t*, const MessageSummary& summary) { return sink(summary); },
        cancel, stopped);
}

bool PffMailStore::Matches(libpff_item_t* message, const MessageSummary& summary,
                           const TextMatch& match) {
    if (match.Found(summary.subject) || match.Found(summary.sender) ||
        match.Found(summary.recipients))
        return true;
    const auto text = TextOf(message);
    return text && match.Found(text->text);
}

Result<void> PffMailStore::Search(std::optional<std::uint32_t> folderId, std::string_view text,
                                  const SummarySink& sink, const CancelToken* cancel) {
    const TextMatch match(text);
    bool stopped = false;
    const auto searchFolder = [&](std::uint32_t id) {
        return WalkFolder(
            id,
            [&](libpff_item_t* message, const MessageSummary& summary) {
                return !Matches(message, summary, match) || sink(summary);
            },
            cancel, stopped);
    };
    if (folderId) {
        if (*folderId >= folders_.size())
            return Fail(MessageText(MessageId::MailStoreNoSuchMessage, displayName_));
        return searchFolder(*folderId);
    }
    for (std::uint32_t id = 0; id < folders_.size() && !stopped; ++id) {
        if (auto searched = searchFolder(id); !searched)
            return searched;
    }
    return {};
}

Result<std::pair<PffItem, MessageSummary>> PffMailStore::MessageAndSummary(const MessageRef& ref) {
    auto message = Message(ref);
    if (!message)
        return std::unexpected(message.error());
    auto summary = ReadPffSummary(message->get(), ref);
    if (!summary)
        return Damaged(summary.error().message);
    return std::pair{std::move(*message), std::move(*summary)};
}

Result<MessageSummary> PffMailStore::Summary(const MessageRef& ref) {
    auto read = MessageAndSummary(ref);
    if (!read)
        return std::unexpected(read.error());
    return std::move(read->second);
}

Result<MessageBody> PffMailStore::TextOf(libpff_item_t* message) const {
    if (auto plain = ReadPffPlainBody(message))
        return MessageBody{std::move(*plain), false};
    if (const auto html = ReadPffHtmlBody(message))
        return MessageBody{HtmlToText(*html), true};
    if (HasPffRtfBody(message))
        return MessageBody{kRtfOnlyNotice, false};
    return MessageBody{};
}

Result<MessageBody> PffMailStore::Text(const MessageRef& ref) {
    auto message = Message(ref);
    if (!message)
        return std::unexpected(message.error());
    return TextOf(message->get());
}

Result<void> PffMailStore::WriteEml(const MessageRef& ref, std::ostream& out) {
    auto message = Message(ref);
    if (!message)
        return std::unexpected(message.error());
    if (auto written = WritePffEml(message->get(), out); !written)
        return Damaged(written.error().message);
    return {};
}

Result<std::unique_ptr<MailStore>> OpenStore(BfioHandle handle, PffFile file,
                                             std::string displayName) {
    auto store =
        std::make_unique<PffMailStore>(std::move(handle), std::move(file), std::move(displayName));
    if (auto read = store->ReadFolders(); !read)
        return std::unexpected(read.error());
    store->ReadPasswordNotice();
    return store;
}

Result<PffFile> NewPffFile(const std::string& displayName) {
    libpff_file_t* raw = nullptr;
    PffError error;
    if (libpff_file_initialize(&raw, error.out()) != 1 || !raw)
        return Fail(MessageText(MessageId::MailStoreUnreadable, displayName, error.text()));
    return PffFile(raw);
}

// A file that never opened must not be closed: libpff reports that as an error.
void FreeUnopened(PffFile& file) {
    libpff_file_t* raw = file.release();
    libpff_file_free(&raw, nullptr);
}

} // namespace

Result<std::unique_ptr<MailStore>> OpenPffStore(libbfio_handle_t* rawHandle,
                                                std::string displayName) {
    BfioHandle handle(rawHandle);
    auto file = NewPffFile(displayName);
    if (!file)
        return std::unexpected(file.error());
    PffError error;
    if (libpff_file_open_file_io_handle(file->get(), handle.get(), LIBPFF_OPEN_READ, error.out()) !=
        1) {
        FreeUnopened(*file);
        return Fail(MessageText(MessageId::MailStoreUnreadable, displayName, error.text()));
    }
    return OpenStore(std::move(handle), std::move(*file), std::move(displayName));
}

Result<std::unique_ptr<MailStore>> OpenPffFile(const std::filesystem::path& path,
                                               std::string displayName) {
    auto file = NewPffFile(displayName);
    if (!file)
        return std::unexpected(file.error());
    PffError error;
    if (libpff_file_open(file->get(), path.c_str(), LIBPFF_OPEN_READ, error.out()) != 1) {
        FreeUnopened(*file);
        return Fail(MessageText(MessageId::MailStoreUnreadable, displayName, error.text()));
    }
    return OpenStore(nullptr, std::move(*file), std::move(displayName));
}

} // namespace trelmig
