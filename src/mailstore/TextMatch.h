#pragma once

#include <string>
#include <string_view>

namespace trelmig {

// Whether a UTF-8 text holds another, ignoring case (as platform/Utf's
// foldCase folds it: Latin, Greek, Cyrillic). An empty needle is in every text.
class TextMatch {
public:
    explicit TextMatch(std::string_view needle);
    bool Found(std::string_view haystack) const;

private:
    std::u16string needle_;
};

} // namespace trelmig
