#pragma once

#include "core/ItemCatalogue.h"
#include "core/Message.h"
#include "core/Prompter.h"

#include <expected>
#include <string>

namespace trelmig {

// What the checks before a backup look at, as the window or a new scheduled
// job has it.
struct ChoicesToCheck {
    std::string targetFile;
    ItemSelection items{};
    bool protect = false;
    std::string password;
    std::string retyped;
};

// Fine, or the message that refuses the choices.
using ChoicesCheck = std::expected<void, MessageId>;

// At least one item is ticked.
ChoicesCheck CheckItemsChosen(const ItemSelection& items);

// The first refusal of the choices, in this order: no backup file, no item,
// protection asked with no password, the password typed differently twice.
// Looks at nothing on the disc or in the prefix.
ChoicesCheck CheckBackupChoices(const ChoicesToCheck& choices);

// The icon a refusal is shown with: a missing choice is a warning, a
// password that cannot be used is an error.
MessageIcon RefusalIcon(MessageId refusal);

} // namespace trelmig
