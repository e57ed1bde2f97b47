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

} // namespace trelmig
