#pragma once

#include "platform/RegistryTree.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace trelmig {

class RegistryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One registry file of a Wine prefix: the lines before the first key (the
// version line, the ";; All keys relative to" line, "#arch=") kept as they
// were, and the key tree.
struct RegHive {
    std::string preamble;
    // Held by pointer so that moving a hive keeps the children's parent links.
    std::unique_ptr<RegNode> root = std::make_unique<RegNode>();
};

// Reads a registry file in Wine's text form. Throws RegistryError naming the
// file and line on anything it cannot understand.
RegHive parseWineRegistry(std::string_view text, const std::string& fileName);

// Writes the tree exactly as Wine's server saves it.
std::string formatWineRegistry(const RegHive& hive);

// Preamble of a registry file that did not exist yet.
std::string defaultPreamble(std::string_view relativeTo);

} // namespace trelmig
