#include "repository/RepositoryAddress.h"

#include <charconv>
#include <optional>

namespace trelmig {

namespace {

bool holdsControlCharacter(std::string_view text) {
    for (const unsigned char c : text)
        if (c < 0x20 || c == 0x7f)
            return true;
    return false;
}

// "user@host[:port]" of an ssh:// url; the reason when it is not one.
std::optional<std::string> authorityProblem(std::string_view authority) {
    const auto at = authority.find('@');
    if (at == std::string_view::npos || at == 0)
        return "it names no user (ssh://user@host/path)";
    std::string_view host = authority.substr(at + 1);
    if (const auto colon = host.rfind(':'); colon != std::string_view::npos) {
        const std::string_view port = host.substr(colon + 1);
        int value = 0;
        const auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), value);
        if (port.empty() || ec != std::errc() || end != port.data() + port.size() || value < 1 ||
            value > 65535)
            return "its port \"" + std::string(port) + "\" is no number from 1 to 65535";
        host = host.substr(0, colon);
    }
    if (host.empty())
        return "it names no host (ssh://user@host/path)";
    if (host.find_first_of("@/ ") != std::string_view::npos)
        return "its host \"" + std::string(host) + "\" is not a host name";
    return std::nullopt;
}

} // namespace

Result<RepositoryAddress> ParseRepositoryAddress(std::string_view text) {
    const std::string quoted = "\"" + std::string(text) + "\"";
    if (text.empty())
        return Fail("No repository was given.");
    if (holdsControlCharacter(text))
        return Fail("The repository " + quoted + " holds a control character.");
    if (text.find("::") != std::string_view::npos)
        return Fail("The repository " + quoted +
                    " holds \"::\", which borg reads as the start of a version name.");
    if (text.front() == '/')
        return RepositoryAddress{std::string(text)};
    constexpr std::string_view kSsh = "ssh://";
    if (!text.starts_with(kSsh))
        return Fail("The repository " + quoted +
                    " is neither an absolute folder (/path) nor ssh://user@host[:port]/path.");
    const std::string_view rest = text.substr(kSsh.size());
    const auto slash = rest.find('/');
    if (slash == std::string_view::npos || slash + 1 == rest.size())
        return Fail("The repository " + quoted + " names no folder on the server.");
    if (const auto problem = authorityProblem(rest.substr(0, slash)))
        return Fail("The repository " + quoted +
                    " is not ssh://user@host[:port]/path: " + *problem + ".");
    return RepositoryAddress{std::string(text)};
}

bool IsRemoteRepository(const RepositoryAddress& address) {
    return address.url.starts_with("ssh://");
}

} // namespace trelmig
