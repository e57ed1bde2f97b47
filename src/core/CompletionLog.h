#pragma once

#include <string>
#include <string_view>

namespace trelmig {

// One line of a completion message: CR LF, the item's label, the tabs, the
// verdict "succeeded!" or "Fail!" and a tab; a failure's reason follows on a
// line of its own, indented, so that the columns of the verdicts stay intact.
std::string CompletionLine(std::string_view label, std::string_view tabs, bool succeeded,
                           const std::string& reason = {});
// The indented reason line alone (for steps that have no line of their own);
// empty when there is no reason.
std::string ReasonLine(const std::string& reason);

} // namespace trelmig
