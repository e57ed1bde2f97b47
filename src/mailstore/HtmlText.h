#pragma once

#include <string>
#include <string_view>

namespace trelmig {

// The text of an HTML body as a reader sees it: tags gone, the contents of
// head, script and style left out, the basic entities and numeric character
// references decoded, runs of white space one space, a line break where a
// line break, paragraph, division, list item, table row or heading ends.
// Bytes that are not UTF-8 are taken as Latin-1. The result is UTF-8, lines
// ending in LF.
std::string HtmlToText(std::string_view html);

} // namespace trelmig
