#pragma once

#include "core/ItemCatalogue.h"

#include <optional>
#include <string>
#include <string_view>

namespace trelmig {

// The boxes ticked, as the unattended command line (xm=), the scheduled jobs,
// --items and the window's memory write them: one '1' or '0' per box, in the
// boxes' order ("10000001").
class ItemMask {
public:
    ItemMask() = default;
    explicit ItemMask(const ItemSelection& boxes) : boxes_(boxes) {}

    // Exactly one '0' or '1' per box; any other text is no mask.
    static std::optional<ItemMask> Parse(std::string_view text);
    // A text nobody checked (a job read back, a remembered choice): each '1'
    // among the first characters ticks its box, anything else leaves it.
    static ItemMask Lenient(std::string_view text);

    const ItemSelection& Boxes() const { return boxes_; }
    bool Has(int box) const { return boxes_[static_cast<std::size_t>(box)]; }
    bool Empty() const;
    std::string Text() const;

    friend bool operator==(const ItemMask&, const ItemMask&) = default;

private:
    ItemSelection boxes_{};
};

} // namespace trelmig
