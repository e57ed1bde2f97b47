#pragma once

#include "core/Error.h"

#include <string>
#include <string_view>

namespace trelmig {

// Where a BorgBackup repository lives: a folder of this machine (an absolute
// path) or one on a server, "ssh://user@host[:port]/path", with borg
// installed there. The url is what borg is given.
struct RepositoryAddress {
    std::string url;
    bool operator==(const RepositoryAddress&) const = default;
};

// The address a user typed, checked: an absolute folder, or an ssh:// url
// with a user, a host, an optional port (1 to 65535) and an absolute path.
// Anything else (a relative path, "host:path", another scheme, "::" in the
// path, a control character) is refused with the reason.
Result<RepositoryAddress> ParseRepositoryAddress(std::string_view text);

// Whether the repository is on a server.
bool IsRemoteRepository(const RepositoryAddress& address);

} // namespace trelmig
