#include "gui/MessageSaving.h"

#include "mailstore/MailExport.h"

#include <algorithm>
#include <span>
#include <string>

namespace trelmig {

namespace {

constexpr std::size_t kMessagesAtATime = 25;

} // namespace

Result<SavedMessages> SaveEmlFiles(MailStore& store, const std::vector<MessageRef>& messages,
                                   const std::filesystem::path& folder, const CancelToken& cancel,
                                   const SaveProgress& progress) {
    SavedMessages saved{0, folder};
    for (std::size_t at = 0; at < messages.size() && !cancel.Requested(); at += kMessagesAtATime) {
        const auto part =
            std::span(messages).subspan(at, std::min(kMessagesAtATime, messages.size() - at));
        const auto written = ExportEml(store, part, folder, &cancel);
        if (!written) {
            if (saved.messages == 0)
                return std::unexpected(written.error());
            return Fail(written.error().message + " (" + std::to_string(saved.messages) +
                        " messages were saved before)");
        }
        saved.messages += written->size();
        if (progress)
            progress(saved.messages);
    }
    return saved;
}

Result<SavedMessages> SaveFolderMbox(MailStore& store, std::uint32_t folderId,
                                     const std::filesystem::path& file, const CancelToken& cancel,
                                     const SaveProgress& progress) {
    std::vector<MessageRef> messages;
    const auto listed = store.ForEachMessage(
        folderId,
        [&](const MessageSummary& message) {
            messages.push_back(message.ref);
            return true;
        },
        &cancel);
    if (!listed)
        return std::unexpected(listed.error());
    if (cancel.Requested())
        return Fail("cancelled");
    const auto written = ExportMbox(store, messages, file, &cancel);
    if (!written)
        return std::unexpected(written.error());
    if (progress)
        progress(messages.size());
    return SavedMessages{messages.size(), written->empty() ? file : written->front()};
}

} // namespace trelmig
