#include "mailstore/PffEml.h"

#include "mailstore/MimeEncoding.h"
#include "mailstore/PffMessage.h"
#include "platform/Utf.h"

#include <array>
#include <cctype>
#include <ctime>
#include <optional>
#include <vector>

namespace trelmig {

namespace {

// An attached message holding an attached message ... stops here.
constexpr int kMaxNesting = 8;

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    }
    return true;
}

std::string Boundary(const char* kind, int depth) {
    // '=' and '_' never occur in base64 lines, and the depth keeps an attached
    // message's boundaries apart from those around it.
    return std::string("=_trelmig_") + kind + "_" + std::to_string(depth) + "_=";
}

std::string AddressForHeader(const PffAddress& who) {
    const bool hasAddress = who.address.find('@') != std::string::npos;
    std::string name = who.name.empty() && !hasAddress ? who.address : who.name;
    if (!name.empty()) {
        if (!isAscii(name)) {
            name = EncodeHeaderText(name);
        } else {
            std::string quoted = "\"";
            for (const char c : name) {
                if (c == '"' || c == '\\')
                    quoted += '\\';
                quoted += c;
            }
            name = quoted + "\"";
        }
    }
    if (!hasAddress)
        return name;
    return name.empty() ? who.address : name + " <" + who.address + ">";
}

std::string AddressList(const std::vector<PffAddress>& list) {
    std::string joined;
    for (const PffAddress& who : list) {
        if (!joined.empty())
            joined += ",\r\n ";
        joined += AddressForHeader(who);
    }
    return joined;
}

void WriteMadeHeaders(libpff_item_t* message, std::ostream& out) {
    if (const auto sent = ReadPffSentTime(message))
        out << "Date: " << Rfc5322Date(*sent) << "\r\n";
    out << "From: " << AddressForHeader(ReadPffSender(message)) << "\r\n";
    if (const auto to = ReadPffRecipients(message, LIBPFF_RECIPIENT_TYPE_TO); !to.empty())
        out << "To: " << AddressList(to) << "\r\n";
    if (const auto cc = ReadPffRecipients(message, LIBPFF_RECIPIENT_TYPE_CC); !cc.empty())
        out << "Cc: " << AddressList(cc) << "\r\n";
    std::string subject = PffMessageString(message, LIBPFF_ENTRY_TYPE_MESSAGE_SUBJECT).value_or("");
    if (subject.size() >= 2 && subject[0] == '\x01')
        subject.erase(0, 2);
    out << "Subject: " << EncodeHeaderText(subject) << "\r\n";
    if (const std::string id = ReadPffMessageId(message); !id.empty() && isAscii(id))
        out << "Message-ID: " << id << "\r\n";
}

void WriteTextPart(std::string_view type, std::string_view charset, std::string_view body,
                   std::ostream& out) {
    out << "Content-Type: " << type << "; charset=\"" << charset << "\"\r\n"
        << "Content-Transfer-Encoding: base64\r\n\r\n";
    WriteBase64Lines(WithCrLf(body), out);
}

void WriteBodies(libpff_item_t* message, int depth, std::ostream& out) {
    const auto plain = ReadPffPlainBody(message);
    const auto html = ReadPffHtmlBody(message);
    if (plain && html) {
        const std::string boundary = Boundary("alt", depth);
        out << "Content-Type: multipart/alternative; boundary=\"" << boundary << "\"\r\n\r\n";
        out << "--" << boundary << "\r\n";
        WriteTextPart("text/plain", "utf-8", *plain, out);
        out << "--" << boundary << "\r\n";
        WriteTextPart("text/html", isValidUtf8(*html) ? "utf-8" : "windows-1252", *html, out);
        out << "--" << boundary << "--\r\n";
    } else if (html) {
        WriteTextPart("text/html", isValidUtf8(*html) ? "utf-8" : "windows-1252", *html, out);
    } else {
        WriteTextPart("text/plain", "utf-8",
                      plain ? *plain : (HasPffRtfBody(message) ? kRtfOnlyNotice : ""), out);
    }
}

Result<void> WriteMessage(libpff_item_t* message, int depth, std::ostream& out);

