#pragma once

#include "core/CancelToken.h"
#include "core/Error.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace trelmig {

// One folder of a data file. folders() lists them in the tree's order:
// each folder before its subfolders, siblings in the store's order.
struct MailFolder {
    std::uint32_t id = 0; // the store's identifier, valid while it is open
    std::string name;     // as Outlook shows it, UTF-8
    std::string path;     // the names from the top folder down, joined by '/'
    int depth = 0;        // 0 for the top folder
    std::uint64_t messageCount = 0;
};

// A message: its folder and its place among the folder's messages.
struct MessageRef {
    std::uint32_t folderId = 0;
    std::uint32_t index = 0;
    friend bool operator==(const MessageRef&, const MessageRef&) = default;
};

// What a message list shows of a message; texts are UTF-8.
struct MessageSummary {
    MessageRef ref;
    // Delivery time, else the time it was sent, else made: seconds since 1970, UTC.
    std::optional<std::int64_t> time;
    std::string sender;     // "Name <address>", or whichever of the two it has
    std::string recipients; // the To and Cc recipients, "; " between them
    std::string subject;
    std::uint64_t size = 0; // the message's size as the store records it
    std::vector<std::string> attachmentNames;
};

struct MessageText {
    std::string text; // the plain body, or the HTML body turned into text
    bool fromHtml = false;
};

// One data file (.pst or .ost) of a backup, open for reading. Not safe for
// two threads at once: the look-inside window gives it to one worker thread.
class MailStore {
public:
    using SummarySink = std::function<bool(const MessageSummary&)>;

    virtual ~MailStore() = default;

    virtual const std::vector<MailFolder>& folders() const = 0;
    // What the user should know before reading it (the data file has a
    // password of its own); empty for most files.
    virtual const std::string& notice() const {
        static const std::string none;
        return none;
    }
    // The folder's messages in the store's order, each handed to sink as it
    // is read; sink returning false, or cancel, stops the reading (not an
    // error).
    virtual Result<void> ForEachMessage(std::uint32_t folderId, const SummarySink& sink,
                                        const CancelToken* cancel = nullptr) = 0;
    // The messages whose subject, sender, recipients or body hold text
    // (ignoring case), in one folder or, without one, in the whole data file.
    virtual Result<void> Search(std::optional<std::uint32_t> folderId, std::string_view text,
                                const SummarySink& sink, const CancelToken* cancel = nullptr) = 0;
    virtual Result<MessageSummary> Summary(const MessageRef& message) = 0;
    // "struct": core/Message.h's function MessageText would hide the type
    // where both are seen.
    virtual Result<struct MessageText> Text(const MessageRef& message) = 0;
    // The message as RFC 5322 text with its MIME parts and attachments, its
    // original transport headers where it kept them. Lines end in CR LF.
    virtual Result<void> WriteEml(const MessageRef& message, std::ostream& out) = 0;
};

} // namespace trelmig
