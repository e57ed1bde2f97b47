#pragma once

#include <optional>
#include <string>

namespace trelmig {

// Asks the user for the password of a protected backup file (the password
// window, or the terminal). nullopt when the user cancels.
class PasswordPrompt {
public:
    virtual ~PasswordPrompt() = default;
    virtual std::optional<std::string> AskPassword() = 0;
};

} // namespace trelmig
