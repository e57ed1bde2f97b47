#pragma once

#include <expected>
#include <string>

namespace trelmig {

// A failure that crosses a layer boundary, in words that name what failed and
// why, fit for the message a user reads.
struct Error {
    std::string message;
};

template <class T> using Result = std::expected<T, Error>;

inline std::unexpected<Error> Fail(std::string message) {
    return std::unexpected(Error{std::move(message)});
}

} // namespace trelmig
