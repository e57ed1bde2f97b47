#pragma once

#include "core/Error.h"
#include "mailstore/PffHandles.h"

#include <ostream>
#include <string>
#include <string_view>

namespace trelmig {

// Writes one message of a data file as RFC 5322 text: its original transport
// headers where it kept them, less their MIME headers, else headers made from
// its properties; then a multipart/mixed body with the text and HTML bodies
// as alternatives and each attachment in base64 (an attached message as a
// message/rfc822 part). Lines end in CR LF.
Result<void> WritePffEml(libpff_item_t* message, std::ostream& out);

// The transport headers less every Content-* and MIME-Version header (with
// their continuation lines), lines ending in CR LF, no blank line at the end.
std::string HeadersWithoutMime(std::string_view headers);
// The RFC 5322 date of a time in seconds since 1970, in UTC.
std::string Rfc5322Date(std::int64_t unixTime);

// What Text and the exported message say of a message whose only body is RTF.
inline constexpr const char* kRtfOnlyNotice =
    "[This message has only a formatted (RTF) body, which cannot be shown as text.]";

} // namespace trelmig
