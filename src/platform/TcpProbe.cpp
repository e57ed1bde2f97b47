#include "platform/TcpProbe.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace trelmig {

namespace {

// 0 when it connected, else the errno of the failure.
int ConnectError(const addrinfo& address, int timeoutMilliseconds) {
    const int s = ::socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                           address.ai_protocol);
    if (s < 0)
        return errno;
    int error = 0;
    if (::connect(s, address.ai_addr, address.ai_addrlen) != 0) {
        error = errno;
        if (error == EINPROGRESS) {
            pollfd waiting{.fd = s, .events = POLLOUT, .revents = 0};
            if (::poll(&waiting, 1, timeoutMilliseconds) <= 0) {
                error = ETIMEDOUT;
            } else {
                socklen_t length = sizeof error;
                if (::getsockopt(s, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
                    error = errno;
            }
        }
    }
    ::close(s);
    return error;
}

} // namespace

std::optional<std::string> TcpConnectFailure(const std::string& host, int port,
                                             int timeoutMilliseconds) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0)
        return std::nullopt;
    int error = 0;
    for (const addrinfo* a = found; a; a = a->ai_next) {
        error = ConnectError(*a, timeoutMilliseconds);
        if (error == 0)
            break;
    }
    ::freeaddrinfo(found);
    if (error == 0)
        return std::nullopt;
    return std::string(std::strerror(error));
}

} // namespace trelmig
