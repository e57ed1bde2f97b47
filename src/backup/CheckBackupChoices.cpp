#include "backup/CheckBackupChoices.h"

#include <algorithm>

namespace trelmig {

ChoicesCheck CheckItemsChosen(const ItemSelection& items) {
    if (std::none_of(items.begin(), items.end(), [](bool ticked) { return ticked; }))
        return std::unexpected(MessageId::SelectAnItem);
    return {};
}

ChoicesCheck CheckBackupChoices(const ChoicesToCheck& c) {
    if (c.targetFile.empty())
        return std::unexpected(MessageId::ChooseBackupFileName);
    if (const ChoicesCheck items = CheckItemsChosen(c.items); !items)
        return items;
    // Both boxes empty: nothing was typed, which is not a mistyped password.
    if (c.protect && c.password.empty() && c.retyped.empty())
        return std::unexpected(MessageId::EnterPassword);
    if (c.protect && c.password != c.retyped)
        return std::unexpected(MessageId::PasswordsDiffer);
    return {};
}

MessageIcon RefusalIcon(MessageId refusal) {
    return refusal == MessageId::EnterPassword || refusal == MessageId::PasswordsDiffer
               ? MessageIcon::Critical
               : MessageIcon::Exclamation;
}

} // namespace trelmig
