#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace trelmig {

// Keys nest at most this deep, as in Windows; files and texts that go deeper
// are refused rather than followed down.
inline constexpr std::size_t kMaxKeyDepth = 512;

// The names of a key path's levels, left to right: "A\\B" gives A and B;
// empty levels (a leading, doubled or trailing backslash) are skipped.
template <class Char>
std::vector<std::basic_string_view<Char>> SplitKeyPath(std::basic_string_view<Char> path) {
    std::vector<std::basic_string_view<Char>> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(Char('\\'), start);
        if (end == std::basic_string_view<Char>::npos)
            end = path.size();
        if (end > start)
            parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// Orders names as Wine does: code units compared after lower-casing, a prefix
// before the longer name.
int compareRegNames(std::u16string_view a, std::u16string_view b);

// One key of a registry file held in memory, names and string data in UTF-16
// as Wine stores them, so nothing is lost between load and save.
struct RegNode {
    struct Value {
        std::u16string name;
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data;
    };

    std::u16string name;
    std::uint64_t modif = 0; // FILETIME of the last change
    std::optional<std::u16string> className;
    bool isLink = false;
    // Subkeys and values in file order. Files keep them sorted; new ones are
    // placed where Wine's own binary search would put them.
    std::vector<Value> values;
    std::vector<std::unique_ptr<RegNode>> subkeys;
    RegNode* parent = nullptr;

    RegNode* findSubkey(std::u16string_view name) const;
    // Returns the existing subkey of that name or a new one, appended at the
    // end when loading a file (its order is kept) or placed in order.
    RegNode* addSubkey(std::u16string_view name, std::uint64_t modif, bool append = false);
    bool removeSubkey(const RegNode* child);

    const Value* findValue(std::u16string_view name) const;
    // Creates or replaces the value; the name keeps its first spelling.
    void setValue(Value value, bool append = false);
    bool removeValue(std::u16string_view name);

private:
    std::unordered_map<std::u16string, RegNode*> subkeyIndex_; // by lower-cased name
};

// FILETIME of the current time.
std::uint64_t currentFileTime();

} // namespace trelmig
