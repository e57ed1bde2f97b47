#pragma once

#include "core/Prompter.h"

#include <iosfwd>

namespace trelmig {

// Messages of a run without windows go to a stream; questions answer OK.
class ConsolePrompter : public Prompter {
public:
    explicit ConsolePrompter(std::ostream& out) : out_(out) {}
    MessageAnswer Show(const std::string& text, MessageIcon icon, MessageButtons buttons) override;

private:
    std::ostream& out_;
};

// Confirmations go to out, everything else to err.
class TerminalPrompter : public Prompter {
public:
    TerminalPrompter(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}
    MessageAnswer Show(const std::string& text, MessageIcon icon, MessageButtons buttons) override;

private:
    std::ostream& out_;
    std::ostream& err_;
};

} // namespace trelmig
