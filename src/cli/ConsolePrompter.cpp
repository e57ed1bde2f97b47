#include "cli/ConsolePrompter.h"

#include <ostream>

namespace trelmig {

MessageAnswer ConsolePrompter::Show(const std::string& text, MessageIcon, MessageButtons) {
    out_ << kAppTitle << ": " << text << '\n';
    return MessageAnswer::Ok;
}

MessageAnswer TerminalPrompter::Show(const std::string& text, MessageIcon icon, MessageButtons) {
    if (icon == MessageIcon::None || icon == MessageIcon::Information)
        out_ << text << '\n';
    else
        err_ << "trelmig: " << text << '\n';
    return MessageAnswer::Ok;
}

} // namespace trelmig
