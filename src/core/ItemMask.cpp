#include "core/ItemMask.h"

#include <algorithm>

namespace trelmig {

std::optional<ItemMask> ItemMask::Parse(std::string_view text) {
    if (text.size() != static_cast<std::size_t>(kItemCount) ||
        text.find_first_not_of("01") != std::string_view::npos)
        return std::nullopt;
    return Lenient(text);
}

ItemMask ItemMask::Lenient(std::string_view text) {
    ItemMask mask;
    for (std::size_t i = 0; i < mask.boxes_.size() && i < text.size(); ++i)
        mask.boxes_[i] = text[i] == '1';
    return mask;
}

bool ItemMask::Empty() const {
    return std::none_of(boxes_.begin(), boxes_.end(), [](bool ticked) { return ticked; });
}

std::string ItemMask::Text() const {
    std::string text;
    for (bool ticked : boxes_)
        text += ticked ? '1' : '0';
    return text;
}

} // namespace trelmig
