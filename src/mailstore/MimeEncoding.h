#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace trelmig {

// The encodings of an Internet message (RFC 2045, 2047, 2231).

std::string Base64(std::string_view data);
// data as base64 lines of at most 76 characters, each ending in CR LF.
void WriteBase64Lines(std::string_view data, std::ostream& out);
// A header value as it may stand in a header: ASCII as it is, anything else
// as RFC 2047 encoded words (UTF-8, base64), each at most 75 characters and
// never splitting a character.
std::string EncodeHeaderText(std::string_view utf8);
// A parameter such as filename: quoted when it is ASCII, else RFC 2231
// (name*=UTF-8''percent-encoded).
std::string EncodeParameter(std::string_view name, std::string_view utf8);
// Every line ending (CR LF, lone LF, lone CR) as CR LF.
std::string WithCrLf(std::string_view text);

} // namespace trelmig
