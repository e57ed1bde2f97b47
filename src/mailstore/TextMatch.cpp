#include "mailstore/TextMatch.h"

#include "platform/Utf.h"

namespace trelmig {

TextMatch::TextMatch(std::string_view needle) : needle_(foldCase(utf8ToUtf16(needle))) {}

bool TextMatch::Found(std::string_view haystack) const {
    if (needle_.empty())
        return true;
    if (haystack.size() < needle_.size())
        return false;
    return foldCase(utf8ToUtf16(haystack)).find(needle_) != std::u16string::npos;
}

} // namespace trelmig
