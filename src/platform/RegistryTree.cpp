#include "platform/RegistryTree.h"

#include "platform/Utf.h"

#include <algorithm>
#include <chrono>

namespace trelmig {

int compareRegNames(std::u16string_view a, std::u16string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int d = static_cast<int>(foldCase(a[i])) - static_cast<int>(foldCase(b[i]));
        if (d != 0)
            return d;
    }
    return static_cast<int>(a.size()) - static_cast<int>(b.size());
}

namespace {

// Insertion index as Wine's server finds it: a binary search that assumes the
// names are in order.
template <typename Vec, typename NameOf>
std::size_t wineInsertIndex(const Vec& items, std::u16string_view name, NameOf nameOf) {
    long min = 0;
    long max = static_cast<long>(items.size()) - 1;
    while (min <= max) {
        const long i = (min + max) / 2;
        const int res = compareRegNames(nameOf(items[static_cast<std::size_t>(i)]), name);
        if (res == 0)
            return static_cast<std::size_t>(i);
        if (res > 0)
            max = i - 1;
        else
            min = i + 1;
    }
    return static_cast<std::size_t>(min);
}

} // namespace

RegNode* RegNode::findSubkey(std::u16string_view key) const {
    auto it = subkeyIndex_.find(foldCase(key));
    return it == subkeyIndex_.end() ? nullptr : it->second;
}

RegNode* RegNode::addSubkey(std::u16string_view key, std::uint64_t time, bool append) {
    std::u16string folded = foldCase(key);
    if (auto it = subkeyIndex_.find(folded); it != subkeyIndex_.end())
        return it->second;
    auto node = std::make_unique<RegNode>();
    node->name = std::u16string(key);
    node->modif = time;
    node->parent = this;
    RegNode* raw = node.get();
    const std::size_t at =
        append ? subkeys.size()
               : wineInsertIndex(subkeys, key,
                                 [](const auto& n) -> const std::u16string& { return n->name; });
    subkeys.insert(subkeys.begin() + static_cast<long>(at), std::move(node));
    subkeyIndex_.emplace(std::move(folded), raw);
    return raw;
}

bool RegNode::removeSubkey(const RegNode* child) {
    auto it = std::find_if(subkeys.begin(), subkeys.end(),
                           [&](const auto& n) { return n.get() == child; });
    if (it == subkeys.end())
        return false;
    subkeyIndex_.erase(foldCase((*it)->name));
    subkeys.erase(it);
    return true;
}

const RegNode::Value* RegNode::findValue(std::u16string_view key) const {
    for (const auto& v : values)
        if (compareRegNames(v.name, key) == 0)
            return &v;
    return nullptr;
}

void RegNode::setValue(Value value, bool append) {
    if (auto* existing = const_cast<Value*>(findValue(value.name))) {
        existing->type = value.type;
        existing->data = std::move(value.data);
        return;
    }
    const std::size_t at =
        append ? values.size()
               : wineInsertIndex(values, value.name,
                                 [](const Value& v) -> const std::u16string& { return v.name; });
    values.insert(values.begin() + static_cast<long>(at), std::move(value));
}

bool RegNode::removeValue(std::u16string_view key) {
    auto it = std::find_if(values.begin(), values.end(),
                           [&](const Value& v) { return compareRegNames(v.name, key) == 0; });
    if (it == values.end())
        return false;
    values.erase(it);
    return true;
}

std::uint64_t currentFileTime() {
    using namespace std::chrono;
    const auto since1970 =
        duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count() / 100;
    return static_cast<std::uint64_t>(since1970) + 116444736000000000ull;
}

} // namespace trelmig
