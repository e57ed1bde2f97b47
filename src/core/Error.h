#pragma once

#include <expected>
#include <string>

namespace trelmig {

// A failure that crosses a layer boundary, in words that name what failed and
// why, fit for the message a user reads.
struct Error {
    std::string message;
};

// E is Error everywhere but where a caller needs more than words to decide
// (the disc engine's DiscError).
template <class T, class E = Error> using Result = std::expected<T, E>;

inline std::unexpected<Error> Fail(std::string message) {
    return std::unexpected(Error{std::move(message)});
}

} // namespace trelmig
