#include "restore/RestoreConfirmation.h"

#include "core/Message.h"
#include "restore/ItemRestore.h"
#include "restore/RestoreDriver.h"

namespace trelmig {

std::string RestoreConfirmationText(Environment& env, ZipArchive& zip,
                                    const InspectedArchive& archive,
                                    const RestoreChoices& choices) {
    // Personal Folders and the Personal Address Book bring data files.
    std::vector<std::string> messageFiles;
    std::vector<std::string> replaced;
    if (choices.boxes[0] || choices.boxes[4]) {
        ItemRestore items(env, zip, archive);
        messageFiles = items.DataFilesReplaced(choices.profile, choices.boxes[0], false);
        replaced = items.DataFilesReplaced(choices.profile, false, choices.boxes[4]);
        replaced.insert(replaced.begin(), messageFiles.begin(), messageFiles.end());
    }
    // The messages are replaced only where their data files are.
    std::string text = messageFiles.empty()
                           ? MessageText(MessageId::RestoreReplacesChosenItems)
                           : std::string("Your current Email and News messages will be replaced "
                                         "with the messages from the selected backup file.");
    text += "\r\n\r\nProfile: " + choices.profile + "\r\n";
    if (choices.boxes[0] || choices.boxes[4]) {
        constexpr std::size_t kListed = 10;
        if (replaced.empty()) {
            text += "No data file will be replaced.\r\n";
        } else {
            text += "These files will be replaced:\r\n";
            for (std::size_t i = 0; i < replaced.size() && i < kListed; ++i)
                text += "    " + replaced[i] + "\r\n";
            if (replaced.size() > kListed)
                text += "    and " + std::to_string(replaced.size() - kListed) + " more\r\n";
        }
    }
    return text + "\r\nDo you want to continue?";
}

} // namespace trelmig
