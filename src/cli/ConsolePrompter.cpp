#include "cli/ConsolePrompter.h"

#include <ostream>

namespace trelmig {

MessageAnswer ConsolePrompter::Show(const std::string& text, MessageIcon, MessageButtons) {
    out_ << kAppTitle << ": " << text << '\n';
    return MessageAnswer::Ok;
}

} // namespace trelmig
