#pragma once

#include <exception>
#include <string>

namespace trelmig {

// What a run's exception says: its what(), or `unknown` for anything else.
inline std::string ExceptionText(const std::exception_ptr& error, const char* unknown = "") {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return unknown;
    }
}

} // namespace trelmig
