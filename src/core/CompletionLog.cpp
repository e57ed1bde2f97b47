#include "core/CompletionLog.h"

namespace trelmig {

std::string CompletionLine(std::string_view label, std::string_view tabs, bool succeeded,
                           const std::string& reason) {
    std::string line = "\r\n" + std::string(label) + std::string(tabs) +
                       (succeeded ? "succeeded!" : "Fail!") + "\t";
    if (!succeeded)
        line += ReasonLine(reason);
    return line;
}

std::string ReasonLine(const std::string& reason) {
    return reason.empty() ? std::string() : "\r\n    " + reason;
}

} // namespace trelmig
