#pragma once

#include "core/CancelToken.h"
#include "core/Error.h"
#include "mailstore/MailStore.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

namespace trelmig {

// What a save wrote: how many messages, and where (the folder of the .eml
// files, or the mbox file under the name it got).
struct SavedMessages {
    std::size_t messages = 0;
    std::filesystem::path where;
};
using SaveProgress = std::function<void(std::size_t done)>;

// The messages as .eml files into folder, a few at a time so that progress
// reports and cancel come between them.
Result<SavedMessages> SaveEmlFiles(MailStore& store, const std::vector<MessageRef>& messages,
                                   const std::filesystem::path& folder, const CancelToken& cancel,
                                   const SaveProgress& progress);
// The folder's messages as one mbox file (a free name beside file when it
// is taken).
Result<SavedMessages> SaveFolderMbox(MailStore& store, std::uint32_t folderId,
                                     const std::filesystem::path& file, const CancelToken& cancel,
                                     const SaveProgress& progress);

} // namespace trelmig