Result<void> WriteAttachedMessage(libpff_item_t* message, const PffAttachment& attachment,
                                  int depth, std::ostream& out) {
    out << "Content-Type: message/rfc822\r\n"
        << "Content-Disposition: attachment; " << EncodeParameter("filename", attachment.name)
        << "\r\nContent-Transfer-Encoding: 8bit\r\n\r\n";
    libpff_item_t* rawAttachment = nullptr;
    PffError error;
    if (libpff_message_get_attachment(message, attachment.index, &rawAttachment, error.out()) != 1)
        return Fail(error.text());
    const PffItem attached(rawAttachment);
    libpff_item_t* rawItem = nullptr;
    if (libpff_attachment_get_item(attached.get(), &rawItem, error.out()) != 1 || !rawItem)
        return Fail(error.text());
    const PffItem item(rawItem);
    return WriteMessage(item.get(), depth + 1, out);
}

Result<void> WriteAttachment(libpff_item_t* message, const PffAttachment& attachment, int depth,
                             std::ostream& out) {
    if (attachment.embeddedMessage && depth < kMaxNesting)
        return WriteAttachedMessage(message, attachment, depth, out);
    const std::string type =
        attachment.mimeType.find('/') != std::string::npos && isAscii(attachment.mimeType)
            ? attachment.mimeType
            : "application/octet-stream";
    out << "Content-Type: " << type << "; " << EncodeParameter("name", attachment.name) << "\r\n"
        << "Content-Disposition: attachment; " << EncodeParameter("filename", attachment.name)
        << "\r\nContent-Transfer-Encoding: base64\r\n\r\n";
    return WritePffAttachmentBase64(message, attachment.index, out);
}

Result<void> WriteMessage(libpff_item_t* message, int depth, std::ostream& out) {
    if (const std::string kept = HeadersWithoutMime(ReadPffTransportHeaders(message));
        !kept.empty())
        out << kept;
    else
        WriteMadeHeaders(message, out);
    const std::string boundary = Boundary("mixed", depth);
    out << "MIME-Version: 1.0\r\n"
        << "Content-Type: multipart/mixed; boundary=\"" << boundary << "\"\r\n\r\n"
        << "--" << boundary << "\r\n";
    WriteBodies(message, depth, out);
    for (const PffAttachment& attachment : ReadPffAttachments(message)) {
        out << "--" << boundary << "\r\n";
        if (auto written = WriteAttachment(message, attachment, depth, out); !written)
            return Fail("attachment \"" + attachment.name + "\": " + written.error().message);
    }
    out << "--" << boundary << "--\r\n";
    if (!out)
        return Fail("the message could not be written");
    return {};
}

} // namespace

std::string HeadersWithoutMime(std::string_view headers) {
    const std::string lines = WithCrLf(headers);
    std::string kept;
    bool dropping = false;
    std::size_t at = 0;
    while (at < lines.size()) {
        std::size_t end = lines.find("\r\n", at);
        if (end == std::string::npos)
            end = lines.size();
        const std::string_view line = std::string_view(lines).substr(at, end - at);
        at = end + 2;
        if (line.empty())
            break; // the end of the header block
        const bool continuation = line[0] == ' ' || line[0] == '\t';
        if (!continuation)
            dropping =
                StartsWithNoCase(line, "content-") || StartsWithNoCase(line, "mime-version:");
        if (!dropping && (continuation ? !kept.empty() : line.find(':') != std::string_view::npos))
            kept.append(line).append("\r\n");
    }
    return kept;
}

std::string Rfc5322Date(std::int64_t unixTime) {
    static constexpr std::array<const char*, 7> kDays{"Sun", "Mon", "Tue", "Wed",
                                                      "Thu", "Fri", "Sat"};
    static constexpr std::array<const char*, 12> kMonths{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const std::time_t time = static_cast<std::time_t>(unixTime);
    std::tm utc{};
    if (!gmtime_r(&time, &utc))
        return "Thu, 01 Jan 1970 00:00:00 +0000";
    std::array<char, 64> text{};
    std::snprintf(text.data(), text.size(), "%s, %02d %s %04d %02d:%02d:%02d +0000",
                  kDays[std::size_t(utc.tm_wday) % 7], utc.tm_mday,
                  kMonths[std::size_t(utc.tm_mon) % 12], utc.tm_year + 1900, utc.tm_hour,
                  utc.tm_min, utc.tm_sec);
    return text.data();
}

Result<void> WritePffEml(libpff_item_t* message, std::ostream& out) {
    return WriteMessage(message, 0, out);
}

} // namespace trelmig
