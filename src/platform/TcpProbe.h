#pragma once

#include <optional>
#include <string>

namespace trelmig {

// Why a TCP connection to host:port cannot be made ("Connection refused",
// "No route to host", a timeout), tried on each address the name resolves
// to. nullopt when one of them accepts, or when the name does not resolve
// here (ssh may know it by another name from its configuration).
std::optional<std::string> TcpConnectFailure(const std::string& host, int port,
                                             int timeoutMilliseconds = 5000);

} // namespace trelmig
