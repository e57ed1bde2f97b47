#pragma once

#include "core/Error.h"
#include "mailstore/MailStore.h"
#include "mailstore/PffHandles.h"

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace trelmig {

// What the readers of one message take from libpff, each answering nullopt
// or an empty value for what the message does not have.

struct PffAddress {
    std::string name;
    std::string address;
};

struct PffAttachment {
    int index = 0;
    std::string name;     // long file name, else short, else the display name
    std::string mimeType; // as the message recorded it; may be empty
    bool embeddedMessage = false;
};

// The fields of a message list. An Error when the message cannot be read at all.
Result<MessageSummary> ReadPffSummary(libpff_item_t* message, const MessageRef& ref);

PffAddress ReadPffSender(libpff_item_t* message);
// The recipients of one kind (LIBPFF_RECIPIENT_TYPE_TO, _CC, _BCC).
std::vector<PffAddress> ReadPffRecipients(libpff_item_t* message, std::uint32_t type);
// "Name <address>", or whichever of the two there is.
std::string NameAndAddress(const PffAddress& who);
// The time the message was sent, else delivered, else made (for its Date).
std::optional<std::int64_t> ReadPffSentTime(libpff_item_t* message);
std::string ReadPffMessageId(libpff_item_t* message);

// The body as it is stored. Text bodies are UTF-8; the HTML body is the bytes
// as written, in whatever character set its writer chose.
std::optional<std::string> ReadPffPlainBody(libpff_item_t* message);
std::optional<std::string> ReadPffHtmlBody(libpff_item_t* message);
bool HasPffRtfBody(libpff_item_t* message);
// The headers the message arrived with (an empty value: none kept).
std::string ReadPffTransportHeaders(libpff_item_t* message);

std::vector<PffAttachment> ReadPffAttachments(libpff_item_t* message);
// Writes the attachment's data to out as base64 lines of 76 characters ending
// in CR LF, reading a piece at a time.
Result<void> WritePffAttachmentBase64(libpff_item_t* message, int index, std::ostream& out);

// A message's times are FILETIMEs: 100 ns steps since 1601.
std::optional<std::int64_t> UnixTimeFromFiletime(std::uint64_t filetime);

} // namespace trelmig
