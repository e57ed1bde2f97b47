#include "core/ItemCatalogue.h"

namespace trelmig {

namespace {

constexpr std::array<CatalogueItem, kItemCount> CatalogueOfRecords() {
    std::array<CatalogueItem, kItemCount> items{};
    for (const ItemRecord& record : kItemRecords)
        if (record.box != kNoBox)
            items[static_cast<std::size_t>(record.box)] = record.texts;
    return items;
}

constexpr std::array<CatalogueItem, kItemCount> kCatalogue = CatalogueOfRecords();

} // namespace

const std::array<CatalogueItem, kItemCount>& itemCatalogue() {
    return kCatalogue;
}

bool RecordRuns(const ItemRecord& record, const ItemSelection& items) {
    for (int item : record.boxes)
        if (item >= 0 && items[static_cast<std::size_t>(item)])
            return true;
    return false;
}

std::size_t RecordIndex(const ItemRecord& record) {
    return static_cast<std::size_t>(&record - kItemRecords.data());
}

} // namespace trelmig
