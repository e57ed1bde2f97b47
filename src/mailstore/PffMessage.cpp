#include "mailstore/PffMessage.h"

#include "mailstore/MimeEncoding.h"

#include <algorithm>
#include <array>
#include <initializer_list>

namespace trelmig {

namespace {

// Properties libpff has no name for.
constexpr std::uint32_t kSenderSmtpAddress = 0x5d01;    // PR_SENDER_SMTP_ADDRESS
constexpr std::uint32_t kRecipientSmtpAddress = 0x39fe; // PR_SMTP_ADDRESS
constexpr std::uint32_t kAttachMimeTag = 0x370e;        // PR_ATTACH_MIME_TAG
constexpr std::uint32_t kAttachDisplayName = 0x3001;    // PR_DISPLAY_NAME
constexpr std::uint32_t kInternetMessageId = 0x1035;    // PR_INTERNET_MESSAGE_ID

// A PST subject may start with 0x01 and a character telling the length of
// its prefix ("RE: "): not part of the text.
std::string WithoutSubjectMarker(std::string subject) {
    if (subject.size() >= 2 && subject[0] == '\x01')
        subject.erase(0, 2);
    return subject;
}

// Exchange keeps an X.500 name as the address; the SMTP address, where the
// message recorded it, is the one a reader knows.
std::string BestAddress(std::optional<std::string> address, std::optional<std::string> type,
                        std::optional<std::string> smtp) {
    if (type && *type == "EX" && smtp && !smtp->empty())
        return *smtp;
    if (address && !address->empty())
        return *address;
    return smtp.value_or("");
}

using TimeGetter = int (*)(libpff_item_t*, std::uint64_t*, libpff_error_t**);

std::optional<std::int64_t> FirstTime(libpff_item_t* message,
                                      std::initializer_list<TimeGetter> getters) {
    for (const TimeGetter get : getters) {
        std::uint64_t filetime = 0;
        PffError error;
        if (get(message, &filetime, error.out()) == 1 && filetime != 0)
            return UnixTimeFromFiletime(filetime);
    }
    return std::nullopt;
}

std::string JoinedRecipients(libpff_item_t* message) {
    std::string joined;
    for (const std::uint32_t type : {LIBPFF_RECIPIENT_TYPE_TO, LIBPFF_RECIPIENT_TYPE_CC}) {
        for (const PffAddress& who : ReadPffRecipients(message, type)) {
            if (!joined.empty())
                joined += "; ";
            joined += NameAndAddress(who);
        }
    }
    return joined;
}

template <typename SizeFn, typename ReadFn>
std::optional<std::string> ReadBody(libpff_item_t* message, SizeFn sizeOf, ReadFn read) {
    PffError error;
    std::size_t size = 0;
    if (sizeOf(message, &size, error.out()) != 1 || size == 0 || size > kMaxTextBytes)
        return std::nullopt;
    std::string body(size, '\0');
    if (read(message, reinterpret_cast<std::uint8_t*>(body.data()), size, error.out()) != 1)
        return std::nullopt;
    while (!body.empty() && body.back() == '\0')
        body.pop_back();
    return body;
}

std::uint64_t BodySizes(libpff_item_t* message) {
    std::uint64_t total = 0;
    for (auto* sizeOf : {libpff_message_get_plain_text_body_size, libpff_message_get_html_body_size,
                         libpff_message_get_rtf_body_size}) {
        std::size_t size = 0;
        PffError error;
        if (sizeOf(message, &size, error.out()) == 1)
            total += size;
    }
    return total;
}

std::optional<PffItem> Attachment(libpff_item_t* message, int index) {
    libpff_item_t* raw = nullptr;
    PffError error;
    if (libpff_message_get_attachment(message, index, &raw, error.out()) != 1 || !raw)
        return std::nullopt;
    return PffItem(raw);
}

std::string AttachmentName(libpff_item_t* attachment, int index) {
    for (const std::uint32_t entry :
         {std::uint32_t(LIBPFF_ENTRY_TYPE_ATTACHMENT_FILENAME_LONG),
          std::uint32_t(LIBPFF_ENTRY_TYPE_ATTACHMENT_FILENAME_SHORT), kAttachDisplayName}) {
        if (auto name = PffItemString(attachment, 0, entry); name && !name->empty())
            return *name;
    }
    return "attachment" + std::to_string(index + 1);
}

} // namespace

std::string NameAndAddress(const PffAddress& who) {
    if (who.address.empty() || who.address == who.name)
        return who.name.empty() ? who.address : who.name;
    if (who.name.empty())
        return who.address;
    return who.name + " <" + who.address + ">";
}

PffAddress ReadPffSender(libpff_item_t* message) {
    return {PffMessageString(message, LIBPFF_ENTRY_TYPE_MESSAGE_SENDER_NAME).value_or(""),
            BestAddress(PffMessageString(message, LIBPFF_ENTRY_TYPE_MESSAGE_SENDER_EMAIL_ADDRESS),
                        PffMessageString(message, LIBPFF_ENTRY_TYPE_MESSAGE_SENDER_ADDRESS_TYPE),
                        PffMessageString(message, kSenderSmtpAddress))};
}

std::vector<PffAddress> ReadPffRecipients(libpff_item_t* message, std::uint32_t type) {
    std::vector<PffAddress> found;
    PffError error;
    libpff_item_t* raw = nullptr;
    if (libpff_message_get_recipients(message, &raw, error.out()) != 1 || !raw)
        return found;
    const PffItem recipients(raw);
    int count = 0;
    if (libpff_item_get_number_of_record_sets(recipients.get(), &count, error.out()) != 1)
        return found;
    for (int i = 0; i < count; ++i) {
        // A recipient without a kind is a To recipient, as Outlook shows it.
        const auto kind = PffItemNumber(recipients.get(), i, LIBPFF_ENTRY_TYPE_RECIPIENT_TYPE)
                              .value_or(LIBPFF_RECIPIENT_TYPE_TO);
        if (kind != type)
            continue;
        PffAddress who{
            PffItemString(recipients.get(), i, LIBPFF_ENTRY_TYPE_DISPLAY_NAME).value_or(""),
            BestAddress(PffItemString(recipients.get(), i, LIBPFF_ENTRY_TYPE_EMAIL_ADDRESS),
                        PffItemString(recipients.get(), i, LIBPFF_ENTRY_TYPE_ADDRESS_TYPE),
                        PffItemString(recipients.get(), i, kRecipientSmtpAddress))};
        if (!who.name.empty() || !who.address.empty())
            found.push_back(std::move(who));
    }
    return found;
}

std::optional<std::int64_t> ReadPffSentTime(libpff_item_t* message) {
    return FirstTime(message, {TimeGetter(libpff_message_get_client_submit_time),
                               TimeGetter(libpff_message_get_delivery_time),
                               TimeGetter(libpff_message_get_creation_time)});
}

std::string ReadPffMessageId(libpff_item_t* message) {
    return PffMessageString(message, kInternetMessageId).value_or("");
}

std::optional<std::int64_t> UnixTimeFromFiletime(std::uint64_t filetime) {
    constexpr std::uint64_t kStepsPerSecond = 10'000'000;
    constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;
    return std::int64_t(filetime / kStepsPerSecond) - kSecondsFrom1601To1970;
}

Result<MessageSummary> ReadPffSummary(libpff_item_t* message, const MessageRef& ref) {
    MessageSummary summary;
    summary.ref = ref;
    std::string reason;
    summary.subject = WithoutSubjectMarker(
        PffMessageString(message, LIBPFF_ENTRY_TYPE_MESSAGE_SUBJECT, &reason).value_or(""));
    if (!reason.empty())
        return Fail(reason);
    summary.time = FirstTime(message, {TimeGetter(libpff_message_get_delivery_time),
                                       TimeGetter(libpff_message_get_client_submit_time),
                                       TimeGetter(libpff_message_get_creation_time)});
    summary.sender = NameAndAddress(ReadPffSender(message));
    summary.recipients = JoinedRecipients(message);
    if (const auto size = PffItemNumber(message, 0, LIBPFF_ENTRY_TYPE_MESSAGE_SIZE); size && *size)
        summary.size = *size;
    else
        summary.size = BodySizes(message);
    for (const PffAttachment& attachment : ReadPffAttachments(message))
        summary.attachmentNames.push_back(attachment.name);
    return summary;
}

std::optional<std::string> ReadPffPlainBody(libpff_item_t* message) {
    return ReadBody(message, libpff_message_get_plain_text_body_size,
                    libpff_message_get_plain_text_body);
}

std::optional<std::string> ReadPffHtmlBody(libpff_item_t* message) {
    return ReadBody(message, libpff_message_get_html_body_size, libpff_message_get_html_body);
}

bool HasPffRtfBody(libpff_item_t* message) {
    std::size_t size = 0;
    PffError error;
    return libpff_message_get_rtf_body_size(message, &size, error.out()) == 1 && size > 0;
}

std::string ReadPffTransportHeaders(libpff_item_t* message) {
    return PffMessageString(message, LIBPFF_ENTRY_TYPE_MESSAGE_TRANSPORT_HEADERS).value_or("");
}

std::vector<PffAttachment> ReadPffAttachments(libpff_item_t* message) {
    std::vector<PffAttachment> attachments;
    int count = 0;
    PffError error;
    if (libpff_message_get_number_of_attachments(message, &count, error.out()) != 1)
        return attachments;
    for (int i = 0; i < count; ++i) {
        const auto attachment = Attachment(message, i);
        if (!attachment)
            continue;
        PffAttachment info;
        info.index = i;
        info.name = AttachmentName(attachment->get(), i);
        info.mimeType = PffItemString(attachment->get(), 0, kAttachMimeTag).value_or("");
        int type = 0;
        PffError typeError;
        if (libpff_attachment_get_type(attachment->get(), &type, typeError.out()) == 1)
            info.embeddedMessage = type == LIBPFF_ATTACHMENT_TYPE_ITEM;
        attachments.push_back(std::move(info));
    }
    return attachments;
}

Result<void> WritePffAttachmentBase64(libpff_item_t* message, int index, std::ostream& out) {
    const auto attachment = Attachment(message, index);
    if (!attachment)
        return Fail("attachment " + std::to_string(index + 1) + " cannot be read");
    PffError error;
    size64_t size = 0;
    if (libpff_attachment_get_data_size(attachment->get(), &size, error.out()) != 1)
        return {}; // an attachment without data (a link): an empty part
    if (libpff_attachment_data_seek_offset(attachment->get(), 0, SEEK_SET, error.out()) < 0)
        return Fail(error.text());
    // 57 bytes make one line of 76 base64 characters.
    std::array<std::uint8_t, 57 * 1024> buffer{};
    std::uint64_t left = size;
    while (left > 0) {
        // Whole buffers, so that only the last piece ends in padding.
        std::size_t filled = 0;
        while (filled < buffer.size() && filled < left) {
            const std::size_t want =
                std::size_t(std::min<std::uint64_t>(buffer.size() - filled, left - filled));
            const ssize_t got = libpff_attachment_data_read_buffer(
                attachment->get(), buffer.data() + filled, want, error.out());
            if (got <= 0)
                return Fail(got < 0 ? error.text() : "the attachment's data ends early");
            filled += std::size_t(got);
        }
        WriteBase64Lines(std::string_view(reinterpret_cast<const char*>(buffer.data()), filled),
                         out);
        left -= filled;
    }
    return {};
}

} // namespace trelmig
