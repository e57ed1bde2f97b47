#pragma once

#include "core/Error.h"
#include "mailstore/MailStore.h"

#include <libbfio.h>

#include <filesystem>
#include <memory>
#include <string>

namespace trelmig {

// A data file read by libpff through handle, which it takes over (freed also
// when the file cannot be opened). displayName names the file in every error,
// as the user knows it ("Outlook.pst"). An Error naming the file when it is
// no data file libpff can read.
Result<std::unique_ptr<MailStore>> OpenPffStore(libbfio_handle_t* handle, std::string displayName);
// The same for a file on disk.
Result<std::unique_ptr<MailStore>> OpenPffFile(const std::filesystem::path& file,
                                               std::string displayName);

} // namespace trelmig
